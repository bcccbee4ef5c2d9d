// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "core/entry_table.h"
#include "core/file_io.h"
#include "core/io_status.h"

namespace karvex {

// One change of an edit of the open archive. Names are 8-bit (Latin-1) text. A name that
// is to be found means the first entry, in table order, whose name equals it after Latin-1
// upper-casing ("é.raw" finds "É.RAW").
struct EditChange {
    enum class Kind {
        Add,      // `source`'s bytes (or `data`'s) as a new entry `name`, after all the others
        Replace,  // the data of entry `name` by `source`'s bytes (or `data`'s), in its place
        Delete,   // entry `name`
        Rename,   // entry `name` becomes `newName`
    };
    Kind kind = Kind::Add;
    std::string name;
    std::string newName;
    std::filesystem::path source;
    // For all but Add: the entry at this index of the archive as loaded, which must be named
    // `name`, whatever entries of that name come before it; -1: the first entry of the name.
    int row = -1;
    // For Add and Replace, in place of a `source` file: data the program made (an imported
    // texture or palette), `dataSize` bytes at `dataOffset` of `data`, which the caller keeps
    // open and unchanged until the edit ends (see EditData).
    std::FILE* data = nullptr;
    std::int64_t dataOffset = 0;
    std::int64_t dataSize = 0;
};

// The data of an edit that the program made itself, kept in an unnamed temporary file, so
// that an edit of thousands of imported textures holds none of them in memory.
class EditData {
  public:
    // The file is made in `folder` (the archive's, on the file system the edit writes to)
    // where it can be, else in the system's temporary folder.
    explicit EditData(std::filesystem::path folder = {}) : m_folder(std::move(folder)) {}
    // Appends `bytes` and points `change` at them. WriteFailed when they cannot be kept.
    IoStatus Put(std::string_view bytes, EditChange& change);

  private:
    std::filesystem::path m_folder;
    FilePtr m_file;  // made at the first Put
    std::int64_t m_end = 0;
};

// The changes of one edit, applied in order: all of them or none.
struct EditPlan {
    std::vector<EditChange> changes;
    // An Add of a name that is there already replaces that entry's data instead of being
    // refused.
    bool replaceExisting = false;
};

// How a window opened over the main one has an edit applied: the main window runs `plan` as
// its own edits run (the questions are asked already), shows the reloaded archive, and
// answers true when the edit was done, with `changed` the rows of the entries changed.
using EditRunner = std::function<bool(const EditPlan& plan, std::vector<int>& changed)>;

// Why `name` cannot be given to an entry, or "" when it can: the builder's writing (upper
// case, NUL-padded to 32 bytes) would damage it, or a later extraction or build would be led
// astray by it. "longer than 32 bytes", "holds a blank", "is empty", "holds a control
// character", "is absolute", "has an empty or \".\" folder part", or UnsafeNameReason's.
std::string NewNameProblem(std::string_view name);

// True when two entry names are equal after Latin-1 upper-casing.
bool SameEntryName(std::string_view a, std::string_view b);

// The first entry of `table` named `name` as SameEntryName compares, or -1.
int FindEntry(const EntryTable& table, std::string_view name);

}  // namespace karvex
