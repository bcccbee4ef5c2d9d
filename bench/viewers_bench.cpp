// karvex32-viewers-bench: times View on the main window's pop-up menu, from the call until
// the viewer is complete on screen, for two entries of an archive it builds:
//   - a 256 x 256 texture (65,536 bytes) with its own 768-byte palette: until the whole
//     picture is on screen and the viewer has drawn its last band; goal 50 ms;
//   - a text of 100,000 CR LF-ended lines of 50 bytes (5,000,000 bytes): until the text
//     viewer is shown with its list filled and painted once; goal 0.5 s.
// Each is viewed once to warm up, then five times; the median is held against the goal.
// Prints one line per goal and exits 1 when a goal is missed.
// Usage: karvex32-viewers-bench   (QT_QPA_PLATFORM=offscreen, or under xvfb-run)
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QItemSelectionModel>
#include <QLabel>
#include <QListView>
#include <QMenu>
#include <QPointer>
#include <QTemporaryDir>
#include <QTimer>
#include <QWindow>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "archive_session.h"
#include "main_window.h"
#include "texture_viewer.h"

namespace {

constexpr int kRounds = 5;
constexpr int kSide = 256;
constexpr int kTextLines = 100000;
constexpr int kLineBytes = 50;  // CR LF included
constexpr double kTextureGoalMs = 50;
constexpr double kTextGoalMs = 500;
// How long a viewer stays open after it was last seen complete, to catch a redraw.
constexpr int kSettleMs = 100;
// A viewer still not complete after this long counts as a miss.
constexpr int kGiveUpMs = 10000;

// The texture: palette index of the pixel at (x, y).
int TextureIndex(int x, int y) {
    return ((x ^ y) + y / 2) & 0xFF;
}
// The palette: the colour of index n.
QRgb PaletteColor(int n) {
    return qRgb(n, 255 - n, (n * 3) & 0xFF);
}

void WriteFile(const QString& path, const std::string& bytes) {
    std::ofstream(path.toStdString(), std::ios::binary) << bytes;
}

// The files the archive is built from, and the response file that lists them.
void WriteSources(const QDir& sources) {
    std::string texture;
    for (int y = 0; y < kSide; ++y) {
        for (int x = 0; x < kSide; ++x)
            texture += static_cast<char>(TextureIndex(x, y));
    }
    WriteFile(sources.filePath("sunset.raw"), texture);
    std::string palette;
    for (int n = 0; n < 256; ++n) {
        const QRgb color = PaletteColor(n);
        palette += {static_cast<char>(qRed(color)), static_cast<char>(qGreen(color)),
                    static_cast<char>(qBlue(color))};
    }
    WriteFile(sources.filePath("sunset.act"), palette);
    std::string text;
    text.reserve(static_cast<std::size_t>(kTextLines) * kLineBytes);
    for (int i = 0; i < kTextLines; ++i) {
        std::string line = "line " + std::to_string(i + 1) + " of the long notes ";
        line.resize(kLineBytes - 2, '.');
        text += line + "\r\n";
    }
    WriteFile(sources.filePath("notes.txt"), text);
    WriteFile(sources.filePath("bench.lst"), "sunset.raw\r\nsunset.act\r\nnotes.txt\r\n");
}

// Builds `folder`/bench.pod from the response file as the Make command does, in a session
// of its own; false when it was not built.
bool BuildArchive(const QString& folder, const QString& sources) {
    karvex::ArchiveSession session;
    karvex::ArchiveState& state = session.State();
    karvex::StatusRow row;
    state.PodFolder = sources.toStdString();
    state.PodFileName = "bench.lst";
    state.PodPattern = "*.lst";
    if (!session.Core().OpenResponseSequence(row).IsDone())
        return false;
    state.DialogPath = folder.toStdString();
    state.DialogName = "bench.pod";
    state.DialogOptions = " 0";
    state.PodComment = std::string(80, ' ');
    return session.Core().MakeCommand(row).IsDone();
}

// Right-clicks the entry at `row` of List1, as the user does before View: the entry is
// selected alone and recorded, and the pop-up menu that comes up is put away again.
void RightClick(karvex::Form1& window, int row) {
    auto* names = window.findChild<QListView*>("List1");
    names->selectionModel()->select(names->model()->index(row, 0),
                                    QItemSelectionModel::ClearAndSelect);
    window.List1_MouseDown(names->viewport()->mapToGlobal(QPoint(5, 5)));
    window.findChild<QMenu*>("menuPopup")->hide();
    QApplication::processEvents();
}

// Times one View from inside the viewer's own event loop. An application-wide filter picks
// up the viewer window when it is shown, then watches the paints of its picture or list
// area in the exposed window: each time what is painted turns complete, the time is taken
// as that paint starts (it takes well under a millisecond; a call posted to run after it
// can wait behind a whole redraw). The viewer is closed kSettleMs after the last.
class ViewTimer : public QObject {
  public:
    explicit ViewTimer(const QString& viewer);

    struct Run {
        double firstMs = -1;  // first seen complete; -1: never
        double lastMs = -1;   // last seen turning complete, after any redraw
        int bands = 0;        // texture bands drawn while the viewer was open
    };
    Run Time(karvex::Form1& window);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void Follow(QWidget* viewer);
    // What the watched area holds now: the texture's last pixel drawn, or every line.
    bool ShowsAll() const;
    void Sample();

