// SPDX-License-Identifier: GPL-3.0-or-later
// Building a new archive from the table a response file filled, and the Make command.
#include <algorithm>
#include <system_error>
#include <vector>

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

// A listed file as the builder copies it.
struct PodCore::Source {
    fs::path path;
    std::int64_t size = 0;
    std::int64_t offset = 0;
};

namespace {

// The header and entry table of the archive: count, comment, then each entry's 32-byte
// name, size and offset.
std::string HeaderBytes(const std::string& comment, const EntryTable& table, int count) {
    std::string header(kHeaderSize, '\0');
    PutInt32(header.data() + kCountOffset, count);
    header.replace(kCommentOffset, kCommentSize, comment);
    header.resize(kHeaderSize + static_cast<std::size_t>(count) * kRecordSize, '\0');
    for (int i = 0; i < count; ++i) {
        char* record = header.data() + kHeaderSize + static_cast<std::size_t>(i) * kRecordSize;
        const std::string name = EncodeName(table.Name(i));
        std::copy(name.begin(), name.end(), record);
        PutInt32(record + kRecordSizeField, static_cast<std::int32_t>(table.SizeOf(i)));
        PutInt32(record + kRecordOffsetField, static_cast<std::int32_t>(table.OffsetOf(i)));
    }
    return header;
}

}  // namespace

// The table must describe files that are all there, unchanged since the list was read,
// and an archive that 32-bit offsets can address; otherwise nothing is written.
Result PodCore::CheckBuildSources(std::vector<Source>& sources) {
    const fs::path target = fs::path(m_state.DialogPath) / m_state.DialogName;
    const std::string& lf = m_state.LineFeed;
    auto refuse = [&](const std::string& reason) {
        m_state.FailFlag = 1;
        return Refuse("Cannot make " + DisplayPath(target) + lf + lf + reason, kCaption,
                      Icon::Exclamation);
    };
    if (m_table.Count() > kMaxEntries) {
        return refuse("The list names " + FormatNumber(m_table.Count(), m_separator) +
                      " files; an archive holds at most 32,767.");
    }
    const int count = std::clamp(m_state.EntryCount, 0, m_table.Count());
    const std::int64_t tableEnd = kHeaderSize + std::int64_t{kRecordSize} * count;
    std::int64_t archiveLength = tableEnd;
    sources.assign(static_cast<std::size_t>(count), {});
    for (int i = 0; i < count; ++i) {
        const std::string name = Trim(m_table.Name(i));
        const std::int64_t size = m_table.SizeOf(i);
        const std::int64_t offset = m_table.OffsetOf(i);
        if (m_table.IsMissing(i) || size < 0)
            return refuse("The file " + name + " is missing.");
        if (offset < tableEnd)
            return refuse("The list gives " + name + " an offset inside the entry table.");
        const ListedFile listed = FindListedFile(m_state.PodFolder, name, m_state.ParentFolder);
        if (listed.length < 0)
            return refuse("The file " + name + " is missing.");
        if (listed.length != size) {
            return refuse("The file " + name + " has changed since the list was read: " +
                          FormatNumber(size, m_separator) + " bytes were listed, it now has " +
                          FormatNumber(listed.length, m_separator) + ".");
        }
        archiveLength = std::max(archiveLength, offset + size);
        if (archiveLength > kMaxArchiveLength)
            return refuse("The archive would be larger than 2,147,483,647 bytes.");
        sources[static_cast<std::size_t>(i)] = {listed.path, size, offset};
    }
    return Result::Done();
}

// The archive is written where no one sees it and put into place once complete, so a
// failed or cancelled build leaves no partial archive and an archive it replaces stays.
Result PodCore::WriteArchive(const std::vector<Source>& sources, const std::string& target) {
    TargetFolder folder(fs::path(target).parent_path());
    ReplacingFile archive;
    // The open file is the response file, and the user has agreed to replace what is there.
    if (const IoStatus opened =
            folder.OpenAndStartFile(fs::path(target).filename().string(), "", archive);
        !opened.IsDone())
        return IoError("Cannot write", DisplayPath(target), opened.Reason());
    auto discard = [&archive](Result result) {
        archive.Abandon();
        return result;
    };

    m_state.PodComment = EncodeComment(m_state.PodComment);
    const int count = static_cast<int>(sources.size());
    for (int i = 0; i < count; ++i)
        m_host.Yield();  // one yield per record, as the table is laid out
    const std::string header = HeaderBytes(m_state.PodComment, m_table, count);
    if (std::fwrite(header.data(), 1, header.size(), archive.File()) != header.size())
        return discard(IoError("Cannot write", DisplayPath(target), ErrorText()));

    for (const Source& source : sources) {
        ReadFile in;
        if (const IoStatus opened = OpenForReading(source.path, in); !opened.IsDone())
            return discard(IoError("Cannot read", DisplayPath(source.path), opened.Reason()));
        const IoStatus copied = ChunkedCopy(in.file.get(), 0, archive.File(), source.offset,
                                            source.size, ChunkRule::MoreThan, m_host);
        if (copied.code() == IoStatus::Code::Cancelled)
            return discard(Result::Cancelled());
        if (copied.code() == IoStatus::Code::ReadFailed)
            return discard(IoError("Cannot read", DisplayPath(source.path), copied.Reason()));
        if (!copied.IsDone())
            return discard(IoError("Cannot write", DisplayPath(target), copied.Reason()));
    }
    if (const IoStatus committed = archive.Commit(); !committed.IsDone())
        return IoError("Cannot write", DisplayPath(target), committed.Reason());
    return Result::Done();
}

Result PodCore::BuildPodFile() {
    LampGuard lamp(m_host);
    std::vector<Source> sources;
    Result result = CheckBuildSources(sources);
    if (!result.IsDone())
        return result;
    return WriteArchive(sources, (fs::path(m_state.DialogPath) / m_state.DialogName).string());
}

// The new archive replaces the response file in the lists, through the same hide-and-fill
// step as the Open command.
Result PodCore::ReloadAfterMake(StatusRow& row) {
    m_state.PodFolder = m_state.DialogPath;
    m_state.PodFileName = m_state.DialogName;
    m_state.PodPattern = "*.pod";
    return OpenPodSequence(row, OpenReason::AfterMake);
}

Result PodCore::MakeCommand(StatusRow& row) {
    if (m_state.DialogName.empty() || m_state.DialogPath.empty() || m_state.DialogOptions.empty())
        return Result::Done();
    const fs::path target = fs::path(m_state.DialogPath) / m_state.DialogName;
    std::error_code ec;
    if (fs::exists(target, ec)) {
        if (!AskOverwrite(Utf8ToLatin1(m_state.DialogName), kCaption)) {
            m_state.FailFlag = 0;
            return Result::Refused();
        }
        if (!fs::is_regular_file(target, ec))
            return IoError("Cannot replace", DisplayPath(target), "It is not a file.");
    }
    m_state.EntryCount = m_table.Count();
    const std::string statusBefore = m_status;
    SetStatus(kProcessingText);
    Result result = BuildPodFile();
    if (!result.IsDone()) {
        // Nothing was written: the response file stays open as it was.
        SetStatus(result.status == Result::Status::Cancelled ? kCancelledText : statusBefore);
        m_state.FailFlag = 0;
        return result;
    }
    if (Trim(m_state.DialogOptions) == "1")
        result = MountPod();
    return Worse(result, ReloadAfterMake(row));
}

}  // namespace karvex
