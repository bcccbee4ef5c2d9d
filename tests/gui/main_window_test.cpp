// SPDX-License-Identifier: GPL-3.0-or-later
// The main window: start-up, Open, the lists, the comment editor, About, a screen reader;
// drops, drags, keys, recent files and the archive changed on disk.
#include <QFile>
#include <QInputDialog>
#include <QPointer>
#include <QPushButton>
#include <QScrollBar>
#include <QToolButton>

#include "karvex_version.h"
#include "platform/file_lists.h"
#include "tests/gui/window_fixture.h"

using namespace karvex;
using namespace karvex::test;

namespace {
const std::vector<PodEntry> kEntries = {
    {"A.RAW", std::string(65536, 'a')}, {"sounds\\horn.wav", "RIFF"}, {"notes.txt", "line\r\n"},
    {"sounds\\beep.wav", "RIFFbeep"},   {"..\\up.txt", "u"},  // extraction refuses it
};

}  // namespace

class MainWindowTest : public QObject, public WindowFixture {
    Q_OBJECT

  private slots:
    void initTestCase() { SetUpTestCase(); }
    void init() { QVERIFY(m_folder.MakeCurrent()); }
    void cleanup() { Reset(); }

    // The command line at start-up, after `file` is written; a missing file ends the program.
    void startup_data() {
        QTest::addColumn<QString>("file");  // empty: none
        QTest::addColumn<QString>("commandLine");
        QTest::addColumn<QString>("screen");  // empty: the program ends
        const QString listed = "Demo|132|1|green|011|lists", nothing = "|||green|000|lists";
        const QString path = m_folder.path() + '/';
        // clang-format off
        QTest::newRow("quoted full path")     << "trucks.pod" << Quoted("trucks.pod") << listed;
        QTest::newRow("a text file")     << "notes.txt"  << path + "notes.txt" << nothing;
        QTest::newRow("no command line") << "trucks.pod" << ""                 << nothing;
        QTest::newRow("incomplete response file") << "new.lst" << Quoted("new.lst")
            << "new.lst  -  Incomplete, Files Missing|Unknown|Unknown|magenta|000|lists";
        QTest::newRow("missing archive")       << "" << path + "gone.pod"        << "";
        QTest::newRow("archive in the root")   << "" << "/karvex-test-gone.pod" << "";
        QTest::newRow("missing response file") << "" << path + "gone.lst"        << "";
        // clang-format on
    }
    void startup() {
        QFETCH(QString, file);
        QFETCH(QString, commandLine);
        QFETCH(QString, screen);
        if (file.endsWith(".lst"))
            Write(file, "gone.raw\r\n");
        else if (!file.isEmpty())
            Write(file, PodBytes({{"A.RAW", std::string(8, 'a')}}, "Demo"));
        Form1& window = Window();
        QString text, caption;
        if (screen.isEmpty())
            AnswerMessage("OK", &text, &caption);
        QCOMPARE(window.Startup(commandLine), !screen.isEmpty());
        if (screen.isEmpty()) {
            QCOMPARE(text, "File not found\n\n" + commandLine);
            QCOMPARE(caption, QString("Karvex32"));
        } else {
            QCOMPARE(Screen(), screen);
            QCOMPARE(m_session->State().StartFolder, m_folder.path().toStdString());
        }
    }

    void openCommand() {
        Write("good.pod", PodBytes({{"A.RAW", "aaaa"}, {"B.ACT", "bb"}}, "Good one"));
        Form1& window = Window();
        QVERIFY(window.Startup(""));
        WhenModal([](QWidget* dialog) {
            auto* files = dialog->findChild<platform::FileList*>("File1");
            QTRY_VERIFY(files->isLoaded());
            QVERIFY(ClickFile(files, "good.pod"));
            dialog->findChild<QPushButton*>("Command3D1")->click();
        });
        window.Command3D1_Click();
        QCOMPARE(Screen(), QString("Good one|170|2|green|011|lists"));
        QCOMPARE(window.windowTitle(), QString("Karvex32  -  good.pod"));
        QCOMPARE(Text("Label8"), QString("0"));

        WhenModal([](QWidget* dialog) { QTest::keyClick(dialog, Qt::Key_Escape); });
        window.Command3D1_Click();  // Escape keeps the open file as it was
        QCOMPARE(Screen(), QString("Good one|170|2|green|011|lists"));
        QCOMPARE(window.windowTitle(), QString("Karvex32  -  good.pod"));
        WhenModal([](QWidget* dialog) { dialog->findChild<QPushButton*>("Command3D2")->click(); });
        window.Command3D1_Click();
        QCOMPARE(Screen(), QString("|||green|000|lists"));
        QCOMPARE(window.windowTitle(), QString("Karvex32"));
        QCOMPARE(Find<QListView>("List1")->model()->rowCount(), 0);
    }

