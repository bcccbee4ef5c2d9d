// SPDX-License-Identifier: GPL-3.0-or-later
// The Extract and Make commands driven through their real dialogs, as a user would, on
// archives the test writes; stopping a command over an archive in memory.
// What the commands write is checked in tests/core; here, what the window adds to them.
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include "platform/file_lists.h"
#include "tests/gui/modal.h"
#include "tests/gui/test_folder.h"

using namespace karvex;
using namespace karvex::test;

namespace {

bool Enabled(const Form1& window, const QStringList& names) {
    for (const QString& name : names) {
        if (!window.findChild<QWidget*>(name)->isEnabled())
            return false;
    }
    return true;
}

// Answers the next Extract or Make dialog: Dir1 sent to `folder`, the boxes ticked, the line
// boxes filled ("Text1=NEW.POD"), then the first button.
void AnswerDialog(const QString& folder, const QStringList& boxes, const QStringList& texts = {}) {
    WhenModal([=](QWidget* dialog) {
        dialog->findChild<platform::FolderList*>("Dir1")->setPath(folder);
        for (const QString& box : boxes)
            dialog->findChild<QCheckBox*>(box)->setChecked(true);
        for (const QString& text : texts)
            dialog->findChild<QLineEdit*>(text.section('=', 0, 0))->setText(text.section('=', 1));
        dialog->findChild<QPushButton*>("Command3D1")->click();
    });
}

}  // namespace

class CommandsTest : public QObject {
    Q_OBJECT

  private slots:
    void extractAllWithListAndInformation() {
        TestFolder folder;
        folder.Write("game.pod", PodBytes({{"A.RAW", "aaaa"}, {"ART\\B.ACT", "bb"}}, "Comment"));
        QVERIFY(folder.MakeFolder("out"));
        ArchiveSession session;
        Form1 window(session);
        window.show();
        window.Startup(folder.filePath("game.pod"));
        AnswerDialog(folder.filePath("out"), {"Check3D3", "Check3D1", "Check3D4"});
        window.Command3D3_Click();
        QCOMPARE(folder.Read("out/A.RAW"), std::string("aaaa"));
        QCOMPARE(folder.Read("out/ART/B.ACT"), std::string("bb"));
        QCOMPARE(folder.Read("out/game.lst"), std::string("A.RAW\r\nART\\B.ACT\r\n"));
        QVERIFY(QFile::exists(folder.filePath("out/game.inf")));
        QCOMPARE(window.findChild<QLabel*>("Label5")->text(), QString("Comment"));
        QCOMPARE(QDir::currentPath(), folder.filePath("out"));
        QVERIFY(Enabled(window, {"Command3D3", "Command3D1"}));
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
        const QStringList buttons{"Command3D1", "Command3D3", "Command1"};
        bool idle = true, stopRequested = false, boxShown = false;
        QTimer watch;  // closes any box the command winds down with
        connect(&watch, &QTimer::timeout, [&] {
            if (QWidget* box = QApplication::activeModalWidget()) {
                boxShown = true;
                box->close();
            }
        });
        fake.session.scripts["ExtractCommand"] = [&](StatusRow*) {
            watch.start(0);
            for (const QString& button : buttons)
                idle = idle && window.findChild<QWidget*>(button)->isEnabled();
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
        QVERIFY(!idle);  // busy: every button was disabled
        QVERIFY(stopRequested);
        QCOMPARE(boxShown, windowStays);
        QCOMPARE(window.isVisible(), windowStays);
        QVERIFY(Enabled(window, buttons));
    }

    // pod.ini one folder up from the new archive, which the Make dialog names and mounts.
    void makeMountsAndOpensTheNewArchive() {
        TestFolder folder;
        folder.Write("src/a.raw", "aaaa");
        folder.Write("src/new.lst", "a.raw\r\n");
        folder.Write("pod.ini", "1\r\nMTM.POD\r\n");
        QVERIFY(folder.MakeFolder("addons"));
        ArchiveSession session;
        Form1 window(session);
        window.show();
        window.Startup(folder.filePath("src/new.lst"));
        QVERIFY(Enabled(window, {"Command3D2"}));
        AnswerDialog(folder.filePath("addons"), {"Check3D1"}, {"Text1=NEW.POD", "Text2=Made here"});
        window.Command3D2_Click();
        QCOMPARE(folder.Read("pod.ini"),
                 " 2\r\nMTM.POD" + std::string(25, ' ') + "\r\naddons\\NEW.POD\r\n");
        QCOMPARE(window.findChild<QLabel*>("Label5")->text(), QString("Made here"));
        QCOMPARE(window.findChild<QLabel*>("Label4")->text(), QString("1"));
        QVERIFY(!Enabled(window, {"Command3D2"}) && Enabled(window, {"Command3D3", "Command1"}));
        QCOMPARE(ListRows(window, "List1").value(0), QString("A.RAW"));
        QCOMPARE(window.windowTitle(), QString("Karvex32  -  NEW.POD"));
    }
};

QTEST_MAIN(CommandsTest)
#include "commands_test.moc"
