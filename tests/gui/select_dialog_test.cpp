// The Select dialog (Form6) over a folder the test makes: how many files it counts as
// selected, and what it writes into the shared state when it closes.
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <memory>

#include "archive_state.h"
#include "file_lists.h"
#include "modal.h"
#include "select_dialog.h"
#include "test_folder.h"

using karvex::ArchiveState;
using karvex::Form6;
using karvex::platform::FileList;
using karvex::test::ClickFile;
using karvex::test::ShowLoaded;
using karvex::test::TestFolder;

namespace {

// What the Select dialog writes, as one text.
QString SelectResults(const ArchiveState& s) {
    return QString::fromStdString(s.PodFolder + "|" + s.PodFileName + "|" + s.PodPattern);
}

}  // namespace

class SelectDialogTest : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase();
    void init() { QVERIFY(m_folder->MakeCurrent()); }
    void cleanupTestCase() { m_folder.reset(); }

    void selectCountsFiles();
    void selectWritesChoice_data();
    void selectWritesChoice();

  private:
    std::unique_ptr<TestFolder> m_folder;
};

void SelectDialogTest::initTestCase() {
    m_folder = std::make_unique<TestFolder>();
    QVERIFY(m_folder->MakeFiles({"a.pod", "MTM2.POD", "notes.txt", "README", "truck.bmp"}));
}

void SelectDialogTest::selectCountsFiles() {
    ArchiveState state;
    Form6 dialog(state);
    FileList* files = ShowLoaded(dialog);
    QVERIFY(files);
    QCOMPARE(dialog.windowTitle(), "Karvex32  -  Select");
    // Every file, with an extension or without.
    QCOMPARE(files->fileNames().join('|'), "a.pod|MTM2.POD|notes.txt|README|truck.bmp");
    auto* label = dialog.findChild<QLabel*>("Label1");
    QVERIFY(ClickFile(files, "a.pod"));
    QCOMPARE(label->text(), " 1 Files Selected");
    QVERIFY(ClickFile(files, "notes.txt", Qt::ShiftModifier));
    QCOMPARE(label->text(), " 3 Files Selected");
    QVERIFY(ClickFile(files, "truck.bmp", Qt::ControlModifier));
    QCOMPARE(label->text(), " 4 Files Selected");
    QVERIFY(ClickFile(files, "MTM2.POD", Qt::ControlModifier));
    QCOMPARE(label->text(), " 3 Files Selected");
    QCOMPARE(files->selectedFileNames().join('|'), "a.pod|notes.txt|truck.bmp");
}

void SelectDialogTest::selectWritesChoice_data() {
    QTest::addColumn<int>("how");          // 0: Select, 1: double click, 2: Cancel
    QTest::addColumn<QString>("written");  // PodFolder|PodFileName|PodPattern afterwards
    // A Ctrl-click that deselects MTM2.POD leaves it the focused file, the one recorded.
    QTest::newRow("Select") << 0 << m_folder->path() + "|MTM2.POD|*.*";
    QTest::newRow("double click") << 1 << m_folder->path() + "|README|*.*";
    QTest::newRow("Cancel") << 2 << "/games/mtm|OLD.POD|*.pod";
}

void SelectDialogTest::selectWritesChoice() {
    QFETCH(int, how);
    QFETCH(QString, written);
    // The results of an earlier choice, which only Select and a double click replace.
    ArchiveState state;
    state.PodFolder = "/games/mtm";
    state.PodFileName = "OLD.POD";
    state.PodPattern = "*.pod";
    Form6 dialog(state);
    FileList* files = ShowLoaded(dialog);
    QVERIFY(files);
    QVERIFY(ClickFile(files, "a.pod"));
    QVERIFY(ClickFile(files, "MTM2.POD", Qt::ShiftModifier));
    QVERIFY(ClickFile(files, "MTM2.POD", Qt::ControlModifier));
    if (how == 1)
        QVERIFY(ClickFile(files, "README", {}, true));
    else
        QTest::mouseClick(dialog.findChild<QPushButton*>(how == 0 ? "Command3D1" : "Command3D2"),
                          Qt::LeftButton);
    QVERIFY(!dialog.isVisible());
    QCOMPARE(dialog.result(), how == 2 ? QDialog::Rejected : QDialog::Accepted);
    QCOMPARE(SelectResults(state), written);
}

QTEST_MAIN(SelectDialogTest)
#include "select_dialog_test.moc"
