// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstdint>

namespace karvex {

// The colours a texture is drawn with: palette colour n as a colour value (red + 256 *
// green + 65536 * blue) at index n + 1; index 0 is never filled. All zero (black) until a
// palette is loaded; a search that finds no palette leaves it as it is, so a view without
// a palette of its own draws with the colours of the last one that had.
struct ColorTable {
    std::array<std::uint32_t, 257> values{};
    std::uint32_t ForPixel(unsigned char pixel) const { return values[pixel + 1u]; }
};

}  // namespace karvex
