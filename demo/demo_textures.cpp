// SPDX-License-Identifier: GPL-3.0-or-later
// The two textures of the demo archive with their palettes, and the default metal palette.

#include <algorithm>
#include <cmath>
#include <numbers>
#include <utility>
#include <vector>

#include "demo/demo_makers.h"

namespace demo {

namespace {

// Index ranges of the sunset palette; the texture is painted directly in these indices.
constexpr int kSky = 1, kSun = 96, kSea = 128, kGlint = 176, kHill = 192;

// The sunset texture's size, the row of its horizon, and the sun's centre and radius.
constexpr int kSize = 256, kHorizon = 172;
constexpr double kSunX = 128, kSunY = 150, kSunR = 46;

// Distant hills dip in the middle so the sun sets between them; nearer hills frame the edges.
double farTop(int x) {
    const double side = std::pow(std::abs(x - 127.5) / 128, 1.7);
    return kHorizon - (3 + 26 * side + 3 * std::sin(x * 0.11) + 2 * std::sin(x * 0.37 + 1));
}

double nearTop(int x) {
    const double left = 46 * std::pow(std::max(0.0, 1 - x / 110.0), 1.3);
    const double right = 30 * std::pow(std::max(0.0, (x - 186) / 70.0), 1.2);
    const double height = std::max(left, right);
    return kHorizon - (height > 0 ? height + 2 * std::sin(x * 0.23) : -1.0);
}

// A pixel above the horizon: sky, sun or hills.
int skyIndex(int x, int y, double sunDist) {
    // Sky brightens towards the horizon and glows around the sun.
    const double glow = std::max(0.0, 1 - sunDist / (kSunR * 2.4));
    int index =
        kSky + static_cast<int>(std::lround(std::min(1.0, y / (kHorizon - 1.0) + glow * 0.2) * 94));
    // Stripes cut through the lower half of the sun, widening as it sinks.
    const int k = y - static_cast<int>(kSunY) + 4;
    if (sunDist < kSunR && !(k >= 0 && k % 8 < 1 + k / 8)) {
        index = kSun + static_cast<int>(std::lround(std::pow(sunDist / kSunR, 1.6) * 31));
    }
    if (y >= farTop(x)) {  // hazy purple ridge, lit at its rim
        index = kHill + 44 - std::min(18, static_cast<int>((y - farTop(x)) * 1.5));
    }
    if (y >= nearTop(x)) {
        index = kHill + 4 + std::max(0, 8 - static_cast<int>(y - nearTop(x)));
    }
    return index;
}

// A pixel on or below the horizon: the sea, the hills mirrored in it and the sun's glints.
int seaIndex(int x, int y) {
    const double depth = (y - kHorizon) / (kSize - 1.0 - kHorizon);
    int index = kSea + static_cast<int>(std::lround(depth * 47));
    // A rippled mirror image of the hills darkens the water below them.
    const int rippleX =
        std::clamp(x + static_cast<int>(std::lround(2 * std::sin(y * 0.9))), 0, kSize - 1);
    const int mirrorY = 2 * kHorizon - 1 - y;
    if (mirrorY >= nearTop(rippleX)) {
        index = std::min(kSea + 47, index + 22);
    } else if (mirrorY >= farTop(rippleX)) {
        index = std::min(kSea + 47, index + 10);
    }
    // Broken horizontal glints under the sun, narrowing and dimming with distance.
    const double across = std::abs(x - kSunX) / (42 * (1 - 0.45 * depth) + 5 * std::sin(y * 1.7));
    const bool dash = std::sin(x * 0.23 + y * 7.1) > -0.55 && (y - kHorizon) % 3 != 2;
    if (across < 1 && dash) {
        const double bright = (1 - across * across) * (1 - 0.6 * depth);
        index = kGlint + static_cast<int>(std::lround(bright * 15));
    }
    return index;
}

}  // namespace

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
    Bytes pixels(kSize * kSize);
    for (int y = 0; y < kSize; ++y) {
        for (int x = 0; x < kSize; ++x) {
            const double sunDist = std::hypot(x - kSunX, y - kSunY);
            const int index = y < kHorizon ? skyIndex(x, y, sunDist) : seaIndex(x, y);
            pixels[y * kSize + x] = static_cast<std::uint8_t>(index);
        }
    }
    std::uint32_t seed = 0x53554E53u;  // a scattering of stars in the dark upper sky
    for (int i = 0; i < 60; ++i) {
        const auto x = static_cast<int>(nextRandom(seed) % kSize);
        const auto y = static_cast<int>(nextRandom(seed) % 70);
        pixels[y * kSize + x] = static_cast<std::uint8_t>(i % 4 == 0 ? kSun : kSun + 14);
    }
    return pixels;
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

}  // namespace demo
