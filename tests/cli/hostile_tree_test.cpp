// SPDX-License-Identifier: GPL-3.0-or-later
// End-to-end: karvex32-cli extracts into a folder that holds traps (links that lead out, a
// hard link, a FIFO, the archive itself) and takes names that try to leave it. Whatever the
// name and whatever waits in the folder, nothing outside the folder may change.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <stdio.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <thread>

#include "core/text.h"
#include "tests/core/test_support.h"

namespace fs = std::filesystem;

namespace karvex::test {
namespace {

using namespace std::string_literals;
using Clock = std::chrono::steady_clock;

struct CliRun {
    int exit = -1;
    bool timedOut = false;
    std::string out, err;
};

// Runs karvex32-cli in `cwd`, its output kept in files of `io`; killed after `seconds`.
CliRun RunCli(const fs::path& cwd, const std::vector<std::string>& args, const fs::path& io,
              int seconds) {
    const std::string out = (io / "out").string(), err = (io / "err").string();
    std::vector<char*> argv{const_cast<char*>(KARVEX_CLI)};
    for (const auto& arg : args)
        argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    const pid_t pid = fork();
    if (pid == 0) {  // only calls that are safe after fork in a threaded process
        const int in = ::open("/dev/null", O_RDONLY);
        const int o = ::open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        const int e = ::open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        if (in < 0 || o < 0 || e < 0 || ::chdir(cwd.c_str()) != 0)
            _exit(126);
        ::dup2(in, 0);
        ::dup2(o, 1);
        ::dup2(e, 2);
        ::execv(KARVEX_CLI, argv.data());
        _exit(127);
    }
    CliRun run;
    int status = 0;
    const auto deadline = Clock::now() + std::chrono::seconds(seconds);
    while (pid > 0 && ::waitpid(pid, &status, WNOHANG) == 0) {
        if (Clock::now() > deadline) {
            ::kill(pid, SIGKILL);
            ::waitpid(pid, &status, 0);
            run.timedOut = true;
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    run.exit = !run.timedOut && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    run.out = ReadBytes(out);
    run.err = ReadBytes(err);
    return run;
}

// One line per file, folder, link or FIFO below `root` (with `root` itself when asked),
// sorted: path, type, size, mode, mtime, inode and link target, all from lstat. `skip` is
// left out with everything below it.
std::string Walk(const fs::path& root, const fs::path& skip = {}, bool withRoot = true) {
    std::vector<std::string> lines;
    auto add = [&](const fs::path& path) {
        const std::string rel = path == root ? "." : path.lexically_relative(root).string();
        struct stat st {};
        if (::lstat(path.c_str(), &st) != 0) {
            lines.push_back(rel + "\tgone");
            return;
        }
        const char type = S_ISREG(st.st_mode)    ? 'f'
                          : S_ISDIR(st.st_mode)  ? 'd'
                          : S_ISLNK(st.st_mode)  ? 'l'
                          : S_ISFIFO(st.st_mode) ? 'p'
                                                 : '?';
        char text[160];
        std::snprintf(text, sizeof text, "\t%c size=%lld mode=%o mtime=%lld.%09ld inode=%llu", type,
                      static_cast<long long>(st.st_size), static_cast<unsigned>(st.st_mode),
                      static_cast<long long>(st.st_mtim.tv_sec), st.st_mtim.tv_nsec,
                      static_cast<unsigned long long>(st.st_ino));
        std::error_code ec;
        lines.push_back(rel + text +
                        (type == 'l' ? " -> " + fs::read_symlink(path, ec).string() : ""));
    };
    if (withRoot)
        add(root);
    std::error_code ec;
    for (fs::recursive_directory_iterator it(root, ec), end; !ec && it != end; it.increment(ec)) {
        if (!skip.empty() && it->path() == skip) {
            it.disable_recursion_pending();
            continue;
        }
        add(it->path());
    }
    std::sort(lines.begin(), lines.end());
    std::string all;
    for (const auto& line : lines)
        all += line + "\n";
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

struct HostileName {
    std::string what;
    std::string name;  // the 32-byte name field's bytes (a NUL ends the name)
    Fate fate;
    std::string at = {};  // where it lands inside OUT when extracted
};
void PrintTo(const HostileName& row, std::ostream* out) {
    *out << row.what;
}

// The test folder: outside/ holds what the traps in OUT point at; the archive is GAME.POD
// beside OUT unless a row puts it inside.
class HostileTree : public testing::Test {
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
        return RunCli(dir.path(), {"extract", archive, "OUT", "--all"}, io.path(), seconds);
    }

    TempDir dir, io;
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
    const bool reported = run.err.find(shown) != std::string::npos;
    if (row.fate == Fate::Refused) {
        EXPECT_EQ(run.exit, 1) << run.err;
        EXPECT_TRUE(reported) << "'" << shown << "' is not named in:\n" << run.err;
        EXPECT_EQ(Without(Walk(out, {}, false), "GOOD.TXT"), outBefore)
            << "a refused entry changed OUT";
    } else {
        EXPECT_EQ(run.exit, 0) << run.err;
        const fs::path landed = out / fs::path(row.at);
        EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(landed))) << row.at;
        EXPECT_EQ(ReadBytes(landed), data) << row.at;
        // Only the entry's own place changed.
        const std::string first = fs::path(row.at).begin()->string();
        EXPECT_EQ(Without(Without(Walk(out, {}, false), "GOOD.TXT"), first),
                  Without(outBefore, first));
    }
    EXPECT_TRUE(row.name != "PIPE" || fs::is_fifo(fs::symlink_status(out / "PIPE")))
        << "the FIFO was replaced";
}

const std::string kLatin32(32, '\xE9');

INSTANTIATE_TEST_SUITE_P(
    Extract, HostileNames,
    testing::Values(
        HostileName{"parent", "..\\X", Fate::Refused},
        HostileName{"parent after a folder", "A\\..\\..\\X", Fate::Refused},
        HostileName{"parent with mixed separators", "A/..\\X", Fate::Refused},
        HostileName{"drive relative", "C:X", Fate::Refused},
        HostileName{"drive root", "C:\\X", Fate::Refused},
        HostileName{"network share", "\\\\server\\share\\X", Fate::Inside, "server/share/X"},
        HostileName{"absolute", "/abs/X", Fate::Inside, "abs/X"},
        HostileName{"NUL then parent", "X.TXT\0\\..\\..\\E"s, Fate::Inside, "X.TXT"},
        HostileName{"parent then NUL", "..\0X"s, Fate::Refused},
        HostileName{"32 characters", "ABCDEFGHIJKLMNOPQRSTUVWXYZ012.TX", Fate::Inside,
                    "ABCDEFGHIJKLMNOPQRSTUVWXYZ012.TX"},
        HostileName{"32 Latin-1 characters", kLatin32, Fate::Inside, Latin1ToUtf8(kLatin32)},
        HostileName{"16 folders deep", "A\\B\\C\\D\\E\\F\\G\\H\\I\\J\\K\\L\\M\\N\\O\\P",
                    Fate::Inside, "A/B/C/D/E/F/G/H/I/J/K/L/M/N/O/P"},
        HostileName{"dot", ".", Fate::Refused}, HostileName{"dot dot", "..", Fate::Refused},
        HostileName{"blanks only", "   ", Fate::Refused},
        HostileName{"separator only", "\\", Fate::Refused},
        HostileName{"trailing dot", "X.TXT.", Fate::Inside, "X.TXT."},
        HostileName{"trailing blanks", "Y.TXT   ", Fate::Inside, "Y.TXT"},
        HostileName{"dot dot blank", ".. \\X", Fate::Inside, ".. /X"},
        HostileName{"mixed separators", "A\\B/C.TXT", Fate::Inside, "A/B/C.TXT"},
        HostileName{"through a folder link", "LINKDIR\\X", Fate::Refused},
        HostileName{"through a link to the parent", "UP\\X", Fate::Refused},
        HostileName{"through a chain of links", "CHAIN\\X", Fate::Refused},
        HostileName{"through a link loop", "LOOPA\\X", Fate::Refused},
        HostileName{"onto a file link", "LINKFILE", Fate::Refused},
        HostileName{"onto a folder link", "LINKDIR", Fate::Refused},
        HostileName{"onto a dangling link", "DANGLING", Fate::Refused},
        HostileName{"onto a link loop", "LOOPA", Fate::Refused},
        HostileName{"onto a hard link", "HARD.TXT", Fate::Inside, "HARD.TXT"},
        HostileName{"onto a FIFO", "PIPE", Fate::Refused},
        HostileName{"onto the archive itself", "GAME.POD", Fate::Refused}),
    [](const auto& info) {
        std::string name = info.param.what;
        for (char& c : name)
            c = std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
        return name;
    });

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
        while (!done && Clock::now() < end) {
            Swap(out / "SUB", out / "SWAP");
            ++swaps;
        }
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
