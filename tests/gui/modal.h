// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QWidget>
#include <functional>

namespace karvex::test {

// Answers the next modal window (message box, input box, dialog) from a timer, the way a
// user would: `act` gets the window once it is up and on screen and is a `kind` (a class
// name such as "QMessageBox").
void WhenModal(std::function<void(QWidget*)> act, const char* kind = "QWidget");

// Presses the message box button with this text ("OK", "Yes", "No") and gives the box's
// text and caption to `seen`, if given.
void AnswerMessage(const QString& button, QString* seen = nullptr, QString* caption = nullptr);

}  // namespace karvex::test

class QDialog;

namespace karvex::platform {
class FileList;
}

namespace karvex::test {

// Shows `dialog` and waits until its file list (File1) has read its folder; null if it
// does not.
platform::FileList* ShowLoaded(QDialog& dialog);

// Clicks (or double-clicks) the file `name` in the list, as the user would; false when the
// list does not show it.
bool ClickFile(platform::FileList* files, const QString& name, Qt::KeyboardModifiers keys = {},
               bool twice = false);

}  // namespace karvex::test
