// SPDX-License-Identifier: GPL-3.0-or-later
// karvex32-textures-bench [FOLDER]: times `karvex32-cli textures` on an archive of 2,000
// textures of 64 KiB (half smooth gradients, half random noise, one default palette)
// against the PNG writer alone writing the same 2,000 pictures, in the same run: a warm-up,
// then five rounds alternating which side goes first. Prints the medians and their ratio.
//
// karvex32-textures-bench --entries [FOLDER]: how `textures` grows with the entry count:
// archives of 4,000, 8,000 and 16,000 entries (64x64 textures of their own bytes, none with
// a palette of its own name, metalcr2.act last) and of 32,767 entries whose textures all
// share one texture's bytes, in /dev/shm unless FOLDER is given. A warm-up, then three
// rounds of each; prints the medians and the ratio of 16,000 to 4,000.
//
// karvex32-textures-bench --import [FOLDER]: the texture import's CPU time alone
// (import_bench.h), as karvex32-viewers-bench also measures it.
#include <sys/wait.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "bench/import_bench.h"
#include "viewers/png_writer.h"
#include "viewers/texture.h"

namespace fs = std::filesystem;
using namespace karvex;

namespace {

constexpr int kTextures = 2000;
constexpr int kSide = 256;
constexpr int kRounds = 5;
constexpr int kEntriesRounds = 3;

void PutInt32(std::string& bytes, std::size_t at, std::uint32_t value) {
    for (int i = 0; i < 4; ++i)
        bytes[at + i] = static_cast<char>((value >> (8 * i)) & 0xFF);
}

// Texture n of `side` x `side`: a diagonal gradient for even n, noise for odd n.
std::string TextureBytes(int n, std::mt19937& random, int side = kSide) {
    std::string bytes(side * side, '\0');
    for (int y = 0; y < side; ++y) {
        for (int x = 0; x < side; ++x) {
            bytes[y * side + x] = static_cast<char>(n % 2 == 0 ? (x + y + n) / 2 : random());
        }
    }
    return bytes;
}

std::string Palette() {
    std::string bytes;
    for (int n = 0; n < 256; ++n)
        bytes += {static_cast<char>(n), static_cast<char>(255 - n), static_cast<char>(n * 7)};
    return bytes;
}

// The archive: `count` textures of `side` x `side` named by `format` (TEX0000.RAW ...) in
// order, then metalcr2.act. With `shared`, every texture's entry points at the first one's
// bytes, which the archive holds once.
std::string ArchiveBytes(std::vector<std::string>& textures, int count = kTextures,
                         int side = kSide, const char* format = "TEX%04d.RAW",
                         bool shared = false) {
    std::mt19937 random(7);
    const int entries = count + 1;
    std::string bytes(84 + 40 * entries, '\0');
    PutInt32(bytes, 0, entries);
    const std::uint32_t first = bytes.size();
    std::uint32_t offset = first;
    for (int n = 0; n < entries; ++n) {
        char name[32] = {};
        std::snprintf(name, sizeof name, n < count ? format : "metalcr2.act", n);
        const bool stored = n == count || !shared || n == 0;
        const std::string data = n == count ? Palette()
                                 : stored   ? TextureBytes(n, random, side)
                                            : std::string();
        if (n < count && stored)
            textures.push_back(data);
        bytes.replace(84 + 40 * n, 32, name, 32);
        PutInt32(bytes, 84 + 40 * n + 32, n < count ? side * side : data.size());
        PutInt32(bytes, 84 + 40 * n + 36, stored ? offset : first);
        offset += data.size();
    }
    for (const std::string& data : textures)
        bytes += data;
    return bytes + Palette();
}

double Seconds(std::chrono::steady_clock::duration d) {
    return std::chrono::duration<double>(d).count();
}

// The PNG writer alone: each picture decoded (not timed), then written to a new file of
// its own (timed), with no folder walk and no replacing.
double WriterAlone(const std::vector<std::string>& textures, const fs::path& out) {
    fs::remove_all(out);
    fs::create_directories(out);
    ColorTable colors;
    PaletteLoad(colors, Palette());
    std::chrono::steady_clock::duration spent{};
    for (std::size_t n = 0; n < textures.size(); ++n) {
        const auto pixels = DecodeTexture(textures[n], kSide, colors);
        IoStatus written;
        const auto start = std::chrono::steady_clock::now();
        const fs::path path = out / ("TEX" + std::to_string(n) + ".png");
        std::FILE* file = std::fopen(path.c_str(), "wb");
        if (file)
            written = WritePng(file, kSide, kSide, pixels);
        if (!file || !written.IsDone())
            std::fprintf(stderr, "bench: cannot write %s %s\n", path.c_str(),
                         written.Reason().c_str());
        if (file)
            std::fclose(file);
        spent += std::chrono::steady_clock::now() - start;
    }
    return Seconds(spent);
}

double Command(const fs::path& archive, const fs::path& out) {
    fs::remove_all(out);
    fs::create_directories(out);
    const std::string command = std::string("'") + KARVEX_CLI + "' textures '" + archive.string() +
                                "' '" + out.string() + "'";
    const auto start = std::chrono::steady_clock::now();
    const int status = std::system(command.c_str());
    const auto spent = std::chrono::steady_clock::now() - start;
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        std::fprintf(stderr, "bench: %s failed\n", command.c_str());
    return Seconds(spent);
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// --entries: the command's time against the entry count, where a per-texture cost that
// grows with the table shows as a ratio well above 4 from 4,000 to 16,000 entries.
int EntriesScaling(const fs::path& work) {
    struct Size {
        int entries;
        bool shared;
    };
    const Size sizes[] = {{4000, false}, {8000, false}, {16000, false}, {32767, true}};
    std::vector<double> medians;
    for (const Size& size : sizes) {
        std::vector<std::string> textures;
        const fs::path archive = work / ("entries" + std::to_string(size.entries) + ".pod");
        std::ofstream(archive, std::ios::binary)
            << ArchiveBytes(textures, size.entries - 1, 64, "TEX%05d.RAW", size.shared);
        if (medians.empty())
            Command(archive, work / "cli");  // the warm-up
        std::vector<double> times;
        for (int round = 0; round < kEntriesRounds; ++round) {
            times.push_back(Command(archive, work / "cli"));
            std::fprintf(stderr, "%d entries, round %d: %.2f s\n", size.entries, round + 1,
                         times.back());
        }
        medians.push_back(Median(times));
        fs::remove(archive);
    }
    std::printf("| karvex32-cli textures, 64x64 textures (median of %d) | time |\n|---|---|\n",
                kEntriesRounds);
    for (std::size_t n = 0; n < medians.size(); ++n) {
        std::printf("| %d entries%s | %.2f s |\n", sizes[n].entries,
                    sizes[n].shared ? ", all textures sharing one texture's bytes" : "",
                    medians[n]);
    }
    std::printf("| ratio 16,000 / 4,000 entries | %.2f |\n", medians[2] / medians[0]);
    fs::remove_all(work);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    const bool entries = argc > 1 && std::string(argv[1]) == "--entries";
    const bool import = argc > 1 && std::string(argv[1]) == "--import";
    const int folderArg = entries || import ? 2 : 1;
    // The entry counts are timed in memory where it can be: on ext4, creating thousands of
    // files just after deleting as many costs more kernel time than the command spends of
    // its own, and that would hide how the command grows.
    const fs::path base =
        entries && fs::is_directory("/dev/shm") ? fs::path("/dev/shm") : fs::temp_directory_path();
    const fs::path work =
        argc > folderArg ? fs::path(argv[folderArg]) : base / "karvex-textures-bench";
    fs::create_directories(work);
    if (entries)
        return EntriesScaling(work);
    if (import)
        return ImportTiming(work) ? 0 : 1;
    std::vector<std::string> textures;
    const fs::path archive = work / "textures.pod";
    std::ofstream(archive, std::ios::binary) << ArchiveBytes(textures);

    WriterAlone(textures, work / "writer");
    Command(archive, work / "cli");
    std::vector<double> writer, cli, ratios;
    for (int round = 0; round < kRounds; ++round) {
        double w = 0, c = 0;
        if (round % 2 == 0) {
            w = WriterAlone(textures, work / "writer");
            c = Command(archive, work / "cli");
        } else {
            c = Command(archive, work / "cli");
            w = WriterAlone(textures, work / "writer");
        }
        writer.push_back(w);
        cli.push_back(c);
        ratios.push_back(c / w);
        std::fprintf(stderr, "round %d: writer %.2f s, textures %.2f s, ratio %.3f\n", round + 1, w,
                     c, c / w);
    }
    std::printf("| what | time |\n|---|---|\n");
    std::printf("| PNG writer alone, %d pictures of %dx%d (median of %d) | %.2f s |\n", kTextures,
                kSide, kSide, kRounds, Median(writer));
    std::printf("| karvex32-cli textures, same pictures (median of %d) | %.2f s |\n", kRounds,
                Median(cli));
    std::printf("| ratio textures / writer (median; spread %.3f to %.3f) | %.3f |\n",
                *std::min_element(ratios.begin(), ratios.end()),
                *std::max_element(ratios.begin(), ratios.end()), Median(ratios));
    fs::remove_all(work);
    return 0;
}
