// SPDX-License-Identifier: GPL-3.0-or-later
// Editing an archive made from the input: a small table of any shape (overlapping data,
// names twice over or differing in case, blank, long and odd names) and a plan of one to six
// adds, replaces, deletes and renames. A finished edit must leave exactly the archive that an
// in-memory model of the same plan lays out; any other ending must leave the archive as it
// was. Either way nothing else below the scratch folder may change.
#include <cstddef>
#include <cstdint>
#include <iterator>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/archive_edit.h"
#include "core/archive_session.h"
#include "core/pod_format.h"
#include "core/text.h"
#include "fuzz/fuzz_support.h"

using namespace karvex;
namespace fs = std::filesystem;

namespace {

// Inputs larger than this are skipped: the archives made from them stay small anyway.
constexpr std::size_t kMaxInput = 4096;
// A mode no new file gets by default, to see that the edit keeps it.
constexpr fs::perms kArchiveMode = fs::perms::owner_read | fs::perms::owner_write |
                                   fs::perms::group_read | fs::perms::others_read |
                                   fs::perms::others_write;

// The input read front to back, then on past its end as bytes that follow from it (zeros
// would give every short input the same names and sizes).
class Input {
  public:
    explicit Input(std::string_view bytes) : m_bytes(bytes) {
        for (const char c : bytes)
            m_state = (m_state ^ static_cast<unsigned char>(c)) * 16777619u;
    }
    unsigned Byte() {
        if (m_at < m_bytes.size())
            return static_cast<unsigned char>(m_bytes[m_at++]);
        m_state = m_state * 1103515245u + 12345u;
        return m_state >> 24;
    }
    unsigned Below(unsigned n) { return Byte() % n; }
    std::string Bytes(std::size_t n) {
        std::string text;
        for (std::size_t i = 0; i < n; ++i)
            text += static_cast<char>(Byte());
        return text;
    }

