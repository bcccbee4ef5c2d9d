// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/program_font.h"

#include <QFile>
#include <QFontDatabase>

namespace karvex::platform {

QFont ProgramFont() {
    if (!QFontDatabase::families().contains("Tahoma")) {
        for (const char* file :
             {"/usr/share/wine/fonts/tahoma.ttf", "/usr/share/wine/fonts/tahomabd.ttf"}) {
            if (QFile::exists(file))
                QFontDatabase::addApplicationFont(file);
        }
    }
    QFont font = QFontDatabase::families().contains("Tahoma")
                     ? QFont("Tahoma")
                     : QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    font.setPointSizeF(8.25);
    return font;
}

}  // namespace karvex::platform
