// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's commands: start-up, Open, Make, Extract, the comment editor, About, Exit,
// Select. Those that read or write files run with the session busy.
#include <QApplication>
#include <QDir>
#include <QFile>

#include "core/command_line.h"
#include "core/lamp_guard.h"
#include "core/paths.h"
#include "core/text.h"
#include "dialogs/about_box.h"
#include "dialogs/extract_dialog.h"
#include "dialogs/make_dialog.h"
#include "dialogs/open_dialog.h"
#include "dialogs/select_dialog.h"
#include "mainwindow/main_window.h"
#include "platform/latin1.h"
#include "platform/message_boxes.h"
#include "platform/naming.h"
#include "platform/twips.h"

namespace karvex {

bool Form1::Startup(const QString& commandLine) {
    m_logoMode = 1;
    m_logoFrame = 1;
    Timer1->start(LampGuard::kTimerMilliseconds);
    Timer1_Timer();  // the first frame at once: a start-up load stops the timer
    platform::CentreOnScreen(this);
    SetLamp(Lamp::Green);
    m_row = {};
    ShowRow();
    m_state.StartFolder = QDir::currentPath().toStdString();
    m_state.LineFeed.assign(1, '\n');
    if (commandLine.isEmpty())
        return true;

    SetListsShown(false);
    SetLamp(Lamp::Red);
    const StartupFile file = ParseCommandLine(commandLine.toStdString(), m_state.StartFolder);
    const QString notFound = "File not found\n\n" + QString::fromStdString(Trim(file.cmdPath));
    const bool inRoot = IsEmptyOrRoot(FolderText(file.path.parent_path()));
    if (file.kind == StartupFile::Kind::Archive) {
        if (inRoot || !file.found) {
            platform::ShowMessage(this, notFound, kCaption, Icon::Exclamation);
            return false;
        }
        OpenPath(file.path);
    } else if (file.kind == StartupFile::Kind::ResponseFile) {
        if (inRoot)
            return false;
        if (!file.found) {
            platform::ShowMessage(this, notFound, kCaption, Icon::Exclamation);
            return false;
        }
        if (OpenPath(file.path).status == Result::Status::Failed)
            return false;  // it could not be read: its message has named it
    } else {
        SetLamp(Lamp::Green);
    }
    SetListsShown(true);
    return true;
}

void Form1::Command3D1_Click() {
    if (m_session.IsBusy())
        return;
    const QString title = windowTitle();
    setWindowTitle(platform::WindowCaption());
    int answer = QDialog::Rejected;
    {
        Form2 dialog(m_state, this);
        answer = dialog.exec();
    }
    if (answer == QDialog::Rejected) {
        // Escape or the close box: nothing changes, the open file stays open.
        setWindowTitle(title);
        return;
    }
    if (!m_state.PodFolder.empty() && !m_state.PodFileName.empty() && !m_state.PodPattern.empty()) {
        RunOpenSequence(m_state.PodPattern == "*.pod");
        setWindowTitle(platform::WindowCaption(QString::fromStdString(m_state.PodFileName)));
        ShowValue(Label8, "Selected files", "0");
        return;
    }
    // Cancel, or Open with no file chosen: no file is open any more.
    SetListsShown(false);
    m_table.Clear();
    SetListsShown(true);
    m_row = {};
    ShowRow();
    SetStatus("");
}

void Form1::Command1_Click() {
    if (m_session.IsBusy() || !ArchiveUnchanged())
        return;
    const QString answer = platform::InputBox(this, "Replace POD file comment",
                                              "Replace comment:\r\nMaximum 80 characters",
                                              platform::FromLatin1(UpToNul(m_state.PodComment)));
    if (answer.isEmpty() || m_session.IsBusy())
        return;
    BusyScope busy(m_session);
    m_session.RewriteComment(platform::ToLatin1(answer));
}

void Form1::Command3D4_Click() {
    Form10 about(this);
    about.exec();
}

void Form1::Command3D5_Click() {
    // While a command runs, closing stops it first (closeEvent); the program ends after.
    if (close())
        QApplication::quit();
}

void Form1::Command3D6_Click() {
    Form6 dialog(m_state, this);
    dialog.exec();
}

Result Form1::RunOpenSequence(bool archive) {
    Result result;
    RunCommand([&] {
        result = archive ? m_session.OpenPodSequence(m_row) : m_session.OpenResponseSequence(m_row);
    });
    if (result.IsDone())
        RememberRecent(QFile::decodeName(m_state.ArchivePath().c_str()));
    return result;
}

Result Form1::OpenPath(const std::filesystem::path& path) {
    Result result;
    RunCommand([&] { result = m_session.Open(path, m_row); });
    if (result.IsDone())
        RememberRecent(QFile::decodeName(m_state.ArchivePath().c_str()));
    return result;
}

void Form1::Command3D2_Click() {
    if (m_session.IsBusy())
        return;
    {
        Form3 dialog(m_state, this);
        dialog.exec();
    }
    const std::string before = m_state.PodPattern;
    RunCommand([this] {
        m_session.MakeCommand(m_row);
        SyncSelection(1);
    });
    // The new archive took the response file's place in the lists: the caption names it,
    // as after Open.
    if (before != m_state.PodPattern)
        setWindowTitle(platform::WindowCaption(QFile::decodeName(m_state.PodFileName.c_str())));
}

void Form1::Command3D3_Click() {
    if (m_session.IsBusy() || !ArchiveUnchanged())
        return;
    {
        Form4 dialog(m_state, this);
        dialog.exec();
    }
    RunCommand([this] { m_session.ExtractCommand(); });
}

}  // namespace karvex
