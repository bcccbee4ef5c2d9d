// SPDX-License-Identifier: GPL-3.0-or-later
// The program icon: the logo's emblem on its own, in the sizes a desktop asks for. The logo
// frames are drawn in artwork_logo.cpp, the button pictures in artwork_buttons.cpp.

#include "mainwindow/artwork.h"
#include "mainwindow/artwork_common.h"

#include <QPainter>

namespace karvex {

QIcon ProgramIcon() {
    QIcon icon;
    for (int size : {16, 32, 48, 64, 256}) {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter p(&pixmap);
        p.setRenderHint(QPainter::Antialiasing);
        artwork::PaintEmblem(p, {size / 2.0, size / 2.0}, size * 0.47, artwork::kDay, 0);
        p.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

}  // namespace karvex
