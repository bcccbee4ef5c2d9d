// SPDX-License-Identifier: GPL-3.0-or-later
// End-to-end: the built karvex32-cli on archives the tests make; tests/core checks the bytes.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "karvex_version.h"
#include "tests/cli/cli_run.h"
#include "tests/viewers/png_read.h"

namespace fs = std::filesystem;

namespace karvex::test {
namespace {

TEST_F(Cli, AnIncompleteListIsListedButNotBuilt) {
    WriteBytes(dir / "a.raw", std::string(2000, 'a'));
    WriteBytes(dir / "new.LST", "a.raw\r\ngone.raw\r\n");
    const CliRun run = Karvex({"list", "new.LST"});
    EXPECT_EQ(run.exit, 1);
    EXPECT_EQ(run.out,
              "status\tnew.LST  -  Incomplete, Files Missing\nsize\tUnknown\nfiles\tUnknown\n"
              "a.raw\t2,000\t164\ngone.raw\tMissing\tMissing\n");
    Expect(
        {"build", "new.LST", "NEW.POD"}, 1,
        "karvex32-cli: new.LST  -  Incomplete, Files Missing\nkarvex32-cli: missing: gone.raw\n");
    EXPECT_FALSE(fs::exists(dir / "NEW.POD"));
}

TEST_F(Cli, AFileThatCannotBeReadExitsWithTwo) {
    // clang-format off
    for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
             {"list", "gone.pod"}, {"extract", "gone.pod", "."}, {"build", "gone.lst", "NEW.POD"},
             {"comment", "gone.pod", "x"}, {"text", "gone.pod", "a"}, {"search", "gone.pod", "car"},
             {"textures", "gone.pod", "."}}) {
        // clang-format on
        const std::string path = (dir / args[1]).string();
        EXPECT_EQ(Expect(args, 2, "Karvex32: File not found\n\n" + path + "\n").out, "");
    }
}

TEST_F(Cli, ExtractsSelectedEntriesAndAsksBeforeReplacing) {
    WriteBytes(dir / "game.pod",
               PodBytes({{"A.TXT", "a"}, {"CAF\xC9.TXT", "cafe"}, {"A.TXT", "second"}}));
    fs::create_directory(dir / "out");
    Expect({"extract", "game.pod", "out", "--selected=CAF\xC3\x89.TXT", "--selected", "A.TXT",
            "--inf"},
           0, "");
    EXPECT_EQ(ReadBytes(dir / "out" / "CAF\xC3\x89.TXT"), "cafe");
    EXPECT_EQ(ReadBytes(dir / "out" / "A.TXT"), "second") << "both named A.TXT, in table order";
    EXPECT_TRUE(fs::exists(dir / "out" / "game.inf"));

    WriteBytes(dir / "out" / "game.inf", "mine");
    Expect({"extract", "game.pod", "out", "--inf", "--selected", "NONE"}, 1,
           "karvex32-cli: no entry named NONE\n"
           "Karvex: File game.inf Exists!\n\nDo you want to overwrite this file? No\n");
    EXPECT_EQ(ReadBytes(dir / "out" / "game.inf"), "mine");

    Expect({"extract", "game.pod", "out", "--inf", "--lst", "--yes"}, 0,
           "Karvex: File game.inf Exists!\n\nDo you want to overwrite this file? Yes\n");
    EXPECT_EQ(ReadBytes(dir / "out" / "game.lst"), "A.TXT\r\nCAF\xC9.TXT\r\nA.TXT\r\n");
    EXPECT_NE(ReadBytes(dir / "out" / "game.inf"), "mine");
}

