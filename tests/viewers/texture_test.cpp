// SPDX-License-Identifier: GPL-3.0-or-later
// The viewers' logic: textures, palettes, the PNG writer and the text viewer's lines.
#include <gtest/gtest.h>

#include "tests/core/fake_session.h"
#include "tests/core/test_support.h"
#include "tests/viewers/png_read.h"
#include "viewers/palette.h"
#include "viewers/png_writer.h"
#include "viewers/text_lines.h"
#include "viewers/texture.h"

namespace karvex::test {
namespace {

TEST(Texture, OnlyTwoSizesHaveAWidth) {
    const std::pair<std::int64_t, int> rows[] = {{0, 0},       {64, 0},    {4095, 0},
                                                 {4096, 64},   {4097, 0},  {65535, 0},
                                                 {65536, 256}, {65537, 0}, {-4096, 0}};
    for (const auto& [size, width] : rows)
        EXPECT_EQ(TextureWidth(size), width) << size;
}

// The palette's name is counted on the trimmed name and cut from the name as it stands.
TEST(Texture, PaletteAndPngNames) {
    const std::tuple<std::string, std::string, std::string> rows[] = {
        {"trk01.raw", "trk01.act", "trk01.png"},
        {"ART\\BOX.RAW  ", "ART\\BOX.act", "ART\\BOX.png"},
        {"  trk01.raw", "trk.act", "trk01.png"},
        {".raw", ".act", ".png"},
        {"", ".act", ".png"}};
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
    EXPECT_EQ(image.indices, std::string(100, '\x01') + std::string(3996, '\0'));
    EXPECT_EQ(image.palette, "\x0A\x0B\x0C" + std::string(100, '\x01') + std::string(665, '\0'));

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
    EXPECT_EQ(image.palette, std::string(768, '\x09'));
    FakeSession bare({{"a.raw", std::string(4096, '\x07')}});
    ASSERT_TRUE(DrawTexture(bare, 0, image).IsDone());
    EXPECT_EQ(image.palette, std::string(768, '\0')) << "black without a palette";

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
    EXPECT_EQ(ColorAt(-3, 400), 240) << "kept within the grid";

    const std::pair<double, int> rounding[] = {{2.5, 2},   {3.5, 4},  {15.49, 15},
                                               {15.5, 16}, {-0.5, 0}, {-1.5, -2}};
    for (const auto& [position, unit] : rounding)
        EXPECT_EQ(GridUnit(position), unit) << position;
}

TEST(PngWriter, ReplacesAFileWholeOrLeavesItAsItWas) {
    TempDir dir;
    WriteBytes(dir / "t.png", "old");
    std::string palette(768, '\0');
    palette.replace(3, 3, "\x01\x02\x03");
    EXPECT_EQ(WriteIndexedPngFile(dir / "t.png", {}, 2, "\x01\0\0", palette).Reason(),
              "The picture's size does not match its pixels.");
    EXPECT_EQ(ReadBytes(dir / "t.png"), "old");

    ASSERT_TRUE(WriteIndexedPngFile(dir / "t.png", {}, 2, std::string("\x01\0\0\x01", 4), palette)
                    .IsDone());
    const PngPicture png = ReadPng(dir / "t.png");
    EXPECT_TRUE(png.indexed8);
    EXPECT_EQ(png.pixels, (std::vector<std::uint32_t>{0x030201, 0, 0, 0x030201}));
    EXPECT_EQ(FilesIn(dir.path()), 1u) << "no temporary left";

    WriteBytes(dir / "game.pod", "archive");
    EXPECT_EQ(WriteIndexedPngFile(dir / "game.pod", dir / "game.pod", 1, "x", palette).Reason(),
              "It is the archive being read.");
    EXPECT_EQ(ReadBytes(dir / "game.pod"), "archive");

    EXPECT_NE(WriteIndexedPngFile(dir / "missing" / "t.png", {}, 1, "x", palette).Reason(), "");
    EXPECT_NE(WritePngFile(dir / "missing" / "t.png", {}, 1, 1, {0}).Reason(), "");
}

// The same items fed whole and in blocks of 1, 2, 3 and 5 bytes: a split break pair still ends.
TEST(TextItems, GivesTheItemsWholeAndInBlocks) {
    const struct {
        const char* what;
        std::string bytes;
        std::vector<std::string> items;
    } rows[] = {
        // clang-format off
        {"empty line is one blank", "AB\r\n\r\nCD\r\n", {"AB", " ", "CD"}},
        {"empty first line has no characters", "\r\nAB\r\n", {"", "AB"}},
        {"last line unterminated", "AB\r\nCD", {"AB"}},
        {"lone CR is a character", "A\rB\r\r\n", {"A\rB\r"}},
        {"LF CR is no break", "AB\n\rCD\r\n", {"AB\n\rCD"}},
        {"CR at the end", "AB\r\nCD\r", {"AB"}},
        {"empty", "", {}},
        {"8-bit bytes and NUL kept", std::string("\xE9\0x\r\n", 5), {std::string("\xE9\0x", 3)}},
        // clang-format on
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        EXPECT_EQ(TextItems(row.bytes), row.items);
        for (std::size_t block : {1, 2, 3, 5}) {
            std::vector<std::string> items;
            TextLineSplitter splitter([&](std::string_view item) { items.emplace_back(item); });
            for (std::size_t at = 0; at < row.bytes.size(); at += block)
                splitter.Feed(std::string_view(row.bytes).substr(at, block));
            EXPECT_EQ(items, row.items) << "blocks of " << block;
        }
    }
}

// Entry i's items, as the viewer lists them.
std::vector<std::string> Load(const Session& session, int i) {
    std::vector<std::string> items(1);
    TextLinePieces lines([&](std::string_view piece) { items.back().append(piece); },
                         [&] { items.emplace_back(); });
    EXPECT_TRUE(TextLinesLoad(session, i, lines).IsDone());
    EXPECT_EQ(items.back(), "") << "a line left without its end";
    items.pop_back();
    return items;
}

TEST(TextFromArchive, ABreakAfterTheEntryNeverEndsOneOfItsLines) {
    const FakeSession archive({{"a.txt", "AB\r\nCD"},
                               {"b.txt", "\r\nEF\r\n"},
                               {"c.txt", "GH\r\nIJ\r"},
                               {"d.txt", "\nKL\r\n"}});
    EXPECT_EQ(Load(archive, 0), (std::vector<std::string>{"AB"})) << "CD runs into b.txt's CR LF";
    EXPECT_EQ(Load(archive, 2), (std::vector<std::string>{"GH"})) << "its last CR, d.txt's LF";

    FakeSession cut({{"a.txt", "AB\r\nCD\r\nEF" + std::string(990, 'x')}});
    cut.bytes.resize(cut.bytes.size() - 990);
    EXPECT_EQ(Load(cut, 0), (std::vector<std::string>{"AB", "CD"})) << "read up to the end";
    cut.readFailure = Result::Failed("Cannot read /fake/test.pod");
    TextLinePieces none([](std::string_view) {}, [] {});
    EXPECT_EQ(TextLinesLoad(cut, 0, none).status, Result::Status::Failed);
}

// Marks every 4096th line and the first 256 KiB past a mark, counted in steps of 1000 bytes.
TEST(TextFromArchive, ReadsLinesAroundTheIndexMarks) {
    std::string text;
    for (int n = 0; n < 4100; ++n)
        text += (n == 4096 ? "" : "L" + std::to_string(n)) + "\r\n";
    text += std::string(300 * 1024, 'a') + "\r\nB\r\ntail";
    const FakeSession archive({{"t.txt", text}});
    TextLineIndex index;
    index.Open(archive, 0);
    while (!index.Complete())
        ASSERT_TRUE(index.CountMore(archive, 1000).IsDone());
    EXPECT_EQ(index.Lines(), 4102);

    const std::string cut(kShownLineBytes, 'a');
    struct Read {
        std::int64_t first, count;
        std::vector<std::string> texts;
        bool lastGoesOn = false;
    };
    for (const Read& read :
         {Read{4096, 1, {" "}}, Read{4094, 4, {"L4094", "L4095", " ", "L4097"}},
          Read{4099, 3, {"L4099", cut}, true}, Read{4101, 5, {"B"}}, Read{4102, 1, {}}}) {
        std::vector<ShownLine> lines;
        EXPECT_TRUE(index.ReadLines(archive, read.first, read.count, 1 << 20, lines).IsDone());
        std::vector<std::string> texts;
        for (const ShownLine& line : lines)
            texts.push_back(line.text);
        EXPECT_EQ(texts, read.texts) << "from line " << read.first;
        if (!lines.empty()) {
            EXPECT_EQ(lines.back().goesOn, read.lastGoesOn) << "from line " << read.first;
        }
    }
}

}  // namespace
}  // namespace karvex::test
