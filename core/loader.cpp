// SPDX-License-Identifier: GPL-3.0-or-later
// Reading archives and response files, and the open sequences around them.
#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "core/file_io.h"
#include "core/lamp_guard.h"
#include "core/number_text.h"
#include "core/paths.h"
#include "core/pod_core.h"
#include "core/pod_format.h"
#include "core/text.h"

namespace karvex {

namespace {

constexpr std::size_t kLineLimit = 32;  // only the first 32 characters of a list line count

// The names a response file lists, in order: lines end with CR LF (a bare LF ends one too),
// blanks around a line are dropped, as is everything from its first comma, and empty lines
// are skipped. False when the file cannot be read.
bool ReadListedNames(std::FILE* file, std::vector<std::string>& names) {
    std::string line;
    std::size_t lineLength = 0;
    auto endLine = [&] {
        if (!line.empty() && lineLength <= kLineLimit && line.back() == '\r')
            line.pop_back();
        std::string text = Trim(line);
        if (!text.empty()) {
            const auto comma = text.find(',');
            if (comma != std::string::npos)
                text.resize(comma);
            names.push_back(std::move(text));
        }
        line.clear();
        lineLength = 0;
    };
    char buffer[65536];
    std::size_t got = 0;
    bool pending = false;
    while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0) {
        for (std::size_t i = 0; i < got; ++i) {
            if (buffer[i] == '\n') {
                endLine();
                pending = false;
                continue;
            }
            pending = true;
            if (++lineLength <= kLineLimit)
                line += buffer[i];
        }
    }
    if (pending)
        endLine();
    return !std::ferror(file);
}

}  // namespace

Result PodCore::LoadPodFile() {
    LampGuard lamp(m_host);
    m_table.Clear();
    m_loadedCleanly = false;

    m_state.PodPath = m_state.ArchivePath().string();
    ReadFile file;
    PodTable pod;
    std::string error = OpenForReading(m_state.PodPath, file).Reason();
    if (file.file) {
        FileSource source(file.file.get(), file.length);
        if (!ParsePodTable(source, pod))
            error = ErrorText();
    }
    if (!file.file || !error.empty()) {
        m_state.FailFlag = 1;
        return IoError("Cannot read", DisplayPath(m_state.PodPath), error);
    }
    // What an edit later checks the file against: the very file read, as it was then.
    m_loaded = {};
    if (struct stat info{}; ::fstat(fileno(file.file.get()), &info) == 0)
        m_loaded = StampFrom(info);
    file.file.reset();
    m_state.PodFileLength = file.length;
    m_state.EntryCount = pod.count;
    m_state.PodComment = pod.comment;

    Result result;
    m_table.Reserve(static_cast<int>(std::min<std::size_t>(pod.Records(), kMaxEntries)));
    for (std::size_t n = 0; n < pod.Records(); ++n) {
        m_host.Yield();
        const PodRecord record = pod.Record(n);
        if (record.invalid) {
            m_state.FailFlag = 1;
            result = Worse(result, Result::Refused());
        }
        if (n == kMaxEntries) {
            m_state.FailFlag = 1;
            result =
                Worse(result, Refuse("Maximum files reached (32768)", kCaption, Icon::Critical));
            break;
        }
        m_table.Append(record.name, record.size, FormatNumber(record.size, m_separator),
                       record.offset, PlainNumber(record.offset));
    }
    m_loadedCleanly = result.IsDone() && m_table.Count() > 0;
    return result;
}

