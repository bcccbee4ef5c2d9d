// SPDX-License-Identifier: GPL-3.0-or-later
// The main window as a desktop program: drops, drags, the keyboard, the recent files, and the
// check that the archive has not changed on disk. All but the drag over an archive in memory.
#include <QDropEvent>
#include <QFile>
#include <QItemSelectionModel>
#include <QListView>
#include <QMenu>
#include <QMimeData>
#include <QPointer>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include "mainwindow/main_window.h"
#include "tests/gui/modal.h"
#include "tests/gui/test_folder.h"

using namespace karvex;
using namespace karvex::test;

namespace {

const std::vector<PodEntry> kEntries = {
    {"A.RAW", std::string(65536, 'a')}, {"sounds\\horn.wav", "RIFF"}, {"notes.txt", "line\r\n"},
    {"sounds\\beep.wav", "RIFFbeep"},   {"..\\up.txt", "u"},  // extraction refuses it
};

// Sends a drag of `paths` over the window and drops it: whether the window took it.
bool Drop(QWidget& window, const QStringList& paths) {
    QMimeData data;
    QList<QUrl> urls;
    for (const QString& path : paths)
        urls << QUrl::fromLocalFile(path);
    data.setUrls(urls);
    const QPoint where(20, 200);
    QDragEnterEvent enter(where, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&window, &enter);
    if (!enter.isAccepted())
        return false;
    QDropEvent drop(where, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&window, &drop);
    return drop.isAccepted();
}

}  // namespace

class DesktopTest : public QObject {
    Q_OBJECT

  private:
    QTemporaryDir m_settings;

    static void Select(Form1& window, const QList<int>& rows) {
        auto* names = window.findChild<QListView*>("List1");
        for (int row : rows)
            names->selectionModel()->select(names->model()->index(row, 0),
                                            QItemSelectionModel::Select);
    }

