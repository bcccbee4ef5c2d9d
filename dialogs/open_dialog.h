// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>

#include "platform/centred_dialog.h"

#include "core/archive_state.h"

class QComboBox;
class QPushButton;

namespace karvex {

namespace platform {
class DriveList;
class FileList;
class FolderList;
}  // namespace platform

// Form2, the Open dialog: pick a POD archive or a response file from a drive, folder and
// file list. It ends one of three ways, which exec() returns:
// - Accepted (Open): PodFolder, PodFileName and PodPattern hold the folder, file and
//   pattern shown;
// - Cancelled (the Cancel button): all three emptied, so the open file is closed;
// - Rejected (Escape or the close box): nothing written, and nothing changes.
class Form2 : public platform::CentredDialog {
    Q_OBJECT
  public:
    enum Outcome { Cancelled = QDialog::Accepted + 1 };

    explicit Form2(ArchiveState& state, QWidget* parent = nullptr);

    void Drive1_Change();     // another volume: the folder list goes to its root
    void Dir1_Change();       // another folder: the file list follows it
    void Combo1_Click();      // another file kind: the file list's pattern follows it
    void File1_DblClick();    // the same as Open
    void Command3D1_Click();  // Open
    void Command3D2_Click();  // Cancel: empties the three results

  private:
    ArchiveState& m_state;

    platform::DriveList* Drive1;  // the mounted volumes
    platform::FolderList* Dir1;   // the folder tree of the chosen volume
    platform::FileList* File1;    // the files in Dir1's folder that match Combo1's pattern
    QComboBox* Combo1;            // the file kind: archives (*.pod) or response files (*.lst)
    QPushButton* Command3D2;      // Cancel
    QPushButton* Command3D1;      // Open, the default button
};

}  // namespace karvex
