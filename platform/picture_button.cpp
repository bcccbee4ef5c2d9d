// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/picture_button.h"

#include "platform/naming.h"

namespace karvex::platform {

QToolButton* PictureButton(QWidget* parent, const QIcon& picture, const char* name,
                           const QString& action, const QString& toolTip) {
    auto* button = new QToolButton(parent);
    Name(button, name, action);
    button->setIcon(picture);
    button->setIconSize(QSize(40, 40));
    button->setToolTip(toolTip);
    return button;
}

}  // namespace karvex::platform
