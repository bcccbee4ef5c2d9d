#include "centred_dialog.h"

#include "twips.h"

namespace karvex::platform {

void CentredDialog::showEvent(QShowEvent* event) {
    CentreOnScreen(this);
    QDialog::showEvent(event);
}

}  // namespace karvex::platform
