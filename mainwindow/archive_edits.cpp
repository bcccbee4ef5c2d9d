// SPDX-License-Identifier: GPL-3.0-or-later
// The edits of the open archive from the window: files dropped on it are added, and the
// pop-up menu's Replace with File, Rename and Delete, with their keys. The questions are
// asked here; the session applies what is left of the edit, all of it or nothing.
#include <QAction>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QKeyEvent>
#include <QUrl>

#include <algorithm>
#include <map>

#include "core/number_text.h"
#include "core/paths.h"
#include "core/pod_format.h"
#include "core/text.h"
#include "mainwindow/main_window.h"
#include "platform/latin1.h"
#include "platform/message_boxes.h"

namespace karvex {

namespace {

// "1 file", "2 files".
std::string Count(std::size_t n, const char* one, const char* many, const std::string& sep) {
    return FormatNumber(static_cast<std::int64_t>(n), sep) + " " + (n == 1 ? one : many);
}

std::filesystem::path NativePath(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

// A change of entry `row` (-1: the first entry of the name, or a new entry): the user chose
// that row, which another entry of the same name may come before.
EditChange Change(EditChange::Kind kind, std::string name, std::filesystem::path source = {},
                  std::string newName = {}, int row = -1) {
    return {kind, std::move(name), std::move(newName), std::move(source), row};
}

}  // namespace

bool Form1::ArchiveOpen() const {
    return m_state.PodPattern == "*.pod" && EndsWithNoCase(m_state.PodFileName, ".pod");
}

bool Form1::EntryEditable() const {
    return ArchiveOpen() && m_state.EntryIndex >= 0 && m_state.EntryIndex < m_table.Count();
}

bool Form1::EntryEditStarts() {
    return EntryEditable() && !m_session.IsBusy() && ArchiveUnchanged();
}

bool Form1::ToEntryName(const QString& text, std::string& latin1) {
    if (Utf8ToLatin1Exactly(text.toStdString(), latin1) == Latin1Conversion::Done)
        return true;
    platform::ShowMessage(
        this,
        "The name " + text + " cannot be given to an entry: it holds characters outside Latin-1.",
        kCaption, Icon::Exclamation);
    return false;
}

// --- Files dropped on the window ---------------------------------------------------------

bool Form1::DroppedFiles(const QList<QUrl>& urls, std::vector<EditChange>& files) {
    for (const QUrl& url : urls) {
        if (!url.isLocalFile())
            continue;
        const QFileInfo item(QDir::cleanPath(url.toLocalFile()));
        QList<std::pair<QString, QString>> found;  // the entry name, the file's path
        if (item.isFile()) {
            found.append({item.fileName(), item.absoluteFilePath()});
        } else if (item.isDir() && !item.fileName().isEmpty()) {
            // Regular files only (a link to one too), in no folder that is a link or hidden:
            // "sounds" holding horn.wav gives "sounds\horn.wav".
            const QDir folder(item.absoluteFilePath());
            QDirIterator walk(folder.path(), QDir::Files, QDirIterator::Subdirectories);
            while (walk.hasNext()) {
                // A drop of a whole disk is not walked to its end: no archive could hold it.
                if (files.size() + static_cast<std::size_t>(found.size()) >=
                    static_cast<std::size_t>(kMaxEntries)) {
                    platform::ShowMessage(this,
                                          "The drop holds more than 32,767 files; an archive "
                                          "holds at most 32,767.",
                                          kCaption, Icon::Exclamation);
                    return false;
                }
                const QString path = walk.next();
                QString name = item.fileName() + '/' + folder.relativeFilePath(path);
                found.append({name.replace('/', '\\'), path});
            }
            std::sort(found.begin(), found.end());
        }
        for (const auto& [name, path] : found) {
            EditChange change = Change(EditChange::Kind::Add, {}, NativePath(path));
            if (!ToEntryName(name, change.name))
                return false;
            files.push_back(std::move(change));
        }
    }
    return true;
}

bool Form1::AskReplacements(std::vector<EditChange>& files, EditPlan& plan) {
    // The names there already, upper-cased, with the first entry's name as the table holds
    // it; each file of the drop joins them once it is in the plan.
    std::map<std::string, std::string> existing;
    for (int i = 0; i < m_table.Count(); ++i)
        existing.emplace(ToUpperLatin1(m_table.Name(i)), m_table.Name(i));
    bool replaceAll = false;
    for (EditChange& file : files) {
        const auto [there, isNew] = existing.emplace(ToUpperLatin1(file.name), file.name);
        if (!isNew) {
            const platform::Answer answer =
                replaceAll
                    ? platform::Answer::Yes
                    : platform::AskYesToAll(
                          this, "Replace " + platform::FromLatin1(there->second) + "?", kCaption);
            if (answer == platform::Answer::Cancel)
                return false;
            if (answer == platform::Answer::No)
                continue;
            replaceAll = replaceAll || answer == platform::Answer::YesToAll;
            file.kind = EditChange::Kind::Replace;
            file.name = there->second;
        }
        plan.changes.push_back(std::move(file));
    }
    return true;
}

void Form1::AddDroppedFiles(const QList<QUrl>& urls) {
    if (m_session.IsBusy() || !ArchiveOpen() || !ArchiveUnchanged())
        return;
    std::vector<EditChange> files;
    if (!DroppedFiles(urls, files) || files.empty())
        return;
    if (!AskYesNo("Add " + Count(files.size(), "file", "files", m_session.GroupSeparator()) +
                      " to " + DisplayPath(m_state.PodFileName) + "?",
                  kCaption))
        return;
    EditPlan plan;
    if (AskReplacements(files, plan) && !plan.changes.empty() && !m_session.IsBusy())
        RunEdit(plan);
}

// --- The pop-up menu's edits -------------------------------------------------------------

void Form1::menuReplace_Click() {
    if (!EntryEditStarts())
        return;
    const std::string name = m_state.SelectedName;
    const int row = m_state.EntryIndex;
    // The program's own file dialog, on every desktop alike.
    QFileDialog dialog(this, "Replace " + platform::FromLatin1(name));
    dialog.setObjectName("ReplaceDialog");
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setFileMode(QFileDialog::ExistingFile);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty() ||
        m_session.IsBusy())
        return;
    EditPlan plan;
    plan.changes.push_back(Change(EditChange::Kind::Replace, name,
                                  NativePath(dialog.selectedFiles().first()), {}, row));
    RunEdit(plan);
}

void Form1::menuRename_Click() {
    if (!EntryEditStarts())
        return;
    const std::string name = m_state.SelectedName;
    const int row = m_state.EntryIndex;
    const QString current = platform::FromLatin1(name);
    const QString answer =
        platform::InputBox(this, "Rename entry", "New name for " + current + ":", current);
    std::string newName;
    if (answer.isEmpty() || answer == current || m_session.IsBusy() ||
        !ToEntryName(answer, newName))
        return;
    EditPlan plan;
    plan.changes.push_back(Change(EditChange::Kind::Rename, name, {}, newName, row));
    RunEdit(plan);
}

void Form1::menuDelete_Click() {
    if (!EntryEditStarts())
        return;
    // One change a selected row, of that row: an entry of the same name that is not selected
    // stays.
    EditPlan plan;
    for (int i = 0; i < m_table.Count(); ++i) {
        if (m_table.IsSelected(i))
            plan.changes.push_back(Change(EditChange::Kind::Delete, m_table.Name(i), {}, {}, i));
    }
    if (plan.changes.empty() ||
        !AskYesNo("Delete " +
                      Count(plan.changes.size(), "entry", "entries", m_session.GroupSeparator()) +
                      " from " + DisplayPath(m_state.PodFileName) + "?",
                  kCaption))
        return;
    RunEdit(plan);
}

bool Form1::EditKey(const QKeyEvent* key) {
    const bool remove = key->key() == Qt::Key_Delete;
    if ((!remove && key->key() != Qt::Key_F2) ||
        (key->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier)
        return false;
    if (m_session.IsBusy())
        return true;
    RecordSelection();
    if (EntryEditable())
        remove ? menuDelete_Click() : menuRename_Click();
    return true;
}

// --- Running an edit ---------------------------------------------------------------------

bool Form1::RunEdit(const EditPlan& plan, std::vector<int>& changed) {
    Result result;
    RunCommand([&] { result = m_session.EditArchive(plan, m_row, changed); });
    if (!result.IsDone())
        return false;  // refused or cancelled: the archive is open as it was
    SetListsShown(true);
    ShowRow();
    SelectRows(changed);
    return true;
}

EditRunner Form1::ViewerEdits() {
    if (!ArchiveOpen())
        return {};
    return [this](const EditPlan& plan, std::vector<int>& changed) {
        return !m_session.IsBusy() && ArchiveUnchanged() && RunEdit(plan, changed);
    };
}

void Form1::SelectRows(const std::vector<int>& rows) {
    m_table.SetAllSelected(false);
    int first = -1;
    for (int row : rows) {
        if (row < 0 || row >= m_table.Count())
            continue;
        m_table.SetSelected(row, true);
        first = first < 0 ? row : std::min(first, row);
    }
    ShowTableSelection();
    if (first >= 0) {
        const QModelIndex index = m_names.index(first, 0);
        List1->selectionModel()->setCurrentIndex(index, QItemSelectionModel::NoUpdate);
        List1->scrollTo(index);
    }
    SyncSelection(1);  // List2, the table and the count, even where nothing was selected
}

}  // namespace karvex
