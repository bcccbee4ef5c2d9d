// SPDX-License-Identifier: GPL-3.0-or-later
// The search window (Form12): its heights, the result lists and counter, the options' rules,
// selecting in the main window, stopping a search. The archive is in memory, but a file the
// test writes where the search reads its contents or selects in the main window.
#include <QAbstractButton>
#include <QCheckBox>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QTest>
#include <QTimer>

#include "mainwindow/main_window.h"
#include "platform/twips.h"
#include "search/search_window.h"
#include "tests/core/fake_session.h"
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

QStringList Rows(Form12& window, const char* list) {
    QStringList rows;
    const QAbstractItemModel* model = window.findChild<QListView*>(list)->model();
    for (int row = 0; row < model->rowCount(); ++row)
        rows << model->index(row, 0).data().toString();
    return rows;
}

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
    void opensCollapsedAndEmpty() {
        FakeSession archive(kEntries);
        Form12 window(archive);
        window.show();
        QCOMPARE(window.windowTitle(), QString("Karvex32  -  Search"));
        QCOMPARE(window.height(), kCollapsed);
        QVERIFY(!window.findChild<QListView*>("List1")->isVisible());
        QCOMPARE(Text(window, "Label2"), QString());
        QCOMPARE(Text(window, "Label4"), QString());
        QCOMPARE(Text(window, "Label3"), "Name" + QString(52, ' ') + "Size");
        window.findChild<QLineEdit*>("Text1")->clear();
        window.Command3D1_Click();  // an empty box starts nothing
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
        QTest::newRow("name, any case")
            << "CAR" << QStringList{} << QStringList{"car.raw", "CAR.ACT"}
            << QStringList{"4,096", "768"};
        QTest::newRow("name, match case")
            << "CAR" << QStringList{"Check3D2"} << QStringList{"CAR.ACT"} << QStringList{"768"};
        QTest::newRow("trailing blanks go, leading stay")
            << " car  " << QStringList{} << QStringList{} << QStringList{};
        QTest::newRow("size") << "4096" << QStringList{"Check3D3"}
                              << QStringList{"car.raw", "big.raw"}
                              << QStringList{"4,096", "14,096"};
        QTest::newRow("contents") << "truck" << QStringList{"Check3D4"}
                                  << QStringList{"truck.txt", "horn.wav"}
                                  << QStringList{"13", "10"};
        QTest::newRow("contents wins over size")
            << "truck" << QStringList{"Check3D3", "Check3D4", "Check3D3"}
            << QStringList{"truck.txt", "horn.wav"} << QStringList{"13", "10"};
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
        QCOMPARE(Rows(window, "List1"), names);
        QCOMPARE(Rows(window, "List2"), sizes);
        QCOMPARE(Text(window, "Label2"), QString("%1 Found").arg(names.size()));
        QCOMPARE(window.findChild<QLabel*>("Label2")->accessibleName(), Text(window, "Label2"));
        QCOMPARE(Text(window, "Label4"), QString("Finished"));
        // Found: the results come into view; nothing found: the height stays.
        QCOMPARE(window.height(), names.isEmpty() ? kCollapsed : kExpanded);
    }

    void contentsClearsSize() {
        FakeSession archive(kEntries);
        Form12 window(archive);
        auto* bySize = window.findChild<QCheckBox*>("Check3D3");
        auto* contents = window.findChild<QCheckBox*>("Check3D4");
        bySize->click();
        contents->click();
        QVERIFY(!bySize->isChecked());
        bySize->click();  // may be checked again; the contents still win
        QVERIFY(bySize->isChecked() && contents->isChecked());
        contents->click();
        QVERIFY(bySize->isChecked());
    }

    // Found entries are added to the main window's selection, in both lists; the entries
    // already selected stay selected.
    void selectsMatchingFilesInTheMainWindow() {
        TestFolder folder;
        folder.Write("game.pod", PodBytes(kEntries));
        ArchiveSession session;
        Form1 main(session);
        main.show();
        main.Startup(folder.filePath("game.pod"));
        auto* names = main.findChild<QListView*>("List1");
        names->selectionModel()->select(names->model()->index(2, 0), QItemSelectionModel::Select);
        Form12 window(session, &main);
        window.show();
        Search(window, "car", {"Check3D1"});
        QCOMPARE(session.Table().SelectedCount(), 3);
        for (const char* list : {"List1", "List2"}) {
            QList<int> rows;
            for (const QModelIndex& index :
                 main.findChild<QListView*>(list)->selectionModel()->selectedRows())
                rows << index.row();
            std::sort(rows.begin(), rows.end());
            QCOMPARE(rows, (QList<int>{0, 1, 2}));
        }
    }

    void rowsFollowEachOther() {
        FakeSession archive(kEntries);
        Form12 window(archive);
        window.show();
        Search(window, "a");
        auto* sizes = window.findChild<QListView*>("List2");
        auto* names = window.findChild<QListView*>("List1");
        sizes->setCurrentIndex(sizes->model()->index(2, 0));
        QCOMPARE(names->currentIndex().row(), 2);
        names->setCurrentIndex(names->model()->index(1, 0));
        QCOMPARE(sizes->currentIndex().row(), 1);
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
        int stepsSeen = 0;
        QTimer::singleShot(0, &window, [&] {
            stepsSeen = Text(window, "Label4").startsWith("Searching") ? 1 : 0;
            QVERIFY(window.IsSearching());
            if (again) {
                window.findChild<QLineEdit*>("Text1")->setText("file1999");
                window.Command3D1_Click();
            } else {
                window.Command3D2_Click();
            }
        });
        Search(window, "file");
        QCOMPARE(stepsSeen, 1);
        QVERIFY(!window.IsSearching());
        if (again) {
            QCOMPARE(Rows(window, "List1"), QStringList{"file1999.raw"});
            QCOMPARE(Text(window, "Label4"), QString("Finished"));
        } else {
            QVERIFY(!window.isVisible());
            QVERIFY(Text(window, "Label4") != "Finished");
        }
    }
};

QTEST_MAIN(SearchWindowTest)
#include "search_window_test.moc"
