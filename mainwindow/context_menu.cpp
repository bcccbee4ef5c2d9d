// SPDX-License-Identifier: GPL-3.0-or-later
// The lists' pop-up menu: the selection record, the items' enabling rules, View and the
// copy in the text editor.
#include <fcntl.h>
#include <unistd.h>

#include <QAction>
#include <QDir>
#include <QFile>
#include <QMenu>

#include <algorithm>
#include <vector>

#include "core/lamp_guard.h"
#include "core/number_text.h"
#include "core/paths.h"
#include "core/text.h"
#include "mainwindow/main_window.h"
#include "platform/latin1.h"
#include "platform/message_boxes.h"
#include "platform/text_editor.h"
#include "search/search_window.h"
#include "trucks/results_window.h"
#include "viewers/bitmap_viewer.h"
#include "viewers/palette_viewer.h"
#include "viewers/text_viewer.h"
#include "viewers/texture_viewer.h"
#include "viewers/textures_window.h"
#include "viewers/wave_player.h"

namespace karvex {

void Form1::CreateMenu() {
    menuPopup = new QMenu("Popup", this);
    menuPopup->setObjectName("menuPopup");
    menuView = menuPopup->addAction("&View", this, &Form1::menuView_Click);
    menuNotepad = menuPopup->addAction("&Open in Notepad", this, &Form1::menuNotepad_Click);
    menuExamine = menuPopup->addAction("&Examine", this, &Form1::menuExamine_Click);
    menuDiv1 = menuPopup->addSeparator();
    menuSearch = menuPopup->addAction("&Search...", this, &Form1::menuSearch_Click);
    menuDiv2 = menuPopup->addSeparator();
    menuReplace = menuPopup->addAction("Replace with File...", this, &Form1::menuReplace_Click);
    menuRename = menuPopup->addAction("Rename...", this, &Form1::menuRename_Click);
    menuDelete = menuPopup->addAction("Delete", this, &Form1::menuDelete_Click);
    menuDiv3 = menuPopup->addSeparator();
    menuTextures = menuPopup->addAction("&Textures...", this, &Form1::menuTextures_Click);
    menuTextures->setShortcut(QKeySequence("Ctrl+T"));
    menuView->setObjectName("menuView");
    menuNotepad->setObjectName("menuNotepad");
    menuExamine->setObjectName("menuExamine");
    menuSearch->setObjectName("menuSearch");
    menuReplace->setObjectName("menuReplace");
    menuRename->setObjectName("menuRename");
    menuDelete->setObjectName("menuDelete");
    menuTextures->setObjectName("menuTextures");
}

void Form1::List1_MouseDown(const QPoint& where) {
    if (m_session.IsBusy())
        return;  // the menu's actions would re-enter the core
    RecordSelection();
    menuPopup->popup(where);
}

void Form1::List2_MouseDown(const QPoint& where) {
    List1_MouseDown(where);  // the lists share one selection: the same entry either way
}

void Form1::RecordSelection() {
    int first = 0;
    while (first < m_table.Count() && !m_table.IsSelected(first))
        ++first;
    RecordEntry(first);
}

void Form1::RecordEntry(int i) {
    m_state.FailFlag = 0;
    m_state.SelectedName = " ";
    m_state.SelectedSize = 0;
    m_state.SelectedOffset = 0;
    m_state.EntryIndex = i;  // the table's count when no entry is recorded
    if (i >= 0 && i < m_table.Count()) {
        m_state.SelectedName = m_table.Name(i);
        m_state.SelectedSize = static_cast<std::int32_t>(m_table.SizeOf(i));
        m_state.SelectedOffset = static_cast<std::int32_t>(m_table.OffsetOf(i));
    }
    for (QAction* item : {menuView, menuExamine, menuNotepad, menuSearch, menuReplace, menuRename,
                          menuDelete, menuTextures})
        item->setEnabled(false);
    if (!ContainsNoCase(m_state.PodFileName, ".pod"))
        return;  // a response file: every item stays disabled
    menuNotepad->setEnabled(true);
    menuSearch->setEnabled(true);
    menuTextures->setEnabled(true);
    for (QAction* item : {menuReplace, menuRename, menuDelete})
        item->setEnabled(EntryEditable());
    const std::string& name = m_state.SelectedName;
    for (const char* kind : {".raw", ".act", ".txt", ".lvl", ".loc", ".wav", ".bmp"}) {
        if (ContainsNoCase(name, kind))
            menuView->setEnabled(true);
    }
    menuExamine->setEnabled(!ExaminationsFor(name).empty());
}

template <typename Show>
void Form1::WithTimerPaused(Show show) {
    SetTimerInterval(0);
    show();
    SetTimerInterval(LampGuard::kTimerMilliseconds);
}

int Form1::CopyFolder(const QString& subfolder, QString& path, const char* what, bool& renewed) {
    QString error;
    const int folder = subfolder.isEmpty()
                           ? m_privateFolder.Handle(error, &renewed)
                           : m_privateFolder.MakeSubfolder(subfolder, path, error, &renewed);
    if (subfolder.isEmpty())
        path = m_privateFolder.Path();
    if (folder < 0) {
        const std::string& lf = m_state.LineFeed;
        ShowMessage(std::string("There is no private folder to copy the ") + what + " into." + lf +
                        lf + QFile::encodeName(error).toStdString(),
                    kCaption, Icon::Exclamation);
    }
    return folder;
}

bool Form1::AllowLargeCopy(std::int64_t bytes, const std::string& holds,
                           const std::string& copied) {
    constexpr std::int64_t kLargeCopy = 200LL * 1024 * 1024;
    if (bytes <= kLargeCopy)
        return true;
    const std::string& lf = m_state.LineFeed;
    return AskYesNo(holds + " " + FormatNumber(bytes / (1024 * 1024), m_session.GroupSeparator()) +
                        " MiB. " + copied + lf + lf + "Go on?",
                    kCaption);
}

bool Form1::AllowEntryCopy() {
    const bool recorded = m_state.EntryIndex >= 0 && m_state.EntryIndex < m_table.Count();
    return !recorded ||
           AllowLargeCopy(std::max<std::int64_t>(0, m_table.SizeOf(m_state.EntryIndex)),
                          "The entry holds", "It is copied out of the archive first.");
}

Result Form1::CopyRecordedEntry(int folder, const std::string& path, int viewMode) {
    // Only the recorded entry is copied, not every selected one: the selection is set to it
    // for the copy and put back afterwards.
    std::vector<bool> selected(static_cast<std::size_t>(m_table.Count()));
    for (int i = 0; i < m_table.Count(); ++i) {
        selected[static_cast<std::size_t>(i)] = m_table.IsSelected(i);
        m_table.SetSelected(i, i == m_state.EntryIndex);
    }
    m_state.ViewMode = static_cast<std::int16_t>(viewMode);
    m_state.DialogPath = path;
    Result result;
    {
        BusyScope busy(m_session);
        result = m_session.ExtractSelectedInto(folder);
    }
    for (int i = 0; i < m_table.Count(); ++i)
        m_table.SetSelected(i, selected[static_cast<std::size_t>(i)]);
    return result;
}

template <typename Show>
void Form1::ViewThroughCopy(const char* copyName, Show show) {
    if (m_state.SelectedSize < 1 || !AllowEntryCopy())
        return;
    bool renewed = false;
    QString path;
    const int folder = CopyFolder({}, path, "entry", renewed);
    if (renewed)
        SetStatus(platform::kPrivateFolderRenewedText);
    if (folder < 0)
        return;
    const QString copy = QDir(path).filePath(copyName);
    if (!CopyRecordedEntry(folder, QFile::encodeName(copy).toStdString(), 1).IsDone())
        return;
    show(copy);
    ::unlinkat(folder, copyName, 0);
}

void Form1::menuView_Click() {
    if (!ArchiveUnchanged())
        return;
    const std::string name = m_state.SelectedName;
    WithTimerPaused([&] {
        if (ContainsNoCase(name, ".raw")) {
            Form5 viewer(m_session, this);
            viewer.SetEditor(ViewerEdits());
            viewer.exec();
        }
        if (ContainsNoCase(name, ".act")) {
            Form8 viewer(m_session, this);
            viewer.SetEditor(ViewerEdits());
            viewer.exec();
        }
        for (const char* kind : {".txt", ".lvl", ".loc"}) {
            if (ContainsNoCase(name, kind)) {
                Form11 viewer(m_session, this);
                viewer.exec();
            }
        }
        if (ContainsNoCase(name, ".wav")) {
            ViewThroughCopy("karvex.wav", [&](const QString& copy) {
                // The player lets go of the file as it closes, before the copy is deleted.
                Form13 player(m_session, copy, this);
                player.exec();
            });
        }
        if (ContainsNoCase(name, ".bmp")) {
            ViewThroughCopy("karvex.bmp", [&](const QString& copy) {
                Form14 viewer(m_session, copy, this);
                if (viewer.IsLoaded()) {
                    viewer.exec();
                } else {
                    ShowMessage("The entry " + Trim(name) + " is not a picture that can be shown.",
                                kCaption, Icon::Exclamation);
                }
            });
        }
    });
}

void Form1::menuExamine_Click() {
    if (!ArchiveUnchanged())
        return;
    // A model (".bin") and then a truck definition (".trk"): one results window each.
    WithTimerPaused([this] {
        for (Analysis analysis : ExaminationsFor(m_state.SelectedName)) {
            Form9 results(m_session, analysis, this);
            if (results.Outcome().status != Result::Status::Cancelled)
                results.exec();
        }
    });
}

void Form1::menuSearch_Click() {
    if (!ArchiveUnchanged())
        return;
    WithTimerPaused([this] {
        Form12 search(m_session, this);
        search.exec();
    });
}

void Form1::menuTextures_Click() {
    if (!ArchiveUnchanged())
        return;
    WithTimerPaused([this] {
        TexturesWindow textures(m_session, this);
        textures.SetEditor(ViewerEdits());
        textures.exec();
    });
}

void Form1::menuNotepad_Click() {
    // With no entry recorded (nothing selected) there is nothing to hand over.
    const bool recorded = m_state.EntryIndex >= 0 && m_state.EntryIndex < m_table.Count();
    if (!recorded || !ArchiveUnchanged() || !AllowEntryCopy())
        return;
    SetLamp(Lamp::Red);
    SetTimerInterval(0);
    m_state.SavedComment = m_state.PodComment;
    SetStatus(kProcessingText);
    // The copy lives in the private folder until the program ends: an opener returns at
    // once, so the editor's end cannot be waited for. It gets a folder of its own there, so
    // that no entry's name can stand for the folder's lock or another copy.
    bool renewed = false;
    QString folderPath;
    const int folder = CopyFolder("editor", folderPath, "entry", renewed);
    const std::string path = QFile::encodeName(folderPath).toStdString();
    if (folder >= 0) {
        const std::string tempFilePath =
            JoinName(path, Trim(m_table.Name(m_state.EntryIndex))).string();
        QString reason;
        const bool copied = CopyRecordedEntry(folder, path, 0).IsDone();
        if (!copied ||
            !platform::StartTextEditor(QFile::decodeName(tempFilePath.c_str()), reason)) {
            const std::string& lf = m_state.LineFeed;
            ShowMessage(
                "Error running " + DisplayPath(tempFilePath) +
                    (reason.isEmpty() ? "" : lf + lf + QFile::encodeName(reason).toStdString()),
                kCaption, Icon::Exclamation);
        }
        ::close(folder);
    }
    m_state.PodComment = m_state.SavedComment;
    SetStatus(renewed ? platform::kPrivateFolderRenewedText : UpToNul(m_state.PodComment));
    SetLamp(Lamp::Green);
    SetTimerInterval(LampGuard::kTimerMilliseconds);
}

}  // namespace karvex
