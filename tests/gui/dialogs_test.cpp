// SPDX-License-Identifier: GPL-3.0-or-later
// The Open, Make, Extract and Select dialogs over a folder the test makes, what each writes
// into the shared state; and the Extract and Make commands run through them.
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStorageInfo>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include "dialogs/extract_dialog.h"
#include "dialogs/make_dialog.h"
#include "dialogs/open_dialog.h"
#include "dialogs/select_dialog.h"
#include "platform/file_lists.h"
#include "tests/gui/modal.h"
#include "tests/gui/test_folder.h"

using namespace karvex;
using namespace karvex::platform;
using namespace karvex::test;

namespace {

struct OpenRow {
    bool lists, twice;     // response files chosen first; `file` double-clicked
    QString folder, file;  // where Dir1 is sent ("" stays); the file clicked ("" none)
    QString results;
};
struct MakeRow {
    QString typed, comment;
    bool mount;
    QString how, made, message{};  // made: Dialog{Path,Name,Options}; message: text|caption
    QString chosen{};              // the file clicked in the list first
};

QString Chosen(const ArchiveState& s) {
    return QString::fromStdString(s.PodFolder + "|" + s.PodFileName + "|" + s.PodPattern);
}
QString Made(const ArchiveState& s) {
    return QString::fromStdString(s.DialogPath + "|" + s.DialogName + "|" + s.DialogOptions);
}
ArchiveState Earlier() {
    ArchiveState state;
    state.PodFolder = state.DialogPath = "/games/mtm";
    state.PodFileName = "OLD.POD";
    state.PodPattern = "*.lst";
    state.DialogName = "MTM2";
    state.DialogOptions = "111111";
    state.PodComment = std::string(80, 'c');
    return state;
}

bool Enabled(const Form1& window, const QStringList& names) {
    return std::all_of(names.begin(), names.end(), [&](const QString& name) {
        return window.findChild<QWidget*>(name)->isEnabled();
    });
}

// Answers the next Extract or Make dialog: Dir1 to `folder`, boxes ticked, "Text1=..." typed.
void AnswerDialog(const QString& folder, const QStringList& boxes, const QStringList& texts = {}) {
    WhenModal([=](QWidget* dialog) {
        dialog->findChild<FolderList*>("Dir1")->setPath(folder);
        for (const QString& box : boxes)
            dialog->findChild<QCheckBox*>(box)->setChecked(true);
        for (const QString& text : texts)
            dialog->findChild<QLineEdit*>(text.section('=', 0, 0))->setText(text.section('=', 1));
        dialog->findChild<QPushButton*>("Command3D1")->click();
    });
}

}  // namespace

Q_DECLARE_METATYPE(OpenRow)
Q_DECLARE_METATYPE(MakeRow)

class DialogsTest : public QObject {
    Q_OBJECT

    TestFolder m_folder;
    const QString m_sub = m_folder.filePath("sub");

  private slots:
    void initTestCase() {
        QVERIFY(m_folder.MakeFiles({"a.pod", "MTM2.POD", "one.lst", "two.lst", "notes.txt",
                                    "mytruckpack.pod", "sub/inner.pod", "sub/inner.LST"}));
    }
    void init() { QVERIFY(m_folder.MakeCurrent()); }

    // The drive list follows the folder's volume, the pattern the kind chosen by keyboard.
    void openWritesChoice_data() {
        QTest::addColumn<OpenRow>("row");
        const QString at = m_folder.path();
        QTest::newRow("a file") << OpenRow{false, false, "", "MTM2.POD", at + "|MTM2.POD|*.pod"};
        QTest::newRow("double click") << OpenRow{false, true, "", "a.pod", at + "|a.pod|*.pod"};
        QTest::newRow("response file")
            << OpenRow{true, false, m_sub, "inner.LST", m_sub + "|inner.LST|*.lst"};
        QTest::newRow("trailing separator")
            << OpenRow{false, false, m_sub + "/", "inner.pod", m_sub + "|inner.pod|*.pod"};
        QTest::newRow("the root keeps its separator") << OpenRow{false, false, "/", "", "/||*.pod"};
    }
    void openWritesChoice() {
        QFETCH(OpenRow, row);
        ArchiveState state = Earlier();
        Form2 dialog(state);
        FileList* files = ShowLoaded(dialog);
        QVERIFY(files);
        if (row.lists)
            QTest::keyClick(dialog.findChild<QComboBox*>("Combo1"), Qt::Key_Down);
        if (!row.folder.isEmpty()) {
            dialog.findChild<FolderList*>("Dir1")->setPath(row.folder);
            QTRY_VERIFY(files->isLoaded());
        }
        QCOMPARE(dialog.findChild<DriveList*>("Drive1")->drive(),
                 QStorageInfo(files->path()).rootPath());
        if (!row.file.isEmpty())
            QVERIFY(ClickFile(files, row.file, {}, row.twice));
        QCOMPARE(files->fileName(), row.file);
        if (!row.twice)
            CloseAs(dialog, "Command3D1");
        QCOMPARE(dialog.result(), QDialog::Accepted);
        QCOMPARE(Chosen(state), row.results);
    }

