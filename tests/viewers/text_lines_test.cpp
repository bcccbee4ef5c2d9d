// SPDX-License-Identifier: GPL-3.0-or-later
// The text viewer's items: the CR LF rule, empty lines, and reading in blocks.
#include <gtest/gtest.h>

#include "tests/core/fake_session.h"
#include "viewers/text_lines.h"

namespace karvex::test {
namespace {

// The same items fed whole and in blocks of 1, 2, 3 and 5 bytes: a split break pair still ends.
TEST(TextItems, GivesTheItemsWholeAndInBlocks) {
    const struct {
        const char* what;
        std::string bytes;
        std::vector<std::string> items;
    } rows[] = {
        // clang-format off
        {"two lines", "AB\r\nCD\r\n", {"AB", "CD"}},
        {"empty line is one blank", "AB\r\n\r\nCD\r\n", {"AB", " ", "CD"}},
        {"empty first line has no characters", "\r\nAB\r\n", {"", "AB"}},
        {"last line unterminated", "AB\r\nCD", {"AB"}},
        {"lone LF is a character", "AB\nCD\r\n", {"AB\nCD"}},
        {"lone CR is a character", "A\rB\r\r\n", {"A\rB\r"}},
        {"LF CR is no break", "AB\n\rCD\r\n", {"AB\n\rCD"}},
        {"CR at the end", "AB\r\nCD\r", {"AB"}},
        {"empty", "", {}},
        {"8-bit bytes and NUL kept", std::string("\xE9\0x\r\n", 5), {std::string("\xE9\0x", 3)}},
        // clang-format on
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        EXPECT_EQ(TextItems(row.bytes), row.items);
        for (std::size_t block : {1, 2, 3, 5}) {
            std::vector<std::string> items;
            TextLineSplitter splitter([&](std::string_view item) { items.emplace_back(item); });
            for (std::size_t at = 0; at < row.bytes.size(); at += block)
                splitter.Feed(std::string_view(row.bytes).substr(at, block));
            EXPECT_EQ(items, row.items) << "blocks of " << block;
        }
    }
}

// Entry i's items, as the viewer lists them.
std::vector<std::string> Load(const Session& session, int i) {
    std::vector<std::string> items(1);
    TextLinePieces lines([&](std::string_view piece) { items.back().append(piece); },
                         [&] { items.emplace_back(); });
    EXPECT_TRUE(TextLinesLoad(session, i, lines).IsDone());
    EXPECT_EQ(items.back(), "") << "a line left without its end";
    items.pop_back();
    return items;
}

TEST(TextFromArchive, ABreakAfterTheEntryNeverEndsOneOfItsLines) {
    const FakeSession archive({{"a.txt", "AB\r\nCD"},
                               {"b.txt", "\r\nEF\r\n"},
                               {"c.txt", "GH\r\nIJ\r"},
                               {"d.txt", "\nKL\r\n"}});
    EXPECT_EQ(Load(archive, 0), (std::vector<std::string>{"AB"})) << "CD runs into b.txt's CR LF";
    EXPECT_EQ(Load(archive, 2), (std::vector<std::string>{"GH"})) << "its last CR, d.txt's LF";

    FakeSession cut({{"a.txt", "AB\r\nCD\r\nEF" + std::string(990, 'x')}});
    cut.bytes.resize(cut.bytes.size() - 990);
    EXPECT_EQ(Load(cut, 0), (std::vector<std::string>{"AB", "CD"})) << "read up to the end";
    cut.readFailure = Result::Failed("Cannot read /fake/test.pod");
    TextLinePieces none([](std::string_view) {}, [] {});
    EXPECT_EQ(TextLinesLoad(cut, 0, none).status, Result::Status::Failed);
}

// Marks every 4096th line and the first 256 KiB past a mark, counted in steps of 1000 bytes.
TEST(TextFromArchive, ReadsLinesAroundTheIndexMarks) {
    std::string text;
    for (int n = 0; n < 4100; ++n)
        text += (n == 4096 ? "" : "L" + std::to_string(n)) + "\r\n";
    text += std::string(300 * 1024, 'a') + "\r\nB\r\ntail";
    const FakeSession archive({{"t.txt", text}});
    TextLineIndex index;
    index.Open(archive, 0);
    while (!index.Complete())
        ASSERT_TRUE(index.CountMore(archive, 1000).IsDone());
    EXPECT_EQ(index.Lines(), 4102);

    const std::string cut(kShownLineBytes, 'a');
    struct Read {
        std::int64_t first, count;
        std::vector<std::string> texts;
        bool lastGoesOn = false;
    };
    for (const Read& read :
         {Read{4096, 1, {" "}}, Read{4094, 4, {"L4094", "L4095", " ", "L4097"}},
          Read{4099, 3, {"L4099", cut}, true}, Read{4101, 5, {"B"}}, Read{4102, 1, {}}}) {
        std::vector<ShownLine> lines;
        EXPECT_TRUE(index.ReadLines(archive, read.first, read.count, 1 << 20, lines).IsDone());
        std::vector<std::string> texts;
        for (const ShownLine& line : lines)
            texts.push_back(line.text);
        EXPECT_EQ(texts, read.texts) << "from line " << read.first;
        if (!lines.empty()) {
            EXPECT_EQ(lines.back().goesOn, read.lastGoesOn) << "from line " << read.first;
        }
    }
}

}  // namespace
}  // namespace karvex::test
