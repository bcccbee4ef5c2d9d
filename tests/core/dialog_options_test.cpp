// SPDX-License-Identifier: GPL-3.0-or-later
// The Extract and Make dialogs' choices as DialogOptions hands them to the commands.
#include <gtest/gtest.h>

#include "core/dialog_options.h"

namespace karvex::test {
namespace {

// Each check box alone, none and all: a box in the wrong place shows in its row.
TEST(DialogOptions, OnePlacePerCheckBox) {
    const struct {
        ExtractOptions options;
        const char* text;
    } rows[] = {{{}, "000000"},
                {{.responseFile = true}, "100000"},
                {{.selectedFiles = true}, "010000"},
                {{.allFiles = true}, "001000"},
                {{.information = true}, "000100"},
                {{.truck = true}, "000010"},
                {{.binModel = true}, "000001"},
                {{true, true, true, true, true, true}, "111111"}};
    for (const auto& row : rows)
        EXPECT_EQ(row.options.DialogOptions(), row.text);
    EXPECT_EQ(MakeOptions{.mount = false}.DialogOptions(), " 0");
    EXPECT_EQ(MakeOptions{.mount = true}.DialogOptions(), " 1");
}

}  // namespace
}  // namespace karvex::test
