// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

#include "core/pod_format.h"

namespace karvex {

// The state every window shares: which archive or response file is open, its header
// values, the dialogs' results and the entry last right-clicked. One instance per process,
// owned by the application and handed around by reference.
//
// Path fields (PodFolder, PodFileName, PodPath, DialogPath, DialogName, StartFolder,
// ParentFolder) hold native file-system text; a folder has no trailing separator except
// for the root itself. PodComment and SavedComment hold the archive's 8-bit bytes.
struct ArchiveState {
    std::string PodFolder;    // folder of the open archive or response file
    std::string PodFileName;  // its file name, without folder
    std::string PodPattern;   // "*.pod" or "*.lst"; empty after a cancelled Open dialog
    std::string PodPath;      // ArchivePath() as the loaders last read it

    std::int32_t EntryCount = 0;  // header count, or the files a response file lists
    std::string PodComment = std::string(kCommentSize, ' ');  // always 80 bytes
    // Length of the open archive, or of the archive a response file would give. Kept wider
    // than the header's 32 bits so that a sum of large files cannot overflow.
    std::int64_t PodFileLength = 0;
    std::int16_t FailFlag = 0;  // 1: invalid data or a refusal; the reporting caller clears it

    std::string ParentFolder;  // PodFolder less its last folder: second place to find listed files
    std::string SavedComment;  // PodComment kept while the Extract command runs
    std::int32_t EntryIndex = 0;

    // Results of the Make and Extract dialogs; all three empty after Cancel.
    std::string DialogPath;
    std::string DialogName;
    std::string DialogOptions;

    // 0: extraction writes each selected entry into the folder DialogPath;
    // 1: into the file DialogPath itself.
    std::int16_t ViewMode = 0;

    std::string StartFolder;      // the current folder when the program started
    std::string LineFeed = "\n";  // breaks lines inside messages

    // The entry last right-clicked in the main window's lists.
    std::string SelectedName = " ";
    std::int32_t SelectedSize = 0;
    std::int32_t SelectedOffset = 0;

    // The open archive or response file, PodFolder/PodFileName: its one path.
    std::filesystem::path ArchivePath() const {
        return std::filesystem::path(PodFolder) / PodFileName;
    }
};

}  // namespace karvex
