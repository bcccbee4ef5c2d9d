// SPDX-License-Identifier: GPL-3.0-or-later
// The collector's results window (Form9) over an archive in memory: what it lists and its
// caption, copying the names, selecting their entries in the main window, saving them as a
// response file beside the archive's file, and Examine running one window per kind.
#include <QClipboard>
#include <QFile>
#include <QGuiApplication>
#include <QItemSelectionModel>
#include <QListView>
#include <QTest>

#include "tests/gui/modal.h"
#include "tests/gui/test_folder.h"
#include "trucks/response_list.h"
#include "trucks/results_window.h"

using namespace karvex;
using namespace karvex::test;

namespace {

// A model naming a texture, a sound in a folder and a palette, with control bytes between.
const std::string kModel = std::string("\x01skin.raw\x02", 10) + "horn.wav" + '\0' + "pal.act";

const std::vector<PodEntry> kEntries = {
    {"model.bin", kModel},
    {"SKIN.RAW", "s"},
    {"sounds\\HORN.WAV", "h"},
    {"other.raw", "o"},
    {"both.bin.trk", kModel},
    {"strange.bin", std::string("\0skin.raw\0..\\..\\secret.txt", 26)},
    {"escape.bin", std::string("\0..\\..\\secret.txt", 17)},
};

}  // namespace

class ResultsWindowTest : public QObject {
    Q_OBJECT

  private slots:
    void listsWhatTheEntryNames() {
        FakeSession archive(kEntries);
        archive.Record("model.bin");
        Form9 window(archive, Analysis::Model);
        QVERIFY(window.Outcome().IsDone());
        QVERIFY(!archive.IsBusy());
        QCOMPARE(window.windowTitle(), QString("model.bin"));
        const QStringList names{"skin.raw", "pal.act", "horn.wav"};
        QCOMPARE(ListRows(window, "List1"), names);
        QCOMPARE(window.findChild<QListView*>("List1")->accessibleName(),
                 QString("Files named, 3"));
        window.menuCopy_Click();
        QCOMPARE(QGuiApplication::clipboard()->text(), names.join('\n') + '\n');
    }

    // Found names select the entries of that name, folders ignored and letter case too.
    void selectsTheNamedEntries() {
        FakeWindow fake(kEntries);
        QVERIFY(fake.Start());
        fake.session.Record("model.bin");
        Form9 window(fake.session, Analysis::Model, &fake.window);
        window.menuSelect_Click();
        QList<int> rows;
        for (const QModelIndex& index :
             fake.window.findChild<QListView*>("List2")->selectionModel()->selectedRows())
            rows << index.row();
        std::sort(rows.begin(), rows.end());
        QCOMPARE(rows, (QList<int>{1, 2}));  // SKIN.RAW, sounds\\HORN.WAV
    }

    // On an archive the test writes: the response files go beside it, never over it (the
    // archive then stays as it was); a name that leads out of the folder is left out and
    // named, and when every name would be, nothing is written.
    void savesAResponseFile_data() {
        QTest::addColumn<QString>("entry");
        QTest::addColumn<QString>("file");
        QTest::addColumn<QByteArray>("written");  // null: refused
        QTest::addColumn<QString>("message");     // after "Cannot write <path>" on a refusal
        const QString secret = "\n..\\..\\secret.txt";
        QTest::newRow("beside it")
            << "model.bin"
            << "needs.lst" << QByteArray("skin.raw\r\npal.act\r\nhorn.wav\r\n") << "";
        QTest::newRow("over the archive")
            << "model.bin"
            << "test.pod" << QByteArray() << "\n\nIt is the archive being examined.";
        QTest::newRow("a name left out")
            << "strange.bin"
            << "strange.lst" << QByteArray("skin.raw\r\n") << kLeftOutText + secret;
        QTest::newRow("every name left out")
            << "escape.bin"
            << "escape.lst" << QByteArray() << "\n\n" + QString(kNoneSafeText) + secret;
    }
    void savesAResponseFile() {
        QFETCH(QString, entry);
        QFETCH(QString, file);
        QFETCH(QByteArray, written);
        QFETCH(QString, message);
        TestFolder folder;
        FakeSession archive(kEntries);
        folder.Write("test.pod", archive.bytes);
        archive.State().PodFolder = folder.path().toStdString();
        archive.Record(entry.toStdString());
        Form9 window(archive, Analysis::Model);
        QString text;
        if (!message.isEmpty())
            AnswerMessage("OK", &text);
        const QString path = folder.filePath(file);
        QCOMPARE(window.SaveResponseFile(path), !written.isNull());
        QCOMPARE(text, written.isNull() ? "Cannot write " + path + message : message);
        QCOMPARE(folder.Read("test.pod"), archive.bytes);
        if (written.isNull() && file != "test.pod")
            QVERIFY(!QFile::exists(path));
        else if (!written.isNull())
            QCOMPARE(folder.Read(file), written.toStdString());
    }

    // A name with both kinds gets two windows, one after the other.
    void examineRunsOneWindowPerKind() {
        FakeWindow fake(kEntries);
        QVERIFY(fake.Start());
        fake.session.Record("both.bin.trk");
        QStringList captions;
        std::function<void(QWidget*)> answer = [&](QWidget* window) {
            captions << window->windowTitle();
            if (captions.size() < 2)
                WhenModal(answer, "karvex::Form9");
            window->close();
        };
        WhenModal(answer, "karvex::Form9");
        fake.window.menuExamine_Click();
        QCOMPARE(captions, (QStringList{"both.bin.trk", "both.bin.trk"}));
    }
};

QTEST_MAIN(ResultsWindowTest)
#include "results_window_test.moc"
