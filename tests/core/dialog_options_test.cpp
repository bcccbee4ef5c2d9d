// SPDX-License-Identifier: GPL-3.0-or-later
// The Extract and Make dialogs' choices as DialogOptions hands them to the commands.
#include <gtest/gtest.h>

#include <string>

#include "core/dialog_options.h"

namespace karvex::test {
namespace {

// DialogOptions for each of the 64 combinations of the Extract dialog's check boxes: in row
// n, Check3D(k + 1) is ticked when bit k of n is set.
const char* const kExtractRows[64] = {
    "000000", "100000", "010000", "110000", "001000", "101000", "011000", "111000",
    "000100", "100100", "010100", "110100", "001100", "101100", "011100", "111100",
    "000010", "100010", "010010", "110010", "001010", "101010", "011010", "111010",
    "000110", "100110", "010110", "110110", "001110", "101110", "011110", "111110",
    "000001", "100001", "010001", "110001", "001001", "101001", "011001", "111001",
    "000101", "100101", "010101", "110101", "001101", "101101", "011101", "111101",
    "000011", "100011", "010011", "110011", "001011", "101011", "011011", "111011",
    "000111", "100111", "010111", "110111", "001111", "101111", "011111", "111111",
};

class ExtractDialogOptions : public testing::TestWithParam<int> {};

TEST_P(ExtractDialogOptions, OnePlacePerCheckBox) {
    const int row = GetParam();
    const auto ticked = [row](int bit) { return (row >> bit & 1) != 0; };
    const ExtractOptions options{.responseFile = ticked(0),
                                 .selectedFiles = ticked(1),
                                 .allFiles = ticked(2),
                                 .information = ticked(3),
                                 .truck = ticked(4),
                                 .binModel = ticked(5)};
    EXPECT_EQ(options.DialogOptions(), kExtractRows[row]);
}

INSTANTIATE_TEST_SUITE_P(EveryCombination, ExtractDialogOptions, testing::Range(0, 64));

TEST(MakeDialogOptions, MountIsTheSecondPlace) {
    EXPECT_EQ(MakeOptions{.mount = false}.DialogOptions(), " 0");
    EXPECT_EQ(MakeOptions{.mount = true}.DialogOptions(), " 1");
}

}  // namespace
}  // namespace karvex::test