TEST_F(Cli, BuildsMountsListsAndRewritesTheComment) {
    WriteBytes(dir / "src" / "a.raw", "aaaa");
    WriteBytes(dir / "src" / "new.lst", "a.raw\r\n");
    WriteBytes(dir / "pod.ini", "1\r\nMTM.POD\r\n");
    fs::create_directory(dir / "addons");
    const CliRun run =
        Karvex({"build", "src/new.lst", "addons/New.pod", "--comment=x=\xC3\xA9", "--mount"});
    EXPECT_EQ(run.exit, 0) << run.err;
    EXPECT_EQ(run.out, "status\tx=\xC3\xA9\nsize\t128\nfiles\t1\nA.RAW\t4\t 124\n") << "= kept";
    EXPECT_EQ(ReadBytes(dir / "pod.ini"),
              " 2\r\nMTM.POD" + std::string(25, ' ') + "\r\naddons\\New.pod\r\n");

    const std::string exists =
        "Karvex32: File New.pod Exists!\n\nDo you want to overwrite this file? ";
    Expect({"build", "src/new.lst", "addons/New.pod", "--mount", "--yes"}, 1,
           exists + "Yes\nKarvex: POD already mounted.\n");  // built, but already mounted
    const std::string before = ReadBytes(dir / "addons" / "New.pod");
    Expect({"build", "src/new.lst", "addons/New.pod", "--comment=new"}, 1, exists + "No\n");
    EXPECT_EQ(ReadBytes(dir / "addons" / "New.pod"), before);
    Expect({"build", "src/new.lst", "addons/NEW.TXT"}, 1,
           "Karvex32: File must be in a format like:  MYFILE.POD\n");
    EXPECT_FALSE(fs::exists(dir / "addons" / "NEW.TXT"));

    Expect({"comment", "addons/New.pod", "--", "--weird"}, 0, "");
    EXPECT_EQ(Karvex({"list", "addons/New.pod"}).out.substr(0, 15), "status\t--weird\n");
}

TEST_F(Cli, WritesATextureThroughThePaletteTheViewerWouldChoose) {
    std::string texture(4096, '\0');
    texture.back() = '\xFF';
    WriteBytes(dir / "game.pod", PodBytes({{"metalcr2.act", std::string(768, '\x01')},
                                           {"TRK01.RAW", texture},
                                           {"trk01.act", std::string(765, '\x04') + "\x07\x08\x09"},
                                           {"trk02.raw", std::string(65536, '\x01')},
                                           {"odd.raw", "x"}}));
    WriteBytes(dir / "out.png", "old");
    Expect({"texture", "game.pod", "TRK01.RAW", "out.png"}, 0, "");
    const PngPicture png = ReadPng(dir / "out.png");
    std::vector<std::uint32_t> pixels(4096, 0x040404);  // trk01.act's colours 0 and 255
    pixels.back() = 0x090807;
    EXPECT_TRUE(png.ok && png.indexed8 && png.width == 64);
    EXPECT_EQ(png.pixels, pixels);

    EXPECT_EQ(Karvex({"texture", "game.pod", "trk02.raw", "sub/../two.png"}).exit, 2)
        << "no folder sub";

    const std::string before = ReadBytes(dir / "game.pod");
    Expect({"texture", "game.pod", "odd.raw", "odd.png"}, 1,
           "Karvex32: Only textures sizes of 64x64 (size 4096) or 256x256 (size 65536) can be "
           "viewed.\n");
    Expect({"texture", "game.pod", "trk01.raw", "odd.png"}, 1,
           "karvex32-cli: no entry named trk01.raw\n");
    Expect({"texture", "game.pod", "TRK01.RAW", "game.pod"}, 1,
           "Karvex32: Cannot write " + (dir / "game.pod").string() +
               "\n\nIt is the archive being read.\n");
    EXPECT_FALSE(fs::exists(dir / "odd.png"));
    EXPECT_EQ(ReadBytes(dir / "game.pod"), before);
}

TEST_F(Cli, WritesEveryTextureBeneathTheFolderAsExtractionWould) {
    WriteBytes(dir / "game.pod",
               PodBytes({{"ART\\BOX.RAW", std::string(4096, '\x02')},
                         {"art\\box.act", std::string(768, '\x09')},
                         {"SKY.RAW", std::string(4096, '\x02')},  // no palette: black
                         {"..\\UP.RAW", std::string(4096, '\0')},
                         {"small.raw", "x"},
                         {"notes.txt", std::string(4096, 'x')},
                         {"HALL.RAW", std::string(4096, 'x')},
                         {" SKY.RAW ", std::string(65536, '\0')}}));
    fs::create_directories(dir / "out" / "HALL.png");
    Expect({"textures", "game.pod", "out"}, 1,
           "Karvex32: These textures were not written, because their names do not "
           "lead to a file inside the folder " +
               (dir / "out").string() +
               ":\n..\\UP.RAW\n"
               "Karvex32: These textures were not written, because what stands at their "
               "place is not to be replaced:\nHALL.RAW (Not a regular file)\n");
    EXPECT_EQ(ReadPng(dir / "out" / "ART" / "BOX.png").pixels,
              std::vector<std::uint32_t>(4096, 0x090909));
    EXPECT_EQ(ReadPng(dir / "out" / "SKY.png").pixels, std::vector<std::uint32_t>(65536, 0))
        << "the later entry of that name, black without a palette";
    EXPECT_FALSE(fs::exists(dir / "UP.png"));
    EXPECT_FALSE(fs::exists(dir / "out" / "small.png"));
    EXPECT_FALSE(fs::exists(dir / "out" / "notes.png"));

    EXPECT_EQ(Karvex({"textures", "game.pod", "gone"}).exit, 2);
}

