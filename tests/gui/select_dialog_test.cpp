// SPDX-License-Identifier: GPL-3.0-or-later
// The Select dialog (Form6) over a folder the test makes: how many files it counts as
// selected, and what it writes into the shared state when it closes.
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <memory>

#include "core/archive_state.h"
#include "dialogs/select_dialog.h"
#include "platform/file_lists.h"
#include "tests/gui/modal.h"
#include "tests/gui/test_folder.h"

using namespace karvex;
using namespace karvex::platform;
using namespace karvex::test;

class SelectDialogTest : public QObject {
    Q_OBJECT

  private:
    std::unique_ptr<TestFolder> m_folder;

  private slots:
    void initTestCase() {
        m_folder = std::make_unique<TestFolder>();
        QVERIFY(m_folder->MakeFiles({"a.pod", "MTM2.POD", "notes.txt", "README", "truck.bmp"}));
    }
    void init() { QVERIFY(m_folder->MakeCurrent()); }
    void cleanupTestCase() { m_folder.reset(); }

    void selectCountsFiles() {
        ArchiveState state;
        Form6 dialog(state);
        FileList* files = ShowLoaded(dialog);
        QVERIFY(files);
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

    void selectWritesChoice_data() {
        QTest::addColumn<QString>("how");      // a button, or "twice": a double click on README
        QTest::addColumn<QString>("written");  // PodFolder|PodFileName|PodPattern afterwards
        // A Ctrl-click that deselects MTM2.POD leaves it the focused file, the one recorded.
        QTest::newRow("Select") << "Command3D1" << m_folder->path() + "|MTM2.POD|*.*";
        QTest::newRow("double click") << "twice" << m_folder->path() + "|README|*.*";
        QTest::newRow("Cancel") << "Command3D2"
                                << "/games/mtm|OLD.POD|*.pod";
    }
    void selectWritesChoice() {
        QFETCH(QString, how);
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
        if (how == "twice")
            QVERIFY(ClickFile(files, "README", {}, true));
        else
            QTest::mouseClick(dialog.findChild<QPushButton*>(how), Qt::LeftButton);
        QVERIFY(!dialog.isVisible());
        QCOMPARE(dialog.result(), how == "Command3D2" ? QDialog::Rejected : QDialog::Accepted);
        QCOMPARE(QString::fromStdString(state.PodFolder + "|" + state.PodFileName + "|" +
                                        state.PodPattern),
                 written);
    }
};

QTEST_MAIN(SelectDialogTest)
#include "select_dialog_test.moc"