    const QString m_viewer;  // the viewer's object name: Form5 or Form11
    QElapsedTimer m_clock;
    QTimer m_settle;  // closes the viewer
    Run m_run;
    QPointer<QWidget> m_shown;    // the viewer window, while it is open
    QPointer<QWidget> m_watched;  // Picture1, or List1's list area
    QPointer<QLabel> m_picture;   // Picture1 of the texture viewer
    QPointer<QListView> m_list;   // List1 of the text viewer
    bool m_complete = false;      // the watched area was complete at its last paint
};

ViewTimer::ViewTimer(const QString& viewer) : m_viewer(viewer) {
    m_settle.setSingleShot(true);
    QObject::connect(&m_settle, &QTimer::timeout, this, [this] {
        if (m_shown)
            m_shown->close();
    });
}

ViewTimer::Run ViewTimer::Time(karvex::Form1& window) {
    m_run = {};
    m_complete = false;
    QApplication::instance()->installEventFilter(this);
    QTimer giveUp;
    giveUp.setSingleShot(true);
    QObject::connect(&giveUp, &QTimer::timeout, [this] {
        if (m_shown)
            m_shown->close();
    });
    giveUp.start(kGiveUpMs);
    m_clock.start();
    window.menuView_Click();  // returns once the viewer is closed
    QApplication::instance()->removeEventFilter(this);
    m_settle.stop();
    QApplication::processEvents();
    return m_run;
}

bool ViewTimer::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Show && watched->isWidgetType() &&
        watched->objectName() == m_viewer && static_cast<QWidget*>(watched)->isWindow()) {
        Follow(static_cast<QWidget*>(watched));
    } else if (event->type() == QEvent::Paint && watched == m_watched && m_shown &&
               m_shown->windowHandle() && m_shown->windowHandle()->isExposed()) {
        const bool complete = ShowsAll();
        if (complete && !m_complete)
            Sample();
        m_complete = complete;
    }
    return false;
}

void ViewTimer::Follow(QWidget* viewer) {
    m_shown = viewer;
    if (auto* texture = qobject_cast<karvex::Form5*>(viewer)) {
        m_picture = texture->findChild<QLabel*>("Picture1");
        m_watched = m_picture.data();
        QObject::connect(texture, &karvex::Form5::bandDrawn, this, [this] { ++m_run.bands; });
    } else if ((m_list = viewer->findChild<QListView*>("List1"))) {
        m_watched = m_list->viewport();
    }
}

bool ViewTimer::ShowsAll() const {
    if (m_picture) {
        const QImage shown = m_picture->pixmap().toImage();
        return shown.width() >= kSide && shown.height() >= kSide &&
               shown.pixel(kSide - 1, kSide - 1) ==
                   PaletteColor(TextureIndex(kSide - 1, kSide - 1));
    }
    return m_list && m_list->model()->rowCount() == kTextLines;
}

void ViewTimer::Sample() {
    const double ms = static_cast<double>(m_clock.nsecsElapsed()) / 1e6;
    if (m_run.firstMs < 0)
        m_run.firstMs = ms;
    m_run.lastMs = ms;
    m_settle.start(kSettleMs);
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// Views the entry at `row` once to warm up, then kRounds times; prints each run to standard
// error and the median against the goal to standard output. True when the goal is met.
bool Measure(karvex::Form1& window, int row, const QString& viewer, const char* what,
             double goalMs) {
    ViewTimer timer(viewer);
    std::vector<double> first, last;
    bool complete = true;
    for (int round = 0; round <= kRounds; ++round) {
        RightClick(window, row);
        const ViewTimer::Run run = timer.Time(window);
        const QString label = round == 0 ? QString("warm-up") : QString("run %1").arg(round);
        QString line = QString("%1, %2: %3 ms").arg(what, label).arg(run.lastMs, 0, 'f', 1);
        if (viewer == "Form5")
            line += QString(" (first complete on screen %1 ms; %2 bands drawn)")
                        .arg(run.firstMs, 0, 'f', 1)
                        .arg(run.bands);
        std::fprintf(stderr, "%s\n", line.toUtf8().constData());
        if (round == 0)
            continue;
        complete = complete && run.lastMs >= 0;
        first.push_back(run.firstMs < 0 ? kGiveUpMs : run.firstMs);
        last.push_back(run.lastMs < 0 ? kGiveUpMs : run.lastMs);
    }
    const double median = Median(last);
    const bool met = complete && median < goalMs;
    std::printf("%s (median of %d): %.1f ms, goal < %.0f ms: %s", what, kRounds, median, goalMs,
                met ? "met" : "MISSED");
    if (viewer == "Form5")
        std::printf(" (first complete on screen: %.1f ms)", Median(first));
    std::printf("\n");
    std::fflush(stdout);  // in order with the runs on standard error
    return met;
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QTemporaryDir dir;
    const QDir folder(dir.path());
    folder.mkdir("sources");
    WriteSources(QDir(folder.filePath("sources")));
    if (!BuildArchive(folder.path(), folder.filePath("sources"))) {
        std::fprintf(stderr, "karvex32-viewers-bench: the archive could not be built\n");
        return 2;
    }

    karvex::ArchiveSession session;
    karvex::Form1 window(session);
    window.show();
    QApplication::processEvents();
    if (!window.Startup(folder.filePath("bench.pod")) || session.Table().Count() != 3) {
        std::fprintf(stderr, "karvex32-viewers-bench: the archive could not be opened\n");
        return 2;
    }
    QApplication::processEvents();
    std::printf("platform: %s\n", QApplication::platformName().toUtf8().constData());
    std::fflush(stdout);
    const bool texture =
        Measure(window, session.Find("SUNSET.RAW", false), "Form5",
                "texture viewer, 256x256 with its palette, View to fully drawn", kTextureGoalMs);
    const bool text =
        Measure(window, session.Find("NOTES.TXT", false), "Form11",
                "text viewer, 100,000 lines (5,000,000 bytes), View to shown", kTextGoalMs);
    return texture && text ? 0 : 1;
}