    void selectionFollowsAcrossTheLists() {
        std::vector<PodEntry> entries;
        for (int i = 0; i < 1600; ++i)
            entries.push_back({"E" + std::to_string(i), ""});
        Fake(entries);
        const EntryTable& table = m_fake->session.Table();
        auto* names = Find<QListView>("List1");
        auto* sizes = Find<QListView>("List2");
        auto click = [](QListView* list, int row, Qt::KeyboardModifiers keys) {
            const QRect rect = list->visualRect(list->model()->index(row, 0));
            QTest::mouseClick(list->viewport(), Qt::LeftButton, keys, rect.center());
        };
        click(names, 1, Qt::NoModifier);
        click(names, 3, Qt::ShiftModifier);
        QCOMPARE(Text("Label8"), QString("3"));
        QCOMPARE(sizes->selectionModel()->isSelected(sizes->model()->index(2, 0)), true);
        QCOMPARE(Find<QLabel>("Label8")->accessibleName(), QString("Selected files 3"));
        QVERIFY(table.IsSelected(1) && table.IsSelected(2) && table.IsSelected(3));

        click(sizes, 2, Qt::ControlModifier);
        QCOMPARE(Text("Label8"), QString("2"));
        QVERIFY(!table.IsSelected(2));
        QVERIFY(!names->selectionModel()->isSelected(names->model()->index(2, 0)));

        sizes->verticalScrollBar()->setValue(200);
        QCOMPARE(names->verticalScrollBar()->value(), 200);
    }

    // The editor offers the comment and hands what is typed over as 8-bit text; Cancel nothing.
    void commentEditorHandsOverTheComment() {
        for (const QString& typed :
             {QString(100, 'h'), QString::fromUtf8("caf\xC3\xA9"), QString()}) {
            FakeWindow fake({PodEntry{"A.RAW", "aaaa"}});
            fake.session.comment = "Old comment";
            QVERIFY(fake.Start());
            QString initial;
            WhenModal(
                [&](QWidget* modal) {
                    auto* box = static_cast<QInputDialog*>(modal);
                    initial = box->textValue();
                    box->setTextValue(typed);
                    typed.isEmpty() ? box->reject() : box->accept();  // empty: Cancel
                },
                "QInputDialog");
            fake.window.Command1_Click();
            QCOMPARE(initial, QString("Old comment"));
            QCOMPARE(fake.Calls(), typed.isEmpty() ? QString() : "RewriteComment " + typed);
        }
    }

    // With nothing open a click in the empty list counts 0 selected; About gives the version.
    void withNothingOpen() {
        Form1& window = Fake({}, "");
        QTest::mouseClick(Find<QListView>("List1")->viewport(), Qt::LeftButton, {}, QPoint(5, 5));
        QCOMPARE(Text("Label8"), QString("0"));
        QString about;
        WhenModal([&](QWidget* box) {
            about = box->findChild<QLabel*>("Label2")->text();
            box->close();
        });
        window.Command3D4_Click();
        QCOMPARE(about, "Karvex32 version " KARVEX_VERSION);
    }

    // A screen reader hears what the status row and each list show; tool tips give bytes or KiB.
    void screenReaderHearsWhatIsShown() {
        Fake({{"A.RAW", "aaaa"}, {"B.ACT", std::string(1500, 'b')}});
        QCOMPARE(Find<QLabel>("Label3")->accessibleName(), QString("Archive size 1,668"));
        QCOMPARE(Find<QLabel>("Label4")->accessibleName(), QString("Number of files 2"));
        QCOMPARE(Find<QLabel>("Label3")->toolTip(), QString("1.6 KiB"));
        QCOMPARE(Find<QListView>("List2")->model()->index(1, 0).data(Qt::ToolTipRole).toString(),
                 QString("1,500 bytes"));
        QCOMPARE(Heard(Find<QListView>("List1")), (QStringList{"A.RAW", "B.ACT"}));
        QCOMPARE(Heard(Find<QListView>("List2")), (QStringList{"4", "1,500"}));
    }

