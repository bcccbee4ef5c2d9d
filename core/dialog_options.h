// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// What the Extract and Make dialogs ask for, as ArchiveState::DialogOptions hands it to
// ExtractCommand and MakeCommand: one character per check box, '1' ticked.

#include <string>

namespace karvex {

// The Extract dialog's check boxes, in DialogOptions' order:
//   ExtractOptions{.selectedFiles = true, .information = true}.DialogOptions() == "010100"
struct ExtractOptions {
    bool responseFile = false;   // Check3D1: the response file (.lst)
    bool selectedFiles = false;  // Check3D2: the selected entries
    bool allFiles = false;       // Check3D3: every entry
    bool information = false;    // Check3D4: the information file (.inf)
    bool truck = false;          // Check3D5, hidden
    bool binModel = false;       // Check3D6, hidden

    std::string DialogOptions() const {
        std::string options;
        for (const bool ticked :
             {responseFile, selectedFiles, allFiles, information, truck, binModel})
            options += ticked ? '1' : '0';
        return options;
    }
};

// The Make dialog's check box: " 1" to add the new archive to pod.ini, " 0" not to.
struct MakeOptions {
    bool mount = false;

    std::string DialogOptions() const { return mount ? " 1" : " 0"; }
};

}  // namespace karvex
