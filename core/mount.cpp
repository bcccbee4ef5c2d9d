// Registering a newly built archive in the game's pod.ini.
#include <cerrno>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <system_error>
#include <vector>

#include "file_io.h"
#include "number_text.h"
#include "paths.h"
#include "pod_core.h"
#include "pod_ini.h"
#include "text.h"

namespace karvex {

namespace {

constexpr std::size_t kLineBuffer = 32;

std::vector<std::string> SplitLines(std::string_view text) {
    std::vector<std::string> lines;
    while (!text.empty()) {
        const auto end = text.find('\n');
        std::string line(text.substr(0, end));
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        lines.push_back(std::move(line));
        if (end == std::string_view::npos)
            break;
        text.remove_prefix(end + 1);
    }
    return lines;
}

// The number at the start of line 1, as read through the 32-character line buffer:
// blanks skipped, text after the number ignored, no digits reading as 0.
long long CountOf(std::string_view line) {
    line = line.substr(0, kLineBuffer);
    std::size_t i = line.find_first_not_of(' ');
    if (i == std::string_view::npos)
        return 0;
    const bool negative = line[i] == '-';
    if (line[i] == '-' || line[i] == '+')
        ++i;
    long long value = 0;
    for (; i < line.size() && line[i] >= '0' && line[i] <= '9'; ++i)
        value = value * 10 + (line[i] - '0');
    return negative ? -value : value;
}

}  // namespace

PodIniEdit AddToPodIni(std::string_view text, const std::string& entryText,
                       const std::string& podName) {
    const std::vector<std::string> lines = SplitLines(text);
    const long long count = lines.empty() ? 0 : CountOf(lines.front());
    if (count >= kMaxMountedPods)
        return {PodIniEdit::Result::Full, {}};

    std::string out = PlainNumber(count + 1) + "\r\n";
    for (std::size_t i = 1; i < lines.size(); ++i) {
        std::string line = lines[i];
        if (line.size() < kLineBuffer)
            line.resize(kLineBuffer, ' ');
        if (!podName.empty() && ContainsNoCase(Trim(line), podName))
            return {PodIniEdit::Result::AlreadyListed, {}};
        out += line + "\r\n";
    }
    out += entryText + "\r\n";
    return {PodIniEdit::Result::Added, std::move(out)};
}

void PodCore::MountPod() {
    const std::string name = Trim(m_state.DialogName);
    std::error_code ec;

    // pod.ini in the archive's own folder lists it by name; one folder up, by the
    // archive's folder and name (ADDONS\NEW.POD). A root is never searched.
    bool inOwnFolder = true;
    fs::path ini = ResolveNoCase(fs::path(m_state.DialogPath), "pod.ini");
    std::string entryText = m_state.DialogName;
    if (!fs::is_regular_file(ini, ec)) {
        inOwnFolder = false;
        const auto parent = ParentOf(m_state.DialogPath);
        if (parent && !IsEmptyOrRoot(*parent))
            ini = ResolveNoCase(fs::path(*parent), "pod.ini");
        if (!parent || IsEmptyOrRoot(*parent) || !fs::is_regular_file(ini, ec)) {
            m_host.ShowMessage("File POD.INI cannot be located.", "Karvex32", Icon::Exclamation);
            m_state.FailFlag = 1;
            Note(Outcome::Refused);
            return;
        }
        std::string folderName = Trim(
            m_state.DialogPath.substr(m_state.DialogPath.find_last_of("/\\") + 1).substr(0, 32));
        entryText = folderName + "\\" + name;
    }

    std::ifstream in(ini, std::ios::binary);
    std::ostringstream contents;
    contents << in.rdbuf();
    if (!in || in.bad()) {
        ShowIoError("Cannot read", DisplayPath(ini), ErrorText());
        m_state.FailFlag = 1;
        return;
    }
    in.close();

    const PodIniEdit edit =
        AddToPodIni(contents.str(), Utf8ToLatin1(entryText), Utf8ToLatin1(name));
    if (edit.result == PodIniEdit::Result::Full) {
        Note(Outcome::Refused);
        m_host.ShowMessage("Maximum Pods already mounted!", inOwnFolder ? "Karvex32" : "Karvex",
                           Icon::Exclamation);
        return;
    }
    if (edit.result == PodIniEdit::Result::AlreadyListed) {
        m_state.FailFlag = 1;
        Note(Outcome::Refused);
        m_host.ShowMessage("POD already mounted.", "Karvex", Icon::Exclamation);
        return;
    }

    // The new list goes to pod.wrk first and is then renamed over pod.ini, so the list is
    // complete under its own name at every moment.
    const fs::path work = ini.parent_path() / "pod.wrk";
    FilePtr out = OpenFile(work, "wb");
    const bool written =
        out && std::fwrite(edit.text.data(), 1, edit.text.size(), out.get()) == edit.text.size();
    if (!out || !written || !CloseWritten(out)) {
        const std::string reason = ErrorText();
        out.reset();
        fs::remove(work, ec);
        ShowIoError("Cannot write", DisplayPath(work), reason);
        m_state.FailFlag = 1;
        return;
    }
    fs::rename(work, ini, ec);
    if (ec) {
        const std::string reason = ec.message();
        fs::remove(work, ec);
        ShowIoError("Cannot replace", DisplayPath(ini), reason);
        m_state.FailFlag = 1;
    }
}

}  // namespace karvex
