// SPDX-License-Identifier: GPL-3.0-or-later
// The response file and the information file written beside extracted entries.
#include <algorithm>

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

// Writes `text` into `line` from 1-based `column`, overwriting what is there and never
// past the line's end.
void Place(std::string& line, std::size_t column, const std::string& text) {
    for (std::size_t i = 0; i < text.size() && column - 1 + i < line.size(); ++i)
        line[column - 1 + i] = text[i];
}

std::string NulsToBlanks(std::string text) {
    std::replace(text.begin(), text.end(), '\0', ' ');
    return text;
}

// The information file's text. Entry lines are 80 characters: the name from column 1,
// the size text from column 30, the offset text from column 45, each overwriting the
// one before, so a long name loses its end to the size:
//   "ART\BOX.RAW                  1,024          164                                 "
constexpr std::size_t kInfoLineWidth = 80;

std::string InfoFileText(const ArchiveState& state, const EntryTable& table) {
    const std::string crlf = "\r\n";
    std::string text;
    text += "Pod Filename = " + Trim(Utf8ToLatin1(state.PodFileName)) + crlf;
    text += "Pod Size     = " + PlainNumber(state.PodFileLength) + crlf;
    text += "Pod Entries  = " + PlainNumber(state.EntryCount) + crlf;
    text += "Pod Title    = " + Trim(NulsToBlanks(state.PodComment)) + crlf;
    text += " " + crlf;
    text += "Filename                     File Size      File Offset" + crlf;
    const int count = std::min(state.EntryCount, table.Count());
    for (int i = 0; i < count; ++i) {
        std::string line(kInfoLineWidth, ' ');
        Place(line, 1, NulsToBlanks(Trim(table.Name(i))));
        Place(line, 30, table.Size(i));
        Place(line, 45, table.Offset(i));
        text += line + crlf;
    }
    return text;
}

std::string ResponseFileText(const ArchiveState& state, const EntryTable& table) {
    std::string text;
    const int count = std::min(state.EntryCount, table.Count());
    for (int i = 0; i < count; ++i)
        text += table.Name(i) + "\r\n";
    return text;
}

}  // namespace

// Writes DialogPath/DialogName + extension, asking first when such a file exists; a No
// leaves the old file and sets FailFlag.
Result PodCore::WriteBesideEntries(const std::string& extension, const std::string& text) {
    LampGuard lamp(m_host, false);
    const std::string fileName = m_state.DialogName + extension;
    const fs::path path = fs::path(m_state.DialogPath) / fileName;
    std::error_code ec;
    if (fs::exists(path, ec) && !AskOverwrite(Utf8ToLatin1(fileName), "Karvex")) {
        m_state.FailFlag = 1;
        return Result::Refused();
    }
    TargetFolder folder(m_state.DialogPath);
    folder.Protect(m_state.ArchivePath());
    ReplacingFile out;
    IoStatus written = folder.OpenAndStartFile(fileName, "It is the archive being read.", out);
    if (written.IsDone())
        written = WriteAndCommit(out, text);
    if (!written.IsDone())
        return IoError("Cannot write", DisplayPath(path), written.Reason());
    return Result::Done();
}

Result PodCore::WriteResponseFile() {
    return WriteBesideEntries(".lst", ResponseFileText(m_state, m_table));
}

Result PodCore::WriteInfoFile() {
    return WriteBesideEntries(".inf", InfoFileText(m_state, m_table));
}

}  // namespace karvex
