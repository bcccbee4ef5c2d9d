// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The palette viewer's plain logic: a palette's colours as components, the lines of its
// "Color Values" list, the colour that outlines a selected swatch, and where each colour's
// cell lies in the 16 x 16 grid of user units 0 to 255.

#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace karvex {

struct Rgb {
    int red = 0, green = 0, blue = 0;
    bool operator==(const Rgb&) const = default;
};

// Entry k - 1 holds palette colour k - 1 (the window's ColorComponents[k]).
using ColorComponents = std::array<Rgb, 256>;

// Colour n from bytes 3n, 3n + 1, 3n + 2 of a palette; bytes missing from a short `bytes`
// count as zero.
ColorComponents PaletteColors(std::string_view bytes);

// One list line per colour: each component in decimal after one blank (the place of a
// sign), the three joined by one further blank. (255, 0, 16) -> " 255  0  16".
std::string ColorListLine(const Rgb& color);
std::vector<std::string> ColorListLines(const ColorComponents& colors);

// The outline of a selected swatch, per component: 0 where the component is 127 or more
// (light), else 255. (200, 50, 127) -> (0, 255, 0).
Rgb OutlineColor(const Rgb& color);

// The top-left corner, in grid units, of colour n's cell: (16 * (n mod 16), 16 * (n div 16)).
// The swatch covers the corner to the corner + 14 in both directions.
struct GridPoint {
    int x = 0, y = 0;
    bool operator==(const GridPoint&) const = default;
};
GridPoint CellCorner(int color);

// A grid position converted to whole units as a click records it: to the nearest whole
// number, halves to the even neighbour (2.5 -> 2, 3.5 -> 4).
int GridUnit(double position);
// The colour whose cell holds the whole-unit point (x, y); the one-unit gap right of and
// below a swatch belongs to it. Positions are kept within the grid, so this is 0 to 255.
int ColorAt(int x, int y);

}  // namespace karvex
