// SPDX-License-Identifier: GPL-3.0-or-later
// The texture and palette viewers' logic, and the PNG writer (whose pictures the CLI tests read
// back): a file at the target is replaced whole or not at all, never the archive.
#include <gtest/gtest.h>

#include "tests/core/fake_session.h"
#include "tests/core/test_support.h"
#include "tests/viewers/png_read.h"
#include "viewers/palette.h"
#include "viewers/png_writer.h"
#include "viewers/texture.h"

namespace fs = std::filesystem;

namespace karvex::test {
namespace {

// A palette whose colour n is (n, 255 - n, n / 2).
std::string RampPalette() {
    std::string bytes;
    for (int n = 0; n < 256; ++n)
        bytes += {static_cast<char>(n), static_cast<char>(255 - n), static_cast<char>(n / 2)};
    return bytes;
}

TEST(Texture, OnlyTwoSizesHaveAWidth) {
    const std::pair<std::int64_t, int> rows[] = {{0, 0},       {64, 0},    {4095, 0},
                                                 {4096, 64},   {4097, 0},  {65535, 0},
                                                 {65536, 256}, {65537, 0}, {-4096, 0}};
    for (const auto& [size, width] : rows)
        EXPECT_EQ(TextureWidth(size), width) << size;
}

TEST(Texture, PaletteAndPngNames) {
    const std::tuple<std::string, std::string, std::string> rows[] = {
        {"trk01.raw", "trk01.act", "trk01.png"},
        {"ART\\BOX.RAW  ", "ART\\BOX.act", "ART\\BOX.png"},
        // The count comes from the trimmed name, the cut from the name as it stands.
        {"  trk01.raw", "trk.act", "trk01.png"},
        {".raw", ".act", ".png"},
        {"ab", ".act", ".png"},
        {"", ".act", ".png"},
    };
    for (const auto& [texture, palette, png] : rows) {
        EXPECT_EQ(PaletteNameFor(texture), palette) << texture;
        EXPECT_EQ(PngNameFor(texture), png) << texture;
    }
}

TEST(Texture, PaletteSearchTakesTheFirstContainingItsNameThenTheDefault) {
    auto find = [](std::vector<std::string> names, const std::string& texture) {
        EntryTable table;
        for (auto& name : names)
            table.Append(std::move(name), 768, "768", 0, "0");
        const int found = FindPalette(table, texture);
        PaletteLookup lookup(table);  // the same answer, found and then remembered
        EXPECT_EQ(lookup.Find(texture), found) << texture;
        EXPECT_EQ(lookup.Find(texture), found) << texture;
        return found;
    };
    EXPECT_EQ(find({"metalcr2.act", "trk01.act"}, "trk01.raw"), 1);
    EXPECT_EQ(find({"xtrk01.act", "trk01.act"}, "trk01.raw"), 0) << "containment, table order";
    EXPECT_EQ(find({"ART\\TRK01.ACT.OLD"}, "trk01.raw"), 0) << "ignoring case";
    EXPECT_EQ(find({"a.act", "OLD\\METALCR2.ACT", "metalcr2.act"}, "trk01.raw"), 1);
    EXPECT_EQ(find({"\xE9t\xE9.act", "\xC9T\xC9.ACT"}, "\xC9t\xC9.raw"), 1) << "A to Z only";
    EXPECT_EQ(find({"a.act", "trk01.raw"}, "trk01.raw"), -1);
    EXPECT_EQ(find({}, "trk01.raw"), -1);
}

// Pixel byte b takes palette colour b, the bytes 3b to 3b + 2; missing bytes count as zero.
TEST(Texture, DecodesThroughTheColorTable) {
    ColorTable table;
    table.values[0] = 7;
    PaletteLoad(table, RampPalette());
    EXPECT_EQ(table.values[0], 7u) << "index 0 is never filled";
    EXPECT_EQ(ColorValue(0x12, 0x34, 0x56), 0x563412u);
    std::string bytes(4096, '\x05');
    bytes.replace(63, 2, "\xFF\x01");  // the end of row 0, the start of row 1
    auto pixels = DecodeTexture(bytes.replace(0, 1, 1, '\0'), 64, table);
    EXPECT_EQ(pixels.size(), 4096u);
    EXPECT_EQ(pixels[0], ColorValue(0, 255, 0));
    EXPECT_EQ(pixels[63], ColorValue(255, 0, 127));
    EXPECT_EQ(pixels[64], ColorValue(1, 254, 0));
    EXPECT_EQ(pixels[4095], ColorValue(5, 250, 2));
    EXPECT_EQ(DecodeTexture("\x05", 64, table)[4095], ColorValue(0, 255, 0)) << "missing: 0";
}

// The default palette runs into the texture, which runs past the archive's end (100 of 4096).
TEST(DrawFromArchive, TheDefaultPaletteAndBytesPastTheArchivesEndCountAsZero) {
    TextureImage image;
    FakeSession archive({{"metalcr2.act", "\x0A\x0B\x0C"},
                         {"a.raw", std::string(100, '\x01') + std::string(3996, '\0')},
                         {"b.raw", std::string(4095, '\0')}});
    archive.bytes.resize(archive.bytes.size() - 3996 - 4095);
    EXPECT_EQ(DrawTexture(archive, 2, image).message, kTextureSizeText);
    EXPECT_TRUE(image.pixels.empty());
    ASSERT_TRUE(DrawTexture(archive, 1, image).IsDone());
    std::vector<std::uint32_t> expected(4096, ColorValue(10, 11, 12));
    std::fill_n(expected.begin(), 100, ColorValue(1, 1, 1));
    EXPECT_EQ(image.pixels, expected);

    ColorTable table;
    table.values[200] = 99;
    ASSERT_TRUE(PaletteLoad(archive, archive.Table().OffsetOf(0), table).IsDone());
    EXPECT_EQ(table.values[34], ColorValue(1, 1, 1));
    EXPECT_EQ(table.values[35], ColorValue(1, 0, 0));
    EXPECT_EQ(table.values[200], 0u);
}

TEST(DrawFromArchive, ATableIsKeptWhenNoPaletteIsFoundOrTheArchiveIsGone) {
    TextureImage image;
    FakeSession archive({{"a.raw", std::string(4096, '\0')}, {"b.act", std::string(768, '\x09')}});
    ColorTable table;
    ASSERT_TRUE(LoadTexturePalette(archive, "b.raw", table).IsDone());
    EXPECT_EQ(table.values[1], ColorValue(9, 9, 9));
    EXPECT_EQ(LoadTexturePalette(archive, "a.raw", table).status, Result::Status::Refused);
    EXPECT_EQ(table.values[1], ColorValue(9, 9, 9)) << "the last palette's colours stay";
    ASSERT_TRUE(DrawTexture(archive, 0, table, image).IsDone());
    EXPECT_EQ(image.pixels[0], ColorValue(9, 9, 9));

    archive.readFailure = Result::Failed("Cannot read /fake/test.pod");
    EXPECT_EQ(LoadTexturePalette(archive, "b.raw", table).status, Result::Status::Failed);
    EXPECT_EQ(DrawTexture(archive, 0, image).status, Result::Status::Failed);
    EXPECT_EQ(table.values[1], ColorValue(9, 9, 9));
}

TEST(Palette, OutlinesLightComponentsInZeroAndDarkOnesIn255) {
    const std::pair<Rgb, Rgb> rows[] = {{{200, 50, 127}, {0, 255, 0}},
                                        {{255, 255, 255}, {0, 0, 0}},
                                        {{0, 0, 0}, {255, 255, 255}},
                                        {{126, 127, 128}, {255, 0, 0}}};
    for (const auto& [color, outline] : rows)
        EXPECT_EQ(OutlineColor(color), outline) << ColorListLine(color);
}

TEST(Palette, CellsAndClicksOnTheGrid) {
    EXPECT_EQ(CellCorner(0), (GridPoint{0, 0}));
    EXPECT_EQ(CellCorner(15), (GridPoint{240, 0}));
    EXPECT_EQ(CellCorner(16), (GridPoint{0, 16}));
    EXPECT_EQ(CellCorner(255), (GridPoint{240, 240}));

    EXPECT_EQ(ColorAt(20, 5), 1);
    EXPECT_EQ(ColorAt(250, 250), 255);
    EXPECT_EQ(ColorAt(15, 15), 0) << "the gap right of and below a swatch is its own";
    EXPECT_EQ(ColorAt(16, 0), 1);
    EXPECT_EQ(ColorAt(-3, 400), 240) << "kept within the grid";

    const std::pair<double, int> rounding[] = {{2.5, 2},   {3.5, 4},  {15.49, 15},
                                               {15.5, 16}, {-0.5, 0}, {-1.5, -2}};
    for (const auto& [position, unit] : rounding)
        EXPECT_EQ(GridUnit(position), unit) << position;
}

TEST(PngWriter, ReplacesAFileWholeOrLeavesItAsItWas) {
    TempDir dir;
    WriteBytes(dir / "t.png", "old");
    EXPECT_EQ(WritePngFile(dir / "t.png", {}, 2, 2, {1, 2, 3}).Reason(),
              "The picture's size does not match its pixels.");
    EXPECT_EQ(ReadBytes(dir / "t.png"), "old");

    ASSERT_TRUE(WritePngFile(dir / "t.png", {}, 2, 1, {ColorValue(1, 2, 3), 0}).IsDone());
    EXPECT_EQ(ReadPng(dir / "t.png").pixels, (std::vector<std::uint32_t>{0x030201, 0}));
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 1)
        << "no temporary left";

    WriteBytes(dir / "game.pod", "archive");
    EXPECT_EQ(WritePngFile(dir / "game.pod", dir / "game.pod", 1, 1, {0}).Reason(),
              "It is the archive being read.");
    EXPECT_EQ(ReadBytes(dir / "game.pod"), "archive");

    const IoStatus missing = WritePngFile(dir / "missing" / "t.png", {}, 1, 1, {0});
    EXPECT_FALSE(missing.IsDone());
    EXPECT_FALSE(missing.Reason().empty());
}

}  // namespace
}  // namespace karvex::test
