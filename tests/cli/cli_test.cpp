// End-to-end: the built karvex32-cli run on archives and lists the tests make.
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

TEST_F(Cli, ListsAnIncompleteResponseFile) {
    WriteBytes(dir / "a.raw", std::string(2000, 'a'));
    WriteBytes(dir / "new.LST", "a.raw\r\ngone.raw\r\n");
    const CliRun run = Karvex({"list", "new.LST"});
    EXPECT_EQ(run.exit, 1);
    EXPECT_EQ(run.out,
              "status\tnew.LST  -  Incomplete, Files Missing\n"
              "size\tUnknown\n"
              "files\tUnknown\n"
              "a.raw\t2,000\t164\n"
              "gone.raw\tMissing\tMissing\n");
}

TEST_F(Cli, AFailedLoadExitsWithOne) {
    WriteBytes(dir / "bad.pod", PodBytes({{"\0X"s, "x"}}));
    const CliRun run = Karvex({"list", "bad.pod"});
    EXPECT_EQ(run.exit, 1);
    EXPECT_EQ(
        run.out,
        "status\tLoad Failed  -  File may not be a valid POD file.\nsize\t\nfiles\t\n\t1\t 124\n");
}

TEST_F(Cli, BadUsageAndUnreadableFilesExitWithTwo) {
    const std::vector<std::vector<std::string>> calls = {
        {},
        {"open", "x.pod"},
        {"list"},
        {"list", "notes.txt"},
        {"list", "a.pod", "b.pod"},
        {"extract", "a.pod", "."},  // a.pod does not exist
        {"extract", "a.pod", ".", "--mount"},
        {"build", "a.lst", "B.POD", "--comment"},
        {"comment", "a.lst", "text"},
    };
    for (const auto& args : calls) {
        const CliRun run = Karvex(args);
        EXPECT_EQ(run.exit, 2) << (args.empty() ? "" : args[0]);
        EXPECT_EQ(run.out, "");
    }
    const CliRun missing = Karvex({"list", "gone.pod"});
    EXPECT_EQ(missing.err, "Karvex32: File not found\n\n" + (dir / "gone.pod").string() + "\n");
    EXPECT_EQ(Karvex({"--version"}).out, "karvex32-cli " KARVEX_VERSION "\n");
    EXPECT_NE(Karvex({"--help"}).out.find("karvex32-cli build LISTFILE NEWARCHIVE"),
              std::string::npos);
}

