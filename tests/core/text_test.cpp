// SPDX-License-Identifier: GPL-3.0-or-later
// Number texts, name encoding, 8-bit text, path rules, the pod.ini edit and dialog options.
#include <gtest/gtest.h>

#include <tuple>

#include "core/command_line.h"
#include "core/dialog_options.h"
#include "core/number_text.h"
#include "core/paths.h"
#include "core/pod_core.h"
#include "core/pod_format.h"
#include "core/pod_ini.h"
#include "core/text.h"

namespace karvex {
namespace {

using namespace std::string_literals;

TEST(NumberText, GroupsThousandsAndWritesPlainNumbers) {
    const std::tuple<std::int64_t, const char*, const char*> rows[] = {
        {0, "0", " 0"},
        {999, "999", " 999"},
        {1000, "1,000", " 1000"},
        {2147483647, "2,147,483,647", " 2147483647"},
        {-2147483648LL, "-2,147,483,648", "-2147483648"}};
    for (const auto& [value, grouped, plain] : rows) {
        EXPECT_EQ(FormatNumber(value, ","), grouped);
        EXPECT_EQ(PlainNumber(value), plain);
    }
    EXPECT_EQ(FormatNumber(1234567, "."), "1.234.567");
    EXPECT_EQ(FormatNumber(1234567, "\xA0"), "1\xA0" + "234\xA0"s + "567");
}

// A typed position: the number the text begins with, whole and within 32 bits.
TEST(NumberText, ReadsTheNumberATextBeginsWith) {
    // clang-format off
    const std::pair<const char*, std::int32_t> rows[] = {
        {"", 0}, {"  12 5abc", 125}, {"x9", 0}, {"2.5", 2}, {"3.5", 4}, {"-7e2", -700}, {"1e", 1},
        {"+-5", 0}, {"1,5", 1}, {"0x10", 0}, {"1e400", INT32_MAX}, {"1e-400", 0},
        {"2147483647", INT32_MAX}, {"2147483648", INT32_MAX}, {"-2147483649", INT32_MIN}};
    // clang-format on
    for (const auto& [text, number] : rows)
        EXPECT_EQ(LeadingNumber(text), number) << '"' << text << '"';
}

TEST(Text, ConvertsBetweenLatin1AndUtf8) {
    EXPECT_EQ(Latin1ToUtf8("caf\xE9"), "caf\xC3\xA9");
    EXPECT_EQ(Utf8ToLatin1("caf\xC3\xA9"), "caf\xE9");
    EXPECT_EQ(Utf8ToLatin1("\xE2\x82\xAC"), "?");  // the euro sign has no Latin-1 place
    EXPECT_EQ(Utf8ToLatin1("1\xE2\x80\xAF" + "000"s), "1\xA0" + "000"s);  // narrow no-break space
    EXPECT_EQ(Utf8ToLatin1("\xE9t\xE9"), "\xE9t\xE9");  // not UTF-8: kept byte for byte
    EXPECT_EQ(ToUpperLatin1("abc\xE9\xF7\xFF"), "ABC\xC9\xF7\xFF");

    using enum Latin1Conversion;  // the exact conversion
    std::string latin1;
    EXPECT_EQ(Utf8ToLatin1Exactly("caf\xC3\xA9 \xC2\x80\xC3\xBF", latin1), Done);
    EXPECT_EQ(latin1, "caf\xE9 \x80\xFF");
    const std::pair<std::string, Latin1Conversion> rows[] = {
        {"1\xE2\x80\xAF", OutsideLatin1},  // no narrow no-break space stand-in
        {"\xF0\x9F\x98\x80", OutsideLatin1},
        {"caf\xE9", NotUtf8},
        {"\xC3", NotUtf8},               // cut short
        {"\xC1\xA9", NotUtf8},           // overlong
        {"\xE0\x83\xA9", NotUtf8},       // overlong
        {"\xED\xA0\x80", NotUtf8},       // a surrogate
        {"\xF4\x90\x80\x80", NotUtf8}};  // past U+10FFFF
    for (const auto& [utf8, result] : rows)
        EXPECT_EQ(Utf8ToLatin1Exactly(utf8, latin1), result) << utf8;
}

// Leading separators are dropped; a parent step, a drive or nothing left is refused.
TEST(Paths, RefusesNamesThatLeaveTheFolder) {
    for (const char* name : {"ART\\BOX.RAW", "\\ETC\\X", "/etc/x", "A..B.RAW"})
        EXPECT_TRUE(UnsafeNameReason(name).empty()) << name;
    for (const char* name :
         {"..\\BOX.RAW", "\\..\\X", "C:\\X.RAW", "c:X.RAW", "", ".\\", "ART/../X"})
        EXPECT_FALSE(UnsafeNameReason(name).empty()) << name;
}

// Blanks around the line go first, then one pair of quotes; only then is the ending looked at.
TEST(CommandLine, QuotesAndBlanks) {
    using enum StartupFile::Kind;
    // clang-format off
    const std::tuple<const char*, StartupFile::Kind, const char*> rows[] = {
        {"/tmp/x.pod", Archive, "x.pod"}, {"\"/tmp/x.pod\" ", Archive, "x.pod"},
        {"  \"/tmp/my list.LST\"", ResponseFile, "my list.LST"}, {"/tmp/x.pod\"", None, ""},
        {"\"/tmp/x.pod", Archive, "x.pod"},  // no pair: the quote is part of it
        {"\"", None, ""}, {"", None, ""}, {"notes.txt", None, ""}};
    // clang-format on
    for (const auto& [line, kind, fileName] : rows) {
        const StartupFile file = ParseCommandLine(line, "/work");
        EXPECT_EQ(file.kind, kind) << line;
        EXPECT_EQ(file.path.filename(), fileName) << line;
    }
    EXPECT_EQ(ParseCommandLine("\"a b.pod\"", "/work").path, "/work/a b.pod");
}

TEST(DialogRules, PodFileNameCheckAndExtractBaseName) {
    for (const char* name : {".POD", "  .pod  ", "MYFILE.TXT"})
        EXPECT_FALSE(IsPodFileName(name)) << name;
    for (const char* name : {"A.POD", "MY.PODX", " a.pod "})
        EXPECT_TRUE(IsPodFileName(name)) << name;
    EXPECT_EQ(ExtractBaseName("pod1.pod") + "|" + ExtractBaseName(".pod") + ExtractBaseName("a"),
              "pod1|");
}

TEST(PodIni, CountsAndCarriesLinesOver) {
    for (const char* ini : {"", "\r\n"})
        EXPECT_EQ(AddToPodIni(ini, "A.POD", "A.POD").text, " 1\r\nA.POD\r\n");
    EXPECT_EQ(AddToPodIni("  12 pods\r\n", "A.POD", "A.POD").text, " 13\r\nA.POD\r\n");
    const std::string longLine = "ADDONS\\A_VERY_LONG_FOLDER_NAME\\TRUCK.POD";
    EXPECT_EQ(AddToPodIni("1\n" + longLine + "\n", "B.POD", "B.POD").text,
              " 2\r\n" + longLine + "\r\nB.POD\r\n");
    EXPECT_EQ(AddToPodIni("98\r\n", "N.POD", "N.POD").outcome, PodIniEdit::Outcome::Added);
    EXPECT_EQ(AddToPodIni("3.POD\r\n", "3.POD", "3.POD").outcome, PodIniEdit::Outcome::Added)
        << "line 1 is never compared";
    // A count too large for a number is full, not wrapped round.
    for (const char* first : {"18446744073709551615", "99", "100000000000000000000000"})
        EXPECT_EQ(AddToPodIni(std::string(first) + "\r\n", "N.POD", "N.POD").outcome,
                  PodIniEdit::Outcome::Full)
            << first;
}

// Each check box alone, none and all: a box in the wrong place shows in its row.
TEST(DialogOptions, OnePlacePerCheckBox) {
    // clang-format off
    const std::pair<ExtractOptions, const char*> rows[] = {
        {{}, "000000"}, {{.responseFile = true}, "100000"}, {{.selectedFiles = true}, "010000"},
        {{.allFiles = true}, "001000"}, {{.information = true}, "000100"},
        {{.truck = true}, "000010"}, {{.binModel = true}, "000001"},
        {{true, true, true, true, true, true}, "111111"}};
    // clang-format on
    for (const auto& [options, text] : rows)
        EXPECT_EQ(options.DialogOptions(), text);
    EXPECT_EQ(MakeOptions{.mount = false}.DialogOptions(), " 0");
    EXPECT_EQ(MakeOptions{.mount = true}.DialogOptions(), " 1");
}

}  // namespace
}  // namespace karvex
