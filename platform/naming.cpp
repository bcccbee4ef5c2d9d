#include "naming.h"

#include <QWidget>

#include "twips.h"

namespace karvex::platform {

void Name(QWidget* control, const char* name, const QString& spoken) {
    control->setObjectName(name);
    control->setAccessibleDescription(name);
    if (!spoken.isEmpty())
        control->setAccessibleName(spoken);
}

void CentredDialog::showEvent(QShowEvent* event) {
    CentreOnScreen(this);
    QDialog::showEvent(event);
}

}  // namespace karvex::platform
