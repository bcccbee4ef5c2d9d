// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace karvex {

// Archive entry names and response-file lines keep backslashes as data (the game expects
// ART\BOX.RAW); where such a name is used as a path on disk, each backslash and each slash
// separates folders. Names are 8-bit text and become native (UTF-8) path components.

// The folder parts of an 8-bit name, blanks around the whole name removed and "." parts
// dropped: "art\box.raw" -> {"art", "box.raw"}.
std::vector<std::string> NameComponents(std::string_view name);

// Why a name cannot be written inside an extraction folder: a ".." part, a drive, a NUL
// byte, or nothing left to name a file. Empty when the name is safe. Leading separators
// do not count: "\A.RAW" is written as A.RAW inside the folder.
std::string UnsafeNameReason(std::string_view name);

// The components of an 8-bit name as native (UTF-8) folder and file names.
std::vector<std::string> NativeComponents(std::string_view name);

// folder / name, each component of the 8-bit name converted to a native component.
std::filesystem::path JoinName(const std::filesystem::path& folder, std::string_view name);

// Finds `name` below `folder`: the exact path first; where a part of it is missing, a
// directory entry that differs only in letter case (the game's files come from a
// case-insensitive system). Gives the exact path when nothing matches.
std::filesystem::path ResolveNoCase(const std::filesystem::path& folder, std::string_view name);

// A file that a response file lists: where it was found and its length.
struct ListedFile {
    std::filesystem::path path;
    std::int64_t length = -1;  // -1: found in neither folder
};
// Finds the listed `name` in `folder`, else in the folder above it (which is then stored
// in `parentFolder`); never in a root. Gives length -1 when it is in neither.
ListedFile FindListedFile(const std::string& folder, const std::string& name,
                          std::string& parentFolder);

// `path` itself where it exists; otherwise the entry of its folder whose name differs
// from it only in letter case, if there is one.
std::filesystem::path FindNoCase(const std::filesystem::path& path);

// `folder` cut before its last separator: "/games/mtm" -> "/games"; "mtm" -> nothing.
std::optional<std::string> ParentOf(std::string_view folder);

// True for an empty folder text or a root: the places the tool never searches for files
// (the "drive root" of other systems).
bool IsEmptyOrRoot(std::string_view folder);

// The text the state keeps for a folder: absolute, without a trailing separator, the root
// kept as it is.
std::string FolderText(const std::filesystem::path& folder);

// Splits an absolute path into its folder (as FolderText) and file name.
void SplitPath(const std::filesystem::path& path, std::string& folder, std::string& fileName);

// A native path as 8-bit text for messages and the status line.
std::string DisplayPath(const std::filesystem::path& path);

// Makes `folder` the process's current folder, where the window's dialogs open next time;
// nothing for an empty or missing folder.
void MakeCurrentFolder(std::string_view folder);

}  // namespace karvex
