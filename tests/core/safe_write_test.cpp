// SPDX-License-Identifier: GPL-3.0-or-later
// Files written so that they cannot be turned against the user: what stands at their place,
// links, modes, temporaries, killed writes, and the open archive replaced only while unchanged.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <tuple>

#include "core/replacing_file.h"
#include "core/target_folder.h"
#include "tests/core/test_support.h"

namespace fs = std::filesystem;

namespace karvex::test {
namespace {

// A folder, a FIFO and the archive are refused; a replaced file keeps its mode, a link its data.
TEST(Extraction, WritesFreshFilesOnly) {
    CoreFixture f;
    const fs::path out = f.dir / "out";
    fs::create_directories(out / "FOLDER.TXT");
    ASSERT_EQ(::mkfifo((out / "FIFO.TXT").c_str(), 0644), 0);
    WriteBytes(f.dir / "outside.txt", "outside");
    fs::create_hard_link(f.dir / "outside.txt", out / "LINKED.TXT");
    WriteBytes(out / "PRIVATE.TXT", "old");
    fs::permissions(out / "PRIVATE.TXT", fs::perms::owner_read | fs::perms::owner_write);
    std::vector<PodEntry> entries;
    for (const char* name :
         {"FOLDER.TXT", "FIFO.TXT", "GAME.POD", "LINKED.TXT", "PRIVATE.TXT", "SUB\\NEW.TXT"})
        entries.push_back({name, "new"});
    const std::string archive = PodBytes(entries);
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
    EXPECT_EQ(ReadBytes(out / "PRIVATE.TXT"), "new");
    EXPECT_EQ(fs::status(out / "PRIVATE.TXT").permissions(), fs::perms(0600));
    EXPECT_EQ(ReadBytes(out / "SUB" / "NEW.TXT"), "new");
    EXPECT_EQ(FilesIn(out), 6u) << "no temporary left";
}

pid_t DeadProcess() {
    for (pid_t pid = 4194000; pid > 1000; --pid) {
        if (::kill(pid, 0) != 0 && errno == ESRCH)
            return pid;
    }
    return 0;
}

// Run with the writer that names its file from the start, whose temporaries can outlive a kill.
TEST(ReplacingFile, RemovesTheTemporariesOfRunsThatWereKilled) {
    TempDir dir;
    ::setenv("KARVEX_NO_TMPFILE", "1", 1);
    const std::string dead = "a.pod.karvex-" + std::to_string(DeadProcess()) + "-0.tmp";
    const std::string alive = "a.pod.karvex-" + std::to_string(::getpid()) + "-99.tmp";
    for (const std::string& name :
         {dead, alive, std::string("a.pod.karvex-x-1.tmp"), std::string("mine.tmp")})
        WriteBytes(dir / name, "t");
    EXPECT_TRUE(WriteFileReplacing(dir / "a.pod", "new").IsDone());
    ::unsetenv("KARVEX_NO_TMPFILE");
    EXPECT_EQ(ReadBytes(dir / "a.pod"), "new");
    EXPECT_FALSE(fs::exists(dir / dead));
    EXPECT_TRUE(fs::exists(dir / alive)) << "its writer still runs";
    EXPECT_TRUE(fs::exists(dir / "a.pod.karvex-x-1.tmp")) << "not of our naming";
    EXPECT_TRUE(fs::exists(dir / "mine.tmp"));
}

// A pod.ini that is a link is refused; a pod.wrk that stands there is left alone.
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

// A FIFO as archive, list or listed file is refused at once instead of being waited on.
TEST(SpecialFiles, AreRefusedWithoutWaiting) {
    CoreFixture f;
    for (const char* name : {"x.pod", "x.lst", "fifo.raw"})
        ASSERT_EQ(::mkfifo((f.dir / name).c_str(), 0644), 0);
    EXPECT_FALSE(f.Open("x.pod"));
    EXPECT_FALSE(f.Open("x.lst"));
    const std::string notRegular = "\n\nNot a regular file";
    EXPECT_EQ(f.Messages(), "Cannot read " + (f.dir / "x.pod").string() + notRegular +
                                "\n--\nCannot read " + (f.dir / "x.lst").string() + notRegular);
    EXPECT_FALSE(f.Open("list.lst", "fifo.raw\r\n"));
    EXPECT_EQ(f.Listing(), "fifo.raw|Missing|Missing\n");
}

std::uint64_t InodeOf(const fs::path& path) {
    struct stat info {};
    ::lstat(path.c_str(), &info);
    return info.st_ino;
}

// Opened directly or through a link: only an archive untouched until the commit is replaced.
TEST(ReplaceArchive, WritesTheSameEntriesBackOrLeavesEverythingAsItWas) {
    using Change = void (*)(const fs::path& archive);
    const Change untouched = [](const fs::path&) {};
    using enum IoStatus::Code;
    // clang-format off
    const std::tuple<const char*, bool, Change, IoStatus::Code> rows[] = {
        {"rewritten", false, untouched, Done},
        {"through a link", true, untouched, Done},
        {"grown meanwhile", false, [](const fs::path& a) { WriteBytes(a, ReadBytes(a) + "x"); },
         Changed},
        {"touched meanwhile", false, [](const fs::path& a) {
             const timespec times[2] = {{0, UTIME_OMIT}, {12345, 0}};
             ::utimensat(AT_FDCWD, a.c_str(), times, 0); }, Changed},
        {"swapped meanwhile", true, [](const fs::path& a) {  // the same bytes, another file
             const std::string bytes = ReadBytes(a);
             fs::remove(a);
             WriteBytes(a, bytes); }, Changed}};
    // clang-format on
    const std::string bytes = PodBytes({{"A.TXT", "alpha"}, {"SUB\\B.TXT", "beta"}}, "note");
    for (const auto& [name, throughLink, meanwhile, code] : rows) {
        SCOPED_TRACE(name);
        CoreFixture f;
        const fs::path real = f.dir / "real" / "GAME.POD";
        WriteBytes(real, bytes);
        if (throughLink)
            fs::create_symlink(real, f.dir / "GAME.POD");
        f.state.PodFolder = throughLink ? f.dir.path().string() : (f.dir / "real").string();
        ASSERT_TRUE(f.Open("GAME.POD"));
        const fs::path opened = f.state.ArchivePath();
        FileStamp loaded;
        ASSERT_TRUE(StampOf(opened, loaded).IsDone());
        const std::uint64_t oldInode = InodeOf(real);

        TargetFolder folder(f.state.PodFolder);
        ReplacingFile out;
        ASSERT_TRUE(folder.StartArchiveReplacement(opened, loaded, out).IsDone());
        ASSERT_EQ(std::fwrite(bytes.data(), 1, bytes.size(), out.File()), bytes.size());
        meanwhile(real);
        const std::string before = ReadBytes(real);
        const IoStatus committed = out.Commit();

        EXPECT_EQ(committed.code(), code) << committed.Reason();
        if (code == IoStatus::Code::Done) {
            EXPECT_EQ(ReadBytes(real), bytes);
            EXPECT_NE(InodeOf(real), oldInode) << "a new file, put into place whole";
        } else {
            EXPECT_EQ(committed.Reason(), "The archive has changed on disk since it was loaded.");
            EXPECT_EQ(ReadBytes(real), before);
        }
        if (throughLink) {
            EXPECT_TRUE(fs::is_symlink(f.dir / "GAME.POD")) << "edited at the link's target";
        }
        EXPECT_EQ(FilesIn(f.dir / "real"), 1u) << "no temporary left";
    }
}

}  // namespace
}  // namespace karvex::test
