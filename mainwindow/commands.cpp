// The main window's commands: start-up, Open, the comment editor, About, Exit, Select.
#include <QApplication>
#include <QDir>

#include "about_box.h"
#include "command_line.h"
#include "dialogs.h"
#include "extract_dialog.h"
#include "main_window.h"
#include "make_dialog.h"
#include "open_dialog.h"
#include "paths.h"
#include "select_dialog.h"
#include "text.h"
#include "twips.h"

namespace karvex {

namespace {

QString FromLatin1(const std::string& text) {
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

bool Form1::Startup(const QString& commandLine) {
    m_logoMode = 1;
    m_logoFrame = 1;
    Timer1->start(100);
    platform::CentreOnScreen(this);
    SetLamp(Lamp::Green);
    m_row = {};
    ShowRow();
    m_state.StartFolder = QDir::currentPath().toStdString();
    m_state.LineFeed = "\n";
    if (commandLine.isEmpty())
        return true;

    SetListsShown(false);
    SetLamp(Lamp::Red);
    const StartupFile file = ParseCommandLine(commandLine.toStdString(), m_state.StartFolder);
    const QString notFound = "File not found\n\n" + QString::fromStdString(Trim(file.cmdPath));
    if (file.kind != StartupFile::Kind::None) {
        m_state.PodFolder = file.folder;
        m_state.PodFileName = file.fileName;
    }
    if (file.kind == StartupFile::Kind::Archive) {
        if (IsEmptyOrRoot(m_state.PodFolder) || !file.found) {
            platform::ShowMessage(this, notFound, "Karvex32", Icon::Exclamation);
            return false;
        }
        m_state.PodPattern = "*.pod";
        RunOpenSequence(true);
    } else if (file.kind == StartupFile::Kind::ResponseFile) {
        if (IsEmptyOrRoot(m_state.PodFolder))
            return false;
        if (!file.found) {
            platform::ShowMessage(this, notFound, "Karvex32", Icon::Exclamation);
            return false;
        }
        m_state.PodPattern = "*.lst";
        RunOpenSequence(false);
        if (m_core.GetOutcome() == Outcome::IoFailed)
            return false;  // it could not be read: its message has named it
    } else {
        SetLamp(Lamp::Green);
    }
    SetListsShown(true);
    return true;
}

void Form1::Command3D1_Click() {
    setWindowTitle("Karvex32");
    {
        Form2 dialog(m_state, this);
        dialog.exec();
    }
    if (!m_state.PodFolder.empty() && !m_state.PodFileName.empty() && !m_state.PodPattern.empty()) {
        RunOpenSequence(m_state.PodPattern == "*.pod");
        setWindowTitle("Karvex32  -  " + QString::fromStdString(m_state.PodFileName));
        Label8->setText("0");
        return;
    }
    // Cancelled: no file is open any more.
    m_model.Freeze();
    m_table.Clear();
    m_row = {};
    ShowRow();
    SetStatus("");
}

void Form1::Command1_Click() {
    const QString answer = platform::InputBox(this, "Replace POD file comment",
                                              "Replace comment:\r\nMaximum 80 characters",
                                              FromLatin1(UpToNul(m_state.PodComment)));
    if (answer.isEmpty())
        return;
    SetBusy(true);
    m_core.RewriteComment(Utf8ToLatin1(answer.toStdString()));
    SetBusy(false);
}

void Form1::Command3D4_Click() {
    Form10 about(windowIcon(), this);
    about.exec();
}

void Form1::Command3D5_Click() {
    QApplication::quit();
    close();
}

void Form1::Command3D6_Click() {
    Form6 dialog(m_state, this);
    dialog.exec();
}

template <typename Work>
void Form1::RunCancellable(Work work) {
    m_cancelRequested = false;
    SetBusy(true);
    m_core.ResetOutcome();
    work();
    SetBusy(false);
    m_cancelRequested = false;
}

void Form1::Command3D2_Click() {
    {
        Form3 dialog(m_state, this);
        dialog.exec();
    }
    RunCancellable([this] {
        if (m_core.MakeCommand(m_row)) {
            m_model.Refresh();  // the new archive is the open file now
            SyncSelection(1);
        }
    });
}

void Form1::Command3D3_Click() {
    {
        Form4 dialog(m_state, this);
        dialog.exec();
    }
    RunCancellable([this] { m_core.ExtractCommand(); });
}

}  // namespace karvex
