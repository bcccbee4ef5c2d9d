// SPDX-License-Identifier: GPL-3.0-or-later
// The bitmap viewer (Form14) over picture files the test makes: the window fitted to the
// picture and snapping back after a resize, what closes it, and files that are no picture.
#include <QBuffer>
#include <QImage>
#include <QLabel>
#include <QTest>

#include "platform/twips.h"
#include "tests/core/test_support.h"
#include "viewers/bitmap_viewer.h"

using namespace karvex;
using namespace karvex::test;

namespace {

// The room for a frame and title bar: 125 x 400 twips.
const QSize kFrameRoom(platform::Px(125), platform::Px(400));

QByteArray Encoded(QSize size, const char* format = "BMP") {
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::darkCyan);
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return buffer.data();
}

// The copy the caller makes, in a folder of its own.
struct BitmapFixture {
    explicit BitmapFixture(const QByteArray& bytes) {
        session.State().SelectedName = "ART\\LOGO.BMP";
        WriteBytes(dir / "karvex.bmp", bytes.toStdString());
    }
    QString path() const { return QString::fromStdString((dir / "karvex.bmp").string()); }
    TempDir dir;
    ArchiveSession session;
};

}  // namespace

class BitmapViewerTest : public QObject {
    Q_OBJECT

  private slots:
    // The window fits the picture and snaps back after a drag; all but a right click close it.
    void windowFitsThePicture() {
        using Row = std::tuple<QSize, QSize, QString>;  // picture, window dragged to, how closed
        for (const auto& [picture, dragged, how] :
             {Row{{64, 32}, {500, 400}, "picture"}, Row{{1, 1}, {20, 20}, "right"},
              Row{{640, 480}, {300, 507}, "beside"}, Row{{2, 600}, {50, 50}, "Escape"}}) {
            BitmapFixture fixture(Encoded(picture));
            Form14 viewer(fixture.session, fixture.path());
            viewer.show();
            QVERIFY(viewer.IsLoaded() && QTest::qWaitForWindowExposed(&viewer));
            auto* Picture1 = viewer.findChild<QLabel*>("Picture1");
            QCOMPARE(Picture1->geometry(), QRect(QPoint(0, 0), picture));
            QCOMPARE(viewer.frameGeometry().size(), picture + kFrameRoom);
            QCOMPARE(viewer.windowTitle(), QString("ART\\LOGO.BMP"));
            QCOMPARE(Picture1->accessibleName(), QString("ART\\LOGO.BMP, %1 x %2 pixels")
                                                     .arg(picture.width())
                                                     .arg(picture.height()));
            viewer.resize(dragged);
            QTRY_COMPARE(viewer.frameGeometry().size(), picture + kFrameRoom);
            if (how == "Escape")
                QTest::keyClick(&viewer, Qt::Key_Escape);
            else if (how == "beside")
                QTest::mouseClick(&viewer, Qt::LeftButton, {}, QPoint(2, picture.height() + 10));
            else
                QTest::mouseClick(Picture1, how == "right" ? Qt::RightButton : Qt::LeftButton);
            QCOMPARE(viewer.isVisible(), how == "right");
        }
    }

    // The content decides, not the name.
    void loadsOnlyPictures() {
        for (const auto& [bytes, loaded] :
             {std::pair{Encoded({8, 8}, "PNG"), true}, std::pair{Encoded({64, 32}).left(30), false},
              std::pair{QByteArray(""), false}}) {
            BitmapFixture fixture(bytes);
            QCOMPARE(Form14(fixture.session, fixture.path()).IsLoaded(), loaded);
        }
    }
};

QTEST_MAIN(BitmapViewerTest)
#include "bitmap_viewer_test.moc"
