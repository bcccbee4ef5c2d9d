// SPDX-License-Identifier: GPL-3.0-or-later
// The palette viewer (Form8) over an archive in memory. The palette's logic: tests/viewers.
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QListWidget>
#include <QTest>

#include <optional>
#include <tuple>

#include "tests/core/fake_session.h"
#include "tests/gui/fake_edits.h"
#include "tests/gui/modal.h"
#include "viewers/palette_files.h"
#include "viewers/palette_viewer.h"

using namespace karvex;
using namespace karvex::test;
using namespace std::string_literals;

namespace {

// The palette, last in the archive so that a short one runs past its end, opened in the viewer.
struct Viewer {
    explicit Viewer(const std::string& bytes, bool shown = false)
        : archive({{"first.txt", "text"}, {"pal.act", bytes}}) {
        archive.Record("pal.act");
        form.emplace(archive);
        if (shown) {
            form->show();
            QVERIFY(QTest::qWaitForWindowActive(&*form));
        }
    }
    QListWidget* List() { return form->findChild<QListWidget*>("List1"); }
    QLabel* Grid() { return form->findChild<QLabel*>("pic1"); }
    int Selected() {
        const auto items = List()->selectedItems();
        return items.isEmpty() ? -1 : List()->row(items.first());
    }
    FakeSession archive;
    std::optional<Form8> form;
};

}  // namespace

class PaletteViewerTest : public QObject {
    Q_OBJECT

  private slots:
    // Export writes the colours read, Import replaces the entry with a file's and shows them.
    void exportsAndImportsThePalette() {
        TempDir dir;
        Viewer viewer(RampPalette());
        auto* import = viewer.form->findChild<QAction*>("menuImport");
        QVERIFY(!import->isEnabled());  // no edits handed over: a response file, say
        std::vector<std::string> calls;
        viewer.form->SetEditor(FakeEdits(viewer.archive, calls));
        QVERIFY(import->isEnabled());
        const QString gpl = QString::fromStdString((dir / "p.gpl").string());
        QVERIFY(viewer.form->ExportTo(gpl));
        QCOMPARE(ReadBytes(dir / "p.gpl"), GplText(RampPalette(), "pal.act"));

        WriteBytes(dir / "p.gpl", GplText(std::string(768, '\x40'), "x"));
        for (const char* answer : {"No", "Yes"}) {
            QString question;
            AnswerMessage(answer, &question);
            QCOMPARE(viewer.form->ImportFrom(gpl), answer == std::string("Yes"));
            QCOMPARE(question, "Replace pal.act with " + gpl + "?");
        }
        QCOMPARE(calls, std::vector<std::string>{"replace pal.act#1, 768 bytes"});
        QCOMPARE(viewer.List()->item(255)->text(), " 64  64  64");

        WriteBytes(dir / "p.gpl", "GIMP Palette\n1 2 3\n");
        QString refusal;
        AnswerMessage("OK", &refusal);
        QVERIFY(!viewer.form->ImportFrom(gpl));
        QCOMPARE(refusal, "Cannot import " + gpl +
                              "\n\nThe palette holds 1 colour; a texture's palette holds 256.");
        QCOMPARE(calls.size(), 1u);
    }

    // One line per colour; a palette cut short by the archive's end reads as zero past it.
    void listLinesExact() {
        const std::string bytes =
            RampPalette().replace(0, 3, "\xFF\0\x10"s).replace(765, 3, "\x01\x02\x03");
        Viewer whole(bytes), cut(bytes.substr(0, 7));
        QCOMPARE(whole.form->windowTitle(), "pal.act");
        QCOMPARE(whole.List()->count(), 256);
        QCOMPARE(whole.Selected(), -1);  // nothing selected or outlined at first
        QCOMPARE(whole.form->Grid().pixel(0, 0), qRgb(255, 0, 16));
        const std::tuple<Viewer*, int, QString> rows[] = {
            {&whole, 0, " 255  0  16"}, {&whole, 100, " 100  155  50"}, {&whole, 255, " 1  2  3"},
            {&cut, 1, " 1  254  0"},    {&cut, 2, " 2  0  0"},          {&cut, 255, " 0  0  0"}};
        for (const auto& [viewer, line, text] : rows)
            QCOMPARE(viewer->List()->item(line)->text(), text);
    }

