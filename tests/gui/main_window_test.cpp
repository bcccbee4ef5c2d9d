// The main window: start-up, the open sequences as the user sees them, the Open dialog's
// results, selection across the lists, the comment editor, the logo, and what a screen
// reader hears.
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
#include <QTimer>
#include <QToolButton>

#include "file_lists.h"
#include "karvex_version.h"
#include "main_window.h"
#include "modal.h"
#include "test_folder.h"

using namespace karvex;
using namespace karvex::test;

class MainWindowTest : public QObject {
    Q_OBJECT

  private:
    std::unique_ptr<TestFolder> m_folder;  // one folder for all the tests
    std::unique_ptr<ArchiveSession> m_session;
    std::unique_ptr<Form1> m_window;

    Form1& Window() {
        m_session = std::make_unique<ArchiveSession>();
        m_window = std::make_unique<Form1>(*m_session);
        m_window->show();
        return *m_window;
    }
    template <typename T>
    T* Find(const char* name) {
        return m_window->findChild<T*>(name);
    }
    QString Text(const char* label) { return Find<QLabel>(label)->text(); }
    // The window as a user reads it: status line | size | files | lamp | Make, Extract,
    // Edit enabled | lists shown.
    QString Screen() {
        const char* lamp = m_window->LampColour() == Lamp::Green ? "green"
                           : m_window->LampColour() == Lamp::Red ? "red"
                                                                 : "magenta";
        auto on = [this](const char* name) { return Find<QWidget>(name)->isEnabled() ? "1" : "0"; };
        return Text("Label5") + "|" + Text("Label3") + "|" + Text("Label4") + "|" + lamp + "|" +
               on("Command3D2") + on("Command3D3") + on("Command1") + "|" +
               (Find<QListView>("List1")->isVisible() ? "lists" : "overlay");
    }
    void Write(const QString& name, const std::string& bytes) { m_folder->Write(name, bytes); }
    // Answers the comment editor: `typed`, or Cancel when empty. What it offered goes to `shown`.
    static void AnswerComment(const QString& typed, QString* shown = nullptr) {
        WhenModal(
            [=](QWidget* modal) {
                auto* box = qobject_cast<QInputDialog*>(modal);
                if (shown)
                    *shown = box->textValue();
                box->setTextValue(typed);
                typed.isEmpty() ? box->reject() : box->accept();
            },
            "QInputDialog");
    }
    QString Quoted(const QString& name) { return '"' + m_folder->filePath(name) + '"'; }

  private slots:
    void initTestCase() { m_folder = std::make_unique<TestFolder>(); }
    void init() { QVERIFY(m_folder->MakeCurrent()); }
    void cleanup() {
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
        Write("bad.pod", PodBytes({{"A.RAW", "a"}, {std::string("\0B", 2), "b"}}));
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

        open("bad.pod");
        QCOMPARE(Screen(),
                 QString("Load Failed  -  File may not be a valid POD file.|||magenta|011|lists"));

        // Escape and the close box keep the open file as it was.
        open("good.pod");
        WhenModal([](QWidget* dialog) { QTest::keyClick(dialog, Qt::Key_Escape); });
        window.Command3D1_Click();
        QCOMPARE(Screen(), QString("Good one|170|2|green|011|lists"));
        QCOMPARE(window.windowTitle(), QString("Karvex32  -  good.pod"));
        QCOMPARE(Find<QListView>("List1")->model()->rowCount(), 2);
        WhenModal([](QWidget* dialog) { QVERIFY(dialog->close()); });
        window.Command3D1_Click();
        QCOMPARE(Screen(), QString("Good one|170|2|green|011|lists"));

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
        Write("many.pod", PodBytes(entries));
        Form1& window = Window();
        QVERIFY(window.Startup(m_folder->filePath("many.pod")));
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
        QVERIFY(m_session->Table().IsSelected(1) && m_session->Table().IsSelected(2) &&
                m_session->Table().IsSelected(3));

        click(sizes, 2, Qt::ControlModifier);
        QCOMPARE(Text("Label8"), QString("2"));
        QVERIFY(!m_session->Table().IsSelected(2));
        QVERIFY(!names->selectionModel()->isSelected(names->model()->index(2, 0)));

        names->selectAll();
        click(names, 0, Qt::ControlModifier);
        click(names, 1, Qt::ControlModifier);
        QCOMPARE(Text("Label8"), QString("1,598"));
        QVERIFY(m_session->Table().IsSelected(1599) && !m_session->Table().IsSelected(1));

        sizes->verticalScrollBar()->setValue(200);
        QCOMPARE(names->verticalScrollBar()->value(), 200);
    }

