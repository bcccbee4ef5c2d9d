// The lists' pop-up menu: what a right-click records and enables, the keyboard's ways to
// open it, View dispatching to the viewers, and the copy handed to the text editor.
#include <unistd.h>

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QMessageBox>
#include <QMimeData>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "main_window.h"
#include "modal.h"
#include "private_folder.h"
#include "test_folder.h"
#include "wave_player.h"

using namespace karvex;
using namespace karvex::test;

class ContextMenuTest : public QObject {
    Q_OBJECT

  private:
    std::unique_ptr<TestFolder> m_folder;
    std::unique_ptr<ArchiveSession> m_session;
    std::unique_ptr<Form1> m_window;

    // The window with `file` open, the entries at `rows` selected.
    Form1& Open(const QString& file, const QList<int>& rows = {}) {
        m_session = std::make_unique<ArchiveSession>();
        m_window = std::make_unique<Form1>(*m_session);
        m_window->show();
        m_window->Startup(m_folder->filePath(file));
        auto* names = m_window->findChild<QListView*>("List1");
        for (int row : rows)
            names->selectionModel()->select(names->model()->index(row, 0),
                                            QItemSelectionModel::Select);
        return *m_window;
    }
    QMenu* Menu() { return m_window->findChild<QMenu*>("menuPopup"); }
    // The record and the enabled items as one line: name|size|offset|index|items on.
    QString Recorded() {
        const ArchiveState& s = m_session->State();
        QString on;
        for (const char* item : {"menuView", "menuNotepad", "menuExamine", "menuSearch"})
            on += Menu()->findChild<QAction*>(item)->isEnabled() ? QString(item).mid(4, 1) : "-";
        return QString::fromStdString(s.SelectedName) + "|" + QString::number(s.SelectedSize) +
               "|" + QString::number(s.SelectedOffset) + "|" + QString::number(s.EntryIndex) + "|" +
               on;
    }
    void RightClick(const char* list) {
        auto* view = m_window->findChild<QListView*>(list);
        QTest::mousePress(view->viewport(), Qt::RightButton, {}, QPoint(5, 5));
        QTest::mouseRelease(view->viewport(), Qt::RightButton, {}, QPoint(5, 5));
    }

    QTemporaryDir m_temporary;  // the private folders' base
    // The commands that copy entries out of the archive: View (0), Open in Notepad (1), a
    // drag (2), which here hands nothing over.
    void CopyOut(int command) {
        if (command == 0)
            m_window->menuView_Click();
        else if (command == 1)
            m_window->menuNotepad_Click();
        else
            QVERIFY(!std::unique_ptr<QMimeData>(m_window->DragOutData()));
    }
    // Everything beneath the private folders' base.
    QStringList PrivateFiles() {
        QStringList found;
        QDirIterator it(m_temporary.path(), QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden,
                        QDirIterator::Subdirectories);
        while (it.hasNext())
            found << it.next();
        return found;
    }

  private slots:
    void initTestCase() { qputenv("tmp", QFile::encodeName(m_temporary.path())); }
    void init() {
        m_folder = std::make_unique<TestFolder>();
        m_folder->Write("game.pod", PodBytes({{"A.RAW", "aa"},
                                              {"readme.txt.bin", "text"},
                                              {"TRUCK.TRK", "t"},
                                              {"LOGO.BMP", "not a picture"},
                                              {"HORN.WAV", "w"}}));
        m_folder->Write("a.raw", "a");
        m_folder->Write("new.lst", "a.raw\r\n");
    }
    void cleanup() {
        m_window.reset();
        m_session.reset();
        m_folder.reset();
    }

