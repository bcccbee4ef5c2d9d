// SPDX-License-Identifier: GPL-3.0-or-later
// End-to-end: search and examine, run on archives the tests make.
#include <gtest/gtest.h>

#include "tests/cli/cli_run.h"

namespace karvex::test {
namespace {

TEST_F(Cli, PrintsWhatASearchFinds) {
    WriteBytes(dir / "game.pod", PodBytes({{"car.raw", std::string(4096, 'c')},
                                           {"CAR.ACT", "truck"},
                                           {"big.raw", std::string(14096, 'b')}}));
    struct Row {
        std::vector<std::string> args;
        std::string out;
    };
    const Row rows[] = {
        {{"car"}, "2 Found\ncar.raw\t4,096\nCAR.ACT\t5\n"},
        {{"car", "--match-case"}, "1 Found\ncar.raw\t4,096\n"},
        {{"4096", "--size"}, "2 Found\ncar.raw\t4,096\nbig.raw\t14,096\n"},
        {{"TRUCK", "--size", "--contents"}, "1 Found\nCAR.ACT\t5\n"},
        {{"   "}, "3 Found\ncar.raw\t4,096\nCAR.ACT\t5\nbig.raw\t14,096\n"},
        {{"lorry"}, "0 Found\n"},
    };
    for (const Row& row : rows) {
        std::vector<std::string> args = {"search", "game.pod"};
        args.insert(args.end(), row.args.begin(), row.args.end());
        const CliRun run = Karvex(args);
        EXPECT_EQ(run.exit, 0) << run.err;
        EXPECT_EQ(run.out, row.out) << row.args[0];
    }
    EXPECT_EQ(Karvex({"search", "game.pod", ""}).exit, 2);
    EXPECT_EQ(Karvex({"search", "gone.pod", "car"}).exit, 2);
}

TEST_F(Cli, PrintsWhatATruckOrModelNames) {
    const std::string truck =
        "truckModelBaseName\r\nrig\r\ntireModelBaseName\r\nt\r\naxleModelName\r\n";
    const std::string model =
        "\x01  a.raw\x01"
        "b.wav";
    WriteBytes(
        dir / "game.pod",
        PodBytes(
            {{"rig.trk", truck}, {"rig.bin", model}, {"rig.bin.trk", model}, {"rig.raw", "x"}}));
    CliRun run = Karvex({"examine", "game.pod", "rig.trk"});
    EXPECT_EQ(run.exit, 0) << run.err;
    EXPECT_EQ(run.out,
              "rig.bin\nrig0.bin\nrig1.bin\nt08l.bin\nt08r.bin\nt10l.bin\nt10r.bin\n"
              "t16l.bin\nt16r.bin\n");
    run = Karvex({"examine", "game.pod", "rig.bin"});
    EXPECT_EQ(run.out, "  a.raw\nb.wav\n");  // leading blanks kept, as the list holds them
    run = Karvex({"examine", "game.pod", "rig.bin.trk"});
    EXPECT_EQ(run.out, "  a.raw\nb.wav\n\n  a.raw\nb.wav\n");  // examined twice
    run = Karvex({"examine", "game.pod", "rig.raw"});
    EXPECT_EQ(run.exit, 1);
    EXPECT_EQ(run.err, "karvex32-cli: rig.raw is neither a truck (.trk) nor a model (.bin)\n");
    EXPECT_EQ(Karvex({"examine", "game.pod", "none.bin"}).exit, 1);
}

// A stranger's truck definition prints names alone: no line break or NUL of its values.
TEST_F(Cli, ExaminePrintsNoControlBytes) {
    using namespace std::string_literals;
    const std::string truck =
        "truckModelBaseName\r\nab\0cd\r\ntireModelBaseName\r\n"
        "t\r\n..\\id_rsa\r\nx\r\naxleModelName\r\n"s;
    WriteBytes(dir / "game.pod", PodBytes({{"rig.trk", truck}}));
    const CliRun run = Karvex({"examine", "game.pod", "rig.trk"});
    EXPECT_EQ(run.exit, 0) << run.err;
    EXPECT_EQ(run.out,
              "ab.bin\nab0.bin\nab1.bin\nt08l.bin\nt08r.bin\nt10l.bin\nt10r.bin\n"
              "t16l.bin\nt16r.bin\n");
}

}  // namespace
}  // namespace karvex::test
