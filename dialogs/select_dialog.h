// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/centred_dialog.h"

#include "core/archive_state.h"

class QLabel;
class QPushButton;

namespace karvex {

namespace platform {
class FileList;
class FolderList;
}  // namespace platform

// Form6, the Select dialog: pick one or more files of a folder. After Select it writes
// PodFolder (the folder), PodFileName (the file that has the list's focus, chosen or not;
// empty when none has) and PodPattern ("*.*"); Cancel, Escape and the close box change
// nothing.
class Form6 : public platform::CentredDialog {
    Q_OBJECT
  public:
    explicit Form6(ArchiveState& state, QWidget* parent = nullptr);

    void Dir1_Change();       // another folder: the file list follows it
    void File1_Click();       // the selection changed: Label1 counts it
    void File1_DblClick();    // the same as Select
    void Command3D1_Click();  // Select
    void Command3D2_Click();  // Cancel

  private:
    ArchiveState& m_state;

    platform::FolderList* Dir1;  // the folder tree
    platform::FileList* File1;   // the files of Dir1's folder; several may be selected
    QPushButton* Command3D2;     // Cancel
    QLabel* Label1;              // how many files are selected
    QPushButton* Command3D1;     // Select, the default button
};

}  // namespace karvex
