// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/cli_host.h"

#include <cstdio>

#include "core/text.h"

namespace karvex {

CliHost::~CliHost() {
    EndProgressLine();
}

void CliHost::EndProgressLine() {
    if (!m_progressShown)
        return;
    std::fputc('\n', stderr);
    m_progressShown = false;
}

void CliHost::SetStatus(const std::string& text) {
    if (!m_showProgress)
        return;
    // Rewrites one terminal line: carriage return, the text, erase to the end of the line.
    std::fprintf(stderr, "\r%s\x1b[K", Latin1ToUtf8(text).c_str());
    std::fflush(stderr);
    m_progressShown = true;
}

bool CliHost::AskYesNo(const std::string& text, const std::string& caption) {
    EndProgressLine();
    std::fprintf(stderr, "%s: %s %s\n", Latin1ToUtf8(caption).c_str(), Latin1ToUtf8(text).c_str(),
                 m_answerYes ? "Yes" : "No");
    return m_answerYes;
}

void CliHost::ShowMessage(const std::string& text, const std::string& caption, Icon) {
    EndProgressLine();
    std::fprintf(stderr, "%s: %s\n", Latin1ToUtf8(caption).c_str(), Latin1ToUtf8(text).c_str());
}

}  // namespace karvex
