// SPDX-License-Identifier: GPL-3.0-or-later
// make_demo OUTDIR: writes the source files of the Karvex32 demo archive plus a response file.
// Everything is generated from code, so the repository carries no binary assets, and the output
// is byte-identical on every run (fixed seeds, no clocks). The files themselves are made in
// demo_textures.cpp and demo_files.cpp.

#include <iostream>
#include <system_error>

#include "demo/demo_makers.h"

namespace fs = std::filesystem;

int main(int argc, char** argv) {
    using namespace demo;
    if (argc != 2) {
        std::cerr << "usage: make_demo OUTDIR\n";
        return 2;
    }
    const fs::path outDir = argv[1];
    try {
        for (const fs::path& dir : {outDir, outDir / "sounds"}) {
            std::error_code ec;
            fs::create_directories(dir, ec);
            if (ec) {
                throw WriteError(dir, ec.message());
            }
        }
        writeFile(outDir / "readme.txt", readmeText());
        const Palette badge = badgePalette();
        writeFile(outDir / "sunset.raw", sunsetTexture());
        writeFile(outDir / "sunset.act", paletteBytes(sunsetPalette()));
        writeFile(outDir / "badge.raw", badgeTexture(badge));
        writeFile(outDir / "badge.act", paletteBytes(badge));
        writeFile(outDir / "metalcr2.act", paletteBytes(metalPalette()));
        writeFile(outDir / "sounds" / "horn.wav", hornWave());
        writeFile(outDir / "logo.bmp", logoBitmap());
        writeFile(outDir / "demotruck.trk", truckDefinition());
        writeFile(outDir / "dmtruck.bin", modelData());
        writeFile(outDir / "demo.lst", responseFile());
    } catch (const WriteError& e) {
        std::cerr << "make_demo: " << e.what() << '\n';
        return 1;
    }
    return 0;
}
