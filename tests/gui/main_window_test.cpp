// SPDX-License-Identifier: GPL-3.0-or-later
// The main window: start-up and the Open command on archives the test writes; over an archive
// in memory, the lists, the window during a load, the comment editor, the logo, a screen reader.
#include <QAccessible>
#include <QFile>
#include <QInputDialog>
#include <QItemSelectionModel>
#include <QLabel>
#include <QListView>
#include <QPushButton>
#include <QScopeGuard>
#include <QScrollBar>
#include <QTest>
#include <QToolButton>

#include "karvex_version.h"
#include "mainwindow/main_window.h"
#include "platform/file_lists.h"
#include "tests/gui/modal.h"
#include "tests/gui/test_folder.h"

using namespace karvex;
using namespace karvex::test;

class MainWindowTest : public QObject {
    Q_OBJECT

  private:
    std::unique_ptr<TestFolder> m_folder;  // one folder for all the tests
    std::unique_ptr<ArchiveSession> m_session;
    std::unique_ptr<Form1> m_window;
    Form1* m_shown = nullptr;  // the window Find and Screen look at

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
    // The window as a user reads it: status line | size | files | lamp | Make, Extract,
    // Edit enabled | lists shown.
    QString Screen() {
        const Lamp colour = m_shown->LampColour();
        const char* lamp = colour == Lamp::Green ? "green"
                           : colour == Lamp::Red ? "red"
                                                 : "magenta";
        auto on = [this](const char* name) { return Find<QWidget>(name)->isEnabled() ? "1" : "0"; };
        return Text("Label5") + "|" + Text("Label3") + "|" + Text("Label4") + "|" + lamp + "|" +
               on("Command3D2") + on("Command3D3") + on("Command1") + "|" +
               (Find<QListView>("List1")->isVisible() ? "lists" : "overlay");
    }
    void Write(const QString& name, const std::string& bytes) { m_folder->Write(name, bytes); }
    QString Quoted(const QString& name) { return '"' + m_folder->filePath(name) + '"'; }

  private slots:
    void initTestCase() { m_folder = std::make_unique<TestFolder>(); }
    void init() { QVERIFY(m_folder->MakeCurrent()); }
    void cleanup() {
        m_shown = nullptr;
        m_window.reset();
        m_session.reset();
    }
    void cleanupTestCase() { m_folder.reset(); }

