// SPDX-License-Identifier: GPL-3.0-or-later
// The palette viewer (Form8) over an archive in memory: the list's lines, selection
// between grid and list, the outline, copying a colour and moving with the arrow keys.
#include <QApplication>
#include <QClipboard>
#include <QGuiApplication>
#include <QLabel>
#include <QListWidget>
#include <QTest>

#include <map>

#include "tests/core/fake_session.h"
#include "viewers/palette_viewer.h"

using namespace karvex;
using namespace karvex::test;

namespace {

// Colour n is (n, 255 - n, n / 2), unless `colors` names it otherwise.
std::string PaletteBytes(const std::map<int, QColor>& colors = {}) {
    std::string bytes;
    for (int n = 0; n < 256; ++n) {
        const auto own = colors.find(n);
        const QColor c = own != colors.end() ? own->second : QColor(n, 255 - n, n / 2);
        bytes += {char(c.red()), char(c.green()), char(c.blue())};
    }
    return bytes;
}

// An archive in memory with the palette entry recorded as right-clicked. Entries: a short file
// first, then the palette (`bytes`, possibly short and last, so that its colours run past the
// archive's end).
struct Opened : FakeSession {
    explicit Opened(const std::string& bytes)
        : FakeSession({{"first.txt", "text"}, {"pal.act", bytes}}) {
        Record("pal.act");
    }
};

QListWidget* List(Form8& viewer) {
    return viewer.findChild<QListWidget*>("List1");
}
QLabel* Grid(Form8& viewer) {
    return viewer.findChild<QLabel*>("pic1");
}
int Selected(Form8& viewer) {
    const auto items = List(viewer)->selectedItems();
    return items.isEmpty() ? -1 : List(viewer)->row(items.first());
}
// Clicks the grid at (x, y) in grid units: one unit is one pixel inside the border.
void ClickGrid(Form8& viewer, int x, int y) {
    QTest::mouseClick(Grid(viewer), Qt::LeftButton, {}, QPoint(x, y) + QPoint(1, 1));
}

}  // namespace

class PaletteViewerTest : public QObject {
    Q_OBJECT

  private slots:
    // One line per colour, red, green and blue each after a blank, joined by a blank more.
    void listLinesExact() {
        Opened archive(PaletteBytes({{0, QColor(255, 0, 16)}, {255, QColor(1, 2, 3)}}));
        Form8 viewer(archive);
        QCOMPARE(viewer.windowTitle(), "pal.act");
        QCOMPARE(List(viewer)->count(), 256);
        QCOMPARE(List(viewer)->item(0)->text(), " 255  0  16");
        QCOMPARE(List(viewer)->item(255)->text(), " 1  2  3");
        QStringList lines, expected;
        for (int n = 1; n < 255; ++n) {
            lines << List(viewer)->item(n)->text();
            expected << QString(" %1  %2  %3").arg(n).arg(255 - n).arg(n / 2);
        }
        QCOMPARE(lines.join('\n'), expected.join('\n'));
        QCOMPARE(Selected(viewer), -1);  // nothing selected or outlined at first
        QCOMPARE(viewer.Grid().pixel(0, 0), qRgb(255, 0, 16));
    }

    // A palette entry at the archive's end, shorter than 768 bytes: the rest reads as zero.
    void shortPaletteReadsZeros() {
        Opened archive(PaletteBytes().substr(0, 7));
        Form8 viewer(archive);
        QCOMPARE(List(viewer)->item(1)->text(), " 1  254  0");
        QCOMPARE(List(viewer)->item(2)->text(), " 2  0  0");
        QCOMPARE(List(viewer)->item(255)->text(), " 0  0  0");
    }

    // A click selects the colour whose cell (with the gap right of and below its swatch)
    // holds the position, rounded to whole units, halves to the even neighbour.
    void gridClickSelectsLine_data() {
        QTest::addColumn<QPointF>("at");  // grid units
        QTest::addColumn<int>("line");
        QTest::newRow("(20, 5)") << QPointF(20, 5) << 1;
        QTest::newRow("(250, 250)") << QPointF(250, 250) << 255;
        QTest::newRow("top left") << QPointF(0, 0) << 0;
        QTest::newRow("gap right of colour 0") << QPointF(15, 3) << 0;
        QTest::newRow("gap below colour 0") << QPointF(3, 15) << 0;
        QTest::newRow("colour 16") << QPointF(0, 16) << 16;
        QTest::newRow("14.5 rounds to 14") << QPointF(14.5, 0) << 0;
        QTest::newRow("15.5 rounds to 16") << QPointF(15.5, 0) << 1;
        QTest::newRow("16.5 rounds to 16") << QPointF(16.5, 0) << 1;
        QTest::newRow("outside, clamped") << QPointF(300, -5) << 15;
    }
    void gridClickSelectsLine() {
        QFETCH(QPointF, at);
        QFETCH(int, line);
        Opened archive(PaletteBytes());
        Form8 viewer(archive);
        viewer.show();
        QVERIFY(QTest::qWaitForWindowExposed(&viewer));
        if (at == at.toPoint() && QRectF(0, 0, 255, 255).contains(at)) {
            ClickGrid(viewer, at.toPoint().x(), at.toPoint().y());
        } else {
            viewer.pic1_MouseDown(at + QPointF(1, 1));
            viewer.pic1_Click();
        }
        QCOMPARE(Selected(viewer), line);
    }

