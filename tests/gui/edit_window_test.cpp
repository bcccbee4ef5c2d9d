// SPDX-License-Identifier: GPL-3.0-or-later
// The window's edits of the open archive: files dropped on it, Replace with File, Rename and
// Delete from the pop-up menu and their keys, and the entries selected afterwards.
#include <QAbstractButton>
#include <QFileDialog>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>

#include "tests/gui/window_fixture.h"
#include "viewers/png_writer.h"
#include "viewers/texture.h"
#include "viewers/texture_viewer.h"

using namespace karvex;
using namespace karvex::test;

namespace {

// Whether `shown` holds, somewhere inside `cell`, the 64 x 64 texture `texture` drawn through
// the ramp palette pixel for pixel.
bool ShowsTexture(const QImage& shown, const QRect& cell, const std::string& texture) {
    auto at = [&](QPoint corner) {
        for (int i = 0; i < 4096; ++i) {
            const int n = static_cast<unsigned char>(texture[static_cast<std::size_t>(i)]);
            if (shown.pixel(corner + QPoint(i % 64, i / 64)) != qRgb(n, 255 - n, n / 2))
                return false;
        }
        return true;
    };
    for (int y = cell.top(); y + 64 <= cell.bottom() + 1; ++y) {
        for (int x = cell.left(); x + 64 <= cell.right() + 1; ++x) {
            if (at({x, y}))
                return true;
        }
    }
    return false;
}

// A 64 x 64 PNG of colour 9 of the ramp palette.
bool WriteRamp9Png(const QString& path) {
    std::FILE* file = std::fopen(QFile::encodeName(path).constData(), "wb");
    const bool written =
        file &&
        WritePng(file, 64, 64, std::vector<std::uint32_t>(4096, ColorValue(9, 246, 4))).IsDone();
    return file && std::fclose(file) == 0 && written;
}

// Answers the modal windows to come in turn and notes what each showed: a message box its
// text (the answer: a button, or "Escape"), an input box its title and prompt (the answer:
// the text typed), a file dialog its title (the answer: the file chosen).
void Answer(QStringList answers, QStringList* seen) {
    if (answers.isEmpty())
        return;
    const QString answer = answers.takeFirst();
    WhenModal(
        [=](QWidget* modal) {
            Answer(answers, seen);
            if (auto* box = qobject_cast<QMessageBox*>(modal)) {
                *seen << box->text();
                if (answer == "Escape")
                    QTest::keyClick(box, Qt::Key_Escape);
                for (QAbstractButton* button : box->buttons()) {
                    if (button->text().remove('&') == answer)
                        button->click();
                }
            } else if (auto* input = qobject_cast<QInputDialog*>(modal)) {
                *seen << input->windowTitle() + ": " + input->labelText() + " " +
                             input->textValue();
                input->setTextValue(answer);
                input->accept();
            } else if (auto* files = qobject_cast<QFileDialog*>(modal)) {
                *seen << files->windowTitle();
                // Typed into the name box: selectFile leaves a box that has the focus be.
                files->findChild<QLineEdit*>("fileNameEdit")->setText(answer);
                static_cast<QDialog*>(files)->accept();  // public there
            }
        },
        "QDialog");
}

}  // namespace

class EditWindowTest : public QObject, public WindowFixture {
    Q_OBJECT

  private slots:
    void initTestCase() { SetUpTestCase(); }
    void init() { QVERIFY(m_folder.MakeCurrent()); }
    void cleanup() { Reset(); }