    // Typed names keep 12 characters, chosen ones go whole; comments 80; refusals change nothing.
    void makeWritesChoice_data() {
        QTest::addColumn<MakeRow>("row");
        using M = MakeRow;
        const QString at = m_folder.path() + "|", ok = "Command3D1";
        const QString refusal = "File must be in a format like:  MYFILE.POD|Karvex32";
        QTest::newRow("blanks trimmed") << M{" a.pod ", "Caf\u00e9", false, ok, at + "a.pod| 0"};
        QTest::newRow("full comment") << M{"a.pod", QString(80, 'x'), true, ok, at + "a.pod| 1"};
        QTest::newRow("long name") << M{"ABCDEFGH.PODX", "", false, ok, at + "ABCDEFGH.POD| 0"};
        QTest::newRow("long comment") << M{"a.pod", QString(81, 'y'), false, ok, at + "a.pod| 0"};
        QTest::newRow("long name chosen")
            << M{"x\bdx", "", false, ok, at + "mytruckpack.pod| 0", "", "mytruckpack.pod"};
        QTest::newRow("MYFILE.TXT refused")
            << M{"MYFILE.TXT", "", false, ok, "/games/mtm|MTM2|111111", refusal};
        QTest::newRow("Cancel") << M{"MYFILE.TXT", "", false, "Command3D2", "||"};
    }
    void makeWritesChoice() {
        QFETCH(MakeRow, row);
        ArchiveState state = Earlier();
        Form3 dialog(state);
        FileList* files = ShowLoaded(dialog);
        QVERIFY(files);
        QCOMPARE(files->fileNames().join('|'), "a.pod|MTM2.POD|mytruckpack.pod");
        QVERIFY(row.chosen.isEmpty() || ClickFile(files, row.chosen));
        auto* mounted = dialog.findChild<QCheckBox*>("Check3D1");
        QVERIFY(!mounted->isChecked());
        QTest::keyClicks(dialog.findChild<QLineEdit*>("Text1"), row.typed);
        dialog.findChild<QLineEdit*>("Text2")->insert(row.comment);  // keyClicks takes ASCII only
        mounted->setChecked(row.mount);
        QString text, caption;
        if (!row.message.isEmpty())
            AnswerMessage("OK", &text, &caption);
        CloseAs(dialog, row.how);
        QCOMPARE(dialog.isVisible(), !row.message.isEmpty());
        QCOMPARE(row.message.isEmpty() ? "" : text + "|" + caption, row.message);
        QCOMPARE(Made(state), row.made);
        QCOMPARE(QByteArray::fromStdString(state.PodComment),
                 dialog.result() == QDialog::Accepted
                     ? row.comment.toLatin1().leftJustified(80, ' ', true)
                     : QByteArray(80, 'c'));
    }

    // A Ctrl-click that deselects MTM2.POD leaves it the focused file, the one recorded.
    void selectWritesChoice() {
        const QString at = m_folder.path();
        for (const auto& [how, written] :
             {std::pair<QString, QString>{"Command3D1", at + "|MTM2.POD|*.*"},
              {"twice", at + "|two.lst|*.*"},
              {"Command3D2", "/games/mtm|OLD.POD|*.lst"}}) {
            ArchiveState state = Earlier();
            Form6 dialog(state);
            FileList* files = ShowLoaded(dialog);
            QVERIFY(files);
            QCOMPARE(files->fileNames().join('|'),
                     "a.pod|MTM2.POD|mytruckpack.pod|notes.txt|one.lst|two.lst");
            auto* label = dialog.findChild<QLabel*>("Label1");
            QVERIFY(ClickFile(files, "a.pod"));
            QCOMPARE(label->text(), " 1 Files Selected");
            QVERIFY(ClickFile(files, "notes.txt", Qt::ShiftModifier));
            QCOMPARE(label->text(), " 4 Files Selected");
            QVERIFY(ClickFile(files, "two.lst", Qt::ControlModifier));
            QCOMPARE(label->text(), " 5 Files Selected");
            QVERIFY(ClickFile(files, "MTM2.POD", Qt::ControlModifier));
            QCOMPARE(label->text(), " 4 Files Selected");
            QCOMPARE(files->selectedFileNames().join('|'),
                     "a.pod|mytruckpack.pod|notes.txt|two.lst");
            if (how == "twice")
                QVERIFY(ClickFile(files, "two.lst", {}, true));
            else
                CloseAs(dialog, how);
            QVERIFY(!dialog.isVisible());
            QCOMPARE(dialog.result(), how == "Command3D2" ? QDialog::Rejected : QDialog::Accepted);
            QCOMPARE(Chosen(state), written);
        }
    }

