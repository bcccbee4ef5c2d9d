// SPDX-License-Identifier: GPL-3.0-or-later
// Loading archives and response files, and what the open sequences leave on screen.
#include <gtest/gtest.h>

#include "core/paths.h"
#include "core/pod_format.h"
#include "tests/core/test_support.h"

namespace fs = std::filesystem;

namespace karvex::test {
namespace {

TEST(LoadPodFile, ListsAValidArchive) {
    CoreFixture f;
    ASSERT_TRUE(
        f.Open("three.pod",
               PodBytes({{"A.RAW", std::string(1024, 'a')}, {"B.ACT", "bb"}, {"ART\\C.TXT", ""}},
                        "Trucks")));
    EXPECT_EQ(f.Listing(), "A.RAW|1,024| 204\nB.ACT|2| 1228\nART\\C.TXT|0| 1230\n");
    EXPECT_EQ(f.Screen(), "Trucks|1,230|3|green|011|0");
    EXPECT_EQ(f.host.statuses.front(), "             Loading...");
    EXPECT_EQ(f.state.PodPath, (f.dir / "three.pod").string());
    EXPECT_EQ(f.state.PodComment, "Trucks" + std::string(74, '\0'));
    // Odd sizes and offsets are listed as stored.
    ASSERT_TRUE(f.Open("odd.pod",
                       PodBytes({}, "", 2) + Record("X", -1, 999999) + Record("Y", 5000000, -7)));
    EXPECT_EQ(f.Listing(), "X|-1| 999999\nY|5,000,000|-7\n");
}

TEST(LoadPodFile, StopsAtTheEntryLimitWithOneMessage) {
    CoreFixture f;
    std::string bytes = PodBytes({}, "", 32768);
    for (int i = 0; i < 32768; ++i)
        bytes += Record("F" + std::to_string(i), 0, 0);
    EXPECT_FALSE(f.Open("big.pod", bytes));
    EXPECT_EQ(f.table.Count(), 32767);
    EXPECT_EQ(f.table.Name(32766), "F32766");
    EXPECT_EQ(f.Messages(), "Maximum files reached (32768)");
    EXPECT_EQ(f.host.messages[0].caption, "Karvex32");
    EXPECT_EQ(f.host.messages[0].icon, Icon::Critical);

    PutInt32(bytes.data(), 32767);  // one entry fewer loads
    EXPECT_TRUE(f.Open("full.pod", bytes));
    EXPECT_EQ(f.row.Label4, "32,767");
}

// A line counts by its first 32 characters, trimmed, up to a comma; blank lines are skipped.
TEST(LoadResponseFile, ReadsNamesSizesAndFutureOffsets) {
    CoreFixture f;
    const std::string name32 = std::string(26, 'n') + ".a.raw";
    WriteBytes(f.dir / name32, std::string(100, 'a'));
    WriteBytes(f.dir / "b.act", std::string(50, 'b'));
    WriteBytes(f.dir / "x.bin", std::string(1500, 'x'));
    ASSERT_TRUE(
        f.Open("list.lst", name32 + "IGNORED!\r\n\r\nb.act\n  x.bin , more text\r\n   \r\nB.ACT"));
    EXPECT_EQ(f.Listing(), name32 + "|100|244\nb.act|50|344\nx.bin|1,500|394\nB.ACT|50|1894\n");
    EXPECT_EQ(f.Screen(), "list.lst|1,944|4|green|100|0");
    EXPECT_EQ(f.state.PodComment, std::string(80, ' '));
}

TEST(LoadResponseFile, FindsFilesInTheParentFolderButNeverInARoot) {
    CoreFixture f;
    f.row.Command3D2 = true;
    WriteBytes(f.dir / "up.raw", std::string(10, 'u'));
    WriteBytes(f.dir / "sub" / "l.lst", "up.raw\r\nnowhere.raw\r\n");
    f.state.PodFolder = (f.dir / "sub").string();
    EXPECT_FALSE(f.Open("l.lst"));
    EXPECT_EQ(f.Listing(), "up.raw|10|164\nnowhere.raw|Missing|Missing\n");
    EXPECT_EQ(f.Screen(), "l.lst  -  Incomplete, Files Missing|Unknown|Unknown|magenta|100|0");
    EXPECT_EQ(f.state.ParentFolder, f.dir.path().string());

    // The root is never searched as a parent folder.
    const fs::path temp = fs::temp_directory_path();
    if (temp.parent_path() != temp.root_path())
        GTEST_SKIP() << "the temporary folder is not below the root";
    CoreFixture g;
    const std::string listName = "karvex-root-" + f.dir.path().filename().string() + ".lst";
    WriteBytes(temp / listName, "etc\\passwd\r\n");
    g.state.PodFolder = FolderText(temp);
    g.state.PodFileName = listName;
    EXPECT_EQ(g.core.OpenResponseSequence(g.row).status, Result::Status::Refused);
    fs::remove(temp / listName);
    EXPECT_EQ(g.Listing(), "etc\\passwd|Missing|Missing\n");
}

}  // namespace
}  // namespace karvex::test
