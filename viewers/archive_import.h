// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The steps the window and karvex32-cli share to bring a painted texture or a palette file
// into the open archive: the palette to match against, and the file read into the bytes of
// the entry. The edit itself is the session's.

#include <filesystem>
#include <string>
#include <string_view>

#include "core/result.h"
#include "viewers/texture_import.h"

namespace karvex {

class Session;

// The palette bytes (768) a texture `textureName` of the open archive is imported against:
// entry `paletteEntry`'s when it is not -1, else the palette the viewer draws the texture
// through. Refused with "NAME: no palette to match the colours against" when the archive
// has none for it; Failed when it cannot be read.
Result PaletteForImport(const Session& session, std::string_view textureName, int paletteEntry,
                        std::string& palette);

// The texture bytes of the PNG file `png` against `palette`. Failed with "Cannot read P" and
// the reason when the file cannot be read or is damaged; Refused with "Cannot import P" and
// the reason for a size that is no texture's. Lines are broken with `lf`.
Result ReadTextureFile(const std::filesystem::path& png, std::string_view palette,
                       const ImportOptions& options, const std::string& lf, std::string& texture);

// The palette bytes of a palette file: a GIMP palette (.gpl), else a 16 x 16 PNG swatch
// (.png), by the name's ending. The same messages as ReadTextureFile.
Result ReadPaletteFile(const std::filesystem::path& file, const std::string& lf,
                       std::string& palette);

// The message that `NAME` has no palette to import against.
std::string NoPaletteText(std::string_view textureName);

}  // namespace karvex
