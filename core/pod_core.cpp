// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/pod_core.h"

#include "core/lamp_guard.h"
#include "core/paths.h"
#include "core/text.h"

namespace karvex {

PodCore::PodCore(ArchiveState& state, EntryTable& table, Host& host)
    : m_state(state), m_table(table), m_host(host) {}

void PodCore::SetStatus(const std::string& text) {
    m_status = text;
    m_host.SetStatus(text);
}

Result PodCore::IoError(const std::string& what, const std::string& path,
                        const std::string& reason) {
    const std::string& lf = m_state.LineFeed;
    std::string text = what + " " + path + lf + lf + Utf8ToLatin1(reason);
    m_host.ShowMessage(text, kCaption, Icon::Exclamation);
    return Result::Failed(std::move(text));
}

Result PodCore::Refuse(const std::string& text, const std::string& caption, Icon icon) {
    m_host.ShowMessage(text, caption, icon);
    return Result::Refused(text);
}

bool PodCore::AskOverwrite(const std::string& fileName, const std::string& caption) {
    const std::string& lf = m_state.LineFeed;
    return m_host.AskYesNo(
        "File " + fileName + " Exists!" + lf + lf + "Do you want to overwrite this file?", caption);
}

bool IsPodFileName(const std::string& name) {
    const std::string trimmed = Trim(name);
    return trimmed.size() > 4 && ContainsNoCase(trimmed, ".pod");
}

std::string ExtractBaseName(const std::string& podFileName) {
    const auto length = Trim(podFileName).size();
    return length < 4 ? std::string() : podFileName.substr(0, length - 4);
}

}  // namespace karvex
