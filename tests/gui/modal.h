#pragma once

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
