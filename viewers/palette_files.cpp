// SPDX-License-Identifier: GPL-3.0-or-later
#include "viewers/palette_files.h"

#include <charconv>
#include <cstdint>
#include <vector>

#include "core/text.h"
#include "viewers/png_reader.h"
#include "viewers/png_writer.h"
#include "viewers/texture.h"

namespace karvex {
namespace {

constexpr std::string_view kGplFirstLine = "GIMP Palette";
constexpr int kSwatchSide = 16;

unsigned char ByteAt(std::string_view palette, std::size_t at) {
    return at < palette.size() ? static_cast<unsigned char>(palette[at]) : 0;
}

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f';
}

std::string_view TrimBlanks(std::string_view text) {
    while (!text.empty() && IsBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

// Reads one component, 0 to 255 in decimal, and the blanks after it, from the front of
// `line`; false when the line does not start with one.
bool TakeComponent(std::string_view& line, unsigned char& value) {
    line = TrimBlanks(line);
    unsigned number = 256;
    const auto [end, error] = std::from_chars(line.data(), line.data() + line.size(), number);
    if (error != std::errc() || number > 255 ||
        (end != line.data() + line.size() && !IsBlank(*end)))
        return false;
    value = static_cast<unsigned char>(number);
    line.remove_prefix(static_cast<std::size_t>(end - line.data()));
    return true;
}

}  // namespace

std::string GplText(std::string_view palette, std::string_view name) {
    // The name is one line of the file: a line break in an entry's name would end it.
    std::string shownName(name);
    for (char& c : shownName) {
        if (static_cast<unsigned char>(c) < 32 || c == 127)
            c = ' ';
    }
    std::string text = std::string(kGplFirstLine) + "\nName: " + shownName + "\nColumns: 16\n#\n";
    char line[32];
    for (int n = 0; n < 256; ++n) {
        const auto at = static_cast<std::size_t>(3 * n);
        std::snprintf(line, sizeof line, "%3u %3u %3u\tIndex %d\n", ByteAt(palette, at),
                      ByteAt(palette, at + 1), ByteAt(palette, at + 2), n);
        text += line;
    }
    return text;
}

Result ReadGpl(std::string_view text, std::string& palette) {
    palette.clear();
    if (text.starts_with("\xEF\xBB\xBF"))
        text.remove_prefix(3);  // a UTF-8 byte order mark
    std::string colors;
    std::size_t count = 0;
    std::size_t lineNumber = 0;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        std::string_view line = TrimBlanks(text.substr(0, end));
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        if (++lineNumber == 1) {
            if (line != kGplFirstLine)
                return Result::Refused("The file is not a GIMP palette: its first line is not \"" +
                                       std::string(kGplFirstLine) + "\".");
            continue;
        }
        if (line.empty() || line.starts_with('#') || line.starts_with("Name:") ||
            line.starts_with("Columns:"))
            continue;
        unsigned char rgb[3];
        for (unsigned char& component : rgb) {
            if (!TakeComponent(line, component))
                return Result::Refused("Line " + std::to_string(lineNumber) +
                                       " of the palette is not a colour of three numbers from 0 "
                                       "to 255.");
        }
        if (++count <= 256)
            colors.append(reinterpret_cast<const char*>(rgb), 3);
    }
    if (lineNumber == 0)
        return Result::Refused("The file is empty.");
    if (count != 256)
        return Result::Refused("The palette holds " + std::to_string(count) +
                               (count == 1 ? " colour" : " colours") +
                               "; a texture's palette holds 256.");
    palette = std::move(colors);
    return Result::Done();
}

IoStatus WritePaletteSwatch(std::FILE* file, std::string_view palette) {
    std::vector<std::uint32_t> pixels(kSwatchSide * kSwatchSide);
    for (std::size_t n = 0; n < pixels.size(); ++n)
        pixels[n] = ColorValue(ByteAt(palette, 3 * n), ByteAt(palette, 3 * n + 1),
                               ByteAt(palette, 3 * n + 2));
    return WritePng(file, kSwatchSide, kSwatchSide, pixels);
}

Result ReadPaletteSwatch(std::string_view png, std::string& palette) {
    palette.clear();
    const PngSizeRule sixteen = [](int width, int height) -> std::string {
        if (width == kSwatchSide && height == kSwatchSide)
            return "";
        return "Only a palette swatch of 16x16 pixels can be imported. The picture is " +
               std::to_string(width) + "x" + std::to_string(height) + ".";
    };
    PngPixels pixels;
    if (Result decoded = DecodePng(png, sixteen, {}, pixels); !decoded.IsDone())
        return decoded;
    palette = std::move(pixels.bytes);
    return Result::Done();
}

IoStatus WritePaletteFile(const std::filesystem::path& path, const std::filesystem::path& archive,
                          std::string_view palette, std::string_view name) {
    if (!EndsWithNoCase(path.filename().string(), ".gpl"))
        return WriteReplacing(path, archive,
                              [&](std::FILE* file) { return WritePaletteSwatch(file, palette); });
    const std::string text = GplText(palette, name);
    return WriteReplacing(path, archive, [&](std::FILE* file) {
        return std::fwrite(text.data(), 1, text.size(), file) == text.size()
                   ? IoStatus::Done()
                   : IoStatus::FromErrno(IoStatus::Code::WriteFailed);
    });
}

}  // namespace karvex
