// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// A painted PNG turned back into a texture: the texture's bytes are palette indices, found
// for each pixel as the nearest colour of the game's palette, unless the PNG carries the
// palette's own indices already.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/result.h"

namespace karvex {

// The refusal for a PNG of any size but 64 x 64 or 256 x 256; the size found follows it, as
// in "... can be imported. The picture is 100x50.".
inline constexpr const char* kTextureImportSizeText =
    "Only textures sizes of 64x64 (size 4096) or 256x256 (size 65536) can be imported.";

struct ImportOptions {
    // Floyd-Steinberg error diffusion: rows left to right, top to bottom, the error of each
    // pixel passed on 7/16 right, 3/16 below left, 5/16 below, 1/16 below right.
    bool dither = false;
};

// The index of the colour of `palette` (768 bytes, colour n at 3n) nearest to (red, green,
// blue): the smallest (dR)^2 + (dG)^2 + (dB)^2 over 8-bit values, the lowest index on a tie.
unsigned char NearestColor(std::string_view palette, unsigned red, unsigned green, unsigned blue);

// NearestColor for many pixels against one palette, each colour's answer kept once found.
class NearestColors {
  public:
    explicit NearestColors(std::string_view palette);
    unsigned char Find(unsigned red, unsigned green, unsigned blue);

  private:
    unsigned char Search(unsigned red, unsigned green, unsigned blue) const;

    // The palette's channels apart, so that the search is one loop the compiler vectorises.
    std::array<std::int32_t, 256> m_red{}, m_green{}, m_blue{};
    // The colours met, by open addressing: a slot holds colour value + 1 (0: empty) and
    // its answer. Emptied when half full, so that it never grows past these 640 KiB.
    std::vector<std::uint32_t> m_colors;
    std::vector<unsigned char> m_answers;
    std::size_t m_used = 0;
};

// The texture bytes (4,096 or 65,536) of the PNG file `png` against `palette` (768 bytes):
// - an indexed PNG whose PLTE is the palette's own (see DecodePng) keeps its indices, with
//   or without dithering;
// - every other PNG is read as 8-bit RGB and each pixel becomes its nearest colour's index.
// Refused with kTextureImportSizeText and the size found for a size but 64 x 64 or
// 256 x 256 (nothing is scaled); Failed as DecodePng fails for a damaged file.
Result ImportTexture(std::string_view png, std::string_view palette, const ImportOptions& options,
                     std::string& texture);

}  // namespace karvex
