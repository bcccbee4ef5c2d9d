// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>
#include <QDir>
#include <QString>

#include <cstdint>
#include <string>
#include <vector>

constexpr int kSide = 256;  // the texture's side
constexpr int kTextLines = 100000;
constexpr int kLineBytes = 50;  // CR LF included

// The texture: palette index of the pixel at (x, y).
inline int TextureIndex(int x, int y) {
    return ((x ^ y) + y / 2) & 0xFF;
}
// The palette: the colour of index n.
inline QRgb PaletteColor(int n) {
    return qRgb(n, 255 - n, (n * 3) & 0xFF);
}

// Writes the texture, its palette and the text the benchmark's archive is built from, and
// the response file that lists them.
void WriteSources(const QDir& sources);
// Builds `folder`/bench.pod from the response file as the Make command does, in a session
// of its own; false when it was not built.
bool BuildArchive(const QString& folder, const QString& sources);

// --- Texts too large to hold -----------------------------------------------------------

// A field of /proc/self/status in KiB, or -1.
long StatusKiB(const char* field);

// Starts the peak (VmHWM) over from what the process holds now.
bool ResetPeak();

// An archive of one entry `name` at offset 124: `head`, then `fill` repeated up to `size`
// bytes, or nothing at all when `fill` is empty: the file is then cut to length with
// ftruncate, and the hole reads as zeros without taking disk.
bool WriteLargeArchive(const QString& path, const char* name, const std::string& head,
                       std::int64_t size, const std::string& fill);

// Drops the file's pages from the page cache, so that every run reads it cold.
void DropCached(const QString& path);

struct CliFigures {
    double firstMs = -1;  // the first byte of output
    double endMs = -1;
    long long outBytes = 0;
    long peakKiB = -1;  // the child's peak resident size
    int exit = -1;
};

// Runs karvex32-cli with `args` in `folder`, reading and dropping what it prints.
CliFigures RunCli(const QString& folder, const std::vector<std::string>& args);

// --- The wave player (wave_bench.cpp) ----------------------------------------------------

// Times Play to sound and the opening of a tiny wave, with files made in `folder`; false
// when a goal is missed. Says so and counts as met when no sound server can be recorded.
bool MeasureWavePlayer(const QString& folder);
