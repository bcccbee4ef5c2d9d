// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Reading a PNG file that comes from outside into 8-bit pixels. libpng decodes it; the
// picture's size is judged from its header before any pixel memory is taken, and only the
// chunks that make the picture are read (no gamma, colour profile or transparency).

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

#include "core/result.h"

namespace karvex {

// The most of a PNG file that is read: more than any picture accepted here can need.
inline constexpr std::size_t kPngFileLimit = 16 * 1024 * 1024;

// A decoded picture, top row first.
struct PngPixels {
    int width = 0, height = 0;
    // True: `bytes` holds the file's own palette indices, one byte a pixel. False: red,
    // green and blue bytes a pixel.
    bool indexed = false;
    std::string bytes;
};

// Judges a picture's size from its header: "" accepts it, any other text refuses it.
using PngSizeRule = std::function<std::string(int width, int height)>;

// Decodes `file`, the bytes of a whole PNG file.
// - Refused with the text `sizeRule` gives, before the pixels are read, for a size it
//   refuses.
// - An indexed file whose PLTE is the same as `palette` (768 bytes, colour n at 3n: each
//   PLTE entry equals the colour at the same index; a shorter PLTE compares its entries
//   only) keeps its indices. With `palette` empty no file keeps them.
// - Every other file becomes 8-bit RGB: 16-bit samples keep their high byte, alpha is
//   dropped (not blended), grey is repeated into the three colours, palette indices become
//   their PLTE colours. Interlaced files are read as well.
// - Failed, with a reason such as "The PNG file is damaged: ..." or "The PNG file ends
//   early.", for a file that is not a whole, sound PNG.
Result DecodePng(std::string_view file, const PngSizeRule& sizeRule, std::string_view palette,
                 PngPixels& out);

}  // namespace karvex
