// SPDX-License-Identifier: GPL-3.0-or-later
// The texture viewer (Form5) over an archive in memory. Its logic: tests/viewers/texture_test.
#include <QAction>
#include <QCheckBox>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QTest>

#include <optional>
#include <tuple>

#include "tests/core/fake_session.h"
#include "tests/gui/fake_edits.h"
#include "tests/gui/modal.h"
#include "tests/gui/test_folder.h"
#include "viewers/png_writer.h"
#include "viewers/texture.h"
#include "viewers/texture_viewer.h"

using namespace karvex;
using namespace karvex::test;

namespace {

// Colour n of RampPalette().
QRgb Ramp(int n) {
    return qRgb(n, 255 - n, n / 2);
}

// A texture of `side` x `side` bytes whose pixel i is i % 256.
std::string TextureBytes(int side) {
    std::string bytes(static_cast<std::size_t>(side * side), '\0');
    for (std::size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = char(i % 256);
    return bytes;
}

// The archive, and the viewer over the entry `name` as a right-click records it, active (drawn).
struct Viewer {
    explicit Viewer(const std::vector<PodEntry>& entries, const std::string& name = "tex.raw",
                    bool show = true)
        : archive(entries) {
        archive.Record(name);
        form.emplace(archive);
        if (show) {
            form->show();
            QVERIFY(QTest::qWaitForWindowActive(&*form));
        }
    }
    QLabel* Picture() { return form->findChild<QLabel*>("Picture1"); }
    QImage Shown() { return Picture()->pixmap().toImage(); }
    FakeSession archive;
    std::optional<Form5> form;
};

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
    // Replace from PNG: the palette checked first, the file chosen with its Dither box, the
    // question, the import through the archive's palette and the new texture drawn.
    void replacesFromPng() {
        Viewer bare({{"tex.raw", TextureBytes(64)}});
        std::vector<std::string> calls;
        bare.form->SetEditor(FakeEdits(bare.archive, calls));
        QString refusal;
        AnswerMessage("OK", &refusal);
        bare.form->findChild<QAction*>("menuReplace")->trigger();  // no file dialog comes up
        QCOMPARE(refusal, "tex.raw: no palette to match the colours against");

        Viewer viewer({{"tex.raw", TextureBytes(256)}, {"tex.act", RampPalette()}});
        QVERIFY(!viewer.form->findChild<QAction*>("menuReplace")->isEnabled());
        viewer.form->SetEditor(FakeEdits(viewer.archive, calls));
        viewer.archive.Colors() = ColorTable{};  // as an earlier view may leave them: no match
        TestFolder folder;
        const QString path = folder.filePath("flat.png");
        std::FILE* file = std::fopen(QFile::encodeName(path).constData(), "wb");
        QVERIFY(file && WritePng(file, 256, 256,
                                 std::vector<std::uint32_t>(65536, 7 + 248 * 256 + 3 * 65536))
                            .IsDone());
        std::fclose(file);
        QStringList heard;
        WhenModal(
            [&](QWidget* modal) {
                auto* dither = modal->findChild<QCheckBox*>("OptionCheck");
                heard << dither->accessibleName();
                dither->setChecked(true);
                heard << dither->accessibleName();
                modal->findChild<QLineEdit*>("fileNameEdit")->setText(path);
                AnswerMessage("Yes", &refusal);
                static_cast<QDialog*>(modal)->accept();
            },
            "QFileDialog");
        viewer.form->findChild<QAction*>("menuReplace")->trigger();
        QCOMPARE(heard, QStringList({"Dither: off", "Dither: on"}));
        QCOMPARE(refusal, "Replace tex.raw with " + path + "?");
        QCOMPARE(calls, std::vector<std::string>{"replace tex.raw#0, 65536 bytes"});
        QCOMPARE(viewer.archive.bytes.substr(84 + 80, 65536), std::string(65536, '\7'));
        QCOMPARE(viewer.Shown().pixel(200, 100), Ramp(7));
    }

    // The sizes refused are the logic's to check (tests/viewers): here one, and what is shown.
    void wrongSizeShowsMessageAndEmptyPicture() {
        QString text, caption;
        AnswerMessage("OK", &text, &caption);
        Viewer viewer({{"tex.raw", std::string(4097, 1)}, {"tex.act", RampPalette()}});
        QCOMPARE(text, QString(kTextureSizeText));
        QCOMPARE(caption, "Karvex32");
        QCOMPARE(viewer.form->windowTitle(), "tex.raw");
        QCOMPARE(viewer.form->TextureSide(), 0);
        const QImage shown = viewer.Shown();
        for (QPoint at : {QPoint(63, 63), QPoint(255, 255)})
            QCOMPARE(shown.pixel(at), shown.pixel(0, 0));
        QCOMPARE(viewer.archive.Colors().values, ColorTable{}.values);  // no palette read either
        QVERIFY(viewer.Picture()->accessibleName().contains("not shown"));
    }

    // Bytes 0 and 255 take the own palette's colours 0 and 255; 256 x 256 is drawn in 16 bands.
    void pixelsAndBands() {
        for (auto [side, bands] : {std::pair{64, 1}, std::pair{256, 16}}) {
            Viewer viewer({{"tex.raw", TextureBytes(side)}, {"tex.act", RampPalette()}});
            QCOMPARE(viewer.form->TextureSide(), side);
            for (const QImage& image : {viewer.form->Image(), viewer.Shown()}) {
                QCOMPARE(image.pixel(0, 0), Ramp(0));
                QCOMPARE(image.pixel(255 % side, 255 / side), Ramp(255));
                QCOMPARE(image.pixel(side - 1, side - 1), Ramp(255));
            }
            if (side == 64)  // the rest of the area stays clear
                QCOMPARE(viewer.form->Image().pixel(64, 64),
                         viewer.Picture()->palette().color(QPalette::Window).rgb());
            QCOMPARE(viewer.Picture()->accessibleName(),
                     QString("Texture tex.raw, %1 by %1 pixels, zoom 1x, colours from tex.act")
                         .arg(side));
            PaintCounter counter;
            viewer.Picture()->installEventFilter(&counter);
            QList<int> seen, expected;
            connect(&*viewer.form, &Form5::bandDrawn, this, [&](int drawn) {
                seen << drawn;
                QCOMPARE(counter.paints, seen.size());  // one repaint before each band is told
            });
            viewer.form->TextureDraw();
            for (int band = 1; band <= bands; ++band)
                expected << band * side / bands;
            QCOMPARE(seen, expected);
        }
    }

    // A view that finds no palette draws with the colours the last view loaded, and says so.
    void colourTableKeptBetweenViews() {
        Viewer first({{"tex.raw", TextureBytes(64)},
                      {"tex.act", RampPalette()},
                      {"other.raw", TextureBytes(64)}},
                     "tex.raw", false);
        first.archive.Record("other.raw");
        Form5 other(first.archive);
        other.show();
        QVERIFY(QTest::qWaitForWindowActive(&other));
        QCOMPARE(other.Image().pixel(63, 63), Ramp(255));
        QVERIFY(
            other.findChild<QLabel*>("Picture1")->accessibleName().contains("no palette found"));
        QTest::mouseClick(other.findChild<QLabel*>("Picture1"), Qt::LeftButton);
        QVERIFY(!other.isVisible());  // a left click closes
    }

    // A key and the menu zoom by whole pixels; the window grows with the picture.
    void zoomRepeatsPixels() {
        for (auto [side, zoom, byKey] : {std::tuple{64, 4, true}, std::tuple{256, 2, false}}) {
            Viewer viewer({{"tex.raw", TextureBytes(side)}, {"tex.act", RampPalette()}});
            Form5& form = *viewer.form;
            const QSize before = form.size();
            if (byKey)
                QTest::keyClick(viewer.Picture(), Qt::Key(Qt::Key_0 + zoom));
            else
                form.findChild<QAction*>(QString("menuZoom%1").arg(zoom))->trigger();
            QCOMPARE(form.Zoom(), zoom);
            const int area = std::max(256, side * zoom);
            QCOMPARE(form.Image().size(), QSize(area, area));
            QCOMPARE(form.size(), before + QSize(area - 256, area - 256));
            const QImage shown = viewer.Shown();
            const QPoint texel(255 % side, 255 / side);
            for (QPoint offset : {QPoint(0, 0), QPoint(zoom - 1, zoom - 1)})
                QCOMPARE(shown.pixel(texel * zoom + offset), Ramp(255));
            QCOMPARE(shown.pixel(texel * zoom - QPoint(1, 0)), Ramp(254));  // its neighbour
            QVERIFY(viewer.Picture()->accessibleName().contains(QString("zoom %1x").arg(zoom)));
        }
    }

    // At 4x a 256 x 256 texture outgrows the screen: the window takes the available area
    // and the picture scrolls to its far corner, and stays there when drawn again. At 1x
    // nothing scrolls.
    void zoomTallerThanTheScreenScrolls() {
        Viewer viewer({{"tex.raw", TextureBytes(256)}, {"tex.act", RampPalette()}});
        auto* scroll = viewer.form->findChild<QScrollArea*>("PictureScroll");
        QCOMPARE(scroll->verticalScrollBar()->maximum(), 0);
        viewer.form->SetZoom(4);
        const QRect room = viewer.form->screen()->availableGeometry();
        QVERIFY(room.height() < 1025);
        QVERIFY(viewer.form->frameGeometry().height() <= room.height());
        QCOMPARE(viewer.Shown().size(), QSize(1024, 1024));
        scroll->verticalScrollBar()->setValue(scroll->verticalScrollBar()->maximum());
        scroll->horizontalScrollBar()->setValue(scroll->horizontalScrollBar()->maximum());
        viewer.form->Picture1_GotFocus();  // drawn again
        const QPoint corner = scroll->viewport()->rect().bottomRight() - QPoint(2, 2);
        QCOMPARE(viewer.Picture()->mapFrom(scroll->viewport(), corner).y() / 4, 255);
    }

    // Save as PNG writes the texture at its own size, whatever the zoom, as an indexed PNG; a
    // failed write is named.
    void saveAsPng() {
        Viewer viewer({{"ART\\tex.raw", TextureBytes(256)}, {"ART\\tex.act", RampPalette()}},
                      "ART\\tex.raw");
        viewer.form->SetZoom(2);
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
        viewer.form->findChild<QAction*>("menuSave")->trigger();
        QVERIFY2(suggested.endsWith("/tex.png"), qPrintable(suggested));
        const QImage saved(path);
        QCOMPARE(saved.size(), QSize(256, 256));
        QCOMPARE(saved.format(), QImage::Format_Indexed8);  // the texture's bytes and palette
        for (QPoint at : {QPoint(0, 0), QPoint(255, 0), QPoint(17, 200), QPoint(255, 255)})
            QCOMPARE(saved.pixel(at), Ramp((at.y() * 256 + at.x()) % 256));

        const QString missing = folder.filePath("missing/out.png");
        QString text, caption;
        AnswerMessage("OK", &text, &caption);
        QVERIFY(!viewer.form->SavePng(missing));
        QVERIFY2(text.startsWith("Cannot write " + missing + "\n\n"), qPrintable(text));
        QCOMPARE(caption, "Karvex32");
    }
};

QTEST_MAIN(TextureViewerTest)
#include "texture_viewer_test.moc"
