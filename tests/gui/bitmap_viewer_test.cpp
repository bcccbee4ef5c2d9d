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
    void windowFitsThePicture_data() {
        QTest::addColumn<QSize>("picture");
        QTest::addColumn<QSize>("dragged");
        QTest::addColumn<QString>("how");
        QTest::newRow("64 x 32, click on it") << QSize(64, 32) << QSize(500, 400) << "picture";
        QTest::newRow("1 x 1, right click") << QSize(1, 1) << QSize(20, 20) << "right";
        QTest::newRow("640 x 480, beside") << QSize(640, 480) << QSize(300, 507) << "beside";
        QTest::newRow("2 x 600, Escape") << QSize(2, 600) << QSize(50, 50) << "Escape";
    }
    void windowFitsThePicture() {
        QFETCH(QSize, picture);
        QFETCH(QSize, dragged);
        QFETCH(QString, how);
        BitmapFixture fixture(Encoded(picture));
        Form14 viewer(fixture.session, fixture.path());
        viewer.show();
        QVERIFY(viewer.IsLoaded() && QTest::qWaitForWindowExposed(&viewer));
        auto* Picture1 = viewer.findChild<QLabel*>("Picture1");
        QCOMPARE(Picture1->geometry(), QRect(QPoint(0, 0), picture));
        QCOMPARE(viewer.frameGeometry().size(), picture + kFrameRoom);
        QCOMPARE(viewer.windowTitle(), QString("ART\\LOGO.BMP"));
        QCOMPARE(
            Picture1->accessibleName(),
            QString("ART\\LOGO.BMP, %1 x %2 pixels").arg(picture.width()).arg(picture.height()));
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

    // The content decides, not the name.
    void loadsOnlyPictures_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("loaded");
        QTest::newRow("PNG named .bmp") << Encoded({8, 8}, "PNG") << true;
        QTest::newRow("bitmap cut short") << Encoded({64, 32}).left(30) << false;
        QTest::newRow("empty file") << QByteArray("") << false;
    }
    void loadsOnlyPictures() {
        QFETCH(QByteArray, bytes);
        QFETCH(bool, loaded);
        BitmapFixture fixture(bytes);
        QCOMPARE(Form14(fixture.session, fixture.path()).IsLoaded(), loaded);
    }
};

QTEST_MAIN(BitmapViewerTest)
#include "bitmap_viewer_test.moc"
