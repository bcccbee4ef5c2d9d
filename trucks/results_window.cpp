// SPDX-License-Identifier: GPL-3.0-or-later
#include "trucks/results_window.h"

#include <QAction>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileDialog>
#include <QGuiApplication>
#include <QListView>
#include <QMenu>
#include <QStringListModel>

#include "core/replacing_file.h"
#include "core/session.h"
#include "core/target_folder.h"
#include "core/text.h"
#include "platform/latin1.h"
#include "platform/message_boxes.h"
#include "platform/naming.h"
#include "platform/twips.h"
#include "trucks/response_list.h"

namespace fs = std::filesystem;

namespace karvex {

namespace {

constexpr int kYieldEveryMs = 30;  // how often a running examination lets the windows repaint

}  // namespace

Form9::Form9(Session& session, Analysis analysis, QWidget* parent)
    : CentredDialog(parent), m_session(session) {
    setObjectName("Form9");
    setModal(true);
    setFixedSize(platform::Px(3345), platform::Px(5100));
    m_list = new QStringListModel(this);
    List1 = platform::Named(new QListView(this), "List1", "Files named");
    platform::Place(List1, 0, 0, 3345, 4935);
    List1->setModel(m_list);
    List1->setUniformItemSizes(true);
    List1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    List1->setSelectionMode(QAbstractItemView::ExtendedSelection);

    menuList = new QMenu(this);
    menuList->setObjectName("menuList");
    QAction* copy = menuList->addAction("&Copy", this, &Form9::menuCopy_Click);
    copy->setObjectName("menuCopy");
    copy->setShortcut(QKeySequence::Copy);
    addAction(copy);
    menuList->addAction("Select in &main window", this, &Form9::menuSelect_Click)
        ->setObjectName("menuSelect");
    menuList->addAction("&Save as response file…", this, &Form9::menuSave_Click)
        ->setObjectName("menuSave");
    Form_Load(analysis);
}

void Form9::Form_Load(Analysis analysis) {
    const ArchiveState& state = m_session.State();
    setWindowTitle(platform::FromLatin1(state.SelectedName));
    QElapsedTimer sinceYield;
    sinceYield.start();
    // Between windows the program repaints; Escape in the main window stops the run.
    const StopCheck stop = [&] {
        if (sinceYield.elapsed() >= kYieldEveryMs) {
            QCoreApplication::processEvents();
            sinceYield.restart();
        }
        return m_session.CancelRequested();
    };
    Examination found;
    {
        BusyScope busy(m_session);
        found = ExamineEntry(m_session, state.EntryIndex, analysis, stop);
    }
    m_names = std::move(found.names);
    m_outcome = std::move(found.result);
    QStringList items;
    for (const std::string& name : m_names)
        items << platform::FromLatin1(name);
    m_list->setStringList(items);
    List1->setAccessibleName(QString("Files named, %1").arg(items.size()));
    if (!m_outcome.IsDone() && !m_outcome.message.empty() &&
        m_outcome.status != Result::Status::Cancelled) {
        platform::ShowMessage(parentWidget(), platform::FromLatin1(m_outcome.message), kCaption,
                              Icon::Exclamation);
    }
}

void Form9::contextMenuEvent(QContextMenuEvent* event) {
    menuList->popup(event->globalPos());
}

void Form9::menuCopy_Click() {
    QString text;
    for (const std::string& name : m_names)
        text += platform::FromLatin1(name) + '\n';
    QGuiApplication::clipboard()->setText(text);
}

void Form9::menuSelect_Click() {
    m_session.SelectEntries(EntriesNamed(m_names, m_session.Table()));
}

void Form9::menuSave_Click() {
    QFileDialog dialog(this, "Save as response file");
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setNameFilter("Response files (*.lst)");
    dialog.setDefaultSuffix("lst");
    if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty())
        SaveResponseFile(dialog.selectedFiles().constFirst());
}

bool Form9::SaveResponseFile(const QString& path) {
    const fs::path target = QFile::encodeName(path).toStdString();
    const ArchiveState& state = m_session.State();
    TargetFolder folder(target.parent_path());
    folder.Protect(state.ArchivePath());
    ReplacingFile out;
    const IoStatus started = folder.OpenAndStartFile(target.filename().string(),
                                                     "It is the archive being examined.", out);
    const std::string& lf = state.LineFeed;
    const ResponseFilePlan plan = PlanResponseFile(m_names, lf);
    // The names are 8-bit text; the system's error texts are not.
    QString reason;
    if (started.code() == IoStatus::Code::Archive) {
        reason = QString::fromStdString(started.Reason());
    } else if (!plan.refusal.empty()) {
        reason = platform::FromLatin1(plan.refusal);
    } else if (const IoStatus written =
                   started.IsDone() ? WriteAndCommit(out, plan.list.lines) : started;
               written.IsDone()) {
        if (!plan.warning.empty())
            platform::ShowMessage(this, platform::FromLatin1(plan.warning), kCaption,
                                  Icon::Exclamation);
        return true;
    } else {
        reason = QString::fromStdString(written.Reason());
    }
    const QString qlf = QString::fromStdString(lf);
    platform::ShowMessage(this, "Cannot write " + path + qlf + qlf + reason, kCaption,
                          Icon::Exclamation);
    return false;
}

}  // namespace karvex
