// make_demo OUTDIR: writes the source files of the Karvex32 demo archive plus a response file.
// Everything is generated from code, so the repository carries no binary assets, and the output
// is byte-identical on every run (fixed seeds, no clocks).

#include <algorithm>
#include <array>
#include <cerrno>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <initializer_list>
#include <iostream>
#include <numbers>
#include <stdexcept>
#include <string>
#include <string_view>
#include <system_error>
#include <utility>
#include <vector>

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

namespace {

struct WriteError : std::runtime_error {
    WriteError(const fs::path& path, const std::string& reason)
        : std::runtime_error("cannot write " + path.string() + ": " + reason) {}
};

void writeFile(const fs::path& path, const Bytes& data) {
    errno = 0;
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    // A failed stream ignores the write; close() flushes, so a full disk is caught as well.
    out.write(reinterpret_cast<const char*>(data.data()),
              static_cast<std::streamsize>(data.size()));
    out.close();
    if (!out) {
        throw WriteError(path, errno != 0 ? std::strerror(errno) : "write failed");
    }
}

// The game's text files use CR LF line ends, whatever platform we run on.
Bytes crlfText(std::initializer_list<std::string_view> lines) {
    Bytes out;
    for (std::string_view line : lines) {
        out.insert(out.end(), line.begin(), line.end());
        out.insert(out.end(), {'\r', '\n'});
    }
    return out;
}

// Truck definitions put each key alone on its line and its value on the next.
Bytes truckText(std::initializer_list<std::pair<std::string_view, std::string_view>> entries) {
    Bytes out;
    for (auto [key, value] : entries) {
        const Bytes lines = crlfText({key, value});
        out.insert(out.end(), lines.begin(), lines.end());
    }
    return out;
}

void putText(Bytes& out, std::string_view text) {
    out.insert(out.end(), text.begin(), text.end());
}

// Appends little-endian fields, each given as {value, byte count}.
void putFields(Bytes& out, std::initializer_list<std::pair<std::uint32_t, int>> fields) {
    for (auto [value, byteCount] : fields) {
        for (int i = 0; i < byteCount; ++i) {
            out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
        }
    }
}

// Classic 32-bit LCG: tiny and, with a fixed seed, the same sequence on every machine.
std::uint32_t nextRandom(std::uint32_t& state) {
    state = state * 1664525u + 1013904223u;
    return state >> 8;  // the low bits of an LCG are poor, so drop them
}

struct Rgb {
    double r = 0, g = 0, b = 0;
};

// Colours are written as 0xRRGGBB, the way paint programs show them.
Rgb hex(std::uint32_t rgb) {
    return {double(rgb >> 16), double(rgb >> 8 & 0xFF), double(rgb & 0xFF)};
}

Rgb mix(Rgb a, Rgb b, double t) {
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

std::uint8_t toByte(double v) {
    return static_cast<std::uint8_t>(std::clamp(std::lround(v), 0L, 255L));
}

using Palette = std::array<Rgb, 256>;

// Fills count entries from first with a piecewise-linear ramp through evenly spaced stops.
void fillRamp(Palette& pal, int first, int count, std::initializer_list<std::uint32_t> stops) {
    const int segments = static_cast<int>(stops.size()) - 1;
    for (int i = 0; i < count; ++i) {
        const double t = static_cast<double>(i) * segments / (count - 1);
        const int k = std::min(static_cast<int>(t), segments - 1);
        pal[first + i] = mix(hex(stops.begin()[k]), hex(stops.begin()[k + 1]), t - k);
    }
}

Bytes paletteBytes(const Palette& pal) {
    Bytes out;
    for (const Rgb& c : pal) {
        out.insert(out.end(), {toByte(c.r), toByte(c.g), toByte(c.b)});
    }
    return out;
}

// Index ranges of the sunset palette; the texture is painted directly in these indices.
constexpr int kSky = 1, kSun = 96, kSea = 128, kGlint = 176, kHill = 192;

Palette sunsetPalette() {
    Palette pal{};  // index 0 stays black
    fillRamp(pal, kSky, 95, {0x080A26, 0x281858, 0x702A78, 0xC44664, 0xF4803C, 0xFFCE68});
    fillRamp(pal, kSun, 32, {0xFFFCE2, 0xFFE282, 0xFF9632});
    fillRamp(pal, kSea, 48, {0x803A68, 0x361C56, 0x0E0E30, 0x040618});
    fillRamp(pal, kGlint, 16, {0x823A54, 0xEC7840, 0xFFE28C});
    fillRamp(pal, kHill, 64, {0x04020C, 0x1E0C28, 0x542254});
    return pal;
}

Bytes sunsetTexture() {
    constexpr int size = 256, horizon = 172;
    constexpr double sunX = 128, sunY = 150, sunR = 46;
    // Distant hills dip in the middle so the sun sets between them; nearer hills frame the edges.
    auto farTop = [](int x) {
        const double side = std::pow(std::abs(x - 127.5) / 128, 1.7);
        return horizon - (3 + 26 * side + 3 * std::sin(x * 0.11) + 2 * std::sin(x * 0.37 + 1));
    };
    auto nearTop = [](int x) {
        const double left = 46 * std::pow(std::max(0.0, 1 - x / 110.0), 1.3);
        const double right = 30 * std::pow(std::max(0.0, (x - 186) / 70.0), 1.2);
        const double height = std::max(left, right);
        return horizon - (height > 0 ? height + 2 * std::sin(x * 0.23) : -1.0);
    };

    Bytes pixels(size * size);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const double sunDist = std::hypot(x - sunX, y - sunY);
            int index;
            if (y < horizon) {
                // Sky brightens towards the horizon and glows around the sun.
                const double glow = std::max(0.0, 1 - sunDist / (sunR * 2.4));
                index = kSky + static_cast<int>(std::lround(
                                   std::min(1.0, y / (horizon - 1.0) + glow * 0.2) * 94));
                // Stripes cut through the lower half of the sun, widening as it sinks.
                const int k = y - static_cast<int>(sunY) + 4;
                if (sunDist < sunR && !(k >= 0 && k % 8 < 1 + k / 8)) {
                    index =
                        kSun + static_cast<int>(std::lround(std::pow(sunDist / sunR, 1.6) * 31));
                }
                if (y >= farTop(x)) {  // hazy purple ridge, lit at its rim
                    index = kHill + 44 - std::min(18, static_cast<int>((y - farTop(x)) * 1.5));
                }
                if (y >= nearTop(x)) {
                    index = kHill + 4 + std::max(0, 8 - static_cast<int>(y - nearTop(x)));
                }
            } else {
                const double depth = (y - horizon) / (size - 1.0 - horizon);
                index = kSea + static_cast<int>(std::lround(depth * 47));
                // A rippled mirror image of the hills darkens the water below them.
                const int rippleX = std::clamp(
                    x + static_cast<int>(std::lround(2 * std::sin(y * 0.9))), 0, size - 1);
                const int mirrorY = 2 * horizon - 1 - y;
                if (mirrorY >= nearTop(rippleX)) {
                    index = std::min(kSea + 47, index + 22);
                } else if (mirrorY >= farTop(rippleX)) {
                    index = std::min(kSea + 47, index + 10);
                }
                // Broken horizontal glints under the sun, narrowing and dimming with distance.
                const double across =
                    std::abs(x - sunX) / (42 * (1 - 0.45 * depth) + 5 * std::sin(y * 1.7));
                const bool dash = std::sin(x * 0.23 + y * 7.1) > -0.55 && (y - horizon) % 3 != 2;
                if (across < 1 && dash) {
                    const double bright = (1 - across * across) * (1 - 0.6 * depth);
                    index = kGlint + static_cast<int>(std::lround(bright * 15));
                }
            }
            pixels[y * size + x] = static_cast<std::uint8_t>(index);
        }
    }
    std::uint32_t seed = 0x53554E53u;  // a scattering of stars in the dark upper sky
    for (int i = 0; i < 60; ++i) {
        const auto x = static_cast<int>(nextRandom(seed) % size);
        const auto y = static_cast<int>(nextRandom(seed) % 70);
        pixels[y * size + x] = static_cast<std::uint8_t>(i % 4 == 0 ? kSun : kSun + 14);
    }
    return pixels;
}

