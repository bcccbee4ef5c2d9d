// SPDX-License-Identifier: GPL-3.0-or-later
// The collector's name scan over one buffer and the found-name list's rules.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "trucks/found_names.h"
#include "trucks/name_scan.h"

namespace karvex::test {
namespace {

using namespace std::string_literals;
using Names = std::vector<std::string>;

TEST(ScanForNames, Rows) {
    const struct {
        const char* what;
        std::string bytes;
        Names expected;
    } rows[] = {
        // clang-format off
        {"extension by extension, then by position", "\0 a.raw\nx.ACT b.raw"s,
         {" a.raw", "x.ACT b.raw", "x.ACT"}},
        {"a name at the first byte is kept", "car.raw", {"car.raw"}},
        {"blanks and high bytes belong to a name", "\n  \xE9.wav", {"  \xE9.wav"}},
        {"an extension that needs a byte past the end", "car.ra", {}},
        {"the search goes on behind an occurrence", ".raw.raw", {".raw", ".raw.raw"}},
        {"a run longer than the limit keeps its end", std::string(300, 'a') + ".raw",
         {std::string(kMaxNameLength - 4, 'a') + ".raw"}},
        // clang-format on
    };
    for (const auto& row : rows) {
        Names names;
        ScanForNames(row.bytes, 0, row.bytes.size(), [&](std::string_view name) {
            names.emplace_back(name);
            return true;
        });
        EXPECT_EQ(names, row.expected) << row.what;
    }
}

TEST(AddFoundName, Rows) {
    const struct {
        const char* what;
        Names added, listed;
    } rows[] = {
        // clang-format off
        {"leading blanks are kept; without them it is a duplicate", {"  car.raw", "car.raw"},
         {"  car.raw"}},
        {"letter case counts", {"CAR.RAW", "car.raw"}, {"CAR.RAW", "car.raw"}},
        {"after the last comma when longer than 12", {"shadow,tex,car.raw"}, {"car.raw"}},
        {"a short run with a comma stays whole", {"a,b.raw"}, {"a,b.raw"}},
        {"12 characters stay whole", {"abcdef,g.raw"}, {"abcdef,g.raw"}},
        {"13 are cut", {"abcdefg,h.raw"}, {"h.raw"}},
        {"the text after the comma keeps its blank", {"shadow, tex, car.raw", "car.raw"},
         {" car.raw"}},
        {"a name holding a control byte is none", {"a\r\nb.raw", "c\0.raw"s, "d.raw"}, {"d.raw"}},
        // clang-format on
    };
    for (const auto& row : rows) {
        FoundNames list;
        for (const std::string& name : row.added)
            list.AddFoundName(name);
        EXPECT_EQ(list.Names(), row.listed) << row.what;
    }
}

}  // namespace
}  // namespace karvex::test
