// SPDX-License-Identifier: GPL-3.0-or-later
// End-to-end: karvex32-cli extracts into a folder that holds traps (links that lead out, a
// hard link, a FIFO, the archive itself) and takes names that try to leave it. Whatever the
// name and whatever waits in the folder, nothing outside the folder may change.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <thread>

#include "core/text.h"
#include "tests/cli/cli_run.h"

namespace fs = std::filesystem;

namespace karvex::test {
namespace {

using Clock = std::chrono::steady_clock;

// One line per file, folder, link or FIFO below `root` (with `root` itself when asked),
// sorted: path, type, size, mode, mtime, inode and link target, no link followed. `skip` is
// left out with everything below it.
std::string Walk(const fs::path& root, const fs::path& skip = {}, bool withRoot = true) {
    const std::string command =
        "find " + Quote(root.string()) + (withRoot ? "" : " -mindepth 1") +
        (skip.empty() ? "" : " -path " + Quote(skip.string()) + " -prune -o") +
        " -printf '%P\\t%y size=%s mode=%m mtime=%T@ inode=%i -> %l\\n' | LC_ALL=C sort";
    std::string all;
    FILE* pipe = ::popen(command.c_str(), "r");
    for (char line[4096]; pipe && std::fgets(line, sizeof line, pipe);)
        all += line;
    EXPECT_TRUE(pipe && ::pclose(pipe) == 0) << command;
    return all;
}

// The walk without the lines of `path` and of everything below it.
std::string Without(const std::string& walk, const std::string& path) {
    std::string kept, line;
    for (std::size_t at = 0, next; at < walk.size(); at = next + 1) {
        next = walk.find('\n', at);
        line = walk.substr(at, next - at);
        const std::string name = line.substr(0, line.find('\t'));
        if (name != path && name.rfind(path + "/", 0) != 0)
            kept += line + "\n";
    }
    return kept;
}

// What must become of an entry: refused (reported by name, exit 1, nothing written for it),
// or extracted to `at` inside OUT (exit 0).
enum class Fate { Refused, Inside };
constexpr Fate R = Fate::Refused, I = Fate::Inside;

struct HostileName {
    std::string what;
    std::string name;  // the 32-byte name field's bytes (a NUL ends the name)
    Fate fate;
    std::string at = {};  // where it lands inside OUT when extracted
};

// The test folder: outside/ holds what the traps in OUT point at; the archive is GAME.POD
// beside OUT unless a row puts it inside.
class HostileTree : public Cli {
  protected:
    void SetUp() override {
        WriteBytes(dir / "outside" / "file.txt", "outside file");
        WriteBytes(dir / "outside" / "folder" / "keep.txt", "keep");
        WriteBytes(dir / "outside" / "hard.txt", "outside hard link");
        fs::create_directories(dir / "outside" / "target");
        fs::create_directories(out);
        fs::create_symlink(dir / "outside" / "file.txt", out / "LINKFILE");
        fs::create_directory_symlink(dir / "outside" / "folder", out / "LINKDIR");
        fs::create_symlink(dir / "outside" / "ghost.txt", out / "DANGLING");
        fs::create_symlink("LOOPB", out / "LOOPA");
        fs::create_symlink("LOOPA", out / "LOOPB");
        fs::create_directory_symlink("..", out / "UP");
        fs::create_directory_symlink("LINKDIR", out / "CHAIN");
        fs::create_hard_link(dir / "outside" / "hard.txt", out / "HARD.TXT");
        ASSERT_EQ(::mkfifo((out / "PIPE").c_str(), 0600), 0);
    }

    // Extracts every entry of `archive` (relative to the test folder) into OUT.
    CliRun Extract(const std::string& archive, int seconds = 20) {
        return Karvex({"extract", archive, "OUT", "--all"}, {}, false, seconds);
    }

    const fs::path out = dir / "OUT";
};

class HostileNames : public HostileTree, public testing::WithParamInterface<HostileName> {};

TEST_P(HostileNames, NothingOutsideTheFolderChanges) {
    const HostileName& row = GetParam();
    const bool selfArchive = row.name == "GAME.POD";
    const fs::path archive = selfArchive ? out / "GAME.POD" : dir / "GAME.POD";
    const std::string data = "entry " + row.what;
    WriteBytes(archive, PodBytes({{row.name, data}, {"GOOD.TXT", "good"}}));
    const std::string archiveBytes = ReadBytes(archive);
    const bool absExisted = fs::exists(fs::symlink_status("/abs"));

    const std::string outsideBefore = Walk(dir.path(), out);
    const std::string outBefore = Walk(out, {}, false);
    const CliRun run = Extract(selfArchive ? "OUT/GAME.POD" : "GAME.POD");
    ASSERT_FALSE(run.timedOut) << "karvex32-cli did not finish within 20 s";

    EXPECT_EQ(Walk(dir.path(), out), outsideBefore) << "something outside OUT changed";
    EXPECT_EQ(ReadBytes(dir / "outside" / "hard.txt"), "outside hard link");
    EXPECT_EQ(ReadBytes(dir / "outside" / "file.txt"), "outside file");
    EXPECT_EQ(ReadBytes(archive), archiveBytes) << "the archive changed";
    EXPECT_TRUE(absExisted || !fs::exists(fs::symlink_status("/abs"))) << "/abs was made";
    EXPECT_EQ(ReadBytes(out / "GOOD.TXT"), "good") << "the other entry is still extracted";

    const std::string shown = Latin1ToUtf8(row.name.substr(0, row.name.find('\0')));
    const std::string outAfter = Without(Walk(out, {}, false), "GOOD.TXT");
    if (row.fate == Fate::Refused) {
        EXPECT_EQ(run.exit, 1) << run.err;
        EXPECT_NE(run.err.find(shown), std::string::npos) << "'" << shown << "' not named";
        EXPECT_EQ(outAfter, outBefore) << "a refused entry changed OUT";
    } else {
        EXPECT_EQ(run.exit, 0) << run.err;
        const fs::path landed = out / fs::path(row.at);
        EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(landed))) << row.at;
        EXPECT_EQ(ReadBytes(landed), data) << row.at;
        const std::string first = fs::path(row.at).begin()->string();
        EXPECT_EQ(Without(outAfter, first), Without(outBefore, first)) << "only its place changed";
    }
    EXPECT_TRUE(row.name != "PIPE" || fs::is_fifo(fs::symlink_status(out / "PIPE")))
        << "the FIFO was replaced";
}

