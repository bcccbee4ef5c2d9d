// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Colours, palettes and a small anti-aliased RGB canvas for the demo's pictures.

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <vector>

#include "demo/demo_bytes.h"

namespace demo {

struct Rgb {
    double r = 0, g = 0, b = 0;
};

// Colours are written as 0xRRGGBB, the way paint programs show them.
Rgb hex(std::uint32_t rgb);
Rgb mix(Rgb a, Rgb b, double t);
std::uint8_t toByte(double v);

using Palette = std::array<Rgb, 256>;

// Fills count entries from first with a piecewise-linear ramp through evenly spaced stops.
void fillRamp(Palette& pal, int first, int count, std::initializer_list<std::uint32_t> stops);
// The palette as a palette file holds it: 256 entries of red, green and blue bytes.
Bytes paletteBytes(const Palette& pal);

using Shape = std::function<bool(double, double)>;
using Shader = std::function<Rgb(double, double)>;

// A small RGB canvas; shapes are sampled 4x4 per pixel so their edges come out smooth.
struct Canvas {
    int width, height;
    std::vector<Rgb> pixels;

    Canvas(int w, int h) : width(w), height(h), pixels(static_cast<std::size_t>(w * h)) {}

    void paint(const Shape& shape, const Shader& shader);
    void paint(const Shape& shape, Rgb colour);
};

Shape disc(double cx, double cy, double r);
Shape rect(double x0, double y0, double x1, double y1);
// Even-odd point-in-polygon test.
Shape polygon(std::vector<std::array<double, 2>> points);

}  // namespace demo
