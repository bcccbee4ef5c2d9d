// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/centred_dialog.h"

#include "core/archive_state.h"

class QCheckBox;
class QLabel;
class QPushButton;

namespace karvex {

namespace platform {
class DriveList;
class FolderList;
}  // namespace platform

// Form4, the Extract dialog: pick the folder to extract into and what to extract. Writes
// DialogPath, DialogName and DialogOptions of the state when it closes: after Extract the
// chosen folder, the open archive's name less its extension, and one "1" or "0" per check
// box (Check3D1 to Check3D6, so "001100" is all files and the information file); all three
// empty after Cancel, Escape or the close box.
class Form4 : public platform::CentredDialog {
    Q_OBJECT
  public:
    explicit Form4(ArchiveState& state, QWidget* parent = nullptr);

    void Drive1_Change();     // another volume: the folder list goes to its root
    void Dir1_Change();       // another folder: Label2 shows it
    void Dir1_Click();        // the same as Dir1_Change
    void Command3D1_Click();  // Extract: writes the three results, unchecked
    void Command3D2_Click();  // Cancel

    // Cancel, Escape and the close box all end here: empties the three results.
    void reject() override;

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    ArchiveState& m_state;

    platform::DriveList* Drive1;  // the mounted volumes
    platform::FolderList* Dir1;   // the folder tree; its current folder is the target
    QCheckBox* Check3D2;          // extract the files selected in the main window
    QCheckBox* Check3D3;          // extract every file of the archive
    QCheckBox* Check3D1;          // write a response file listing the entries
    QCheckBox* Check3D4;          // write the information file
    QCheckBox* Check3D5;          // extract a truck; never shown, always unchecked
    QCheckBox* Check3D6;          // extract a BIN model; never shown, always unchecked
    QPushButton* Command3D1;      // Extract, the default button
    QPushButton* Command3D2;      // Cancel
    QLabel* Label1;               // "Extract Path"
    QLabel* Label2;               // the folder list's current path
};

}  // namespace karvex