using Shape = std::function<bool(double, double)>;
using Shader = std::function<Rgb(double, double)>;

// A small RGB canvas; shapes are sampled 4x4 per pixel so their edges come out smooth.
struct Canvas {
    int width, height;
    std::vector<Rgb> pixels;

    Canvas(int w, int h) : width(w), height(h), pixels(static_cast<std::size_t>(w * h)) {}

    void paint(const Shape& shape, const Shader& shader) {
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                int hits = 0;
                for (int s = 0; s < 16; ++s) {
                    hits += shape(x + (s % 4 + 0.5) / 4, y + (s / 4 + 0.5) / 4) ? 1 : 0;
                }
                Rgb& p = pixels[y * width + x];
                p = mix(p, shader(x + 0.5, y + 0.5), hits / 16.0);
            }
        }
    }
    void paint(const Shape& shape, Rgb colour) {
        paint(shape, [colour](double, double) { return colour; });
    }
};

Shape disc(double cx, double cy, double r) {
    return [=](double x, double y) { return std::hypot(x - cx, y - cy) <= r; };
}

Shape rect(double x0, double y0, double x1, double y1) {
    return [=](double x, double y) { return x >= x0 && x < x1 && y >= y0 && y < y1; };
}

// Even-odd point-in-polygon test.
Shape polygon(std::vector<std::array<double, 2>> points) {
    return [points = std::move(points)](double x, double y) {
        bool inside = false;
        for (std::size_t i = 0, j = points.size() - 1; i < points.size(); j = i++) {
            const auto& a = points[i];
            const auto& b = points[j];
            if ((a[1] > y) != (b[1] > y) && x < a[0] + (y - a[1]) * (b[0] - a[0]) / (b[1] - a[1])) {
                inside = !inside;
            }
        }
        return inside;
    };
}

