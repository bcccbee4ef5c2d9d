// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QIcon>
#include <QToolButton>

namespace karvex::platform {

// A button that shows a picture, with a tool tip saying what it does. Its objectName and
// accessible description are `name`; a screen reader says `action`.
QToolButton* PictureButton(QWidget* parent, const QIcon& picture, const char* name,
                           const QString& action, const QString& toolTip);

}  // namespace karvex::platform
