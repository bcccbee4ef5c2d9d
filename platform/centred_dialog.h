// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>

namespace karvex::platform {

// A dialog that centres itself on the screen each time it is shown.
class CentredDialog : public QDialog {
  public:
    using QDialog::QDialog;

  protected:
    void showEvent(QShowEvent* event) override;
};

}  // namespace karvex::platform
