// SPDX-License-Identifier: GPL-3.0-or-later
// What the viewers benchmark needs besides its timers: the archive it builds and, to measure
// texts too large to hold, the process's memory, an archive written directly (sparse where it may
// be), a cold page cache, and a run of karvex32-cli with its first output, its end and its peak
// memory.
#include "bench/viewers_bench_support.h"

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QElapsedTimer>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fstream>

#include "core/archive_session.h"
#include "core/pod_format.h"

void WriteFile(const QString& path, const std::string& bytes) {
    std::ofstream(path.toStdString(), std::ios::binary) << bytes;
}

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

long StatusKiB(const char* field) {
    std::ifstream status("/proc/self/status");
    const std::string prefix = std::string(field) + ":";
    for (std::string line; std::getline(status, line);) {
        if (line.rfind(prefix, 0) == 0)
            return std::atol(line.c_str() + prefix.size());
    }
    return -1;
}

bool ResetPeak() {
    std::ofstream refs("/proc/self/clear_refs");
    refs << "5";
    refs.flush();
    return static_cast<bool>(refs);
}

bool WriteLargeArchive(const QString& path, const char* name, const std::string& head,
                       std::int64_t size, const std::string& fill) {
    std::string start(karvex::kHeaderSize + karvex::kRecordSize, '\0');
    karvex::PutInt32(start.data() + karvex::kCountOffset, 1);
    const std::string field = karvex::EncodeName(name);
    std::memcpy(start.data() + karvex::kHeaderSize, field.data(), field.size());
    karvex::PutInt32(start.data() + karvex::kHeaderSize + karvex::kRecordSizeField,
                     static_cast<std::int32_t>(size));
    karvex::PutInt32(start.data() + karvex::kHeaderSize + karvex::kRecordOffsetField,
                     static_cast<std::int32_t>(start.size()));
    const std::int64_t length = static_cast<std::int64_t>(start.size()) + size;
    if (length > karvex::kMaxArchiveLength)
        return false;
    const int fd = ::open(path.toLocal8Bit().constData(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    if (fd < 0)
        return false;
    bool written = ::write(fd, start.data(), start.size()) == static_cast<ssize_t>(start.size()) &&
                   ::write(fd, head.data(), head.size()) == static_cast<ssize_t>(head.size());
    if (!fill.empty()) {
        std::string block;
        while (block.size() < (1u << 20))
            block += fill;
        for (std::int64_t left = size - static_cast<std::int64_t>(head.size());
             written && left > 0;) {
            const auto n = static_cast<std::size_t>(
                std::min<std::int64_t>(left, static_cast<std::int64_t>(block.size())));
            written = ::write(fd, block.data(), n) == static_cast<ssize_t>(n);
            left -= static_cast<std::int64_t>(n);
        }
    }
    written = written && ::ftruncate(fd, length) == 0;
    return ::close(fd) == 0 && written;
}

void DropCached(const QString& path) {
    const int fd = ::open(path.toLocal8Bit().constData(), O_RDONLY);
    if (fd >= 0) {
        ::posix_fadvise(fd, 0, 0, POSIX_FADV_DONTNEED);
        ::close(fd);
    }
}

CliFigures RunCli(const QString& folder, const std::vector<std::string>& args) {
    CliFigures figures;
    int out[2];
    if (::pipe(out) != 0)
        return figures;
    QElapsedTimer clock;
    clock.start();
    const pid_t child = ::fork();
    if (child == 0) {
        ::dup2(out[1], STDOUT_FILENO);
        const int null = ::open("/dev/null", O_RDWR);
        ::dup2(null, STDIN_FILENO);
        ::dup2(null, STDERR_FILENO);
        ::close(out[0]);
        ::close(out[1]);
        if (::chdir(folder.toLocal8Bit().constData()) != 0)
            ::_exit(127);
        std::vector<char*> argv{const_cast<char*>(KARVEX_CLI)};
        for (const std::string& arg : args)
            argv.push_back(const_cast<char*>(arg.c_str()));
        argv.push_back(nullptr);
        ::execv(KARVEX_CLI, argv.data());
        ::_exit(127);
    }
    ::close(out[1]);
    std::vector<char> block(1 << 16);
    for (ssize_t got; (got = ::read(out[0], block.data(), block.size())) != 0;) {
        if (got < 0) {
            if (errno == EINTR)
                continue;
            break;
        }
        if (figures.outBytes == 0)
            figures.firstMs = static_cast<double>(clock.nsecsElapsed()) / 1e6;
        figures.outBytes += got;
    }
    ::close(out[0]);
    int status = 0;
    rusage usage{};
    if (child > 0 && ::wait4(child, &status, 0, &usage) == child) {
        figures.endMs = static_cast<double>(clock.nsecsElapsed()) / 1e6;
        figures.peakKiB = usage.ru_maxrss;
        figures.exit = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    return figures;
}