Palette badgePalette() {
    Palette pal{};
    fillRamp(pal, 0, 32, {0x12161E, 0x8C5F19});             // ring's outer edge, shaded side
    fillRamp(pal, 32, 64, {0x3C2D0F, 0x8C5F19, 0xFFE682});  // ring and star shading
    fillRamp(pal, 96, 64, {0x0A3C23, 0x288246, 0x6ED282});  // the green field
    fillRamp(pal, 160, 32, {0x12161E, 0xE6C86E});           // ring's outer edge, lit side
    fillRamp(pal, 192, 32, {0x287841, 0xE6BE50});           // star edges over the green field
    fillRamp(pal, 224, 32, {0x3C2D0F, 0x0A3C23});           // groove between ring and field
    return pal;
}

// A gold-ringed green medallion with a star, drawn in RGB and then mapped to the nearest palette
// colour: the palette's ramps supply the in-between shades that the smooth edges need.
Bytes badgeTexture(const Palette& pal) {
    constexpr double c = 32;
    Canvas canvas(64, 64);
    canvas.paint(rect(0, 0, 64, 64), hex(0x12161E));
    canvas.paint(disc(c, c, 30.5), [](double x, double y) {
        const double light = (-(x - c) * 0.6 - (y - c) * 0.8) / 30;  // lit from the top left
        return mix(hex(0x8C5F19), hex(0xFFE682), 0.5 + 0.5 * light);
    });
    canvas.paint(disc(c, c, 26), hex(0x3C2D0F));
    canvas.paint(disc(c, c, 24.5), [](double x, double y) {
        return mix(hex(0x5AC873), hex(0x0A3C23), std::min(1.0, std::hypot(x - 25, y - 23) / 34));
    });
    std::vector<std::array<double, 2>> star;
    for (int i = 0; i < 10; ++i) {
        const double angle = -std::numbers::pi / 2 + i * std::numbers::pi / 5;
        const double r = i % 2 == 0 ? 17 : 7;
        star.push_back({c + r * std::cos(angle), c + 1 + r * std::sin(angle)});
    }
    canvas.paint(polygon(std::move(star)), [](double x, double y) {
        return mix(hex(0xFFE88C), hex(0xC8962D), std::clamp((x + y - 30) / 36, 0.0, 1.0));
    });

    Bytes pixels;
    for (const Rgb& p : canvas.pixels) {
        auto distance = [&p](const Rgb& c) {
            return std::pow(p.r - c.r, 2) + std::pow(p.g - c.g, 2) + std::pow(p.b - c.b, 2);
        };
        const auto best = std::min_element(pal.begin(), pal.end(), [&](const Rgb& a, const Rgb& b) {
            return distance(a) < distance(b);
        });
        pixels.push_back(static_cast<std::uint8_t>(best - pal.begin()));
    }
    return pixels;
}

// Brushed-metal greys with a touch of blue, eased at both ends so mid tones keep their contrast.
Palette metalPalette() {
    Palette pal{};
    fillRamp(pal, 0, 256, {0x06070C, 0x2A2D36, 0x6A707C, 0xB0B6C2, 0xE2E7F0, 0xFAFCFF});
    return pal;
}

