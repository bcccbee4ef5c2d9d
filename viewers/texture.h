// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The texture viewer's plain logic: which sizes can be drawn, which palette entry colours a
// texture, the colour table filled from a palette, and a texture's bytes turned into
// colour values. Linked by the viewer window and by karvex32-cli alike.

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "core/color_table.h"
#include "core/result.h"

namespace karvex {

class Session;
class EntryTable;

// The message shown for a texture of any size but 4096 or 65536 bytes.
inline constexpr const char* kTextureSizeText =
    "Only textures sizes of 64x64 (size 4096) or 256x256 (size 65536) can be viewed.";
// The palette a texture without one of its own name is drawn through.
inline constexpr const char* kDefaultPaletteName = "metalcr2.act";

// A palette entry's layout: 256 colours of red, green and blue bytes, colour 0 first.
inline constexpr std::size_t kPaletteBytes = 768;

// A colour value as the drawing calls take it: red + 256 * green + 65536 * blue.
inline constexpr std::uint32_t ColorValue(unsigned red, unsigned green, unsigned blue) {
    return red + 256u * green + 65536u * blue;
}

// The side of a square texture of `size` bytes: 64 for 4096, 256 for 65536, otherwise 0
// (a size the viewer does not draw).
int TextureWidth(std::int64_t size);

// The palette name of a texture: the name's first (trimmed length - 4) characters, leading
// blanks counted among them, then ".act", outer blanks removed: "trk01.raw" -> "trk01.act",
// " trk01.raw" -> "trk0.act". A name of four characters or fewer leaves only ".act".
std::string PaletteNameFor(std::string_view textureName);

// The file a texture is saved as: the name, outer blanks removed, without its last four
// characters, then ".png": " ART\BOX.RAW" -> "ART\BOX.png" (backslashes name folders).
std::string PngNameFor(std::string_view textureName);

// The entry whose palette colours the texture `textureName`: the first entry, in table
// order, whose name contains the texture's palette name (ignoring letter case), else the
// first that contains "metalcr2.act"; -1 when there is neither.
int FindPalette(const EntryTable& table, std::string_view textureName);
// The first entry whose name contains `part`, ignoring letter case; -1 when none does.
int FindContaining(const EntryTable& table, std::string_view part);

// FindPalette for many textures of one table, with the same answers: the names that can
// hold a palette name (those with ".act") are collected once and each palette name's answer
// is kept, so a run over every texture reads the table once and, for each new palette name,
// only those names. The table must outlive the lookup and stay as it was when it was made.
class PaletteLookup {
  public:
    explicit PaletteLookup(const EntryTable& table);
    int Find(std::string_view textureName);

  private:
    const EntryTable& m_table;
    std::vector<int> m_candidates;  // the entries whose names contain ".act", in table order
    int m_default = -1;
    std::unordered_map<std::string, int> m_answers;
};

// Reads the 768 bytes at `paletteOffset` of the open archive, whatever the palette entry's
// own size; bytes past the end of the archive count as zero. Failed when the archive cannot
// be read.
Result ReadPaletteBytes(const Session& session, std::int64_t paletteOffset, std::string& bytes);

// Fills `table` from a palette's bytes: colour n from bytes 3n, 3n + 1, 3n + 2. Bytes
// missing from a short `bytes` count as zero.
void PaletteLoad(ColorTable& table, std::string_view bytes);
// Fills `table` from ReadPaletteBytes; Failed, with `table` untouched, when the archive
// cannot be read.
Result PaletteLoad(const Session& session, std::int64_t paletteOffset, ColorTable& table);

// Reads the first `count` bytes of entry i of the open archive; bytes it does not hold
// (past the end of the archive, or of a shorter entry) count as zero. Failed when the
// archive cannot be read.
Result ReadEntryBytes(const Session& session, int i, std::size_t count, std::string& bytes);

// Pixel (x, y) of a texture of width `width` is byte y * width + x; each becomes the colour
// of its palette index. Gives width * width values, top row first; bytes missing from a
// short `bytes` count as zero, bytes past width * width are ignored.
std::vector<std::uint32_t> DecodeTexture(std::string_view bytes, int width,
                                         const ColorTable& table);

// The viewer's palette steps for the texture `textureName`: FindPalette, then PaletteLoad
// from that entry's offset. Done when a palette was found and loaded; Refused, with `table`
// as it was, when there is none (the viewer then draws with the colours of the last palette
// loaded in this run, or black); Failed, `table` untouched, when the archive cannot be read.
Result LoadTexturePalette(const Session& session, std::string_view textureName, ColorTable& table);

// The 768 palette bytes a colour table was filled from (colour n at 3n).
std::string PaletteBytes(const ColorTable& table);

// A texture as the viewer draws it from the open archive: its width and colour values, and
// the bytes and palette they were made from, as an indexed PNG holds them.
struct TextureImage {
    int width = 0;
    std::vector<std::uint32_t> pixels;
    std::string indices;  // width * width palette indices, top row first
    std::string palette;  // the 768 bytes of the colours drawn through
};
// Draws entry i through `colors`: a size other than 4096 or 65536 is Refused with
// kTextureSizeText and nothing is read. Failed when the archive cannot be read.
Result DrawTexture(const Session& session, int i, const ColorTable& colors, TextureImage& image);
// Draws entry i as a first View in a fresh run would: through its own palette, else
// "metalcr2.act", else black.
Result DrawTexture(const Session& session, int i, TextureImage& image);
// The same, the palette found through `palettes`, made for the session's table.
Result DrawTexture(const Session& session, int i, PaletteLookup& palettes, TextureImage& image);

}  // namespace karvex