  private slots:
    void initTestCase() {
        // The recent files go into a settings file of the test's own.
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, m_settings.path());
    }

    void dropOpensTheFirstFile() {
        FakeWindow fake(kEntries);
        QVERIFY(fake.Start(""));
        QVERIFY(fake.folder.MakeFiles({"game.pod", "list.lst", "notes.txt"}));
        const QString game = fake.folder.filePath("game.pod"),
                      list = fake.folder.filePath("list.lst");
        QVERIFY(!Drop(fake.window, {fake.folder.filePath("notes.txt")}));  // not a kind it opens
        QVERIFY(Drop(fake.window, {game, list}));
        QCOMPARE(fake.window.windowTitle(), QString("Karvex32  -  game.pod"));
        QVERIFY(Drop(fake.window, {list}));
        QCOMPARE(fake.window.windowTitle(), QString("Karvex32  -  list.lst"));
        QCOMPARE(fake.Calls(), "Open " + game + "\nOpen " + list);
        BusyScope busy(fake.session);
        QVERIFY(!Drop(fake.window, {game}));  // not while a command runs
    }

    // The selected entries are extracted into a fresh private folder; the drag carries
    // what they became there, a folder for the entries inside one. A name that extraction
    // refuses is reported and left out: the drag never carries the drag folder itself or
    // the folder above it.
    void dragCarriesTheSelectedEntries() {
        TestFolder folder;
        folder.Write("game.pod", PodBytes(kEntries));
        ArchiveSession session;
        Form1 window(session);
        window.show();
        QVERIFY(window.Startup(folder.filePath("game.pod")));
        Select(window, {0, 1, 3, 4});
        AnswerMessage("OK");
        std::unique_ptr<QMimeData> data(window.DragOutData());
        QVERIFY(data);
        const QList<QUrl> urls = data->urls();
        QCOMPARE(urls.size(), 2);
        QCOMPARE(urls[0].fileName(), QString("A.RAW"));
        QCOMPARE(urls[1].fileName(), QString("sounds"));
        QVERIFY(!urls[0].toLocalFile().startsWith(folder.path()));
        QFile horn(urls[1].toLocalFile() + "/horn.wav");
        QVERIFY(horn.open(QIODevice::ReadOnly));
        QCOMPARE(horn.readAll(), QByteArray("RIFF"));
        QVERIFY(QFile::exists(urls[1].toLocalFile() + "/beep.wav"));
        QVERIFY(!QFile::exists(urls[1].toLocalFile() + "/../notes.txt"));

        AnswerMessage("OK");
        std::unique_ptr<QMimeData> again(window.DragOutData());
        QVERIFY(again->urls()[0] != urls[0]);  // a fresh folder each time
    }

    void keyboard() {
        FakeWindow fake(kEntries);
        QVERIFY(fake.Start());
        Form1& window = fake.window;
        QVERIFY(QTest::qWaitForWindowActive(&window));  // where the shortcuts work
        QCOMPARE(window.findChild<QToolButton*>("Command3D1")->toolTip(),
                 "Open a POD file (Ctrl+O)");
        QCOMPARE(window.findChild<QToolButton*>("Command3D3")->toolTip(),
                 "Extract files from a POD (Ctrl+E)");
        QString opened;
        auto note = [&] {  // the next window opened, closed again
            WhenModal([&](QWidget* modal) {
                opened = modal->metaObject()->className();
                modal->close();
            });
        };
        note();
        QTest::keyClick(&window, Qt::Key_F, Qt::ControlModifier);
        QCOMPARE(opened, QString("karvex::Form12"));

        // Type-ahead, then Enter views the focused entry; Ctrl+A selects every entry.
        auto* names = window.findChild<QListView*>("List1");
        names->setFocus();
        QTest::keyClicks(names, "no");
        QCOMPARE(names->currentIndex().row(), 2);
        note();
        QTest::keyClick(names, Qt::Key_Return);
        QCOMPARE(opened, QString("karvex::Form11"));
        QCOMPARE(fake.session.State().SelectedName, std::string("notes.txt"));
        QTest::keyClick(names, Qt::Key_A, Qt::ControlModifier);
        QCOMPARE(fake.session.Table().SelectedCount(), 5);
    }

    // A changed archive is not read with the old table: before each command that reads or
    // writes it the window asks, and Yes reloads it (the archive's open sequence) instead of
    // running the command; No does nothing.
    void changedArchiveIsReloadedFirst_data() {
        QTest::addColumn<int>("command");
        QTest::addColumn<bool>("yes");
        const char* names[] = {"View",    "Open in Notepad", "Examine", "Search",
                               "Extract", "Edit comment",    "a drag"};
        for (int i = 0; i < 7; ++i) {
            QTest::addRow("%s, Yes", names[i]) << i << true;
            QTest::addRow("%s, No", names[i]) << i << false;
        }
    }
    void changedArchiveIsReloadedFirst() {
        QFETCH(int, command);
        QFETCH(bool, yes);
        FakeWindow fake(kEntries);
        QVERIFY(fake.Start());
        Form1& window = fake.window;
        Select(window, {0});
        window.List1_MouseDown(QPoint(10, 10));
        window.findChild<QMenu*>("menuPopup")->close();
        fake.session.unchanged = false;
        QString text, caption;
        AnswerMessage(yes ? "Yes" : "No", &text, &caption);
        void (Form1::*const commands[])() = {&Form1::menuView_Click,    &Form1::menuNotepad_Click,
                                             &Form1::menuExamine_Click, &Form1::menuSearch_Click,
                                             &Form1::Command3D3_Click,  &Form1::Command1_Click};
        if (command < 6)
            (window.*commands[command])();
        else
            QVERIFY(!std::unique_ptr<QMimeData>(window.DragOutData()));
        QCOMPARE(text, QString("The archive has changed on disk since it was opened. Reload it?"));
        QCOMPARE(caption, QString("Karvex32"));
        QCOMPARE(fake.Calls(), yes ? QString("OpenPodSequence") : QString());
    }

    void recentFiles() {
        QSettings(QSettings::IniFormat, QSettings::UserScope, "Karvex32", "karvex32")
            .remove("recentFiles");
        FakeWindow fake;
        QVERIFY(fake.Start("game.pod"));
        Form1& window = fake.window;
        const TestFolder& folder = fake.folder;
        QVERIFY(folder.MakeFiles({"list.lst"}));
        QVERIFY(window.OpenFile(folder.filePath("list.lst")));
        QVERIFY(window.OpenFile(folder.filePath("game.pod")));
        QCOMPARE(Form1::RecentFiles(),
                 (QStringList{folder.filePath("game.pod"), folder.filePath("list.lst")}));
        for (int i = 0; i < 11; ++i) {
            const QString name = QString("f%1.pod").arg(i);
            QVERIFY(folder.MakeFiles({name}));
            window.OpenFile(folder.filePath(name));
        }
        QCOMPARE(Form1::RecentFiles().size(), 10);
        QCOMPARE(Form1::RecentFiles().first(), folder.filePath("f10.pod"));

        // A right-click on Open lists them; a click on one opens it, once the menu has
        // closed. The open lets the menu go while it runs, as a load that yields does: it
        // must use nothing of the menu or its actions.
        const FakeSession::Script shown = fake.session.scripts["Open"];
        QPointer<QMenu> menu;
        bool goneDuringOpen = false;
        fake.session.scripts["Open"] = [&](StatusRow* row) {
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            goneDuringOpen = menu.isNull();
            return shown(row);
        };
        auto* open = window.findChild<QToolButton*>("Command3D1");
        for (const char* chosen : {"f7.pod", "f10.pod"}) {
            emit open->customContextMenuRequested(QPoint(2, 2));
            goneDuringOpen = false;
            menu = window.findChild<QMenu*>("menuRecent");
            QVERIFY(menu);
            QTRY_VERIFY(menu->isVisible());
            QAction* item = nullptr;
            for (QAction* action : menu->actions())
                item = action->text() == folder.filePath(chosen) ? action : item;
            QVERIFY(item);
            QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(item).center());
            QTRY_COMPARE(window.windowTitle(), QString("Karvex32  -  ") + chosen);
            QVERIFY(goneDuringOpen);
        }
    }
};

QTEST_MAIN(DesktopTest)
#include "desktop_test.moc"
