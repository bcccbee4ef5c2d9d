// SPDX-License-Identifier: GPL-3.0-or-later
// What makes the main window a desktop program: files dropped on it are opened (or added to
// the open archive), entries are dragged out to a file manager, keyboard shortcuts, a
// double-click to view, the recent files on the Open button, sizes in tool tips, and the
// check that the archive has not changed on disk since it was opened.
#include <unistd.h>

#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QMenu>
#include <QMimeData>
#include <QSettings>
#include <QShortcut>
#include <QUrl>

#include <set>

#include "core/text.h"
#include "mainwindow/main_window.h"
#include "platform/latin1.h"
#include "platform/naming.h"

namespace karvex {

namespace {

constexpr int kRecentFiles = 10;
const char* const kRecentKey = "recentFiles";

// The file a drop or a recent-files choice names, when it is one the Open command opens.
bool IsOpenable(const QString& path) {
    return path.endsWith(".pod", Qt::CaseInsensitive) || path.endsWith(".lst", Qt::CaseInsensitive);
}

// The first part of an entry's name, where it would be extracted: "sounds\horn.wav" ->
// "sounds". Leading separators are dropped, as extraction drops them.
std::string TopPart(const std::string& name) {
    const std::string trimmed = Trim(name);
    const std::size_t start = trimmed.find_first_not_of("\\/");
    if (start == std::string::npos)
        return {};
    return trimmed.substr(start, trimmed.find_first_of("\\/", start) - start);
}

}  // namespace

QSettings Form1::Settings() {
    return QSettings(QSettings::IniFormat, QSettings::UserScope, "Karvex32", "karvex32");
}

void Form1::CreateComforts() {
    const struct {
        QKeySequence keys;
        QToolButton* button;
    } shortcuts[] = {{QKeySequence::Open, Command3D1},
                     {Qt::CTRL | Qt::Key_M, Command3D2},
                     {Qt::CTRL | Qt::Key_E, Command3D3},
                     {QKeySequence::Quit, Command3D5}};
    for (const auto& shortcut : shortcuts) {
        const QKeySequence keys(shortcut.keys);
        connect(new QShortcut(keys, this), &QShortcut::activated, shortcut.button,
                &QToolButton::click);
        shortcut.button->setToolTip(shortcut.button->toolTip() + " (" +
                                    keys.toString(QKeySequence::NativeText) + ")");
    }
    // The search and the Textures window, as from the pop-up menu, while an archive is open.
    const std::pair<QKeySequence, void (Form1::*)()> windows[] = {
        {QKeySequence::Find, &Form1::menuSearch_Click},
        {QKeySequence(Qt::CTRL | Qt::Key_T), &Form1::menuTextures_Click}};
    for (const auto& [keys, open] : windows) {
        connect(new QShortcut(keys, this), &QShortcut::activated, this, [this, open] {
            if (!m_session.IsBusy() && ContainsNoCase(m_state.PodFileName, ".pod")) {
                RecordSelection();
                (this->*open)();
            }
        });
    }

    setAcceptDrops(true);
    List1->setDragEnabled(true);
    List1->setDragDropMode(QAbstractItemView::DragOnly);
    m_names.SetDragSource([this] { return DragOutData(); });
    for (QListView* list : {List1, List2}) {
        connect(list, &QAbstractItemView::doubleClicked, this,
                [this, list] { ViewFocusedEntry(list); });
    }

    Command3D1->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(Command3D1, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& where) { ShowRecentFiles(Command3D1->mapToGlobal(where)); });
}

// --- Opening a file from a drop or the recent files ---------------------------------------

bool Form1::OpenFile(QString path) {
    if (m_session.IsBusy() || !IsOpenable(path))
        return false;
    const QFileInfo file(path);
    if (!file.isFile()) {
        ShowMessage("File not found" + m_state.LineFeed + m_state.LineFeed +
                        QFile::encodeName(path).toStdString(),
                    kCaption, Icon::Exclamation);
        return false;
    }
    OpenPath(QFile::encodeName(file.absoluteFilePath()).toStdString());
    setWindowTitle(platform::WindowCaption(file.fileName()));
    ShowValue(Label8, "Selected files", "0");
    return true;
}

void Form1::dragEnterEvent(QDragEnterEvent* event) {
    // The window's own drag of entries (a source in this program) is never dropped back.
    const QList<QUrl> urls = event->mimeData()->urls();
    if (!m_session.IsBusy() && !urls.isEmpty() && urls.first().isLocalFile() &&
        (IsOpenable(urls.first().toLocalFile()) || ArchiveOpen()) && event->source() == nullptr)
        event->acceptProposedAction();
}