    // The lowest-indexed selected entry is recorded whichever list is clicked; the
    // items follow the name's kinds.
    void recordsTheLowestSelectedEntry_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QList<int>>("rows");
        QTest::addColumn<QString>("list");
        QTest::addColumn<QString>("recorded");
        const int data = 84 + 5 * 40;
        QTest::newRow("nothing selected") << "game.pod" << QList<int>{} << "List1"
                                          << " |0|0|5|-N-S";
        QTest::newRow("a texture") << "game.pod" << QList<int>{0} << "List2"
                                   << "A.RAW|2|" + QString::number(data) + "|0|VN-S";
        QTest::newRow("rows 1 and 3: the first")
            << "game.pod" << QList<int>{3, 1} << "List1"
            << "readme.txt.bin|4|" + QString::number(data + 2) + "|1|VNES";
        QTest::newRow("a truck") << "game.pod" << QList<int>{2} << "List1"
                                 << "TRUCK.TRK|1|" + QString::number(data + 6) + "|2|-NES";
        QTest::newRow("a wave") << "game.pod" << QList<int>{4} << "List1"
                                << "HORN.WAV|1|" + QString::number(data + 20) + "|4|VN-S";
        QTest::newRow("a response file") << "new.lst" << QList<int>{0} << "List1"
                                         << "a.raw|1|124|0|----";
    }
    void recordsTheLowestSelectedEntry() {
        QFETCH(QString, file);
        QFETCH(QList<int>, rows);
        QFETCH(QString, list);
        QFETCH(QString, recorded);
        Open(file, rows);
        RightClick(list.toLatin1());
        QTRY_VERIFY(Menu()->isVisible());
        QCOMPARE(Recorded(), recorded);
        Menu()->close();
        QCOMPARE(m_session->Table().SelectedCount(), int(rows.size()));  // the selection is kept
    }

    void escapeFromSearchLeavesTheMenuWorking_data() {
        QTest::addColumn<bool>("escape");
        QTest::newRow("Escape") << true;
        QTest::newRow("Cancel") << false;
    }
    void escapeFromSearchLeavesTheMenuWorking() {
        QFETCH(bool, escape);
        Open("game.pod", {0});
        m_window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
        RightClick("List1");
        QTRY_VERIFY(Menu()->isVisible());
        bool closed = false;
        WhenModal(
            [&](QWidget* search) {
                auto* box = search->findChild<QLineEdit*>("Text1");
                QTest::keyClicks(box, "a");
                QTest::keyClick(box, Qt::Key_Return);
                if (escape)
                    QTest::keyClick(box, Qt::Key_Escape);
                else
                    QTest::mouseClick(search->findChild<QPushButton*>("Command3D2"),
                                      Qt::LeftButton);
                closed = !search->isVisible();
            },
            "karvex::Form12");
        QTest::keyClick(Menu(), Qt::Key_S);
        QVERIFY(closed);
        QTRY_VERIFY(!Menu()->isVisible());
        RightClick("List1");
        QTRY_VERIFY(Menu()->isVisible());
    }

    void keyboardOpensTheMenuAndTheLeftButtonDoesNot() {
        Open("game.pod", {0});
        auto* sizes = m_window->findChild<QListView*>("List2");
        QTest::mouseClick(sizes->viewport(), Qt::LeftButton, {}, QPoint(5, 5));
        QVERIFY(!Menu()->isVisible());
        sizes->setFocus();
        QTest::keyClick(sizes, Qt::Key_F10, Qt::ShiftModifier);
        QTRY_VERIFY(Menu()->isVisible());
        QCOMPARE(Recorded(), QString("A.RAW|2|284|0|VN-S"));
    }

    // View opens the viewer of each kind the name holds; a bitmap goes through a copy in
    // the private folder that is gone afterwards, and one that is no picture is named.
    void viewOpensTheViewers() {
        Form1& window = Open("game.pod", {1});
        RightClick("List1");
        QString opened;
        WhenModal([&](QWidget* viewer) {
            opened = viewer->metaObject()->className();
            viewer->close();
        });
        window.menuView_Click();
        QCOMPARE(opened, QString("karvex::Form11"));

        Menu()->close();
        auto* names = m_window->findChild<QListView*>("List1");
        names->selectionModel()->select(names->model()->index(3, 0),
                                        QItemSelectionModel::ClearAndSelect);
        RightClick("List1");
        QString text;
        AnswerMessage("OK", &text);
        window.menuView_Click();
        QCOMPARE(text, QString("The entry LOGO.BMP is not a picture that can be shown."));
        QVERIFY(!QFile::exists(m_folder->filePath("karvex.bmp")));

        // A wave: the player works on a copy of the entry in the private folder, which it
        // lets go of as it closes and which is deleted afterwards.
        Menu()->close();
        names->selectionModel()->select(names->model()->index(4, 0),
                                        QItemSelectionModel::ClearAndSelect);
        RightClick("List1");
        QString copy;
        QByteArray bytes;
        WhenModal([&](QWidget* viewer) {
            auto* player = qobject_cast<Form13*>(viewer);
            QVERIFY(player);
            copy = player->WavePath();
            QFile file(copy);
            QVERIFY(file.open(QIODevice::ReadOnly));
            bytes = file.readAll();
            player->close();
        });
        window.menuView_Click();
        QCOMPARE(bytes, QByteArray("w"));
        QCOMPARE(QFileInfo(copy).fileName(), QString("karvex.wav"));
        QVERIFY(!copy.startsWith(m_folder->path()));
        QVERIFY(!QFile::exists(copy));
    }

    // With no application set for plain text, $VISUAL (here a script that keeps what it was
    // given) runs inside the terminal on a copy of the recorded entry alone; a missing
    // editor is named.
    void openInTextEditor() {
        const QString script = m_folder->filePath("editor.sh");
        const QString kept = m_folder->filePath("kept.txt");
        m_folder->Write("editor.sh", "#!/bin/sh\ncat \"$1\" > '" + kept.toStdString() + "'\n");
        m_folder->Write("x-terminal-emulator",
                        "#!/bin/sh\n[ \"$1\" = -e ] && shift && exec \"$@\"\n");
        for (const char* name : {"editor.sh", "x-terminal-emulator"})
            QFile::setPermissions(m_folder->filePath(name), QFile::ReadOwner | QFile::ExeOwner);
        const QByteArray path = qgetenv("PATH");
        qputenv("PATH", QFile::encodeName(m_folder->path()) + ":" + path);
        qputenv("XDG_DATA_DIRS", QFile::encodeName(m_folder->path()));  // no desktop applications
        qputenv("XDG_DATA_HOME", QFile::encodeName(m_folder->path()));
        qputenv("VISUAL", script.toLocal8Bit());
        Form1& window = Open("game.pod", {1, 2});
        RightClick("List1");
        window.menuNotepad_Click();
        QTRY_COMPARE(QString::fromStdString(m_folder->Read("kept.txt")), QString("text"));
        QCOMPARE(m_window->findChild<QLabel*>("Label5")->text(), QString());

        qputenv("VISUAL", "/nonexistent/editor");
        QString text;
        AnswerMessage("OK", &text);
        window.menuNotepad_Click();
        QVERIFY(text.startsWith("Error running /"));
        QVERIFY(text.endsWith("/readme.txt.bin\n\n/nonexistent/editor: no such program"));
        qunsetenv("VISUAL");
        qputenv("PATH", path);
    }

    // An entry named as the private folder's lock is copied beside it, not over it: the
    // folder stays locked, and another run's start-up leaves it.
    void anEntryNamedLockLeavesTheFolderLocked() {
        m_folder->Write("lock.pod", PodBytes({{"lock", "stranger's bytes"}}));
        Form1& window = Open("lock.pod", {0});
        RightClick("List1");
        qputenv("VISUAL", "/nonexistent/editor");
        AnswerMessage("OK");
        window.menuNotepad_Click();
        qunsetenv("VISUAL");
        const QStringList live =
            QDir(m_temporary.path())
                .entryList({QString("karvex32-%1-*").arg(::getpid())}, QDir::Dirs);
        QCOMPARE(live.size(), 1);
        QVERIFY(QFile::exists(m_temporary.filePath(live.first() + "/lock")));
        platform::PrivateFolder::RemoveStale();
        QVERIFY(QDir(m_temporary.filePath(live.first())).exists());
    }

    // A copy out of the archive of more than 200 MiB asks first, whichever command makes it;
    // No leaves the private folder as it was.
    void aLargeCopyAsksFirst_data() {
        QTest::addColumn<int>("command");
        QTest::addColumn<int>("entry");
        QTest::addColumn<QString>("question");
        const QString entry = "The entry holds 210 MiB. It is copied out of the archive first.";
        QTest::newRow("View of a wave") << 0 << 4 << entry;
        QTest::newRow("View of a bitmap") << 0 << 3 << entry;
        QTest::newRow("Open in Notepad") << 1 << 1 << entry;
        QTest::newRow("a drag") << 2 << 1
                                << "The entries to drag hold 210 MiB. They are copied out of "
                                   "the archive first.";
    }
    void aLargeCopyAsksFirst() {
        QFETCH(int, command);
        QFETCH(int, entry);
        QFETCH(QString, question);
        std::string bytes = m_folder->Read("game.pod");
        const std::uint32_t claimed = 210u * 1024 * 1024;
        for (int i = 0; i < 4; ++i)
            bytes[84 + 40 * entry + 32 + i] = static_cast<char>((claimed >> (8 * i)) & 0xFF);
        m_folder->Write("big.pod", bytes);
        Open("big.pod", {entry});
        RightClick("List1");
        const QStringList before = PrivateFiles();
        QString text;
        WhenModal([&](QWidget* modal) {  // the question, or a window that should not open
            auto* box = qobject_cast<QMessageBox*>(modal);
            text = box ? box->text() : modal->metaObject()->className();
            if (QAbstractButton* no = box ? box->button(QMessageBox::No) : nullptr)
                no->click();
            else
                modal->close();
        });
        CopyOut(command);
        QCOMPARE(text, question + "\n\nGo on?");
        QCOMPARE(PrivateFiles(), before);
    }

    // Open in Notepad with nothing selected does nothing: there is no entry to hand over.
    void openInNotepadWithNothingSelected() {
        qputenv("VISUAL", "/nonexistent/editor");
        Form1& window = Open("game.pod");
        RightClick("List1");
        QVERIFY(Menu()->findChild<QAction*>("menuNotepad")->isEnabled());
        const QStringList before = PrivateFiles();
        bool asked = false;
        QTimer::singleShot(0, [&] {
            if (QWidget* box = QApplication::activeModalWidget()) {
                asked = true;
                box->close();
            }
        });
        window.menuNotepad_Click();
        QCoreApplication::processEvents();
        qunsetenv("VISUAL");
        QVERIFY(!asked);
        QCOMPARE(PrivateFiles(), before);
    }

    // When no private folder can be made, View, Open in Notepad and a drag say so.
    void noPrivateFolderIsSaid_data() {
        QTest::addColumn<int>("command");
        QTest::addColumn<QString>("entries");
        QTest::newRow("View of a wave") << 0 << "entry";
        QTest::newRow("Open in Notepad") << 1 << "entry";
        QTest::newRow("a drag") << 2 << "entries";
    }
    void noPrivateFolderIsSaid() {
        QFETCH(int, command);
        QFETCH(QString, entries);
        Open("game.pod", {4});
        RightClick("List1");
        const QString base = m_temporary.path();
        QVERIFY(QDir().rename(base, base + "-away"));
        QString text;
        AnswerMessage("OK", &text);
        CopyOut(command);
        QVERIFY(QDir().rename(base + "-away", base));
        QCOMPARE(text, "There is no private folder to copy the " + entries + " into.\n\n" +
                           "Cannot open the temporary folder " + base +
                           ": No such file or directory");
    }
};

QTEST_MAIN(ContextMenuTest)
#include "context_menu_test.moc"
