// SPDX-License-Identifier: GPL-3.0-or-later
// The Open (Form2), Make (Form3), Extract (Form4) and Select (Form6) dialogs over a folder the
// test makes: what their lists show, what they refuse or let be typed, and what each writes
// into the shared state when it closes, over the results of an earlier dialog.
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QStorageInfo>
#include <QTest>

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

}  // namespace

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

    // The list follows the folder, the drive list the folder's volume, the pattern the kind
    // chosen with the keyboard (letter case aside).
    void openWritesChoice_data() {
        QTest::addColumn<bool>("lists");      // response files chosen first
        QTest::addColumn<QString>("folder");  // where Dir1 is sent; empty: stay where it starts
        QTest::addColumn<QString>("file");    // the file clicked; empty: none
        QTest::addColumn<QString>("how");     // as CloseAs, or "twice": double-click the file
        QTest::addColumn<int>("outcome");
        QTest::addColumn<QString>("results");  // PodFolder|PodFileName|PodPattern afterwards
        const QString at = m_folder.path(), open = "Command3D1", kept = "/games/mtm|OLD.POD|*.lst";
        const int ok = QDialog::Accepted, no = QDialog::Rejected;
        // clang-format off
        QTest::newRow("a file") << false << "" << "MTM2.POD" << open << ok
                                << at + "|MTM2.POD|*.pod";
        QTest::newRow("double click") << false << "" << "a.pod" << "twice" << ok
                                      << at + "|a.pod|*.pod";
        QTest::newRow("no file") << false << "" << "" << open << ok << at + "||*.pod";
        QTest::newRow("response file") << true << m_sub << "inner.LST" << open << ok
                                       << m_sub + "|inner.LST|*.lst";
        QTest::newRow("trailing separator") << false << m_sub + "/" << "inner.pod" << open << ok
                                            << m_sub + "|inner.pod|*.pod";
        QTest::newRow("the root keeps its separator") << false << "/" << "" << open << ok
                                                      << "/||*.pod";
        QTest::newRow("Cancel empties the results")
            << false << "" << "a.pod" << "Command3D2" << int(Form2::Cancelled) << "||";
        QTest::newRow("Escape changes nothing") << false << "" << "a.pod" << "Escape" << no << kept;
        // clang-format on
    }
    void openWritesChoice() {
        QFETCH(bool, lists);
        QFETCH(QString, folder);
        QFETCH(QString, file);
        QFETCH(QString, how);
        QFETCH(int, outcome);
        QFETCH(QString, results);
        ArchiveState state = Earlier();
        Form2 dialog(state);
        FileList* files = ShowLoaded(dialog);
        QVERIFY(files);
        if (lists)
            QTest::keyClick(dialog.findChild<QComboBox*>("Combo1"), Qt::Key_Down);
        if (!folder.isEmpty()) {
            dialog.findChild<FolderList*>("Dir1")->setPath(folder);
            QTRY_VERIFY(files->isLoaded());
        }
        QCOMPARE(dialog.findChild<DriveList*>("Drive1")->drive(),
                 QStorageInfo(files->path()).rootPath());
        if (!file.isEmpty())
            QVERIFY(ClickFile(files, file, {}, how == "twice"));
        QCOMPARE(files->fileName(), file);
        if (how != "twice")
            CloseAs(dialog, how);
        QVERIFY(!dialog.isVisible());
        QCOMPARE(dialog.result(), outcome);
        QCOMPARE(Chosen(state), results);
    }

    // A name unlike MYFILE.POD is refused with a box, and the dialog stays and changes
    // nothing; Cancel and Escape (the close box too, through the same reject) empty the
    // results. The comment stays.
    void makeRefusesOrEmptiesResults_data() {
        QTest::addColumn<QString>("how");
        QTest::newRow("MYFILE.TXT refused") << "Command3D1";
        QTest::newRow("Cancel") << "Command3D2";
        QTest::newRow("Escape") << "Escape";
    }
    void makeRefusesOrEmptiesResults() {
        QFETCH(QString, how);
        ArchiveState state = Earlier();
        Form3 dialog(state);
        QVERIFY(ShowLoaded(dialog));
        QTest::keyClicks(dialog.findChild<QLineEdit*>("Text1"), "MYFILE.TXT");
        const bool refused = how == "Command3D1";
        QString text, caption;
        if (refused)
            AnswerMessage("OK", &text, &caption);
        CloseAs(dialog, how);
        QCOMPARE(dialog.isVisible(), refused);
        QCOMPARE(text + "|" + caption,
                 refused ? "File must be in a format like:  MYFILE.POD|Karvex32" : "|");
        QCOMPARE(dialog.result(), QDialog::Rejected);
        QCOMPARE(Made(state), refused ? "/games/mtm|MTM2|111111" : "||");
        QCOMPARE(state.PodComment, std::string(80, 'c'));
    }

    void makeWritesChoice_data() {
        QTest::addColumn<QString>("typed");  // into Text1
        QTest::addColumn<QString>("name");   // the DialogName recorded
        QTest::addColumn<bool>("mount");
        QTest::addColumn<QString>("comment");  // recorded in Latin-1, cut or blank-padded to 80
        // clang-format off
        QTest::newRow("blanks trimmed") << " a.pod " << "a.pod" << false << "Caf\u00e9";
        QTest::newRow("full comment")   << "a.pod" << "a.pod" << true << QString(80, 'x');
        // The name box takes 12 characters, the comment box 80.
        QTest::newRow("long name")      << "ABCDEFGH.PODX" << "ABCDEFGH.POD" << false << "";
        QTest::newRow("long comment")   << "a.pod" << "a.pod" << false << QString(81, 'y');
        // clang-format on
    }
    void makeWritesChoice() {
        QFETCH(QString, typed);
        QFETCH(QString, name);
        QFETCH(bool, mount);
        QFETCH(QString, comment);
        ArchiveState state;
        Form3 dialog(state);
        FileList* files = ShowLoaded(dialog);
        QVERIFY(files);
        // It starts in the current folder, listing only archives, with Mount POD clear.
        QCOMPARE(files->fileNames().join('|'), "a.pod|MTM2.POD|mytruckpack.pod");
        auto* mounted = dialog.findChild<QCheckBox*>("Check3D1");
        QVERIFY(!mounted->isChecked());
        QTest::keyClicks(dialog.findChild<QLineEdit*>("Text1"), typed);
        dialog.findChild<QLineEdit*>("Text2")->insert(comment);  // keyClicks takes ASCII only
        mounted->setChecked(mount);
        CloseAs(dialog, "Command3D1");
        QVERIFY(!dialog.isVisible());
        QCOMPARE(dialog.result(), QDialog::Accepted);
        QCOMPARE(Made(state), m_folder.path() + "|" + name + (mount ? "| 1" : "| 0"));
        QCOMPARE(QByteArray::fromStdString(state.PodComment),
                 comment.toLatin1().leftJustified(80, ' ', true));
    }

    // The 12-character limit is for typing: a longer name chosen in the list goes in whole and
    // is made under that name; typing can shorten it but not lengthen it.
    void makeKeepsAChosenNameWhole() {
        ArchiveState state;
        Form3 dialog(state);
        FileList* files = ShowLoaded(dialog);
        QVERIFY(files && ClickFile(files, "mytruckpack.pod"));
        auto* name = dialog.findChild<QLineEdit*>("Text1");
        name->end(false);
        QTest::keyClicks(name, "x");
        QCOMPARE(name->text(), "mytruckpack.pod");
        QTest::keyClick(name, Qt::Key_Backspace);
        QTest::keyClicks(name, "dx");
        QCOMPARE(name->text(), "mytruckpack.pod");
        CloseAs(dialog, "Command3D1");
        QCOMPARE(dialog.result(), QDialog::Accepted);
        QCOMPARE(QString::fromStdString(state.DialogName), "mytruckpack.pod");
    }

    // Another drive takes the folder list, and Label2 with it, to its root.
    void extractAnotherDriveGoesToItsRoot() {
        ArchiveState state;
        Form4 dialog(state);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        const QString root = dialog.findChild<DriveList*>("Drive1")->drive();
        dialog.Drive1_Change();
        QCOMPARE(dialog.findChild<FolderList*>("Dir1")->path(), root);
        QCOMPARE(dialog.findChild<QLabel*>("Label2")->text(), root);
    }

    void extractWritesResults_data() {
        QTest::addColumn<QString>("podFile");  // the open archive
        QTest::addColumn<QString>("folder");   // where Dir1 is sent; empty: the current folder
        QTest::addColumn<QString>("ticked");   // the boxes ticked: "Check3D3|Check3D4"
        QTest::addColumn<QString>("how");      // as CloseAs
        QTest::addColumn<QString>("options");  // response, selected, all, information, hidden x2
        QTest::addColumn<QString>("written");  // DialogName|DialogPath; the path is in Label2
        const QString x = "Command3D1", both = "Check3D3|Check3D4", pod = "pod1.pod";
        const QString here = "pod1|" + m_folder.path();
        // clang-format off
        QTest::newRow("response and information") << pod << "" << "Check3D1|Check3D4" << x
                                                  << "100100" << here;
        QTest::newRow("selected and all")   << pod << "" << "Check3D2|Check3D3" << x << "011000"
                                            << here;
        QTest::newRow("Cancel")             << pod << "" << both << "Command3D2" << "" << "|";
        QTest::newRow("close box")          << pod << "" << both << "close box"  << "" << "|";
        QTest::newRow("upper case")   << "MYTRUCK.POD" << m_sub << "" << x << "000000"
                                      << "MYTRUCK|" + m_sub;
        // clang-format on
    }
    void extractWritesResults() {
        QFETCH(QString, podFile);
        QFETCH(QString, folder);
        QFETCH(QString, ticked);
        QFETCH(QString, how);
        QFETCH(QString, options);
        QFETCH(QString, written);
        ArchiveState state = Earlier();
        state.PodFileName = podFile.toStdString();
        Form4 dialog(state);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        for (const QString& name : ticked.split('|', Qt::SkipEmptyParts)) {
            auto* box = dialog.findChild<QCheckBox*>(name);  // a click on its caption
            QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(4, box->height() / 2));
        }
        if (!folder.isEmpty())
            dialog.findChild<FolderList*>("Dir1")->setPath(folder);
        const bool extracted = how == "Command3D1";
        if (extracted)
            QCOMPARE(dialog.findChild<QLabel*>("Label2")->text(), written.section('|', 1));
        CloseAs(dialog, how);
        QVERIFY(!dialog.isVisible());
        QCOMPARE(dialog.result(), extracted ? QDialog::Accepted : QDialog::Rejected);
        QCOMPARE(QString::fromStdString(state.DialogOptions), options);
        QCOMPARE(QString::fromStdString(state.DialogName + "|" + state.DialogPath), written);
    }

    // Select lists every file and counts the selected ones; only Select and a double click
    // replace the results. A Ctrl-click that deselects MTM2.POD leaves it the focused file,
    // the one recorded.
    void selectWritesChoice_data() {
        QTest::addColumn<QString>("how");      // a button, or "twice": a double click on two.lst
        QTest::addColumn<QString>("written");  // PodFolder|PodFileName|PodPattern afterwards
        QTest::newRow("Select") << "Command3D1" << m_folder.path() + "|MTM2.POD|*.*";
        QTest::newRow("double click") << "twice" << m_folder.path() + "|two.lst|*.*";
        QTest::newRow("Cancel") << "Command3D2"
                                << "/games/mtm|OLD.POD|*.lst";
    }
    void selectWritesChoice() {
        QFETCH(QString, how);
        QFETCH(QString, written);
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
        QCOMPARE(files->selectedFileNames().join('|'), "a.pod|mytruckpack.pod|notes.txt|two.lst");
        if (how == "twice")
            QVERIFY(ClickFile(files, "two.lst", {}, true));
        else
            CloseAs(dialog, how);
        QVERIFY(!dialog.isVisible());
        QCOMPARE(dialog.result(), how == "Command3D2" ? QDialog::Rejected : QDialog::Accepted);
        QCOMPARE(Chosen(state), written);
    }
};

QTEST_MAIN(DialogsTest)
#include "dialogs_test.moc"
