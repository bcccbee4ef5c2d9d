// SPDX-License-Identifier: GPL-3.0-or-later
// The Textures window over an archive in memory; on a real file: tests/gui/edit_window_test.
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QListView>
#include <QTest>

#include "tests/core/fake_session.h"
#include "tests/gui/modal.h"
#include "tests/gui/test_folder.h"
#include "viewers/texture_thumbnails.h"
#include "viewers/textures_window.h"

using namespace karvex;
using namespace karvex::test;

namespace {

// A palette whose colour 5 is (r, g, b), the rest black.
std::string PaletteWith5(char r, char g, char b) {
    std::string bytes(768, '\0');
    bytes.replace(15, 3, {r, g, b});
    return bytes;
}

QImage Thumbnail(TexturesWindow& window, int row) {
    TextureThumbnails& model = window.Thumbnails();
    return model.data(model.index(row), Qt::DecorationRole).value<QPixmap>().toImage();
}

}  // namespace

class TexturesWindowTest : public QObject {
    Q_OBJECT

  private slots:
    // Of 300 textures only those the grid shows are decoded, and what a screen reader asks
    // for decodes none; scrolling decodes what comes into view.
    void decodesOnlyWhatIsShown() {
        std::vector<PodEntry> entries = {{"METALCR2.ACT", RampPalette()}};
        for (int i = 0; i < 300; ++i)
            entries.push_back({QString("T%1.RAW").arg(i, 3, 10, QChar('0')).toStdString(),
                               std::string(4096, char(i))});
        entries.push_back({"NOT.RAW", std::string(4097, 'x')});  // no texture's size
        FakeSession archive(entries);
        TexturesWindow window(archive);
        window.resize(500, 400);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        auto* grid = window.findChild<QListView*>("Grid");
        auto shown = [grid] {
            int count = 0;
            for (int row = 0; row < grid->model()->rowCount(); ++row)
                count += grid->viewport()->rect().intersects(
                    grid->visualRect(grid->model()->index(row, 0)));
            return count;
        };
        QTRY_VERIFY(window.Thumbnails().Decodes() > 0);
        QVERIFY(shown() > 2 && shown() < 30);
        QCOMPARE(window.Thumbnails().Decodes(), shown());
        const QStringList heard = Heard(grid);
        QCOMPARE(heard.size(), 300);
        QCOMPARE(heard.back(), QString("T299.RAW, 4,096 bytes"));
        QCOMPARE(window.Thumbnails().Decodes(), shown());
        QCOMPARE(window.findChild<QLabel*>("CountLabel")->text(), QString("300 textures"));
        const int first = window.Thumbnails().Decodes();
        grid->scrollToBottom();
        QTRY_COMPARE(window.Thumbnails().Decodes(), first + shown());
    }

    // The chooser draws every texture through the palette chosen, or each through its own;
    // one without a palette under the rule is marked, and says so.
    void chooserChangesWhatIsDrawn_data() {
        QTest::addColumn<int>("item");
        QTest::addColumn<QList<QRgb>>("colours");  // A.RAW, BIG.RAW (halved), N.RAW
        QTest::addColumn<bool>("marked");          // N.RAW
        QTest::addColumn<QString>("spoken");
        QTest::newRow("as the game would")
            << 0 << QList<QRgb>{qRgb(200, 0, 0), qRgb(0, 0, 9), qRgb(5, 5, 5)} << true
            << "Palette: As the game would";
        QTest::newRow("one for all")
            << 2 << QList<QRgb>{qRgb(0, 90, 0), qRgb(0, 90, 0), qRgb(0, 90, 0)} << false
            << "Palette: B.ACT";
    }
    void chooserChangesWhatIsDrawn() {
        QFETCH(int, item);
        QFETCH(QList<QRgb>, colours);
        QFETCH(bool, marked);
        FakeSession archive({{"A.RAW", std::string(4096, 5)},
                             {"A.ACT", PaletteWith5(char(200), 0, 0)},
                             {"B.ACT", PaletteWith5(0, 90, 0)},
                             {"BIG.RAW", std::string(65536, 5)},
                             {"BIG.ACT", PaletteWith5(0, 0, 9)},
                             {"N.RAW", std::string(4096, 5)}});
        TexturesWindow window(archive);
        auto* chooser = window.findChild<QComboBox*>("PaletteChooser");
        QCOMPARE(chooser->count(), 4);
        chooser->setCurrentIndex(item);
        QTEST(chooser->accessibleName(), "spoken");
        for (int row = 0; row < 3; ++row) {
            const QImage image = Thumbnail(window, row);
            QCOMPARE(image.size(), row == 1 ? QSize(128, 128) : QSize(64, 64));
            QCOMPARE(image.pixel(0, 0), colours[row]);
            QCOMPARE(image.pixel(63, 63) != colours[row], row == 2 && marked);  // the mark
        }
        TextureThumbnails& model = window.Thumbnails();
        QCOMPARE(model.data(model.index(2), TextureThumbnails::kNoPaletteRole).toBool(), marked);
        QCOMPARE(Heard(window.findChild<QListView*>("Grid"))[2],
                 QString("N.RAW, 4,096 bytes") + (marked ? ", no palette" : ""));
    }

    // A double-click opens the viewer on its texture; the selection is saved as PNG files.
    void viewsAndSaves() {
        FakeSession archive({{"A.RAW", std::string(4096, 5)},
                             {"S\\B.RAW", std::string(4096, 6)},
                             {"C.RAW", std::string(4096, 7)}});
        TexturesWindow window(archive);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        auto* grid = window.findChild<QListView*>("Grid");
        QString caption;
        WhenModal(
            [&](QWidget* viewer) {
                caption = viewer->windowTitle();
                viewer->close();
            },
            "karvex::Form5");
        const QPoint at = grid->visualRect(grid->model()->index(1, 0)).center();
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, at);
        QTRY_COMPARE(caption, QString("S\\B.RAW"));
        TestFolder folder;
        grid->selectionModel()->select(grid->model()->index(0, 0), QItemSelectionModel::Select);
        QVERIFY(window.SaveSelection(folder.path()));
        QCOMPARE(QDir(folder.path()).entryList(QDir::Files | QDir::AllDirs | QDir::NoDotAndDotDot),
                 QStringList({"A.png", "S"}));
        QCOMPARE(QDir(folder.filePath("S")).entryList(QDir::Files), QStringList{"B.png"});
        QCOMPARE(window.findChild<QLabel*>("StatusLabel")->text(),
                 "Saved 2 textures into " + folder.path());
    }
};

QTEST_MAIN(TexturesWindowTest)
#include "textures_window_test.moc"
