// SPDX-License-Identifier: GPL-3.0-or-later
// End-to-end: search and examine, run on archives the tests make.
#include <gtest/gtest.h>

#include "tests/cli/cli_run.h"

namespace karvex::test {
namespace {

// Each option reaches the search; a truck's values print as names alone, no line break or
// NUL of theirs; a name that holds both kinds, in any letter case, is examined twice as a model.
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
    const struct {
        std::vector<std::string> args;
        std::string out;
    } rows[] = {
        {{"search", "game.pod", "car"}, "2 Found\ncar.raw\t4,096\nCAR.ACT\t5\n"},
        {{"search", "game.pod", "car", "--match-case"}, "1 Found\ncar.raw\t4,096\n"},
        {{"search", "game.pod", "4096", "--size"}, "2 Found\ncar.raw\t4,096\nbig.raw\t14,096\n"},
        {{"search", "game.pod", "WAGON", "--size", "--contents"}, "1 Found\nCAR.ACT\t5\n"},
        {{"search", "game.pod", "lorry"}, "0 Found\n"},
        {{"examine", "game.pod", "rig.trk"}, rig},
        {{"examine", "game.pod", "rig.bin"}, "  a.raw\nb.wav\n"},  // leading blanks kept
        {{"examine", "game.pod", "rig.BIN.Trk"}, "  a.raw\nb.wav\n\n  a.raw\nb.wav\n"},
    };
    for (const auto& row : rows) {
        const CliRun run = Karvex(row.args);
        EXPECT_EQ(run.exit, 0) << run.err;
        EXPECT_EQ(run.out, row.out) << row.args[2];
    }
    Expect({"examine", "game.pod", "car.raw"}, 1,
           "karvex32-cli: car.raw is neither a truck (.trk) nor a model (.bin)\n");
    Expect({"examine", "game.pod", "none.bin"}, 1, "karvex32-cli: no entry named none.bin\n");
}

}  // namespace
}  // namespace karvex::test
