// SPDX-License-Identifier: GPL-3.0-or-later
// The archive session: the parsed table, entry ranges and reads, look-up and the busy state.
#include <gtest/gtest.h>

#include <tuple>

#include "core/archive_session.h"
#include "core/pod_format.h"
#include "tests/core/test_support.h"

namespace fs = std::filesystem;

namespace karvex::test {
namespace {

// Name, count, bytes kept, records made and named: no more than limit + 1 records are made.
TEST(ParsePodTable, TruncatedTablesAndHugeCounts) {
    const std::tuple<const char*, int, std::size_t, std::size_t, std::size_t> rows[] = {
        {"empty source", 5, 0, 0, 0},
        {"header only", 2, 84, 2, 0},
        {"half a record", 2, 84 + 20, 2, 1},
        {"negative count", -7, 1000, 0, 0},
        {"count at the limit + 1", 32768, 1000, 32768, 3},  // the data "ab" reads as a name
        {"largest count", 0x7FFFFFFF, 1000, 32768, 3}};
    for (const auto& [what, count, cut, records, named] : rows) {
        std::string bytes = PodBytes({{"A", "a"}, {"B", "b"}});
        PutInt32(bytes.data(), count);
        bytes.resize(std::min(bytes.size(), cut));
        MemorySource source(bytes);
        PodTable table;
        ASSERT_TRUE(ParsePodTable(source, table)) << what;
        EXPECT_EQ(table.Records(), records) << what;
        std::size_t valid = 0;
        for (std::size_t n = 0; n < table.Records(); ++n)
            valid += table.Record(n).invalid ? 0 : 1;
        EXPECT_EQ(valid, named) << what;
    }
}

struct SessionFixture : CoreFixture {
    explicit SessionFixture(const std::string& bytes) { EXPECT_TRUE(Open("s.pod", bytes)); }
    std::string Read(int i) {
        std::string data;
        blocks.clear();
        result = session.ReadEntry(i, [&](std::string_view block) {
            data += block;
            blocks.push_back(block.size());
            return true;
        });
        return data;
    }
    std::vector<std::size_t> blocks;  // the block sizes the last Read was given
    Result result;                    // and what it returned
};

// Entries come in blocks; a shrunk archive gives what is left, a removed one a message.
TEST(ReadEntry, DeliversTheBytesThatTheFileNowHolds) {
    const std::size_t block = ArchiveSession::kReadBlock;
    std::string big(2 * block + 1, 'x');
    big[block] = 'y';
    SessionFixture f(PodBytes({{"EMPTY", ""}, {"BIG", big}, {"LAST", "end"}}));
    EXPECT_EQ(f.Read(1), big);
    EXPECT_EQ(f.blocks, (std::vector<std::size_t>{block, block, 1}));
    EXPECT_EQ(f.Read(0), "");
    EXPECT_TRUE(f.blocks.empty());
    int calls = 0;  // the receiver stops the read
    EXPECT_TRUE(f.session.ReadEntry(1, [&](std::string_view) { return ++calls < 2; }).IsDone());
    EXPECT_EQ(calls, 2);

    std::string bytes = ReadBytes(f.dir / "s.pod");
    bytes.resize(bytes.size() - 2);
    WriteBytes(f.dir / "s.pod", bytes);
    EXPECT_EQ(f.Read(2), "e");
    EXPECT_EQ(f.result.status, Result::Status::Refused);
    EXPECT_EQ(f.session.EntryExtent(2).length, 3) << "the range as loaded";

    fs::remove(f.dir / "s.pod");
    EXPECT_EQ(f.Read(2), "");
    EXPECT_EQ(f.result.status, Result::Status::Failed);
    EXPECT_EQ(f.result.message,
              "Cannot read " + (f.dir / "s.pod").string() + "\n\nNo such file or directory");
    EXPECT_EQ(f.session.ReadEntry(7, [](std::string_view) { return true; }).status,
              Result::Status::Refused);
}

TEST(Find, TheFirstEntryOfThatName) {
    SessionFixture f(
        PodBytes({{"A.RAW", "1"}, {"ART\\B.ACT", "2"}, {"a.raw", "3"}, {"A.RAW", "4"}}));
    EXPECT_EQ(f.session.Find("A.RAW", false), 0);
    EXPECT_EQ(f.session.Find("a.raw", false), 2);
    EXPECT_EQ(f.session.Find("a.RAW", true), 0);
    EXPECT_EQ(f.session.Find("art\\b.act", true), 1);
    EXPECT_EQ(f.session.Find("B.ACT", true), -1);
    EXPECT_EQ(f.session.Find("", true), -1);
}

TEST(BusyState, ListenersHearChangesAndACancelEndsWithTheCommand) {
    ArchiveSession session;
    std::string heard;
    session.OnBusyChanged(&heard, [&](bool busy) { heard += busy ? "busy " : "idle "; });
    session.RequestCancel();
    EXPECT_FALSE(session.CancelRequested()) << "nothing runs to be cancelled";
    {
        BusyScope scope(session);
        EXPECT_TRUE(session.IsBusy());
        session.RequestCancel();
        EXPECT_TRUE(session.CancelRequested());
    }
    EXPECT_FALSE(session.IsBusy());
    EXPECT_FALSE(session.CancelRequested());
    session.RemoveListeners(&heard);
    { BusyScope again(session); }
    EXPECT_EQ(heard, "busy idle ");
}

// A rewrite or a removal changes the archive; a reload takes the file now there.
TEST(ArchiveUnchanged, FollowsTheFileOnDisk) {
    TempDir dir;
    WriteBytes(dir / "a.pod", PodBytes({{"A", "a"}}));
    ArchiveSession session;
    StatusRow row;
    auto open = [&] {
        BusyScope busy(session);  // the file is noted as the command ends
        return session.Open(dir / "a.pod", row).IsDone();
    };
    EXPECT_TRUE(session.ArchiveUnchanged()) << "nothing open";
    ASSERT_TRUE(open());
    EXPECT_TRUE(session.ArchiveUnchanged());
    WriteBytes(dir / "a.pod", PodBytes({{"C.TXT", "changed"}}));
    EXPECT_FALSE(session.ArchiveUnchanged());
    ASSERT_TRUE(open());
    EXPECT_TRUE(session.ArchiveUnchanged());
    fs::remove(dir / "a.pod");
    EXPECT_FALSE(session.ArchiveUnchanged());
}

}  // namespace
}  // namespace karvex::test