  private:
    std::string_view m_bytes;
    std::size_t m_at = 0;
    std::uint32_t m_state = 2166136261u;
};

// Bytes that differ from run to run of a seed, without using up the input.
std::string Pattern(unsigned seed, std::size_t length) {
    std::string bytes(length, '\0');
    std::uint32_t state = seed * 2654435761u + 1;
    for (char& c : bytes) {
        state = state * 1103515245u + 12345u;
        c = static_cast<char>(state >> 24);
    }
    return bytes;
}

// Plain, nested and Latin-1 names in both cases, and names the edit must refuse to write.
// clang-format off
const std::string_view kNames[] = {
    "A.RAW", "a.raw", "ART\\BOX.RAW", "art\\Box.raw", "\xC9T\xC9.RAW", "\xE9t\xE9.raw",
    "MY FILE.RAW", " ", "", "ABCDEFGHIJKLMNOPQRSTUVWXYZ012345", "TRAIL.", "LAST\\",
    "abcdefghijklmnopqrstuvwxyz0123456", "..\\UP.RAW", "\\ROOT.RAW", "A\\\\B.RAW",
    ".\\DOT.RAW", "TAB\tX", "C:\\D.RAW", "\xFF\xF7\xDF", "\xD7", "SUB/SLASH.RAW", "x", "CON"};
// clang-format on

// A name: one of `known` (or it in the other letter case, or grown by a letter), a plain
// new one, raw bytes or one from the list. `fresh` makes a new name likelier than a known one.
std::string PickName(Input& in, const std::vector<std::string>& known, bool fresh) {
    unsigned how = in.Below(16);
    if (fresh)
        how = how < 2 ? how : how < 11 ? 12 : how + 2;
    if (known.empty() && how < 12)
        how = 12;
    if (how < 12) {
        std::string name = known[in.Below(static_cast<unsigned>(known.size()))];
        if (how >= 9) {
            for (char& c : name) {
                const unsigned u = static_cast<unsigned char>(c);
                if ((u >= 'A' && u <= 'Z') || (u >= 0xC0 && u <= 0xDE && u != 0xD7))
                    c = static_cast<char>(u + 0x20);
                else if ((u >= 'a' && u <= 'z') || (u >= 0xE0 && u <= 0xFE && u != 0xF7))
                    c = static_cast<char>(u - 0x20);
            }
        }
        return name;
    }
    if (how == 12)
        return "F" + std::to_string(in.Byte() * 4 + in.Below(4)) + ".RAW";
    if (how == 13)
        return in.Bytes(in.Below(36));
    if (how == 14)
        return known.empty() ? "X" : known[in.Below(static_cast<unsigned>(known.size()))] + "X";
    return std::string(kNames[in.Below(std::size(kNames))]);
}

void PutLe32(std::string& bytes, std::size_t at, std::int64_t value) {
    const auto v = static_cast<std::uint32_t>(value);
    for (int i = 0; i < 4; ++i)
        bytes[at + i] = static_cast<char>(v >> (8 * i));
}

// The archive: header, table and data of the input's choosing. Sets `names` to the names
// written, which the plan then draws from.
std::string MakeArchive(Input& in, std::vector<std::string>& names) {
    const int records = static_cast<int>(in.Below(9));
    const std::int64_t tableEnd = kHeaderSize + std::int64_t{kRecordSize} * records;
    // Room for every entry laid out as the builder lays them out, and some more.
    const std::size_t dataSize = 40 * static_cast<std::size_t>(records) + in.Below(64);
    const std::int64_t length = tableEnd + static_cast<std::int64_t>(dataSize);
    std::string bytes(static_cast<std::size_t>(tableEnd), '\0');
    // The count mostly tells the truth; otherwise the table runs into the data or stops short.
    const unsigned lie = in.Below(16);
    PutLe32(bytes, kCountOffset, lie == 0 ? records + 1 : lie == 1 ? records - 1 : records);
    const std::string comment = in.Bytes(in.Below(24));
    bytes.replace(kCommentOffset, comment.size(), comment);
    if (in.Below(4) == 0)
        bytes[kCommentOffset + kCommentSize - 1] = 'Z';  // past the NUL that ends the text

    std::int64_t next = tableEnd;
    std::int32_t previous = static_cast<std::int32_t>(tableEnd);
    for (int n = 0; n < records; ++n) {
        const std::size_t at = kHeaderSize + static_cast<std::size_t>(n) * kRecordSize;
        const std::string name = PickName(in, names, true).substr(0, kNameSize);
        names.push_back(name);
        bytes.replace(at, name.size(), name);
        // Bytes after the NUL that ends the name, which an entry kept must keep.
        if (name.size() + 1 < kNameSize && in.Below(4) == 0)
            bytes[at + kNameSize - 1] = static_cast<char>(in.Byte() | 1);
        const unsigned sizeHow = in.Below(32);
        std::int64_t size = in.Below(40);
        if (sizeHow == 30)
            size = -1 - std::int64_t{in.Byte()};  // negative
        else if (sizeHow == 31)
            size = std::int64_t{in.Byte()} * 1000;  // most likely past the end
        // The builder's layout, or overlapping the data before, anywhere in the data, past
        // the end or in the table.
        std::int64_t offset = next;
        const unsigned where = in.Below(32);
        if (where == 28)
            offset = previous;
        else if (where == 29)
            offset = tableEnd + in.Below(static_cast<unsigned>(dataSize) + 1);
        else if (where == 30)
            offset = length + in.Byte();
        else if (where == 31)
            offset = in.Below(static_cast<unsigned>(tableEnd));
        else
            next += size > 0 ? size : 0;
        PutLe32(bytes, at + kRecordSizeField, size);
        PutLe32(bytes, at + kRecordOffsetField, offset);
        previous = static_cast<std::int32_t>(offset);
    }
    return bytes + Pattern(in.Byte(), dataSize);
}

// What a change's source is: a file of its own with these bytes, the archive, or a folder.
struct Source {
    enum class Kind { File, Archive, Folder } kind = Kind::File;
    std::string bytes;
};

struct ModelEntry {
    std::string field;  // the 32 name bytes
    std::string name;   // the field up to its first NUL
    std::int64_t size = 0;
    std::int64_t from = 0;             // where the data lies in the old archive, unless `added`
    std::optional<std::string> added;  // the data from a source file
    bool changed = false;
};

// The archive `plan` turns `old` into, or the reason the edit must be refused.
struct Outcome {
    std::string refusal;  // empty when the edit is to be done
    std::string bytes;
    std::vector<int> changed;
};

Outcome Refusal(std::string why) {
    Outcome out;
    out.refusal = std::move(why);
    return out;
}

Outcome Model(std::string_view old, const EditPlan& plan, const std::vector<Source>& sources) {
    std::vector<ModelEntry> entries;
    const std::int32_t count = GetInt32(old.data() + kCountOffset);
    for (std::int32_t n = 0; n < count; ++n) {
        const std::size_t at = kHeaderSize + static_cast<std::size_t>(n) * kRecordSize;
        std::string record(kRecordSize, '\0');
        for (std::size_t i = 0; i < record.size() && at + i < old.size(); ++i)
            record[i] = old[at + i];
        const std::string field = record.substr(0, kNameSize);
        entries.push_back({field, UpToNul(field), GetInt32(record.data() + kRecordSizeField),
                           GetInt32(record.data() + kRecordOffsetField), std::nullopt, false});
    }
    auto find = [&entries](std::string_view name) {
        for (std::size_t i = 0; i < entries.size(); ++i) {
            if (SameEntryName(entries[i].name, name))
                return static_cast<int>(i);
        }
        return -1;
    };
    auto take = [](ModelEntry& entry, const Source& source) {
        if (source.kind != Source::Kind::File)
            return false;
        entry.added = source.bytes;
        entry.size = static_cast<std::int64_t>(source.bytes.size());
        entry.changed = true;
        return true;
    };
    for (std::size_t c = 0; c < plan.changes.size(); ++c) {
        const EditChange& change = plan.changes[c];
        const int found = find(change.name);
        EditChange::Kind kind = change.kind;
        if (kind == EditChange::Kind::Add && found >= 0) {
            if (!plan.replaceExisting)
                return Refusal("an entry of the name to add is there");
            kind = EditChange::Kind::Replace;
        }
        if (kind != EditChange::Kind::Add && found < 0)
            return Refusal("no entry of the name");
        switch (kind) {
            case EditChange::Kind::Add: {
                if (!NewNameProblem(change.name).empty())
                    return Refusal("a bad name to add");
                ModelEntry entry;
                entry.field = EncodeName(change.name);
                entry.name = UpToNul(entry.field);
                if (!take(entry, sources[c]))
                    return Refusal("a source that is no file of its own");
                entries.push_back(entry);
                break;
            }
            case EditChange::Kind::Replace:
                if (!take(entries[found], sources[c]))
                    return Refusal("a source that is no file of its own");
                break;
            case EditChange::Kind::Delete:
                entries.erase(entries.begin() + found);
                break;
            case EditChange::Kind::Rename:
                if (!NewNameProblem(change.newName).empty())
                    return Refusal("a bad new name");
                for (std::size_t i = 0; i < entries.size(); ++i) {
                    if (static_cast<int>(i) != found &&
                        SameEntryName(entries[i].name, change.newName))
                        return Refusal("the new name is taken");
                }
                entries[found].field = EncodeName(change.newName);
                entries[found].name = UpToNul(entries[found].field);
                entries[found].changed = true;
                break;
        }
    }
    if (entries.empty())
        return Refusal("no entry left");

    Outcome out;
    out.bytes.assign(kHeaderSize, '\0');
    PutLe32(out.bytes, kCountOffset, static_cast<std::int64_t>(entries.size()));
    out.bytes.replace(kCommentOffset, kCommentSize, old.substr(kCommentOffset, kCommentSize));
    std::int64_t offset = kHeaderSize + std::int64_t{kRecordSize} * std::ssize(entries);
    std::string data;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const ModelEntry& entry = entries[i];
        if (!entry.added) {
            const auto end = static_cast<std::int64_t>(old.size());
            if (entry.size < 0 || entry.from < 0 || entry.from + entry.size > end)
                return Refusal("kept data past the end");
            data += old.substr(static_cast<std::size_t>(entry.from),
                               static_cast<std::size_t>(entry.size));
        } else {
            data += *entry.added;
        }
        std::string record = entry.field + std::string(8, '\0');
        PutLe32(record, kRecordSizeField, entry.size);
        PutLe32(record, kRecordOffsetField, offset);
        out.bytes += record;
        offset += entry.size;
        if (entry.changed)
            out.changed.push_back(static_cast<int>(i));
    }
    out.bytes += data;
    return out;
}

