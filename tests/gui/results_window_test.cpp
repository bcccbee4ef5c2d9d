// SPDX-License-Identifier: GPL-3.0-or-later
// The results window (Form9) over an archive in memory: what it lists, copying the names,
// selecting their entries, saving them as a response file, and Examine's one window per kind.
#include <QClipboard>
#include <QFile>
#include <QGuiApplication>
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
    {"model.bin", kModel},     {"SKIN.RAW", "s"},
    {"sounds\\HORN.WAV", "h"}, {"other.raw", "o"},
    {"both.bin.trk", kModel},  {"escape.bin", std::string("\0..\\..\\secret.txt", 17)},
};

}  // namespace

class ResultsWindowTest : public QObject {
    Q_OBJECT

  private slots:
    // Found names select the entries of that name, folders ignored and letter case too.
    void listsCopiesAndSelectsTheNamedEntries() {
        FakeWindow fake(kEntries);
        QVERIFY(fake.Start());
        fake.session.Record("model.bin");
        Form9 window(fake.session, Analysis::Model, &fake.window);
        QVERIFY(window.Outcome().IsDone() && !fake.session.IsBusy());
        QCOMPARE(window.windowTitle(), QString("model.bin"));
        const QStringList names{"skin.raw", "pal.act", "horn.wav"};
        QCOMPARE(ListRows(window, "List1"), names);
        QCOMPARE(window.findChild<QListView*>("List1")->accessibleName(),
                 QString("Files named, 3"));
        window.menuCopy_Click();
        QCOMPARE(QGuiApplication::clipboard()->text(), names.join('\n') + '\n');
        window.menuSelect_Click();
        const EntryTable& table = fake.session.Table();  // SKIN.RAW, sounds\\HORN.WAV
        QVERIFY(table.SelectedCount() == 2 && table.IsSelected(1) && table.IsSelected(2));
    }

    // Beside the archive, never over it; when every name leads out of the folder, none is written.
    void savesAResponseFile() {
        const QString secret = "\n..\\..\\secret.txt", none = kNoneSafeText;
        const QByteArray refused, all = "skin.raw\r\npal.act\r\nhorn.wav\r\n";
        using Row = std::tuple<std::string, QString, QByteArray, QString>;
        // Entry, file, what is written (null: refused), the message after "Cannot write <path>".
        for (const auto& [entry, file, written, message] :
             {Row{"model.bin", "needs.lst", all, ""},
              Row{"model.bin", "test.pod", refused, "\n\nIt is the archive being examined."},
              Row{"escape.bin", "escape.lst", refused, "\n\n" + none + secret}}) {
            TestFolder folder;
            FakeSession archive(kEntries);
            folder.Write("test.pod", archive.bytes);
            archive.State().PodFolder = folder.path().toStdString();
            archive.Record(entry);
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