Result PodCore::LoadResponseFile() {
    LampGuard lamp(m_host);
    m_state.EntryCount = 0;
    m_state.PodFileLength = 0;
    m_state.PodComment = std::string(kCommentSize, ' ');
    m_table.sources.clear();

    m_state.PodPath = m_state.ArchivePath().string();
    ReadFile file;
    std::string error = OpenForReading(m_state.PodPath, file).Reason();
    if (file.file && !ReadListedNames(file.file.get(), m_table.sources)) {
        error = ErrorText();
        file.file.reset();
        m_table.sources.clear();
    }
    if (!file.file) {
        m_state.FailFlag = 1;
        return IoError("Cannot read", DisplayPath(m_state.PodPath), error);
    }
    file.file.reset();

    // Each listed file's offset is where it will stand in the archive built from the list:
    // after the header and the table, in the order listed.
    Result result;
    m_state.EntryCount = static_cast<std::int32_t>(m_table.sources.size());
    m_table.Reserve(m_state.EntryCount);
    std::int64_t offset = kHeaderSize + std::int64_t{kRecordSize} * m_state.EntryCount;
    for (const std::string& source : m_table.sources) {
        m_host.Yield();
        std::string name = Trim(source);
        const ListedFile found = FindListedFile(m_state.PodFolder, name, m_state.ParentFolder);
        if (found.length < 0) {
            m_table.AppendMissing(std::move(name));
            m_state.FailFlag = 1;
            result = Result::Refused();
            continue;
        }
        m_table.Append(std::move(name), found.length, FormatNumber(found.length, m_separator),
                       offset, std::to_string(offset));
        offset += found.length;
    }
    m_state.PodFileLength = offset;
    // An archive holds at most 32,767 entries: a longer list is incomplete, and nothing is
    // built from it.
    if (m_table.Count() > kMaxEntries) {
        m_state.FailFlag = 1;
        result = Worse(result, Refuse("Maximum files reached (32768)", kCaption, Icon::Critical));
    }
    return result;
}

void PodCore::ShowLoadedArchive(StatusRow& row) {
    row.Command3D3 = true;
    row.Command1 = true;
    SetStatus(UpToNul(m_state.PodComment));
    row.Label3 = FormatNumber(m_state.PodFileLength, m_separator);
    row.Label4 = FormatNumber(m_state.EntryCount, m_separator);
}

Result PodCore::OpenPodSequence(StatusRow& row, OpenReason reason) {
    const bool afterMake = reason == OpenReason::AfterMake;
    m_table.Clear();
    SetStatus(kLoadingText);
    m_host.SetCurrentFolder(m_state.PodFolder);
    m_host.SetListsShown(false);
    Result result = LoadPodFile();
    row.Command3D2 = false;
    // The archive Make has just written fails only when none of it could be read.
    if (m_table.Count() == 0 || (!afterMake && m_state.FailFlag == 1)) {
        SetStatus(kLoadFailedText);
        row.Label3.clear();
        row.Label4.clear();
        if (afterMake) {
            row.Command3D3 = false;
            row.Command1 = false;
        } else {
            m_host.SetLamp(Lamp::Magenta);
        }
        result = Worse(result, Result::Refused(kLoadFailedText));
    } else {
        ShowLoadedArchive(row);
    }
    m_state.FailFlag = 0;
    m_host.SetListsShown(true);
    return result;
}

Result PodCore::OpenResponseSequence(StatusRow& row) {
    m_table.Clear();
    SetStatus(kLoadingText);
    m_host.SetCurrentFolder(m_state.PodFolder);
    m_host.SetListsShown(false);
    Result result = LoadResponseFile();
    const std::string fileName = Utf8ToLatin1(m_state.PodFileName);
    SetStatus(fileName);
    row.Label3 = FormatNumber(m_state.PodFileLength, m_separator);
    row.Label4 = FormatNumber(m_state.EntryCount, m_separator);
    row.Command3D3 = false;
    row.Command1 = false;
    if (m_state.FailFlag == 1 || m_table.Count() == 0) {
        SetStatus(fileName + kIncompleteSuffix);
        row.Label3 = "Unknown";
        row.Label4 = "Unknown";
        m_state.FailFlag = 0;
        m_host.SetLamp(Lamp::Magenta);
        result = Worse(result, Result::Refused(fileName + kIncompleteSuffix));
    } else {
        row.Command3D2 = true;
    }
    m_host.SetListsShown(true);
    return result;
}

}  // namespace karvex
