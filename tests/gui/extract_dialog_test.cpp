// SPDX-License-Identifier: GPL-3.0-or-later
// The Extract dialog (Form4): where its lists start, what Label2 shows, and what it writes
// into the shared state when it closes.
#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <memory>

#include "core/archive_state.h"
#include "dialogs/extract_dialog.h"
#include "platform/file_lists.h"
#include "tests/gui/test_folder.h"

using namespace karvex;
using namespace karvex::platform;
using namespace karvex::test;

class ExtractDialogTest : public QObject {
    Q_OBJECT

  private:
    // Shows the dialog and ticks each box named in `names` ("Check3D3|Check3D4") with a
    // click on its caption.
    static bool ShowAndTick(Form4& dialog, const QString& names) {
        dialog.show();
        if (!QTest::qWaitForWindowActive(&dialog))
            return false;
        for (const QString& name : names.split('|', Qt::SkipEmptyParts)) {
            auto* box = dialog.findChild<QCheckBox*>(name);
            QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(4, box->height() / 2));
        }
        return true;
    }

    std::unique_ptr<TestFolder> m_folder;
    QString m_sub;  // a folder inside it

  private slots:
    void initTestCase() {
        m_folder = std::make_unique<TestFolder>();
        m_sub = m_folder->filePath("sub");
        QVERIFY(m_folder->MakeFolder("sub"));
    }
    void init() { QVERIFY(m_folder->MakeCurrent()); }
    void cleanupTestCase() { m_folder.reset(); }

    // Another drive takes the folder list, and Label2 with it, to its root.
    void anotherDriveGoesToItsRoot() {
        ArchiveState state;
        Form4 dialog(state);
        QVERIFY(ShowAndTick(dialog, ""));
        const QString root = dialog.findChild<DriveList*>("Drive1")->drive();
        dialog.Drive1_Change();
        QCOMPARE(dialog.findChild<FolderList*>("Dir1")->path(), root);
        QCOMPARE(dialog.findChild<QLabel*>("Label2")->text(), root);
    }

    void closeWritesResults_data() {
        QTest::addColumn<QString>("podFile");  // the open archive
        QTest::addColumn<QString>("folder");   // where Dir1 is sent; empty: the current folder
        QTest::addColumn<QString>("ticked");   // the boxes ticked: "Check3D3|Check3D4"
        QTest::addColumn<QString>("how");      // a button (Extract, Cancel), Escape or close box
        QTest::addColumn<QString>("options");  // response, selected, all, information, hidden x2
        QTest::addColumn<QString>("written");  // DialogName|DialogPath; the path is in Label2
        const QString x = "Command3D1", both = "Check3D3|Check3D4", pod = "pod1.pod";
        const QString here = "pod1|" + m_folder->path();
        // clang-format off
        QTest::newRow("nothing")             << pod << "" << ""         << x << "000000" << here;
        QTest::newRow("response file")       << pod << "" << "Check3D1" << x << "100000" << here;
        QTest::newRow("selected files")      << pod << "" << "Check3D2" << x << "010000" << here;
        QTest::newRow("all files")           << pod << "" << "Check3D3" << x << "001000" << here;
        QTest::newRow("information")         << pod << "" << "Check3D4" << x << "000100" << here;
        QTest::newRow("all and information") << pod << "" << both       << x << "001100" << here;
        QTest::newRow("Cancel")              << pod << "" << both << "Command3D2" << "" << "|";
        QTest::newRow("Escape")              << pod << "" << both << "Escape"     << "" << "|";
        QTest::newRow("close box")           << pod << "" << both << "close box"  << "" << "|";
        QTest::newRow("upper case")   << "MYTRUCK.POD" << m_sub << "" << x << "000000"
                                      << "MYTRUCK|" + m_sub;
        QTest::newRow("no base name") << ".pod" << m_sub << "" << x << "000000" << "|" + m_sub;
        QTest::newRow("trailing separator") << pod << m_sub + "/" << "" << x << "000000"
                                            << "pod1|" + m_sub;
        QTest::newRow("the root")     << pod << "/" << "" << x << "000000" << "pod1|/";
        // clang-format on
    }
    void closeWritesResults() {
        QFETCH(QString, podFile);
        QFETCH(QString, folder);
        QFETCH(QString, ticked);
        QFETCH(QString, how);
        QFETCH(QString, options);
        QFETCH(QString, written);
        // Results of an earlier dialog, which closing this one must not leave behind.
        ArchiveState state;
        state.PodFileName = podFile.toStdString();
        state.DialogPath = "/games/mtm";
        state.DialogName = "MTM2";
        state.DialogOptions = "111111";
        Form4 dialog(state);
        QVERIFY(ShowAndTick(dialog, ticked));
        if (!folder.isEmpty())
            dialog.findChild<FolderList*>("Dir1")->setPath(folder);
        const bool extracted = how == "Command3D1";
        if (extracted)
            QCOMPARE(dialog.findChild<QLabel*>("Label2")->text(), written.section('|', 1));
        if (how == "Escape")
            QTest::keyClick(&dialog, Qt::Key_Escape);
        else if (how == "close box")
            QVERIFY(dialog.close());
        else
            QTest::mouseClick(dialog.findChild<QPushButton*>(how), Qt::LeftButton);
        QVERIFY(!dialog.isVisible());
        QCOMPARE(dialog.result(), extracted ? QDialog::Accepted : QDialog::Rejected);
        QCOMPARE(QString::fromStdString(state.DialogOptions), options);
        QCOMPARE(QString::fromStdString(state.DialogName + "|" + state.DialogPath), written);
    }
};

QTEST_MAIN(ExtractDialogTest)
#include "extract_dialog_test.moc"