    void commandsWaitWhileALoadRuns() {
        std::vector<PodEntry> entries(200, PodEntry{"E.RAW", ""});
        Write("busy.pod", PodBytes(entries));
        Form1& window = Window();
        bool openEnabled = true, overlayShown = false, listsShown = true;
        QTimer::singleShot(0, [&] {  // runs at the loader's first yield to the event queue
            openEnabled = Find<QToolButton>("Command3D1")->isEnabled();
            overlayShown = Find<QLabel>("Label9")->isVisible();
            listsShown = Find<QListView>("List1")->isVisible();
        });
        QVERIFY(window.Startup(m_folder->filePath("busy.pod")));
        QVERIFY(!openEnabled);
        QVERIFY(overlayShown);
        QVERIFY(!listsShown);
        QCOMPARE(Screen(), QString("|8,084|200|green|011|lists"));
        QVERIFY(Find<QToolButton>("Command3D1")->isEnabled());
    }

    void aClickInAnEmptyListCountsZero() {
        Window().Startup("");
        auto* names = Find<QListView>("List1");
        QTest::mouseClick(names->viewport(), Qt::LeftButton, {}, QPoint(5, 5));
        QCOMPARE(Text("Label8"), QString("0"));
    }

    void commentEditorWritesTheArchive_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QByteArray>("stored");
        QTest::newRow("eighty") << QString(80, 'e') << QByteArray(80, 'e');
        QTest::newRow("a hundred") << QString(100, 'h') << QByteArray(80, 'h');
        QTest::newRow("latin-1") << QString::fromUtf8("caf\xC3\xA9")
                                 << QByteArray("caf\xE9") + QByteArray(76, '\0');
        QTest::newRow("cancelled") << QString() << QByteArray("Old comment") + QByteArray(69, '\0');
    }
    void commentEditorWritesTheArchive() {
        QFETCH(QString, typed);
        QFETCH(QByteArray, stored);
        const std::string bytes = PodBytes({{"A.RAW", "aaaa"}}, "Old comment");
        Write("c.pod", bytes);
        Form1& window = Window();
        QVERIFY(window.Startup(m_folder->filePath("c.pod")));
        QString initial;
        AnswerComment(typed, &initial);
        window.Command1_Click();
        QCOMPARE(initial, QString("Old comment"));
        std::string expected = bytes;
        expected.replace(4, 80, stored.toStdString());
        QCOMPARE(m_folder->Read("c.pod"), expected);
        QCOMPARE(Text("Label5"), QString::fromLatin1(stored).section(QChar(0), 0, 0));
    }

    // An archive gone or changed since it was opened is not written: the window asks
    // whether to reload it, and No leaves everything as it was.
    void commentEditorAsksAboutAChangedArchive() {
        Write("c.pod", PodBytes({{"A.RAW", "aaaa"}}, "Old"));
        Form1& window = Window();
        QVERIFY(window.Startup(m_folder->filePath("c.pod")));
        QFile::remove(m_folder->filePath("c.pod"));
        QString text;
        AnswerMessage("No", &text);
        window.Command1_Click();
        QCOMPARE(text, QString("The archive has changed on disk since it was opened. Reload it?"));
        QCOMPARE(Text("Label5"), QString("Old"));
        QVERIFY(!QFile::exists(m_folder->filePath("c.pod")));
    }

    // The logo's tool tip and About give the build's version, as the command line does.
    void oneVersionEverywhere() {
        Form1& window = Window();
        const QString version = "Karvex32 version " KARVEX_VERSION;
        QCOMPARE(Find<QLabel>("Picture6")->toolTip(), version);
        QString about;
        WhenModal([&](QWidget* box) {
            about = box->findChild<QLabel*>("Label2")->text();
            box->close();
        });
        window.Command3D4_Click();
        QCOMPARE(about, version);
    }

    void logoIsDrawnAtOnceAndAnimates() {
        Write("busy.pod", PodBytes(std::vector<PodEntry>(200, PodEntry{"E.RAW", ""})));
        Form1& window = Window();
        auto* logo = Find<QLabel>("Picture6");
        bool drawnDuringLoad = false;
        QTimer::singleShot(0, [&] { drawnDuringLoad = !logo->pixmap().isNull(); });
        QVERIFY(window.Startup(m_folder->filePath("busy.pod")));
        QVERIFY(drawnDuringLoad);

        auto tick = [&] {
            window.Timer1_Timer();
            return logo->pixmap().cacheKey();
        };
        const qint64 still = tick();
        QCOMPARE(tick(), still);
        QTest::mouseClick(logo, Qt::LeftButton);  // the animation
        QVERIFY(tick() != tick());
        for (int click = 0; click < 3; ++click)
            QTest::mouseClick(logo, Qt::LeftButton);
        QCOMPARE(tick(), still);  // four clicks come back to the still logo
    }

    // A screen reader hears the values the status row shows, and in each list exactly the
    // column that list shows.
    void screenReaderHearsWhatIsShown() {
        Write("two.pod", PodBytes({{"A.RAW", "aaaa"}, {"B.ACT", std::string(1500, 'b')}}));
        Form1& window = Window();
        QVERIFY(window.Startup(m_folder->filePath("two.pod")));
        QCOMPARE(Find<QLabel>("Label3")->accessibleName(), QString("Archive size 1,668"));
        QCOMPARE(Find<QLabel>("Label4")->accessibleName(), QString("Number of files 2"));
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
