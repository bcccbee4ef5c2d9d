// SPDX-License-Identifier: GPL-3.0-or-later
// The lists' pop-up menu, over an archive in memory: what a right-click records and enables,
// opening it by keyboard, View's viewers, and the copies out of the archive.
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
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

#include "mainwindow/main_window.h"
#include "tests/gui/modal.h"
#include "tests/gui/test_folder.h"
#include "viewers/wave_player.h"

using namespace karvex;
using namespace karvex::test;

namespace {

const std::vector<PodEntry> kGame = {{"A.RAW", "aa"},
                                     {"readme.txt.bin", "text"},
                                     {"TRUCK.TRK", "t"},
                                     {"LOGO.BMP", "not a picture"},
                                     {"HORN.WAV", "w"}};

}  // namespace

class ContextMenuTest : public QObject {
    Q_OBJECT

  private:
    std::unique_ptr<FakeWindow> m_fake;
    Form1* m_window = nullptr;  // the window the helpers work in

    QTemporaryDir m_temporary;  // the private folders' base
    QMenu* Menu() { return m_window->findChild<QMenu*>("menuPopup"); }
    void RightClick(const char* list) {
        auto* view = m_window->findChild<QListView*>(list);
        QTest::mousePress(view->viewport(), Qt::RightButton, {}, QPoint(5, 5));
        QTest::mouseRelease(view->viewport(), Qt::RightButton, {}, QPoint(5, 5));
    }
    void Select(const QList<int>& rows) {
        auto* names = m_window->findChild<QListView*>("List1");
        names->clearSelection();
        for (int row : rows)
            names->selectionModel()->select(names->model()->index(row, 0),
                                            QItemSelectionModel::Select);
    }

    // The window with the game archive (or, by its name, a response file) open, unless the
    // test made its own; the entries at `rows` selected, then a right-click on `list`.
    Form1& Open(const QList<int>& rows = {}, const QString& name = "test.pod",
                const char* list = "List1") {
        if (!m_fake)
            m_fake = std::make_unique<FakeWindow>(kGame);
        m_window = &m_fake->window;
        m_fake->Start(name);
        Select(rows);
        if (list)
            RightClick(list);
        return *m_window;
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
    // Where the session was asked to copy the recorded entry.
    QString CopyPath() { return QString::fromStdString(m_fake->session.State().DialogPath); }
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

  private slots:
    void initTestCase() {
        qputenv("tmp", QFile::encodeName(m_temporary.path()));
        // No desktop application for plain text: Open in Notepad runs $VISUAL.
        qputenv("XDG_DATA_DIRS", QFile::encodeName(m_temporary.path()));
        qputenv("XDG_DATA_HOME", QFile::encodeName(m_temporary.path()));
        qputenv("VISUAL", "/nonexistent/editor");
    }
    void cleanup() { m_fake.reset(); }

    // The lowest-indexed selected entry is recorded whichever list is clicked; the
    // items follow the name's kinds.
    void recordsTheLowestSelectedEntry_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QList<int>>("rows");
        QTest::addColumn<QString>("list");
        QTest::addColumn<QString>("recorded");
        const QString pod = "test.pod";
        QTest::newRow("nothing selected") << pod << QList<int>{} << "List1"
                                          << " |0|0|5|-N-S";
        QTest::newRow("a texture") << pod << QList<int>{0} << "List2"
                                   << "A.RAW|2|284|0|VN-S";
        QTest::newRow("rows 3 and 1: the lowest") << pod << QList<int>{3, 1} << "List1"
                                                  << "readme.txt.bin|4|286|1|VNES";
        QTest::newRow("a truck") << pod << QList<int>{2} << "List1"
                                 << "TRUCK.TRK|1|290|2|-NES";
        QTest::newRow("a wave") << pod << QList<int>{4} << "List1"
                                << "HORN.WAV|1|304|4|VN-S";
        QTest::newRow("a response file") << "test.lst" << QList<int>{0} << "List1"
                                         << "A.RAW|2|284|0|----";
    }
    void recordsTheLowestSelectedEntry() {
        QFETCH(QString, file);
        QFETCH(QList<int>, rows);
        QFETCH(QString, list);
        QFETCH(QString, recorded);
        Open(rows, file, list.toLatin1());
        QTRY_VERIFY(Menu()->isVisible());
        QCOMPARE(Recorded(), recorded);
        Menu()->close();
        QCOMPARE(m_fake->session.Table().SelectedCount(), int(rows.size()));  // kept
        if (!rows.isEmpty())
            return;
        // Open in Notepad with nothing selected does nothing: there is no entry to hand over.
        bool asked = false;
        QTimer::singleShot(0, [&] {
            if (QWidget* box = QApplication::activeModalWidget())
                asked = box->close();
        });
        m_window->menuNotepad_Click();
        QCoreApplication::processEvents();
        QVERIFY(!asked);
        QCOMPARE(m_fake->Calls(), QString());
    }

    // On an archive on disk, as ctest runs it once more through a real X server.
    void escapeFromSearchLeavesTheMenuWorking_data() {
        QTest::addColumn<bool>("escape");
        QTest::newRow("Escape") << true;
        QTest::newRow("Cancel") << false;
    }
    void escapeFromSearchLeavesTheMenuWorking() {
        QFETCH(bool, escape);
        TestFolder folder;
        folder.Write("game.pod", PodBytes(kGame));
        ArchiveSession session;
        Form1 window(session);
        m_window = &window;
        window.show();
        QVERIFY(window.Startup(folder.filePath("game.pod")));
        Select({0});
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
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
        Open({0}, "test.pod", nullptr);
        auto* sizes = m_window->findChild<QListView*>("List2");
        QTest::mouseClick(sizes->viewport(), Qt::LeftButton, {}, QPoint(5, 5));
        QVERIFY(!Menu()->isVisible());
        sizes->setFocus();
        QTest::keyClick(sizes, Qt::Key_F10, Qt::ShiftModifier);
        QTRY_VERIFY(Menu()->isVisible());
        QCOMPARE(Recorded(), QString("A.RAW|2|284|0|VN-S"));
    }