// Two-tone air horn: two tones with falling harmonics, eased in and out so it does not click.
Bytes hornWave() {
    constexpr std::uint32_t rate = 22050, count = rate * 8 / 10;
    constexpr double attack = 0.025, release = 0.08;
    std::vector<double> samples(count);
    double peak = 0;
    for (std::uint32_t i = 0; i < count; ++i) {
        const double t = static_cast<double>(i) / rate;
        double v = 0;
        for (double freq : {311.0, 370.0}) {
            for (int h = 1; h <= 4; ++h) {
                v += std::sin(2 * std::numbers::pi * freq * h * t) / (h * h * 0.6 + 0.4);
            }
        }
        const double edge = std::min({1.0, t / attack, (count - 1.0 - i) / rate / release});
        samples[i] = v * edge * edge * (3 - 2 * edge);
        peak = std::max(peak, std::abs(samples[i]));
    }
    const std::uint32_t dataBytes = count * 2;
    Bytes out;
    putText(out, "RIFF");
    putFields(out, {{36 + dataBytes, 4}});
    putText(out, "WAVEfmt ");
    // Chunk size, PCM, mono, sample rate, bytes per second, bytes per frame, bits per sample.
    putFields(out, {{16, 4}, {1, 2}, {1, 2}, {rate, 4}, {rate * 2, 4}, {2, 2}, {16, 2}});
    putText(out, "data");
    putFields(out, {{dataBytes, 4}});
    for (double s : samples) {
        const auto value = static_cast<std::int16_t>(std::lround(s / peak * 0.7 * 32767));
        putFields(out, {{static_cast<std::uint16_t>(value), 2}});
    }
    return out;
}

// A logo: a truck on a road against an evening gradient, next to the letters "K32".
// 162 pixels wide so each 486-byte row really needs its padding to 488.
Bytes logoBitmap() {
    Canvas canvas(162, 80);
    canvas.paint(rect(0, 0, 162, 80),
                 [](double, double y) { return mix(hex(0x121C48), hex(0x2C7696), y / 80); });
    canvas.paint(rect(0, 64, 162, 80), hex(0x282A30));
    for (int x = 4; x < 162; x += 20) {
        canvas.paint(rect(x, 71, x + 10, 73), hex(0xE6C846));
    }
    const Rgb body = hex(0xEBECF0), accent = hex(0xF09628);
    canvas.paint(rect(8, 24, 54, 56), body);  // trailer with a stripe
    canvas.paint(rect(8, 46, 54, 49), accent);
    canvas.paint(polygon({{56, 56}, {56, 30}, {68, 30}, {78, 42}, {78, 56}}), body);  // cab
    canvas.paint(polygon({{60, 33}, {67, 33}, {74, 42}, {60, 42}}), hex(0x3C6E96));
    for (double wheelX : {18.0, 42.0, 68.0}) {
        canvas.paint(disc(wheelX, 58, 7), hex(0x18181E));
        canvas.paint(disc(wheelX, 58, 3), hex(0xAAAAB4));
    }
    canvas.paint(rect(88, 16, 95, 58), accent);  // "K": a bar and two slanted arms
    canvas.paint(polygon({{93, 35}, {106, 16}, {114, 16}, {97, 41}}), accent);
    canvas.paint(polygon({{96, 34}, {114, 58}, {106, 58}, {93, 40}}), accent);
    for (double y : {16.0, 34.0, 51.0}) {  // the three bars of "3" and of "2"
        canvas.paint(rect(118, y, 135, y + 7), body);
        canvas.paint(rect(140, y, 157, y + 7), body);
    }
    canvas.paint(rect(128, 16, 135, 58), body);  // spine of the "3"
    canvas.paint(rect(150, 16, 157, 41), body);  // the "2" drops on the right at the top...
    canvas.paint(rect(140, 34, 147, 58), body);  // ...and on the left at the bottom

    const auto width = static_cast<std::uint32_t>(canvas.width);
    const auto height = static_cast<std::uint32_t>(canvas.height);
    const std::uint32_t rowBytes = (width * 3 + 3) / 4 * 4;
    const std::uint32_t imageBytes = rowBytes * height;
    Bytes out;
    // File header: magic, file size, two reserved words, offset of the pixel data.
    putText(out, "BM");
    putFields(out, {{14 + 40 + imageBytes, 4}, {0, 4}, {14 + 40, 4}});
    // Info header: its size, width, height (positive: rows run bottom-up), one plane, 24 bits,
    // uncompressed, image size, 72 dpi as pixels per metre, no colour table.
    putFields(out, {{40, 4}, {width, 4}, {height, 4}, {1, 2}, {24, 2}, {0, 4}});
    putFields(out, {{imageBytes, 4}, {2835, 4}, {2835, 4}, {0, 4}, {0, 4}});
    for (int y = canvas.height - 1; y >= 0; --y) {
        for (int x = 0; x < canvas.width; ++x) {
            const Rgb p = canvas.pixels[y * canvas.width + x];
            out.insert(out.end(), {toByte(p.b), toByte(p.g), toByte(p.r)});
        }
        out.resize(out.size() + (rowBytes - width * 3), 0);
    }
    return out;
}