// A text's last break is found reading back from the end, its CR and LF across a read's edge.
TEST_F(Cli, PrintsAPalettesColourValuesAndATextsLines) {
    std::string tail, colours, zeros;
    while (tail.size() < 196607)
        tail += "\n\rx";  // lone LFs and CRs, no break
    for (int n = 0; n < 255; ++n)
        colours += " 1  1  1\n", zeros += " 0  0  0\n";
    const std::string lines = "AB\r\n\r\nC\xE9\r\n";
    WriteBytes(dir / "game.pod", PodBytes({{"a.act", std::string(765, '\x01') + "\xFF\0\x10"s},
                                           {"a.txt", "AB\r\n\r\nC\nD \xE9\r\nE"},
                                           {"b", "\n"},
                                           {"c", lines + tail.substr(0, 65535)},
                                           {"d", lines + tail.substr(0, 196607)},
                                           {"short.act", "\x05"}}));  // read on past the end
    ExpectOut({{{"palette", "game.pod", "a.act"}, colours + " 255  0  16\n"},
               {{"palette", "game.pod", "short.act"}, " 5  0  0\n" + zeros},
               {{"text", "game.pod", "a.txt"}, "AB\n \nC\nD \xC3\xA9\n"},
               {{"text", "game.pod", "-0", "a.txt"}, "AB\0 \0C\nD \xC3\xA9\0"s},
               {{"text", "game.pod", "b"}, ""},
               {{"text", "game.pod", "c"}, "AB\n \nC\xC3\xA9\n"},
               {{"text", "game.pod", "d"}, "AB\n \nC\xC3\xA9\n"}});
}

// Values print as names alone; a name of both kinds, in any case, is examined twice as a model.
TEST_F(Cli, PrintsWhatASearchFindsAndATruckOrModelNames) {
    const std::string truck =
        "truckModelBaseName\r\nrig\0cd\r\ntireModelBaseName\r\nt\r\n..\\id_rsa\r\n"
        "axleModelName\r\n"s;
    const std::string model = "\x01  a.raw\x01"s + "b.wav";
    WriteBytes(dir / "game.pod", PodBytes({{"car.raw", std::string(4096, 'c')},
                                           {"CAR.ACT", "wagon"},
                                           {"big.raw", std::string(14096, 'b')},
                                           {"rig.trk", truck},
                                           {"rig.bin", model},
                                           {"rig.BIN.Trk", model}}));
    const std::string rig =
        "rig.bin\nrig0.bin\nrig1.bin\nt08l.bin\nt08r.bin\nt10l.bin\nt10r.bin\nt16l.bin\nt16r.bin\n";
    ExpectOut({{{"search", "game.pod", "car"}, "2 Found\ncar.raw\t4,096\nCAR.ACT\t5\n"},
               {{"search", "game.pod", "WAGON", "--size", "--contents"}, "1 Found\nCAR.ACT\t5\n"},
               {{"search", "game.pod", "lorry"}, "0 Found\n"},
               {{"examine", "game.pod", "rig.trk"}, rig},
               {{"examine", "game.pod", "rig.bin"}, "  a.raw\nb.wav\n"},  // leading blanks kept
               {{"examine", "game.pod", "rig.BIN.Trk"}, "  a.raw\nb.wav\n\n  a.raw\nb.wav\n"}});
    Expect({"examine", "game.pod", "car.raw"}, 1,
           "karvex32-cli: car.raw is neither a truck (.trk) nor a model (.bin)\n");
    Expect({"examine", "game.pod", "none.bin"}, 1, "karvex32-cli: no entry named none.bin\n");
}

