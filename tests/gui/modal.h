// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>
#include <QWidget>
#include <functional>

class QDialog;

namespace karvex::platform {
class FileList;
}

namespace karvex::test {

// Answers the next modal window from a timer, as a user would: `act` gets it once it is up,
// on screen and a `kind` (a class name such as "QMessageBox").
void WhenModal(std::function<void(QWidget*)> act, const char* kind = "QWidget");
// Presses the message box button with this text ("OK", "Yes") and gives `seen` and
// `caption` the box's text and caption.
void AnswerMessage(const QString& button, QString* seen = nullptr, QString* caption = nullptr);

// Shows `dialog` and waits until its file list (File1) has read its folder; null if not.
platform::FileList* ShowLoaded(QDialog& dialog);
// Clicks (or double-clicks) the file `name` in the list; false when the list lacks it.
bool ClickFile(platform::FileList* files, const QString& name, Qt::KeyboardModifiers keys = {},
               bool twice = false);
// Closes `dialog` with "Escape", the "close box" or a click on the button of that name.
void CloseAs(QDialog& dialog, const QString& how);
// The rows of the list view `list` in `window`, as shown.
QStringList ListRows(const QWidget& window, const char* list);

}  // namespace karvex::test
