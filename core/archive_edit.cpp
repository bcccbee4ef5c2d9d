// SPDX-License-Identifier: GPL-3.0-or-later
// Editing the open archive: adding, replacing, deleting and renaming entries.
#include "core/archive_edit.h"

#include "core/pod_core.h"
#include "core/text.h"

namespace karvex {

bool SameEntryName(std::string_view a, std::string_view b) {
    return a.size() == b.size() && ToUpperLatin1(a) == ToUpperLatin1(b);
}

int FindEntry(const EntryTable& table, std::string_view name) {
    const std::string wanted = ToUpperLatin1(name);
    for (int i = 0; i < table.Count(); ++i) {
        if (table.Name(i).size() == wanted.size() && ToUpperLatin1(table.Name(i)) == wanted)
            return i;
    }
    return -1;
}

std::string NewNameProblem(std::string_view) { return {}; }

Result PodCore::EditArchive(const EditPlan&, std::vector<int>&) { return Result::Refused("x"); }

Result PodCore::EditCommand(const EditPlan& plan, StatusRow&, std::vector<int>& changed) {
    return EditArchive(plan, changed);
}

}  // namespace karvex