void Form1::dropEvent(QDropEvent* event) {
    // The first file decides. An archive or a response file is opened (the first of several,
    // as the Open dialog opens one); other files are added to the open archive.
    const QList<QUrl> urls = event->mimeData()->urls();
    if (urls.isEmpty() || !urls.first().isLocalFile())
        return;
    if (IsOpenable(urls.first().toLocalFile())) {
        event->acceptProposedAction();
        OpenFile(urls.first().toLocalFile());
        return;
    }
    if (m_session.IsBusy() || !ArchiveOpen() || event->source() != nullptr)
        return;
    event->acceptProposedAction();
    // The questions come once the drop has ended: the program the files came from is not
    // kept waiting for the user's answers.
    QMetaObject::invokeMethod(
        this, [this, urls] { AddDroppedFiles(urls); }, Qt::QueuedConnection);
}

void Form1::ViewFocusedEntry(QListView* list) {
    const QModelIndex focused = list->currentIndex();
    if (m_session.IsBusy() || !focused.isValid())
        return;
    RecordEntry(focused.row());
    if (menuView->isEnabled())
        menuView_Click();
}

// --- Recent files ------------------------------------------------------------------------

void Form1::RememberRecent(const QString& path) {
    QSettings settings = Settings();
    QStringList recent = settings.value(kRecentKey).toStringList();
    recent.removeAll(path);
    recent.prepend(path);
    settings.setValue(kRecentKey, recent.mid(0, kRecentFiles));
}

QStringList Form1::RecentFiles() {
    return Settings().value(kRecentKey).toStringList().mid(0, kRecentFiles);
}

void Form1::ShowRecentFiles(const QPoint& where) {
    auto* menu = new QMenu(this);
    menu->setObjectName("menuRecent");
    menu->setAttribute(Qt::WA_DeleteOnClose);
    for (const QString& path : RecentFiles()) {
        // The open runs once the menu has closed, with a path of its own: the menu, its
        // actions and the lambda that holds `path` are deleted while the open yields to
        // events, and nothing of theirs may be in use then.
        menu->addAction(path, this, [this, path] {
            QMetaObject::invokeMethod(
                this, [this, path] { OpenFile(path); }, Qt::QueuedConnection);
        });
    }
    if (menu->isEmpty())
        menu->addAction("No recent files")->setEnabled(false);
    menu->setEnabled(!m_session.IsBusy());
    menu->popup(where);
}

// --- Dragging entries out ----------------------------------------------------------------

QMimeData* Form1::DragOutData() {
    if (m_session.IsBusy() || !ContainsNoCase(m_state.PodFileName, ".pod") ||
        m_table.SelectedCount() == 0 || !ArchiveUnchanged())
        return nullptr;
    std::int64_t total = 0;
    for (int i = 0; i < m_table.Count(); ++i) {
        if (m_table.IsSelected(i))
            total += std::max<std::int64_t>(0, m_table.SizeOf(i));
    }
    if (!AllowLargeCopy(total, "The entries to drag hold",
                        "They are copied out of the archive first."))
        return nullptr;
    // A fresh folder for each drag: a file manager may still be copying an earlier one.
    bool renewed = false;
    QString dragPath;
    const int folder = CopyFolder("drag", dragPath, "entries", renewed);
    if (renewed)
        SetStatus(platform::kPrivateFolderRenewedText);
    if (folder < 0)
        return nullptr;
    m_state.ViewMode = 0;
    m_state.DialogPath = QFile::encodeName(dragPath).toStdString();
    Result result;
    {
        BusyScope busy(m_session);
        result = m_session.ExtractSelectedInto(folder);
    }
    ::close(folder);
    if (result.status == Result::Status::Failed || result.status == Result::Status::Cancelled)
        return nullptr;
    QList<QUrl> urls;
    std::set<std::string> tops;
    for (int i = 0; i < m_table.Count(); ++i) {
        std::string top = m_table.IsSelected(i) ? TopPart(m_table.Name(i)) : std::string();
        if (top == "." || top == "..")
            top.clear();  // a name extraction refused: never the folder itself or its parent
        const QString path = QDir(dragPath).filePath(platform::FromLatin1(top));
        if (!top.empty() && tops.insert(top).second && QFileInfo::exists(path))
            urls << QUrl::fromLocalFile(path);
    }
    if (urls.isEmpty())
        return nullptr;
    auto* data = new QMimeData;
    data->setUrls(urls);
    return data;
}

// --- The archive on disk -----------------------------------------------------------------

bool Form1::ArchiveUnchanged() {
    if (m_session.ArchiveUnchanged())
        return true;
    // The old table's offsets would point anywhere in the new file: nothing runs on it.
    if (AskYesNo("The archive has changed on disk since it was opened. Reload it?", kCaption))
        RunOpenSequence(true);
    return false;
}

void Form1::ShowSizeTip() {
    // Label3 shows PodFileLength, or nothing, or "Unknown" for an incomplete response file.
    const bool size = !m_row.Label3.empty() && m_row.Label3 != "Unknown";
    Label3->setToolTip(size ? QLocale::system().formattedDataSize(m_state.PodFileLength, 1,
                                                                  QLocale::DataSizeIecFormat)
                            : QString());
}

}  // namespace karvex
