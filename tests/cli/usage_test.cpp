// SPDX-License-Identifier: GPL-3.0-or-later
// End-to-end: command lines that run no command, and the paths and arguments the tool
// refuses as bad usage (exit 2) before it opens anything.
#include <gtest/gtest.h>

#include "karvex_version.h"
#include "tests/cli/cli_run.h"

namespace fs = std::filesystem;

namespace karvex::test {
namespace {

// Status 0 prints the text; status 2 its one-line complaint (and the usage) and writes nothing.
TEST_F(Cli, HelpsOrNamesTheProblem) {
    WriteBytes(dir / "game.pod",
               PodBytes({{"T.RAW", std::string(4096, '\0')}, {"?.txt", "x\r\n"}}, "old"));
    WriteBytes(dir / "a.raw", "a");
    WriteBytes(dir / "new.lst", "a.raw\r\n");
    fs::create_directory(dir / "out");
    const std::string pod = (dir / "game.pod").string(), list = (dir / "new.lst").string();
    const std::string usage = Karvex({"--help"}).out;
    const std::string euro = "\xE2\x82\xAC";
    const std::string latin1 = " has a character outside Latin-1, the archive's 8-bit text: ";
    const std::string cmd = "Usage: karvex32-cli ";
    struct Row {
        std::vector<std::string> args;
        int exit;
        std::string text;
        bool inRemovedFolder = false;  // `text` names the path that cannot be located
    };
    // clang-format off
    const Row rows[] = {
        {{"--help"}, 0, "\n  karvex32-cli build LISTFILE NEWARCHIVE [--"},
        {{"--version"}, 0, "karvex32-cli " KARVEX_VERSION "\n"},
        {{"list", "--help"}, 0, cmd + "list FILE\n"},
        {{"extract", "--help"}, 0,
         cmd + "extract ARCHIVE FOLDER [--selected NAME]... [--all] [--lst] [--inf] [--yes]\n"},
        {{"build", "-h"}, 0,
         cmd + "build LISTFILE NEWARCHIVE [--comment TEXT] [--mount] [--yes]\n"},
        {{"comment", "--help"}, 0, cmd + "comment ARCHIVE TEXT\n"},
        {{"texture", "--help"}, 0, cmd + "texture ARCHIVE ENTRY OUT.png\n"},
        {{"textures", "--help"}, 0, cmd + "textures ARCHIVE FOLDER\n"},
        {{"text", "--help"}, 0, cmd + "text ARCHIVE ENTRY [-0]\n"},
        {{"search", "--help"}, 0,
         cmd + "search ARCHIVE TEXT [--match-case] [--size] [--contents]\n"},
        {{"examine", "--help"}, 0, cmd + "examine ARCHIVE ENTRY\n"},
        {{"search", "a.pod", ""}, 2, "TEXT must not be empty"},
        {{"extract", "a.pod", ".", "--mount=1"}, 2, "'extract' does not take --mount"},
        {{"extract", "a.pod", ".", "--selected"}, 2, "--selected needs a value"},
        {{"build", "a.lst", "B.POD", "C.POD"}, 2, "'build' takes 2 arguments"},
        {{"comment", "--", "a.pod"}, 2, "'comment' takes 2 arguments"},
        {{"list"}, 2, "'list' takes 1 argument"},
        {{"list", "notes.txt"}, 2, "FILE must end in .pod or .lst: notes.txt"},
        {{"comment", "a.lst", "x"}, 2, "ARCHIVE must end in .pod: a.lst"},
        {{"open", "a.pod"}, 2, "unknown command 'open'"},
        {{}, 2, "no command given"},
        {{"build", "new.lst", "", "--yes"}, 2, "NEWARCHIVE must not be empty"},
        {{"texture", pod, "T.RAW", "out.png"}, 2, "out.png", true},
        {{"build", list, "NEW.POD", "--yes"}, 2, "NEW.POD", true},
        {{"extract", pod, "out", "--all"}, 2, "out", true},
        {{"list", "game.pod"}, 2, "game.pod", true},
        {{"text", "game.pod", euro + ".txt"}, 2, "ENTRY" + latin1 + euro + ".txt"},
        {{"extract", "game.pod", "out", "--selected", euro + ".txt"}, 2,
         "--selected" + latin1 + euro + ".txt"},
        {{"build", "new.lst", "NEW.POD", "--comment=" + euro}, 2, "--comment" + latin1 + euro},
        {{"comment", "game.pod", "a" + euro}, 2, "TEXT" + latin1 + "a" + euro},
        {{"comment", "game.pod", "caf\xE9"}, 2, "TEXT is not valid UTF-8: caf\xE9"}};
    // clang-format on
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::PrintToString(row.args));
        const auto before = Walk(dir.path());
        if (row.inRemovedFolder)
            fs::create_directory(dir / "gone");
        const CliRun run =
            Karvex(row.args, row.inRemovedFolder ? dir / "gone" : fs::path(), row.inRemovedFolder);
        EXPECT_EQ(run.exit, row.exit);
        if (row.exit == 0) {
            EXPECT_NE(run.out.find(row.text), std::string::npos) << run.out;
            EXPECT_EQ(run.err, "");
        } else {
            EXPECT_EQ(run.out, "");
            EXPECT_EQ(run.err, row.inRemovedFolder
                                   ? "karvex32-cli: cannot locate " + row.text +
                                         " from the current folder: No such file or directory\n"
                                   : "karvex32-cli: " + row.text + "\n\n" + usage);
        }
        EXPECT_EQ(Walk(dir.path()), before) << "nothing written, the archive untouched";
    }
}

}  // namespace
}  // namespace karvex::test