    // What a drop on the game archive asks and hands to the session ("@": the drop's folder).
    void dropAddsFiles_data() {
        QTest::addColumn<QStringList>("dropped");  // made first; the sounds folder as a whole
        QTest::addColumn<QStringList>("answers");
        QTest::addColumn<QString>("asked");
        QTest::addColumn<QString>("call");
        const QString add1 = "Add 1 file to test.pod?|", add2 = "Add 2 files to test.pod?|";
        // clang-format off
        QTest::newRow("a file") << QStringList{"notes.txt"} << QStringList{"Yes"}
            << "Add 1 file to test.pod?" << "EditArchive add notes.txt=@notes.txt";
        QTest::newRow("No") << QStringList{"notes.txt"} << QStringList{"No"}
            << "Add 1 file to test.pod?" << "";
        QTest::newRow("a folder") << QStringList{"sounds/horn.wav", "sounds/b/a.wav"}
            << QStringList{"Yes"} << "Add 2 files to test.pod?"
            << "EditArchive add sounds\\b\\a.wav=@sounds/b/a.wav, add sounds\\horn.wav=@sounds/"
               "horn.wav";
        QTest::newRow("replace") << QStringList{"a.raw", "x.txt"} << QStringList{"Yes", "Yes"}
            << add2 + "Replace A.RAW?" << "EditArchive replace A.RAW=@a.raw, add x.txt=@x.txt";
        QTest::newRow("Yes to All") << QStringList{"a.raw", "horn.wav", "x.txt", "logo.bmp"}
            << QStringList{"Yes", "Yes to All"} << "Add 4 files to test.pod?|Replace A.RAW?"
            << "EditArchive replace A.RAW=@a.raw, replace HORN.WAV=@horn.wav, add x.txt=@x.txt, "
               "replace LOGO.BMP=@logo.bmp";
        QTest::newRow("No to one") << QStringList{"a.raw", "x.txt"} << QStringList{"Yes", "No"}
            << add2 + "Replace A.RAW?" << "EditArchive add x.txt=@x.txt";
        QTest::newRow("Escape cancels") << QStringList{"x.txt", "a.raw"}
            << QStringList{"Yes", "Escape"} << add2 + "Replace A.RAW?" << "";
        QTest::newRow("nothing left") << QStringList{"a.raw"} << QStringList{"Yes", "No"}
            << add1 + "Replace A.RAW?" << "";
        QTest::newRow("twice in the drop") << QStringList{"x.txt", "d/X.TXT"}
            << QStringList{"Yes", "Yes"} << add2 + "Replace x.txt?"
            << "EditArchive add x.txt=@x.txt, replace x.txt=@d/X.TXT";
        QTest::newRow("outside Latin-1") << QStringList{"a.txt", "\u010d.txt"}
            << QStringList{"OK"} << "The name \u010d.txt cannot be given to an entry: it holds "
                                    "characters outside Latin-1." << "";
        // clang-format on
    }
    void dropAddsFiles() {
        QFETCH(QStringList, dropped);
        QFETCH(QStringList, answers);
        QFETCH(QString, asked);
        QFETCH(QString, call);
        Form1& window = Open({0}, "test.pod", nullptr);
        m_fake->session.editedRows = {3, 1};
        const TestFolder& folder = m_fake->folder;
        QVERIFY(folder.MakeFiles(dropped));
        if (dropped[0].startsWith("sounds"))  // a link to its own folder, never followed
            QVERIFY(QFile::link(".", folder.filePath("sounds/loop")));
        QStringList paths;
        for (const QString& name : dropped)
            paths << folder.filePath(name.startsWith("sounds") ? "sounds" : name);
        paths.removeDuplicates();
        QStringList seen;
        Answer(answers, &seen);
        QVERIFY(Drop(window, paths));
        QTRY_COMPARE(seen.join('|'), asked);
        QCOMPARE(m_fake->Calls(), QString(call).replace("@", folder.path() + '/'));
        if (call.isEmpty())
            return;
        auto* sizes = window.findChild<QListView*>("List2");
        QCOMPARE(sizes->selectionModel()->selectedRows().size(), 2);
        QVERIFY(sizes->selectionModel()->isRowSelected(1) && m_fake->session.Table().IsSelected(3));
        QCOMPARE(Find<QListView>("List1")->currentIndex().row(), 1);
        QCOMPARE(Text("Label8"), QString("2"));
    }

