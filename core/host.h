// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

namespace karvex {

// Colours of the main window's status lamp.
enum class Lamp {
    Red,      // a file is being read or written
    Green,    // idle
    Magenta,  // the last file opened was invalid or incomplete
};

// The caption of the program's message boxes and of its main window.
inline constexpr char kCaption[] = "Karvex32";

// Icons of a message box.
enum class Icon { Critical, Question, Exclamation, Information };

// The window as the core routines see it. The main window implements it with Qt, the
// command-line tool with standard streams, the tests with a recorder. Every text handed
// over is 8-bit text (Latin-1), the way the archives store names and comments.
class Host {
  public:
    virtual ~Host() = default;

    // Processes pending events; the long loops call it once per entry or chunk.
    virtual void Yield() = 0;
    // Asked after every yield of a copy: true stops the copy after the current chunk.
    virtual bool CancelRequested() { return false; }

    virtual void SetLamp(Lamp lamp) = 0;
    // Interval of the logo timer in milliseconds; 0 stops it.
    virtual void SetTimerInterval(int milliseconds) = 0;
    // The status line under the button row.
    virtual void SetStatus(const std::string& text) = 0;
    // Hides the entry lists (behind the "Loading" text) while the table is emptied and
    // refilled, and shows them again, filled, afterwards.
    virtual void SetListsShown(bool) {}
    // The folder a command has just opened or extracted into. The window makes it the
    // process's current folder, where its Open dialog and relative paths start; the
    // command-line tool and the tests leave the process as it is.
    virtual void SetCurrentFolder(const std::string&) {}
    // A Yes/No question with the question-mark icon; true for Yes.
    virtual bool AskYesNo(const std::string& text, const std::string& caption) = 0;
    // A message with an OK button.
    virtual void ShowMessage(const std::string& text, const std::string& caption, Icon icon) = 0;
};

}  // namespace karvex
