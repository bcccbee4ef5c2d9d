// SPDX-License-Identifier: GPL-3.0-or-later
// Palettes as GIMP palette texts and PNG swatches, both ways.
#include <gtest/gtest.h>

#include <cstdio>
#include <functional>

#include "tests/core/test_support.h"
#include "viewers/palette_files.h"
#include "viewers/png_writer.h"

namespace karvex::test {
namespace {

// 256 lines "R G B" of RampPalette's colours, each after `prefix`.
std::string ColorLines(const std::string& prefix = "") {
    std::string lines;
    for (int n = 0; n < 256; ++n)
        lines += prefix + std::to_string(n) + " " + std::to_string(255 - n) + "\t" +
                 std::to_string(n / 2) + " name " + std::to_string(n) + "\r\n";
    return lines;
}

// What `write` writes to a file.
std::string Written(const std::function<IoStatus(std::FILE*)>& write) {
    std::FILE* file = std::tmpfile();
    EXPECT_TRUE(write(file).IsDone());
    std::string bytes(static_cast<std::size_t>(std::ftell(file)), '\0');
    std::rewind(file);
    EXPECT_EQ(std::fread(bytes.data(), 1, bytes.size(), file), bytes.size());
    std::fclose(file);
    return bytes;
}

TEST(PaletteFiles, GplTextNamesEveryColour) {
    const std::string text = GplText(RampPalette(), "SKY\nACT");
    EXPECT_EQ(text.substr(0, 81),
              "GIMP Palette\nName: SKY ACT\nColumns: 16\n#\n  0 255   0\tIndex 0\n  1 254   "
              "0\tIndex 1\n");
    EXPECT_TRUE(text.ends_with("255   0 127\tIndex 255\n"));
    std::string back;
    ASSERT_TRUE(ReadGpl(text, back).IsDone());
    EXPECT_EQ(back, RampPalette());
}

TEST(PaletteFiles, ReadsOnlyPalettesOf256Colours) {
    const std::string head = "GIMP Palette\r\nName: x\r\nColumns: 4\r\n# comment\r\n\r\n";
    const std::string lines = ColorLines();
    const std::string lastLine = lines.substr(lines.rfind("255 0"));
    const struct Row {
        const char* what;
        std::string text;
        std::string refusal;  // empty: RampPalette is read
    } rows[] = {
        {"CR LF, tabs, names, a byte order mark", "\xEF\xBB\xBF" + head + lines, ""},
        {"leading blanks", head + ColorLines("  "), ""},
        {"255 colours", head + lines.substr(0, lines.size() - lastLine.size()),
         "The palette holds 255 colours; a texture's palette holds 256."},
        {"257 colours", head + lines + "1 2 3\n",
         "The palette holds 257 colours; a texture's palette holds 256."},
        {"no colour", head, "The palette holds 0 colours; a texture's palette holds 256."},
        {"another file", "GIMP Palettes\n" + lines,
         "The file is not a GIMP palette: its first line is not \"GIMP Palette\"."},
        {"empty", "", "The file is empty."},
        {"256 is no component", head + "256 0 0\n" + lines,
         "Line 6 of the palette is not a colour of three numbers from 0 to 255."},
        {"two components", head + "1 2\n",
         "Line 6 of the palette is not a colour of three numbers from 0 to 255."},
        {"a sign", head + "-1 2 3\n",
         "Line 6 of the palette is not a colour of three numbers from 0 to 255."},
        {"glued", head + "1 2 3x\n",
         "Line 6 of the palette is not a colour of three numbers from 0 to 255."},
    };
    for (const Row& row : rows) {
        std::string palette = "stale";
        const Result read = ReadGpl(row.text, palette);
        EXPECT_EQ(read.message, row.refusal) << row.what;
        EXPECT_EQ(palette, row.refusal.empty() ? RampPalette() : "") << row.what;
    }
}

TEST(PaletteFiles, SwatchesGoBothWaysAndOnlyAt16By16) {
    std::string palette = RampPalette();
    palette.replace(30, 6, "\1\2\3\1\2\3");  // colours 10 and 11 the same
    std::string back;
    ASSERT_TRUE(
        ReadPaletteSwatch(
            Written([&](std::FILE* file) { return WritePaletteSwatch(file, palette); }), back)
            .IsDone());
    EXPECT_EQ(back, palette);
    const std::string wrong = Written([](std::FILE* file) {
        return WritePng(file, 16, 17, std::vector<std::uint32_t>(16 * 17));
    });
    EXPECT_EQ(ReadPaletteSwatch(wrong, back).message,
              "Only a palette swatch of 16x16 pixels can be imported. The picture is 16x17.");
    EXPECT_EQ(ReadPaletteSwatch("junk", back).status, Result::Status::Failed);
}

}  // namespace
}  // namespace karvex::test
