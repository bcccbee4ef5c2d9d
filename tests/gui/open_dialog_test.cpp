// The Open dialog (Form2) over folders the test makes: what its lists show, and what it
// writes into the shared state when it closes.
#include <QComboBox>
#include <QDir>
#include <QPushButton>
#include <QStorageInfo>
#include <QTest>
#include <memory>

#include "archive_state.h"
#include "file_lists.h"
#include "modal.h"
#include "open_dialog.h"
#include "test_folder.h"

using karvex::ArchiveState;
using karvex::Form2;
using karvex::platform::DriveList;
using karvex::platform::FileList;
using karvex::platform::FolderList;
using karvex::test::ClickFile;
using karvex::test::ShowLoaded;
using karvex::test::TestFolder;

namespace {

QString Text(const std::string& text) {
    return QString::fromStdString(text);
}

}  // namespace

class OpenDialogTest : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase();
    void init() { QVERIFY(m_folder->MakeCurrent()); }
    void cleanupTestCase() { m_folder.reset(); }

    void startsInCurrentFolder();
    void listsFilesOfKind_data();
    void listsFilesOfKind();
    void fileListFollowsFolder();
    void openWritesChoice_data();
    void openWritesChoice();
    void closingEmptiesResults_data();
    void closingEmptiesResults();

  private:
    std::unique_ptr<TestFolder> m_folder;
    QString m_sub;  // a folder inside it
};

void OpenDialogTest::initTestCase() {
    m_folder = std::make_unique<TestFolder>();
    m_sub = m_folder->filePath("sub");
    QVERIFY(m_folder->MakeFiles({"a.pod", "MTM2.POD", "one.lst", "two.lst", "notes.txt", "pod.txt",
                                 "sub/inner.pod", "sub/inner.LST"}));
}

void OpenDialogTest::startsInCurrentFolder() {
    QVERIFY(QDir::setCurrent(m_sub));
    ArchiveState state;
    Form2 dialog(state);
    FileList* files = ShowLoaded(dialog);
    QVERIFY(files);

    QCOMPARE(dialog.windowTitle(), "Karvex32  -  Open");
    QVERIFY(dialog.isModal());
    QCOMPARE(dialog.findChild<FolderList*>("Dir1")->path(), m_sub);
    QCOMPARE(files->path(), m_sub);
    QCOMPARE(dialog.findChild<DriveList*>("Drive1")->drive(), QStorageInfo(m_sub).rootPath());
    auto* kinds = dialog.findChild<QComboBox*>("Combo1");
    QCOMPARE(kinds->count(), 2);
    QCOMPARE(kinds->itemText(0), "Pod File  (*.pod)");
    QCOMPARE(kinds->itemText(1), "Response File (*.lst)");
    QCOMPARE(kinds->currentIndex(), 0);
    QCOMPARE(files->pattern(), "*.pod");
    QCOMPARE(files->fileNames(), QStringList{"inner.pod"});
}

void OpenDialogTest::listsFilesOfKind_data() {
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QString>("shown");
    // Letter case does not matter: MTM2.POD is an archive.
    // clang-format off
    QTest::newRow("archives")       << 0 << "*.pod" << "a.pod|MTM2.POD";
    QTest::newRow("response files") << 1 << "*.lst" << "one.lst|two.lst";
    // clang-format on
}

void OpenDialogTest::listsFilesOfKind() {
    QFETCH(int, kind);
    QFETCH(QString, pattern);
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
    QCOMPARE(files->pattern(), pattern);
    QCOMPARE(files->fileNames().join('|'), shown);
}

void OpenDialogTest::fileListFollowsFolder() {
    ArchiveState state;
    Form2 dialog(state);
    FileList* files = ShowLoaded(dialog);
    QVERIFY(files);
    QTest::keyClick(dialog.findChild<QComboBox*>("Combo1"), Qt::Key_Down);

    dialog.findChild<FolderList*>("Dir1")->setPath(m_sub);
    QCOMPARE(files->path(), m_sub);
    QCOMPARE(files->pattern(), "*.lst");
    QTRY_COMPARE(files->fileNames(), QStringList{"inner.LST"});
}

