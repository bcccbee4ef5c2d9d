// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/centred_dialog.h"

#include "core/archive_state.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace karvex {

namespace platform {
class DriveList;
class FileList;
class FolderList;
}  // namespace platform

// Form3, the Make dialog: the folder and file name of a new archive, its comment, and
// whether to mount it in the game afterwards. Writes into the state when it closes:
// after Make, DialogPath (the folder), DialogName (the file name as typed, blanks at the
// ends removed), DialogOptions (" 1" to mount, " 0" not to) and PodComment (80 bytes of
// 8-bit text); after Cancel, Escape or the close box, the three Dialog fields empty and
// PodComment untouched. A name that is not an archive name keeps the dialog open.
class Form3 : public platform::CentredDialog {
    Q_OBJECT
  public:
    explicit Form3(ArchiveState& state, QWidget* parent = nullptr);

    void Drive1_Change();     // another volume: the folder list goes to its root
    void Dir1_Change();       // another folder: the file list follows it
    void File1_Click();       // an archive chosen in the list: its name goes into Text1
    void Command3D1_Click();  // Make
    void Command3D2_Click();  // Cancel

    // Cancel, Escape and the close box all end here: empties the three Dialog fields.
    void reject() override;

  private:
    ArchiveState& m_state;

    platform::DriveList* Drive1;  // the mounted volumes
    platform::FolderList* Dir1;   // the folder the new archive goes into
    platform::FileList* File1;    // the archives already in that folder
    QLineEdit* Text1;             // the new archive's file name
    QPushButton* Command3D2;      // Cancel
    QCheckBox* Check3D1;          // mount the new archive once it is made
    QPushButton* Command3D1;      // Make, the default button
    QLabel* Label1;               // the caption of Text2
    QLineEdit* Text2;             // the archive's comment
};

}  // namespace karvex
