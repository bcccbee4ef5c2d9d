// The Extract and Make commands driven through their real dialogs, as a user would. What the
// commands write is checked in tests/core; here, what the window adds to them.
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include "file_lists.h"
#include "main_window.h"
#include "modal.h"
#include "test_folder.h"

using namespace karvex;
using namespace karvex::test;

class CommandsTest : public QObject {
    Q_OBJECT

  private:
    std::unique_ptr<TestFolder> m_folder;  // a fresh folder for every test and row
    std::unique_ptr<ArchiveSession> m_session;
    std::unique_ptr<Form1> m_window;

    void Write(const QString& name, const std::string& bytes) { m_folder->Write(name, bytes); }
    std::string Read(const QString& name) { return m_folder->Read(name); }
    QString Status() { return m_window->findChild<QLabel*>("Label5")->text(); }
    bool Enabled(const char* name) { return m_window->findChild<QWidget*>(name)->isEnabled(); }

    Form1& Open(const QString& file) {
        m_session = std::make_unique<ArchiveSession>();
        m_window = std::make_unique<Form1>(*m_session);
        m_window->show();
        m_window->Startup(m_folder->filePath(file));
        return *m_window;
    }
    // Answers the Extract dialog: the folder, then the boxes ticked (by name), then Extract.
    static void AnswerExtract(const QString& folder, const QStringList& boxes) {
        WhenModal([=](QWidget* dialog) {
            dialog->findChild<platform::FolderList*>("Dir1")->setPath(folder);
            for (const QString& box : boxes)
                dialog->findChild<QCheckBox*>(box)->setChecked(true);
            dialog->findChild<QPushButton*>("Command3D1")->click();
        });
    }

  private slots:
    void init() {
        m_folder = std::make_unique<TestFolder>();
        QCOMPARE(QDir::currentPath(), m_folder->path());
    }
    void cleanup() {
        m_window.reset();
        m_session.reset();
        m_folder.reset();
    }

    void extractAllWithListAndInformation() {
        Write("game.pod", PodBytes({{"A.RAW", "aaaa"}, {"ART\\B.ACT", "bb"}}, "Comment"));
        QVERIFY(m_folder->MakeFolder("out"));
        Form1& window = Open("game.pod");
        AnswerExtract(m_folder->filePath("out"), {"Check3D3", "Check3D1", "Check3D4"});
        window.Command3D3_Click();
        QCOMPARE(Read("out/A.RAW"), std::string("aaaa"));
        QCOMPARE(Read("out/ART/B.ACT"), std::string("bb"));
        QCOMPARE(Read("out/game.lst"), std::string("A.RAW\r\nART\\B.ACT\r\n"));
        QVERIFY(QFile::exists(m_folder->filePath("out/game.inf")));
        QCOMPARE(Status(), QString("Comment"));
        QCOMPARE(QDir::currentPath(), m_folder->filePath("out"));
        QVERIFY(Enabled("Command3D3") && Enabled("Command3D1"));
    }

    void declinedInformationFileIsKept() {
        Write("game.pod", PodBytes({{"A.RAW", "aaaa"}}, "First"));
        Write("other.pod", PodBytes({{"Z.RAW", "z"}}, "Second"));
        Write("out/game.inf", "mine");
        Form1& window = Open("game.pod");
        AnswerExtract(m_folder->filePath("out"), {"Check3D4"});
        QString question;
        AnswerMessage("No", &question);
        window.Command3D3_Click();
        QCOMPARE(question, QString("File game.inf Exists!\n\nDo you want to overwrite this file?"));
        QCOMPARE(Read("out/game.inf"), std::string("mine"));
        QCOMPARE(m_session->State().FailFlag, 0);
        QVERIFY(window.Startup(m_folder->filePath("other.pod")));
        QCOMPARE(Status(), QString("Second"));
    }