void OpenDialogTest::openWritesChoice_data() {
    QTest::addColumn<QString>("folder");  // where Dir1 is sent; empty: stay where it starts
    QTest::addColumn<QString>("file");    // the file clicked; empty: none
    QTest::addColumn<bool>("twice");      // double-click the file instead of pressing Open
    QTest::addColumn<QString>("podFolder");
    // clang-format off
    QTest::newRow("a file")             << "" << "MTM2.POD" << false << m_folder->path();
    QTest::newRow("double click")       << "" << "a.pod"    << true  << m_folder->path();
    QTest::newRow("no file")            << "" << ""         << false << m_folder->path();
    QTest::newRow("trailing separator") << m_sub + "/" << "inner.pod" << false << m_sub;
    QTest::newRow("the root keeps its separator") << "/" << "" << false << "/";
    // clang-format on
}

void OpenDialogTest::openWritesChoice() {
    QFETCH(QString, folder);
    QFETCH(QString, file);
    QFETCH(bool, twice);
    QFETCH(QString, podFolder);
    ArchiveState state;
    Form2 dialog(state);
    FileList* files = ShowLoaded(dialog);
    QVERIFY(files);
    if (!folder.isEmpty()) {
        dialog.findChild<FolderList*>("Dir1")->setPath(folder);
        QTRY_VERIFY(files->isLoaded());
    }
    if (twice) {
        QVERIFY(ClickFile(files, file, {}, true));
    } else {
        if (!file.isEmpty())
            QVERIFY(ClickFile(files, file));
        QCOMPARE(files->fileName(), file);
        QTest::mouseClick(dialog.findChild<QPushButton*>("Command3D1"), Qt::LeftButton);
    }
    QVERIFY(!dialog.isVisible());
    QCOMPARE(dialog.result(), QDialog::Accepted);
    QCOMPARE(Text(state.PodFolder), podFolder);
    QCOMPARE(Text(state.PodFileName), file);
    QCOMPARE(Text(state.PodPattern), "*.pod");
}

void OpenDialogTest::closingEmptiesResults_data() {
    QTest::addColumn<int>("how");
    QTest::addColumn<int>("outcome");
    QTest::addColumn<QString>("folderAfter");
    QTest::newRow("Cancel empties the results") << 0 << int(Form2::Cancelled) << "";
    QTest::newRow("Escape changes nothing") << 1 << int(QDialog::Rejected) << "/games/mtm";
    QTest::newRow("close box changes nothing") << 2 << int(QDialog::Rejected) << "/games/mtm";
}

void OpenDialogTest::closingEmptiesResults() {
    QFETCH(int, how);
    QFETCH(int, outcome);
    QFETCH(QString, folderAfter);
    ArchiveState state;
    state.PodFolder = "/games/mtm";
    state.PodFileName = "MTM2.POD";
    state.PodPattern = "*.pod";
    Form2 dialog(state);
    FileList* files = ShowLoaded(dialog);
    QVERIFY(files);
    QVERIFY(ClickFile(files, "a.pod"));

    if (how == 0)
        QTest::mouseClick(dialog.findChild<QPushButton*>("Command3D2"), Qt::LeftButton);
    else if (how == 1)
        QTest::keyClick(&dialog, Qt::Key_Escape);
    else
        QVERIFY(dialog.close());
    QVERIFY(!dialog.isVisible());
    QCOMPARE(dialog.result(), outcome);
    QCOMPARE(Text(state.PodFolder), folderAfter);
    QCOMPARE(Text(state.PodFileName), folderAfter.isEmpty() ? "" : "MTM2.POD");
    QCOMPARE(Text(state.PodPattern), folderAfter.isEmpty() ? "" : "*.pod");
}

QTEST_MAIN(OpenDialogTest)
#include "open_dialog_test.moc"
