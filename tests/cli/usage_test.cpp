// SPDX-License-Identifier: GPL-3.0-or-later
// End-to-end: command lines that run no command, and the paths and arguments the tool
// refuses as bad usage (exit 2) before it opens anything.
#include <gtest/gtest.h>

#include <map>

#include "karvex_version.h"
#include "tests/cli/cli_run.h"

namespace fs = std::filesystem;

namespace karvex::test {
namespace {

// Every file beneath `root` with its bytes.
std::map<std::string, std::string> Files(const fs::path& root) {
    std::map<std::string, std::string> files;
    for (const auto& entry : fs::recursive_directory_iterator(root)) {
        if (entry.is_regular_file())
            files[entry.path().string()] = ReadBytes(entry.path());
    }
    return files;
}

// Paths the tool cannot use and arguments the archive's 8-bit text (Latin-1) cannot hold are
// bad usage, refused before anything is opened or written.
TEST_F(Cli, WhatCannotBeUsedIsBadUsage) {
    WriteBytes(dir / "game.pod",
               PodBytes({{"T.RAW", std::string(4096, '\0')}, {"?.txt", "x\r\n"}}, "old"));
    WriteBytes(dir / "a.raw", "a");
    WriteBytes(dir / "new.lst", "a.raw\r\n");
    fs::create_directory(dir / "out");
    const std::string pod = (dir / "game.pod").string(), list = (dir / "new.lst").string();
    const std::string usage = Karvex({"--help"}).out;
    const auto misused = [&](const std::string& what) {
        return "karvex32-cli: " + what + "\n\n" + usage;
    };
    const auto unplaced = [](const std::string& path) {
        return "karvex32-cli: cannot locate " + path +
               " from the current folder: No such file or directory\n";
    };
    const std::string euro = "\xE2\x82\xAC";
    const std::string outside = " has a character outside Latin-1, the archive's 8-bit text: ";
    struct Row {
        std::vector<std::string> args;
        bool inRemovedFolder;
        std::string err;
    };
    for (const Row& row : std::vector<Row>{
             {{"texture", "game.pod", "T.RAW", ""}, false, misused("OUT.png must not be empty")},
             {{"build", "new.lst", "", "--yes"}, false, misused("NEWARCHIVE must not be empty")},
             {{"texture", pod, "T.RAW", "out.png"}, true, unplaced("out.png")},
             {{"build", list, "NEW.POD", "--yes"}, true, unplaced("NEW.POD")},
             {{"extract", pod, "out", "--all"}, true, unplaced("out")},
             {{"list", "game.pod"}, true, unplaced("game.pod")},
             {{"text", "game.pod", euro + ".txt"},
              false,
              misused("ENTRY" + outside + euro + ".txt")},
             {{"extract", "game.pod", "out", "--selected", euro + ".txt"},
              false,
              misused("--selected" + outside + euro + ".txt")},
             {{"build", "new.lst", "NEW.POD", "--comment=" + euro},
              false,
              misused("--comment" + outside + euro)},
             {{"comment", "game.pod", "a" + euro}, false, misused("TEXT" + outside + "a" + euro)},
             {{"search", "game.pod", euro}, false, misused("TEXT" + outside + euro)},
             {{"comment", "game.pod", "caf\xE9"},
              false,
              misused("TEXT is not valid UTF-8: caf\xE9")}}) {
        const auto before = Files(dir.path());
        if (row.inRemovedFolder)
            fs::create_directory(dir / "gone");
        const CliRun run =
            Karvex(row.args, row.inRemovedFolder ? dir / "gone" : fs::path(), row.inRemovedFolder);
        EXPECT_EQ(run.exit, 2) << row.args[0];
        EXPECT_EQ(run.out, "");
        EXPECT_EQ(run.err, row.err);
        EXPECT_EQ(Files(dir.path()), before) << "nothing written, the archive untouched";
    }
}

// A command line that runs no command: its exit status and either the text its standard
// output holds (status 0) or its one-line complaint, which the usage follows (status 2).
struct CommandLine {
    std::string what;
    std::vector<std::string> args;
    int exit;
    std::string text;
};
void PrintTo(const CommandLine& line, std::ostream* out) {
    *out << line.what;
}

class CliCommandLine : public Cli, public testing::WithParamInterface<CommandLine> {};

TEST_P(CliCommandLine, HelpsOrNamesTheProblem) {
    const CommandLine& line = GetParam();
    const CliRun run = Karvex(line.args);
    EXPECT_EQ(run.exit, line.exit);
    if (line.exit == 0) {
        EXPECT_NE(run.out.find(line.text), std::string::npos) << run.out;
        EXPECT_EQ(run.err, "");
    } else {
        EXPECT_EQ(run.out, "");
        EXPECT_EQ(run.err, "karvex32-cli: " + line.text + "\n\n" + Karvex({"--help"}).out);
    }
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Usage, CliCommandLine,
    testing::Values(
        CommandLine{"usage", {"--help"}, 0, "\n  karvex32-cli build LISTFILE NEWARCHIVE [--"},
        CommandLine{"version", {"--version"}, 0, "karvex32-cli " KARVEX_VERSION "\n"},
        CommandLine{"list help", {"list", "--help"}, 0, "Usage: karvex32-cli list FILE\n"},
        CommandLine{"extract help", {"extract", "--help"}, 0,
                    "Usage: karvex32-cli extract ARCHIVE FOLDER [--selected NAME]... [--all] "
                    "[--lst] [--inf] [--yes]\n"},
        CommandLine{"build help", {"build", "-h"}, 0,
                    "Usage: karvex32-cli build LISTFILE NEWARCHIVE [--comment TEXT] [--mount] "
                    "[--yes]\n"},
        CommandLine{"comment help", {"comment", "--help"}, 0,
                    "Usage: karvex32-cli comment ARCHIVE TEXT\n"},
        CommandLine{"texture help", {"texture", "--help"}, 0,
                    "Usage: karvex32-cli texture ARCHIVE ENTRY OUT.png\n"},
        CommandLine{"textures help", {"textures", "--help"}, 0,
                    "Usage: karvex32-cli textures ARCHIVE FOLDER\n"},
        CommandLine{"text help", {"text", "--help"}, 0,
                    "Usage: karvex32-cli text ARCHIVE ENTRY [-0]\n"},
        CommandLine{"search help", {"search", "--help"}, 0,
                    "Usage: karvex32-cli search ARCHIVE TEXT [--match-case] [--size] [--contents]\n"},
        CommandLine{"examine help", {"examine", "--help"}, 0,
                    "Usage: karvex32-cli examine ARCHIVE ENTRY\n"},
        CommandLine{"empty search", {"search", "a.pod", ""}, 2, "TEXT must not be empty"},
        CommandLine{"examine a list", {"examine", "a.lst", "A.BIN"}, 2,
                    "ARCHIVE must end in .pod: a.lst"},
        CommandLine{"texture of a list", {"texture", "a.lst", "A.RAW", "a.png"}, 2,
                    "ARCHIVE must end in .pod: a.lst"},
        CommandLine{"palette takes no -0", {"palette", "a.pod", "A.ACT", "-0"}, 2,
                    "'palette' does not take -0"},
        CommandLine{"unknown option", {"extract", "a.pod", ".", "--mount=1"}, 2,
                    "'extract' does not take --mount"},
        CommandLine{"single dash option", {"comment", "a.pod", "-x"}, 2,
                    "'comment' does not take -x"},
        CommandLine{"missing value", {"extract", "a.pod", ".", "--selected"}, 2,
                    "--selected needs a value"},
        CommandLine{"too many operands", {"build", "a.lst", "B.POD", "C.POD"}, 2,
                    "'build' takes 2 arguments"},
        CommandLine{"too few operands", {"comment", "--", "a.pod"}, 2,
                    "'comment' takes 2 arguments"},
        CommandLine{"no operand", {"list"}, 2, "'list' takes 1 argument"},
        CommandLine{"list of a text file", {"list", "notes.txt"}, 2,
                    "FILE must end in .pod or .lst: notes.txt"},
        CommandLine{"comment on a list", {"comment", "a.lst", "x"}, 2,
                    "ARCHIVE must end in .pod: a.lst"},
        CommandLine{"unknown command", {"open", "a.pod"}, 2, "unknown command 'open'"},
        CommandLine{"no command", {}, 2, "no command given"}),
    [](const auto& info) {
        std::string name = info.param.what;
        for (char& c : name)
            c = std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
        return name;
    });
// clang-format on

}  // namespace
}  // namespace karvex::test