    // A click (grid units, inside the border) or an arrow key selects a colour, never outside.
    void gridClickAndKeysSelectLine() {
        Viewer viewer(RampPalette(), true);
        const std::pair<QPointF, int> clicks[] = {
            {{20, 5}, 1}, {{250, 250}, 255}, {{3, 15}, 0}, {{15.5, 0}, 1}, {{300, -5}, 15}};
        for (auto [at, line] : clicks) {
            if (at == at.toPoint() && QRectF(0, 0, 255, 255).contains(at)) {
                QTest::mouseClick(viewer.Grid(), Qt::LeftButton, {}, at.toPoint() + QPoint(1, 1));
            } else {
                viewer.form->pic1_MouseDown(at + QPointF(1, 1));
                viewer.form->pic1_Click();
            }
            QCOMPARE(viewer.Selected(), line);
        }
        QCOMPARE(QApplication::focusWidget(), viewer.Grid());
        const std::pair<Qt::Key, int> steps[] = {
            {Qt::Key_Up, 15}, {Qt::Key_Right, 16}, {Qt::Key_Down, 32}, {Qt::Key_Left, 31}};
        for (auto [key, expected] : steps) {
            QTest::keyClick(viewer.Grid(), key);
            QCOMPARE(viewer.Selected(), expected);
        }
    }

    // Selecting a line outlines its cell, over the swatch's border; another moves the outline.
    void lineSelectsCell() {
        Viewer viewer(RampPalette());
        const QPoint corner(0, 16);  // of colour 16, (16, 239, 8): outlined in (255, 0, 255)
        viewer.List()->setCurrentRow(16);
        const QImage grid = viewer.form->Grid();
        for (QPoint edge : {QPoint(0, 0), QPoint(14, 0), QPoint(0, 14), QPoint(14, 14)})
            QCOMPARE(grid.pixel(corner + edge), qRgb(255, 0, 255));
        QCOMPARE(grid.pixel(corner + QPoint(1, 1)), qRgb(16, 239, 8));
        QCOMPARE(grid.pixel(corner + QPoint(15, 0)),  // the gap stays background
                 viewer.Grid()->palette().color(QPalette::Window).rgb());
        viewer.List()->setCurrentRow(0);
        QCOMPARE(viewer.form->Grid().pixel(corner), qRgb(16, 239, 8));
        QCOMPARE(viewer.form->Grid().pixel(corner + QPoint(14, 14)), qRgb(16, 239, 8));
    }

    // Ctrl+C copies the selected colour from the grid or the list; a screen reader hears it.
    void copyAndAccessibleNames() {
        Viewer viewer(RampPalette().replace(600, 3, "\xFF\0\x10"s), true);
        QCOMPARE(viewer.Grid()->accessibleName(), "Colour grid, 256 colours, none selected");
        QClipboard* clipboard = QGuiApplication::clipboard();
        clipboard->setText("before");
        QTest::keyClick(viewer.Grid(), Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(clipboard->text(), "before");  // nothing selected
        viewer.List()->setCurrentRow(200);
        for (QWidget* focused : std::initializer_list<QWidget*>{viewer.Grid(), viewer.List()}) {
            clipboard->setText("before");
            focused->setFocus();
            QTest::keyClick(focused, Qt::Key_C, Qt::ControlModifier);
            QCOMPARE(clipboard->text(), "#FF0010");
        }
        QCOMPARE(viewer.Grid()->accessibleName(),
                 "Colour grid, colour 200 selected: red 255, green 0, blue 16, #FF0010");
        QCOMPARE(viewer.List()->accessibleName(), "Color Values, colour 200 of 256:  255  0  16");
        QCOMPARE(viewer.form->findChild<QLabel*>("Label1")->text(), "Color Values");
    }
};

QTEST_MAIN(PaletteViewerTest)
#include "palette_viewer_test.moc"
