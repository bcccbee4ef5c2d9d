// SPDX-License-Identifier: GPL-3.0-or-later
// The collector's results window (Form9) over an archive in memory: what it lists and its
// caption, copying the names, selecting their entries in the main window, saving them as a
// response file (there the archive is a file), and Examine on the pop-up menu running one
// window per kind.
#include <QAction>
#include <QClipboard>
#include <QFile>
#include <QGuiApplication>
#include <QItemSelectionModel>
#include <QListView>
#include <QTest>

#include "mainwindow/main_window.h"
#include "tests/core/fake_session.h"
#include "tests/gui/modal.h"
#include "tests/gui/test_folder.h"
#include "trucks/response_list.h"
#include "trucks/results_window.h"

using namespace karvex;
using namespace karvex::test;

namespace {

const std::string kTruck =
    "truckModelBaseName\r\nmonster\r\ntireModelBaseName\r\nbig\r\naxleModelName\r\nx\r\n";
// A model naming a texture, a sound in a folder and a palette, with control bytes between.
const std::string kModel = std::string("\x01skin.raw\x02", 10) + "horn.wav" + '\0' + "pal.act";

const std::vector<PodEntry> kEntries = {
    {"monster.trk", kTruck},
    {"model.bin", kModel},
    {"SKIN.RAW", "s"},
    {"sounds\\HORN.WAV", "h"},
    {"other.raw", "o"},
    {"both.bin.trk", kModel},
    {"strange.bin", std::string("\0skin.raw\0..\\..\\secret.txt", 26)},
    {"escape.bin", std::string("\0..\\..\\secret.txt", 17)},
};

// The archive open in the main window, with `name` recorded as right-clicked.
struct InMainWindow {
    explicit InMainWindow(const std::string& name) {
        main.show();
        StatusRow row;
        session.OpenPodSequence(row);
        session.Record(name);
    }
    FakeSession session{kEntries};
    Form1 main{session};
};

QStringList Listed(Form9& window) {
    QStringList names;
    const QAbstractItemModel* model = window.findChild<QListView*>("List1")->model();
    for (int row = 0; row < model->rowCount(); ++row)
        names << model->index(row, 0).data().toString();
    return names;
}

}  // namespace

class ResultsWindowTest : public QObject {
    Q_OBJECT

  private slots:
    void listsWhatTheEntryNames_data() {
        QTest::addColumn<QString>("entry");
        QTest::addColumn<int>("analysis");
        QTest::addColumn<QStringList>("names");
        QTest::newRow("truck") << "monster.trk" << int(Analysis::Truck)
                               << QStringList{"monster.bin", "monster0.bin", "monster1.bin",
                                              "big08l.bin",  "big08r.bin",   "big10l.bin",
                                              "big10r.bin",  "big16l.bin",   "big16r.bin"};
        QTest::newRow("model") << "model.bin" << int(Analysis::Model)
                               << QStringList{"skin.raw", "pal.act", "horn.wav"};
    }
    void listsWhatTheEntryNames() {
        QFETCH(QString, entry);
        QFETCH(int, analysis);
        QFETCH(QStringList, names);
        FakeSession archive(kEntries);
        archive.Record(entry.toStdString());
        Form9 window(archive, static_cast<Analysis>(analysis));
        QVERIFY(window.Outcome().IsDone());
        QCOMPARE(window.windowTitle(), entry);
        QCOMPARE(Listed(window), names);
        QVERIFY(!archive.IsBusy());

        window.menuCopy_Click();
        QCOMPARE(QGuiApplication::clipboard()->text(), names.join('\n') + '\n');
    }

    // Found names select the entries of that name, folders ignored and letter case too.
    void selectsTheNamedEntries() {
        InMainWindow opened("model.bin");
        Form1& main = opened.main;
        Form9 window(opened.session, Analysis::Model, &main);
        window.menuSelect_Click();
        QList<int> rows;
        for (const QModelIndex& index :
             main.findChild<QListView*>("List2")->selectionModel()->selectedRows())
            rows << index.row();
        std::sort(rows.begin(), rows.end());
        QCOMPARE(rows, (QList<int>{2, 3}));
    }

    // On an archive the test writes: the response files go beside it, never over it.
    void savesAResponseFile() {
        OpenedArchive archive(kEntries);
        archive.Record("model.bin");
        Form9 window(archive.session, Analysis::Model);
        QVERIFY(window.SaveResponseFile(archive.folder.filePath("needs.lst")));
        QCOMPARE(archive.folder.Read("needs.lst"),
                 std::string("skin.raw\r\npal.act\r\nhorn.wav\r\n"));

        // Never over the archive itself; the archive stays as it was.
        const std::string before = archive.folder.Read("test.pod");
        QString text;
        AnswerMessage("OK", &text);
        QVERIFY(!window.SaveResponseFile(archive.folder.filePath("test.pod")));
        QVERIFY(text.startsWith("Cannot write " + archive.folder.filePath("test.pod")));
        QVERIFY(text.endsWith("It is the archive being examined."));
        QCOMPARE(archive.folder.Read("test.pod"), before);

        // A name that leads out of the folder is left out, and named.
        archive.Record("strange.bin");
        Form9 strange(archive.session, Analysis::Model);
        AnswerMessage("OK", &text);
        QVERIFY(strange.SaveResponseFile(archive.folder.filePath("strange.lst")));
        QCOMPARE(archive.folder.Read("strange.lst"), std::string("skin.raw\r\n"));
        QCOMPARE(text, QString(kLeftOutText) + "\n..\\..\\secret.txt");

        // When every name would be left out, nothing is written.
        archive.Record("escape.bin");
        Form9 escape(archive.session, Analysis::Model);
        AnswerMessage("OK", &text);
        QVERIFY(!escape.SaveResponseFile(archive.folder.filePath("escape.lst")));
        QCOMPARE(text, "Cannot write " + archive.folder.filePath("escape.lst") + "\n\n" +
                           kNoneSafeText + "\n..\\..\\secret.txt");
        QVERIFY(!QFile::exists(archive.folder.filePath("escape.lst")));
    }

    // A name with both kinds gets two windows, one after the other; a name with neither
    // leaves the item disabled.
    void examineRunsOneWindowPerKind() {
        InMainWindow opened("both.bin.trk");
        Form1& main = opened.main;
        QStringList captions;
        std::function<void(QWidget*)> answer = [&](QWidget* window) {
            captions << window->windowTitle();
            if (captions.size() < 2)
                WhenModal(answer, "karvex::Form9");
            window->close();
        };
        WhenModal(answer, "karvex::Form9");
        main.menuExamine_Click();
        QCOMPARE(captions, (QStringList{"both.bin.trk", "both.bin.trk"}));
    }
};

QTEST_MAIN(ResultsWindowTest)
#include "results_window_test.moc"
