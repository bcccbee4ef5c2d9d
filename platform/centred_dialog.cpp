// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/centred_dialog.h"

#include "platform/twips.h"

namespace karvex::platform {

void CentredDialog::showEvent(QShowEvent* event) {
    CentreOnScreen(this);
    QDialog::showEvent(event);
}

}  // namespace karvex::platform
