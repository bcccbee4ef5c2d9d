// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QStringList>
#include <QWidget>
#include <functional>

#include "platform/file_lists.h"

class QDialog;

namespace karvex::test {

// Answers the next modal window of class `kind` from a timer, once it is up and on screen.
void WhenModal(std::function<void(QWidget*)> act, const char* kind = "QWidget");
// Presses the message box button with this text ("OK"), keeping the box's text and caption.
void AnswerMessage(const QString& button, QString* seen = nullptr, QString* caption = nullptr);
// Shows `dialog` and waits until its file list (File1) has read its folder; null if not.
platform::FileList* ShowLoaded(QDialog& dialog);
// Clicks (or double-clicks) the file `name` in the list; false when the list lacks it.
bool ClickFile(platform::FileList* files, const QString& name, Qt::KeyboardModifiers keys = {},
               bool twice = false);
void CloseAs(QDialog& dialog, const QString& button);           // a click on it
QStringList ListRows(const QWidget& window, const char* list);  // as shown
QStringList Heard(QWidget* list);  // the names a screen reader hears for the list's items

}  // namespace karvex::test
