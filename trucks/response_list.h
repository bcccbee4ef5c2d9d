// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Found names saved as a response file, from which an add-on archive is built, and the
// entries of the open archive that they name.

#include <string>
#include <vector>

#include "core/entry_table.h"

namespace karvex {

// What a response file of found names holds, and the names it leaves out.
struct ResponseList {
    std::string lines;                 // one CR LF line per name kept, blanks around it removed
    std::vector<std::string> leftOut;  // in list order
};

// ResponseListOf: the names, in order, each on its own line, except the names that lead
// nowhere inside the response file's folder: those UnsafeNameReason refuses, those it
// refuses as the line is read back (its first 32 characters, up to a comma), and those
// that hold a control byte. A name found in a stranger's entry is only a name, so no
// line of the list may take a build outside the folder:
//   {"skin.raw", "..\..\secret.txt"} -> lines "skin.raw\r\n", left out {"..\..\secret.txt"}
ResponseList ResponseListOf(const std::vector<std::string>& names);

// What saving found names as a response file comes to before anything is written: the
// list, and either why nothing is saved (every name would be left out: kNoneSafeText and
// the names) or what to say once it is saved (some were left out: kLeftOutText and the
// names). The names are listed one per line after `lf`, as NameList lists them.
struct ResponseFilePlan {
    ResponseList list;
    std::string refusal;
    std::string warning;
};
ResponseFilePlan PlanResponseFile(const std::vector<std::string>& names, const std::string& lf);

// The entries of `table` that found names name, in table order: an entry matches a name
// when its name, or the part of it after its last "\", equals the name, both without blanks
// at either end and in upper case (Latin-1):
//   {"skin.raw"} matches "SKIN.RAW" and "ART\SKIN.RAW", not "SKIN.RAW.OLD"
std::vector<int> EntriesNamed(const std::vector<std::string>& names, const EntryTable& table);

// What the user is told after saving a list that left names out, before the names.
inline constexpr const char* kLeftOutText =
    "These names were left out of the response file, because they do not lead to a file "
    "inside its folder:";
// Why nothing is saved when every name would be left out, before the names.
inline constexpr const char* kNoneSafeText =
    "None of the names leads to a file inside the response file's folder:";

}  // namespace karvex
