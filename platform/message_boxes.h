// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include "core/host.h"

class QWidget;

namespace karvex::platform {

// Modal message boxes: an OK button, or Yes and No, with one icon.
void ShowMessage(QWidget* parent, const QString& text, const QString& caption, Icon icon);
// True for Yes. The question-mark icon; No is the answer to Escape and the close box.
bool AskYesNo(QWidget* parent, const QString& text, const QString& caption);

// The answer to a question that can be answered once for every case still to come.
enum class Answer { Yes, YesToAll, No, Cancel };
// Yes, Yes to All, No and Cancel, with the question-mark icon; Yes is the default button,
// Cancel the answer to Escape and the close box.
Answer AskYesToAll(QWidget* parent, const QString& text, const QString& caption);

// The one-line text-input box: title, prompt, initial text. Gives the text typed, or empty
// text when cancelled.
QString InputBox(QWidget* parent, const QString& title, const QString& prompt,
                 const QString& initial);

}  // namespace karvex::platform
