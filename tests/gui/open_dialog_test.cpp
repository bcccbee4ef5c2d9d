// SPDX-License-Identifier: GPL-3.0-or-later
// The Open dialog (Form2) over folders the test makes: what its lists show, and what it
// writes into the shared state when it closes.
#include <QComboBox>
#include <QPushButton>
#include <QStorageInfo>
#include <QTest>
#include <memory>

#include "core/archive_state.h"
#include "dialogs/open_dialog.h"
#include "platform/file_lists.h"
#include "tests/gui/modal.h"
#include "tests/gui/test_folder.h"

using namespace karvex;
using namespace karvex::platform;
using namespace karvex::test;

class OpenDialogTest : public QObject {
    Q_OBJECT

  private:
    std::unique_ptr<TestFolder> m_folder;
    QString m_sub;  // a folder inside it

    // The rows of openWritesChoice and closingEmptiesResults.
    void ClosingColumns() {
        QTest::addColumn<QString>("folder");  // where Dir1 is sent; empty: stay where it starts
        QTest::addColumn<QString>("file");    // the file clicked; empty: none
        QTest::addColumn<QString>("how");     // a button, "twice" (double-click the file),
                                              // "Escape" or "close box"
        QTest::addColumn<int>("outcome");
        QTest::addColumn<QString>("results");  // PodFolder|PodFileName|PodPattern afterwards
    }
    // Closes the dialog as the row says, over the results of an earlier choice.
    void CloseAsTheRowSays() {
        QFETCH(QString, folder);
        QFETCH(QString, file);
        QFETCH(QString, how);
        QFETCH(int, outcome);
        QFETCH(QString, results);
        ArchiveState state;
        state.PodFolder = "/games/mtm";
        state.PodFileName = "OLD.POD";
        state.PodPattern = "*.lst";
        Form2 dialog(state);
        FileList* files = ShowLoaded(dialog);
        QVERIFY(files);
        if (!folder.isEmpty()) {
            dialog.findChild<FolderList*>("Dir1")->setPath(folder);
            QTRY_VERIFY(files->isLoaded());
        }
        if (!file.isEmpty())
            QVERIFY(ClickFile(files, file, {}, how == "twice"));
        QCOMPARE(files->fileName(), file);
        if (how == "Escape")
            QTest::keyClick(&dialog, Qt::Key_Escape);
        else if (how == "close box")
            QVERIFY(dialog.close());
        else if (how != "twice")
            QTest::mouseClick(dialog.findChild<QPushButton*>(how), Qt::LeftButton);
        QVERIFY(!dialog.isVisible());
        QCOMPARE(dialog.result(), outcome);
        QCOMPARE(QString::fromStdString(state.PodFolder + "|" + state.PodFileName + "|" +
                                        state.PodPattern),
                 results);
    }

  private slots:
    void initTestCase() {
        m_folder = std::make_unique<TestFolder>();
        m_sub = m_folder->filePath("sub");
        QVERIFY(m_folder->MakeFiles({"a.pod", "MTM2.POD", "one.lst", "two.lst", "notes.txt",
                                     "pod.txt", "sub/inner.pod", "sub/inner.LST"}));
    }
    void init() { QVERIFY(m_folder->MakeCurrent()); }
    void cleanupTestCase() { m_folder.reset(); }

    // The lists start in the current folder, showing archives.
    void listsFilesOfKind_data() {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("folder");  // where Dir1 is sent afterwards; empty: none
        QTest::addColumn<QString>("shown");
        // Letter case does not matter: MTM2.POD is an archive.
        QTest::newRow("archives") << 0 << ""
                                  << "a.pod|MTM2.POD";
        QTest::newRow("response files") << 1 << ""
                                        << "one.lst|two.lst";
        QTest::newRow("the list follows the folder") << 1 << m_sub << "inner.LST";
    }
    void listsFilesOfKind() {
        QFETCH(int, kind);
        QFETCH(QString, folder);
        QFETCH(QString, shown);
        ArchiveState state;
        Form2 dialog(state);
        FileList* files = ShowLoaded(dialog);
        QVERIFY(files);
        // Choose with the keyboard: to the second kind and, for the first, back again.
        auto* kinds = dialog.findChild<QComboBox*>("Combo1");
        QTest::keyClick(kinds, Qt::Key_Down);
        if (kind == 0)
            QTest::keyClick(kinds, Qt::Key_Up);
        if (!folder.isEmpty())
            dialog.findChild<FolderList*>("Dir1")->setPath(folder);
        const QString at = folder.isEmpty() ? m_folder->path() : folder;
        QCOMPARE(dialog.findChild<FolderList*>("Dir1")->path(), at);
        QCOMPARE(files->path(), at);
        QCOMPARE(dialog.findChild<DriveList*>("Drive1")->drive(), QStorageInfo(at).rootPath());
        QCOMPARE(files->pattern(), kind == 0 ? "*.pod" : "*.lst");
        QTRY_COMPARE(files->fileNames().join('|'), shown);
    }

    void openWritesChoice_data() {
        ClosingColumns();
        const QString at = m_folder->path(), open = "Command3D1";
        const int ok = QDialog::Accepted;
        // clang-format off
        QTest::newRow("a file") << "" << "MTM2.POD" << open << ok << at + "|MTM2.POD|*.pod";
        QTest::newRow("double click") << "" << "a.pod" << "twice" << ok << at + "|a.pod|*.pod";
        QTest::newRow("no file") << "" << "" << open << ok << at + "||*.pod";
        QTest::newRow("trailing separator") << m_sub + "/" << "inner.pod" << open << ok
                                            << m_sub + "|inner.pod|*.pod";
        QTest::newRow("the root keeps its separator") << "/" << "" << open << ok << "/||*.pod";
        // clang-format on
    }
    void openWritesChoice() { CloseAsTheRowSays(); }

    void closingEmptiesResults_data() {
        ClosingColumns();
        const QString kept = "/games/mtm|OLD.POD|*.lst";
        const int no = QDialog::Rejected;
        // clang-format off
        QTest::newRow("Cancel empties the results")
            << "" << "a.pod" << "Command3D2" << int(Form2::Cancelled) << "||";
        QTest::newRow("Escape changes nothing")    << "" << "a.pod" << "Escape"    << no << kept;
        QTest::newRow("close box changes nothing") << "" << "a.pod" << "close box" << no << kept;
        // clang-format on
    }
    void closingEmptiesResults() { CloseAsTheRowSays(); }
};

QTEST_MAIN(OpenDialogTest)
#include "open_dialog_test.moc"
