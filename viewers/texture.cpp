// SPDX-License-Identifier: GPL-3.0-or-later
#include "viewers/texture.h"

#include <algorithm>
#include <utility>

#include "core/entry_table.h"
#include "core/session.h"
#include "core/text.h"

namespace karvex {

int TextureWidth(std::int64_t size) {
    if (size == 64 * 64)
        return 64;
    if (size == 256 * 256)
        return 256;
    return 0;
}

std::string PaletteNameFor(std::string_view textureName) {
    // The count comes from the trimmed name but is cut from the name as it stands, so a
    // name with leading blanks loses characters of its own: " trk01.raw" -> "trk0.act".
    const std::size_t trimmed = Trim(textureName).size();
    const std::size_t kept = trimmed > 4 ? trimmed - 4 : 0;
    return Trim(std::string(textureName.substr(0, kept)) + ".act");
}

std::string PngNameFor(std::string_view textureName) {
    std::string name = Trim(textureName);
    name.resize(name.size() > 4 ? name.size() - 4 : 0);
    return name + ".png";
}

int FindContaining(const EntryTable& table, std::string_view part) {
    for (int i = 0; i < table.Count(); ++i) {
        if (ContainsNoCase(table.Name(i), part))
            return i;
    }
    return -1;
}

namespace {

// Every palette name ends in ".act", so a name without it can be no texture's palette.
constexpr std::string_view kPaletteEnding = ".act";

}  // namespace

int FindPalette(const EntryTable& table, std::string_view textureName) {
    // One pass: the default is noted on the way, in case no name holds the texture's own.
    const std::string own = PaletteNameFor(textureName);
    int fallback = -1;
    for (int i = 0; i < table.Count(); ++i) {
        if (ContainsNoCase(table.Name(i), own))
            return i;
        if (fallback < 0 && ContainsNoCase(table.Name(i), kDefaultPaletteName))
            fallback = i;
    }
    return fallback;
}

PaletteLookup::PaletteLookup(const EntryTable& table) : m_table(table) {
    for (int i = 0; i < table.Count(); ++i) {
        if (!ContainsNoCase(table.Name(i), kPaletteEnding))
            continue;
        m_candidates.push_back(i);
        if (m_default < 0 && ContainsNoCase(table.Name(i), kDefaultPaletteName))
            m_default = i;
    }
}

int PaletteLookup::Find(std::string_view textureName) {
    std::string own = PaletteNameFor(textureName);
    if (const auto known = m_answers.find(own); known != m_answers.end())
        return known->second;
    int found = m_default;
    for (const int i : m_candidates) {
        if (ContainsNoCase(m_table.Name(i), own)) {
            found = i;
            break;
        }
    }
    m_answers.emplace(std::move(own), found);
    return found;
}

void PaletteLoad(ColorTable& table, std::string_view bytes) {
    auto byte = [&](std::size_t at) {
        return at < bytes.size() ? static_cast<unsigned char>(bytes[at]) : 0u;
    };
    for (std::size_t n = 0; n < 256; ++n)
        table.values[n + 1] = ColorValue(byte(3 * n), byte(3 * n + 1), byte(3 * n + 2));
}

namespace {

// Appends up to `count` bytes from `offset` of the open archive to `bytes`; what the file
// does not hold is left for the caller to fill. Only a read failure is reported.
Result ReadAvailable(const Session& session, std::int64_t offset, std::size_t count,
                     std::string& bytes) {
    bytes.clear();
    bytes.reserve(count);
    const Result read =
        session.ReadRange(offset, static_cast<std::int64_t>(count), [&](std::string_view block) {
            bytes.append(block);
            return true;
        });
    return read.status == Result::Status::Failed ? read : Result::Done();
}

}  // namespace

std::string PaletteBytes(const ColorTable& table) {
    std::string bytes(kPaletteBytes, '\0');
    for (std::size_t n = 0; n < 256; ++n) {
        const std::uint32_t value = table.values[n + 1];
        bytes[3 * n] = static_cast<char>(value & 0xFF);
        bytes[3 * n + 1] = static_cast<char>((value >> 8) & 0xFF);
        bytes[3 * n + 2] = static_cast<char>((value >> 16) & 0xFF);
    }
    return bytes;
}

Result ReadPaletteBytes(const Session& session, std::int64_t paletteOffset, std::string& bytes) {
    const Result read = ReadAvailable(session, paletteOffset, kPaletteBytes, bytes);
    bytes.resize(kPaletteBytes, '\0');
    return read;
}

Result PaletteLoad(const Session& session, std::int64_t paletteOffset, ColorTable& table) {
    std::string bytes;
    const Result read = ReadPaletteBytes(session, paletteOffset, bytes);
    if (read.IsDone())
        PaletteLoad(table, bytes);
    return read;
}

Result ReadEntryBytes(const Session& session, int i, std::size_t count, std::string& bytes) {
    const EntryTable& table = session.Table();
    bytes.clear();
    if (i < 0 || i >= table.Count()) {
        bytes.resize(count, '\0');
        return Result::Done();
    }
    const auto wanted = std::min<std::int64_t>(std::max<std::int64_t>(table.SizeOf(i), 0),
                                               static_cast<std::int64_t>(count));
    Result read =
        ReadAvailable(session, table.OffsetOf(i), static_cast<std::size_t>(wanted), bytes);
    bytes.resize(count, '\0');
    return read;
}

std::vector<std::uint32_t> DecodeTexture(std::string_view bytes, int width,
                                         const ColorTable& table) {
    const std::size_t count = static_cast<std::size_t>(std::max(width, 0)) * std::max(width, 0);
    std::vector<std::uint32_t> pixels(count, table.ForPixel(0));
    const std::size_t given = std::min(count, bytes.size());
    for (std::size_t at = 0; at < given; ++at)
        pixels[at] = table.ForPixel(static_cast<unsigned char>(bytes[at]));
    return pixels;
}

Result LoadTexturePalette(const Session& session, std::string_view textureName, ColorTable& table) {
    const int palette = FindPalette(session.Table(), textureName);
    if (palette < 0)
        return Result::Refused();
    return PaletteLoad(session, session.Table().OffsetOf(palette), table);
}

Result DrawTexture(const Session& session, int i, const ColorTable& colors, TextureImage& image) {
    const EntryTable& table = session.Table();
    image = {};
    const int width = i >= 0 && i < table.Count() ? TextureWidth(table.SizeOf(i)) : 0;
    if (width == 0)
        return Result::Refused(kTextureSizeText);
    std::string bytes;
    const auto count = static_cast<std::size_t>(width) * static_cast<std::size_t>(width);
    if (const Result read = ReadEntryBytes(session, i, count, bytes); !read.IsDone())
        return read;
    image.width = width;
    image.pixels = DecodeTexture(bytes, width, colors);
    image.indices = std::move(bytes);
    image.palette = PaletteBytes(colors);
    return Result::Done();
}

namespace {

// Draws entry i through the palette `find` names for it, or black when it names none.
template <typename FindFn>
Result DrawThroughOwnPalette(const Session& session, int i, FindFn find, TextureImage& image) {
    const EntryTable& table = session.Table();
    image = {};
    if (i < 0 || i >= table.Count() || TextureWidth(table.SizeOf(i)) == 0)
        return Result::Refused(kTextureSizeText);
    ColorTable colors;  // black unless a palette is found
    if (const int palette = find(table.Name(i)); palette >= 0) {
        const Result loaded = PaletteLoad(session, table.OffsetOf(palette), colors);
        if (loaded.status == Result::Status::Failed)
            return loaded;
    }
    return DrawTexture(session, i, colors, image);
}

}  // namespace

Result DrawTexture(const Session& session, int i, TextureImage& image) {
    return DrawThroughOwnPalette(
        session, i, [&](std::string_view name) { return FindPalette(session.Table(), name); },
        image);
}

Result DrawTexture(const Session& session, int i, PaletteLookup& palettes, TextureImage& image) {
    return DrawThroughOwnPalette(
        session, i, [&](std::string_view name) { return palettes.Find(name); }, image);
}

}  // namespace karvex