// Each command line is one edit: all of it or nothing. Done, nothing is printed.
TEST_F(Cli, EditsAnArchiveInPlace) {
    WriteBytes(dir / "game.pod", PodBytes({{"T.RAW", "t"}, {"b.txt", "bb"}}, "old"));
    for (const char* name : {"a.raw", "x.bin"})
        WriteBytes(dir / name, name);
    ::mkfifo((dir / "fifo").c_str(), 0600);
    const std::string fifo = (dir / "fifo").string(), none = (dir / "none").string();
    // The command, then its arguments after the archive; exit 1 is a refusal, and says so first.
    // clang-format off
    const std::tuple<std::vector<std::string>, int, std::string> rows[] = {
        {{"add", "a.raw", "x.bin"}, 0, ""},
        {{"add", "x.bin", "--as", "sub\\\xC3\xA9.bin"}, 0, ""},
        {{"add", "a.raw", "--replace", "--as", "b.TXT"}, 0, ""},
        {{"rename", "t.raw", "NEW\\T.RAW"}, 0, ""},
        {{"delete", "x.BIN"}, 0, ""},
        {{"add", "x.bin", "a.raw"}, 1, "An entry named A.RAW is in the archive already.\n"},
        {{"delete", "A.RAW", "none"}, 1, "There is no entry named none in the archive.\n"},
        {{"rename", "A.RAW", "a b"}, 1, "The name a b holds a blank.\n"},
        {{"add", "fifo"}, 1, "The file " + fifo + " is not a regular file.\n"},
        {{"add", "none"}, 2, "Karvex32: Cannot read " + none + "\n\nNo such file or directory\n"}};
    // clang-format on
    const std::string refused = "Karvex32: Cannot change " + (dir / "game.pod").string() + "\n\n";
    for (auto [args, exit, err] : rows) {
        args.insert(args.begin() + 1, "game.pod");
        SCOPED_TRACE(testing::PrintToString(args));
        const std::string before = ReadBytes(dir / "game.pod");
        const CliRun run = Karvex(args);
        EXPECT_EQ(run.exit, exit);
        EXPECT_EQ(run.err, exit == 1 ? refused + err : err);
        EXPECT_EQ(run.out, "");
        if (exit != 0) {
            EXPECT_EQ(ReadBytes(dir / "game.pod"), before);
        }
    }
    EXPECT_EQ(Karvex({"list", "game.pod"}).out,
              "status\told\nsize\t260\nfiles\t4\nNEW\\T.RAW\t1\t 244\nb.txt\t5\t 245\n"
              "A.RAW\t5\t 250\nSUB\\\xC3\x89.BIN\t5\t 255\n");
}

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
        {{"build", "-h"}, 0,
         cmd + "build LISTFILE NEWARCHIVE [--comment TEXT] [--mount] [--yes]\n"},
        {{"add", "-h"}, 0, cmd + "add ARCHIVE FILE... [--as NAME] [--replace]\n"},
        {{"delete", "-h"}, 0, cmd + "delete ARCHIVE NAME...\n"},
        {{"rename", "-h"}, 0, cmd + "rename ARCHIVE OLD NEW\n"},
        {{"texture-import", "-h"}, 0,
         cmd + "texture-import ARCHIVE ENTRY FILE.png [--palette NAME] [--dither]\n"},
        {{"palette-export", "-h"}, 0, cmd + "palette-export ARCHIVE ENTRY OUT.gpl|OUT.png\n"},
        {{"palette-import", "-h"}, 0, cmd + "palette-import ARCHIVE ENTRY FILE.gpl|FILE.png\n"},
        {{"textures-import", "-h"}, 0, cmd + "textures-import ARCHIVE FOLDER [--dither]\n"},
        {{"--help"}, 0, "\n  texture-import\n            replaces ENTRY by the texture"},
        {{"texture-import", "game.pod", "T.RAW", "t.gif"}, 2, "FILE.png must end in .png: t.gif"},
        {{"palette-export", "game.pod", "T.RAW", "x.act"}, 2,
         "OUT.gpl|OUT.png must end in .gpl or .png: x.act"},
        {{"texture-import", "game.pod", "T.RAW", "t.png", "--palette", euro}, 2,
         "--palette" + latin1 + euro},
        {{"add", "game.pod"}, 2, "'add' takes at least 2 arguments"},
        {{"rename", "game.pod", "T.RAW"}, 2, "'rename' takes 3 arguments"},
        {{"add", "game.pod", "a.raw", "new.lst", "--as", "X"}, 2,
         "--as names the entry of one FILE only"},
        {{"delete", "game.pod", euro}, 2, "NAME" + latin1 + euro},
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
        {{"texture-import", pod, "T.RAW", "t.png"}, 2, "t.png", true},
        {{"palette-export", pod, "T.RAW", "p.gpl"}, 2, "p.gpl", true},
        {{"build", list, "NEW.POD", "--yes"}, 2, "NEW.POD", true},
        {{"extract", pod, "out", "--all"}, 2, "out", true},
        {{"list", "game.pod"}, 2, "game.pod", true},
        {{"text", "game.pod", euro + ".txt"}, 2, "ENTRY" + latin1 + euro + ".txt"},
        {{"extract", "game.pod", "out", "--selected", euro + ".txt"}, 2,
         "--selected" + latin1 + euro + ".txt"},
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