    // View opens the viewer of the kind the name holds. A bitmap or a wave goes through a
    // copy of the recorded entry alone in the private folder, gone afterwards (the player lets
    // go of it as it closes); a bitmap that is no picture is named.
    void viewOpensTheViewers_data() {
        QTest::addColumn<QList<int>>("rows");
        QTest::addColumn<QString>("seen");  // the viewer's class, or the message
        QTest::addColumn<QString>("copy");  // the copy's name, if one is made
        QTest::newRow("text") << QList<int>{1} << "karvex::Form11"
                              << "";
        QTest::newRow("no picture")
            << QList<int>{3, 4} << "The entry LOGO.BMP is not a picture that can be shown."
            << "karvex.bmp";
        QTest::newRow("wave") << QList<int>{4} << "karvex::Form13"
                              << "karvex.wav";
    }
    void viewOpensTheViewers() {
        QFETCH(QList<int>, rows);
        QFETCH(QString, seen);
        QFETCH(QString, copy);
        Form1& window = Open(rows);
        const PodEntry& entry = kGame[rows.first()];
        m_fake->session.scripts["ExtractSelectedInto"] = [&](StatusRow*) {
            WriteBytes(m_fake->session.State().DialogPath, entry.data);
            return Result::Done();
        };
        QString opened, played;
        QByteArray bytes;
        WhenModal([&](QWidget* modal) {
            auto* box = qobject_cast<QMessageBox*>(modal);
            opened = box ? box->text() : modal->metaObject()->className();
            if (auto* player = qobject_cast<Form13*>(modal)) {
                played = player->WavePath();
                QFile file(played);
                QVERIFY(file.open(QIODevice::ReadOnly));
                bytes = file.readAll();
            }
            modal->close();
        });
        window.menuView_Click();
        QCOMPARE(opened, seen);
        QCOMPARE(m_fake->Calls(),
                 copy.isEmpty() ? QString() : "ExtractSelectedInto " + QString(entry.name.c_str()));
        if (copy.isEmpty())
            return;
        QCOMPARE(QFileInfo(CopyPath()).fileName(), copy);
        QVERIFY(CopyPath().startsWith(m_temporary.path()));
        QVERIFY(!QFile::exists(CopyPath()));
        if (!played.isEmpty()) {
            QCOMPARE(played, CopyPath());
            QCOMPARE(bytes, QByteArray(entry.data.c_str()));
        }
    }

    // The recorded entry alone is copied into a folder of its own inside the private
    // folder, so that no name (not even "lock") stands for the folder's lock or another
    // copy, and the editor is given that copy; one that cannot be run is named.
    void openInTextEditor() {
        Form1& window = Open({1, 2});
        QString text;
        AnswerMessage("OK", &text);
        window.menuNotepad_Click();
        QCOMPARE(m_fake->Calls(), QString("ExtractSelectedInto readme.txt.bin"));
        QCOMPARE(text, "Error running " + CopyPath() +
                           "/readme.txt.bin\n\n/nonexistent/editor: no such program");
        const QFileInfo folder(CopyPath());
        QCOMPARE(folder.dir().absolutePath().section('/', 0, -2), m_temporary.path());
        QVERIFY(folder.fileName().startsWith("editor"));
        QCOMPARE(m_window->findChild<QLabel*>("Label5")->text(), QString());
        QCOMPARE(m_fake->session.Table().SelectedCount(), 2);
    }

    // A copy out of the archive of more than 200 MiB asks first, whichever command makes it;
    // No copies nothing.
    void aLargeCopyAsksFirst_data() {
        QTest::addColumn<int>("command");
        QTest::addColumn<QString>("entry");
        QTest::addColumn<QString>("question");
        const QString entry = "The entry holds 210 MiB. It is copied out of the archive first.";
        QTest::newRow("View of a wave") << 0 << "BIG.WAV" << entry;
        QTest::newRow("View of a bitmap") << 0 << "BIG.BMP" << entry;
        QTest::newRow("Open in Notepad") << 1 << "BIG.TXT" << entry;
        QTest::newRow("a drag") << 2 << "BIG.TXT"
                                << "The entries to drag hold 210 MiB. They are copied out of "
                                   "the archive first.";
    }
    void aLargeCopyAsksFirst() {
        QFETCH(int, command);
        QFETCH(QString, entry);
        QFETCH(QString, question);
        m_fake = std::make_unique<FakeWindow>();
        m_fake->session.Table().Append(entry.toStdString(), 210 << 20, "220,200,960", 124, "124");
        Open({0});
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
        QCOMPARE(m_fake->Calls(), QString());
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
        Open({4});
        const QString base = m_temporary.path();
        QVERIFY(QDir().rename(base, base + "-away"));
        QString text;
        AnswerMessage("OK", &text);
        CopyOut(command);
        QVERIFY(QDir().rename(base + "-away", base));
        QCOMPARE(text, "There is no private folder to copy the " + entries + " into.\n\n" +
                           "Cannot open the temporary folder " + base +
                           ": No such file or directory");
        QCOMPARE(m_fake->Calls(), QString());
    }
};

QTEST_MAIN(ContextMenuTest)
#include "context_menu_test.moc"
