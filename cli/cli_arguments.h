// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The command line of karvex32-cli: each command's options, read by CLI11 and handed to the
// command's routine.

#include <optional>
#include <string>
#include <vector>

namespace karvex {

constexpr int kExitDone = 0;
constexpr int kExitRefused = 1;
constexpr int kExitUsage = 2;

struct ListArgs {
    std::string file;
};

struct ExtractArgs {
    std::string archive, folder;
    std::vector<std::string> selected;
    bool all = false, lst = false, inf = false, yes = false;
};

struct BuildArgs {
    std::string list, newArchive;
    std::optional<std::string> comment;
    bool mount = false, yes = false;
};

struct CommentArgs {
    std::string archive, text;
};

struct TextureArgs {
    std::string archive, entry, out;
};

struct TexturesArgs {
    std::string archive, folder;
};

struct PaletteArgs {
    std::string archive, entry;
};

struct TextArgs {
    std::string archive, entry;
    bool nulEnds = false;  // -0: each item ends with a NUL byte instead of a line feed
};

struct SearchArgs {
    std::string archive, text;
    bool matchCase = false, bySize = false, byContents = false;
};

struct ExamineArgs {
    std::string archive, entry;
};

struct AddArgs {
    std::string archive;
    std::vector<std::string> files;
    std::optional<std::string> as;  // the entry's name, for one file only
    bool replace = false;
};

struct DeleteArgs {
    std::string archive;
    std::vector<std::string> names;
};

struct RenameArgs {
    std::string archive, oldName, newName;
};

struct TextureImportArgs {
    std::string archive, entry, file;
    std::optional<std::string> palette;  // the palette entry to match against, not the own
    bool dither = false;
};

struct PaletteExportArgs {
    std::string archive, entry, out;
};

struct PaletteImportArgs {
    std::string archive, entry, file;
};

struct TexturesImportArgs {
    std::string archive, folder;
    bool dither = false;
};

// Prints "karvex32-cli: PROBLEM" and the usage on standard error; returns kExitUsage.
int UsageError(const std::string& problem);

// Reads the command line and runs its command, or prints the help, the version or what is
// wrong with it: the exit status.
int RunCommandLine(int argc, char** argv);

}  // namespace karvex
