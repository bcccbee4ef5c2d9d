// SPDX-License-Identifier: GPL-3.0-or-later
// The Extract and Make commands driven through their real dialogs, as a user would, on
// archives the test writes; stopping a command over an archive in memory.
// What the commands write is checked in tests/core; here, what the window adds to them.
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

#include "mainwindow/main_window.h"
#include "platform/file_lists.h"
#include "tests/gui/modal.h"
#include "tests/gui/test_folder.h"

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

    // Escape, Exit and the close box stop the running command: it is asked to stop, and
    // after Exit or the close box it winds down without a box and the window closes.
    void stoppingACommand_data() {
        QTest::addColumn<QString>("how");
        QTest::addColumn<bool>("windowStays");
        QTest::newRow("Escape stops it") << "escape" << true;
        QTest::newRow("Exit stops it, then ends") << "exit" << false;
        QTest::newRow("the close box stops it, then ends") << "close" << false;
    }
    void stoppingACommand() {
        QFETCH(QString, how);
        QFETCH(bool, windowStays);
        FakeWindow fake({PodEntry{"A.RAW", "aaaa"}});
        QVERIFY(fake.Start());
        Form1& window = fake.window;
        auto enabled = [&](const char* name) {
            return window.findChild<QWidget*>(name)->isEnabled();
        };
        bool busy = false, stopRequested = false, boxShown = false;
        QTimer watch;  // closes any box the command winds down with
        connect(&watch, &QTimer::timeout, [&] {
            if (QWidget* box = QApplication::activeModalWidget()) {
                boxShown = true;
                box->close();
            }
        });
        fake.session.scripts["ExtractCommand"] = [&](StatusRow*) {
            watch.start(0);
            busy = !enabled("Command3D1") && !enabled("Command3D3") && !enabled("Command1");
            if (how == "escape")
                QTest::keyClick(&window, Qt::Key_Escape);
            else if (how == "exit")
                window.findChild<QToolButton*>("Command3D5")->click();
            else
                window.close();
            stopRequested = fake.session.CancelRequested();
            window.ShowMessage("Stopped.", "Karvex32", Icon::Information);
            return Result::Cancelled();
        };
        WhenModal([](QWidget* dialog) { dialog->close(); });  // the Extract dialog
        window.Command3D3_Click();
        watch.stop();
        QVERIFY(busy);
        QVERIFY(stopRequested);
        QCOMPARE(boxShown, windowStays);
        QCOMPARE(window.isVisible(), windowStays);
        QVERIFY(enabled("Command3D1") && enabled("Command3D3") && enabled("Command1"));
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
};

QTEST_MAIN(CommandsTest)
#include "commands_test.moc"