const char* const kStatusNames[] = {"done", "refused", "cancelled", "failed"};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > kMaxInput)
        return 0;
    Input in(fuzz::AsText(data, size));
    fuzz::Scratch& scratch = fuzz::Scratch::Get();
    const fs::path run = scratch.NewRun();
    const fs::path archive = run / "FUZZ.POD";

    std::vector<std::string> names;
    const std::string old = MakeArchive(in, names);
    fuzz::WriteFile(archive, old);
    fs::permissions(archive, kArchiveMode);

    EditPlan plan;
    plan.replaceExisting = in.Below(2) == 1;
    std::vector<Source> sources;
    const unsigned changes = 1 + in.Below(6);
    for (unsigned c = 0; c < changes; ++c) {
        EditChange change;
        change.kind = static_cast<EditChange::Kind>(in.Below(4));
        change.name = PickName(in, names, change.kind == EditChange::Kind::Add);
        // Names to come may be the ones this change gives.
        if (change.kind == EditChange::Kind::Add)
            names.push_back(change.name);
        Source source;
        if (change.kind == EditChange::Kind::Rename) {
            change.newName = PickName(in, names, true);
            names.push_back(change.newName);
        } else if (change.kind != EditChange::Kind::Delete) {
            const unsigned how = in.Below(32);
            if (how == 0) {
                source.kind = Source::Kind::Archive;
                change.source = archive;
            } else if (how == 1) {
                source.kind = Source::Kind::Folder;
                change.source = run;
            } else {
                source.bytes = Pattern(in.Byte(), in.Below(64));
                change.source = run / ("source-" + std::to_string(c));
                fuzz::WriteFile(change.source, source.bytes);
            }
        }
        plan.changes.push_back(change);
        sources.push_back(source);
    }

    const std::string archiveKey = archive.lexically_relative(scratch.Root()).string();
    fuzz::Snapshot before = fuzz::TakeSnapshot(scratch.Root());
    before.erase(archiveKey);

    fuzz::QuietHost host;
    ArchiveSession session;
    session.SetHost(&host);
    StatusRow row;
    const bool clean = session.Open(archive, row).IsDone() && session.Table().Count() > 0;
    std::vector<int> changed;
    const Result result = session.Core().EditArchive(plan, changed);
    const std::string now = fuzz::ReadFile(archive);

    const std::string said =
        std::string(kStatusNames[static_cast<int>(result.status)]) + ": " + result.message;
    if (clean) {
        const Outcome expected = Model(old, plan, sources);
        if (expected.refusal.empty()) {
            KARVEX_FUZZ_CHECK(result.IsDone(), "the model finished the edit; the edit " + said);
            KARVEX_FUZZ_CHECK(now == expected.bytes, "the new archive is the model's");
            KARVEX_FUZZ_CHECK(changed == expected.changed, "the rows changed are the model's");
            KARVEX_FUZZ_CHECK(fs::status(archive).permissions() == kArchiveMode,
                              "the archive keeps its mode");
        } else {
            KARVEX_FUZZ_CHECK(result.status == Result::Status::Refused,
                              "the model refused (" + expected.refusal + "); the edit " + said);
        }
    } else {
        KARVEX_FUZZ_CHECK(!result.IsDone(), "an archive that did not load cleanly was changed");
    }
    if (!result.IsDone())
        KARVEX_FUZZ_CHECK(now == old, "an edit not done leaves the archive as it was: " + said);

    // The archive's new bytes are all that may have changed: no temporary stays behind.
    fuzz::Snapshot after = fuzz::TakeSnapshot(scratch.Root());
    KARVEX_FUZZ_CHECK(after.count(archiveKey) == 1, "the archive is still there");
    after.erase(archiveKey);
    const std::string difference = fuzz::Difference(before, after);
    KARVEX_FUZZ_CHECK(difference.empty(), "beside the archive:\n" + difference);

    scratch.EndRun(run);
    return 0;
}
