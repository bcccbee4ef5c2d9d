// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// The Textures window on big archives, as karvex32-gui-bench reports it.
struct TexturesWindowTimings {
    double firstScreenMs = 0;  // 5,000 textures: from the archive opened to the first screen drawn
    int firstScreenThumbnails = 0;
    double pageMedianMs = 0, pageWorstMs = 0;  // a page down, to its thumbnails drawn
    int scrolledThumbnails = 0;                // decoded on the way down
    double growthMiB =
        0;  // 32,767 textures: the most the process grew, opened and scrolled through
};

// Makes its archives in `folder` and times the window over them.
TexturesWindowTimings TimeTexturesWindow(const QString& folder);
// The table rows of the timings, after the main table's header.
void PrintTexturesWindowRows(const TexturesWindowTimings& timings);
