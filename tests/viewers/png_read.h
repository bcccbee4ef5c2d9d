// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <png.h>

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "tests/core/test_support.h"

namespace karvex::test {

// A PNG file as libpng reads it back: its size and its pixels as colour values
// (red + 256 * green + 65536 * blue), and whether it is 8-bit indexed with all 256 colours.
struct PngPicture {
    bool ok = false;
    bool indexed8 = false;
    unsigned width = 0, height = 0;
    std::vector<std::uint32_t> pixels;
};

inline PngPicture ReadPng(const std::filesystem::path& path) {
    PngPicture picture;
    const std::string bytes = ReadBytes(path);
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&image, bytes.data(), bytes.size()))
        return picture;
    // Bit depth 8 and colour type 3 (indexed) stand at bytes 24 and 25, in the IHDR chunk;
    // PLTE's length is the four bytes before its name.
    const std::size_t plte = bytes.find("PLTE");
    picture.indexed8 = bytes.compare(24, 2, std::string("\x08\x03", 2)) == 0 &&
                       plte != std::string::npos && plte >= 4 &&
                       bytes.compare(plte - 4, 4, std::string("\0\0\x03\x00", 4)) == 0;
    image.format = PNG_FORMAT_RGB;
    std::vector<unsigned char> rgb(PNG_IMAGE_SIZE(image));
    picture.ok = png_image_finish_read(&image, nullptr, rgb.data(), 0, nullptr) != 0;
    picture.width = image.width;
    picture.height = image.height;
    for (std::size_t i = 0; i + 2 < rgb.size(); i += 3)
        picture.pixels.push_back(rgb[i] + 256u * rgb[i + 1] + 65536u * rgb[i + 2]);
    return picture;
}

}  // namespace karvex::test
