// Writing the open archive's entries out to a folder, and the Extract command.
#include <algorithm>
#include <cerrno>
#include <system_error>

#include "chunked_copy.h"
#include "file_io.h"
#include "lamp_guard.h"
#include "number_text.h"
#include "paths.h"
#include "pod_core.h"
#include "text.h"

namespace karvex {

namespace {

constexpr std::size_t kNamesListed = 20;  // names shown in one message before "and N more"

std::string NameList(const std::vector<std::string>& names, const std::string& lf) {
    std::string text;
    for (std::size_t i = 0; i < names.size() && i < kNamesListed; ++i)
        text += lf + names[i];
    if (names.size() > kNamesListed)
        text += lf + "... and " + std::to_string(names.size() - kNamesListed) + " more";
    return text;
}

// True when writing `target` lands inside `folder` (canonical): the folders on the way,
// and the file itself where it is a symbolic link (even one that points nowhere yet),
// are followed to where they really lead.
bool LandsWithin(const fs::path& target, const fs::path& folder) {
    std::error_code ec;
    std::error_code missing;  // a path that does not exist yet is no link
    // A file directly in the folder needs only its own look: is it a link?
    if (target.parent_path() == folder && !fs::is_symlink(fs::symlink_status(target, missing)))
        return true;
    fs::path path = fs::weakly_canonical(target, ec);
    for (int hops = 0; !ec && fs::is_symlink(fs::symlink_status(path, missing)); ++hops) {
        if (hops == 40)
            return false;  // a loop of links
        const fs::path link = fs::read_symlink(path, ec);
        path = fs::weakly_canonical(link.is_absolute() ? link : path.parent_path() / link, ec);
    }
    return !ec && IsWithin(path, folder);
}

}  // namespace

// Entries that could not be written whole, gathered over one routine and reported once.
struct PodCore::EntryProblems {
    std::vector<std::string> unsafe;      // would land outside the extraction folder
    std::vector<std::string> incomplete;  // reach past the end of the archive
};

Result PodCore::ReportProblems(const EntryProblems& problems) {
    const std::string& lf = m_state.LineFeed;
    Result result;
    if (!problems.unsafe.empty()) {
        result = Refuse("These entries were not extracted, because their names do not lead to a "
                        "file inside the folder " +
                            DisplayPath(m_state.DialogPath) + ":" + lf +
                            NameList(problems.unsafe, lf),
                        "Karvex32", Icon::Exclamation);
    }
    if (!problems.incomplete.empty()) {
        result = Worse(result, Refuse("These entries reach past the end of the archive " +
                                          Utf8ToLatin1(m_state.PodFileName) +
                                          "; only the bytes that exist were written:" + lf +
                                          NameList(problems.incomplete, lf),
                                      "Karvex32", Icon::Exclamation));
    }
    return result;
}

// Copies entry i to `target`, as far as the archive holds it; an entry whose size or offset
// is negative, or that reaches past the end, is written as far as it exists and noted.
Result PodCore::ExtractEntry(int i, std::FILE* archive, std::int64_t archiveLength,
                             const fs::path& target, EntryProblems& problems) {
    FilePtr out = OpenFile(target, "wb");
    if (!out)
        return IoError("Cannot write", DisplayPath(target), ErrorText());
    const ByteRange range = m_table.Extent(i, archiveLength);
    if (!range.complete)
        problems.incomplete.push_back(m_table.Name(i));

    const CopyResult copied =
        ChunkedCopy(archive, range.offset, out.get(), 0, range.length, ChunkRule::AtLeast, m_host);
    const std::string reason = errno ? ErrorText() : "The file ended early.";
    const bool closed = CloseWritten(out);
    if (copied == CopyResult::Cancelled) {
        std::error_code ec;
        fs::remove(target, ec);  // a half-written entry is worth nothing
        return Result::Cancelled();
    }
    if (copied == CopyResult::ReadFailed) {
        return IoError("Cannot read",
                       DisplayPath(fs::path(m_state.PodFolder) / m_state.PodFileName), reason);
    }
    if (copied == CopyResult::WriteFailed || !closed)
        return IoError("Cannot write", DisplayPath(target), closed ? reason : ErrorText());
    return Result::Done();
}

// ExtractSelected (selectedOnly) and ExtractAll. Entries go to DialogPath/name, folders
// made as needed; in single-file mode (ViewMode 1, selected entries only) to DialogPath.
// A name that would leave the folder, through "..", a drive or a symbolic link, is not
// written and is reported by name with the others like it.
Result PodCore::Extract(bool selectedOnly) {
    EntryProblems problems;
    Result result;
    {
        LampGuard lamp(m_host);
        const fs::path archivePath = fs::path(m_state.PodFolder) / m_state.PodFileName;
        ReadFile archive = OpenForReading(archivePath);
        if (!archive.file)
            return IoError("Cannot read", DisplayPath(archivePath), archive.error);

        const bool singleFile = selectedOnly && m_state.ViewMode == 1;
        std::error_code ec;
        const fs::path folder = fs::path(m_state.DialogPath);
        const fs::path canonicalFolder = fs::weakly_canonical(folder, ec);
        const int count = m_table.Count();
        for (int i = 0; i < count && !result.Stopped(); ++i) {
            if (selectedOnly && !m_table.IsSelected(i))
                continue;
            if (!selectedOnly) {
                SetStatus("             Processing " + PlainNumber(i + 1) + " of " +
                          PlainNumber(count));
            }
            fs::path target = folder;
            if (!singleFile) {
                const std::string name = Trim(m_table.Name(i));
                target = JoinName(canonicalFolder, name);
                if (!UnsafeNameReason(name).empty() || !LandsWithin(target, canonicalFolder)) {
                    problems.unsafe.push_back(m_table.Name(i));
                    continue;
                }
                if (target.parent_path() != canonicalFolder)
                    fs::create_directories(target.parent_path(), ec);
            }
            result = ExtractEntry(i, archive.file.get(), archive.length, target, problems);
        }
    }
    return Worse(result, ReportProblems(problems));
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
                      "Karvex32", Icon::Exclamation);
    }
    m_state.SavedComment = m_state.PodComment;
    SetStatus(kProcessingText);
    SetCurrentFolder(m_state.DialogPath);

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
