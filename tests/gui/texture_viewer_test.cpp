// SPDX-License-Identifier: GPL-3.0-or-later
// The texture viewer (Form5) over an archive in memory: the size message, the colours
// through the palette it picks, the bands, closing, zoom and saving as PNG.
#include <QAction>
#include <QFileDialog>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QSignalSpy>
#include <QTest>

#include "tests/core/fake_session.h"
#include "tests/gui/modal.h"
#include "tests/gui/test_folder.h"
#include "viewers/texture.h"
#include "viewers/texture_viewer.h"

using namespace karvex;
using namespace karvex::test;

namespace {

// A palette whose colour n is (n, tag, 255 - n): the tag tells the palettes apart.
std::string PaletteBytes(int tag) {
    std::string bytes;
    for (int n = 0; n < 256; ++n)
        bytes += {char(n), char(tag), char(255 - n)};
    return bytes;
}
QRgb PaletteColor(int tag, int n) {
    return qRgb(n, tag, 255 - n);
}

// A texture of `size` bytes whose pixel i is byte i mod 256.
std::string TextureBytes(int size) {
    std::string bytes(static_cast<std::size_t>(size), '\0');
    for (int i = 0; i < size; ++i)
        bytes[static_cast<std::size_t>(i)] = char(i % 256);
    return bytes;
}

// An archive in memory with one entry recorded as right-clicked.
struct Opened : FakeSession {
    explicit Opened(const std::vector<PodEntry>& entries, const std::string& name = "tex.raw")
        : FakeSession(entries) {
        Record(name);
    }
};

QLabel* Picture(Form5& viewer) {
    return viewer.findChild<QLabel*>("Picture1");
}

// Shows the viewer and waits until it is active: the picture then has the focus and is drawn.
bool Shown(Form5& viewer) {
    viewer.show();
    return QTest::qWaitForWindowActive(&viewer);
}

// Counts the paint events of a widget.
struct PaintCounter : QObject {
    int paints = 0;
    bool eventFilter(QObject*, QEvent* event) override {
        paints += event->type() == QEvent::Paint;
        return false;
    }
};

}  // namespace

class TextureViewerTest : public QObject {
    Q_OBJECT

  private slots:
    void wrongSizeShowsMessageAndEmptyPicture_data() {
        QTest::addColumn<int>("size");
        for (int size : {0, 4095, 4097, 65535, 65537})
            QTest::addRow("%d bytes", size) << size;
    }
    void wrongSizeShowsMessageAndEmptyPicture() {
        QFETCH(int, size);
        Opened archive({{"tex.raw", TextureBytes(size)}, {"tex.act", PaletteBytes(7)}});
        QString text, caption;
        QMessageBox::Icon icon = QMessageBox::NoIcon;
        WhenModal(
            [&](QWidget* modal) {
                auto* box = static_cast<QMessageBox*>(modal);
                text = box->text();
                caption = box->windowTitle();
                icon = box->icon();
                box->accept();
            },
            "QMessageBox");
        Form5 viewer(archive);
        QCOMPARE(text, QString(kTextureSizeText));
        QCOMPARE(caption, "Karvex32");
        QCOMPARE(icon, QMessageBox::Critical);
        QVERIFY(Shown(viewer));
        QCOMPARE(viewer.windowTitle(), "tex.raw");
        QCOMPARE(viewer.TextureSide(), 0);
        const QImage shown = Picture(viewer)->pixmap().toImage();
        const QRgb clear = shown.pixel(0, 0);
        for (QPoint at : {QPoint(0, 0), QPoint(63, 63), QPoint(255, 255)})
            QCOMPARE(shown.pixel(at), clear);
        QCOMPARE(archive.Colors().values, ColorTable{}.values);  // no palette read either
        QVERIFY(Picture(viewer)->accessibleName().contains("not shown"));
    }

    // Byte 0 takes colour 0, byte 255 colour 255, at both sizes, in the image and on screen.
    void pixelsTakePaletteColours_data() {
        QTest::addColumn<int>("side");
        QTest::newRow("64x64") << 64;
        QTest::newRow("256x256") << 256;
    }
    void pixelsTakePaletteColours() {
        QFETCH(int, side);
        Opened archive({{"tex.raw", TextureBytes(side * side)}, {"tex.act", PaletteBytes(7)}});
        Form5 viewer(archive);
        QVERIFY(Shown(viewer));
        QCOMPARE(viewer.TextureSide(), side);
        const QImage shown = Picture(viewer)->pixmap().toImage();
        for (const QImage& image : {viewer.Image(), shown}) {
            QCOMPARE(image.pixel(0, 0), PaletteColor(7, 0));
            QCOMPARE(image.pixel(255 % side, 255 / side), PaletteColor(7, 255));
            QCOMPARE(image.pixel(side - 1, side - 1), PaletteColor(7, 255));
        }
        if (side == 64)  // the rest of the area stays clear
            QCOMPARE(viewer.Image().pixel(64, 64),
                     Picture(viewer)->palette().color(QPalette::Window).rgb());
        QCOMPARE(
            Picture(viewer)->accessibleName(),
            QString("Texture tex.raw, %1 by %1 pixels, zoom 1x, colours from tex.act").arg(side));
    }

