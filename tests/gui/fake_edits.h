// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The main window's part in a viewer's edit, played over a FakeSession: the data replaced
// is written over the entry's bytes, as a reload would then show them.
#include <cstdio>
#include <string>
#include <vector>

#include "core/archive_edit.h"
#include "tests/core/fake_session.h"

namespace karvex::test {

// An editor that notes "replace NAME#ROW, N bytes" per change and applies it; one that
// changes nothing and answers false when `refuse`.
inline EditRunner FakeEdits(FakeSession& archive, std::vector<std::string>& calls,
                            bool refuse = false) {
    return [&archive, &calls, refuse](const EditPlan& plan, std::vector<int>& changed) {
        for (const EditChange& change : plan.changes) {
            calls.push_back("replace " + change.name + "#" + std::to_string(change.row) + ", " +
                            std::to_string(change.dataSize) + " bytes");
            std::string data(static_cast<std::size_t>(change.dataSize), '\0');
            if (refuse || !change.data ||
                ::pread(fileno(change.data), data.data(), data.size(), change.dataOffset) !=
                    std::ssize(data))
                return false;
            archive.bytes.replace(static_cast<std::size_t>(archive.Table().OffsetOf(change.row)),
                                  data.size(), data);
            changed.push_back(change.row);
        }
        return true;
    };
}

}  // namespace karvex::test
