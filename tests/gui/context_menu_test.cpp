// SPDX-License-Identifier: GPL-3.0-or-later
// The lists' pop-up menu: what a right-click records and enables, View, Open in Notepad and
// the copies they make.
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QMessageBox>
#include <QTimer>

#include "tests/gui/window_fixture.h"
#include "viewers/wave_player.h"

using namespace karvex;
using namespace karvex::test;

class ContextMenuTest : public QObject, public WindowFixture {
    Q_OBJECT

  private slots:
    void initTestCase() { SetUpTestCase(); }
    void init() { QVERIFY(m_folder.MakeCurrent()); }
    void cleanup() { Reset(); }

    // The lowest selected entry is recorded whichever list is clicked; the items follow its kind.
    void recordsTheLowestSelectedEntry() {
        using Row = std::tuple<QString, QList<int>, const char*, QString>;
        const QString pod = "test.pod";
        // clang-format off
        for (const auto& [file, rows, list, recorded] : {
                 Row{pod, {}, "List1", " |0|0|5|-N-S"},
                 Row{pod, {0}, "List2", "A.RAW|2|284|0|VN-S"},
                 Row{pod, {3, 1}, "List1", "readme.txt.bin|4|286|1|VNES"},
                 Row{pod, {2}, "List1", "TRUCK.TRK|1|290|2|-NES"},
                 Row{"test.lst", {0}, "List1", "A.RAW|2|284|0|----"}}) {
            // clang-format on
            m_fake.reset();
            Open(rows, file, list);
            QTRY_VERIFY(Menu()->isVisible());
            QCOMPARE(Recorded(), recorded);
            Menu()->close();
            QCOMPARE(m_fake->session.Table().SelectedCount(), int(rows.size()));  // kept
            if (!rows.isEmpty())
                continue;
            bool asked = false;  // Open in Notepad with nothing recorded hands nothing over
            QTimer::singleShot(0, [&] {
                QWidget* box = QApplication::activeModalWidget();
                asked = box && box->close();
            });
            m_shown->menuNotepad_Click();
            QCoreApplication::processEvents();
            QVERIFY(!asked);
            QCOMPARE(m_fake->Calls(), QString());
        }
    }

    // On an archive on disk, as ctest runs it once more through a real X server.
    void escapeFromSearchLeavesTheMenuWorking() {
        Write("menu.pod", PodBytes(kGame));
        Form1& window = Window();
        QVERIFY(window.Startup(m_folder.filePath("menu.pod")));
        Select(*m_shown, {0});
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        RightClick("List1");
        QTRY_VERIFY(Menu()->isVisible());
        bool closed = false;
        WhenModal(
            [&](QWidget* search) {
                auto* box = search->findChild<QLineEdit*>("Text1");
                QTest::keyClicks(box, "a");
                QTest::keyClick(box, Qt::Key_Return);
                QTest::keyClick(box, Qt::Key_Escape);
                closed = !search->isVisible();
            },
            "karvex::Form12");
        QTest::keyClick(Menu(), Qt::Key_S);
        QVERIFY(closed);
        QTRY_VERIFY(!Menu()->isVisible());
        RightClick("List1");
        QTRY_VERIFY(Menu()->isVisible());
    }

    // A bitmap or a wave is viewed through a copy in the private folder, gone afterwards.
    void viewOpensTheViewers() {
        using Row = std::tuple<QList<int>, QString, QString>;  // rows, the viewer or message, copy
        for (const auto& [rows, seen, copy] :
             {Row{{3, 4}, "The entry LOGO.BMP is not a picture that can be shown.", "karvex.bmp"},
              Row{{4}, "karvex::Form13", "karvex.wav"}}) {
            m_fake.reset();
            Form1& window = Open(rows);
            const PodEntry& entry = kGame[rows.first()];
            m_fake->session.scripts["ExtractSelectedInto"] = [&](StatusRow*) {
                WriteBytes(m_fake->session.State().DialogPath, entry.data);
                return Result::Done();
            };
            QString opened, played;
            QByteArray bytes;
            WhenModal([&](QWidget* modal) {
                auto* box = qobject_cast<QMessageBox*>(modal);
                opened = box ? box->text() : modal->metaObject()->className();
                if (auto* player = qobject_cast<Form13*>(modal)) {
                    played = player->WavePath();
                    QFile file(played);
                    QVERIFY(file.open(QIODevice::ReadOnly));
                    bytes = file.readAll();
                }
                modal->close();
            });
            window.menuView_Click();
            QCOMPARE(opened, seen);
            QCOMPARE(m_fake->Calls(), "ExtractSelectedInto " + QString(entry.name.c_str()));
            QCOMPARE(QFileInfo(CopyPath()).fileName(), copy);
            QVERIFY(CopyPath().startsWith(m_temporary.path()));
            QVERIFY(!QFile::exists(CopyPath()));
            if (!played.isEmpty()) {
                QCOMPARE(played, CopyPath());
                QCOMPARE(bytes, QByteArray(entry.data.c_str()));
            }
        }
    }

    // The recorded entry alone goes into a folder of its own; an editor that cannot run is named.
    void openInTextEditor() {
        // No desktop application for plain text here (not for the Open dialog): $VISUAL runs.
        qputenv("XDG_DATA_DIRS", QFile::encodeName(m_temporary.path()));
        qputenv("XDG_DATA_HOME", QFile::encodeName(m_temporary.path()));
        qputenv("VISUAL", "/nonexistent/editor");
        Form1& window = Open({1, 2});
        QString text;
        AnswerMessage("OK", &text);
        window.menuNotepad_Click();
        QCOMPARE(m_fake->Calls(), QString("ExtractSelectedInto readme.txt.bin"));
        QCOMPARE(text, "Error running " + CopyPath() +
                           "/readme.txt.bin\n\n/nonexistent/editor: no such program");
        const QFileInfo folder(CopyPath());
        QCOMPARE(folder.dir().absolutePath().section('/', 0, -2), m_temporary.path());
        QVERIFY(folder.fileName().startsWith("editor"));
        QCOMPARE(m_shown->findChild<QLabel*>("Label5")->text(), QString());
        QCOMPARE(m_fake->session.Table().SelectedCount(), 2);
    }

    // Over 200 MiB asks first and No copies nothing; no private folder is said. View, a drag.
    void copyOutAsksOrRefuses() {
        const QString base = m_temporary.path();
        for (bool drag : {false, true}) {
            m_fake = std::make_unique<FakeWindow>();
            m_fake->session.Table().Append("BIG.WAV", 210 << 20, "220,200,960", 124, "124");
            Open({0});
            QString text;
            AnswerMessage("No", &text);
            CopyOut(drag);
            QCOMPARE(text, (drag ? "The entries to drag hold 210 MiB. They are"
                                 : "The entry holds 210 MiB. It is") +
                               QString(" copied out of the archive first.\n\nGo on?"));
            QCOMPARE(m_fake->Calls(), QString());
            m_fake.reset();
            Open({4});
            QVERIFY(QDir().rename(base, base + "-away"));
            AnswerMessage("OK", &text);
            CopyOut(drag);
            QVERIFY(QDir().rename(base + "-away", base));
            QCOMPARE(text, QString("There is no private folder to copy the ") +
                               (drag ? "entries" : "entry") +
                               " into.\n\nCannot open the temporary folder " + base +
                               ": No such file or directory");
            QCOMPARE(m_fake->Calls(), QString());
        }
    }
};

QTEST_MAIN(ContextMenuTest)
#include "context_menu_test.moc"
