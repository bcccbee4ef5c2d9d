// SPDX-License-Identifier: GPL-3.0-or-later
// karvex32-viewers-bench: times View on the main window's pop-up menu, from the call until
// the viewer is complete on screen, for two entries of an archive it builds:
//   - a 256 x 256 texture (65,536 bytes) with its own 768-byte palette: until the whole
//     picture is on screen and the viewer has drawn its last band; goal 50 ms;
//   - a text of 100,000 CR LF-ended lines of 50 bytes (5,000,000 bytes): until the text
//     viewer is shown with its list filled and painted once; goal 0.5 s.
// Each is viewed once to warm up, then five times; the median is held against the goal.
// Then two texts too large to hold, each in an archive of its own written directly:
//   - two lines, then a tail without CR LF up to the largest archive, 2 GiB (a sparse file,
//     made with ftruncate, that takes a few KiB of disk);
//   - 128 MiB of empty lines, CR LF each (--breaks-mib N for another size, up to 2047);
// for each, the text viewer from View until its first lines are painted (goal 0.5 s) and
// until it has counted every line, with the growth of the process's peak memory while it
// is open (goal 64 MiB); and `karvex32-cli text` on the same entry, until its first output
// and its end, with its peak memory over that of a run that prints nothing (goal 64 MiB).
// Each of these reads the archive cold: its pages are dropped from the cache before.
// Prints one line per goal and exits 1 when a goal is missed.
// Then the texture import's CPU time (import_bench.h); last, the wave player (wave_bench.cpp).
// Usage: karvex32-viewers-bench [--breaks-mib N | --import | --wave]   (QT_QPA_PLATFORM=
// offscreen, or xvfb-run; --import and --wave measure those alone)
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QItemSelectionModel>
#include <QLabel>
#include <QListView>
#include <QMenu>
#include <QPointer>
#include <QTemporaryDir>
#include <QTimer>
#include <QWindow>

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "bench/import_bench.h"
#include "bench/viewers_bench_support.h"
#include "core/archive_session.h"
#include "core/pod_format.h"
#include "mainwindow/main_window.h"
#include "viewers/text_viewer.h"
#include "viewers/texture_viewer.h"

namespace {

constexpr int kRounds = 5;
constexpr double kTextureGoalMs = 50;
constexpr double kTextGoalMs = 500;
constexpr double kFirstLinesGoalMs = 500;
constexpr long kGrowthGoalKiB = 64 * 1024;
// How long a viewer stays open after it was last seen complete, to catch a redraw.
constexpr int kSettleMs = 100;
// A viewer still not complete after this long counts as a miss; a text viewer left open
// until its count is done, after the longer time.
constexpr int kGiveUpMs = 10000;
constexpr int kCountGiveUpMs = 120000;

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
    // `rows`: the rows a text viewer shows once complete, at least. `untilCounted`: the
    // viewer stays open until it has counted its text's lines, rather than kSettleMs.
    explicit ViewTimer(const QString& viewer, int rows = kTextLines, bool untilCounted = false);

    struct Run {
        double firstMs = -1;    // first seen complete; -1: never
        double lastMs = -1;     // last seen turning complete, after any redraw
        double countedMs = -1;  // the text viewer's lines all counted
        int bands = 0;          // texture bands drawn while the viewer was open
        long long lines = 0;    // the text viewer's count
    };
    Run Time(karvex::Form1& window);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void Follow(QWidget* viewer);
    // What the watched area holds now: the texture's last pixel drawn, or every line.
    bool ShowsAll() const;
    void Sample();

    void CheckCount();

    const QString m_viewer;  // the viewer's object name: Form5 or Form11
    const int m_rows;
    const bool m_untilCounted;
    QElapsedTimer m_clock;
    QTimer m_settle;  // closes the viewer
    QTimer m_count;   // looks at the text viewer's count
    Run m_run;
    QPointer<QWidget> m_shown;    // the viewer window, while it is open
    QPointer<QWidget> m_watched;  // Picture1, or List1's list area
    QPointer<QLabel> m_picture;   // Picture1 of the texture viewer
    QPointer<QListView> m_list;   // List1 of the text viewer
    bool m_complete = false;      // the watched area was complete at its last paint
};

ViewTimer::ViewTimer(const QString& viewer, int rows, bool untilCounted)
    : m_viewer(viewer), m_rows(rows), m_untilCounted(untilCounted) {
    m_settle.setSingleShot(true);
    QObject::connect(&m_settle, &QTimer::timeout, this, [this] {
        if (m_shown)
            m_shown->close();
    });
    m_count.setInterval(10);
    QObject::connect(&m_count, &QTimer::timeout, this, &ViewTimer::CheckCount);
}

void ViewTimer::CheckCount() {
    const auto* lines =
        m_list ? qobject_cast<const karvex::TextLinesModel*>(m_list->model()) : nullptr;
    if (!lines || !lines->Complete())
        return;
    m_count.stop();
    m_run.countedMs = static_cast<double>(m_clock.nsecsElapsed()) / 1e6;
    m_run.lines = lines->LineCount();
    if (m_run.firstMs >= 0)
        m_settle.start(kSettleMs);
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
    giveUp.start(m_untilCounted ? kCountGiveUpMs : kGiveUpMs);
    m_clock.start();
    if (m_untilCounted)
        m_count.start();
    window.menuView_Click();  // returns once the viewer is closed
    QApplication::instance()->removeEventFilter(this);
    m_settle.stop();
    m_count.stop();
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
    return m_list && m_list->model()->rowCount() >= m_rows;
}

