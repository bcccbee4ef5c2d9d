// SPDX-License-Identifier: GPL-3.0-or-later
// End-to-end: extracting names that try to leave a folder full of traps (links that lead out,
// a hard link, a FIFO, the archive itself) must change nothing outside it.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <thread>

#include "core/text.h"
#include "tests/cli/cli_run.h"

namespace fs = std::filesystem;

namespace karvex::test {
namespace {

// Refused: named, exit 1, nothing written for it; Inside: extracted to `at` in OUT, exit 0.
enum class Fate { Refused, Inside };
constexpr Fate R = Fate::Refused, I = Fate::Inside;

struct HostileName {
    std::string what, name;  // `name`: the name field's bytes (a NUL ends the name)
    Fate fate;
    std::string at = {};  // else the name, each \ made a /
};

// outside/ holds what the traps in OUT point at.
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

    const std::string shown = Latin1ToUtf8(row.name.substr(0, row.name.find('\0')));
    std::string at = row.at.empty() ? shown : row.at;
    std::replace(at.begin(), at.end(), '\\', '/');
    // Besides GOOD.TXT, only the place of an entry extracted may change in OUT.
    std::vector<fs::path> changing = {out / "GOOD.TXT"};
    if (row.fate == Fate::Inside)
        changing.push_back(out / *fs::path(at).begin());
    const std::string outsideBefore = Walk(dir.path(), {out});
    const std::string outBefore = Walk(out, changing);
    const CliRun run = Extract(selfArchive ? "OUT/GAME.POD" : "GAME.POD");
    ASSERT_FALSE(run.timedOut) << "karvex32-cli did not finish within 20 s";

    EXPECT_EQ(Walk(dir.path(), {out}), outsideBefore) << "something outside OUT changed";
    EXPECT_EQ(Walk(out, changing), outBefore) << "OUT changed beyond the entry's place";
    EXPECT_EQ(ReadBytes(archive), archiveBytes) << "the archive changed";
    EXPECT_TRUE(absExisted || !fs::exists(fs::symlink_status("/abs"))) << "/abs was made";
    EXPECT_EQ(ReadBytes(out / "GOOD.TXT"), "good") << "the other entry is still extracted";
    if (row.fate == Fate::Refused) {
        EXPECT_EQ(run.exit, 1) << run.err;
        EXPECT_NE(run.err.find(shown), std::string::npos) << "'" << shown << "' not named";
    } else {
        EXPECT_EQ(run.exit, 0) << run.err;
        EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(out / at))) << at;
        EXPECT_EQ(ReadBytes(out / at), data) << at;
    }
    EXPECT_TRUE(row.name != "PIPE" || fs::is_fifo(fs::symlink_status(out / "PIPE")))
        << "the FIFO was replaced";
}

const std::string kLatin32(32, '\xE9');

// clang-format off
INSTANTIATE_TEST_SUITE_P(Extract, HostileNames, testing::ValuesIn(std::vector<HostileName>{
    {"parent", "..\\X", R}, {"parent after a folder", "A\\..\\..\\X", R},
    {"parent with mixed separators", "A/..\\X", R}, {"drive relative", "C:X", R},
    {"drive root", "C:\\X", R}, {"network share", "\\\\server\\share\\X", I, "server/share/X"},
    {"absolute", "/abs/X", I, "abs/X"}, {"NUL then parent", "X.TXT\0\\..\\..\\E"s, I},
    {"parent then NUL", "..\0X"s, R}, {"32 characters", "ABCDEFGHIJKLMNOPQRSTUVWXYZ012.TX", I},
    {"32 Latin-1 characters", kLatin32, I},
    {"16 folders deep", "A\\B\\C\\D\\E\\F\\G\\H\\I\\J\\K\\L\\M\\N\\O\\P", I}, {"dot", ".", R},
    {"dot dot", "..", R}, {"blanks only", "   ", R}, {"separator only", "\\", R},
    {"trailing dot", "X.TXT.", I}, {"trailing blanks", "Y.TXT   ", I, "Y.TXT"},
    {"dot dot blank", ".. \\X", I}, {"mixed separators", "A\\B/C.TXT", I},
    {"through a folder link", "LINKDIR\\X", R}, {"through a link to the parent", "UP\\X", R},
    {"through a chain of links", "CHAIN\\X", R}, {"through a link loop", "LOOPA\\X", R},
    {"onto a file link", "LINKFILE", R}, {"onto a folder link", "LINKDIR", R},
    {"onto a dangling link", "DANGLING", R}, {"onto a link loop", "LOOPA", R},
    {"onto a hard link", "HARD.TXT", I}, {"onto a FIFO", "PIPE", R},
    {"onto the archive itself", "GAME.POD", R}}),
    [](const auto& info) { return RowName(info.param.what); });
// clang-format on

// Swaps two names, atomically where the file system can.
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
    for (int i = 0; i < 20000; ++i)
        entries.push_back({"SUB\\X" + std::to_string(100000 + i), "data " + std::to_string(i)});
    WriteBytes(dir / "GAME.POD", PodBytes(entries));
    fs::create_directory(out / "SUB");
    fs::create_directory_symlink(dir / "outside" / "target", out / "SWAP");
    const std::string outsideBefore = Walk(dir.path(), {out});

    // OUT/SUB is a folder, then a link to outside/target, and so on for 2 s at most.
    std::atomic<bool> done{false};
    long swaps = 0;
    std::thread swapper([&] {
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(2);
        for (; !done && std::chrono::steady_clock::now() < end; ++swaps)
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
    EXPECT_EQ(Walk(dir.path(), {out}), outsideBefore) << "something outside OUT changed";
}

}  // namespace
}  // namespace karvex::test
