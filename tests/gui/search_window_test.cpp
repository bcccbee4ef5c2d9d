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

const std::vector<PodEntry> kEntries = {{"car.raw", std::string(4096, 'c')},
                                        {"CAR.ACT", std::string(768, 'p')},
                                        {"truck.txt", "a red TRUCK\r\n"},
                                        {"horn.wav", "RIFF truck"}};

// The client heights: the window's less its 405-twip frame.
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
    // Found, the results come into view; contents clears size, and ticked again still wins.
    void findsAndLists() {
        const QStringList none, both{"Check3D3", "Check3D4", "Check3D3"};
        for (const auto& [text, checks, names, sizes] :
             {std::tuple<QString, QStringList, QStringList, QStringList>{" car  ", none, none,
                                                                         none},
              {"truck", both, {"truck.txt", "horn.wav"}, {"13", "10"}}}) {
            FakeSession archive(kEntries);
            Form12 window(archive);
            window.show();
            QCOMPARE(window.windowTitle(), QString("Karvex32  -  Search"));
            QCOMPARE(Text(window, "Label3"), "Name" + QString(52, ' ') + "Size");
            QCOMPARE(window.height(), kCollapsed);
            Search(window, "");
            QCOMPARE(Text(window, "Label4"), QString());
            Search(window, text, checks);
            QCOMPARE(ListRows(window, "List1"), names);
            QCOMPARE(ListRows(window, "List2"), sizes);
            QCOMPARE(Text(window, "Label2"), QString("%1 Found").arg(names.size()));
            QCOMPARE(window.findChild<QLabel*>("Label2")->accessibleName(), Text(window, "Label2"));
            QCOMPARE(Text(window, "Label4"), QString("Finished"));
            QCOMPARE(window.findChild<QCheckBox*>("Check3D3")->isChecked(), !checks.isEmpty());
            QCOMPARE(window.height(), names.isEmpty() ? kCollapsed : kExpanded);
            window.Command3D3_Click();
            QCOMPARE(window.height(), names.isEmpty() ? kExpanded : kCollapsed);
            QCOMPARE(window.findChild<QAbstractButton*>("Command3D3")->accessibleName(),
                     names.isEmpty() ? "Hide the results" : "Show the results");
        }
    }

    // Found entries join the main window's selection, and the two lists' rows follow each other.
    void selectsInTheMainWindowAndRowsFollow() {
        FakeWindow fake(kEntries);
        QVERIFY(fake.Start());
        auto* names = fake.window.findChild<QListView*>("List1");
        names->selectionModel()->select(names->model()->index(2, 0), QItemSelectionModel::Select);
        Form12 window(fake.session, &fake.window);
        window.show();
        Search(window, "car", {"Check3D1"});
        QCOMPARE(fake.session.Table().SelectedCount(), 3);
        auto* sizes = window.findChild<QListView*>("List2");
        sizes->setCurrentIndex(sizes->model()->index(1, 0));
        QCOMPARE(window.findChild<QListView*>("List1")->currentIndex().row(), 1);
    }

    // Search again stops a running search and starts the new one; Cancel stops it and closes.
    void stopsARunningSearch() {
        for (bool again : {true, false}) {
            std::vector<PodEntry> many;
            for (int i = 0; i < 2000; ++i)
                many.push_back({"file" + std::to_string(i) + ".raw", "x"});
            FakeSession archive(many);
            Form12 window(archive);
            window.show();
            bool stepSeen = false;
            QTimer::singleShot(0, &window, [&] {
                stepSeen = Text(window, "Label4").startsWith("Searching") && window.IsSearching();
                again ? Search(window, "file1999") : window.Command3D2_Click();
            });
            Search(window, "file");
            QVERIFY(stepSeen && !window.IsSearching());
            QCOMPARE(window.isVisible(), again);
            if (again)
                QCOMPARE(ListRows(window, "List1"), QStringList{"file1999.raw"});
            QCOMPARE(Text(window, "Label4") == "Finished", again);
        }
    }
};

QTEST_MAIN(SearchWindowTest)
#include "search_window_test.moc"
