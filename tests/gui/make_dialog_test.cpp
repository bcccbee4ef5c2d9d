// SPDX-License-Identifier: GPL-3.0-or-later
// The Make dialog (Form3) over a folder the test makes: what it shows, what it refuses, what
// it lets be typed, and what it writes into the shared state when it closes.
#include <QCheckBox>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QScopeGuard>
#include <QTest>
#include <memory>

#include "core/archive_state.h"
#include "dialogs/make_dialog.h"
#include "platform/file_lists.h"
#include "tests/gui/modal.h"
#include "tests/gui/test_folder.h"

using namespace karvex;
using namespace karvex::platform;
using namespace karvex::test;

namespace {

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

  private:
    std::unique_ptr<TestFolder> m_folder;

  private slots:
    void initTestCase() {
        m_folder = std::make_unique<TestFolder>();
        QVERIFY(m_folder->MakeFiles({"a.pod", "MTM2.POD", "notes.txt", "README", "truck.bmp"}));
    }
    void init() { QVERIFY(m_folder->MakeCurrent()); }
    void cleanupTestCase() { m_folder.reset(); }

    // Over the results of an earlier dialog: Make with a name unlike MYFILE.POD is refused
    // with a box, and the dialog stays and changes nothing; Cancel, Escape and the close box
    // empty the results. The comment is left as it was.
    void makeRefusesOrEmptiesResults_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("how");  // a button, "Escape" or "close box"
        for (const char* name : {"POD", ".POD", "ABCD", "MYFILE.TXT"})
            QTest::addRow("%s refused", name) << name << "Command3D1";
        QTest::newRow("Cancel") << "b.pod"
                                << "Command3D2";
        QTest::newRow("Escape") << "b.pod"
                                << "Escape";
        QTest::newRow("close box") << "b.pod"
                                   << "close box";
    }
    void makeRefusesOrEmptiesResults() {
        QFETCH(QString, typed);
        QFETCH(QString, how);
        ArchiveState state;
        state.DialogPath = "/games/mtm";
        state.DialogName = "OLD.POD";
        state.DialogOptions = " 1";
        state.PodComment = std::string(80, 'c');
        Form3 dialog(state);
        QVERIFY(ShowLoaded(dialog));
        QTest::keyClicks(Find<QLineEdit>(dialog, "Text1"), typed);
        const bool refused = how == "Command3D1";
        QString text, caption;
        if (refused)
            AnswerMessage("OK", &text, &caption);
        if (how == "Escape")
            QTest::keyClick(&dialog, Qt::Key_Escape);
        else if (how == "close box")
            QVERIFY(dialog.close());
        else
            QTest::mouseClick(Find<QPushButton>(dialog, how.toLatin1()), Qt::LeftButton);
        QCOMPARE(dialog.isVisible(), refused);
        if (refused) {
            QCOMPARE(text, "File must be in a format like:  MYFILE.POD");
            QCOMPARE(caption, "Karvex32");
        } else {
            QCOMPARE(dialog.result(), QDialog::Rejected);
        }
        QCOMPARE(MakeResults(state), refused ? "/games/mtm|OLD.POD| 1" : "||");
        QCOMPARE(state.PodComment, std::string(80, 'c'));
    }

    void makeWritesChoice_data() {
        QTest::addColumn<QString>("folder");  // where Dir1 is sent; empty: where it starts
        QTest::addColumn<QString>("typed");   // into Text1
        QTest::addColumn<QString>("name");    // the DialogName recorded
        QTest::addColumn<bool>("mount");
        QTest::addColumn<QString>("comment");  // recorded in Latin-1, cut or blank-padded to 80
        // clang-format off
        QTest::newRow("upper case")     << "" << "A.POD" << "A.POD" << true << "0123456789";
        QTest::newRow("lower case")     << "" << "mytruck.pod" << "mytruck.pod" << false << "";
        QTest::newRow("blanks trimmed") << "" << " a.pod " << "a.pod" << false << "Caf\u00e9";
        QTest::newRow("full comment")   << "" << "a.pod" << "a.pod" << true << QString(80, 'x');
        QTest::newRow("in the root")    << "/" << "a.pod" << "a.pod" << false << "";
        // The name box takes 12 characters, the comment box 80.
        QTest::newRow("long name")      << "" << "ABCDEFGH.PODX" << "ABCDEFGH.POD" << false << "";
        QTest::newRow("long comment")   << "" << "a.pod" << "a.pod" << false << QString(81, 'y');
        // clang-format on
    }
    void makeWritesChoice() {
        QFETCH(QString, folder);
        QFETCH(QString, typed);
        QFETCH(QString, name);
        QFETCH(bool, mount);
        QFETCH(QString, comment);
        ArchiveState state;
        Form3 dialog(state);
        FileList* files = ShowLoaded(dialog);
        QVERIFY(files);
        // It starts in the current folder, listing only archives, with Mount POD clear.
        QCOMPARE(files->fileNames().join('|'), "a.pod|MTM2.POD");
        QVERIFY(!Find<QCheckBox>(dialog, "Check3D1")->isChecked());
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
        QCOMPARE(QByteArray::fromStdString(state.PodComment),
                 comment.toLatin1().leftJustified(80, ' ', true));
    }

    // The 12-character limit is for typing: a longer name chosen in the list goes in whole and
    // is made under that name; typing can shorten it but not lengthen it.
    void makeKeepsAChosenNameWhole() {
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
};

QTEST_MAIN(MakeDialogTest)
#include "make_dialog_test.moc"
