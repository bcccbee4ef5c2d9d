// SPDX-License-Identifier: GPL-3.0-or-later
// Files written so that they cannot be turned against the user: what stands at an entry's
// place, the archive being read, hard links, modes, temporaries and killed writes.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>

#include "core/replacing_file.h"
#include "core/target_folder.h"
#include "tests/core/test_support.h"

namespace fs = std::filesystem;

namespace karvex::test {
namespace {

// Both ways of writing a new file: unnamed until complete, and named from the start.
class BothWriters : public testing::TestWithParam<bool> {
  protected:
    void SetUp() override {
        if (GetParam())
            ::setenv("KARVEX_NO_TMPFILE", "1", 1);
    }
    void TearDown() override { ::unsetenv("KARVEX_NO_TMPFILE"); }
};

std::string Names(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    std::string text;
    for (const auto& name : names)
        text += name + " ";
    return text;
}

mode_t ModeOf(const fs::path& path) {
    struct stat info {};
    ::stat(path.c_str(), &info);
    return info.st_mode & 07777;
}

// What stands at an entry's place: a folder, a FIFO (which must not hang the run) and the
// archive being read are refused by name; a file is replaced, but a hard link to it keeps
// its old content, and the replacement keeps the old mode. No temporary is left.
TEST_P(BothWriters, ExtractionWritesFreshFilesOnly) {
    CoreFixture f;
    const fs::path out = f.dir / "out";
    fs::create_directories(out / "FOLDER.TXT");
    ASSERT_EQ(::mkfifo((out / "FIFO.TXT").c_str(), 0644), 0);
    WriteBytes(f.dir / "outside.txt", "outside");
    fs::create_hard_link(f.dir / "outside.txt", out / "LINKED.TXT");
    WriteBytes(out / "PRIVATE.TXT", "old");
    fs::permissions(out / "PRIVATE.TXT", fs::perms::owner_read | fs::perms::owner_write);
    const std::string archive = PodBytes({{"FOLDER.TXT", "f"},
                                          {"FIFO.TXT", "p"},
                                          {"GAME.POD", "itself"},
                                          {"LINKED.TXT", "new"},
                                          {"PRIVATE.TXT", "secret"},
                                          {"SUB\\NEW.TXT", "n"}});
    WriteBytes(out / "GAME.POD", archive);
    f.state.PodFolder = out.string();
    ASSERT_TRUE(f.Open("GAME.POD"));
    f.state.DialogPath = out.string();

    EXPECT_EQ(f.core.ExtractAll().status, Result::Status::Refused);
    EXPECT_EQ(f.Messages(),
              "These entries were not extracted, because what stands at their place is not to "
              "be replaced:\n\nFOLDER.TXT (Not a regular file)\nFIFO.TXT (Not a regular file)\n"
              "GAME.POD (the archive being read)");
    EXPECT_EQ(ReadBytes(out / "GAME.POD"), archive);
    EXPECT_TRUE(fs::is_directory(out / "FOLDER.TXT"));
    EXPECT_TRUE(fs::is_fifo(out / "FIFO.TXT"));
    EXPECT_EQ(ReadBytes(f.dir / "outside.txt"), "outside");
    EXPECT_EQ(ReadBytes(out / "LINKED.TXT"), "new");
    EXPECT_EQ(ReadBytes(out / "PRIVATE.TXT"), "secret");
    EXPECT_EQ(ModeOf(out / "PRIVATE.TXT"), 0600u);
    EXPECT_EQ(ReadBytes(out / "SUB" / "NEW.TXT"), "n");
    EXPECT_EQ(Names(out), "FIFO.TXT FOLDER.TXT GAME.POD LINKED.TXT PRIVATE.TXT SUB ");
}

INSTANTIATE_TEST_SUITE_P(Writers, BothWriters, testing::Values(false, true),
                         [](const auto& info) { return info.param ? "named" : "unnamed"; });

// A process id that no process has now.
pid_t DeadProcess() {
    for (pid_t pid = 4194000; pid > 1000; --pid) {
        if (::kill(pid, 0) != 0 && errno == ESRCH)
            return pid;
    }
    return 0;
}

TEST(ReplacingFile, RemovesTheTemporariesOfRunsThatWereKilled) {
    TempDir dir;
    const std::string dead = "a.pod.karvex-" + std::to_string(DeadProcess()) + "-0.tmp";
    const std::string alive = "a.pod.karvex-" + std::to_string(::getpid()) + "-99.tmp";
    for (const std::string& name :
         {dead, alive, std::string("a.pod.karvex-x-1.tmp"), std::string("mine.tmp")})
        WriteBytes(dir / name, "t");
    ASSERT_TRUE(WriteFileReplacing(dir / "a.pod", "new").IsDone());
    EXPECT_FALSE(fs::exists(dir / dead));
    EXPECT_TRUE(fs::exists(dir / alive)) << "its writer still runs";
    EXPECT_TRUE(fs::exists(dir / "a.pod.karvex-x-1.tmp")) << "not of our naming";
    EXPECT_TRUE(fs::exists(dir / "mine.tmp"));
}

TEST(ReplacingFile, RefusesLinksAndSpecialFilesWithoutTouchingThem) {
    TempDir dir;
    WriteBytes(dir / "target", "target");
    fs::create_symlink(dir / "target", dir / "link");
    fs::create_directory(dir / "folder");
    const struct {
        const char* name;
        IoStatus::Code code;
        const char* reason;
    } rows[] = {{"link", IoStatus::Code::Link, "It is a symbolic link."},
                {"folder", IoStatus::Code::NotRegular, "Not a regular file"}};
    for (const auto& row : rows) {
        TargetFolder folder(dir.path());
        ReplacingFile file;
        const IoStatus opened = folder.OpenAndStartFile(row.name, "", file);
        EXPECT_EQ(opened.code(), row.code) << row.name;
        EXPECT_EQ(opened.Reason(), row.reason);
    }
    EXPECT_EQ(ReadBytes(dir / "target"), "target");
    EXPECT_TRUE(fs::is_symlink(dir / "link"));
}

// pod.ini: a link is refused and nothing is written; a pod.wrk that stands there is left
// alone.
TEST(MountPod, NeverWritesThroughALinkNorOverPodWrk) {
    CoreFixture f;
    f.state.DialogPath = (f.dir / "addons").string();
    f.state.DialogName = "NEW.POD";
    fs::create_directories(f.dir / "addons");
    WriteBytes(f.dir / "real.ini", "1\r\nMTM.POD\r\n");
    fs::create_symlink(f.dir / "real.ini", f.dir / "addons" / "pod.ini");
    WriteBytes(f.dir / "addons" / "pod.wrk", "someone else's");
    EXPECT_EQ(f.core.MountPod().status, Result::Status::Refused);
    EXPECT_EQ(f.Messages(), "Cannot write " + (f.dir / "addons" / "pod.ini").string() +
                                "\n\nIt is a symbolic link.");
    EXPECT_EQ(ReadBytes(f.dir / "real.ini"), "1\r\nMTM.POD\r\n");

    fs::remove(f.dir / "addons" / "pod.ini");
    WriteBytes(f.dir / "addons" / "POD.INI", "1\r\nMTM.POD\r\n");  // found in any letter case
    EXPECT_TRUE(f.core.MountPod().IsDone());
    EXPECT_EQ(ReadBytes(f.dir / "addons" / "pod.wrk"), "someone else's");
    EXPECT_EQ(ReadBytes(f.dir / "addons" / "POD.INI"),
              " 2\r\nMTM.POD" + std::string(25, ' ') + "\r\nNEW.POD\r\n");
}

// A FIFO or another special file named like an archive, a list or a listed file is refused
// at once instead of being waited on.
TEST(SpecialFiles, AreRefusedWithoutWaiting) {
    CoreFixture f;
    for (const char* name : {"x.pod", "x.lst", "fifo.raw"})
        ASSERT_EQ(::mkfifo((f.dir / name).c_str(), 0644), 0);
    const std::string notRegular = "\n\nNot a regular file";
    f.state.PodFileName = "x.pod";
    EXPECT_EQ(f.core.OpenPodSequence(f.row).status, Result::Status::Failed);
    f.state.PodFileName = "x.lst";
    EXPECT_EQ(f.core.OpenResponseSequence(f.row).status, Result::Status::Failed);
    f.state.PodFileName = "x.pod";
    EXPECT_EQ(f.core.RewriteComment("new").status, Result::Status::Failed);
    const std::string pod = (f.dir / "x.pod").string(), end = notRegular + "\n--\n";
    EXPECT_EQ(f.Messages(), "Cannot read " + pod + end + "Cannot read " +
                                (f.dir / "x.lst").string() + end +
                                "Cannot write the comment into " + pod + notRegular);
    EXPECT_FALSE(f.Open("list.lst", "fifo.raw\r\n"));
    EXPECT_EQ(f.Listing(), "fifo.raw|Missing|Missing\n");
}

}  // namespace
}  // namespace karvex::test
