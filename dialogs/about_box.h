// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/centred_dialog.h"

class QLabel;
class QPushButton;

namespace karvex {

// Form10, the About box: the program's icon, its name and version, and credit lines.
class Form10 : public platform::CentredDialog {
    Q_OBJECT
  public:
    // Shows the program's icon, the application's window icon.
    explicit Form10(QWidget* parent = nullptr);

    void Command1_Click();  // OK

  private:
    QLabel* Label2;         // "Karvex32 version " and the version
    QLabel* Picture1;       // the main window's icon
    QPushButton* Command1;  // OK
};

}  // namespace karvex
