// SPDX-License-Identifier: GPL-3.0-or-later
#include "bench/import_bench.h"

#include <time.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "viewers/png_writer.h"
#include "viewers/texture.h"
#include "viewers/texture_import.h"

namespace fs = std::filesystem;
using namespace karvex;

namespace {

double CpuSeconds() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

}  // namespace

// The picture's colours are all different (red and green count the pixel), so
// each one is searched for in the palette.
bool ImportTiming(const fs::path& work) {
    constexpr double kGoalMs = 30;
    constexpr int kImportRounds = 9;
    constexpr int kSide = 256;
    std::vector<std::uint32_t> pixels(kSide * kSide);
    for (std::uint32_t n = 0; n < pixels.size(); ++n)
        pixels[n] = ColorValue(n & 0xFF, n >> 8, (n * 37) & 0xFF);
    const fs::path png = work / "colours.png";
    if (!WritePngFile(png, {}, 256, 256, pixels).IsDone()) {
        std::fprintf(stderr, "bench: cannot write %s\n", png.c_str());
        return false;
    }
    std::mt19937 random(3);
    std::string palette(kPaletteBytes, '\0');
    for (char& byte : palette)
        byte = static_cast<char>(random());
    std::printf(
        "| importing a %dx%d RGB PNG of %zu colours (CPU, median of %d) | time | goal |"
        "\n|---|---|---|\n",
        256, 256, pixels.size(), kImportRounds);
    bool met = true;
    for (const bool dither : {false, true}) {
        std::vector<double> times;
        for (int round = 0; round <= kImportRounds; ++round) {
            const double start = CpuSeconds();
            std::ifstream in(png, std::ios::binary);
            const std::string file((std::istreambuf_iterator<char>(in)),
                                   std::istreambuf_iterator<char>());
            std::string texture;
            const Result imported = ImportTexture(file, palette, {dither}, texture);
            const double spent = CpuSeconds() - start;
            if (!imported.IsDone() || texture.size() != pixels.size()) {
                std::fprintf(stderr, "bench: import failed: %s\n", imported.message.c_str());
                return false;
            }
            if (round > 0)  // the first is the warm-up
                times.push_back(spent * 1000);
        }
        std::sort(times.begin(), times.end());
        const double ms = times[times.size() / 2];
        met &= ms <= kGoalMs;
        std::printf("| %s | %.1f ms | \u2264 %.0f ms CPU: %s |\n",
                    dither ? "with dithering" : "nearest colour", ms, kGoalMs,
                    ms <= kGoalMs ? "met" : "not met");
    }
    fs::remove_all(work / "colours.png");
    return met;
}
