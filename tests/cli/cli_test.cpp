// End-to-end: the built karvex32-cli run on archives and lists the tests make. What the core
// routines write is checked byte for byte in tests/core; here, what the tool adds.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <cctype>
#include <cstdlib>

#include "karvex_version.h"
#include "test_support.h"

namespace karvex::test {
namespace {

using namespace std::string_literals;

struct CliRun {
    int exit = -1;
    std::string out, err;
};

std::string Quote(const std::string& arg) {
    std::string quoted = "'";
    for (char c : arg)
        quoted += c == '\'' ? "'\\''"s : std::string(1, c);
    return quoted + "'";
}

class Cli : public testing::Test {
  protected:
    CliRun Karvex(const std::vector<std::string>& args) {
        std::string command = "cd " + Quote(dir.path().string()) + " && " + Quote(KARVEX_CLI);
        for (const auto& arg : args)
            command += " " + Quote(arg);
        command += " > " + Quote((dir / ".out").string()) + " 2> " +
                   Quote((dir / ".err").string()) + " < /dev/null";
        const int status = std::system(command.c_str());
        CliRun run{WIFEXITED(status) ? WEXITSTATUS(status) : -1, ReadBytes(dir / ".out"),
                   ReadBytes(dir / ".err")};
        fs::remove(dir / ".out");
        fs::remove(dir / ".err");
        return run;
    }

    TempDir dir;
};

TEST_F(Cli, ListsAnArchiveAsTheWindowShowsIt) {
    WriteBytes(dir / "game.pod",
               PodBytes({{"A.RAW", std::string(1024, 'a')}, {"CAF\xC9.TXT", "x"}}, "My \xE9t\xE9"));
    const CliRun run = Karvex({"list", "game.pod"});
    EXPECT_EQ(run.exit, 0);
    EXPECT_EQ(run.out,
              "status\tMy \xC3\xA9t\xC3\xA9\n"
              "size\t1,189\n"
              "files\t2\n"
              "A.RAW\t1,024\t 164\n"
              "CAF\xC3\x89.TXT\t1\t 1188\n");
    EXPECT_EQ(run.err, "");
}

TEST_F(Cli, AnIncompleteListIsListedButNotBuilt) {
    WriteBytes(dir / "a.raw", std::string(2000, 'a'));
    WriteBytes(dir / "new.LST", "a.raw\r\ngone.raw\r\n");
    CliRun run = Karvex({"list", "new.LST"});
    EXPECT_EQ(run.exit, 1);
    EXPECT_EQ(run.out,
              "status\tnew.LST  -  Incomplete, Files Missing\nsize\tUnknown\nfiles\tUnknown\n"
              "a.raw\t2,000\t164\ngone.raw\tMissing\tMissing\n");

    run = Karvex({"build", "new.LST", "NEW.POD"});
    EXPECT_EQ(run.exit, 1);
    EXPECT_EQ(
        run.err,
        "karvex32-cli: new.LST  -  Incomplete, Files Missing\nkarvex32-cli: missing: gone.raw\n");
    EXPECT_FALSE(fs::exists(dir / "NEW.POD"));
}

TEST_F(Cli, AFileThatCannotBeReadExitsWithTwo) {
    for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
             {"list", "gone.pod"},
             {"extract", "gone.pod", "."},
             {"build", "gone.lst", "NEW.POD"},
             {"comment", "gone.pod", "x"}}) {
        const CliRun run = Karvex(args);
        EXPECT_EQ(run.exit, 2) << args[0];
        EXPECT_EQ(run.out, "");
        EXPECT_EQ(run.err, "Karvex32: File not found\n\n" + (dir / args[1]).string() + "\n");
    }
}

