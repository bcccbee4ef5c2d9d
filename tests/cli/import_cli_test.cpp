// SPDX-License-Identifier: GPL-3.0-or-later
// End-to-end: textures and palettes out of the archive and back in through karvex32-cli.
#include <gtest/gtest.h>

#include "tests/cli/cli_run.h"
#include "viewers/palette_files.h"
#include "viewers/png_writer.h"
#include "viewers/texture.h"

namespace fs = std::filesystem;

namespace karvex::test {
namespace {

// A palette of 16 colours, each repeated 16 times: colour n is (n / 16 * 16, 7, 255 - n / 16).
std::string RepeatPalette() {
    std::string bytes;
    for (int n = 0; n < 256; ++n)
        bytes += {char(n / 16 * 16), char(7), char(255 - n / 16)};
    return bytes;
}

// `side` x `side` texture bytes of a pattern that uses every index.
std::string Pattern(int side, int seed) {
    std::string bytes(static_cast<std::size_t>(side * side), '\0');
    for (std::size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = char((i * 7 + static_cast<std::size_t>(seed) * i / 64) % 256);
    return bytes;
}

// Writes `colors` (red + 256 green + 65536 blue) as an RGB PNG of `side` x `side`.
void WriteRgbPng(const fs::path& path, int side, const std::vector<std::uint32_t>& colors) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    ASSERT_TRUE(file && WritePng(file, side, side, colors).IsDone());
    std::fclose(file);
}

// The index of the colour of `palette` nearest to `color`, the lowest on a tie.
char Nearest(const std::string& palette, std::uint32_t color) {
    long best = -1;
    int index = 0;
    for (int n = 0; n < 256; ++n) {
        long distance = 0;
        for (int c = 0; c < 3; ++c) {
            const long d = long((color >> (8 * c)) & 0xFF) - (unsigned char)palette[3 * n + c];
            distance += d * d;
        }
        if (best < 0 || distance < best)
            best = distance, index = n;
    }
    return char(index);
}

// A game archive of two textures (one in a folder), their palettes and a text.
struct Game {
    std::string small = Pattern(64, 1), large = Pattern(256, 3);
    std::string bytes = PodBytes({{"ART\\BOX.RAW", small},
                                  {"ART\\BOX.ACT", RepeatPalette()},
                                  {"SKY.RAW", large},
                                  {"METALCR2.ACT", RampPalette()},
                                  {"README.TXT", "hello"}});
};

TEST_F(Cli, TexturesExportedAndImportedLeaveTheArchiveByteForByte) {
    const Game game;
    WriteBytes(dir / "game.pod", game.bytes);
    fs::create_directory(dir / "out");
    Expect({"textures", "game.pod", "out"}, 0, "");
    EXPECT_EQ(Expect({"textures-import", "game.pod", "out"}, 0, "").out, "");
    EXPECT_TRUE(ReadBytes(dir / "game.pod") == game.bytes);

    // A painted sky is matched against the default palette; a stray PNG is left out.
    std::vector<std::uint32_t> painted(65536);
    std::string wanted(65536, '\0');
    for (std::size_t i = 0; i < painted.size(); ++i) {
        painted[i] = ColorValue(i % 251, i / 256, (i * 13) % 256);
        wanted[i] = Nearest(RampPalette(), painted[i]);
    }
    WriteRgbPng(dir / "out" / "SKY.png", 256, painted);
    WriteBytes(dir / "out" / "stray.png", "not looked at");
    const CliRun run = Expect({"textures-import", "game.pod", "out"}, 1,
                              "Karvex32: stray.png: no entry stray.raw to import it into\n");
    EXPECT_EQ(run.out, "SKY.RAW\n");
    const std::string imported = PodBytes({{"ART\\BOX.RAW", game.small},
                                           {"ART\\BOX.ACT", RepeatPalette()},
                                           {"SKY.RAW", wanted},
                                           {"METALCR2.ACT", RampPalette()},
                                           {"README.TXT", "hello"}});
    EXPECT_TRUE(ReadBytes(dir / "game.pod") == imported);

    // A picture of an entry that cannot be imported stops the edit, the archive untouched.
    fs::remove(dir / "out" / "stray.png");
    WriteRgbPng(dir / "out" / "SKY.png", 64, std::vector<std::uint32_t>(4096));
    WriteBytes(dir / "out" / "ART" / "BOX.png", "damaged");
    Expect({"textures-import", "game.pod", "out"}, 2,
           "Karvex32: Cannot read " + (dir / "out" / "ART" / "BOX.png").string() +
               "\n\nThe file is not a PNG file.\n");
    EXPECT_TRUE(ReadBytes(dir / "game.pod") == imported);
}

TEST_F(Cli, TextureImportReplacesOrAddsThroughThePalette) {
    WriteBytes(dir / "game.pod", Game().bytes);
    std::vector<std::uint32_t> grey(4096, ColorValue(130, 130, 130));
    WriteRgbPng(dir / "grey.png", 64, grey);
    // ART\BOX.RAW has its own palette; NEW.RAW, added, only the default one, or --palette.
    Expect({"texture-import", "game.pod", "art\\box.raw", "grey.png"}, 0, "");
    Expect({"texture-import", "game.pod", "NEW.RAW", "grey.png", "--palette", "art\\box.act"}, 0,
           "");
    Expect({"texture-import", "game.pod", "new2.raw", "grey.png"}, 0, "");
    const Game game;
    EXPECT_TRUE(ReadBytes(dir / "game.pod") ==
                PodBytes({{"ART\\BOX.RAW", std::string(4096, Nearest(RepeatPalette(), grey[0]))},
                          {"ART\\BOX.ACT", RepeatPalette()},
                          {"SKY.RAW", game.large},
                          {"METALCR2.ACT", RampPalette()},
                          {"README.TXT", "hello"},
                          {"NEW.RAW", std::string(4096, Nearest(RepeatPalette(), grey[0]))},
                          {"NEW2.RAW", std::string(4096, Nearest(RampPalette(), grey[0]))}}));
}

TEST_F(Cli, ImportRefusalsLeaveTheArchiveUntouched) {
    const std::string plain = PodBytes({{"A.RAW", std::string(4096, 1)}, {"B.TXT", "b"}});
    WriteBytes(dir / "game.pod", plain);
    WriteRgbPng(dir / "odd.png", 65, std::vector<std::uint32_t>(65 * 65));
    WriteBytes(dir / "bad.png", "\x89PNG\r\n\x1a\n broken");
    WriteBytes(dir / "short.gpl", "GIMP Palette\n1 2 3\n");
    const std::string path = dir.path().string() + "/";
    const struct Row {
        std::vector<std::string> args;
        int exit;
        std::string err;
    } rows[] = {
        {{"texture-import", "game.pod", "A.RAW", "odd.png"},
         1,
         "Karvex32: A.RAW: no palette to match the colours against\n"},
        {{"texture-import", "game.pod", "A.RAW", "odd.png", "--palette", "B.TXT"},
         1,
         "Karvex32: Cannot import " + path +
             "odd.png\n\nOnly textures sizes of 64x64 (size 4096) or 256x256 (size 65536) can be "
             "imported. The picture is 65x65.\n"},
        {{"texture-import", "game.pod", "A.RAW", "bad.png", "--palette", "b.txt"},
         2,
         "Karvex32: Cannot read " + path + "bad.png\n\nThe PNG file ends early.\n"},
        {{"texture-import", "game.pod", "A.RAW", "odd.png", "--palette", "C.ACT"},
         1,
         "karvex32-cli: no entry named C.ACT\n"},
        {{"palette-import", "game.pod", "A.ACT", "short.gpl"},
         1,
         "Karvex32: Cannot import " + path +
             "short.gpl\n\nThe palette holds 1 colour; a texture's palette holds 256.\n"},
        {{"palette-import", "game.pod", "A.ACT", "gone.gpl"},
         2,
         "Karvex32: Cannot read " + path + "gone.gpl\n\nNo such file or directory\n"},
        {{"palette-export", "game.pod", "B.TXT", "link.png"},
         2,
         "Karvex32: Cannot write " + path + "link.png\n\nIt is a symbolic link.\n"},
    };
    WriteBytes(dir / "victim", "mine");
    fs::create_symlink("victim", dir / "link.png");
    for (const Row& row : rows) {
        const CliRun run = Karvex(row.args);
        EXPECT_EQ(run.exit, row.exit) << row.args[3];
        EXPECT_EQ(run.err, row.err) << row.args[3];
        EXPECT_EQ(ReadBytes(dir / "game.pod"), plain) << row.args[3];
    }
    EXPECT_TRUE(ReadBytes(dir / "victim") == "mine" && fs::is_symlink(dir / "link.png"));
}

TEST_F(Cli, PalettesGoOutAndBackExactly) {
    const std::string bytes = PodBytes({{"BOX.ACT", RepeatPalette()}, {"x.raw", "x"}});
    WriteBytes(dir / "game.pod", bytes);
    for (const char* file : {"box.gpl", "box.png"}) {
        Expect({"palette-export", "game.pod", "BOX.ACT", file}, 0, "");
        Expect({"palette-import", "game.pod", "box.act", file}, 0, "");
        EXPECT_EQ(ReadBytes(dir / "game.pod"), bytes) << file;
    }
    EXPECT_EQ(ReadBytes(dir / "box.gpl"), GplText(RepeatPalette(), "BOX.ACT"));
    Expect({"palette-import", "game.pod", "NEW.ACT", "box.gpl"}, 0, "");
    EXPECT_EQ(
        ReadBytes(dir / "game.pod"),
        PodBytes({{"BOX.ACT", RepeatPalette()}, {"x.raw", "x"}, {"NEW.ACT", RepeatPalette()}}));
}

}  // namespace
}  // namespace karvex::test
