// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace karvex::test {

// A PNG file as libpng reads it back: its size and its pixels as colour values
// (red + 256 * green + 65536 * blue), and whether its header says 8-bit RGB.
struct PngPicture {
    bool ok = false;
    bool rgb8 = false;
    unsigned width = 0, height = 0;
    std::vector<std::uint32_t> pixels;
};
PngPicture ReadPng(const std::filesystem::path& path);

}  // namespace karvex::test
