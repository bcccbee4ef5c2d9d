// The Make dialog (Form3) over a folder the test makes: what it shows, what it refuses, what
// it lets be typed, and what it writes into the shared state when it closes.
#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScopeGuard>
#include <QTest>
#include <memory>

#include "archive_state.h"
#include "file_lists.h"
#include "make_dialog.h"
#include "modal.h"
#include "test_folder.h"

using karvex::ArchiveState;
using karvex::Form3;
using karvex::platform::FileList;
using karvex::platform::FolderList;
using karvex::test::ClickFile;
using karvex::test::ShowLoaded;
using karvex::test::TestFolder;

namespace {

// A state whose results all hold something, to see what a dialog changes.
ArchiveState Filled() {
    ArchiveState state;
    state.PodFolder = state.DialogPath = "/games/mtm";
    state.PodFileName = state.DialogName = "OLD.POD";
    state.PodPattern = "*.pod";
    state.DialogOptions = " 1";
    state.PodComment = std::string(80, 'c');
    return state;
}

// What the Make dialog writes, as one text.
QString MakeResults(const ArchiveState& s) {
    return QString::fromStdString(s.DialogPath + "|" + s.DialogName + "|" + s.DialogOptions);
}

template <class T>
T* Find(QDialog& dialog, const char* name) {
    return dialog.findChild<T*>(name);
}

}  // namespace

class MakeDialogTest : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase();
    void init() { QVERIFY(m_folder->MakeCurrent()); }
    void cleanupTestCase() { m_folder.reset(); }

    void makeStartsEmpty();
    void makeRefusesName_data();
    void makeRefusesName();
    void makeWritesChoice_data();
    void makeWritesChoice();
    void makeLimitsTexts_data();
    void makeLimitsTexts();
    void makeKeepsAChosenNameWhole();
    void makeClosingEmptiesResults_data();
    void makeClosingEmptiesResults();

  private:
    std::unique_ptr<TestFolder> m_folder;
};

void MakeDialogTest::initTestCase() {
    m_folder = std::make_unique<TestFolder>();
    QVERIFY(m_folder->MakeFiles({"a.pod", "MTM2.POD", "notes.txt", "README", "truck.bmp"}));
}

void MakeDialogTest::makeStartsEmpty() {
    ArchiveState state;
    Form3 dialog(state);
    FileList* files = ShowLoaded(dialog);
    QVERIFY(files);
    QCOMPARE(dialog.windowTitle(), "Karvex32  -  Make");
    QCOMPARE(Find<FolderList>(dialog, "Dir1")->path(), m_folder->path());
    QCOMPARE(files->fileNames().join('|'), "a.pod|MTM2.POD");
    QCOMPARE(Find<QLineEdit>(dialog, "Text1")->text() + Find<QLineEdit>(dialog, "Text2")->text(),
             "");
    QVERIFY(!Find<QCheckBox>(dialog, "Check3D1")->isChecked());
    QCOMPARE(Find<QLabel>(dialog, "Label1")->text(), "POD Comment");

    QVERIFY(ClickFile(files, "MTM2.POD"));
    QCOMPARE(Find<QLineEdit>(dialog, "Text1")->text(), "MTM2.POD");
}

void MakeDialogTest::makeRefusesName_data() {
    QTest::addColumn<QString>("name");
    for (const char* name : {"POD", ".POD", "ABCD", "MYFILE.TXT"})
        QTest::newRow(name) << name;
}

void MakeDialogTest::makeRefusesName() {
    QFETCH(QString, name);
    ArchiveState state = Filled();
    Form3 dialog(state);
    QVERIFY(ShowLoaded(dialog));
    QTest::keyClicks(Find<QLineEdit>(dialog, "Text1"), name);

    QString text, caption;
    karvex::test::AnswerMessage("OK", &text, &caption);
    QTest::mouseClick(Find<QPushButton>(dialog, "Command3D1"), Qt::LeftButton);
    QCOMPARE(text, "File must be in a format like:  MYFILE.POD");
    QCOMPARE(caption, "Karvex32");
    QVERIFY(dialog.isVisible());
    QCOMPARE(MakeResults(state), "/games/mtm|OLD.POD| 1");
}

void MakeDialogTest::makeWritesChoice_data() {
    QTest::addColumn<QString>("folder");  // where Dir1 is sent; empty: where it starts
    QTest::addColumn<QString>("typed");   // into Text1
    QTest::addColumn<QString>("name");    // the DialogName recorded
    QTest::addColumn<bool>("mount");
    QTest::addColumn<QString>("comment");
    QTest::addColumn<QByteArray>("recorded");  // PodComment, less the blanks that pad it to 80
    const QString full(80, 'x');
    // clang-format off
    QTest::newRow("upper case")     << "" << "A.POD"       << "A.POD"       << true  << "0123456789"
                                    << QByteArray("0123456789");
    QTest::newRow("lower case")     << "" << "mytruck.pod" << "mytruck.pod" << false << "" << QByteArray();
    QTest::newRow("blanks trimmed") << "" << " a.pod "     << "a.pod"       << false << "Caf\u00e9"
                                    << QByteArray("Caf\xe9");
    QTest::newRow("full comment")   << "" << "a.pod"       << "a.pod"       << true  << full
                                    << full.toLatin1();
    QTest::newRow("in the root")    << "/" << "a.pod"      << "a.pod"       << false << "" << QByteArray();
    // clang-format on
}

