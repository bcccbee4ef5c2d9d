// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QIcon>
#include <QPixmap>

#include <array>

namespace karvex {

// The program's own artwork, drawn with QPainter: nothing is loaded from files.

// The 14 logo images of the main window (100 x 58 pixels): 0 to 10 are the frames of the
// animation, 11, 12 and 13 the three stills. Painted anew for each caller, which keeps them:
// no pixmap outlives the application.
constexpr int kLogoImages = 14;
std::array<QPixmap, kLogoImages> LogoImages();

// The pictures of the main window's buttons.
enum class ButtonPicture { Open, Make, Extract, About, Exit, Select };
QIcon ButtonIcon(ButtonPicture picture);

// The program icon, in several sizes.
QIcon ProgramIcon();

}  // namespace karvex
