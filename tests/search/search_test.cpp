// SPDX-License-Identifier: GPL-3.0-or-later
// The search window's matching: names, sizes and contents, as result rows and selections.
#include <gtest/gtest.h>

#include <tuple>

#include "core/number_text.h"
#include "core/pod_format.h"
#include "search/search.h"
#include "tests/core/test_support.h"

namespace fs = std::filesystem;

namespace karvex::test {
namespace {

struct Entry {
    std::string name;
    std::int64_t offset, size;
};

EntryTable Table(const std::vector<Entry>& entries) {
    EntryTable table;
    for (const Entry& e : entries)
        table.Append(e.name, e.size, FormatNumber(e.size, ","), e.offset, PlainNumber(e.offset));
    return table;
}

// "name size" rows, then the selected indexes after "|".
std::string Shown(const SearchResults& results) {
    std::string text;
    for (const SearchRow& row : results.rows)
        text += row.name + " " + row.size + "; ";
    text += "|";
    for (int i : results.selected)
        text += " " + std::to_string(i);
    return text;
}

constexpr std::size_t B = kContentsBlock;
// clang-format off
const std::vector<Entry> kList = {{"car.raw", 0, 4096}, {"CAR2.RAW", 0, 14096},
    {" lead.txt", 0, 4096000}, {"big.raw", 0, 409}, {"\xC9T\xC9.TXT", 0, 5}};
const SearchOptions kName{}, kCase{true}, kSize{false, true}, kContents{false, false, true};
const SearchOptions kContentsCase{true, false, true};
const std::vector<Entry> kThree = {{"A", 100, B}, {"B", 100 + B, B}, {"C", 100 + 2 * B, B}};

struct Case {
    const char* what;
    std::vector<Entry> entries;
    std::string bytes;  // the archive; empty for a name or size search
    std::string text;
    SearchOptions options;
    std::string shown;
};

const Case kCases[] = {
    {"name matches case", kList, "", "CAR", kCase, "CAR2.RAW 14,096; | 1"},
    {"accented letters fold", kList, "", "\xE9t\xE9", kName, "\xC9T\xC9.TXT 5; | 4"},
    {"trailing blanks dropped", kList, "", "car   ", kCase, "car.raw 4,096; | 0"},
    {"leading blank kept", kList, "", " lea", kName, " lead.txt 4,096,000; | 2"},
    {"blanks only match all", {{"a", 0, 1}, {"b", 0, 2}}, "", "   ", kName, "a 1; b 2; | 0 1"},
    {"size key grouped", kList, "", "4096", kSize,
         "car.raw 4,096; CAR2.RAW 14,096;  lead.txt 4,096,000; | 0 1 2"},
    {"size 409 is not in 4,096", kList, "", "409", kSize, "big.raw 409; | 3"},
    {"size, not a number", kList, "", "abc", kSize, "|"},
    {"across the first block boundary", {{"A", 100, 2 * B}},
         Laid(100 + 2 * B, {{97 + B, "NEEDLE"}}), "NEEDLE", kContents, "A 128,000; | 0"},
    {"at the boundary, in the second entry", kThree,
         Laid(100 + 3 * B, {{100 + B, "NEEDLE"}}), "needle", kContents, "B 64,000; | 1"},
    {"first byte decides", kThree,
         Laid(100 + 3 * B, {{99 + B, "NEEDLE"}}), "NEEDLE", kContents, "A 64,000; | 0"},
    {"case matched", kThree, Laid(100 + 3 * B, {{99 + B, "NEEDLE"}}), "needle", kContentsCase, "|"},
    {"header and table not searched", {{"A", 100, 50}},
         Laid(150, {{10, "xy"}}), "xy", kContents, "|"},
    {"same name twice listed once",
         {{"D", 100, 10}, {"D", 110, 10}, {"E", 120, 10}, {"D", 130, 10}},
         Laid(140, {{102, "xy"}, {105, "xy"}, {112, "xy"}, {122, "xy"}, {132, "xy"}}), "xy",
         kContents, "D 10; E 10; D 10; | 0 1 2 3"},
    {"offsets out of order", {{"X", 300, 100}, {"Y", 100, 100}},
         Laid(400, {{150, "xy"}, {350, "xy"}}), "xy", kContents, "Y 100; X 100; | 1 0"},
    {"overlap: first listed wins", {{"BIG", 100, 300}, {"SMALL", 200, 50}},
         Laid(400, {{210, "xy"}}), "xy", kContents, "BIG 300; | 0"},
    {"overlap, inner listed first", {{"SMALL", 200, 50}, {"BIG", 100, 300}},
         Laid(400, {{150, "xy"}, {210, "xy"}, {300, "xy"}}), "xy", kContents,
         "BIG 300; SMALL 50; BIG 300; | 1 0"},
    {"gap and tail not attributed", {{"A", 100, 100}, {"B", 300, 100}},
         Laid(600, {{250, "xy"}, {500, "xy"}}), "xy", kContents, "|"},
    {"an occurrence may end in a gap", {{"A", 100, 100}, {"B", 300, 100}},
         Laid(400, {{199, "xy"}}), "xy", kContents, "A 100; | 0"},
    {"entry past the end", {{"A", 100, 1000}, {"Z", 5000, 10}},
         Laid(300, {{200, "xy"}, {299, "xy"}}), "x", kContents, "A 1,000; | 0"},
    {"nothing read past the end", {{"A", 100, 1000}},
         Laid(300, {{299, "x"}}), "xy", kContents, "|"},
    {"blanks only: entries with bytes",
         {{"A", 100, 50}, {"Z", 150, 0}, {"C", 150, 10}, {"P", 900, 5}, {"N", 100, -1}},
         Laid(200, {}), "  ", kContents, "A 50; C 10; | 0 2"}};
// clang-format on

// A contents row gives the same results in blocks of 64,000 bytes and in tiny ones.
TEST(Search, ShowsTheRowsAndSelects) {
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.what);
        const EntryTable table = Table(c.entries);
        const SearchRequest request{c.text, c.options};
        SearchResults results;
        if (!c.options.byContents) {
            ASSERT_TRUE(SearchEntryList(table, request, results).IsDone());
            EXPECT_EQ(Shown(results), c.shown);
            continue;
        }
        MemorySource archive(c.bytes);
        for (std::size_t block :
             {kContentsBlock, std::size_t{1}, std::size_t{5}, std::size_t{64}}) {
            ASSERT_TRUE(
                SearchPodContentsInBlocks(table, archive, request, results, {}, block).IsDone());
            EXPECT_EQ(Shown(results), c.shown) << "blocks of " << block;
        }
    }
}

