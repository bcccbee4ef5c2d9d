// The main window as a desktop program: files dropped on it, entries dragged out of it, the
// keyboard, sizes in tool tips, the recent files, and the check that the archive has not
// changed on disk since it was opened.
#include <QDropEvent>
#include <QItemSelectionModel>
#include <QLabel>
#include <QListView>
#include <QMenu>
#include <QMimeData>
#include <QPointer>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include "main_window.h"
#include "modal.h"
#include "test_folder.h"

using namespace karvex;
using namespace karvex::test;

namespace {

const std::vector<PodEntry> kEntries = {
    {"A.RAW", std::string(65536, 'a')},
    {"sounds\\horn.wav", "RIFF"},
    {"notes.txt", "line\r\n"},
    {"sounds\\beep.wav", "RIFFbeep"},
};

// Sends a drag of `paths` over the window and drops it: whether the window took it.
bool Drop(QWidget& window, const QStringList& paths) {
    QMimeData data;
    QList<QUrl> urls;
    for (const QString& path : paths)
        urls << QUrl::fromLocalFile(path);
    data.setUrls(urls);
    const QPoint where(20, 200);
    QDragEnterEvent enter(where, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&window, &enter);
    if (!enter.isAccepted())
        return false;
    QDropEvent drop(where, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&window, &drop);
    return drop.isAccepted();
}

}  // namespace

class DesktopTest : public QObject {
    Q_OBJECT

  private:
    std::unique_ptr<TestFolder> m_folder;
    std::unique_ptr<ArchiveSession> m_session;
    std::unique_ptr<Form1> m_window;
    QTemporaryDir m_settings;

    Form1& Open(const QString& file = {}) {
        m_session = std::make_unique<ArchiveSession>();
        m_window = std::make_unique<Form1>(*m_session);
        m_window->show();
        m_window->Startup(file.isEmpty() ? QString() : m_folder->filePath(file));
        return *m_window;
    }
    QListView* List(const char* name) { return m_window->findChild<QListView*>(name); }
    void Select(const QList<int>& rows) {
        for (int row : rows)
            List("List1")->selectionModel()->select(List("List1")->model()->index(row, 0),
                                                    QItemSelectionModel::Select);
    }

