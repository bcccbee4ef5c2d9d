// SPDX-License-Identifier: GPL-3.0-or-later
// Editing the open archive: adding, replacing, deleting and renaming entries, written as a
// whole new archive that takes the old one's place.
#include "core/archive_edit.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <iterator>

#include "core/chunked_copy.h"
#include "core/file_io.h"
#include "core/lamp_guard.h"
#include "core/number_text.h"
#include "core/paths.h"
#include "core/pod_core.h"
#include "core/pod_format.h"
#include "core/replacing_file.h"
#include "core/target_folder.h"
#include "core/text.h"

namespace fs = std::filesystem;

namespace karvex {

bool SameEntryName(std::string_view a, std::string_view b) {
    return a.size() == b.size() && ToUpperLatin1(a) == ToUpperLatin1(b);
}

int FindEntry(const EntryTable& table, std::string_view name) {
    for (int i = 0; i < table.Count(); ++i) {
        if (SameEntryName(table.Name(i), name))
            return i;
    }
    return -1;
}

std::string NewNameProblem(std::string_view name) {
    if (name.empty())
        return "is empty";
    if (name.size() > static_cast<std::size_t>(kNameSize))
        return "is longer than 32 bytes";
    for (const char c : name) {
        // The builder's writing turns a blank into the NUL that ends the name.
        if (c == ' ')
            return "holds a blank";
        // Below 32, DEL, and Latin-1's own control characters.
        if (const auto u = static_cast<unsigned char>(c); u < 32 || (u >= 0x7F && u <= 0x9F))
            return "holds a control character";
    }
    // Extraction drops leading separators and "." parts and joins empty ones, so such a name
    // would be written where another name is.
    if (name.front() == '\\' || name.front() == '/')
        return "is absolute";
    for (std::size_t start = 0;;) {
        const std::size_t end = name.find_first_of("\\/", start);
        const std::string_view part = name.substr(start, end - start);
        if (part.empty() || part == ".")
            return "has an empty or \".\" folder part";
        if (end == std::string_view::npos)
            break;
        start = end + 1;
    }
    return UnsafeNameReason(name);
}

namespace {

using Kind = EditChange::Kind;

// An entry of the archive being made.
struct Item {
    std::string field;  // the 32 name bytes to write
    std::string name;   // the name the table shows: the field up to its first NUL
    std::int64_t size = 0;
    std::int64_t from = 0;      // where the data lies in the old archive, when `source` is empty
    fs::path source;            // the file the data comes from
    FileStamp stamp;            // that file as it was checked
    bool changed = false;       // added, replaced or renamed
    int row = -1;               // its index in the old archive; -1 when added
    std::FILE* file = nullptr;  // made data: the file `from` lies in, when not the old archive
};

// The first item named `name` (with `row` not -1, the old archive's entry `row`, when it is
// still there and named so), or items.end().
std::vector<Item>::iterator FindItem(std::vector<Item>& items, std::string_view name, int row) {
    return std::find_if(items.begin(), items.end(), [name, row](const Item& item) {
        return (row < 0 || item.row == row) && SameEntryName(item.name, name);
    });
}

// Whether `file`, open, is still the file `stamp` describes: the same file, length and time.
bool SameFile(std::FILE* file, const FileStamp& stamp) {
    struct stat info {};
    if (::fstat(fileno(file), &info) != 0)
        return false;
    return StampFrom(info) == stamp;  // a rewrite of the same length changes the time
}

}  // namespace

Result PodCore::EditArchive(const EditPlan& plan, std::vector<int>& changed) {
    LampGuard lamp(m_host);
    changed.clear();
    const fs::path path = m_state.ArchivePath();
    const std::string& lf = m_state.LineFeed;
    const std::string shown = DisplayPath(path);
    auto refuse = [&](const std::string& reason) {
        return Refuse("Cannot change " + shown + lf + lf + reason, kCaption, Icon::Exclamation);
    };
    if (m_state.PodPattern != "*.pod" || m_state.PodFileName.empty())
        return refuse("Only an archive (.pod) can be changed.");
    if (!m_loadedCleanly)
        return refuse("The archive did not load cleanly.");

    // The file is read again, and must be the one that was loaded: its 32-byte name fields
    // and comment are kept as they are stored.
    ReadFile archive;
    if (const IoStatus opened = OpenForReading(path, archive); !opened.IsDone())
        return IoError("Cannot read", shown, opened.Reason());
    struct stat info {};
    if (::fstat(fileno(archive.file.get()), &info) != 0 || StampFrom(info) != m_loaded)
        return refuse("The archive has changed on disk since it was loaded.");
    PodTable table;
    FileSource bytes(archive.file.get(), archive.length);
    if (!ParsePodTable(bytes, table))
        return IoError("Cannot read", shown, ErrorText());

    std::vector<Item> items(table.Records());
    for (std::size_t n = 0; n < items.size(); ++n) {
        const PodRecord record = table.Record(n);
        items[n] = {table.NameField(n), record.name, record.size, record.offset, {}, {}, false,
                    static_cast<int>(n)};
    }

    // The changes, on the model of the new table; a source is checked as it comes.
    auto useSource = [&](Item& item, const EditChange& change) {
        if (change.data) {
            item.source.clear();
            item.file = change.data;
            item.from = change.dataOffset;
            item.size = change.dataSize;
            item.changed = true;
            return Result::Done();
        }
        const fs::path& source = change.source;
        ReadFile in;
        const IoStatus opened = OpenForReading(source, in);
        if (opened.code() == IoStatus::Code::NotRegular)
            return refuse("The file " + DisplayPath(source) + " is not a regular file.");
        if (!opened.IsDone())
            return IoError("Cannot read", DisplayPath(source), opened.Reason());
        struct stat sourceInfo {};
        if (::fstat(fileno(in.file.get()), &sourceInfo) != 0)
            return IoError("Cannot read", DisplayPath(source), ErrorText());
        item.stamp = StampFrom(sourceInfo);
        if (item.stamp.device == m_loaded.device && item.stamp.inode == m_loaded.inode)
            return refuse("The file " + DisplayPath(source) + " is the archive itself.");
        item.source = source;
        item.size = in.length;
        item.changed = true;
        return Result::Done();
    };
    auto badName = [&](const std::string& name) {
        const std::string problem = NewNameProblem(name);
        return problem.empty() ? std::string() : "The name " + name + " " + problem + ".";
    };
    for (const EditChange& change : plan.changes) {
        m_host.Yield();
        auto found = FindItem(items, change.name, change.kind == Kind::Add ? -1 : change.row);
        const bool there = found != items.end();
        Kind kind = change.kind;
        if (kind == Kind::Add && there) {
            if (!plan.replaceExisting)
                return refuse("An entry named " + found->name + " is in the archive already.");
            kind = Kind::Replace;
        }
        if (kind != Kind::Add && !there)
            return refuse("There is no entry named " + change.name + " in the archive.");
        switch (kind) {
            case Kind::Add: {
                if (const std::string problem = badName(change.name); !problem.empty())
                    return refuse(problem);
                Item item;
                item.field = EncodeName(change.name);
                item.name = UpToNul(item.field);
                if (Result used = useSource(item, change); !used.IsDone())
                    return used;
                items.push_back(std::move(item));
                break;
            }
            case Kind::Replace:
                if (Result used = useSource(*found, change); !used.IsDone())
                    return used;
                break;
            case Kind::Delete:
                items.erase(found);
                break;
            case Kind::Rename: {
                if (const std::string problem = badName(change.newName); !problem.empty())
                    return refuse(problem);
                for (auto other = items.begin(); other != items.end(); ++other) {
                    if (other != found && SameEntryName(other->name, change.newName))
                        return refuse("An entry named " + other->name +
                                      " is in the archive already.");
                }
                found->field = EncodeName(change.newName);
                found->name = UpToNul(found->field);
                found->changed = true;
                break;
            }
        }
    }

    // The new layout: the data from the end of the table, in table order.
    if (items.empty())
        return refuse("An archive must keep at least one entry.");
    if (items.size() > static_cast<std::size_t>(kMaxEntries)) {
        return refuse("The archive would hold " +
                      FormatNumber(static_cast<std::int64_t>(items.size()), m_separator) +
                      " entries; an archive holds at most 32,767.");
    }
    std::int64_t length = kHeaderSize + std::int64_t{kRecordSize} * std::ssize(items);
    for (const Item& item : items) {
        const bool kept = item.source.empty() && !item.file;
        if (kept && (item.size < 0 || item.from < 0 || item.from + item.size > archive.length))
            return refuse("The data of the entry " + item.name +
                          " runs past the end of the archive.");
        length += item.size;
        if (length > kMaxArchiveLength)
            return refuse("The archive would be larger than 2,147,483,647 bytes.");
    }

    TargetFolder folder(path.parent_path());
    ReplacingFile out;
    if (const IoStatus started = folder.StartArchiveReplacement(path, m_loaded, out);
        !started.IsDone()) {
        if (started.code() == IoStatus::Code::Changed)
            return refuse(started.Reason());
        return IoError("Cannot write", DisplayPath(started.File()), started.Reason());
    }
    auto discard = [&out](Result result) {
        out.Abandon();
        return result;
    };
    std::string header(kHeaderSize, '\0');
    PutInt32(header.data() + kCountOffset, static_cast<std::int32_t>(items.size()));
    header.replace(kCommentOffset, kCommentSize, table.comment);
    std::int64_t offset = kHeaderSize + std::int64_t{kRecordSize} * std::ssize(items);
    for (const Item& item : items) {
        char record[kRecordSize];
        std::copy(item.field.begin(), item.field.end(), record);
        PutInt32(record + kRecordSizeField, static_cast<std::int32_t>(item.size));
        PutInt32(record + kRecordOffsetField, static_cast<std::int32_t>(offset));
        header.append(record, kRecordSize);
        offset += item.size;
    }
    if (std::fwrite(header.data(), 1, header.size(), out.File()) != header.size())
        return discard(IoError("Cannot write", shown, ErrorText()));

    offset = static_cast<std::int64_t>(header.size());
    for (std::size_t n = 0, next = 0; n < items.size(); n = next) {
        const Item& item = items[n];
        // Entries whose data lies one after the other in the old archive go in one copy.
        std::int64_t size = 0;
        for (next = n; next < items.size(); ++next) {
            const Item& joined = items[next];
            if (next > n && (!item.source.empty() || !joined.source.empty() ||
                             joined.file != item.file || joined.from != item.from + size))
                break;
            if (joined.changed)
                changed.push_back(static_cast<int>(next));
            size += joined.size;
        }
        ReadFile in;
        std::FILE* from = item.file ? item.file : archive.file.get();
        std::int64_t position = item.from;
        if (!item.source.empty()) {
            const std::string source = DisplayPath(item.source);
            if (const IoStatus opened = OpenForReading(item.source, in); !opened.IsDone())
                return discard(IoError("Cannot read", source, opened.Reason()));
            if (!SameFile(in.file.get(), item.stamp))
                return discard(refuse("The file " + source + " changed while it was added."));
            from = in.file.get();
            position = 0;
        }
        const IoStatus copied = SpanCopy(from, position, out.File(), offset, size, m_host);
        const std::string read = !item.source.empty() ? DisplayPath(item.source)
                                 : item.file          ? std::string("the imported data")
                                                      : shown;
        if (copied.code() == IoStatus::Code::Cancelled)
            return discard(Result::Cancelled());
        if (copied.code() == IoStatus::Code::ReadFailed)
            return discard(IoError("Cannot read", read, copied.Reason()));
        if (!copied.IsDone())
            return discard(IoError("Cannot write", shown, copied.Reason()));
        // A file that grew while it was copied would be added cut short.
        if (in.file && !SameFile(in.file.get(), item.stamp))
            return discard(refuse("The file " + read + " changed while it was added."));
        offset += size;
    }
    if (const IoStatus committed = out.Commit(); !committed.IsDone()) {
        changed.clear();
        if (committed.code() == IoStatus::Code::Changed)
            return refuse(committed.Reason());
        return IoError("Cannot write", shown, committed.Reason());
    }
    return Result::Done();
}

IoStatus EditData::Put(std::string_view bytes, EditChange& change) {
    if (!m_file) {
        // Unnamed, and gone as soon as it is closed: nobody else can open it.
        const int fd = m_folder.empty() ? -1
                                        : ::open(m_folder.c_str(),
                                                 O_TMPFILE | O_RDWR | O_EXCL | O_CLOEXEC, 0600);
        m_file.reset(fd >= 0 ? ::fdopen(fd, "w+b") : std::tmpfile());
        if (!m_file) {
            if (fd >= 0)
                ::close(fd);
            return IoStatus::FromErrno(IoStatus::Code::WriteFailed);
        }
    }
    if (!SeekTo(m_file.get(), m_end).IsDone() ||
        std::fwrite(bytes.data(), 1, bytes.size(), m_file.get()) != bytes.size() ||
        std::fflush(m_file.get()) != 0)
        return IoStatus::FromErrno(IoStatus::Code::WriteFailed);
    change.data = m_file.get();
    change.dataOffset = m_end;
    change.dataSize = static_cast<std::int64_t>(bytes.size());
    m_end += change.dataSize;
    return IoStatus::Done();
}

Result PodCore::EditCommand(const EditPlan& plan, StatusRow& row, std::vector<int>& changed) {
    const std::string statusBefore = m_status;
    SetStatus(kProcessingText);
    const Result result = EditArchive(plan, changed);
    if (!result.IsDone()) {
        changed.clear();
        SetStatus(result.status == Result::Status::Cancelled ? kCancelledText : statusBefore);
        return result;
    }
    Result reloaded = OpenPodSequence(row);
    if (!reloaded.IsDone())
        changed.clear();
    return reloaded;
}

}  // namespace karvex
