// SPDX-License-Identifier: GPL-3.0-or-later
// The text viewer (Form11) over an archive in memory: its items as a screen reader hears them
// (the line rules themselves are in tests/viewers), and a long text the list's window follows.
#include <QListView>
#include <QTest>

#include "tests/core/fake_session.h"
#include "tests/gui/modal.h"
#include "viewers/text_viewer.h"

using namespace karvex;
using namespace karvex::test;

namespace {

// NOTES.TXT holds `text`, recorded as right-clicked.
struct ViewerFixture : FakeSession {
    explicit ViewerFixture(const std::string& text) : FakeSession({{"NOTES.TXT", text}}) {
        Record("NOTES.TXT");
    }
};

}  // namespace

class TextViewerTest : public QObject {
    Q_OBJECT

  private slots:
    // A row shows 64 KiB of its line, and an ellipsis when the line goes on.
    void listsTheLines() {
        const QByteArray full(65536, 'a');
        using Row = std::pair<QByteArray, QStringList>;  // 64 KiB shown whole, then one more
        for (const auto& [text, items] :
             {Row{"ABCD", {}}, Row{"\xE9t\xE9\r\n", {"\u00E9t\u00E9"}},
              Row{full + "\r\nB\r\n", {QString(full), "B"}},
              Row{full + "a\r\nB\r\n", {QString(full) + "\u2026", "B"}}}) {
            ViewerFixture fixture(text.toStdString());
            Form11 viewer(fixture);
            QCOMPARE(viewer.windowTitle(), QString("NOTES.TXT"));
            auto* List1 = viewer.findChild<QListView*>("List1");
            QCOMPARE(List1->accessibleName(), QString("%1 lines of NOTES.TXT").arg(items.size()));
            QCOMPARE(Heard(List1), items);
        }
    }

    // The list's window of rows follows the scrolling; List1 takes the window less 8 x 27 pixels.
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