    // The command line at start-up. `file` is written first (a response file listing a
    // missing file, or an archive); a missing file that is named ends the program after a box.
    void startup_data() {
        QTest::addColumn<QString>("file");  // empty: none
        QTest::addColumn<QString>("commandLine");
        QTest::addColumn<QString>("screen");  // empty: the program ends
        const QString listed = "Demo|132|1|green|011|lists", nothing = "|||green|000|lists";
        const QString path = m_folder->path() + '/';
        // clang-format off
        QTest::newRow("quoted full path")     << "trucks.pod" << Quoted("trucks.pod") << listed;
        QTest::newRow("upper-case extension") << "TRUCKS.POD" << path + "TRUCKS.POD"  << listed;
        QTest::newRow("relative path")        << "trucks.pod" << "trucks.pod"         << listed;
        QTest::newRow("other letter case on disk") << "Trucks.Pod" << path + "TRUCKS.POD" << listed;
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
        // Each row finds only its own file: "other letter case on disk" must not find the
        // TRUCKS.POD an earlier row wrote.
        const auto removeFile = qScopeGuard([&] { QFile::remove(m_folder->filePath(file)); });
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
            QCOMPARE(m_session->State().StartFolder, m_folder->path().toStdString());
        }
    }

    void openCommand() {
        Write("good.pod", PodBytes({{"A.RAW", "aaaa"}, {"B.ACT", "bb"}}, "Good one"));
        Form1& window = Window();
        QVERIFY(window.Startup(""));
        auto open = [&](const QString& name) {
            WhenModal([name](QWidget* dialog) {
                auto* files = dialog->findChild<platform::FileList*>("File1");
                QTRY_VERIFY(files->isLoaded());
                QVERIFY(ClickFile(files, name));
                dialog->findChild<QPushButton*>("Command3D1")->click();
            });
            window.Command3D1_Click();
        };
        open("good.pod");
        QCOMPARE(Screen(), QString("Good one|170|2|green|011|lists"));
        QCOMPARE(window.windowTitle(), QString("Karvex32  -  good.pod"));
        QCOMPARE(Text("Label8"), QString("0"));

        // Escape and the close box keep the open file as it was.
        open("good.pod");
        for (bool escape : {true, false}) {
            WhenModal([escape](QWidget* dialog) {
                if (escape)
                    QTest::keyClick(dialog, Qt::Key_Escape);
                else
                    QVERIFY(dialog->close());
            });
            window.Command3D1_Click();
            QCOMPARE(Screen(), QString("Good one|170|2|green|011|lists"));
            QCOMPARE(window.windowTitle(), QString("Karvex32  -  good.pod"));
            QCOMPARE(Find<QListView>("List1")->model()->rowCount(), 2);
        }
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
        FakeWindow fake(entries);
        QVERIFY(fake.Start());
        const EntryTable& table = fake.session.Table();
        m_shown = &fake.window;
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

        names->selectAll();
        click(names, 0, Qt::ControlModifier);
        click(names, 1, Qt::ControlModifier);
        QCOMPARE(Text("Label8"), QString("1,598"));
        QVERIFY(table.IsSelected(1599) && !table.IsSelected(1));

        sizes->verticalScrollBar()->setValue(200);
        QCOMPARE(names->verticalScrollBar()->value(), 200);
    }

    // While the start-up's open runs, the logo is drawn, Open is disabled and the lists
    // wait behind the overlay.
    void theWindowDuringALoad() {
        FakeWindow fake(std::vector<PodEntry>(200, PodEntry{"E.RAW", ""}));
        m_shown = &fake.window;
        bool openEnabled = true, overlayShown = false, listsShown = true, logoDrawn = false;
        const FakeSession::Script shown = fake.session.scripts["Open"];
        fake.session.scripts["Open"] = [&](StatusRow* row) {
            openEnabled = Find<QToolButton>("Command3D1")->isEnabled();
            overlayShown = Find<QLabel>("Label9")->isVisible();
            listsShown = Find<QListView>("List1")->isVisible();
            logoDrawn = !Find<QLabel>("Picture6")->pixmap().isNull();
            return shown(row);
        };
        QVERIFY(fake.Start());
        QVERIFY(!openEnabled);
        QVERIFY(overlayShown);
        QVERIFY(!listsShown);
        QVERIFY(logoDrawn);
        QCOMPARE(Screen(), QString("|8,084|200|green|011|lists"));
        QVERIFY(Find<QToolButton>("Command3D1")->isEnabled());
    }

    // The editor offers the archive's comment and hands what is typed over as 8-bit text;
    // Cancel hands over nothing. (What the archive then holds is checked in tests/core.)
    void commentEditorHandsOverTheComment_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("calls");
        QTest::newRow("plain") << QString(100, 'h') << "RewriteComment " + QString(100, 'h');
        QTest::newRow("latin-1") << QString::fromUtf8("caf\xC3\xA9")
                                 << QString::fromUtf8("RewriteComment caf\xC3\xA9");
        QTest::newRow("cancelled") << QString() << QString();
    }
    void commentEditorHandsOverTheComment() {
        QFETCH(QString, typed);
        QFETCH(QString, calls);
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
        QCOMPARE(fake.Calls(), calls);
    }

    // With nothing open: a click in the empty list counts 0 selected. The logo's tool tip
    // and About give the build's version, as the command line does; a click on the logo
    // starts its animation, four clicks bring the still logo back.
    void withNothingOpen() {
        FakeWindow fake;
        QVERIFY(fake.Start(""));
        m_shown = &fake.window;
        QTest::mouseClick(Find<QListView>("List1")->viewport(), Qt::LeftButton, {}, QPoint(5, 5));
        QCOMPARE(Text("Label8"), QString("0"));
        auto* logo = Find<QLabel>("Picture6");
        const QString version = "Karvex32 version " KARVEX_VERSION;
        QCOMPARE(logo->toolTip(), version);
        QString about;
        WhenModal([&](QWidget* box) {
            about = box->findChild<QLabel*>("Label2")->text();
            box->close();
        });
        fake.window.Command3D4_Click();
        QCOMPARE(about, version);

        auto tick = [&] {
            fake.window.Timer1_Timer();
            return logo->pixmap().cacheKey();
        };
        const qint64 still = tick();
        QCOMPARE(tick(), still);
        QTest::mouseClick(logo, Qt::LeftButton);
        QVERIFY(tick() != tick());
        for (int click = 0; click < 3; ++click)
            QTest::mouseClick(logo, Qt::LeftButton);
        QCOMPARE(tick(), still);
    }

    // A screen reader hears the values the status row shows, and in each list exactly the
    // column that list shows; the sizes' tool tips give them in bytes, KiB or MiB.
    void screenReaderHearsWhatIsShown() {
        FakeWindow fake({{"A.RAW", "aaaa"}, {"B.ACT", std::string(1500, 'b')}});
        QVERIFY(fake.Start());
        m_shown = &fake.window;
        QCOMPARE(Find<QLabel>("Label3")->accessibleName(), QString("Archive size 1,668"));
        QCOMPARE(Find<QLabel>("Label4")->accessibleName(), QString("Number of files 2"));
        QCOMPARE(Find<QLabel>("Label3")->toolTip(), QString("1.6 KiB"));
        QCOMPARE(Find<QListView>("List2")->model()->index(1, 0).data(Qt::ToolTipRole).toString(),
                 QString("1,500 bytes"));
        QAccessible::setActive(true);
        auto heard = [this](const char* list) {
            QStringList items;
            QAccessibleInterface* view =
                QAccessible::queryAccessibleInterface(Find<QListView>(list));
            for (int i = 0; i < view->childCount(); ++i)
                items << view->child(i)->text(QAccessible::Name);
            return items.join('|');
        };
        QCOMPARE(heard("List1"), QString("A.RAW|B.ACT"));
        QCOMPARE(heard("List2"), QString("4|1,500"));
    }
};

QTEST_MAIN(MainWindowTest)
#include "main_window_test.moc"
