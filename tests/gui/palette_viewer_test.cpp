// SPDX-License-Identifier: GPL-3.0-or-later
// The palette viewer (Form8) over an archive in memory: the list, selection between grid and
// list, the outline, copying a colour and the arrow keys. The palette's logic: tests/viewers.
#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QListWidget>
#include <QTest>

#include <map>
#include <optional>
#include <tuple>

#include "tests/core/fake_session.h"
#include "viewers/palette_viewer.h"

using namespace karvex;
using namespace karvex::test;

namespace {

// Colour n is (n, 255 - n, n / 2), unless `colors` names it otherwise.
std::string PaletteBytes(const std::map<int, QColor>& colors = {}) {
    std::string bytes;
    for (int n = 0; n < 256; ++n) {
        const QColor c = colors.count(n) ? colors.at(n) : QColor(n, 255 - n, n / 2);
        bytes += {char(c.red()), char(c.green()), char(c.blue())};
    }
    return bytes;
}

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
    // One line per colour, red, green and blue each after a blank, joined by a blank more; a
    // palette cut short by the archive's end reads as zero past it.
    void listLinesExact() {
        const std::string bytes = PaletteBytes({{0, QColor(255, 0, 16)}, {255, QColor(1, 2, 3)}});
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

    // A click selects the colour whose cell (with the gap right of and below its swatch)
    // holds the position, in whole grid units inside the border.
    void gridClickSelectsLine_data() {
        QTest::addColumn<QPointF>("at");  // grid units
        QTest::addColumn<int>("line");
        QTest::newRow("(20, 5)") << QPointF(20, 5) << 1;
        QTest::newRow("(250, 250)") << QPointF(250, 250) << 255;
        QTest::newRow("gap below colour 0") << QPointF(3, 15) << 0;
        QTest::newRow("15.5 rounds to 16") << QPointF(15.5, 0) << 1;
        QTest::newRow("outside, clamped") << QPointF(300, -5) << 15;
    }
    void gridClickSelectsLine() {
        QFETCH(QPointF, at);
        QFETCH(int, line);
        Viewer viewer(PaletteBytes(), true);
        if (at == at.toPoint() && QRectF(0, 0, 255, 255).contains(at)) {
            QTest::mouseClick(viewer.Grid(), Qt::LeftButton, {}, at.toPoint() + QPoint(1, 1));
        } else {
            viewer.form->pic1_MouseDown(at + QPointF(1, 1));
            viewer.form->pic1_Click();
        }
        QCOMPARE(viewer.Selected(), line);
    }

    // Selecting a line outlines its cell from corner to corner + 14, over the swatch's own
    // border pixels, in 0 for each component of 127 or more, else 255; selecting another
    // leaves only that one outlined.
    void lineSelectsCell_data() {
        QTest::addColumn<int>("line");
        QTest::addColumn<QPoint>("corner");
        QTest::newRow("colour 0") << 0 << QPoint(0, 0);
        QTest::newRow("colour 15") << 15 << QPoint(240, 0);
        QTest::newRow("colour 16") << 16 << QPoint(0, 16);
        QTest::newRow("colour 255") << 255 << QPoint(240, 240);
    }
    void lineSelectsCell() {
        QFETCH(int, line);
        QFETCH(QPoint, corner);
        Viewer viewer(PaletteBytes());
        const QRgb swatch = qRgb(line, 255 - line, line / 2);
        const QRgb outline =
            qRgb(line >= 127 ? 0 : 255, 255 - line >= 127 ? 0 : 255, line / 2 >= 127 ? 0 : 255);
        viewer.List()->setCurrentRow(line);
        const QImage grid = viewer.form->Grid();
        for (QPoint edge : {QPoint(0, 0), QPoint(14, 0), QPoint(0, 14), QPoint(14, 14),
                            QPoint(7, 0), QPoint(0, 7)})
            QCOMPARE(grid.pixel(corner + edge), outline);
        QCOMPARE(grid.pixel(corner + QPoint(1, 1)), swatch);
        QCOMPARE(grid.pixel(corner + QPoint(13, 13)), swatch);
        if (corner.x() < 240)  // the gap stays background
            QCOMPARE(grid.pixel(corner + QPoint(15, 0)),
                     viewer.Grid()->palette().color(QPalette::Window).rgb());
        viewer.List()->setCurrentRow(line == 0 ? 1 : 0);
        QCOMPARE(viewer.form->Grid().pixel(corner), swatch);
        QCOMPARE(viewer.form->Grid().pixel(corner + QPoint(14, 14)), swatch);
    }

    // Ctrl+C copies the selected colour, with the grid or the list focused; what a screen
    // reader says carries the selection and its values.
    void copyAndAccessibleNames() {
        Viewer viewer(PaletteBytes({{200, QColor(255, 0, 16)}}), true);
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

    // The arrow keys move through the grid: a colour sideways, a row up and down, never out.
    void arrowKeysMoveInGrid() {
        Viewer viewer(PaletteBytes(), true);
        QCOMPARE(QApplication::focusWidget(), viewer.Grid());
        const std::pair<Qt::Key, int> steps[] = {
            {Qt::Key_Right, 0}, {Qt::Key_Right, 1}, {Qt::Key_Down, 17}, {Qt::Key_Left, 16},
            {Qt::Key_Up, 0},    {Qt::Key_Up, 0},    {Qt::Key_Left, 0},  {Qt::Key_Down, 16}};
        for (auto [key, expected] : steps) {
            QTest::keyClick(viewer.Grid(), key);
            QCOMPARE(viewer.Selected(), expected);
        }
        viewer.List()->setCurrentRow(255);
        QTest::keyClick(viewer.Grid(), Qt::Key_Right);
        QTest::keyClick(viewer.Grid(), Qt::Key_Down);
        QCOMPARE(viewer.Selected(), 255);
        QTest::keyClick(viewer.Grid(), Qt::Key_Escape);
        QVERIFY(!viewer.form->isVisible());
    }
};

QTEST_MAIN(PaletteViewerTest)
#include "palette_viewer_test.moc"
