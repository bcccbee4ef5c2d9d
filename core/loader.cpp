// Reading archives and response files, and the open sequences around them.
#include <cstdio>
#include <vector>

#include "file_io.h"
#include "number_text.h"
#include "paths.h"
#include "pod_core.h"
#include "pod_format.h"
#include "text.h"

namespace karvex {

namespace {

constexpr int kTimerMilliseconds = 100;

}  // namespace

void PodCore::LoadPodFile() {
    m_host.SetLamp(Lamp::Red);
    m_host.SetTimerInterval(0);
    m_table.Clear();
    auto finish = [this] {
        m_host.SetTimerInterval(kTimerMilliseconds);
        m_host.SetLamp(Lamp::Green);
    };

    m_state.PodPath = (fs::path(m_state.PodFolder) / m_state.PodFileName).string();
    FilePtr file = OpenFile(m_state.PodPath, "rb");
    const std::int64_t length = RegularFileLength(m_state.PodPath);
    if (!file || length < 0) {
        m_state.FailFlag = 1;
        ShowIoError("Cannot read", DisplayPath(m_state.PodPath),
                    file ? "Not a regular file" : ErrorText());
        finish();
        return;
    }
    FileSource source(file.get(), length);
    m_state.PodFileLength = length;

    char header[kHeaderSize];
    if (!source.ReadAt(0, header, sizeof header)) {
        m_state.FailFlag = 1;
        ShowIoError("Cannot read", DisplayPath(m_state.PodPath), ErrorText());
        finish();
        return;
    }
    m_state.EntryCount = GetInt32(header + kCountOffset);
    m_state.PodComment.assign(header + kCommentOffset, kCommentSize);

    // The count is not trusted: at most one record past the limit is read, and only the
    // part of the table the file holds comes from disk (the rest reads as zero).
    const int records = m_state.EntryCount <= 0 ? 0 : std::min(m_state.EntryCount, kMaxEntries + 1);
    std::vector<char> table(static_cast<std::size_t>(records) * kRecordSize);
    if (!table.empty() && !source.ReadAt(kHeaderSize, table.data(), table.size())) {
        m_state.FailFlag = 1;
        ShowIoError("Cannot read", DisplayPath(m_state.PodPath), ErrorText());
        finish();
        return;
    }
    file.reset();

    for (int n = 1; n <= records; ++n) {
        m_host.Yield();
        const PodRecord record =
            DecodeRecord(table.data() + static_cast<std::size_t>(n - 1) * kRecordSize);
        if (record.invalid)
            m_state.FailFlag = 1;
        if (n > kMaxEntries) {
            m_host.ShowMessage("Maximum files reached (32768)", "Karvex32", Icon::Critical);
            m_state.FailFlag = 1;
            break;
        }
        m_table.Append(record.name, FormatNumber(record.size, m_separator),
                       PlainNumber(record.offset));
    }
    finish();
}

void PodCore::LoadResponseFile() {
    m_host.SetTimerInterval(0);
    m_host.SetLamp(Lamp::Red);
    m_state.EntryCount = 0;
    m_state.PodFileLength = 0;
    m_state.PodComment = std::string(kCommentSize, ' ');
    m_table.sources.clear();
    auto finish = [this] {
        m_host.SetTimerInterval(kTimerMilliseconds);
        m_host.SetLamp(Lamp::Green);
    };

    m_state.PodPath = (fs::path(m_state.PodFolder) / m_state.PodFileName).string();
    FilePtr file = OpenFile(m_state.PodPath, "rb");
    if (!file || RegularFileLength(m_state.PodPath) < 0) {
        m_state.FailFlag = 1;
        ShowIoError("Cannot read", DisplayPath(m_state.PodPath),
                    file ? "Not a regular file" : ErrorText());
        finish();
        return;
    }

    // Lines end with CR LF (a bare LF is taken as a line end too). Only the first 32
    // characters of a line count, so a line is never kept longer than that.
    std::string line;
    std::size_t lineLength = 0;
    auto endLine = [&] {
        if (!line.empty() && lineLength <= 32 && line.back() == '\r')
            line.pop_back();
        std::string text = Trim(line);
        if (!text.empty()) {
            const auto comma = text.find(',');
            if (comma != std::string::npos)
                text.resize(comma);
            m_table.sources.push_back(std::move(text));
        }
        line.clear();
        lineLength = 0;
    };
    char buffer[65536];
    std::size_t got = 0;
    bool pending = false;
    while ((got = std::fread(buffer, 1, sizeof buffer, file.get())) > 0) {
        for (std::size_t i = 0; i < got; ++i) {
            if (buffer[i] == '\n') {
                endLine();
                pending = false;
                continue;
            }
            pending = true;
            if (++lineLength <= 32)
                line += buffer[i];
        }
    }
    if (pending)
        endLine();
    if (std::ferror(file.get())) {
        m_state.FailFlag = 1;
        ShowIoError("Cannot read", DisplayPath(m_state.PodPath), ErrorText());
        m_table.sources.clear();
        finish();
        return;
    }
    file.reset();

    m_state.EntryCount = static_cast<std::int32_t>(m_table.sources.size());
    std::int64_t offset = kHeaderSize + std::int64_t{kRecordSize} * m_state.EntryCount;
    for (const std::string& source : m_table.sources) {
        m_host.Yield();
        std::string name = Trim(source);
        const ListedFile found = FindListedFile(m_state.PodFolder, name, m_state.ParentFolder);
        if (found.length < 0) {
            m_table.Append(std::move(name), "Missing", "Missing");
            m_state.FailFlag = 1;
            continue;
        }
        m_table.Append(std::move(name), FormatNumber(found.length, m_separator),
                       std::to_string(offset));
        offset += found.length;
    }
    m_state.PodFileLength = offset;
    finish();
}

void PodCore::ShowLoadedArchive(StatusRow& row) {
    row.Command3D3 = true;
    row.Command1 = true;
    SetStatus(UpToNul(m_state.PodComment));
    row.Label3 = FormatNumber(m_state.PodFileLength, m_separator);
    row.Label4 = FormatNumber(m_state.EntryCount, m_separator);
}

bool PodCore::OpenPodSequence(StatusRow& row) {
    m_table.Clear();
    SetStatus(kLoadingText);
    SetCurrentFolder(m_state.PodFolder);
    LoadPodFile();
    row.Command3D2 = false;
    if (m_state.FailFlag == 1 || m_table.Count() == 0) {
        SetStatus(kLoadFailedText);
        row.Label3.clear();
        row.Label4.clear();
        m_state.FailFlag = 0;
        m_host.SetLamp(Lamp::Magenta);
        Note(Outcome::Refused);
        return false;
    }
    ShowLoadedArchive(row);
    return true;
}

bool PodCore::OpenResponseSequence(StatusRow& row) {
    m_table.Clear();
    SetStatus(kLoadingText);
    SetCurrentFolder(m_state.PodFolder);
    LoadResponseFile();
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
        Note(Outcome::Refused);
        return false;
    }
    row.Command3D2 = true;
    return true;
}

}  // namespace karvex
