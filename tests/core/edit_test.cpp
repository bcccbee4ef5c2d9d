// SPDX-License-Identifier: GPL-3.0-or-later
// Editing the open archive: the results against archives laid out here, and every refusal.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <functional>

#include "core/archive_edit.h"
#include "core/pod_format.h"
#include "tests/core/test_support.h"

namespace fs = std::filesystem;

namespace karvex::test {
namespace {

using namespace std::string_literals;
using Kind = EditChange::Kind;

// The name bytes after the NUL and the comment's are kept as stored, as is the odd case.
const std::string kComment = "hello\0junk"s;
const std::vector<PodEntry> kOld = {
    {"A.RAW", "aaaa"}, {"b.txt\0xyz"s, "bee"}, {"C\\D.WAV", "cc"}, {"\xC9.RAW", "e"}};

struct EditFixture : CoreFixture {
    explicit EditFixture(const std::vector<PodEntry>& entries = kOld) {
        old = PodBytes(entries, kComment);
        WriteBytes(pod(), old);
        WriteBytes(dir / "new.txt", "NEW DATA");
        WriteBytes(dir / "two.bin", "22");
        Open("a.pod");
        host.messages.clear();
    }
    fs::path pod() const { return dir / "a.pod"; }
    // Sources are named relative to the test's folder; `command`: through the Edit command.
    Result Edit(std::vector<EditChange> changes, bool replace = false, bool command = false) {
        for (EditChange& change : changes) {
            if (!change.source.empty())
                change.source = dir / change.source;
        }
        return command ? core.EditCommand({std::move(changes), replace}, row, changed)
                       : core.EditArchive({std::move(changes), replace}, changed);
    }
    std::string old;
    std::vector<int> changed;
};

// A null `source`: the data is to be put in with EditData.
EditChange Add(std::string name, const char* source = "new.txt") {
    return {Kind::Add, std::move(name), {}, source ? source : ""};
}
EditChange Replace(std::string name, const char* source) {
    return {Kind::Replace, std::move(name), {}, source ? source : ""};
}
EditChange Delete(std::string name, int row = -1) {
    return {Kind::Delete, std::move(name), {}, {}, row};
}
EditChange Rename(std::string name, std::string to, int row = -1) {
    return {Kind::Rename, std::move(name), std::move(to), {}, row};
}

struct Row {
    const char* what;
    std::vector<EditChange> changes;
    bool replace;
    std::vector<PodEntry> result;
    std::vector<int> changed;
};

TEST(EditArchive, WritesTheArchiveAsLaidOutByHand) {
    const std::string longest = "32-BYTES-NAME-IS-THE-LONGEST.OK!";
    const PodEntry added{"NEW.TXT", "NEW DATA"};
    // clang-format off
    const Row rows[] = {
        {"add", {Add("new.txt"), Add("sub\\Two.bin", "two.bin")}, false,
         {kOld[0], kOld[1], kOld[2], kOld[3], added, {"SUB\\TWO.BIN", "22"}}, {4, 5}},
        {"replace in place", {Add("B.TXT")}, true,
         {kOld[0], {"b.txt\0xyz"s, "NEW DATA"}, kOld[2], kOld[3]}, {1}},
        {"replace a Latin-1 name", {Replace("\xE9.raw", "two.bin")}, false,
         {kOld[0], kOld[1], kOld[2], {"\xC9.RAW", "22"}}, {3}},
        {"delete", {Delete("a.raw"), Delete("C\\d.wav")}, false, {kOld[1], kOld[3]}, {}},
        {"rename", {Rename("c\\d.wav", "snd\\x.wav")}, false,
         {kOld[0], kOld[1], {"SND\\X.WAV", "cc"}, kOld[3]}, {2}},
        {"rename to the same name", {Rename("b.txt", "b.txt")}, false,
         {kOld[0], {"B.TXT", "bee"}, kOld[2], kOld[3]}, {1}},
        {"all at once", {Delete("A.RAW"), Add("Z.BIN", "two.bin"), Rename("Z.BIN", "Y.BIN"),
                         Replace("c\\D.WAV", "new.txt"), Rename("B.TXT", longest)}, false,
         {{longest, "bee"}, {"C\\D.WAV", "NEW DATA"}, kOld[3], {"Y.BIN", "22"}}, {0, 1, 3}},
    };
    // clang-format on
    for (const Row& row : rows) {
        EditFixture f;
        ::chmod(f.pod().c_str(), 0640);
        ASSERT_TRUE(f.Edit(row.changes, row.replace).IsDone()) << row.what << f.Messages();
        EXPECT_EQ(ReadBytes(f.pod()), PodBytes(row.result, kComment)) << row.what;
        EXPECT_EQ(f.changed, row.changed) << row.what;
        struct stat info {};
        ::stat(f.pod().c_str(), &info);
        EXPECT_EQ(info.st_mode & 07777, 0640u) << row.what;
        EXPECT_EQ(FilesIn(f.dir.path()), 3u) << row.what;  // no temporary left
    }
}

// Data the program made comes from one temporary file, the entries' ranges of it one after
// the other, beside data from files.
TEST(EditArchive, PutsInDataTheProgramMade) {
    EditFixture f;
    EditData data;
    std::vector<EditChange> changes = {Replace("a.raw", nullptr), Add("X"), Add("Y", nullptr),
                                       Add("Z", nullptr)};
    for (auto [at, bytes] : {std::pair{0, "made"}, {2, ""}, {3, "more"}})
        ASSERT_TRUE(data.Put(bytes, changes[static_cast<std::size_t>(at)]).IsDone());
    ASSERT_TRUE(f.Edit(changes).IsDone()) << f.Messages();
    EXPECT_EQ(ReadBytes(f.pod()), PodBytes({{"A.RAW", "made"},
                                            kOld[1],
                                            kOld[2],
                                            kOld[3],
                                            {"X", "NEW DATA"},
                                            {"Y", ""},
                                            {"Z", "more"}},
                                           kComment));
    EXPECT_EQ(f.changed, (std::vector<int>{0, 4, 5, 6}));
}

// Shared data is written once for each entry; bytes no entry holds are left behind.
TEST(EditArchive, CopiesEachEntrysRangeOnItsOwn) {
    std::string bytes = PodBytes({}, "c");
    PutInt32(bytes.data(), 2);
    bytes += Record("ONE", 3, 164) + Record("TWO", 3, 164) + "ABCgap";
    EditFixture f;
    ASSERT_TRUE(f.Open("a.pod", bytes));
    ASSERT_TRUE(f.Edit({Rename("ONE", "UNO")}).IsDone()) << f.Messages();
    EXPECT_EQ(ReadBytes(f.pod()), PodBytes({{"UNO", "ABC"}, {"TWO", "ABC"}}, "c"));
}

// The window names the row chosen, which an entry of the same name may come before; the
// comment rewritten in place before is no change of someone else's.
TEST(EditArchive, ChangesTheRowChosen) {
    const std::vector<PodEntry> twice = {{"A.RAW", "1"}, {"B", "2"}, {"a.raw", "3"}};
    for (const auto& [change, result] :
         {std::pair{Delete("A.RAW", 2), std::vector<PodEntry>{twice[0], twice[1]}},
          std::pair{Rename("A.RAW", "C", 2), std::vector<PodEntry>{twice[0], twice[1], {"C", "3"}}},
          std::pair{Delete("A.RAW"), std::vector<PodEntry>{twice[1], twice[2]}}}) {
        EditFixture f(twice);
        ASSERT_TRUE(f.core.RewriteComment("new").IsDone());
        ASSERT_TRUE(f.Edit({change}).IsDone()) << f.Messages();
        EXPECT_EQ(ReadBytes(f.pod()), PodBytes(result, "new"));
    }
}

TEST(EditArchive, RefusesAndLeavesTheArchiveAsItWas) {
    const std::string lf = "\n\n", l33(33, 'L');
    using enum Result::Status;
    // clang-format off
    const std::tuple<std::vector<EditChange>, Result::Status, std::string> rows[] = {
        {{Delete("X.RAW")}, Refused, "There is no entry named X.RAW in the archive."},
        {{Delete("A.RAW"), Delete("A.RAW")}, Refused,
         "There is no entry named A.RAW in the archive."},
        {{Add("a.raw")}, Refused, "An entry named A.RAW is in the archive already."},
        {{Rename("A.RAW", "\xE9.RAW")}, Refused,
         "An entry named \xC9.RAW is in the archive already."},
        {{Rename("X.RAW", "Y")}, Refused, "There is no entry named X.RAW in the archive."},
        {{Add(l33)}, Refused, "The name " + l33 + " is longer than 32 bytes."},
        {{Add("MY FILE")}, Refused, "The name MY FILE holds a blank."},
        {{Add("")}, Refused, "The name  is empty."},
        {{Add("A\tB")}, Refused, "The name A\tB holds a control character."},
        {{Add("A\x7F")}, Refused, "The name A\x7F holds a control character."},
        {{Rename("A.RAW", "\x9F")}, Refused, "The name \x9F holds a control character."},
        {{Delete("A.RAW", 1)}, Refused, "There is no entry named A.RAW in the archive."},
        {{Add("\\ROOT")}, Refused, "The name \\ROOT is absolute."},
        {{Add("A\\\\B")}, Refused, "The name A\\\\B has an empty or \".\" folder part."},
        {{Add("A\\.\\B")}, Refused, "The name A\\.\\B has an empty or \".\" folder part."},
        {{Add("..\\UP")}, Refused, "The name ..\\UP leads out of the folder."},
        {{Add("C:X")}, Refused, "The name C:X names a drive."},
        {{Delete("A.RAW"), Delete("B.TXT"), Delete("C\\D.WAV"), Delete("\xC9.RAW")},
         Refused, "An archive must keep at least one entry."},
        {{Add("F", "fifo")}, Refused, "The file DIR/fifo is not a regular file."},
        {{Add("S", "a.pod")}, Refused, "The file DIR/a.pod is the archive itself."},
        {{Add("L", "link")}, Refused, "The file DIR/link is the archive itself."},
        {{Add("H", "huge")}, Refused, "The archive would be larger than 2,147,483,647 bytes."},
        {{Add("N", "none")}, Failed, "Cannot read DIR/none" + lf + "No such file or directory"},
    };
    // clang-format on
    for (const auto& [changes, status, message] : rows) {
        EditFixture f;
        ::mkfifo((f.dir / "fifo").c_str(), 0600);
        fs::create_symlink("a.pod", f.dir / "link");
        WriteBytes(f.dir / "huge", "");
        fs::resize_file(f.dir / "huge", std::uintmax_t{1} << 31);  // sparse
        const Result result = f.Edit(changes);
        std::string expected = message;
        if (const auto at = expected.find("DIR"); at != std::string::npos)
            expected.replace(at, 3, f.dir.path().string());
        if (status == Result::Status::Refused)
            expected = "Cannot change " + f.pod().string() + lf + expected;
        EXPECT_EQ(result.status, status) << message;
        EXPECT_EQ(f.Messages(), expected);
        EXPECT_EQ(ReadBytes(f.pod()), f.old) << message;
        EXPECT_TRUE(f.changed.empty());
    }
}

// The archive as loaded is what is edited: another file, a load that failed or data that
// runs past the end cannot be kept faithfully.
TEST(EditArchive, RefusesAnArchiveThatCannotBeKeptFaithfully) {
    std::string pastEnd = PodBytes({{"A", "aa"}, {"B", "b"}}, "");
    PutInt32(pastEnd.data() + 84 + 40 + 32, 5);
    // clang-format off
    const std::tuple<const char*, std::function<void(EditFixture&)>, const char*> rows[] = {
        {"changed", [](EditFixture& f) { WriteBytes(f.pod(), f.old + "x"); },
         "The archive has changed on disk since it was loaded."},
        {"invalid name", [](EditFixture& f) { f.Open("a.pod", PodBytes({{"", "x"}}, "")); },
         "The archive did not load cleanly."},
        {"past the end", [&](EditFixture& f) { f.Open("a.pod", pastEnd); },
         "The data of the entry B runs past the end of the archive."},
        {"response file", [](EditFixture& f) { f.Open("a.lst", "new.txt\r\n"); },
         "Only an archive (.pod) can be changed."}};
    // clang-format on
    for (const auto& [what, spoil, reason] : rows) {
        EditFixture f;
        spoil(f);
        const std::string before = ReadBytes(f.pod());
        f.host.messages.clear();
        EXPECT_EQ(f.Edit({Delete("A")}).status, Result::Status::Refused) << what;
        EXPECT_NE(f.Messages().find(reason), std::string::npos) << f.Messages();
        EXPECT_EQ(ReadBytes(f.pod()), before) << what;
    }
}

TEST(EditArchive, KeepsAtMost32767Entries) {
    std::vector<PodEntry> entries(32766);
    for (std::size_t i = 0; i < entries.size(); ++i)
        entries[i].name = "E" + std::to_string(i);
    EditFixture f(entries);
    ASSERT_TRUE(f.Edit({Add("LAST", "two.bin")}).IsDone()) << f.Messages();
    ASSERT_TRUE(f.Open("a.pod"));
    const std::string full = ReadBytes(f.pod());
    EXPECT_EQ(f.Edit({Add("MORE", "two.bin")}).status, Result::Status::Refused);
    EXPECT_NE(f.Messages().find("The archive would hold 32,768 entries; an archive holds at most "
                                "32,767."),
              std::string::npos);
    EXPECT_EQ(ReadBytes(f.pod()), full);
}

// A source that shrinks, grows or is rewritten while it is copied would be added wrong: nothing is
// written.
TEST(EditArchive, RefusesASourceThatChangesWhileItIsCopied) {
    const std::tuple<const char*, std::function<void(const fs::path&)>, Result::Status, const char*>
        rows[] = {
            {"shrinks", [](const fs::path& p) { fs::resize_file(p, 10); }, Result::Status::Failed,
             "The file ended early."},
            {"grows", [](const fs::path& p) { WriteBytes(p, std::string(200000, 'g')); },
             Result::Status::Refused, "changed while it was added."},
            {"rewritten",
             [](const fs::path& p) {
                 WriteBytes(p, std::string(100000, 'r'));
                 fs::last_write_time(p, fs::last_write_time(p) + std::chrono::seconds(1));
             },
             Result::Status::Refused, "changed while it was added."},
        };
    for (const auto& [what, change, status, reason] : rows) {
        EditFixture f(std::vector<PodEntry>{{"E", ""}});
        const fs::path source = f.dir / "big";
        WriteBytes(source, std::string(100000, 's'));
        const long start = f.host.yields;
        f.host.onYield = [&, change = change] {
            if (f.host.yields == start + 2)  // the first chunk of the source
                change(source);
        };
        EXPECT_EQ(f.Edit({{Kind::Add, "BIG", {}, source}}).status, status) << what;
        EXPECT_NE(f.Messages().find(reason), std::string::npos) << f.Messages();
        EXPECT_EQ(ReadBytes(f.pod()), f.old) << what;
        EXPECT_EQ(FilesIn(f.dir.path()), 4u) << what;
    }
}

// The command: "Processing..." while it runs, then the archive reloaded and its comment shown;
// cancelled, the old archive stays open and "Cancelled." is shown.
TEST(EditCommand, ReloadsTheArchiveOrLeavesItAsItWas) {
    EditFixture f;
    EXPECT_TRUE(f.Edit({Add("N")}, false, true).IsDone());
    EXPECT_EQ(f.host.statuses.back(), "hello");
    EXPECT_EQ(f.table.Count(), 5);
    EXPECT_EQ(f.table.Name(4), "N");
    EXPECT_EQ(f.changed, std::vector<int>{4});
    const std::string edited = ReadBytes(f.pod());
    f.host.statuses.clear();
    f.host.cancelAfterYields = f.host.yields + 2;
    EXPECT_EQ(f.Edit({Add("M")}, false, true).status, Result::Status::Cancelled);
    EXPECT_EQ(f.host.statuses, (std::vector<std::string>{kProcessingText, kCancelledText}));
    EXPECT_EQ(ReadBytes(f.pod()), edited);
    EXPECT_EQ(f.table.Count(), 5);
    EXPECT_TRUE(f.changed.empty());
    EXPECT_EQ(FilesIn(f.dir.path()), 3u);
}

TEST(NewNameProblem, AcceptsFolderPartsAndEvery8BitLetter) {
    for (const char* name :
         {"A", "SOUNDS\\HORN.WAV", "a/b", "\xE9\xFF.RAW", "x~!#$%&'()+,;=@[]^_`{}"})
        EXPECT_EQ(NewNameProblem(name), "") << name;
}

}  // namespace
}  // namespace karvex::test
