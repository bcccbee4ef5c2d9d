// The Extract dialog (Form4): where its lists start, what Label2 shows, and what it writes
// into the shared state when it closes.
#include <QCheckBox>
#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <memory>

#include "archive_state.h"
#include "extract_dialog.h"
#include "file_lists.h"
#include "test_folder.h"

using karvex::ArchiveState;
using karvex::Form4;
using karvex::platform::DriveList;
using karvex::platform::FolderList;
using karvex::test::TestFolder;

class ExtractDialogTest : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase();
    void init() { QVERIFY(m_folder->MakeCurrent()); }
    void cleanupTestCase() { m_folder.reset(); }

    void startsInCurrentFolder();
    void closeWritesOptions_data();
    void closeWritesOptions();
    void extractWritesNameAndPath_data();
    void extractWritesNameAndPath();

  private:
    // Shows the dialog and ticks each box named in `names` ("Check3D3|Check3D4") with a
    // click on its caption.
    static bool ShowAndTick(Form4& dialog, const QString& names);

    std::unique_ptr<TestFolder> m_folder;
    QString m_sub;  // a folder inside it
};

void ExtractDialogTest::initTestCase() {
    m_folder = std::make_unique<TestFolder>();
    m_sub = m_folder->filePath("sub");
    QVERIFY(m_folder->MakeFolder("sub"));
}

bool ExtractDialogTest::ShowAndTick(Form4& dialog, const QString& names) {
    dialog.show();
    if (!QTest::qWaitForWindowActive(&dialog))
        return false;
    for (const QString& name : names.split('|', Qt::SkipEmptyParts)) {
        auto* box = dialog.findChild<QCheckBox*>(name);
        QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(4, box->height() / 2));
    }
    return true;
}

void ExtractDialogTest::startsInCurrentFolder() {
    QVERIFY(QDir::setCurrent(m_sub));
    ArchiveState state;
    Form4 dialog(state);
    QVERIFY(ShowAndTick(dialog, ""));

    QCOMPARE(dialog.windowTitle(), "Karvex32  -  Extract");
    auto* folders = dialog.findChild<FolderList*>("Dir1");
    auto* label2 = dialog.findChild<QLabel*>("Label2");
    QCOMPARE(folders->path(), m_sub);
    QCOMPARE(label2->text(), m_sub);
    auto* label1 = dialog.findChild<QLabel*>("Label1");
    QCOMPARE(label1->text(), "Extract Path");
    QVERIFY(label1->width() >= label1->sizeHint().width());
    const char* const captions[][2] = {{"Check3D2", "Extract selected files"},
                                       {"Check3D3", "Extract all files"},
                                       {"Check3D1", "Extract response file"},
                                       {"Check3D4", "Extract information"}};
    for (const auto& [name, caption] : captions) {
        auto* box = dialog.findChild<QCheckBox*>(name);
        QCOMPARE(box->text(), caption);
        QVERIFY2(box->isVisible() && !box->isChecked(), name);
        QVERIFY2(box->width() >= box->sizeHint().width(), name);  // caption not cut off
    }

    // Another drive takes the folder list, and Label2 with it, to its root.
    const QString root = dialog.findChild<DriveList*>("Drive1")->drive();
    dialog.Drive1_Change();
    QCOMPARE(folders->path(), root);
    QCOMPARE(label2->text(), root);
}

void ExtractDialogTest::closeWritesOptions_data() {
    QTest::addColumn<QString>("ticked");
    QTest::addColumn<QString>("how");      // a button (Extract, Cancel), Escape or the close box
    QTest::addColumn<QString>("options");  // response, selected, all, information, hidden x2
    // clang-format off
    QTest::newRow("nothing")             << ""                  << "Command3D1" << "000000";
    QTest::newRow("response file")       << "Check3D1"          << "Command3D1" << "100000";
    QTest::newRow("selected files")      << "Check3D2"          << "Command3D1" << "010000";
    QTest::newRow("all files")           << "Check3D3"          << "Command3D1" << "001000";
    QTest::newRow("information")         << "Check3D4"          << "Command3D1" << "000100";
    QTest::newRow("all and information") << "Check3D3|Check3D4" << "Command3D1" << "001100";
    QTest::newRow("Cancel")              << "Check3D3|Check3D4" << "Command3D2" << "";
    QTest::newRow("Escape")              << "Check3D3|Check3D4" << "Escape"     << "";
    QTest::newRow("close box")           << "Check3D3|Check3D4" << "close box"  << "";
    // clang-format on
}

void ExtractDialogTest::closeWritesOptions() {
    QFETCH(QString, ticked);
    QFETCH(QString, how);
    QFETCH(QString, options);
    // Results of an earlier dialog, which closing this one must not leave behind.
    ArchiveState state;
    state.PodFileName = "pod1.pod";
    state.DialogPath = "/games/mtm";
    state.DialogName = "MTM2";
    state.DialogOptions = "111111";
    Form4 dialog(state);
    QVERIFY(ShowAndTick(dialog, ticked));
    QVERIFY(!dialog.findChild<QCheckBox*>("Check3D5")->isVisible());
    QVERIFY(!dialog.findChild<QCheckBox*>("Check3D6")->isVisible());

    if (how == "Escape")
        QTest::keyClick(&dialog, Qt::Key_Escape);
    else if (how == "close box")
        QVERIFY(dialog.close());
    else
        QTest::mouseClick(dialog.findChild<QPushButton*>(how), Qt::LeftButton);
    const bool extracted = how == "Command3D1";
    QVERIFY(!dialog.isVisible());
    QCOMPARE(dialog.result(), extracted ? QDialog::Accepted : QDialog::Rejected);
    QCOMPARE(QString::fromStdString(state.DialogOptions), options);
    QCOMPARE(QString::fromStdString(state.DialogName), extracted ? "pod1" : "");
    QCOMPARE(QString::fromStdString(state.DialogPath), extracted ? m_folder->path() : "");
}

void ExtractDialogTest::extractWritesNameAndPath_data() {
    QTest::addColumn<QString>("podFile");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("folder");  // where Dir1 is sent
    QTest::addColumn<QString>("path");    // what Label2 and DialogPath show
    // clang-format off
    QTest::newRow("upper case")         << "MYTRUCK.POD" << "MYTRUCK" << m_sub       << m_sub;
    QTest::newRow("no base name")       << ".pod"        << ""        << m_sub       << m_sub;
    QTest::newRow("trailing separator") << "pod1.pod"    << "pod1"    << m_sub + "/" << m_sub;
    QTest::newRow("the root")           << "pod1.pod"    << "pod1"    << "/"         << "/";
    // clang-format on
}

void ExtractDialogTest::extractWritesNameAndPath() {
    QFETCH(QString, podFile);
    QFETCH(QString, name);
    QFETCH(QString, folder);
    QFETCH(QString, path);
    ArchiveState state;
    state.PodFileName = podFile.toStdString();
    Form4 dialog(state);
    QVERIFY(ShowAndTick(dialog, ""));
    dialog.findChild<FolderList*>("Dir1")->setPath(folder);
    QCOMPARE(dialog.findChild<QLabel*>("Label2")->text(), path);
    QTest::mouseClick(dialog.findChild<QPushButton*>("Command3D1"), Qt::LeftButton);
    QCOMPARE(dialog.result(), QDialog::Accepted);
    QCOMPARE(QString::fromStdString(state.DialogName), name);
    QCOMPARE(QString::fromStdString(state.DialogPath), path);
}

QTEST_MAIN(ExtractDialogTest)
#include "extract_dialog_test.moc"
