// Building a new archive from the table a response file filled, and the Make command.
#include <algorithm>
#include <cerrno>
#include <system_error>
#include <vector>

#include "chunked_copy.h"
#include "file_io.h"
#include "number_text.h"
#include "paths.h"
#include "pod_core.h"
#include "pod_format.h"
#include "text.h"

namespace karvex {

namespace {

constexpr int kTimerMilliseconds = 100;

struct Source {
    fs::path path;
    std::int64_t size = 0;
    std::int64_t offset = 0;
};

}  // namespace

void PodCore::BuildPodFile() {
    m_host.SetLamp(Lamp::Red);
    m_host.SetTimerInterval(0);
    m_stopped = m_cancelled = false;
    auto finish = [this] {
        m_host.SetTimerInterval(kTimerMilliseconds);
        m_host.SetLamp(Lamp::Green);
    };
    const std::string& lf = m_state.LineFeed;
    const fs::path target = fs::path(m_state.DialogPath) / m_state.DialogName;
    auto refuse = [&](const std::string& reason) {
        m_state.FailFlag = 1;
        m_stopped = true;
        Note(Outcome::Refused);
        m_host.ShowMessage("Cannot make " + DisplayPath(target) + lf + lf + reason, "Karvex32",
                           Icon::Exclamation);
        finish();
    };

    // The table must describe files that are all there, unchanged since the list was read,
    // and an archive that 32-bit offsets can address; otherwise nothing is written.
    const int count = std::clamp(m_state.EntryCount, 0, m_table.Count());
    const std::int64_t tableEnd = kHeaderSize + std::int64_t{kRecordSize} * count;
    std::int64_t archiveLength = tableEnd;
    std::vector<Source> sources(count);
    for (int i = 0; i < count; ++i) {
        const std::string name = Trim(m_table.Name(i));
        const auto size = ParseFormattedNumber(m_table.Size(i), m_separator);
        const auto offset = ParsePlainNumber(m_table.Offset(i));
        if (!size || !offset || *size < 0)
            return refuse("The file " + name + " is missing.");
        if (*offset < tableEnd)
            return refuse("The list gives " + name + " an offset inside the entry table.");
        const ListedFile listed = FindListedFile(m_state.PodFolder, name, m_state.ParentFolder);
        const std::int64_t length = listed.length;
        if (length < 0)
            return refuse("The file " + name + " is missing.");
        if (length != *size) {
            return refuse("The file " + name + " has changed since the list was read: " +
                          FormatNumber(*size, m_separator) + " bytes were listed, it now has " +
                          FormatNumber(length, m_separator) + ".");
        }
        archiveLength = std::max(archiveLength, *offset + *size);
        if (archiveLength > kMaxArchiveLength)
            return refuse("The archive would be larger than 2,147,483,647 bytes.");
        sources[i] = {listed.path, *size, *offset};
    }

    // The archive is written beside its final name and renamed into place once complete,
    // so a failed build leaves no partial archive and an archive it replaces stays intact.
    TempFile temp = CreateTempBeside(target);
    std::error_code ec;
    auto fail = [&](const std::string& what, const fs::path& path, const std::string& reason) {
        temp.file.reset();
        fs::remove(temp.path, ec);
        m_stopped = true;
        ShowIoError(what, DisplayPath(path), reason);
        finish();
    };
    if (!temp.file)
        return fail("Cannot write", target, ErrorText());

    m_state.PodComment = EncodeComment(m_state.PodComment);
    std::string header(kHeaderSize, '\0');
    PutInt32(header.data() + kCountOffset, count);
    header.replace(kCommentOffset, kCommentSize, m_state.PodComment);

    std::string records(static_cast<std::size_t>(count) * kRecordSize, '\0');
    for (int i = 0; i < count; ++i) {
        m_host.Yield();
        char* record = records.data() + static_cast<std::size_t>(i) * kRecordSize;
        const std::string name = EncodeName(m_table.Name(i));
        std::copy(name.begin(), name.end(), record);
        PutInt32(record + kRecordSizeField, static_cast<std::int32_t>(sources[i].size));
        PutInt32(record + kRecordOffsetField, static_cast<std::int32_t>(sources[i].offset));
    }
    header += records;
    if (std::fwrite(header.data(), 1, header.size(), temp.file.get()) != header.size())
        return fail("Cannot write", target, ErrorText());

    for (const Source& source : sources) {
        FilePtr in = OpenFile(source.path, "rb");
        if (!in)
            return fail("Cannot read", source.path, ErrorText());
        const CopyResult copied = ChunkedCopy(in.get(), 0, temp.file.get(), source.offset,
                                              source.size, ChunkRule::MoreThan, m_host);
        if (copied == CopyResult::Cancelled) {
            m_cancelled = true;
            temp.file.reset();
            fs::remove(temp.path, ec);
            m_stopped = true;
            finish();
            return;
        }
        if (copied == CopyResult::ReadFailed)
            return fail("Cannot read", source.path, errno ? ErrorText() : "The file ended early.");
        if (copied == CopyResult::WriteFailed)
            return fail("Cannot write", target, ErrorText());
    }
    if (!CloseWritten(temp.file))
        return fail("Cannot write", target, ErrorText());
    fs::rename(temp.path, target, ec);
    if (ec)
        return fail("Cannot write", target, ec.message());
    finish();
}

bool PodCore::MakeCommand(StatusRow& row) {
    if (m_state.DialogName.empty() || m_state.DialogPath.empty() || m_state.DialogOptions.empty())
        return false;
    const fs::path target = fs::path(m_state.DialogPath) / m_state.DialogName;
    std::error_code ec;
    if (fs::exists(target, ec)) {
        if (!AskOverwrite(Utf8ToLatin1(m_state.DialogName), "Karvex32")) {
            m_state.FailFlag = 0;
            Note(Outcome::Refused);
            return false;
        }
        if (!fs::is_regular_file(target, ec)) {
            ShowIoError("Cannot replace", DisplayPath(target), "It is not a file.");
            return false;
        }
    }
    m_state.EntryCount = m_table.Count();
    const std::string statusBefore = m_status;
    SetStatus(kProcessingText);
    BuildPodFile();
    if (m_stopped) {
        // Nothing was written: the response file stays open as it was.
        SetStatus(m_cancelled ? kCancelledText : statusBefore);
        m_state.FailFlag = 0;
        return false;
    }
    if (Trim(m_state.DialogOptions) == "1")
        MountPod();

    m_state.PodFolder = m_state.DialogPath;
    m_state.PodFileName = m_state.DialogName;
    m_table.Clear();
    SetStatus(kLoadingText);
    SetCurrentFolder(m_state.PodFolder);
    LoadPodFile();
    row.Command3D2 = false;
    if (m_table.Count() == 0) {
        SetStatus(kLoadFailedText);
        row.Label3.clear();
        row.Label4.clear();
    } else {
        ShowLoadedArchive(row);
    }
    m_state.FailFlag = 0;
    return true;
}

}  // namespace karvex
