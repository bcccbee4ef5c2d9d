// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/naming.h"

#include <QWidget>

namespace karvex::platform {

void Name(QWidget* control, const char* name, const QString& spoken) {
    control->setObjectName(name);
    control->setAccessibleDescription(name);
    if (!spoken.isEmpty())
        control->setAccessibleName(spoken);
}

}  // namespace karvex::platform
