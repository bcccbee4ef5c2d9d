// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QFont>

namespace karvex::platform {

// The font every window is laid out for: Tahoma 8.25 where it is installed; else the free
// faces with Tahoma's metrics that Debian's fonts-wine ships, loaded from its folder; else
// the desktop's sans font at the same size.
QFont ProgramFont();

}  // namespace karvex::platform