    // Selecting a line outlines its cell from corner to corner + 14, over the swatch's own
    // border pixels; selecting another leaves only that one outlined.
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
        Opened archive(PaletteBytes());
        Form8 viewer(archive);
        const QRgb swatch = qRgb(line, 255 - line, line / 2);
        const QRgb outline =
            qRgb(line >= 127 ? 0 : 255, 255 - line >= 127 ? 0 : 255, line / 2 >= 127 ? 0 : 255);
        List(viewer)->setCurrentRow(line);
        const QImage grid = viewer.Grid();
        for (QPoint edge : {QPoint(0, 0), QPoint(14, 0), QPoint(0, 14), QPoint(14, 14),
                            QPoint(7, 0), QPoint(0, 7)})
            QCOMPARE(grid.pixel(corner + edge), outline);
        QCOMPARE(grid.pixel(corner + QPoint(1, 1)), swatch);
        QCOMPARE(grid.pixel(corner + QPoint(13, 13)), swatch);
        if (corner.x() < 240)  // the gap stays background
            QCOMPARE(grid.pixel(corner + QPoint(15, 0)),
                     Grid(viewer)->palette().color(QPalette::Window).rgb());
        // Another selection: the first cell is a plain swatch again.
        List(viewer)->setCurrentRow(line == 0 ? 1 : 0);
        QCOMPARE(viewer.Grid().pixel(corner), swatch);
        QCOMPARE(viewer.Grid().pixel(corner + QPoint(14, 14)), swatch);
    }

    // Each component outlines in 0 when it is 127 or more, else 255.
    void outlineColour_data() {
        QTest::addColumn<QColor>("color");
        QTest::addColumn<QColor>("outline");
        QTest::newRow("white") << QColor(255, 255, 255) << QColor(0, 0, 0);
        QTest::newRow("black") << QColor(0, 0, 0) << QColor(255, 255, 255);
        QTest::newRow("127 is light") << QColor(127, 126, 127) << QColor(0, 255, 0);
        QTest::newRow("mixed") << QColor(200, 50, 127) << QColor(0, 255, 0);
    }
    void outlineColour() {
        QFETCH(QColor, color);
        QFETCH(QColor, outline);
        Opened archive(PaletteBytes({{37, color}}));
        Form8 viewer(archive);
        List(viewer)->setCurrentRow(37);
        QCOMPARE(viewer.Grid().pixel(80, 32), outline.rgb());  // the cell's corner
        QCOMPARE(viewer.Grid().pixel(87, 39), color.rgb());    // inside the swatch
    }

    // Ctrl+C copies the selected colour, with the grid or the list focused.
    void copySelectedColour() {
        Opened archive(PaletteBytes({{200, QColor(255, 0, 16)}}));
        Form8 viewer(archive);
        viewer.show();
        QVERIFY(QTest::qWaitForWindowActive(&viewer));
        QGuiApplication::clipboard()->setText("before");
        QTest::keyClick(Grid(viewer), Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QGuiApplication::clipboard()->text(), "before");  // nothing selected
        List(viewer)->setCurrentRow(200);
        for (QWidget* focused :
             {static_cast<QWidget*>(Grid(viewer)), static_cast<QWidget*>(List(viewer))}) {
            QGuiApplication::clipboard()->setText("before");
            focused->setFocus();
            QTest::keyClick(focused, Qt::Key_C, Qt::ControlModifier);
            QCOMPARE(QGuiApplication::clipboard()->text(), "#FF0010");
        }
    }

    // The arrow keys move through the grid: a colour sideways, a row up and down, never out.
    void arrowKeysMoveInGrid() {
        Opened archive(PaletteBytes());
        Form8 viewer(archive);
        viewer.show();
        QVERIFY(QTest::qWaitForWindowActive(&viewer));
        QCOMPARE(QApplication::focusWidget(), Grid(viewer));
        const std::pair<Qt::Key, int> steps[] = {
            {Qt::Key_Right, 0}, {Qt::Key_Right, 1}, {Qt::Key_Down, 17}, {Qt::Key_Left, 16},
            {Qt::Key_Up, 0},    {Qt::Key_Up, 0},    {Qt::Key_Left, 0},  {Qt::Key_Down, 16}};
        for (auto [key, expected] : steps) {
            QTest::keyClick(Grid(viewer), key);
            QCOMPARE(Selected(viewer), expected);
        }
        List(viewer)->setCurrentRow(255);
        QTest::keyClick(Grid(viewer), Qt::Key_Right);
        QTest::keyClick(Grid(viewer), Qt::Key_Down);
        QCOMPARE(Selected(viewer), 255);
        QTest::keyClick(Grid(viewer), Qt::Key_Escape);
        QVERIFY(!viewer.isVisible());
    }

    // What a screen reader says carries the selection and its values.
    void accessibleNamesCarryValues() {
        Opened archive(PaletteBytes({{17, QColor(255, 0, 16)}}));
        Form8 viewer(archive);
        QCOMPARE(Grid(viewer)->accessibleName(), "Colour grid, 256 colours, none selected");
        List(viewer)->setCurrentRow(17);
        QCOMPARE(Grid(viewer)->accessibleName(),
                 "Colour grid, colour 17 selected: red 255, green 0, blue 16, #FF0010");
        QCOMPARE(List(viewer)->accessibleName(), "Color Values, colour 17 of 256:  255  0  16");
        QCOMPARE(viewer.findChild<QLabel*>("Label1")->text(), "Color Values");
    }
};

QTEST_MAIN(PaletteViewerTest)
#include "palette_viewer_test.moc"
