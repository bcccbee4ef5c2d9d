// SPDX-License-Identifier: GPL-3.0-or-later
#include "viewers/png_writer.h"

#include <png.h>

#include <cstring>

#include "core/replacing_file.h"
#include "core/target_folder.h"

namespace karvex {

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
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(width);
    image.height = static_cast<png_uint_32>(height);
    image.format = PNG_FORMAT_RGB;
    const int written = png_image_write_to_stdio(&image, file, 0, rgb.data(), 0, nullptr);
    if (!written || PNG_IMAGE_FAILED(image)) {
        IoStatus status(Code::WriteFailed, {},
                        image.message[0] ? image.message : "The PNG file could not be written.");
        png_image_free(&image);
        return status;
    }
    png_image_free(&image);
    return IoStatus::Done();
}

IoStatus WritePngFile(const std::filesystem::path& path, const std::filesystem::path& archive,
                      int width, int height, const std::vector<std::uint32_t>& pixels) {
    TargetFolder folder(path.parent_path());
    if (!archive.empty())
        folder.Protect(archive);
    ReplacingFile out;
    IoStatus opened =
        folder.OpenAndStartFile(path.filename().string(), "It is the archive being read.", out);
    if (!opened.IsDone())
        return opened.For(path);
    if (IoStatus written = WritePng(out.File(), width, height, pixels); !written.IsDone()) {
        out.Abandon();
        return written.For(path);
    }
    return out.Commit().For(path);
}

}  // namespace karvex
