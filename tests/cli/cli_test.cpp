// SPDX-License-Identifier: GPL-3.0-or-later
// End-to-end: the built karvex32-cli run on archives and lists the tests make. What the core
// routines write is checked byte for byte in tests/core; here, what the tool adds.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>

#include "tests/cli/cli_run.h"
#include "tests/viewers/png_read.h"

namespace fs = std::filesystem;

namespace karvex::test {
namespace {

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
    for (const std::vector<std::string>& args :
         std::vector<std::vector<std::string>>{{"list", "gone.pod"},
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
    CliRun run = Karvex({"extract", "game.pod", "out", "--selected=CAF\xC3\x89.TXT", "--selected",
                         "A.TXT", "--inf"});
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

// A palette whose every colour is (red, green, blue); colour 255 of `last` if given.
std::string Palette(char red, char green, char blue, std::string last = "") {
    std::string bytes;
    for (int n = 0; n < 256; ++n)
        bytes += {red, green, blue};
    return bytes.replace(765, last.size(), last);
}

// The colours a picture holds, each once, in the order they first appear.
std::vector<std::uint32_t> Colours(const fs::path& png) {
    const PngPicture picture = ReadPng(png);
    EXPECT_TRUE(picture.ok && picture.rgb8) << png;
    std::vector<std::uint32_t> seen;
    for (std::uint32_t pixel : picture.pixels) {
        if (std::find(seen.begin(), seen.end(), pixel) == seen.end())
            seen.push_back(pixel);
    }
    return seen;
}

TEST_F(Cli, WritesATextureThroughThePaletteTheViewerWouldChoose) {
    std::string texture(4096, '\0');
    texture.back() = '\xFF';
    WriteBytes(dir / "game.pod", PodBytes({{"metalcr2.act", Palette(1, 2, 3)},
                                           {"TRK01.RAW", texture},
                                           {"trk01.act", Palette(4, 5, 6, "\x07\x08\x09")},
                                           {"trk02.raw", std::string(65536, '\x01')},
                                           {"odd.raw", "x"}}));
    WriteBytes(dir / "out.png", "old");
    CliRun run = Karvex({"texture", "game.pod", "TRK01.RAW", "out.png"});
    EXPECT_EQ(run.exit, 0) << run.err;
    EXPECT_EQ(run.out + run.err, "");
    EXPECT_EQ(ReadPng(dir / "out.png").width, 64u);
    EXPECT_EQ(Colours(dir / "out.png"), (std::vector<std::uint32_t>{0x060504, 0x090807}));

    run = Karvex({"texture", "game.pod", "trk02.raw", "sub/../two.png"});
    EXPECT_EQ(run.exit, 2) << "no folder sub";
    EXPECT_EQ(Karvex({"texture", "game.pod", "trk02.raw", "two.png"}).exit, 0);
    EXPECT_EQ(ReadPng(dir / "two.png").height, 256u);
    EXPECT_EQ(Colours(dir / "two.png"), (std::vector<std::uint32_t>{0x030201}));

    const std::string before = ReadBytes(dir / "game.pod");
    for (const auto& [args, err] : std::vector<std::pair<std::vector<std::string>, std::string>>{
             {{"odd.raw", "odd.png"},
              "Karvex32: Only textures sizes of 64x64 (size 4096) or 256x256 (size 65536) can be "
              "viewed.\n"},
             {{"trk01.raw", "odd.png"}, "karvex32-cli: no entry named trk01.raw\n"},
             {{"TRK01.RAW", "game.pod"},
              "Karvex32: Cannot write " + (dir / "game.pod").string() +
                  "\n\nIt is the archive being read.\n"}}) {
        run = Karvex({"texture", "game.pod", args[0], args[1]});
        EXPECT_EQ(run.exit, 1) << args[0];
        EXPECT_EQ(run.err, err);
    }
    EXPECT_FALSE(fs::exists(dir / "odd.png"));
    EXPECT_EQ(ReadBytes(dir / "game.pod"), before);
}

TEST_F(Cli, WritesEveryTextureBeneathTheFolderAsExtractionWould) {
    WriteBytes(dir / "game.pod",
               PodBytes({{"ART\\BOX.RAW", std::string(4096, '\x02')},
                         {"art\\box.act", Palette(9, 9, 9)},
                         {"SKY.RAW", std::string(4096, '\x02')},  // no palette: black
                         {"..\\UP.RAW", std::string(4096, '\0')},
                         {"small.raw", "x"},
                         {"notes.txt", std::string(4096, 'x')},
                         {"HALL.RAW", std::string(4096, 'x')},
                         {" SKY.RAW ", std::string(65536, '\0')}}));
    fs::create_directories(dir / "out" / "HALL.png");
    const CliRun run = Karvex({"textures", "game.pod", "out"});
    EXPECT_EQ(run.exit, 1);
    EXPECT_EQ(run.err,
              "Karvex32: These textures were not written, because their names do not "
              "lead to a file inside the folder " +
                  (dir / "out").string() +
                  ":\n..\\UP.RAW\n"
                  "Karvex32: These textures were not written, because what stands at their "
                  "place is not to be replaced:\nHALL.RAW (Not a regular file)\n");
    EXPECT_EQ(Colours(dir / "out" / "ART" / "BOX.png"), (std::vector<std::uint32_t>{0x090909}));
    EXPECT_EQ(ReadPng(dir / "out" / "SKY.png").width, 256u) << "the later entry of that name";
    EXPECT_EQ(Colours(dir / "out" / "SKY.png"), (std::vector<std::uint32_t>{0}));
    EXPECT_FALSE(fs::exists(dir / "UP.png"));
    EXPECT_FALSE(fs::exists(dir / "out" / "small.png"));
    EXPECT_FALSE(fs::exists(dir / "out" / "notes.png"));

    EXPECT_EQ(Karvex({"textures", "game.pod", "gone"}).exit, 2);
}

TEST_F(Cli, PrintsAPalettesColourValues) {
    WriteBytes(dir / "game.pod",
               PodBytes({{"a.act", Palette(1, 2, 3, "\xFF\0\x10"s)}, {"short.act", "\x05"}}));
    CliRun run = Karvex({"palette", "game.pod", "a.act"});
    EXPECT_EQ(run.exit, 0) << run.err;
    std::string expected;
    for (int n = 0; n < 255; ++n)
        expected += " 1  2  3\n";
    EXPECT_EQ(run.out, expected + " 255  0  16\n");

    run = Karvex({"palette", "game.pod", "short.act"});
    EXPECT_EQ(run.exit, 0) << "read on past the end of the archive as zeros";
    EXPECT_EQ(run.out.substr(0, 18), " 5  0  0\n 0  0  0\n");
    EXPECT_EQ(std::count(run.out.begin(), run.out.end(), '\n'), 256);
}

TEST_F(Cli, PrintsATextsLines) {
    WriteBytes(dir / "game.pod", PodBytes({{"a.txt", "AB\r\n\r\nC\nD \xE9\r\nE"}, {"b", "\n"}}));
    CliRun run = Karvex({"text", "game.pod", "a.txt"});
    EXPECT_EQ(run.exit, 0) << run.err;
    EXPECT_EQ(run.out, "AB\n \nC\nD \xC3\xA9\n");
    run = Karvex({"text", "game.pod", "-0", "a.txt"});
    EXPECT_EQ(run.out, "AB\0 \0C\nD \xC3\xA9\0"s);
    run = Karvex({"text", "game.pod", "b"});
    EXPECT_EQ(run.exit, 0);
    EXPECT_EQ(run.out, "");
    run = Karvex({"text", "gone.pod", "a.txt"});
    EXPECT_EQ(run.exit, 2);
}

// The text after the last line break is not printed, however long: the break is found
// reading back from the end, here with its CR and LF on either side of a block read.
TEST_F(Cli, PrintsTheLinesBeforeALongUnendedTail) {
    for (const std::size_t tail : {65535u, 196607u}) {
        std::string rest;
        while (rest.size() < tail)
            rest += "\n\rx";  // lone LFs and CRs, no break
        rest.resize(tail);
        WriteBytes(dir / "game.pod", PodBytes({{"a.txt", "AB\r\n\r\nC\xE9\r\n" + rest}}));
        const CliRun run = Karvex({"text", "game.pod", "a.txt"});
        EXPECT_EQ(run.exit, 0) << run.err;
        EXPECT_EQ(run.out, "AB\n \nC\xC3\xA9\n") << "a tail of " << tail;
    }
}

}  // namespace
}  // namespace karvex::test