void MakeDialogTest::makeWritesChoice() {
    QFETCH(QString, folder);
    QFETCH(QString, typed);
    QFETCH(QString, name);
    QFETCH(bool, mount);
    QFETCH(QString, comment);
    QFETCH(QByteArray, recorded);
    ArchiveState state;
    Form3 dialog(state);
    FileList* files = ShowLoaded(dialog);
    QVERIFY(files);
    if (!folder.isEmpty())
        Find<FolderList>(dialog, "Dir1")->setPath(folder);
    QTest::keyClicks(Find<QLineEdit>(dialog, "Text1"), typed);
    Find<QLineEdit>(dialog, "Text2")->insert(comment);  // keyClicks takes ASCII only
    Find<QCheckBox>(dialog, "Check3D1")->setChecked(mount);
    QTest::mouseClick(Find<QPushButton>(dialog, "Command3D1"), Qt::LeftButton);

    QVERIFY(!dialog.isVisible());
    QCOMPARE(dialog.result(), QDialog::Accepted);
    QCOMPARE(files->path(), folder.isEmpty() ? m_folder->path() : folder);
    QCOMPARE(MakeResults(state), files->path() + "|" + name + (mount ? "| 1" : "| 0"));
    QCOMPARE(QByteArray::fromStdString(state.PodComment), recorded.leftJustified(80, ' '));
}

void MakeDialogTest::makeLimitsTexts_data() {
    QTest::addColumn<QString>("box");
    QTest::addColumn<int>("typed");
    QTest::addColumn<int>("kept");
    for (const auto& [box, limit] : {std::pair{"Text1", 12}, std::pair{"Text2", 80}}) {
        for (int typed : {limit - 1, limit, limit + 1})
            QTest::addRow("%s, %d typed", box, typed) << box << typed << std::min(typed, limit);
    }
}

void MakeDialogTest::makeLimitsTexts() {
    QFETCH(QString, box);
    QFETCH(int, typed);
    QFETCH(int, kept);
    ArchiveState state;
    Form3 dialog(state);
    auto* edit = dialog.findChild<QLineEdit*>(box);
    QTest::keyClicks(edit, QString(typed, 'x'));
    QCOMPARE(edit->text(), QString(kept, 'x'));
}

// The 12-character limit is for typing: a longer name chosen in the list goes in whole and
// is made under that name; typing can shorten it but not lengthen it.
void MakeDialogTest::makeKeepsAChosenNameWhole() {
    QVERIFY(m_folder->MakeFiles({"mytruckpack.pod"}));
    const auto removeFile =
        qScopeGuard([this] { QFile::remove(m_folder->filePath("mytruckpack.pod")); });
    ArchiveState state;
    Form3 dialog(state);
    FileList* files = ShowLoaded(dialog);
    QVERIFY(files);
    QVERIFY(ClickFile(files, "mytruckpack.pod"));
    auto* name = Find<QLineEdit>(dialog, "Text1");
    QCOMPARE(name->text(), "mytruckpack.pod");
    name->end(false);
    QTest::keyClicks(name, "x");
    QCOMPARE(name->text(), "mytruckpack.pod");
    QTest::keyClick(name, Qt::Key_Backspace);
    QTest::keyClicks(name, "dx");
    QCOMPARE(name->text(), "mytruckpack.pod");
    QTest::mouseClick(Find<QPushButton>(dialog, "Command3D1"), Qt::LeftButton);
    QCOMPARE(dialog.result(), QDialog::Accepted);
    QCOMPARE(QString::fromStdString(state.DialogName), "mytruckpack.pod");
}

void MakeDialogTest::makeClosingEmptiesResults_data() {
    QTest::addColumn<int>("how");
    QTest::newRow("Cancel") << 0;
    QTest::newRow("Escape") << 1;
    QTest::newRow("close box") << 2;
}

void MakeDialogTest::makeClosingEmptiesResults() {
    QFETCH(int, how);
    ArchiveState state = Filled();
    Form3 dialog(state);
    QVERIFY(ShowLoaded(dialog));
    QTest::keyClicks(Find<QLineEdit>(dialog, "Text1"), "b.pod");

    if (how == 0)
        QTest::mouseClick(Find<QPushButton>(dialog, "Command3D2"), Qt::LeftButton);
    else if (how == 1)
        QTest::keyClick(&dialog, Qt::Key_Escape);
    else
        QVERIFY(dialog.close());
    QVERIFY(!dialog.isVisible());
    QCOMPARE(dialog.result(), QDialog::Rejected);
    QCOMPARE(MakeResults(state), "||");
    QCOMPARE(state.PodComment, std::string(80, 'c'));
}

QTEST_MAIN(MakeDialogTest)
#include "make_dialog_test.moc"
