// SPDX-License-Identifier: GPL-3.0-or-later
#include "demo/demo_paint.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <utility>

namespace demo {

Rgb hex(std::uint32_t rgb) {
    return {double(rgb >> 16), double(rgb >> 8 & 0xFF), double(rgb & 0xFF)};
}

Rgb mix(Rgb a, Rgb b, double t) {
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

std::uint8_t toByte(double v) {
    return static_cast<std::uint8_t>(std::clamp(std::lround(v), 0L, 255L));
}

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

void Canvas::paint(const Shape& shape, const Shader& shader) {
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

void Canvas::paint(const Shape& shape, Rgb colour) {
    paint(shape, [colour](double, double) { return colour; });
}

Shape disc(double cx, double cy, double r) {
    return [=](double x, double y) { return std::hypot(x - cx, y - cy) <= r; };
}

Shape rect(double x0, double y0, double x1, double y1) {
    return [=](double x, double y) { return x >= x0 && x < x1 && y >= y0 && y < y1; };
}

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

}  // namespace demo