TEST(SearchSizeKey, FormatsWholeNumbersOnly) {
    const std::tuple<const char*, const char*, const char*> rows[] = {
        {"4096", ",", "4,096"},   {" 0012", ",", "12"},
        {"-4096", ".", "-4.096"}, {"4,096", ",", "4,096"},
        {"40.96", ",", "40.96"},  {"99999999999999999999", ",", "99999999999999999999"}};
    for (const auto& [typed, separator, key] : rows)
        EXPECT_EQ(SizeKey(typed, separator), key) << typed;
}

// A stop at the second step keeps what the first found; contents step once per block.
TEST(SearchStop, EndsWithTheRowsFoundSoFar) {
    const EntryTable table = Table(kThree);
    const std::string bytes =
        Laid(100 + 3 * B, {{110, "xy"}, {110 + B, "xy"}, {110 + 2 * B, "xy"}});
    MemorySource archive(bytes);
    std::vector<std::int64_t> steps;
    SearchHooks hooks{[&](std::int64_t at, const SearchResults&) { steps.push_back(at); },
                      [&] { return steps.size() == 2; }};
    SearchResults results;
    EXPECT_EQ(SearchPodContents(table, archive, {"xy", {}}, results, hooks).status,
              Result::Status::Cancelled);
    EXPECT_EQ(Shown(results), "A 64,000; | 0");
    EXPECT_EQ(steps, (std::vector<std::int64_t>{100, 100 + B}));
    steps.clear();
    EXPECT_EQ(SearchEntryList(table, {"", {}}, results, hooks).status, Result::Status::Refused);
    EXPECT_EQ(SearchEntryList(table, {" ", {}}, results, hooks).status, Result::Status::Cancelled);
    EXPECT_EQ(Shown(results), "A 64,000; | 0");
    EXPECT_EQ(FoundText(1500, ",") + "/" + SearchingText(128100, ","),
              "1,500 Found/Searching 128,100");
}

// The session's separator, its cancel and a read that fails (the CLI covers the options).
TEST(SearchOpenArchive, ReadsTheArchiveAndStopsOnTheSessionsCancel) {
    CoreFixture f;
    f.core.SetGroupSeparator(".");
    WriteBytes(f.dir / "t.pod", PodBytes({{"A.RAW", std::string(4096, 'a')}, {"B.TXT", "hello"}}));
    ASSERT_TRUE(f.Open("t.pod"));
    SearchResults results;
    ASSERT_TRUE(SearchOpenArchive(f.session, "4096", {false, true}, results).IsDone());
    EXPECT_EQ(Shown(results), "A.RAW 4.096; | 0");

    {
        BusyScope busy(f.session);
        SearchHooks hooks{[&](std::int64_t, const SearchResults&) { f.session.RequestCancel(); },
                          {}};
        EXPECT_EQ(SearchOpenArchive(f.session, "a", {}, results, hooks).status,
                  Result::Status::Cancelled);
    }
    fs::remove(f.dir / "t.pod");
    const Result gone = SearchOpenArchive(f.session, "a", {false, false, true}, results);
    EXPECT_EQ(gone.status, Result::Status::Failed);
    EXPECT_EQ(gone.message.rfind("Cannot read " + (f.dir / "t.pod").string(), 0), 0u)
        << gone.message;
}

}  // namespace
}  // namespace karvex::test
