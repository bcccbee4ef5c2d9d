// SPDX-License-Identifier: GPL-3.0-or-later
// The PNG writer: what it writes reads back through libpng as the same 8-bit RGB pixels,
// and a file that stands at the target is replaced whole or not at all, never the archive.
#include <gtest/gtest.h>

#include "tests/core/test_support.h"
#include "tests/viewers/png_read.h"
#include "viewers/png_writer.h"
#include "viewers/texture.h"

namespace fs = std::filesystem;

namespace karvex::test {
namespace {

TEST(PngWriter, WritesPixelsThatReadBackTheSame) {
    TempDir dir;
    for (const int width : {64, 256}) {
        std::vector<std::uint32_t> pixels;
        for (int i = 0; i < width * width; ++i)
            pixels.push_back(ColorValue(i % 256, (i / 256) % 256, (i * 7) % 256));
        pixels.back() = ColorValue(255, 255, 255);
        ASSERT_TRUE(WritePngFile(dir / "t.png", {}, width, width, pixels).IsDone());
        const PngPicture back = ReadPng(dir / "t.png");
        ASSERT_TRUE(back.ok);
        EXPECT_TRUE(back.rgb8);
        EXPECT_EQ(back.width, static_cast<unsigned>(width));
        EXPECT_EQ(back.height, static_cast<unsigned>(width));
        EXPECT_EQ(back.pixels, pixels);
    }
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
