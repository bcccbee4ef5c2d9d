// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// A palette (768 bytes, colour n at 3n) in the files image editors exchange palettes in: a
// GIMP palette text (.gpl) of 256 named colours, and a 16 x 16 PNG swatch of one pixel a
// colour in index order. Both ways are exact.

#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>

#include "core/io_status.h"
#include "core/result.h"

namespace karvex {

// The .gpl text of `palette`, lines ending in a line feed:
//   GIMP Palette
//   Name: NAME
//   Columns: 16
//   #
//     0   0   0	Index 0
//   ...
//   255 255 255	Index 255
std::string GplText(std::string_view palette, std::string_view name);

// The palette a .gpl text holds. Its first line must be "GIMP Palette"; "Name:" and
// "Columns:" lines, comments ("#") and empty lines are passed over; every other line is a
// colour: three numbers 0 to 255, then an optional name. Refused, with the reason, for any
// other text, and for other than 256 colours.
Result ReadGpl(std::string_view text, std::string& palette);

// Writes `palette` as a 16 x 16 8-bit RGB PNG: colour n at (n mod 16, n div 16).
IoStatus WritePaletteSwatch(std::FILE* file, std::string_view palette);

// The palette a 16 x 16 PNG swatch holds, read as DecodePng reads any PNG into colours.
// Refused for another size, Failed for a damaged file.
Result ReadPaletteSwatch(std::string_view png, std::string& palette);

// Writes `palette` as a new file that replaces (or creates) `path` whole: GplText (named
// `name`) for a name ending in ".gpl", else the PNG swatch. As WritePngFile writes: the
// file `archive` leads to (the archive being read; none when empty) is refused with Archive.
IoStatus WritePaletteFile(const std::filesystem::path& path, const std::filesystem::path& archive,
                          std::string_view palette, std::string_view name);

}  // namespace karvex
