// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <filesystem>
#include <string>

namespace karvex {

// What the program makes of its command line: the whole line is one path, possibly in
// double quotes, of an archive (".pod") or a response file (".lst").
struct StartupFile {
    enum class Kind { None, Archive, ResponseFile };
    Kind kind = Kind::None;
    std::string cmdPath;         // the line with its quotes removed
    std::filesystem::path path;  // the file, absolute, for ArchiveSession::Open
    bool found = false;          // the file exists (under this name or one differing in case)
};

// `commandLine` "C:\x" style paths aside, a relative path is taken relative to
// `currentFolder`. Where the file is missing but one whose name differs only in letter
// case lies in the same folder, that one is taken.
//   "\"/games/mtm/Trucks.POD\""  -> Archive, "/games/mtm/Trucks.POD"
//   "notes.txt"                  -> None
StartupFile ParseCommandLine(const std::string& commandLine,
                             const std::filesystem::path& currentFolder);

}  // namespace karvex
