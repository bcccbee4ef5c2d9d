// SPDX-License-Identifier: GPL-3.0-or-later
// Replacing the open archive itself: the new archive is written beside the old one and put
// into place only while the old one is still the file that was loaded.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "core/chunked_copy.h"
#include "core/pod_format.h"
#include "core/target_folder.h"
#include "tests/core/test_support.h"

namespace fs = std::filesystem;

namespace karvex::test {
namespace {

std::uint64_t InodeOf(const fs::path& path) {
    struct stat info {};
    ::lstat(path.c_str(), &info);
    return info.st_ino;
}

// The loaded archive's header and table as they are, then each entry's bytes, from the old
// file into the new one.
IoStatus WriteSameEntries(CoreFixture& f, const fs::path& archive, ReplacingFile& out) {
    ReadFile in;
    if (IoStatus opened = OpenForReading(archive, in); !opened.IsDone())
        return opened;
    const std::int64_t table = kHeaderSize + kRecordSize * std::int64_t{f.table.Count()};
    IoStatus copied =
        ChunkedCopy(in.file.get(), 0, out.File(), 0, table, ChunkRule::AtLeast, f.host);
    for (int i = 0; i < f.table.Count() && copied.IsDone(); ++i) {
        copied = ChunkedCopy(in.file.get(), f.table.OffsetOf(i), out.File(), f.table.OffsetOf(i),
                             f.table.SizeOf(i), ChunkRule::AtLeast, f.host);
    }
    return copied;
}

// The archive is opened directly or through a link, and before the commit it is left alone,
// grown, touched or swapped for a copy: only an untouched archive is replaced.
TEST(ReplaceArchive, WritesTheSameEntriesBackOrLeavesEverythingAsItWas) {
    using Change = void (*)(const fs::path& archive);
    const Change untouched = [](const fs::path&) {};
    const struct {
        const char* name;
        bool throughLink;  // the archive was opened through a link
        Change meanwhile;  // what happens to it before the commit
        IoStatus::Code code;
    } rows[] = {{"rewritten", false, untouched, IoStatus::Code::Done},
                {"through a link", true, untouched, IoStatus::Code::Done},
                {"grown meanwhile", false,
                 [](const fs::path& archive) { WriteBytes(archive, ReadBytes(archive) + "x"); },
                 IoStatus::Code::Changed},
                {"touched meanwhile", false,
                 [](const fs::path& archive) {
                     const timespec times[2] = {{0, UTIME_OMIT}, {12345, 0}};
                     ::utimensat(AT_FDCWD, archive.c_str(), times, 0);
                 },
                 IoStatus::Code::Changed},
                {"swapped meanwhile", true,
                 [](const fs::path& archive) {
                     const std::string bytes = ReadBytes(archive);
                     fs::remove(archive);
                     WriteBytes(archive, bytes);  // the same bytes, another file
                 },
                 IoStatus::Code::Changed}};
    const std::string bytes = PodBytes({{"A.TXT", "alpha"}, {"SUB\\B.TXT", "beta"}}, "note");
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        CoreFixture f;
        const fs::path real = f.dir / "real" / "GAME.POD";
        WriteBytes(real, bytes);
        if (row.throughLink)
            fs::create_symlink(real, f.dir / "GAME.POD");
        f.state.PodFolder = row.throughLink ? f.dir.path().string() : (f.dir / "real").string();
        ASSERT_TRUE(f.Open("GAME.POD"));
        const fs::path opened = f.state.ArchivePath();
        FileStamp loaded;
        ASSERT_TRUE(StampOf(opened, loaded).IsDone());
        const std::uint64_t oldInode = InodeOf(real);

        TargetFolder folder(f.state.PodFolder);
        ReplacingFile out;
        ASSERT_TRUE(folder.StartArchiveReplacement(opened, loaded, out).IsDone());
        ASSERT_TRUE(WriteSameEntries(f, opened, out).IsDone());
        row.meanwhile(real);
        const std::string before = ReadBytes(real);
        const IoStatus committed = out.Commit();

        EXPECT_EQ(committed.code(), row.code) << committed.Reason();
        if (row.code == IoStatus::Code::Done) {
            EXPECT_EQ(ReadBytes(real), bytes);
            EXPECT_NE(InodeOf(real), oldInode) << "a new file, put into place whole";
        } else {
            EXPECT_EQ(committed.Reason(), "The archive has changed on disk since it was loaded.");
            EXPECT_EQ(ReadBytes(real), before);
        }
        if (row.throughLink) {
            EXPECT_TRUE(fs::is_symlink(f.dir / "GAME.POD")) << "edited at the link's target";
        }
        EXPECT_EQ(std::distance(fs::directory_iterator(f.dir / "real"), fs::directory_iterator()),
                  1)
            << "no temporary left";
    }
}

}  // namespace
}  // namespace karvex::test