TEST_F(Cli, ExtractsSelectedEntriesAndAsksBeforeReplacing) {
    WriteBytes(dir / "game.pod",
               PodBytes({{"A.TXT", "a"}, {"CAF\xC9.TXT", "cafe"}, {"A.TXT", "second"}}));
    fs::create_directory(dir / "out");
    CliRun run = Karvex({"extract", "game.pod", "out", "--selected=CAF\xC3\x89.TXT",
                         "--selected", "A.TXT", "--inf"});
    EXPECT_EQ(run.exit, 0) << run.err;
    EXPECT_EQ(ReadBytes(dir / "out" / "CAF\xC3\x89.TXT"), "cafe");
    EXPECT_EQ(ReadBytes(dir / "out" / "A.TXT"), "second")
        << "both entries named A.TXT, in table order";
    EXPECT_TRUE(fs::exists(dir / "out" / "game.inf"));

    WriteBytes(dir / "out" / "game.inf", "mine");
    run = Karvex({"extract", "game.pod", "out", "--inf", "--selected", "NONE"});
    EXPECT_EQ(run.exit, 1);
    EXPECT_EQ(run.err,
              "karvex32-cli: no entry named NONE\n"
              "Karvex: File game.inf Exists!\n\nDo you want to overwrite this file? No\n");
    EXPECT_EQ(ReadBytes(dir / "out" / "game.inf"), "mine");

    run = Karvex({"extract", "game.pod", "out", "--inf", "--lst", "--yes"});
    EXPECT_EQ(run.exit, 0);
    EXPECT_EQ(ReadBytes(dir / "out" / "game.lst"), "A.TXT\r\nCAF\xC9.TXT\r\nA.TXT\r\n");
    EXPECT_NE(ReadBytes(dir / "out" / "game.inf"), "mine");
}

TEST_F(Cli, BuildsMountsListsAndRewritesTheComment) {
    WriteBytes(dir / "src" / "a.raw", "aaaa");
    WriteBytes(dir / "src" / "new.lst", "a.raw\r\n");
    WriteBytes(dir / "pod.ini", "1\r\nMTM.POD\r\n");
    fs::create_directory(dir / "addons");
    // A value after an equals sign keeps any equals sign of its own.
    CliRun run =
        Karvex({"build", "src/new.lst", "addons/New.pod", "--comment=x=\xC3\xA9", "--mount"});
    EXPECT_EQ(run.exit, 0) << run.err;
    EXPECT_EQ(run.out, "status\tx=\xC3\xA9\nsize\t128\nfiles\t1\nA.RAW\t4\t 124\n");
    EXPECT_EQ(ReadBytes(dir / "addons" / "New.pod"),
              "\x01\0\0\0"s + "x=\xE9" + std::string(77, '\0') + Record("A.RAW", 4, 124) + "aaaa");
    EXPECT_EQ(ReadBytes(dir / "pod.ini"),
              " 2\r\nMTM.POD" + std::string(25, ' ') + "\r\naddons\\New.pod\r\n");

    run = Karvex({"build", "src/new.lst", "addons/New.pod", "--mount", "--yes"});
    EXPECT_EQ(run.exit, 1) << "built, but already mounted";
    EXPECT_EQ(run.err,
              "Karvex32: File New.pod Exists!\n\nDo you want to overwrite this file? Yes\n"
              "Karvex: POD already mounted.\n");

    const std::string before = ReadBytes(dir / "addons" / "New.pod");
    run = Karvex({"build", "src/new.lst", "addons/New.pod"});
    EXPECT_EQ(run.exit, 1);
    EXPECT_EQ(run.err,
              "Karvex32: File New.pod Exists!\n\nDo you want to overwrite this file? No\n");
    EXPECT_EQ(ReadBytes(dir / "addons" / "New.pod"), before);

    run = Karvex({"build", "src/new.lst", "addons/NEW.TXT"});
    EXPECT_EQ(run.exit, 1);
    EXPECT_EQ(run.err, "Karvex32: File must be in a format like:  MYFILE.POD\n");
    EXPECT_FALSE(fs::exists(dir / "addons" / "NEW.TXT"));

    run = Karvex({"comment", "addons/New.pod", "--", "--weird"});
    EXPECT_EQ(run.exit, 0) << run.err;
    EXPECT_EQ(Karvex({"list", "addons/New.pod"}).out.substr(0, 15), "status\t--weird\n");
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
