// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// What the main window's tests share: the window on a real archive or over one in memory,
// and what they read off it.
#include <QAction>
#include <QDropEvent>
#include <QFile>
#include <QItemSelectionModel>
#include <QLabel>
#include <QListView>
#include <QMenu>
#include <QMimeData>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include <memory>
#include <vector>

#include "mainwindow/main_window.h"
#include "tests/gui/modal.h"
#include "tests/gui/test_folder.h"

namespace karvex::test {

inline const std::vector<PodEntry> kGame = {{"A.RAW", "aa"},
                                            {"readme.txt.bin", "text"},
                                            {"TRUCK.TRK", "t"},
                                            {"LOGO.BMP", "not a picture"},
                                            {"HORN.WAV", "w"}};

class WindowFixture {
  protected:
    TestFolder m_folder;  // one folder for all the tests
    std::unique_ptr<ArchiveSession> m_session;
    std::unique_ptr<Form1> m_window;
    Form1* m_shown = nullptr;            // the window Find and Screen look at
    QTemporaryDir m_settings;            // for the recent files
    std::unique_ptr<FakeWindow> m_fake;  // the pop-up menu's window
    QTemporaryDir m_temporary;           // the private folders' base

    Form1& Window() {
        m_session = std::make_unique<ArchiveSession>();
        m_window = std::make_unique<Form1>(*m_session);
        m_window->show();
        m_shown = m_window.get();
        return *m_window;
    }
    template <typename T>
    T* Find(const char* name) {
        return m_shown->findChild<T*>(name);
    }
    QString Text(const char* label) { return Find<QLabel>(label)->text(); }
    // Status line | size | files | lamp | Make, Extract, Edit enabled | lists shown.
    QString Screen() {
        const QString lamp = QString("red green magenta").split(' ')[int(m_shown->LampColour())];
        auto on = [this](const char* name) { return Find<QWidget>(name)->isEnabled() ? "1" : "0"; };
        return Text("Label5") + "|" + Text("Label3") + "|" + Text("Label4") + "|" + lamp + "|" +
               on("Command3D2") + on("Command3D3") + on("Command1") + "|" +
               (Find<QListView>("List1")->isVisible() ? "lists" : "overlay");
    }
    void Write(const QString& name, const std::string& bytes) { m_folder.Write(name, bytes); }
    QString Quoted(const QString& name) { return '"' + m_folder.filePath(name) + '"'; }
    static void Select(Form1& window, const QList<int>& rows) {
        auto* names = window.findChild<QListView*>("List1");
        names->clearSelection();
        for (int row : rows)
            names->selectionModel()->select(names->model()->index(row, 0),
                                            QItemSelectionModel::Select);
    }

    // Sends a drag of `paths` over the window and drops it: whether the window took it.
    static bool Drop(QWidget& window, const QStringList& paths, QPoint where = {20, 200}) {
        QMimeData data;
        QList<QUrl> urls;
        for (const QString& path : paths)
            urls << QUrl::fromLocalFile(path);
        data.setUrls(urls);
        QDragEnterEvent enter(where, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(&window, &enter);
        if (!enter.isAccepted())
            return false;
        QDropEvent drop(where, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(&window, &drop);
        return drop.isAccepted();
    }

    QMenu* Menu() { return m_shown->findChild<QMenu*>("menuPopup"); }
    void RightClick(const char* list) {
        auto* view = m_shown->findChild<QListView*>(list);
        QTest::mousePress(view->viewport(), Qt::RightButton, {}, QPoint(5, 5));
        QTest::mouseRelease(view->viewport(), Qt::RightButton, {}, QPoint(5, 5));
    }
    // The window over an archive in memory, started on `name` ("": nothing open).
    Form1& Fake(const std::vector<PodEntry>& entries = {}, const QString& name = "test.pod") {
        m_fake = std::make_unique<FakeWindow>(entries);
        m_shown = &m_fake->window;
        m_fake->Start(name);
        return *m_shown;
    }
    // The game archive (or a response file, by its name) open unless the test made its own.
    Form1& Open(const QList<int>& rows = {}, const QString& name = "test.pod",
                const char* list = "List1") {
        if (!m_fake)
            m_fake = std::make_unique<FakeWindow>(kGame);
        m_shown = &m_fake->window;
        m_fake->Start(name);
        Select(*m_shown, rows);
        if (list)
            RightClick(list);
        return *m_shown;
    }
    // The record and the enabled items as one line: name|size|offset|index|items on.
    QString Recorded() {
        const ArchiveState& s = m_fake->session.State();
        QString on;
        for (const char* item : {"menuView", "menuNotepad", "menuExamine", "menuSearch"})
            on += Menu()->findChild<QAction*>(item)->isEnabled() ? QString(item).mid(4, 1) : "-";
        return QString::fromStdString(s.SelectedName) + "|" + QString::number(s.SelectedSize) +
               "|" + QString::number(s.SelectedOffset) + "|" + QString::number(s.EntryIndex) + "|" +
               on;
    }
    QString CopyPath() { return QString::fromStdString(m_fake->session.State().DialogPath); }
    // View, or a drag, which here hands nothing over.
    void CopyOut(bool drag) {
        if (drag)
            QVERIFY(!std::unique_ptr<QMimeData>(m_shown->DragOutData()));
        else
            m_shown->menuView_Click();
    }

    void SetUpTestCase() {
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, m_settings.path());
        qputenv("tmp", QFile::encodeName(m_temporary.path()));
    }
    void Reset() {
        m_fake.reset();
        m_shown = nullptr;
        m_window.reset();
        m_session.reset();
    }
};

}  // namespace karvex::test