// Binary model stand-in: structured-looking filler with the names of other files embedded the
// way model data refers to them. The filler uses only control bytes and bytes of 128 and up,
// so it holds no printable text, and therefore no accidental file name.
Bytes modelData() {
    std::uint32_t seed = 0x4B583332u;
    Bytes out(4096);
    for (auto& b : out) {
        const std::uint32_t r = nextRandom(seed);
        b = static_cast<std::uint8_t>((r & 7) == 0 ? 0x80 | ((r >> 3) & 0x7F) : (r >> 3) & 0x1F);
    }
    const std::array<std::string_view, 7> names{"sunset.raw", "badge.raw",     "metalcr2.act",
                                                "horn.wav",   "dmtire08l.bin", "logo.bmp",
                                                "dmtruck.tex"};
    for (std::size_t i = 0; i < names.size(); ++i) {
        const std::size_t pos = 120 + i * 560 + nextRandom(seed) % 64;
        out[pos] = static_cast<std::uint8_t>(names[i].size());  // length prefix, below 32
        std::copy(names[i].begin(), names[i].end(),
                  out.begin() + static_cast<std::ptrdiff_t>(pos + 1));
        out[pos + 1 + names[i].size()] = 0;
    }
    return out;
}

}  // namespace

int main(int argc, char** argv) {
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
        writeFile(outDir / "readme.txt",
                  crlfText({"Karvex32 demo archive", "=====================", "",
                            "This small archive was generated by make_demo to show what",
                            "Karvex32 can list, preview and extract:", "",
                            "  readme.txt        this text",
                            "  sunset.raw/.act   256x256 texture with its own palette",
                            "  badge.raw/.act    64x64 texture with its own palette",
                            "  metalcr2.act      default palette for textures without one",
                            "  sounds\\horn.wav   a two-tone truck horn (PCM wave)",
                            "  logo.bmp          a 24-bit Windows bitmap",
                            "  demotruck.trk     a truck definition naming its models",
                            "  dmtruck.bin       a model whose data mentions other files"}));
        const Palette badge = badgePalette();
        writeFile(outDir / "sunset.raw", sunsetTexture());
        writeFile(outDir / "sunset.act", paletteBytes(sunsetPalette()));
        writeFile(outDir / "badge.raw", badgeTexture(badge));
        writeFile(outDir / "badge.act", paletteBytes(badge));
        writeFile(outDir / "metalcr2.act", paletteBytes(metalPalette()));
        writeFile(outDir / "sounds" / "horn.wav", hornWave());
        writeFile(outDir / "logo.bmp", logoBitmap());
        writeFile(outDir / "demotruck.trk", truckText({{"truckName", "Demo Hauler"},
                                                       {"truckDescription", "Karvex32 demo truck"},
                                                       {"truckModelBaseName", "dmtruck"},
                                                       {"tireModelBaseName", "dmtire"},
                                                       {"axleModelName", "dmaxle"},
                                                       {"bodyTexture", "badge.raw"},
                                                       {"paletteName", "metalcr2.act"},
                                                       {"engineSound", "horn.wav"},
                                                       {"maxSpeed", "90"},
                                                       {"gearCount", "6"},
                                                       {"massKg", "14500"}}));
        writeFile(outDir / "dmtruck.bin", modelData());
        writeFile(outDir / "demo.lst",
                  crlfText({"readme.txt", "sunset.raw", "sunset.act", "badge.raw", "badge.act",
                            "metalcr2.act", "sounds\\horn.wav", "logo.bmp", "demotruck.trk",
                            "dmtruck.bin"}));
    } catch (const WriteError& e) {
        std::cerr << "make_demo: " << e.what() << '\n';
        return 1;
    }
    return 0;
}