    void dropOpensTheFirstFile() {
        Form1& window = Fake(kEntries, "");
        QVERIFY(m_fake->folder.MakeFiles({"game.pod", "list.lst", "notes.txt"}));
        const QString game = m_fake->folder.filePath("game.pod"),
                      list = m_fake->folder.filePath("list.lst");
        const QString notes = m_fake->folder.filePath("notes.txt");
        QVERIFY(Drop(window, {game, list}));
        QCOMPARE(window.windowTitle(), QString("Karvex32  -  game.pod"));
        QVERIFY(Drop(window, {list}));
        QCOMPARE(window.windowTitle(), QString("Karvex32  -  list.lst"));
        QVERIFY(!Drop(window, {notes}));  // nor to a response file
        QCOMPARE(m_fake->Calls(), "Open " + game + "\nOpen " + list);
        BusyScope busy(m_fake->session);
        QVERIFY(!Drop(window, {game}));  // not while a command runs
    }

    // A drag of what the entries became in a fresh private folder; a refused name is left out.
    void dragCarriesTheSelectedEntries() {
        Write("drag.pod", PodBytes(kEntries));
        Form1& window = Window();
        QVERIFY(window.Startup(m_folder.filePath("drag.pod")));
        Select(window, {0, 1, 3, 4});
        AnswerMessage("OK");
        std::unique_ptr<QMimeData> data(window.DragOutData());
        QVERIFY(data);
        const QList<QUrl> urls = data->urls();
        QCOMPARE(urls.size(), 2);
        QCOMPARE(urls[0].fileName(), QString("A.RAW"));
        QCOMPARE(urls[1].fileName(), QString("sounds"));
        QVERIFY(!urls[0].toLocalFile().startsWith(m_folder.path()));
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
        Form1& window = Fake(kEntries);
        QVERIFY(QTest::qWaitForWindowActive(&window));  // where the shortcuts work
        QCOMPARE(window.findChild<QToolButton*>("Command3D1")->toolTip(),
                 "Open a POD file (Ctrl+O)");
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

        auto* names = window.findChild<QListView*>("List1");
        names->setFocus();
        QTest::keyClicks(names, "no");
        QCOMPARE(names->currentIndex().row(), 2);
        note();
        QTest::keyClick(names, Qt::Key_Return);
        QCOMPARE(opened, QString("karvex::Form11"));
        QCOMPARE(m_fake->session.State().SelectedName, std::string("notes.txt"));
        QCOMPARE(m_fake->Calls(), QString());  // a text is viewed without a copy
    }

    // A command on a changed archive asks first: Yes reloads instead of running it, No nothing.
    void changedArchiveIsReloadedFirst() {
        // clang-format off
        void (Form1::*const commands[])() = {&Form1::menuView_Click, &Form1::menuNotepad_Click,
            &Form1::menuExamine_Click, &Form1::menuSearch_Click, &Form1::Command3D3_Click,
            &Form1::Command1_Click, nullptr};
        // clang-format on
        for (auto command : commands) {
            for (bool yes : {true, false}) {
                m_fake.reset();
                Form1& window = Open({0});
                Menu()->close();
                m_fake->session.unchanged = false;
                QString text, caption;
                AnswerMessage(yes ? "Yes" : "No", &text, &caption);
                command ? (window.*command)() : CopyOut(true);  // nullptr: a drag
                QCOMPARE(text, "The archive has changed on disk since it was opened. Reload it?");
                QCOMPARE(caption, QString("Karvex32"));
                QCOMPARE(m_fake->Calls(), yes ? QString("OpenPodSequence") : QString());
            }
        }
    }

    void recentFiles() {
        QSettings(QSettings::IniFormat, QSettings::UserScope, "Karvex32", "karvex32")
            .remove("recentFiles");
        Form1& window = Fake({}, "game.pod");
        const TestFolder& folder = m_fake->folder;
        QVERIFY(folder.MakeFiles({"list.lst"}));
        QVERIFY(window.OpenFile(folder.filePath("list.lst")));
        QVERIFY(window.OpenFile(folder.filePath("game.pod")));
        QCOMPARE(Form1::RecentFiles(),
                 (QStringList{folder.filePath("game.pod"), folder.filePath("list.lst")}));
        for (int i = 0; i < 11; ++i) {
            QVERIFY(folder.MakeFiles({QString("f%1.pod").arg(i)}));
            window.OpenFile(folder.filePath(QString("f%1.pod").arg(i)));
        }
        QCOMPARE(Form1::RecentFiles().size(), 10);
        QCOMPARE(Form1::RecentFiles().first(), folder.filePath("f10.pod"));

        // Right-click on Open, click one: the open, as a yielding load does, lets the menu go.
        const FakeSession::Script shown = m_fake->session.scripts["Open"];
        QPointer<QMenu> menu;
        bool goneDuringOpen = false;
        m_fake->session.scripts["Open"] = [&](StatusRow* row) {
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

QTEST_MAIN(MainWindowTest)
#include "main_window_test.moc"
