// The Make dialog (Form3) and the Select dialog (Form6) over a folder the test makes: what
// they show, what they refuse, and what they write into the shared state when they close.
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QScopeGuard>
#include <QTest>

#include "archive_state.h"
#include "file_lists.h"
#include "make_dialog.h"
#include "modal.h"
#include "select_dialog.h"

using karvex::ArchiveState;
using karvex::Form3;
using karvex::Form6;
using karvex::platform::FileList;
using karvex::platform::FolderList;
using karvex::test::ClickFile;
using karvex::test::ShowLoaded;

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

// What the Make dialog writes, and what the Select dialog writes, as one text each.
QString MakeResults(const ArchiveState& s) {
    return QString::fromStdString(s.DialogPath + "|" + s.DialogName + "|" + s.DialogOptions);
}
QString SelectResults(const ArchiveState& s) {
    return QString::fromStdString(s.PodFolder + "|" + s.PodFileName + "|" + s.PodPattern);
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
    void init() { QVERIFY(QDir::setCurrent(m_folder)); }
    void cleanupTestCase() { QDir::setCurrent(m_start); }

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
    void selectCountsFiles();
    void selectWritesChoice_data();
    void selectWritesChoice();

  private:
    QTemporaryDir m_dir;
    QString m_start;   // the current folder before the tests
    QString m_folder;  // m_dir as the system names it, links resolved
};

void MakeDialogTest::initTestCase() {
    m_start = QDir::currentPath();
    QVERIFY(m_dir.isValid());
    m_folder = QFileInfo(m_dir.path()).canonicalFilePath();
    for (const QString name : {"a.pod", "MTM2.POD", "notes.txt", "README", "truck.bmp"}) {
        QFile file(m_folder + "/" + name);
        QVERIFY(file.open(QIODevice::WriteOnly));
    }
}

void MakeDialogTest::makeStartsEmpty() {
    ArchiveState state;
    Form3 dialog(state);
    FileList* files = ShowLoaded(dialog);
    QVERIFY(files);
    QCOMPARE(dialog.windowTitle(), "Karvex32  -  Make");
    QCOMPARE(Find<FolderList>(dialog, "Dir1")->path(), m_folder);
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
    QCOMPARE(files->path(), folder.isEmpty() ? m_folder : folder);
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
    QFile file(m_folder + "/mytruckpack.pod");
    QVERIFY(file.open(QIODevice::WriteOnly));
    const auto removeFile = qScopeGuard([&file] { file.remove(); });
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

void MakeDialogTest::selectCountsFiles() {
    ArchiveState state;
    Form6 dialog(state);
    FileList* files = ShowLoaded(dialog);
    QVERIFY(files);
    QCOMPARE(dialog.windowTitle(), "Karvex32  -  Select");
    // Every file, with an extension or without.
    QCOMPARE(files->fileNames().join('|'), "a.pod|MTM2.POD|notes.txt|README|truck.bmp");
    auto* label = Find<QLabel>(dialog, "Label1");
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

void MakeDialogTest::selectWritesChoice_data() {
    QTest::addColumn<int>("how");          // 0: Select, 1: double click, 2: Cancel
    QTest::addColumn<QString>("written");  // PodFolder|PodFileName|PodPattern afterwards
    // A Ctrl-click that deselects MTM2.POD leaves it the focused file, the one recorded.
    QTest::newRow("Select") << 0 << m_folder + "|MTM2.POD|*.*";
    QTest::newRow("double click") << 1 << m_folder + "|README|*.*";
    QTest::newRow("Cancel") << 2 << "/games/mtm|OLD.POD|*.pod";
}

void MakeDialogTest::selectWritesChoice() {
    QFETCH(int, how);
    QFETCH(QString, written);
    ArchiveState state = Filled();
    Form6 dialog(state);
    FileList* files = ShowLoaded(dialog);
    QVERIFY(files);
    QVERIFY(ClickFile(files, "a.pod"));
    QVERIFY(ClickFile(files, "MTM2.POD", Qt::ShiftModifier));
    QVERIFY(ClickFile(files, "MTM2.POD", Qt::ControlModifier));
    if (how == 1)
        QVERIFY(ClickFile(files, "README", {}, true));
    else
        QTest::mouseClick(Find<QPushButton>(dialog, how == 0 ? "Command3D1" : "Command3D2"),
                          Qt::LeftButton);
    QVERIFY(!dialog.isVisible());
    QCOMPARE(dialog.result(), how == 2 ? QDialog::Rejected : QDialog::Accepted);
    QCOMPARE(SelectResults(state), written);
}

QTEST_MAIN(MakeDialogTest)
#include "make_dialog_test.moc"
