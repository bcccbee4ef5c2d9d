// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/naming.h"

#include <QWidget>

#include "core/host.h"

namespace karvex::platform {

void Name(QWidget* control, const char* name, const QString& spoken) {
    control->setObjectName(name);
    control->setAccessibleDescription(name);
    if (!spoken.isEmpty())
        control->setAccessibleName(spoken);
}

QString WindowCaption() {
    return kCaption;
}

QString WindowCaption(const QString& part) {
    return WindowCaption() + "  -  " + part;
}

}  // namespace karvex::platform