    // The palette of the texture's own name first, then metalcr2.act, else the colours the
    // table holds: black on a first view. The search's finer rules: viewers/texture_test.
    void paletteChoice_data() {
        QTest::addColumn<QStringList>("palettes");  // palette entries, tagged 1, 2, ... in order
        QTest::addColumn<int>("tag");               // the tag drawn, 0 for black
        QTest::newRow("own before default") << QStringList{"metalcr2.act", "tex.act"} << 2;
        QTest::newRow("default only") << QStringList{"other.act", "METALCR2.ACT"} << 2;
        QTest::newRow("none") << QStringList{"other.act"} << 0;
    }
    void paletteChoice() {
        QFETCH(QStringList, palettes);
        QFETCH(int, tag);
        std::vector<PodEntry> entries{{"tex.raw", TextureBytes(4096)}};
        for (int i = 0; i < palettes.size(); ++i)
            entries.push_back({palettes[i].toStdString(), PaletteBytes(i + 1)});
        Opened archive(entries);
        Form5 viewer(archive);
        QVERIFY(Shown(viewer));
        const QRgb expected = tag == 0 ? qRgb(0, 0, 0) : PaletteColor(tag, 255);
        QCOMPARE(viewer.Image().pixel(63, 63), expected);
    }

    // A view that finds no palette draws with the colours the last view loaded.
    void colourTableKeptBetweenViews() {
        Opened archive({{"tex.raw", TextureBytes(4096)},
                        {"tex.act", PaletteBytes(9)},
                        {"other.raw", TextureBytes(4096)}});
        { Form5 first(archive); }
        archive.Record("other.raw");
        Form5 viewer(archive);
        QVERIFY(Shown(viewer));
        QCOMPARE(viewer.Image().pixel(63, 63), PaletteColor(9, 255));
        QVERIFY(Picture(viewer)->accessibleName().contains("no palette found"));
    }

    // 256 x 256 reaches the screen in 16 bands of 16 rows, each after a repaint; 64 x 64 once.
    void bandsRepaintAsTheyAreDrawn_data() {
        QTest::addColumn<int>("side");
        QTest::addColumn<QList<int>>("rows");
        QList<int> bands;
        for (int band = 1; band <= 16; ++band)
            bands << band * 16;
        QTest::newRow("256x256") << 256 << bands;
        QTest::newRow("64x64") << 64 << QList<int>{64};
    }
    void bandsRepaintAsTheyAreDrawn() {
        QFETCH(int, side);
        QFETCH(QList<int>, rows);
        Opened archive({{"tex.raw", TextureBytes(side * side)}});
        Form5 viewer(archive);
        QVERIFY(Shown(viewer));
        PaintCounter counter;
        Picture(viewer)->installEventFilter(&counter);
        QList<int> seen, paintsAtBand;
        connect(&viewer, &Form5::bandDrawn, this, [&](int drawn) {
            seen << drawn;
            paintsAtBand << counter.paints;
        });
        viewer.TextureDraw();
        QCOMPARE(seen, rows);
        for (int band = 0; band < paintsAtBand.size(); ++band)
            QCOMPARE(paintsAtBand[band], band + 1);  // one repaint before each band is told
    }

