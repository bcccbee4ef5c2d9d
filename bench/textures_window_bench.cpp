// SPDX-License-Identifier: GPL-3.0-or-later
// The Textures window on 5,000 textures until its first screen is drawn, page by page down
// through them, and on 32,767 textures the most the process grows while it is opened and
// scrolled from top to bottom.
#include "bench/textures_window_bench.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QListView>
#include <QScrollBar>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <vector>

#include "core/archive_session.h"
#include "core/pod_core.h"
#include "core/pod_format.h"
#include "core/session.h"
#include "viewers/texture_thumbnails.h"
#include "viewers/textures_window.h"

namespace {

// `count` textures T00001.RAW ..., every tenth 256 x 256 unless `small`, the rest 64 x 64,
// with a palette for every fiftieth and METALCR2.ACT for the others (none when `bare`).
void WriteTextures(const QString& path, int count, bool small, bool bare) {
    struct Entry {
        std::string name;
        int size;
    };
    std::vector<Entry> entries;
    for (int i = 1; i <= count; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "T%05d.RAW", i);
        entries.push_back({name, !small && i % 10 == 0 ? 65536 : 4096});
        if (!bare && i % 50 == 0 && static_cast<int>(entries.size()) < karvex::kMaxEntries - 1) {
            std::snprintf(name, sizeof name, "T%05d.ACT", i);
            entries.push_back({name, 768});
        }
    }
    if (!bare)
        entries.push_back({"METALCR2.ACT", 768});
    std::ofstream out(path.toStdString(), std::ios::binary);
    std::string header(karvex::kHeaderSize, '\0');
    karvex::PutInt32(header.data(), static_cast<int>(entries.size()));
    out << header;
    std::int64_t offset = karvex::kHeaderSize + karvex::kRecordSize * std::int64_t(entries.size());
    for (const Entry& entry : entries) {
        char record[karvex::kRecordSize] = {};
        std::snprintf(record, karvex::kNameSize, "%s", entry.name.c_str());
        karvex::PutInt32(record + karvex::kRecordSizeField, entry.size);
        karvex::PutInt32(record + karvex::kRecordOffsetField, static_cast<std::int32_t>(offset));
        out.write(record, sizeof record);
        offset += entry.size;
    }
    std::string data(65536, '\0');
    for (std::size_t k = 0; k < data.size(); ++k)
        data[k] = static_cast<char>((k * 7 + k / 256) & 0xFF);
    for (const Entry& entry : entries)
        out.write(data.data(), entry.size);
}

double Milliseconds(const QElapsedTimer& timer) {
    return static_cast<double>(timer.nsecsElapsed()) / 1e6;
}

double ResidentMiB() {
    QFile status("/proc/self/status");
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').front().toDouble() / 1024;
    }
    return 0;
}

// The rows whose thumbnails lie in the grid's view.
int ShownRows(QListView* grid) {
    int count = 0;
    for (int row = 0; row < grid->model()->rowCount(); ++row)
        count +=
            grid->viewport()->rect().intersects(grid->visualRect(grid->model()->index(row, 0)));
    return count;
}

bool Open(karvex::ArchiveSession& session, const QString& path) {
    karvex::StatusRow row;
    return session.Open(QFile::encodeName(path).toStdString(), row).IsDone();
}

}  // namespace

TexturesWindowTimings TimeTexturesWindow(const QString& folder) {
    TexturesWindowTimings timings;
    const QString five = QDir(folder).filePath("FIVE.POD");
    WriteTextures(five, 5000, false, false);
    {
        QElapsedTimer timer;
        timer.start();
        karvex::ArchiveSession session;
        if (!Open(session, five))
            return timings;
        karvex::TexturesWindow window(session);
        window.resize(1024, 768);
        window.show();
        auto* grid = window.findChild<QListView*>("Grid");
        // Drawn: as many thumbnails decoded as the view shows.
        // A window that never draws ends the wait after 10 s, and misses the goal.
        QDeadlineTimer limit(10000);
        while ((ShownRows(grid) == 0 || window.Thumbnails().Decodes() < ShownRows(grid)) &&
               !limit.hasExpired())
            QApplication::processEvents();
        timings.firstScreenMs = Milliseconds(timer);
        timings.firstScreenThumbnails = window.Thumbnails().Decodes();
        std::vector<double> pages;
        QScrollBar* bar = grid->verticalScrollBar();
        for (int page = 0; page < 40 && bar->value() < bar->maximum(); ++page) {
            const int before = window.Thumbnails().Decodes();
            timer.restart();
            bar->setValue(bar->value() + bar->pageStep());
            limit.setRemainingTime(10000);
            while (window.Thumbnails().Decodes() == before && !limit.hasExpired())
                QApplication::processEvents();
            QApplication::processEvents();
            pages.push_back(Milliseconds(timer));
        }
        std::sort(pages.begin(), pages.end());
        timings.pageMedianMs = pages.empty() ? 0 : pages[pages.size() / 2];
        timings.pageWorstMs = pages.empty() ? 0 : pages.back();
    }
    const QString most = QDir(folder).filePath("MOST.POD");
    WriteTextures(most, karvex::kMaxEntries, true, true);
    karvex::ArchiveSession session;
    if (!Open(session, most))
        return timings;
    const double start = ResidentMiB();
    double peak = start;
    {
        karvex::TexturesWindow window(session);
        window.resize(1024, 768);
        window.show();
        QApplication::processEvents();
        QScrollBar* bar = window.findChild<QListView*>("Grid")->verticalScrollBar();
        for (int value = 0; value < bar->maximum() + bar->pageStep(); value += bar->pageStep()) {
            bar->setValue(std::min(value, bar->maximum()));
            QApplication::processEvents();
            peak = std::max(peak, ResidentMiB());
        }
        timings.scrolledThumbnails = window.Thumbnails().Decodes();
    }
    timings.growthMiB = peak - start;
    return timings;
}

void PrintTexturesWindowRows(const TexturesWindowTimings& t) {
    std::printf(
        "| open 5,000 textures in the Textures window, to its first screen drawn (%d thumbnails) | "
        "%.0f ms "
        "| <= 500 ms | %s |\n",
        t.firstScreenThumbnails, t.firstScreenMs, t.firstScreenMs <= 500 ? "yes" : "no");
    std::printf(
        "| a page down through them, to its thumbnails drawn (median, worst of 40) | %.1f ms, "
        "%.1f ms | smooth | %s |\n",
        t.pageMedianMs, t.pageWorstMs, t.pageWorstMs <= 50 ? "yes" : "no");
    std::printf(
        "| Textures window on 32,767 textures, opened and scrolled through (%d thumbnails "
        "drawn): process growth | %.1f MiB | <= 64 MiB | %s |\n",
        t.scrolledThumbnails, t.growthMiB, t.growthMiB <= 64 ? "yes" : "no");
}
