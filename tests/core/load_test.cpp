// SPDX-License-Identifier: GPL-3.0-or-later
// Loading archives and response files, and what the open sequences leave on screen.
#include <gtest/gtest.h>

#include "core/paths.h"
#include "core/pod_format.h"
#include "tests/core/test_support.h"

namespace fs = std::filesystem;

namespace karvex::test {
namespace {

using namespace std::string_literals;

TEST(LoadPodFile, ListsAValidArchive) {
    CoreFixture f;
    WriteBytes(f.dir / "three.pod",
               PodBytes({{"A.RAW", std::string(1024, 'a')}, {"B.ACT", "bb"}, {"ART\\C.TXT", ""}},
                        "Trucks"));
    ASSERT_TRUE(f.Open("three.pod"));
    EXPECT_EQ(f.Listing(), "A.RAW|1,024| 204\nB.ACT|2| 1228\nART\\C.TXT|0| 1230\n");
    EXPECT_EQ(f.Screen(), "Trucks|1,230|3|green|011|0");
    EXPECT_EQ(f.host.timer, 100);
    EXPECT_EQ(f.host.statuses.front(), "             Loading...");
    EXPECT_EQ(f.state.PodPath, (f.dir / "three.pod").string());
    EXPECT_EQ(f.state.PodComment, "Trucks" + std::string(74, '\0'));
}

TEST(LoadPodFile, ListsSizesAndOffsetsAsStored) {
    CoreFixture f;
    WriteBytes(f.dir / "odd.pod",
               PodBytes({}, "", 2) + Record("X", -1, 999999) + Record("Y", 5000000, -7));
    ASSERT_TRUE(f.Open("odd.pod"));
    EXPECT_EQ(f.Listing(), "X|-1| 999999\nY|5,000,000|-7\n");
}

// Corrupt and truncated archives: what is listed, and that the load is reported failed
// with the Extract and Edit buttons as an earlier archive left them.
struct BadArchive {
    const char* what;
    std::string bytes;
    int listed;
};

void PrintTo(const BadArchive& row, std::ostream* out) {
    *out << row.what;
}

class LoadBadArchive : public testing::TestWithParam<BadArchive> {};

TEST_P(LoadBadArchive, ListsWhatIsThereAndFails) {
    CoreFixture f;
    f.row.Command3D3 = f.row.Command1 = true;
    WriteBytes(f.dir / "bad.pod", GetParam().bytes);
    EXPECT_FALSE(f.Open("bad.pod"));
    EXPECT_EQ(f.table.Count(), GetParam().listed);
    EXPECT_EQ(f.Screen(), "Load Failed  -  File may not be a valid POD file.|||magenta|011|0");
}

std::string WithCount(std::string bytes, std::int32_t count) {
    PutInt32(bytes.data(), count);
    return bytes;
}

const std::string kGood = PodBytes({{"A.RAW", "aaaa"}, {"B.RAW", "bb"}, {"C.RAW", "c"}});

INSTANTIATE_TEST_SUITE_P(
    Corrupt, LoadBadArchive,
    testing::Values(BadArchive{"empty file", "", 0},
                    BadArchive{"header only, count 0", PodBytes({}), 0},
                    BadArchive{"negative count", WithCount(kGood, -5), 0},
                    BadArchive{"second name starts with NUL",
                               PodBytes({{"A.RAW", "a"}, {"\0B.RAW"s, "b"}, {"C.RAW", "c"}}), 3},
                    BadArchive{"name of 32 blanks", PodBytes({{std::string(32, ' '), "x"}}), 1},
                    BadArchive{"table cut off after one record", kGood.substr(0, 84 + 40 + 10), 3},
                    BadArchive{"count far beyond the file", WithCount(kGood, 0x7FFFFFFF), 32767},
                    BadArchive{"count just past the limit", WithCount(kGood, 32768), 32767}),
    [](const auto& info) {
        std::string name = info.param.what;
        for (char& c : name)
            c = std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
        return name;
    });

TEST(LoadPodFile, StopsAtTheEntryLimitWithOneMessage) {
    CoreFixture f;
    std::string bytes = PodBytes({}, "", 32768);
    for (int i = 0; i < 32768; ++i)
        bytes += Record("F" + std::to_string(i), 0, 0);
    WriteBytes(f.dir / "big.pod", bytes);
    EXPECT_FALSE(f.Open("big.pod"));
    EXPECT_EQ(f.table.Count(), 32767);
    EXPECT_EQ(f.table.Name(32766), "F32766");
    ASSERT_EQ(f.host.messages.size(), 1u);
    EXPECT_EQ(f.host.messages[0].text, "Maximum files reached (32768)");
    EXPECT_EQ(f.host.messages[0].caption, "Karvex32");
    EXPECT_EQ(f.host.messages[0].icon, Icon::Critical);

    PutInt32(bytes.data(), 32767);  // one entry fewer loads
    WriteBytes(f.dir / "full.pod", bytes);
    EXPECT_TRUE(f.Open("full.pod"));
    EXPECT_EQ(f.row.Label4, "32,767");
}

TEST(LoadPodFile, AFileThatCannotBeReadIsNamed) {
    CoreFixture f;
    f.state.PodFileName = "gone.pod";
    EXPECT_EQ(f.core.OpenPodSequence(f.row).status, Result::Status::Failed);
    ASSERT_EQ(f.host.messages.size(), 1u);
    EXPECT_EQ(f.host.messages[0].text,
              "Cannot read " + (f.dir / "gone.pod").string() + "\n\nNo such file or directory");
}

TEST(LoadResponseFile, ReadsNamesSizesAndFutureOffsets) {
    CoreFixture f;
    WriteBytes(f.dir / "a.raw", std::string(100, 'a'));
    WriteBytes(f.dir / "b.act", std::string(50, 'b'));
    WriteBytes(f.dir / "x.bin", std::string(1500, 'x'));
    WriteBytes(f.dir / "list.lst", "a.raw\r\n\r\nb.act\r\n  x.bin , more text\r\n   \r\n");
    ASSERT_TRUE(f.Open("list.lst"));
    EXPECT_EQ(f.Listing(), "a.raw|100|204\nb.act|50|304\nx.bin|1,500|354\n");
    EXPECT_EQ(f.Screen(), "list.lst|1,854|3|green|100|0");
    EXPECT_EQ(f.state.PodComment, std::string(80, ' '));
}

TEST(LoadResponseFile, LineRules) {
    CoreFixture f;
    const std::string name32 = std::string(26, 'n') + ".a.raw";
    WriteBytes(f.dir / name32, "1");
    WriteBytes(f.dir / "b.raw", "22");
    WriteBytes(f.dir / "c.raw", "333");
    // A 40-character line counts by its first 32 characters; bare line feeds end lines too;
    // the last line needs no line end; the letter case of a file on disk does not matter.
    WriteBytes(f.dir / "l.lst", name32 + "IGNORED!\nb.raw\r\nC.RAW");
    ASSERT_TRUE(f.Open("l.lst"));
    EXPECT_EQ(f.Listing(), name32 + "|1|204\nb.raw|2|205\nC.RAW|3|207\n");
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

    // A list in a direct subfolder of the root: its parent, the root, is never searched,
    // so a file that only the root holds (etc/passwd) is missing.
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

TEST(LoadResponseFile, AnEmptyListIsIncomplete) {
    CoreFixture f;
    WriteBytes(f.dir / "e.lst", "\r\n   \r\n");
    EXPECT_FALSE(f.Open("e.lst"));
    EXPECT_EQ(f.Screen(), "e.lst  -  Incomplete, Files Missing|Unknown|Unknown|magenta|000|0");
}

}  // namespace
}  // namespace karvex::test
