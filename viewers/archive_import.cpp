// SPDX-License-Identifier: GPL-3.0-or-later
#include "viewers/archive_import.h"

#include "core/entry_table.h"
#include "core/file_io.h"
#include "core/paths.h"
#include "core/session.h"
#include "core/text.h"
#include "viewers/palette_files.h"
#include "viewers/png_reader.h"
#include "viewers/texture.h"

namespace fs = std::filesystem;

namespace karvex {
namespace {

// The file's bytes, or Failed "Cannot read P" with the reason.
Result ReadSmall(const fs::path& path, const std::string& lf, std::string& bytes) {
    const IoStatus read = ReadWholeFile(path, kPngFileLimit, bytes);
    if (read.IsDone())
        return Result::Done();
    return Result::Failed("Cannot read " + DisplayPath(path) + lf + lf + read.Reason());
}

// `decoded` with the file named: a damaged file cannot be read, a refused one imported.
Result Named(Result decoded, const fs::path& path, const std::string& lf) {
    if (decoded.IsDone())
        return decoded;
    const char* what = decoded.status == Result::Status::Failed ? "Cannot read " : "Cannot import ";
    decoded.message = what + DisplayPath(path) + lf + lf + decoded.message;
    return decoded;
}

}  // namespace

std::string NoPaletteText(std::string_view textureName) {
    return std::string(textureName) + ": no palette to match the colours against";
}

Result PaletteForImport(const Session& session, std::string_view textureName, int paletteEntry,
                        std::string& palette) {
    const EntryTable& table = session.Table();
    const int found = paletteEntry >= 0 ? paletteEntry : FindPalette(table, textureName);
    if (found < 0 || found >= table.Count())
        return Result::Refused(NoPaletteText(textureName));
    return ReadPaletteBytes(session, table.OffsetOf(found), palette);
}

Result ReadTextureFile(const fs::path& png, std::string_view palette, const ImportOptions& options,
                       const std::string& lf, std::string& texture) {
    std::string bytes;
    if (Result read = ReadSmall(png, lf, bytes); !read.IsDone())
        return read;
    return Named(ImportTexture(bytes, palette, options, texture), png, lf);
}

Result ReadPaletteFile(const fs::path& file, const std::string& lf, std::string& palette) {
    std::string bytes;
    if (Result read = ReadSmall(file, lf, bytes); !read.IsDone())
        return read;
    if (EndsWithNoCase(file.string(), ".gpl"))
        return Named(ReadGpl(bytes, palette), file, lf);
    return Named(ReadPaletteSwatch(bytes, palette), file, lf);
}

}  // namespace karvex