const std::string kLatin32(32, '\xE9');

// clang-format off
INSTANTIATE_TEST_SUITE_P(Extract, HostileNames, testing::ValuesIn(std::vector<HostileName>{
    {"parent", "..\\X", R}, {"parent after a folder", "A\\..\\..\\X", R},
    {"parent with mixed separators", "A/..\\X", R},
    {"drive relative", "C:X", R}, {"drive root", "C:\\X", R},
    {"network share", "\\\\server\\share\\X", I, "server/share/X"},
    {"absolute", "/abs/X", I, "abs/X"},
    {"NUL then parent", "X.TXT\0\\..\\..\\E"s, I, "X.TXT"}, {"parent then NUL", "..\0X"s, R},
    {"32 characters", "ABCDEFGHIJKLMNOPQRSTUVWXYZ012.TX", I, "ABCDEFGHIJKLMNOPQRSTUVWXYZ012.TX"},
    {"32 Latin-1 characters", kLatin32, I, Latin1ToUtf8(kLatin32)},
    {"16 folders deep", "A\\B\\C\\D\\E\\F\\G\\H\\I\\J\\K\\L\\M\\N\\O\\P", I,
     "A/B/C/D/E/F/G/H/I/J/K/L/M/N/O/P"},
    {"dot", ".", R}, {"dot dot", "..", R}, {"blanks only", "   ", R}, {"separator only", "\\", R},
    {"trailing dot", "X.TXT.", I, "X.TXT."}, {"trailing blanks", "Y.TXT   ", I, "Y.TXT"},
    {"dot dot blank", ".. \\X", I, ".. /X"}, {"mixed separators", "A\\B/C.TXT", I, "A/B/C.TXT"},
    {"through a folder link", "LINKDIR\\X", R}, {"through a link to the parent", "UP\\X", R},
    {"through a chain of links", "CHAIN\\X", R}, {"through a link loop", "LOOPA\\X", R},
    {"onto a file link", "LINKFILE", R}, {"onto a folder link", "LINKDIR", R},
    {"onto a dangling link", "DANGLING", R}, {"onto a link loop", "LOOPA", R},
    {"onto a hard link", "HARD.TXT", I, "HARD.TXT"}, {"onto a FIFO", "PIPE", R},
    {"onto the archive itself", "GAME.POD", R}}),
    [](const auto& info) { return RowName(info.param.what); });
// clang-format on

// Swaps two names atomically where the file system can; else through a third name.
void Swap(const fs::path& a, const fs::path& b) {
    if (::renameat2(AT_FDCWD, a.c_str(), AT_FDCWD, b.c_str(), RENAME_EXCHANGE) == 0)
        return;
    const fs::path aside = a.string() + ".aside";
    ::rename(a.c_str(), aside.c_str());
    ::rename(b.c_str(), a.c_str());
    ::rename(aside.c_str(), b.c_str());
}

TEST_F(HostileTree, AFolderSwappedForALinkMidExtractionLeadsNowhereOutside) {
    std::vector<PodEntry> entries;
    for (int i = 0; i < 20000; ++i) {
        char name[16];
        std::snprintf(name, sizeof name, "SUB\\X%05d", i);
        entries.push_back({name, "data " + std::to_string(i)});
    }
    WriteBytes(dir / "GAME.POD", PodBytes(entries));
    fs::create_directory(out / "SUB");
    fs::create_directory_symlink(dir / "outside" / "target", out / "SWAP");
    const std::string outsideBefore = Walk(dir.path(), out);

    // OUT/SUB is a folder, then a link to outside/target, then a folder again, over and
    // over, for about 2 s or until the extraction ends.
    std::atomic<bool> done{false};
    long swaps = 0;
    std::thread swapper([&] {
        const auto end = Clock::now() + std::chrono::seconds(2);
        for (; !done && Clock::now() < end; ++swaps)
            Swap(out / "SUB", out / "SWAP");
        if (swaps % 2 == 1)
            Swap(out / "SUB", out / "SWAP");
    });
    const CliRun run = Extract("GAME.POD", 120);
    done = true;
    swapper.join();

    ASSERT_FALSE(run.timedOut);
    EXPECT_TRUE(run.exit == 0 || run.exit == 1) << run.exit << "\n" << run.err;
    EXPECT_GT(swaps, 10);
    EXPECT_TRUE(fs::is_empty(dir / "outside" / "target"))
        << "entries were written into the folder the link leads to";
    EXPECT_EQ(Walk(dir.path(), out), outsideBefore) << "something outside OUT changed";
}

}  // namespace
}  // namespace karvex::test