    // Extract with a list, then Make from it into a folder pod.ini mounts (bytes: tests/core);
    // the Make of two entries, A.RAW first, shows the list and ART/B.ACT were written.
    void extractThenMakeThroughTheDialogs() {
        TestFolder folder;
        folder.Write("game.pod", PodBytes({{"A.RAW", "aaaa"}, {"ART\\B.ACT", "bb"}}, "Comment"));
        folder.Write("pod.ini", "1\r\nMTM.POD\r\n");
        QVERIFY(folder.MakeFolder("out") && folder.MakeFolder("addons"));
        ArchiveSession session;
        Form1 window(session);
        window.show();
        window.Startup(folder.filePath("game.pod"));
        AnswerDialog(folder.filePath("out"), {"Check3D3", "Check3D1", "Check3D4"});
        window.Command3D3_Click();
        QVERIFY(QFile::exists(folder.filePath("out/game.inf")));
        QCOMPARE(window.findChild<QLabel*>("Label5")->text(), QString("Comment"));
        QCOMPARE(QDir::currentPath(), folder.filePath("out"));
        QVERIFY(Enabled(window, {"Command3D3", "Command3D1"}));
        QVERIFY(window.OpenFile(folder.filePath("out/game.lst")) &&
                Enabled(window, {"Command3D2"}));
        AnswerDialog(folder.filePath("addons"), {"Check3D1"}, {"Text1=NEW.POD", "Text2=Made here"});
        window.Command3D2_Click();
        QVERIFY(folder.Read("pod.ini").ends_with("\r\naddons\\NEW.POD\r\n"));  // mounted
        QCOMPARE(window.findChild<QLabel*>("Label5")->text(), QString("Made here"));
        QCOMPARE(window.findChild<QLabel*>("Label4")->text(), QString("2"));
        QVERIFY(!Enabled(window, {"Command3D2"}) && Enabled(window, {"Command3D3", "Command1"}));
        QCOMPARE(ListRows(window, "List1").value(0), QString("A.RAW"));
        QCOMPARE(window.windowTitle(), QString("Karvex32  -  NEW.POD"));
    }

    // The command is asked to stop; after Exit or the close box, without a box, the window closes.
    void stoppingACommand() {
        for (const QString& how : QStringList{"escape", "exit", "close"}) {
            const bool windowStays = how == "escape";
            FakeWindow fake({PodEntry{"A.RAW", "aaaa"}});
            QVERIFY(fake.Start());
            Form1& window = fake.window;
            const QStringList buttons{"Command3D1", "Command3D3", "Command1"};
            bool idle = true, stopRequested = false, boxShown = false;
            QTimer watch;  // closes any box the command winds down with
            connect(&watch, &QTimer::timeout, [&] {
                if (QWidget* box = QApplication::activeModalWidget())
                    boxShown = box->close() || boxShown;
            });
            fake.session.scripts["ExtractCommand"] = [&](StatusRow*) {
                watch.start(0);
                idle = Enabled(window, buttons);
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
            WhenModal(
                [](QWidget* dialog) { CloseAs(*qobject_cast<QDialog*>(dialog), "Command3D2"); });
            window.Command3D3_Click();
            watch.stop();
            QVERIFY(!idle);  // busy: every button was disabled
            QVERIFY(stopRequested);
            QCOMPARE(boxShown, windowStays);
            QCOMPARE(window.isVisible(), windowStays);
            QVERIFY(Enabled(window, buttons));
        }
    }
};

QTEST_MAIN(DialogsTest)
#include "dialogs_test.moc"