    // The menu's edits and their keys, for the game archive or a response file.
    void menuEdits_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QList<int>>("rows");
        QTest::addColumn<QString>("how");  // the item, or the key
        QTest::addColumn<QStringList>("answers");
        QTest::addColumn<QString>("asked");
        QTest::addColumn<QString>("call");
        const QString pod = "test.pod", renameA = "Rename entry: New name for A.RAW: A.RAW";
        // clang-format off
        QTest::newRow("replace") << pod << QList<int>{0} << "menuReplace" << QStringList{"@new"}
            << "Replace A.RAW" << "EditArchive replace A.RAW#0=@new";
        QTest::newRow("rename") << pod << QList<int>{0, 1} << "menuRename"
            << QStringList{"B\u00c9.RAW"} << renameA << "EditArchive rename A.RAW#0=B\u00c9.RAW";
        QTest::newRow("F2, the same name") << pod << QList<int>{0} << "F2"
            << QStringList{"A.RAW"} << renameA << "";
        QTest::newRow("delete") << pod << QList<int>{3, 1} << "menuDelete" << QStringList{"Yes"}
            << "Delete 2 entries from test.pod?"
            << "EditArchive delete readme.txt.bin#1, delete LOGO.BMP#3";
        QTest::newRow("Delete, No") << pod << QList<int>{4} << "Delete" << QStringList{"No"}
            << "Delete 1 entry from test.pod?" << "";
        QTest::newRow("nothing recorded") << pod << QList<int>{} << "Delete" << QStringList{}
            << "" << "";
        QTest::newRow(".lst") << "test.lst" << QList<int>{0} << "menuRename" << QStringList{}
            << "" << "";
        // clang-format on
    }
    void menuEdits() {
        QFETCH(QString, file);
        QFETCH(QList<int>, rows);
        QFETCH(QString, how);
        QFETCH(QStringList, answers);
        QFETCH(QString, asked);
        QFETCH(QString, call);
        Form1& window = Open(rows, file);
        QTRY_VERIFY(Menu()->isVisible());
        Menu()->close();
        const QString at = m_fake->folder.path() + '/';
        QVERIFY(m_fake->folder.MakeFiles({"new"}));
        for (const char* item : {"menuReplace", "menuRename", "menuDelete"})  // on where it asks
            QCOMPARE(Menu()->findChild<QAction*>(item)->isEnabled(), !asked.isEmpty());
        QStringList seen;
        Answer(answers.replaceInStrings("@", at), &seen);
        if (auto* item = Menu()->findChild<QAction*>(how))
            item->trigger();
        else
            QTest::keyClick(window.findChild<QListView*>("List1"),
                            how == "F2" ? Qt::Key_F2 : Qt::Key_Delete);
        QCOMPARE(seen.join('|'), asked);
        QCOMPARE(m_fake->Calls(), call.replace("@", at));
    }

    void doubleClickViews() {
        Form1& window = Open({}, "test.pod", nullptr);
        auto* names = window.findChild<QListView*>("List1");
        QString opened;
        WhenModal([&](QWidget* modal) {
            opened = modal->metaObject()->className();
            modal->close();
        });
        const QPoint at = names->visualRect(names->model()->index(1, 0)).center();
        QTest::mouseClick(names->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(names->viewport(), Qt::LeftButton, {}, at);
        QCOMPARE(opened, QString("karvex::Form11"));
    }

    // Through the archive routines on a file: the entry dropped is added, and selected.
    void dropAddsToAnArchiveFile() {
        Write("edit.pod", PodBytes(kGame));
        Write("new.txt", "new");
        Form1& window = Window();
        QVERIFY(window.Startup(Quoted("edit.pod")));
        QStringList seen;
        Answer({"Yes"}, &seen);
        auto* names = window.findChild<QListView*>("List1");
        names->setFocus();
        QVERIFY(Drop(window, {m_folder.filePath("new.txt")}));
        QTRY_COMPARE(seen, QStringList{"Add 1 file to edit.pod?"});
        QCOMPARE(ListRows(window, "List1").join('|'),
                 QString("A.RAW|readme.txt.bin|TRUCK.TRK|LOGO.BMP|HORN.WAV|NEW.TXT"));
        QCOMPARE(m_session->Table().SelectedCount(), 1);
        QVERIFY(m_session->Table().IsSelected(5));
        QCOMPARE(window.focusWidget(), names);  // for the keys, though the reload hid the list
    }

    // The texture viewer's Replace from PNG, through the main window's edit, on a file.
    void viewerReplacesATextureOfTheFile() {
        const std::vector<PodEntry> before = {{"T.RAW", std::string(4096, 1)},
                                              {"T.ACT", RampPalette()}};
        Write("tex.pod", PodBytes(before));
        const QString png = m_folder.filePath("t.png");
        QVERIFY(WriteRamp9Png(png));
        Form1& window = Window();
        QVERIFY(window.Startup(Quoted("tex.pod")));
        QStringList seen;
        bool replaced = false;
        WhenModal(
            [&](QWidget* modal) {
                Answer({"Yes"}, &seen);
                replaced = static_cast<Form5*>(modal)->ReplaceFrom(png, false);
                modal->close();
            },
            "karvex::Form5");
        auto* names = window.findChild<QListView*>("List1");
        const QPoint at = names->visualRect(names->model()->index(0, 0)).center();
        QTest::mouseClick(names->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(names->viewport(), Qt::LeftButton, {}, at);
        QTRY_VERIFY(replaced);
        QCOMPARE(seen, QStringList{"Replace T.RAW with " + png + "?"});
        QCOMPARE(m_folder.Read("tex.pod"),
                 PodBytes({{"T.RAW", std::string(4096, 9)}, {"T.ACT", RampPalette()}}));
        QVERIFY(m_session->Table().IsSelected(0));
    }

    // The Textures window on a file, from Ctrl+T: a 64 x 64 texture shown pixel for pixel
    // through its palette, then a PNG dropped on it replacing it in the file.
    void texturesWindowShowsAndReplaces() {
        std::string texture(4096, '\0');
        for (std::size_t i = 0; i < texture.size(); ++i)
            texture[i] = char(i * 7 % 256);
        Write("tex.pod", PodBytes({{"T.RAW", texture}, {"T.ACT", RampPalette()}}));
        const QString png = m_folder.filePath("t.png");
        QVERIFY(WriteRamp9Png(png));
        Form1& window = Window();
        QVERIFY(window.Startup(Quoted("tex.pod")));
        QStringList seen;
        const std::string after =
            PodBytes({{"T.RAW", std::string(4096, 9)}, {"T.ACT", RampPalette()}});
        bool shown = false, dropped = false, redrawn = false;
        WhenModal(
            [&](QWidget* modal) {
                auto* grid = modal->findChild<QListView*>("Grid");
                const QRect cell = grid->visualRect(grid->model()->index(0, 0));
                shown = ShowsTexture(grid->viewport()->grab().toImage(), cell, texture);
                Answer({"Yes"}, &seen);
                dropped = Drop(*grid->viewport(), {png}, cell.center());
                // The question comes once the drop has ended; the grid then shows the new bytes.
                QTRY_VERIFY(m_folder.Read("tex.pod") == after);
                QTRY_VERIFY(
                    ShowsTexture(grid->viewport()->grab().toImage(), cell, std::string(4096, 9)));
                redrawn = true;
                modal->close();
            },
            "karvex::TexturesWindow");
        QTest::keyClick(&window, Qt::Key_T, Qt::ControlModifier);
        QTRY_VERIFY(dropped);
        QVERIFY(shown);
        QTRY_VERIFY(redrawn);
        QCOMPARE(seen, QStringList{"Replace T.RAW with " + png + "?"});
    }
};

QTEST_MAIN(EditWindowTest)
#include "edit_window_test.moc"
