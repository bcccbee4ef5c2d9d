// SPDX-License-Identifier: GPL-3.0-or-later
#include "viewers/palette.h"

#include <algorithm>
#include <cmath>

namespace karvex {

ColorComponents PaletteColors(std::string_view bytes) {
    auto byte = [&](std::size_t at) {
        return at < bytes.size() ? static_cast<int>(static_cast<unsigned char>(bytes[at])) : 0;
    };
    ColorComponents colors;
    for (std::size_t n = 0; n < colors.size(); ++n)
        colors[n] = {byte(3 * n), byte(3 * n + 1), byte(3 * n + 2)};
    return colors;
}

std::string ColorListLine(const Rgb& color) {
    return " " + std::to_string(color.red) + "  " + std::to_string(color.green) + "  " +
           std::to_string(color.blue);
}

std::vector<std::string> ColorListLines(const ColorComponents& colors) {
    std::vector<std::string> lines;
    lines.reserve(colors.size());
    for (const Rgb& color : colors)
        lines.push_back(ColorListLine(color));
    return lines;
}

Rgb OutlineColor(const Rgb& color) {
    auto outline = [](int component) { return component >= 127 ? 0 : 255; };
    return {outline(color.red), outline(color.green), outline(color.blue)};
}

GridPoint CellCorner(int color) {
    const int n = std::clamp(color, 0, 255);
    return {16 * (n % 16), 16 * (n / 16)};
}

int GridUnit(double position) {
    if (!std::isfinite(position))
        return 0;
    const double clamped = std::clamp(position, -32768.0, 32767.0);
    // Nearest, ties to even: the rounding a whole-number conversion of a click position does.
    const double down = std::floor(clamped);
    const double rest = clamped - down;
    const bool up = rest > 0.5 || (rest == 0.5 && std::fmod(down, 2.0) != 0.0);
    return static_cast<int>(up ? down + 1 : down);
}

int ColorAt(int x, int y) {
    const int column = std::clamp(x, 0, 255) / 16 + 1;
    const int row = std::clamp(y, 0, 255) / 16 + 1;
    return row * 16 + column - 17;
}

}  // namespace karvex