    void stoppingALargeExtraction_data() {
        QTest::addColumn<QString>("how");
        QTest::addColumn<bool>("windowStays");
        QTest::newRow("Escape stops it") << "escape" << true;
        QTest::newRow("Exit stops it, then ends") << "exit" << false;
        QTest::newRow("the close box stops it, then ends") << "close" << false;
    }
    void stoppingALargeExtraction() {
        QFETCH(QString, how);
        QFETCH(bool, windowStays);
        Write("big.pod", PodBytes({{"BIG.BIN", std::string(8 << 20, 'b')}, {"LAST.BIN", "l"}}));
        QVERIFY(m_folder->MakeFolder("out"));
        Form1& window = Open("big.pod");
        AnswerExtract(m_folder->filePath("out"), {"Check3D3", "Check3D1"});
        // At the copy's yields, once the command runs: the commands are disabled, and the stop.
        bool busyWhileCopying = false;
        QTimer stop;
        connect(&stop, &QTimer::timeout, [&] {
            if (Enabled("Command3D1"))
                return;
            stop.stop();
            busyWhileCopying = true;
            if (how == "escape")
                QTest::keyClick(&window, Qt::Key_Escape);
            else if (how == "exit")
                window.findChild<QToolButton*>("Command3D5")->click();
            else
                window.close();
        });
        stop.start(0);
        bool boxShown = false;
        QTimer watch;
        connect(&watch, &QTimer::timeout, [&] {  // any box after the stop
            boxShown |= busyWhileCopying && QApplication::activeModalWidget() != nullptr;
        });
        watch.start(0);
        window.Command3D3_Click();
        watch.stop();
        QVERIFY(busyWhileCopying);
        QVERIFY(!boxShown);
        QVERIFY(QDir(m_folder->filePath("out")).isEmpty());  // neither the entry nor the list
        QCOMPARE(window.isVisible(), windowStays);
        QCOMPARE(Status(), QString("             Cancelled."));
        QCOMPARE(window.LampColour(), Lamp::Green);
        QVERIFY(Enabled("Command3D1") && Enabled("Command3D3"));
    }

    // pod.ini one folder up from the new archive, which the Make dialog names and mounts.
    void makeMountsAndOpensTheNewArchive() {
        Write("src/a.raw", "aaaa");
        Write("src/new.lst", "a.raw\r\n");
        Write("pod.ini", "1\r\nMTM.POD\r\n");
        QVERIFY(m_folder->MakeFolder("addons"));
        Form1& window = Open("src/new.lst");
        QVERIFY(Enabled("Command3D2"));
        WhenModal([this](QWidget* dialog) {
            dialog->findChild<platform::FolderList*>("Dir1")->setPath(m_folder->filePath("addons"));
            dialog->findChild<QLineEdit*>("Text1")->setText("NEW.POD");
            dialog->findChild<QLineEdit*>("Text2")->setText("Made here");
            dialog->findChild<QCheckBox*>("Check3D1")->setChecked(true);
            dialog->findChild<QPushButton*>("Command3D1")->click();
        });
        window.Command3D2_Click();
        QCOMPARE(Read("pod.ini"),
                 " 2\r\nMTM.POD" + std::string(25, ' ') + "\r\naddons\\NEW.POD\r\n");
        QCOMPARE(Status(), QString("Made here"));
        QCOMPARE(window.findChild<QLabel*>("Label4")->text(), QString("1"));
        QVERIFY(!Enabled("Command3D2") && Enabled("Command3D3") && Enabled("Command1"));
        QCOMPARE(window.findChild<QListView*>("List1")->model()->index(0, 0).data().toString(),
                 QString("A.RAW"));
        QCOMPARE(window.windowTitle(), QString("Karvex32  -  NEW.POD"));
    }

    void cancelledDialogsDoNothing() {
        Write("game.pod", PodBytes({{"A.RAW", "aaaa"}}, "Kept"));
        Form1& window = Open("game.pod");
        for (auto command : {&Form1::Command3D3_Click, &Form1::Command3D2_Click}) {
            WhenModal([](QWidget* dialog) { dialog->close(); });
            (window.*command)();
            QCOMPARE(m_session->State().DialogPath, std::string());
            QCOMPARE(m_session->State().DialogOptions, std::string());
            QCOMPARE(Status(), QString("Kept"));
        }
    }
};

QTEST_MAIN(CommandsTest)
#include "commands_test.moc"
