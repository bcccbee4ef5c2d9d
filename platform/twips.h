// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QRect>

class QWidget;

namespace karvex::platform {

// Window and control geometry is laid out in twips: 1440 per inch, 15 per pixel at 96 dots
// per inch. Qt's own scaling takes care of screens with other densities.
constexpr int kTwipsPerPixel = 15;

constexpr int Px(int twips) {
    return (twips + kTwipsPerPixel / 2) / kTwipsPerPixel;
}

inline QRect TwipsRect(int left, int top, int width, int height) {
    return {Px(left), Px(top), Px(width), Px(height)};
}

// Places `widget` at a rectangle given in twips, relative to its parent.
void Place(QWidget* widget, int left, int top, int width, int height);

// Centres a top-level window on its screen: left = whole part of (screen width - window
// width) / 2, top likewise with the heights.
void CentreOnScreen(QWidget* window);

}  // namespace karvex::platform