void ViewTimer::Sample() {
    const double ms = static_cast<double>(m_clock.nsecsElapsed()) / 1e6;
    if (m_run.firstMs < 0)
        m_run.firstMs = ms;
    m_run.lastMs = ms;
    if (!m_untilCounted || m_run.countedMs >= 0)
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

// --- Texts too large to hold -----------------------------------------------------------

const char* Verdict(bool met) {
    return met ? "met" : "MISSED";
}

// Opens `archive` in a main window of its own and views `entry` (which shows `rows` rows
// at least), then runs `karvex32-cli text` on it; prints the figures. True when every goal
// is met.
bool MeasureLarge(const QString& folder, const QString& archive, const char* entry, int rows,
                  const char* what) {
    karvex::ArchiveSession session;
    karvex::Form1 window(session);
    window.show();
    QApplication::processEvents();
    if (!window.Startup(QDir(folder).filePath(archive)) || session.Table().Count() != 1) {
        std::printf("%s: the archive could not be opened: MISSED\n", what);
        return false;
    }
    QApplication::processEvents();
    RightClick(window, 0);
    const QString path = QDir(folder).filePath(archive);
    DropCached(path);
    const long before = StatusKiB("VmRSS");
    const bool peakReset = ResetPeak();
    ViewTimer timer("Form11", rows, true);
    const ViewTimer::Run run = timer.Time(window);
    const long growth = (peakReset ? StatusKiB("VmHWM") : StatusKiB("VmRSS")) - before;
    const bool viewerMet = run.firstMs >= 0 && run.firstMs < kFirstLinesGoalMs &&
                           run.countedMs >= 0 && growth <= kGrowthGoalKiB;
    std::printf(
        "%s, text viewer: first lines on screen %.1f ms (goal < %.0f ms), %lld lines counted "
        "in %.1f ms, peak memory growth %.1f MiB over %.1f MiB%s (goal <= %ld MiB): %s\n",
        what, run.firstMs, kFirstLinesGoalMs, run.lines, run.countedMs, growth / 1024.0,
        before / 1024.0, peakReset ? "" : " (resident at the end: the peak could not be reset)",
        kGrowthGoalKiB / 1024, Verdict(viewerMet));
    std::fflush(stdout);

    const std::string file = archive.toStdString();
    const CliFigures base = RunCli(folder, {"text", file, "NO SUCH ENTRY"});
    DropCached(path);
    const CliFigures cli = RunCli(folder, {"text", file, entry});
    const long cliGrowth = cli.peakKiB - base.peakKiB;
    const bool cliMet = cli.exit == 0 && base.peakKiB > 0 && cliGrowth <= kGrowthGoalKiB;
    std::printf(
        "%s, karvex32-cli text: first output %.1f ms, done in %.1f ms, %lld bytes printed, peak "
        "memory %.1f MiB, %.1f MiB over a run that prints nothing (goal <= %ld MiB), exit %d: "
        "%s\n",
        what, cli.firstMs, cli.endMs, cli.outBytes, cli.peakKiB / 1024.0, cliGrowth / 1024.0,
        kGrowthGoalKiB / 1024, cli.exit, Verdict(cliMet));
    std::fflush(stdout);
    return viewerMet && cliMet;
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QTemporaryDir dir;
    const QDir folder(dir.path());
    if (QApplication::arguments().contains("--wave"))
        return MeasureWavePlayer(folder.path()) ? 0 : 1;
    if (QApplication::arguments().contains("--import"))
        return ImportTiming(QFile::encodeName(folder.path()).toStdString()) ? 0 : 1;
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

    std::int64_t breaksMiB = 128;
    const QStringList args = QApplication::arguments();
    if (const qsizetype at = args.indexOf("--breaks-mib"); at >= 0 && at + 1 < args.size())
        breaksMiB = std::clamp<std::int64_t>(args[at + 1].toLongLong(), 1, 2047);
    const std::string head = "one\r\ntwo\r\n";
    const std::int64_t tailSize =
        karvex::kMaxArchiveLength - karvex::kHeaderSize - karvex::kRecordSize;
    const std::int64_t breaksSize = std::min(breaksMiB << 20, tailSize);
    if (!WriteLargeArchive(folder.filePath("tail.pod"), "tail.txt", head, tailSize, "") ||
        !WriteLargeArchive(folder.filePath("breaks.pod"), "breaks.txt", "", breaksSize, "\r\n")) {
        std::fprintf(stderr, "karvex32-viewers-bench: the large archives could not be written\n");
        return 2;
    }
    const bool tail = MeasureLarge(folder.path(), "tail.pod", "TAIL.TXT", 2,
                                   QString("2 lines, then no CR LF up to %1 bytes (sparse)")
                                       .arg(tailSize)
                                       .toUtf8()
                                       .constData());
    const bool breaks = MeasureLarge(
        folder.path(), "breaks.pod", "BREAKS.TXT", 1,
        QString("%1 MiB of empty CR LF lines").arg(breaksSize >> 20).toUtf8().constData());
    const bool import = ImportTiming(QFile::encodeName(folder.path()).toStdString());
    const bool wave = MeasureWavePlayer(folder.path());
    return texture && text && tail && breaks && import && wave ? 0 : 1;
}
