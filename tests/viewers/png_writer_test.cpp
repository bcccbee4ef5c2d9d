// SPDX-License-Identifier: GPL-3.0-or-later
// The PNG writer (its pictures are read back in the command line's tests): a file at the
// target is replaced whole or not at all, never the archive.
#include <gtest/gtest.h>

#include "tests/core/test_support.h"
#include "tests/viewers/png_read.h"
#include "viewers/png_writer.h"
#include "viewers/texture.h"

namespace fs = std::filesystem;

namespace karvex::test {
namespace {

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
