// SPDX-License-Identifier: GPL-3.0-or-later
// Extraction, the chunked copy, the information and response files, the Extract command.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <random>

#include "core/pod_format.h"
#include "tests/core/test_support.h"

namespace fs = std::filesystem;

namespace karvex::test {
namespace {

using namespace std::string_literals;

// An archive opened in the fixture's folder, with an empty extraction folder "out".
struct ExtractFixture : CoreFixture {
    explicit ExtractFixture(const std::string& bytes) {
        Open("game.pod", bytes);
        fs::create_directory(out());
        state.DialogPath = out().string();
        state.DialogName = "game";
        host.statuses.clear();
        host.messages.clear();
    }
    fs::path out() const { return dir / "out"; }
};

std::string Pattern(std::size_t size) {
    std::string data(size, '\0');
    for (std::size_t i = 0; i < size; ++i)
        data[i] = static_cast<char>((i * 7 + i / 251) & 0xFF);
    return data;
}

// One yield per chunk: 100000 = 61440 + 32768 + 4096 + 1024 + 2 x 256 + 2 x 64 + 32 single bytes.
TEST(ExtractSelected, TakesTheLargestChunkThatFits) {
    const std::pair<int, int> rows[] = {{0, 0},      {1, 1},     {63, 63},   {64, 1},
                                        {61439, 79}, {61440, 1}, {61441, 2}, {100000, 40}};
    for (const auto& [size, chunks] : rows) {
        SCOPED_TRACE(size);
        const std::string data = Pattern(size);
        ExtractFixture f(PodBytes({{"E.BIN", data}}));
        f.table.SetSelected(0, true);
        f.host.yields = 0;
        f.core.ExtractSelected();
        EXPECT_EQ(f.host.yields, chunks);
        EXPECT_TRUE(ReadBytes(f.out() / "E.BIN") == data);
    }
}

TEST(ExtractSelected, WritesOnlyTheSelectedEntries) {
    ExtractFixture f(PodBytes({{"A.TXT", "a"}, {"B.TXT", "b"}, {"C.TXT", "c"}}));
    f.core.ExtractSelected();
    EXPECT_TRUE(fs::is_empty(f.out()));

    f.table.SetSelected(0, true);
    f.table.SetSelected(2, true);
    f.core.ExtractSelected();
    EXPECT_EQ(FilesIn(f.out()), 2u);
    EXPECT_FALSE(fs::exists(f.out() / "B.TXT"));

    // Single-file mode: every selected entry goes to the one path.
    f.state.ViewMode = 1;
    f.state.DialogPath = (f.dir / "view.tmp").string();
    f.core.ExtractSelected();
    EXPECT_EQ(ReadBytes(f.dir / "view.tmp"), "c");

    // Into a folder the window holds open, even after it was moved.
    fs::create_directory(f.dir / "held");
    const int folder = ::open((f.dir / "held").c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    ASSERT_GE(folder, 0);
    fs::rename(f.dir / "held", f.dir / "moved");
    f.state.DialogPath = (f.dir / "held" / "copy.txt").string();
    EXPECT_TRUE(f.session.ExtractSelectedInto(folder).IsDone());
    ::close(folder);
    EXPECT_EQ(ReadBytes(f.dir / "moved" / "copy.txt"), "c");
    EXPECT_FALSE(fs::exists(f.dir / "held"));
}

TEST(ExtractAll, WritesEveryEntryByteForByteButNeverOutsideTheFolder) {
    const std::string big = Pattern(100000);
    std::vector<PodEntry> entries = {{"BIG.BIN", big}, {"EMPTY.TXT", ""}, {"A\\B\\C.RAW", "c"}};
    for (const char* name :
         {"..\\ESCAPE.TXT", "\\ROOTED.TXT", "C:DRIVE.TXT", "LINK\\OUT.TXT", "SIBLING.TXT"})
        entries.push_back({name, "x"});
    ExtractFixture f(PodBytes(entries));
    WriteBytes(f.out() / "EMPTY.TXT", std::string(500, 'x'));  // a longer file is replaced whole
    fs::create_directory(f.dir / "elsewhere");
    fs::create_directory_symlink(f.dir / "elsewhere", f.out() / "LINK");
    fs::create_directory(f.dir / "out2");
    fs::create_symlink(f.dir / "out2" / "SIBLING.TXT", f.out() / "SIBLING.TXT");
    f.core.ExtractAll();

    EXPECT_TRUE(ReadBytes(f.out() / "BIG.BIN") == big);
    EXPECT_EQ(fs::file_size(f.out() / "EMPTY.TXT"), 0u);
    EXPECT_EQ(ReadBytes(f.out() / "A" / "B" / "C.RAW"), "c");
    EXPECT_EQ(ReadBytes(f.out() / "ROOTED.TXT"), "x") << "a leading separator is dropped";
    EXPECT_EQ(f.host.statuses.at(2), "             Processing  3 of  8");
    EXPECT_FALSE(fs::exists(f.dir / "ESCAPE.TXT"));
    EXPECT_TRUE(fs::is_empty(f.dir / "elsewhere"));
    EXPECT_TRUE(fs::is_empty(f.dir / "out2"));
    EXPECT_EQ(f.Messages(),
              "These entries were not extracted, because their names do not lead to a file inside "
              "the folder " +
                  f.out().string() +
                  ":\n\n..\\ESCAPE.TXT\nC:DRIVE.TXT\nLINK\\OUT.TXT\nSIBLING.TXT");
}

TEST(Extract, EntriesPastTheEndGiveTheBytesThatExist) {
    std::string bytes = PodBytes({}, "", 4) + Record("PART.BIN", 100, 0) +
                        Record("NEG.BIN", -5, 84) + Record("NEGOFF.BIN", 5, -84) +
                        Record("FAR.BIN", 10, 0x7FFFFFF0);
    bytes += "tail";
    PutInt32(bytes.data() + 84 + 36,
             static_cast<std::int32_t>(bytes.size() - 4));  // PART.BIN: last 4 bytes
    ExtractFixture f(bytes);
    EXPECT_EQ(f.core.ExtractAll().status, Result::Status::Refused);
    EXPECT_EQ(ReadBytes(f.out() / "PART.BIN"), "tail");
    for (const char* name : {"NEG.BIN", "NEGOFF.BIN", "FAR.BIN"})
        EXPECT_EQ(ReadBytes(f.out() / name), "") << name;
    EXPECT_EQ(f.Messages(),
              "These entries reach past the end of the archive game.pod; only the bytes that "
              "exist were written:\n\nPART.BIN\nNEG.BIN\nNEGOFF.BIN\nFAR.BIN");
}

TEST(Extract, AFolderThatCannotBeWrittenStopsWithAMessage) {
    ExtractFixture f(PodBytes({{"A.TXT", "a"}, {"B.TXT", "b"}}));
    f.host.onYield = [&f] { fs::remove_all(f.out()); };
    EXPECT_EQ(f.core.ExtractAll().status, Result::Status::Failed);
    EXPECT_EQ(f.Messages(),
              "Cannot write " + (f.out() / "A.TXT").string() + "\n\nNo such file or directory");
    EXPECT_FALSE(fs::exists(f.out())) << "the routine stops at the failure";
}

// Asked before replacing, and kept on No; the columns are fixed and a long name overruns them.
TEST(WriteInfoFile, ListsTheEntriesInFixedColumnsAndAsksBeforeReplacing) {
    const std::string name32 = "ABCDEFGHIJKLMNOPQRSTUVWXYZ012345";
    ExtractFixture f(PodBytes({{"ART\\BOX.RAW", std::string(1024, 'x')}, {name32, "y"}, {"Z", ""}},
                              "  My trucks  "));
    WriteBytes(f.out() / "game.inf", "old");
    f.core.WriteInfoFile();
    EXPECT_EQ(ReadBytes(f.out() / "game.inf"), "old");
    EXPECT_EQ(f.state.FailFlag, 1);
    EXPECT_EQ(f.host.questions.at(0).text,
              "File game.inf Exists!\n\nDo you want to overwrite this file?");
    EXPECT_EQ(f.host.questions.at(0).caption, "Karvex");
    f.state.DialogOptions = "000100";  // declined within the Extract command, which ends clean
    f.core.ExtractCommand();
    EXPECT_EQ(ReadBytes(f.out() / "game.inf"), "old");
    EXPECT_EQ(f.state.FailFlag, 0) << "the next open would be taken for a failed one";

    f.host.answers = {false, false, true};
    f.core.WriteInfoFile();
    EXPECT_EQ(
        ReadBytes(f.out() / "game.inf"),
        "Pod Filename = game.pod\r\nPod Size     =  1229\r\nPod Entries  =  3\r\n"
        "Pod Title    = My trucks\r\n \r\n"
        "Filename                     File Size      File Offset\r\n"
        "ART\\BOX.RAW                  1,024           204                                \r\n"
        "ABCDEFGHIJKLMNOPQRSTUVWXYZ012145             1228                               \r\n"
        "Z                            0               1229                               \r\n");
    EXPECT_EQ(FilesIn(f.out()), 1u) << "no temporary left";
}

TEST(ExtractCommand, RunsTheTickedRoutinesAndRestoresTheComment) {
    ExtractFixture f(PodBytes({{"A.TXT", "a"}, {"B.TXT", "b"}}, "C"));
    EXPECT_TRUE(f.core.ExtractCommand().IsDone() && f.core.MakeCommand(f.row).IsDone());
    EXPECT_TRUE(f.host.statuses.empty() && f.host.messages.empty() && f.host.questions.empty());
    f.state.DialogOptions = "000000";
    f.core.ExtractCommand();
    EXPECT_TRUE(fs::is_empty(f.out()));
    EXPECT_EQ(fs::path(f.host.currentFolder), f.out());
    EXPECT_EQ(f.host.statuses.back(), "C");

    f.state.DialogName = "";  // an archive named ".pod"
    f.state.DialogOptions = "001000";
    f.core.ExtractCommand();
    EXPECT_TRUE(fs::is_empty(f.out()));
    EXPECT_EQ(f.Messages(),
              "Nothing was extracted: the archive name game.pod is too short to name the files "
              "written beside the entries.");

    f.state.DialogName = "game";
    f.table.SetSelected(1, true);
    f.state.DialogOptions = "111100";
    f.host.statuses.clear();
    f.core.ExtractCommand();
    EXPECT_EQ(FilesIn(f.out()), 4u) << "A.TXT, B.TXT, game.lst, game.inf";
    EXPECT_EQ(f.host.statuses.front(), "             Processing...");
    EXPECT_EQ(f.host.statuses.back(), "C");
}

// A cancel by the host or the session removes the half-written entry and writes nothing after.
TEST(ExtractCommand, ACancelStopsAfterTheCurrentChunk) {
    for (const bool bySession : {false, true}) {
        SCOPED_TRACE(bySession ? "the session's" : "the host's");
        ExtractFixture f(PodBytes({{"A.BIN", Pattern(61440 * 3)}, {"B.BIN", "b"}}, "C"));
        f.state.DialogOptions = "101100";
        if (bySession)
            f.host.onYield = [&] { f.session.RequestCancel(); };
        else
            f.host.cancelAfterYields = f.host.yields + 2;
        BusyScope busy(f.session);
        EXPECT_EQ(f.session.ExtractCommand().status, Result::Status::Cancelled);
        EXPECT_TRUE(fs::is_empty(f.out()));
        EXPECT_EQ(f.host.statuses.back(), "             Cancelled.");
        EXPECT_EQ(f.host.lamps.back(), Lamp::Green);
    }
}

// Random damage: loading and extracting never crash, hang or write outside the folder.
TEST(Robustness, DamagedArchivesAreHandled) {
    const std::string good =
        PodBytes({{"A.RAW", Pattern(3000)}, {"SUB\\B.ACT", Pattern(768)}, {"C.TXT", "text"}});
    std::mt19937 random(12345);
    for (int round = 0; round < 150; ++round) {
        std::string bytes = good;
        const int damage = 1 + static_cast<int>(random() % 8);
        for (int k = 0; k < damage; ++k)
            bytes[random() % 220] = static_cast<char>(random());
        if (round % 5 == 0)
            bytes.resize(random() % bytes.size());
        ExtractFixture f(bytes);
        f.core.ExtractAll();
        EXPECT_EQ(FilesIn(f.dir.path()), 2u) << "only game.pod and out";
    }
}

}  // namespace
}  // namespace karvex::test
