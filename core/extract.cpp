// SPDX-License-Identifier: GPL-3.0-or-later
// Writing the open archive's entries out to a folder, and the Extract command.

#include "core/chunked_copy.h"
#include "core/file_io.h"
#include "core/lamp_guard.h"
#include "core/number_text.h"
#include "core/paths.h"
#include "core/pod_core.h"
#include "core/replacing_file.h"
#include "core/target_folder.h"
#include "core/text.h"

namespace fs = std::filesystem;

namespace karvex {

namespace {

// The words extraction reports the entries it refused with.
RefusalWording ExtractionWording() {
    return {
        "These entries were not extracted, because their names do not lead to a file "
        "inside the folder ",
        "These entries were not extracted, because what stands at their place is not to "
        "be replaced:",
        true};
}

}  // namespace

Result PodCore::ReportProblems(const TargetFolder& target,
                               const std::vector<std::string>& incomplete) {
    const std::string& lf = m_state.LineFeed;
    Result result;
    for (const std::string& text : target.RefusalMessages(ExtractionWording(), lf))
        result = Worse(result, Refuse(text, kCaption, Icon::Exclamation));
    if (!incomplete.empty()) {
        result = Worse(result, Refuse("These entries reach past the end of the archive " +
                                          Utf8ToLatin1(m_state.PodFileName) +
                                          "; only the bytes that exist were written:" + lf +
                                          NameList(incomplete, lf),
                                      kCaption, Icon::Exclamation));
    }
    return result;
}

// Copies entry i into `out`, as far as the archive holds it, and puts it into place; an
// entry whose size or offset is negative, or that reaches past the end, is written as far
// as it exists and noted.
Result PodCore::ExtractEntry(int i, std::FILE* archive, std::int64_t archiveLength,
                             ReplacingFile& out, const fs::path& shown,
                             std::vector<std::string>& incomplete) {
    const ByteRange range = m_table.Extent(i, archiveLength);
    if (!range.complete)
        incomplete.push_back(m_table.Name(i));
    const IoStatus copied =
        ChunkedCopy(archive, range.offset, out.File(), 0, range.length, ChunkRule::AtLeast, m_host);
    if (!copied.IsDone())
        out.Abandon();  // a half-written entry is worth nothing
    if (copied.code() == IoStatus::Code::Cancelled)
        return Result::Cancelled();
    if (copied.code() == IoStatus::Code::ReadFailed) {
        return IoError("Cannot read", DisplayPath(m_state.ArchivePath()), copied.Reason());
    }
    if (!copied.IsDone())
        return IoError("Cannot write", DisplayPath(shown), copied.Reason());
    if (const IoStatus committed = out.Commit(); !committed.IsDone())
        return IoError("Cannot write", DisplayPath(shown), committed.Reason());
    return Result::Done();
}

// Starts the file entry i is written into, beneath the extraction folder. Done with `out`
// open; Refused when the entry was noted as refused instead; Failed when the folder cannot
// be written.
Result PodCore::StartEntry(int i, TargetFolder& target, ReplacingFile& out) {
    const std::string& name = m_table.Name(i);
    const IoStatus started = target.StartEntry(name, name, out);
    if (started.IsDone())
        return Result::Done();
    if (started.code() == IoStatus::Code::WriteFailed)
        return IoError("Cannot write", DisplayPath(started.File()), started.Reason());
    return Result::Refused();
}

// Starts the file DialogPath itself, for the one selected entry of single-file mode; `target`
// is DialogPath's folder, opened on the first call.
Result PodCore::StartSingleFile(TargetFolder& target, ReplacingFile& out) {
    IoStatus started = IoStatus::Done();
    if (!target.IsOpen())
        started = m_destination >= 0 ? target.Adopt(m_destination) : target.Open();
    if (started.IsDone()) {
        started = target.StartFile(fs::path(m_state.DialogPath).filename().string(),
                                   "It is the archive being read.", out);
    }
    if (!started.IsDone())
        return IoError("Cannot write", DisplayPath(m_state.DialogPath), started.Reason());
    return Result::Done();
}

// ExtractSelected (selectedOnly) and ExtractAll. Entries go to DialogPath/name, folders
// made as needed; in single-file mode (ViewMode 1, selected entries only) to DialogPath.
// A name that would leave the folder, through "..", a drive or a symbolic link, is not
// written, nor is one whose place holds a folder, a special file or the archive itself;
// they are reported by name with the others like them.
Result PodCore::Extract(bool selectedOnly) {
    const bool singleFile = selectedOnly && m_state.ViewMode == 1;
    TargetFolder target(singleFile ? fs::path(m_state.DialogPath).parent_path()
                                   : fs::path(m_state.DialogPath));
    std::vector<std::string> incomplete;
    Result result;
    {
        LampGuard lamp(m_host);
        const fs::path archivePath = m_state.ArchivePath();
        ReadFile archive;
        if (const IoStatus opened = OpenForReading(archivePath, archive); !opened.IsDone())
            return IoError("Cannot read", DisplayPath(archivePath), opened.Reason());
        target.Protect(IdentityOf(archive.file.get()));

        if (!singleFile) {
            const IoStatus rooted =
                m_destination >= 0 ? target.Adopt(m_destination) : target.Open();
            if (!rooted.IsDone())
                return IoError("Cannot write", DisplayPath(m_state.DialogPath), rooted.Reason());
        }
        const int count = m_table.Count();
        for (int i = 0; i < count && !result.Stopped(); ++i) {
            if (selectedOnly && !m_table.IsSelected(i))
                continue;
            if (!selectedOnly) {
                SetStatus("             Processing " + PlainNumber(i + 1) + " of " +
                          PlainNumber(count));
            }
            ReplacingFile out;
            const fs::path shown = singleFile ? fs::path(m_state.DialogPath)
                                              : JoinName(m_state.DialogPath, m_table.Name(i));
            const Result started =
                singleFile ? StartSingleFile(target, out) : StartEntry(i, target, out);
            if (started.status == Result::Status::Failed)
                result = started;
            if (started.IsDone())
                result =
                    ExtractEntry(i, archive.file.get(), archive.length, out, shown, incomplete);
        }
    }
    return Worse(result, ReportProblems(target, incomplete));
}

Result PodCore::ExtractSelected() {
    return Extract(true);
}

Result PodCore::ExtractAll() {
    return Extract(false);
}

Result PodCore::ExtractCommand() {
    if (m_state.DialogPath.empty() || m_state.DialogOptions.empty())
        return Result::Done();
    if (m_state.DialogName.empty()) {
        // A dialog that was confirmed, on an archive whose name is too short to give the
        // response and information files a name: say so rather than do nothing silently.
        return Refuse("Nothing was extracted: the archive name " +
                          Utf8ToLatin1(m_state.PodFileName) +
                          " is too short to name the files written beside the entries.",
                      kCaption, Icon::Exclamation);
    }
    m_state.SavedComment = m_state.PodComment;
    SetStatus(kProcessingText);
    m_host.SetCurrentFolder(m_state.DialogPath);

    // The routines run in this order; one that fails or is cancelled ends the command.
    const std::string options = m_state.DialogOptions + "000000";
    Result result;
    if (options[1] == '1') {
        m_state.ViewMode = 0;
        result = ExtractSelected();
    }
    if (options[2] == '1' && !result.Stopped())
        result = Worse(result, ExtractAll());
    if (options[0] == '1' && !result.Stopped())
        result = Worse(result, WriteResponseFile());
    if (options[3] == '1' && !result.Stopped())
        result = Worse(result, WriteInfoFile());

    m_state.PodComment = m_state.SavedComment;
    SetStatus(result.status == Result::Status::Cancelled ? kCancelledText
                                                         : UpToNul(m_state.PodComment));
    m_state.FailFlag = 0;
    return result;
}

}  // namespace karvex
