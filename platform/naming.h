// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

class QWidget;

namespace karvex::platform {

// Every control is found by its name: objectName and accessible description carry the
// control's name (List1, Command3D1), the accessible name what a screen reader should say.
void Name(QWidget* control, const char* name, const QString& spoken = {});

// A window's caption: "Karvex32" alone, or "Karvex32  -  PART".
QString WindowCaption();
QString WindowCaption(const QString& part);

template <typename W>
W* Named(W* control, const char* name, const QString& spoken = {}) {
    Name(control, name, spoken);
    return control;
}

}  // namespace karvex::platform
