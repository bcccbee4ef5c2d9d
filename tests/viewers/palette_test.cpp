// SPDX-License-Identifier: GPL-3.0-or-later
// The palette viewer's logic: the outline colour and the grid (the lines: see the CLI tests).
#include <gtest/gtest.h>

#include "viewers/palette.h"

namespace karvex::test {
namespace {

TEST(Palette, OutlinesLightComponentsInZeroAndDarkOnesIn255) {
    const std::pair<Rgb, Rgb> rows[] = {
        {{200, 50, 127}, {0, 255, 0}},
        {{255, 255, 255}, {0, 0, 0}},
        {{0, 0, 0}, {255, 255, 255}},
        {{126, 127, 128}, {255, 0, 0}},
    };
    for (const auto& [color, outline] : rows)
        EXPECT_EQ(OutlineColor(color), outline) << ColorListLine(color);
}

TEST(Palette, CellsAndClicksOnTheGrid) {
    EXPECT_EQ(CellCorner(0), (GridPoint{0, 0}));
    EXPECT_EQ(CellCorner(15), (GridPoint{240, 0}));
    EXPECT_EQ(CellCorner(16), (GridPoint{0, 16}));
    EXPECT_EQ(CellCorner(255), (GridPoint{240, 240}));

    EXPECT_EQ(ColorAt(20, 5), 1);
    EXPECT_EQ(ColorAt(250, 250), 255);
    EXPECT_EQ(ColorAt(15, 15), 0) << "the gap right of and below a swatch is its own";
    EXPECT_EQ(ColorAt(16, 0), 1);
    EXPECT_EQ(ColorAt(-3, 400), 240) << "kept within the grid";

    const std::pair<double, int> rounding[] = {{2.5, 2},   {3.5, 4},  {15.49, 15},
                                               {15.5, 16}, {-0.5, 0}, {-1.5, -2}};
    for (const auto& [position, unit] : rounding)
        EXPECT_EQ(GridUnit(position), unit) << position;
}

}  // namespace
}  // namespace karvex::test
