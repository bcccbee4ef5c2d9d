// SPDX-License-Identifier: GPL-3.0-or-later
#include "viewers/png_writer.h"

#include <png.h>

#include <cstring>

#include "core/replacing_file.h"
#include "core/target_folder.h"

namespace karvex {
namespace {

// A simplified-API image of `width` x `height` in `format`, the rest zero.
png_image NewImage(int width, int height, png_uint_32 format) {
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(width);
    image.height = static_cast<png_uint_32>(height);
    image.format = format;
    return image;
}

// Ends a simplified-API write: Done, or WriteFailed with libpng's reason.
IoStatus Finish(png_image& image, int written) {
    IoStatus status;
    if (!written || PNG_IMAGE_FAILED(image)) {
        status = IoStatus(IoStatus::Code::WriteFailed, {},
                          image.message[0] ? image.message : "The PNG file could not be written.");
    }
    png_image_free(&image);
    return status;
}

}  // namespace

IoStatus WriteReplacing(const std::filesystem::path& path, const std::filesystem::path& archive,
                        const std::function<IoStatus(std::FILE*)>& write) {
    TargetFolder folder(path.parent_path());
    if (!archive.empty())
        folder.Protect(archive);
    ReplacingFile out;
    IoStatus opened =
        folder.OpenAndStartFile(path.filename().string(), "It is the archive being read.", out);
    if (!opened.IsDone())
        return opened.For(path);
    if (IoStatus written = write(out.File()); !written.IsDone()) {
        out.Abandon();
        return written.For(path);
    }
    return out.Commit().For(path);
}

IoStatus WritePng(std::FILE* file, int width, int height,
                  const std::vector<std::uint32_t>& pixels) {
    using Code = IoStatus::Code;
    if (width <= 0 || height <= 0 ||
        pixels.size() != static_cast<std::size_t>(width) * static_cast<std::size_t>(height)) {
        return {Code::WriteFailed, {}, "The picture's size does not match its pixels."};
    }
    std::vector<unsigned char> rgb(pixels.size() * 3);
    for (std::size_t i = 0; i < pixels.size(); ++i) {
        rgb[3 * i] = static_cast<unsigned char>(pixels[i] & 0xFF);
        rgb[3 * i + 1] = static_cast<unsigned char>((pixels[i] >> 8) & 0xFF);
        rgb[3 * i + 2] = static_cast<unsigned char>((pixels[i] >> 16) & 0xFF);
    }
    png_image image = NewImage(width, height, PNG_FORMAT_RGB);
    return Finish(image, png_image_write_to_stdio(&image, file, 0, rgb.data(), 0, nullptr));
}

IoStatus WriteIndexedPng(std::FILE* file, int width, std::string_view indices,
                         std::string_view palette) {
    if (width <= 0 || width > 65536 ||
        indices.size() != static_cast<std::size_t>(width) * static_cast<std::size_t>(width) ||
        palette.size() != 768) {
        return {IoStatus::Code::WriteFailed, {}, "The picture's size does not match its pixels."};
    }
    png_image image = NewImage(width, width, PNG_FORMAT_RGB_COLORMAP);
    image.colormap_entries = 256;  // all of them, so that PLTE is the palette whole
    const int written =
        png_image_write_to_stdio(&image, file, 0, indices.data(), 0, palette.data());
    return Finish(image, written);
}

IoStatus WriteIndexedPngFile(const std::filesystem::path& path,
                             const std::filesystem::path& archive, int width,
                             std::string_view indices, std::string_view palette) {
    return WriteReplacing(path, archive, [&](std::FILE* file) {
        return WriteIndexedPng(file, width, indices, palette);
    });
}

IoStatus WritePngFile(const std::filesystem::path& path, const std::filesystem::path& archive,
                      int width, int height, const std::vector<std::uint32_t>& pixels) {
    return WriteReplacing(path, archive,
                          [&](std::FILE* file) { return WritePng(file, width, height, pixels); });
}

}  // namespace karvex
