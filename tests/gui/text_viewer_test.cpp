// SPDX-License-Identifier: GPL-3.0-or-later
// The text viewer (Form11) over an archive in memory: its items as a screen reader hears
// them (the line rules themselves are in tests/viewers), and a long text in a window that
// the list follows.
#include <QAccessible>
#include <QListView>
#include <QTest>

#include "tests/core/fake_session.h"
#include "viewers/text_viewer.h"

using namespace karvex;
using namespace karvex::test;

namespace {

// An archive whose entry NOTES.TXT, recorded as right-clicked, holds `text`, and whose next
// entry starts with LF, so that a CR at the end of the text stands right before an LF that
// is not the text's.
struct ViewerFixture : FakeSession {
    explicit ViewerFixture(const std::string& text)
        : FakeSession({{"NOTES.TXT", text}, {"NEXT.TXT", "\nZZ\r\n"}}) {
        Record("NOTES.TXT");
    }
};

}  // namespace

class TextViewerTest : public QObject {
    Q_OBJECT

  private slots:
    void listsTheLines_data() {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QStringList>("items");
        QTest::newRow("empty line")
            << QByteArray("AB\r\n\r\nCD\r\n") << QStringList{"AB", " ", "CD"};
        QTest::newRow("CR at the end") << QByteArray("AB\r\nCD\r") << QStringList{"AB"};
        QTest::newRow("no break at all") << QByteArray("ABCD") << QStringList{};
        QTest::newRow("Latin-1") << QByteArray("\xE9t\xE9\r\n") << QStringList{"\u00E9t\u00E9"};
        // A row shows 64 KiB of its line, and an ellipsis when the line goes on. A line of
        // 64 KiB - 1 has its CR at the end of the first block read and its LF after it.
        QTest::newRow("64 KiB - 1, the break across blocks")
            << QByteArray(65535, 'a') + "\r\nB\r\n"
            << QStringList{QString(65535, 'a'), "B"};
        QTest::newRow("64 KiB") << QByteArray(65536, 'a') + "\r\nB\r\n"
                                << QStringList{QString(65536, 'a'), "B"};
        QTest::newRow("64 KiB + 1 goes on") << QByteArray(65537, 'a') + "\r\nB\r\n"
                                            << QStringList{QString(65536, 'a') + "\u2026", "B"};
    }
    void listsTheLines() {
        QFETCH(QByteArray, text);
        QFETCH(QStringList, items);
        ViewerFixture fixture(text.toStdString());
        Form11 viewer(fixture);
        QCOMPARE(viewer.windowTitle(), QString("NOTES.TXT"));
        auto* List1 = viewer.findChild<QListView*>("List1");
        QCOMPARE(List1->accessibleName(), QString("%1 lines of NOTES.TXT").arg(items.size()));
        QAccessible::setActive(true);
        QAccessibleInterface* list = QAccessible::queryAccessibleInterface(List1);
        QStringList heard;
        for (int i = 0; i < list->childCount(); ++i)
            heard << list->child(i)->text(QAccessible::Name);
        QCOMPARE(heard, items);
    }

    // A text of more lines than the list's window of rows: scrolled to its end, the window
    // moves on to the last line; scrolled back to the top, back to the first. List1 takes
    // the window's outer size less 125 x 400 twips (8 x 27 pixels), the room for a frame and
    // title bar; Escape closes the window.
    void windowMovesOverALongText() {
        const int lines = TextLinesModel::kWindowRows + 10;
        std::string text;
        for (int i = 1; i < lines; ++i)
            text += "\r\n";
        ViewerFixture fixture(text + "END\r\n");
        Form11 viewer(fixture);
        viewer.show();
        QVERIFY(QTest::qWaitForWindowExposed(&viewer));
        auto* List1 = viewer.findChild<QListView*>("List1");
        auto* model = qobject_cast<TextLinesModel*>(List1->model());
        QCOMPARE(List1->accessibleName(), QString("%1 lines of NOTES.TXT").arg(lines));
        QCOMPARE(model->rowCount(), TextLinesModel::kWindowRows);
        const int last = TextLinesModel::kWindowRows - 1;
        QCOMPARE(model->index(last, 0).data().toString(), " ");
        List1->scrollToBottom();
        QCOMPARE(model->FirstShown(), 10);
        QCOMPARE(model->index(last, 0).data().toString(), "END");
        List1->scrollToTop();
        QCOMPARE(model->FirstShown(), 0);
        QCOMPARE(model->index(0, 0).data().toString(), "");
        viewer.resize(200, 100);
        QTRY_COMPARE(viewer.size(), QSize(200, 100));
        const QSize outer = viewer.frameGeometry().size();
        QCOMPARE(List1->geometry(), QRect(0, 0, outer.width() - 8, outer.height() - 27));
        QTest::keyClick(List1, Qt::Key_Escape);
        QVERIFY(!viewer.isVisible());
    }
};

QTEST_MAIN(TextViewerTest)
#include "text_viewer_test.moc"
