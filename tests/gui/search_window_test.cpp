// SPDX-License-Identifier: GPL-3.0-or-later
// The search window (Form12) over an archive in memory: its heights, the result lists and
// counter, the options' rules, selecting in the main window, stopping a search.
#include <QAbstractButton>
#include <QCheckBox>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QTest>
#include <QTimer>

#include "platform/twips.h"
#include "search/search_window.h"
#include "tests/gui/modal.h"
#include "tests/gui/test_folder.h"

using namespace karvex;
using namespace karvex::test;

namespace {

const std::vector<PodEntry> kEntries = {
    {"car.raw", std::string(4096, 'c')}, {"CAR.ACT", std::string(768, 'p')},
    {"truck.txt", "a red TRUCK\r\n"},    {"big.raw", std::string(14096, 'b')},
    {"horn.wav", "RIFF truck"},
};

// The client heights of the two window heights: the window's less its 405-twip frame.
const int kCollapsed = platform::Px(Form12::kCollapsedTwips - 405);
const int kExpanded = platform::Px(Form12::kExpandedTwips - 405);

QString Text(Form12& window, const char* label) {
    return window.findChild<QLabel*>(label)->text();
}

void Search(Form12& window, const QString& text, const QStringList& checks = {}) {
    window.findChild<QLineEdit*>("Text1")->setText(text);
    for (const QString& check : checks)
        window.findChild<QCheckBox*>(check)->click();
    window.Command3D1_Click();
}

}  // namespace

class SearchWindowTest : public QObject {
    Q_OBJECT

  private slots:
    // An empty box starts nothing; the arrow expands and collapses the window.
    void opensCollapsedAndEmpty() {
        FakeSession archive(kEntries);
        Form12 window(archive);
        window.show();
        QCOMPARE(window.windowTitle(), QString("Karvex32  -  Search"));
        QCOMPARE(window.height(), kCollapsed);
        QCOMPARE(Text(window, "Label3"), "Name" + QString(52, ' ') + "Size");
        Search(window, "");
        QCOMPARE(Text(window, "Label4"), QString());
        window.Command3D3_Click();
        QCOMPARE(window.height(), kExpanded);
        QCOMPARE(window.findChild<QAbstractButton*>("Command3D3")->accessibleName(),
                 QString("Hide the results"));
        window.Command3D3_Click();
        QCOMPARE(window.height(), kCollapsed);
    }

    void findsAndLists_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("checks");
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<QStringList>("sizes");
        // clang-format off
        QTest::newRow("name, match case") << "CAR" << QStringList{"Check3D2"}
            << QStringList{"CAR.ACT"} << QStringList{"768"};
        QTest::newRow("nothing found") << " car  " << QStringList{} << QStringList{}
            << QStringList{};
        QTest::newRow("size") << "4096" << QStringList{"Check3D3"}
            << QStringList{"car.raw", "big.raw"} << QStringList{"4,096", "14,096"};
        // Contents clears size; size ticked again, the contents still win.
        QTest::newRow("contents wins over size") << "truck"
            << QStringList{"Check3D3", "Check3D4", "Check3D3"}
            << QStringList{"truck.txt", "horn.wav"} << QStringList{"13", "10"};
        // clang-format on
    }
    void findsAndLists() {
        QFETCH(QString, text);
        QFETCH(QStringList, checks);
        QFETCH(QStringList, names);
        QFETCH(QStringList, sizes);
        FakeSession archive(kEntries);
        Form12 window(archive);
        window.show();
        Search(window, text, checks);
        QCOMPARE(ListRows(window, "List1"), names);
        QCOMPARE(ListRows(window, "List2"), sizes);
        QCOMPARE(Text(window, "Label2"), QString("%1 Found").arg(names.size()));
        QCOMPARE(window.findChild<QLabel*>("Label2")->accessibleName(), Text(window, "Label2"));
        QCOMPARE(Text(window, "Label4"), QString("Finished"));
        // Found: the results come into view; nothing found: the height stays.
        QCOMPARE(window.height(), names.isEmpty() ? kCollapsed : kExpanded);
        if (checks.size() > 1)
            QVERIFY(window.findChild<QCheckBox*>("Check3D3")->isChecked());
    }

    // Found entries are added to the main window's selection (truck.txt stays selected), and
    // the rows of the two result lists follow each other.
    void selectsInTheMainWindowAndRowsFollow() {
        FakeWindow fake(kEntries);
        QVERIFY(fake.Start());
        auto* names = fake.window.findChild<QListView*>("List1");
        names->selectionModel()->select(names->model()->index(2, 0), QItemSelectionModel::Select);
        Form12 window(fake.session, &fake.window);
        window.show();
        Search(window, "car", {"Check3D1"});
        QCOMPARE(fake.session.Table().SelectedCount(), 3);
        QCOMPARE(
            fake.window.findChild<QListView*>("List2")->selectionModel()->selectedRows().size(), 3);
        auto* found = window.findChild<QListView*>("List1");
        auto* sizes = window.findChild<QListView*>("List2");
        sizes->setCurrentIndex(sizes->model()->index(1, 0));
        QCOMPARE(found->currentIndex().row(), 1);
        found->setCurrentIndex(found->model()->index(0, 0));
        QCOMPARE(sizes->currentIndex().row(), 0);
    }

    // Search pressed again while a search runs stops it and starts the new one; Cancel
    // stops it and closes the window.
    void stopsARunningSearch_data() {
        QTest::addColumn<bool>("again");
        QTest::newRow("Search again") << true;
        QTest::newRow("Cancel") << false;
    }
    void stopsARunningSearch() {
        QFETCH(bool, again);
        std::vector<PodEntry> many;
        for (int i = 0; i < 2000; ++i)
            many.push_back({"file" + std::to_string(i) + ".raw", "x"});
        FakeSession archive(many);
        Form12 window(archive);
        window.show();
        bool stepSeen = false;
        QTimer::singleShot(0, &window, [&] {
            stepSeen = Text(window, "Label4").startsWith("Searching") && window.IsSearching();
            if (again)
                Search(window, "file1999");
            else
                window.Command3D2_Click();
        });
        Search(window, "file");
        QVERIFY(stepSeen);
        QVERIFY(!window.IsSearching());
        QCOMPARE(window.isVisible(), again);
        if (again)
            QCOMPARE(ListRows(window, "List1"), QStringList{"file1999.raw"});
        QCOMPARE(Text(window, "Label4") == "Finished", again);
    }
};

QTEST_MAIN(SearchWindowTest)
#include "search_window_test.moc"