TEST_F(Cli, ExtractsSelectedEntriesAndAsksBeforeReplacing) {
    WriteBytes(dir / "game.pod",
               PodBytes({{"A.TXT", "a"}, {"CAF\xC9.TXT", "cafe"}, {"A.TXT", "second"}}));
    fs::create_directory(dir / "out");
    CliRun run = Karvex({"extract", "game.pod", "out", "--selected", "CAF\xC3\x89.TXT",
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

TEST_F(Cli, BuildsMountsAndListsTheNewArchive) {
    WriteBytes(dir / "src" / "a.raw", "aaaa");
    WriteBytes(dir / "src" / "new.lst", "a.raw\r\n");
    WriteBytes(dir / "pod.ini", "1\r\nMTM.POD\r\n");
    fs::create_directory(dir / "addons");
    CliRun run = Karvex(
        {"build", "src/new.lst", "addons/New.pod", "--comment", "Fresh \xC3\xA9", "--mount"});
    EXPECT_EQ(run.exit, 0) << run.err;
    EXPECT_EQ(run.out, "status\tFresh \xC3\xA9\nsize\t128\nfiles\t1\nA.RAW\t4\t 124\n");
    EXPECT_EQ(
        ReadBytes(dir / "addons" / "New.pod"),
        "\x01\0\0\0"s + "Fresh \xE9" + std::string(73, '\0') + Record("A.RAW", 4, 124) + "aaaa");
    EXPECT_EQ(ReadBytes(dir / "pod.ini"),
              " 2\r\nMTM.POD" + std::string(25, ' ') + "\r\naddons\\New.pod\r\n");

    run = Karvex({"build", "src/new.lst", "addons/New.pod", "--mount", "--yes"});
    EXPECT_EQ(run.exit, 1) << "already mounted";
    EXPECT_NE(run.err.find("Karvex: POD already mounted."), std::string::npos);

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
}

TEST_F(Cli, BuildRefusesAnIncompleteList) {
    WriteBytes(dir / "new.lst", "gone.raw\r\n");
    const CliRun run = Karvex({"build", "new.lst", "NEW.POD"});
    EXPECT_EQ(run.exit, 1);
    EXPECT_EQ(
        run.err,
        "karvex32-cli: new.lst  -  Incomplete, Files Missing\nkarvex32-cli: missing: gone.raw\n");
    EXPECT_FALSE(fs::exists(dir / "NEW.POD"));
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

INSTANTIATE_TEST_SUITE_P(
    Usage, CliCommandLine,
    testing::Values(
        CommandLine{"list help", {"list", "--help"}, 0, "Usage: karvex32-cli list FILE\n"},
        CommandLine{"extract help",
                    {"extract", "--help"},
                    0,
                    "Usage: karvex32-cli extract ARCHIVE FOLDER [--selected NAME]... [--all] "
                    "[--lst] [--inf] [--yes]\n"},
        CommandLine{"build help",
                    {"build", "-h"},
                    0,
                    "Usage: karvex32-cli build LISTFILE NEWARCHIVE [--comment TEXT] [--mount] "
                    "[--yes]\n"},
        CommandLine{
            "comment help", {"comment", "--help"}, 0, "Usage: karvex32-cli comment ARCHIVE TEXT\n"},
        CommandLine{"unknown option",
                    {"extract", "a.pod", ".", "--mount=1"},
                    2,
                    "'extract' does not take --mount"},
        CommandLine{
            "single dash option", {"comment", "a.pod", "-x"}, 2, "'comment' does not take -x"},
        CommandLine{"missing value",
                    {"extract", "a.pod", ".", "--selected"},
                    2,
                    "--selected needs a value"},
        CommandLine{"too many operands",
                    {"build", "a.lst", "B.POD", "C.POD"},
                    2,
                    "'build' takes 2 arguments"},
        CommandLine{
            "too few operands", {"comment", "--", "a.pod"}, 2, "'comment' takes 2 arguments"},
        CommandLine{"unknown command", {"open", "a.pod"}, 2, "unknown command 'open'"},
        CommandLine{"no command", {}, 2, "no command given"}),
    [](const auto& info) {
        std::string name = info.param.what;
        for (char& c : name)
            c = std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
        return name;
    });

TEST_F(Cli, TakesValuesAfterAnEqualsSignAndOperandsAfterADoubleDash) {
    WriteBytes(dir / "a.raw", "aaaa");
    WriteBytes(dir / "new.lst", "a.raw\r\n");
    CliRun run = Karvex({"build", "new.lst", "NEW.POD", "--comment=x=1"});
    EXPECT_EQ(run.exit, 0) << run.err;
    EXPECT_EQ(run.out, "status\tx=1\nsize\t128\nfiles\t1\nA.RAW\t4\t 124\n");

    fs::create_directory(dir / "out");
    run = Karvex({"extract", "NEW.POD", "out", "--selected=A.RAW"});
    EXPECT_EQ(run.exit, 0) << run.err;
    EXPECT_EQ(ReadBytes(dir / "out" / "A.RAW"), "aaaa");

    run = Karvex({"comment", "NEW.POD", "--", "--weird"});
    EXPECT_EQ(run.exit, 0) << run.err;
    EXPECT_EQ(Karvex({"list", "NEW.POD"}).out.substr(0, 15), "status\t--weird\n");
}

}  // namespace
}  // namespace karvex::test