    // Showing the window draws the texture once, however the window system hands out the
    // focus; a later focus on the picture draws it again.
    void drawnOncePerShowing() {
        Opened archive({{"tex.raw", TextureBytes(256 * 256)}});
        Form5 viewer(archive);
        int bands = 0;
        connect(&viewer, &Form5::bandDrawn, this, [&] { ++bands; });
        viewer.show();
        viewer.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&viewer));
        QTRY_COMPARE(bands, 16);
        QCoreApplication::sendPostedEvents();  // the focus the activation gives, if still due
        QCoreApplication::processEvents();
        QCOMPARE(bands, 16);
        Picture(viewer)->clearFocus();
        Picture(viewer)->setFocus(Qt::MouseFocusReason);
        QCOMPARE(bands, 32);
    }

    void clickAndEscapeClose_data() {
        QTest::addColumn<QString>("how");
        QTest::addColumn<bool>("closes");
        QTest::newRow("left click") << "left" << true;
        QTest::newRow("Escape") << "Escape" << true;
        QTest::newRow("right click") << "right" << false;
    }
    void clickAndEscapeClose() {
        QFETCH(QString, how);
        QFETCH(bool, closes);
        Opened archive({{"tex.raw", TextureBytes(4096)}});
        Form5 viewer(archive);
        QVERIFY(Shown(viewer));
        if (how == "Escape")
            QTest::keyClick(Picture(viewer), Qt::Key_Escape);
        else
            QTest::mouseClick(Picture(viewer), how == "left" ? Qt::LeftButton : Qt::RightButton, {},
                              QPoint(100, 100));
        QCOMPARE(viewer.isVisible(), !closes);
    }

    // The keys 1, 2 and 4 and the menu zoom by whole pixels; the window grows with the picture.
    void zoomRepeatsPixels_data() {
        QTest::addColumn<int>("side");
        QTest::addColumn<int>("zoom");
        QTest::addColumn<bool>("byKey");
        for (int side : {64, 256}) {
            for (int zoom : {2, 4, 1}) {
                QTest::addRow("%d at %dx, key", side, zoom) << side << zoom << true;
                QTest::addRow("%d at %dx, menu", side, zoom) << side << zoom << false;
            }
        }
    }
    void zoomRepeatsPixels() {
        QFETCH(int, side);
        QFETCH(int, zoom);
        QFETCH(bool, byKey);
        Opened archive({{"tex.raw", TextureBytes(side * side)}, {"tex.act", PaletteBytes(3)}});
        Form5 viewer(archive);
        QVERIFY(Shown(viewer));
        const QSize before = viewer.size();
        viewer.SetZoom(zoom == 1 ? 2 : 1);  // start from another zoom
        if (byKey)
            QTest::keyClick(Picture(viewer), Qt::Key(Qt::Key_0 + zoom));
        else
            viewer.findChild<QAction*>(QString("menuZoom%1").arg(zoom))->trigger();
        QCOMPARE(viewer.Zoom(), zoom);
        const int area = std::max(256, side * zoom);
        QCOMPARE(viewer.Image().size(), QSize(area, area));
        QCOMPARE(viewer.size(), before + QSize(area - 256, area - 256));
        const QImage shown = Picture(viewer)->pixmap().toImage();
        // Texture pixel (255 % side, 255 / side) is colour 255 in every screen pixel it covers.
        const QPoint texel(255 % side, 255 / side);
        for (QPoint offset : {QPoint(0, 0), QPoint(zoom - 1, zoom - 1)})
            QCOMPARE(shown.pixel(texel * zoom + offset), PaletteColor(3, 255));
        QCOMPARE(shown.pixel(texel * zoom - QPoint(1, 0)), PaletteColor(3, 254));  // its neighbour
        QVERIFY(Picture(viewer)->accessibleName().contains(QString("zoom %1x").arg(zoom)));
    }

    // Save as PNG writes the texture at its own size, whatever the zoom; the file reads back.
    void saveAsPngRoundTrip() {
        Opened archive({{"ART\\tex.raw", TextureBytes(65536)}, {"ART\\tex.act", PaletteBytes(5)}},
                       "ART\\tex.raw");
        Form5 viewer(archive);
        QVERIFY(Shown(viewer));
        viewer.SetZoom(2);
        TestFolder folder;
        const QString path = folder.filePath("saved.png");
        QString suggested;
        WhenModal(
            [&](QWidget* modal) {
                auto* dialog = static_cast<QFileDialog*>(modal);
                suggested = dialog->selectedFiles().value(0);
                // Typed into the name box, as a user would: selectFile leaves a focused box be.
                dialog->findChild<QLineEdit*>("fileNameEdit")->setText(path);
                static_cast<QDialog*>(dialog)->accept();  // as the Save button does
            },
            "QFileDialog");
        viewer.findChild<QAction*>("menuSave")->trigger();
        QVERIFY2(suggested.endsWith("/tex.png"), qPrintable(suggested));
        const QImage saved(path);
        QCOMPARE(saved.size(), QSize(256, 256));
        for (QPoint at : {QPoint(0, 0), QPoint(255, 0), QPoint(17, 200), QPoint(255, 255)})
            QCOMPARE(saved.pixel(at), PaletteColor(5, (at.y() * 256 + at.x()) % 256));
    }

    void savePngFailureNamesTheFile() {
        Opened archive({{"tex.raw", TextureBytes(4096)}});
        Form5 viewer(archive);
        QVERIFY(Shown(viewer));
        TestFolder folder;
        const QString path = folder.filePath("missing/out.png");
        QString text, caption;
        AnswerMessage("OK", &text, &caption);
        QVERIFY(!viewer.SavePng(path));
        QVERIFY2(text.startsWith("Cannot write " + path + "\n\n"), qPrintable(text));
        QCOMPARE(caption, "Karvex32");
    }
};

QTEST_MAIN(TextureViewerTest)
#include "texture_viewer_test.moc"