  private slots:
    void initTestCase() {
        // The recent files go into a settings file of the test's own.
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, m_settings.path());
    }
    void init() {
        m_folder = std::make_unique<TestFolder>();
        m_folder->Write("game.pod", PodBytes(kEntries));
        m_folder->Write("other.pod", PodBytes({{"B.RAW", "b"}}));
        m_folder->Write("list.lst", "a.txt\r\n");
        m_folder->Write("a.txt", "a");
        m_folder->Write("notes.txt", "n");
    }
    void cleanup() {
        m_window.reset();
        m_session.reset();
        m_folder.reset();
    }

    void dropOpensTheFirstFile() {
        Form1& window = Open();
        QVERIFY(!Drop(window, {m_folder->filePath("notes.txt")}));  // not a kind it opens
        QVERIFY(Drop(window, {m_folder->filePath("game.pod"), m_folder->filePath("list.lst")}));
        QCOMPARE(window.windowTitle(), QString("Karvex32  -  game.pod"));
        QCOMPARE(m_session->Table().Count(), 4);
        QVERIFY(Drop(window, {m_folder->filePath("list.lst")}));
        QCOMPARE(window.windowTitle(), QString("Karvex32  -  list.lst"));
        BusyScope busy(*m_session);
        QVERIFY(!Drop(window, {m_folder->filePath("game.pod")}));  // not while a command runs
    }

    // The selected entries are extracted into a fresh private folder; the drag carries
    // what they became there, a folder for the entries inside one.
    void dragCarriesTheSelectedEntries() {
        Form1& window = Open("game.pod");
        Select({0, 1, 3});
        std::unique_ptr<QMimeData> data(window.DragOutData());
        QVERIFY(data);
        const QList<QUrl> urls = data->urls();
        QCOMPARE(urls.size(), 2);
        QCOMPARE(urls[0].fileName(), QString("A.RAW"));
        QCOMPARE(urls[1].fileName(), QString("sounds"));
        QVERIFY(!urls[0].toLocalFile().startsWith(m_folder->path()));
        QFile horn(urls[1].toLocalFile() + "/horn.wav");
        QVERIFY(horn.open(QIODevice::ReadOnly));
        QCOMPARE(horn.readAll(), QByteArray("RIFF"));
        QVERIFY(QFile::exists(urls[1].toLocalFile() + "/beep.wav"));
        QVERIFY(!QFile::exists(urls[1].toLocalFile() + "/../notes.txt"));

        std::unique_ptr<QMimeData> again(window.DragOutData());
        QVERIFY(again->urls()[0] != urls[0]);  // a fresh folder each time
    }

    // A name that extraction refuses is reported and left out; the drag never carries the
    // drag folder itself or the folder above it.
    void dragLeavesOutRefusedNames() {
        m_folder->Write("bad.pod", PodBytes({{"..\\up.txt", "u"}, {"ok.txt", "k"}}));
        Form1& window = Open("bad.pod");
        Select({0, 1});
        AnswerMessage("OK");
        std::unique_ptr<QMimeData> data(window.DragOutData());
        QVERIFY(data);
        QCOMPARE(data->urls().size(), 1);
        QCOMPARE(data->urls()[0].fileName(), QString("ok.txt"));
    }

    void keyboard() {
        Form1& window = Open("game.pod");
        QCOMPARE(window.findChild<QToolButton*>("Command3D1")->toolTip(),
                 QString("Open a POD file (Ctrl+O)"));
        QCOMPARE(window.findChild<QToolButton*>("Command3D3")->toolTip(),
                 QString("Extract files from a POD (Ctrl+E)"));
        QString opened;
        WhenModal([&](QWidget* modal) {
            opened = modal->metaObject()->className();
            modal->close();
        });
        QTest::keyClick(&window, Qt::Key_F, Qt::ControlModifier);
        QCOMPARE(opened, QString("karvex::Form12"));

        // Type-ahead, then Enter views the focused entry; Ctrl+A selects every entry.
        QListView* names = List("List1");
        names->setFocus();
        QTest::keyClicks(names, "no");
        QCOMPARE(names->currentIndex().row(), 2);
        WhenModal([&](QWidget* modal) {
            opened = modal->metaObject()->className();
            modal->close();
        });
        QTest::keyClick(names, Qt::Key_Return);
        QCOMPARE(opened, QString("karvex::Form11"));
        QCOMPARE(m_session->State().SelectedName, std::string("notes.txt"));
        QTest::keyClick(names, Qt::Key_A, Qt::ControlModifier);
        QCOMPARE(m_session->Table().SelectedCount(), 4);
    }

    void sizesInToolTips() {
        Open("game.pod");
        QCOMPARE(List("List2")->model()->index(0, 0).data(Qt::ToolTipRole).toString(),
                 QString("65,536 bytes"));
        QCOMPARE(m_window->findChild<QLabel*>("Label3")->toolTip(), QString("64.3 KiB"));
    }

    // A changed archive is not read with the old table: the window asks, and Yes reloads
    // it without running the command.
    void changedArchiveIsReloadedFirst() {
        Form1& window = Open("game.pod");
        m_folder->Write("game.pod", PodBytes({{"C.TXT", "changed"}}));
        Select({0});
        window.List1_MouseDown(QPoint(10, 10));
        m_window->findChild<QMenu*>("menuPopup")->close();
        QString text;
        AnswerMessage("Yes", &text);
        window.menuView_Click();
        QCOMPARE(text, QString("The archive has changed on disk since it was opened. Reload it?"));
        QCOMPARE(m_session->Table().Count(), 1);
        QCOMPARE(m_session->Table().Name(0), std::string("C.TXT"));
        QVERIFY(window.ArchiveUnchanged());  // the reloaded file is the one now on disk
    }

    void recentFiles() {
        Settings().remove("recentFiles");
        Form1& window = Open("game.pod");
        QVERIFY(window.OpenFile(m_folder->filePath("list.lst")));
        QVERIFY(window.OpenFile(m_folder->filePath("game.pod")));
        QCOMPARE(Form1::RecentFiles(),
                 (QStringList{m_folder->filePath("game.pod"), m_folder->filePath("list.lst")}));
        for (int i = 0; i < 11; ++i) {
            const QString name = QString("f%1.pod").arg(i);
            m_folder->Write(name, PodBytes({{"X", "x"}}));
            window.OpenFile(m_folder->filePath(name));
        }
        QCOMPARE(Form1::RecentFiles().size(), 10);
        QCOMPARE(Form1::RecentFiles().first(), m_folder->filePath("f10.pod"));

        // A right-click on Open lists them; a click on one opens it, once the menu has
        // closed. From a smaller archive to a larger one and back: the open must use
        // nothing of the menu, its actions or the rows it replaced.
        m_folder->Write("f7.pod", PodBytes(std::vector<PodEntry>(10, {"X", "x"})));
        auto* open = window.findChild<QToolButton*>("Command3D1");
        for (const char* chosen : {"f7.pod", "f10.pod", "f7.pod"}) {
            emit open->customContextMenuRequested(QPoint(2, 2));
            QPointer<QMenu> menu = window.findChild<QMenu*>("menuRecent");
            QVERIFY(menu);
            QTRY_VERIFY(menu->isVisible());
            QAction* item = nullptr;
            for (QAction* action : menu->actions())
                item = action->text() == m_folder->filePath(chosen) ? action : item;
            QVERIFY(item);
            QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(item).center());
            QTRY_COMPARE(window.windowTitle(), QString("Karvex32  -  ") + chosen);
            QTRY_VERIFY(!menu);
        }
        QCOMPARE(m_session->Table().Count(), 10);
    }

  private:
    static QSettings Settings() {
        return QSettings(QSettings::IniFormat, QSettings::UserScope, "Karvex32", "karvex32");
    }
};

QTEST_MAIN(DesktopTest)
#include "desktop_test.moc"
