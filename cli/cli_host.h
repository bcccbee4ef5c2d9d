// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

#include "core/host.h"

namespace karvex {

// The window, as the command-line tool stands in for it: messages and questions go to
// standard error as "CAPTION: TEXT" (UTF-8); a question is followed by its answer, which
// is No unless --yes was given. Status-line progress is shown only on a terminal.
class CliHost : public Host {
  public:
    CliHost(bool answerYes, bool showProgress)
        : m_answerYes(answerYes), m_showProgress(showProgress) {}
    ~CliHost() override;

    void Yield() override {}
    void SetLamp(Lamp) override {}
    void SetTimerInterval(int) override {}
    void SetStatus(const std::string& text) override;
    bool AskYesNo(const std::string& text, const std::string& caption) override;
    void ShowMessage(const std::string& text, const std::string& caption, Icon icon) override;

  private:
    void EndProgressLine();

    bool m_answerYes;
    bool m_showProgress;
    bool m_progressShown = false;
};

}  // namespace karvex
