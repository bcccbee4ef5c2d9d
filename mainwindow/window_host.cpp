// SPDX-License-Identifier: GPL-3.0-or-later
// The main window as the Host of the session's routines: yielding to events, the lamp,
// the logo timer, the status line, the lists during a load, and the message boxes.
#include <QPalette>

#include "core/paths.h"
#include "mainwindow/main_window.h"
#include "platform/event_yield.h"
#include "platform/latin1.h"
#include "platform/message_boxes.h"

namespace karvex {

namespace {

QColor LampColor(Lamp lamp) {
    switch (lamp) {
        case Lamp::Red:
            return QColor(255, 0, 0);
        case Lamp::Green:
            return QColor(0, 255, 0);
        case Lamp::Magenta:
            return QColor(255, 0, 255);
    }
    return {};
}

}  // namespace

void Form1::Yield() {
    // The long loops yield before every entry and chunk, thousands of times a second. Events
    // are processed when at least a frame's time has passed since the last time, so the
    // window repaints and answers clicks and keys as smoothly as before, without the loop
    // spending most of its time in repaints of a status line no one can read that fast.
    constexpr qint64 kFrameMilliseconds = 10;
    if (m_yieldClock.isValid() && m_yieldClock.elapsed() < kFrameMilliseconds)
        return;
    ShowPendingStatus();
    platform::YieldToEvents();
    m_yieldClock.start();
}

void Form1::ShowPendingStatus() {
    if (!m_statusPending)
        return;
    m_statusPending = false;
    Label5->setText(platform::FromLatin1(m_status));
}

void Form1::SetLamp(Lamp lamp) {
    m_lamp = lamp;
    QPalette palette = Picture1->palette();
    palette.setColor(QPalette::Window, LampColor(lamp));
    Picture1->setPalette(palette);
}

void Form1::SetTimerInterval(int milliseconds) {
    if (milliseconds <= 0) {
        Timer1->stop();
    } else {
        Timer1->start(milliseconds);
    }
}

void Form1::SetStatus(const std::string& text) {
    // While a command runs, "Processing i of n" changes with every entry; the label takes
    // the latest text when the window next repaints, and at the command's end.
    m_status = text;
    m_statusPending = true;
    if (!m_session.IsBusy())
        ShowPendingStatus();
}

void Form1::SetCurrentFolder(const std::string& folder) {
    MakeCurrentFolder(folder);
}

void Form1::SetListsShown(bool shown) {
    // The model shows no rows while the table is refilled, and the whole table at once
    // afterwards: one layout, never one per entry.
    for (EntryModel* model : {&m_names, &m_sizes}) {
        if (shown) {
            model->Refresh();
        } else {
            model->Freeze();
        }
    }
    // Hiding a list takes the focus from it; the focus goes back when the lists are shown, so
    // that the keys go on working in the list after a reload.
    if (!shown && (focusWidget() == List1 || focusWidget() == List2))
        m_hiddenFocus = focusWidget();
    List1->setVisible(shown);
    List2->setVisible(shown);
    Label9->setVisible(!shown);
    if (shown && m_hiddenFocus) {
        m_hiddenFocus->setFocus();
        m_hiddenFocus = nullptr;
    }
}

// Once Exit was used, a command still winding down asks nothing and shows nothing: every
// question is answered No.
bool Form1::AskYesNo(const std::string& text, const std::string& caption) {
    if (m_exitRequested)
        return false;
    ShowPendingStatus();
    return platform::AskYesNo(this, platform::FromLatin1(text), platform::FromLatin1(caption));
}

void Form1::ShowMessage(const std::string& text, const std::string& caption, Icon icon) {
    if (m_exitRequested)
        return;
    ShowPendingStatus();
    platform::ShowMessage(this, platform::FromLatin1(text), platform::FromLatin1(caption), icon);
}

}  // namespace karvex
