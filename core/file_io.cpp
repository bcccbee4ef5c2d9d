// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/file_io.h"

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace karvex {

FilePtr OpenFile(const fs::path& path, const char* mode) {
    return FilePtr(std::fopen(path.c_str(), mode));
}

namespace {

using Code = IoStatus::Code;

IoStatus OpenRegular(const fs::path& path, bool update, ReadFile& read) {
    read = {};
    const int fd = ::open(path.c_str(), (update ? O_RDWR : O_RDONLY) | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return IoStatus::FromErrno(Code::ReadFailed, path);
    struct stat info {};
    const bool statted = ::fstat(fd, &info) == 0;
    if (!statted || !S_ISREG(info.st_mode)) {
        IoStatus status = statted ? IoStatus(Code::NotRegular, path, "Not a regular file")
                                  : IoStatus::FromErrno(Code::ReadFailed, path);
        ::close(fd);
        return status;
    }
    // Reads of a regular file never wait; the flag goes only so that stdio sees a plain file.
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    read.file.reset(::fdopen(fd, update ? "r+b" : "rb"));
    if (!read.file) {
        IoStatus status = IoStatus::FromErrno(Code::ReadFailed, path);
        ::close(fd);
        return status;
    }
    read.length = static_cast<std::int64_t>(info.st_size);
    return IoStatus::Done();
}

}  // namespace

IoStatus OpenForReading(const fs::path& path, ReadFile& read) {
    return OpenRegular(path, false, read);
}

IoStatus OpenForUpdate(const fs::path& path, ReadFile& read) {
    return OpenRegular(path, true, read);
}

IoStatus ReadWholeFile(const fs::path& path, std::size_t limit, std::string& bytes) {
    bytes.clear();
    ReadFile in;
    if (IoStatus opened = OpenForReading(path, in); !opened.IsDone())
        return opened;
    // Read to the end rather than trust the length: the file may grow while it is read.
    char block[65536];
    while (true) {
        const std::size_t got = std::fread(block, 1, sizeof block, in.file.get());
        if (got == 0)
            break;
        if (bytes.size() + got > limit) {
            bytes.clear();
            return {Code::ReadFailed, path,
                    "The file is larger than " + std::to_string(limit >> 20) + " MiB."};
        }
        bytes.append(block, got);
    }
    if (std::ferror(in.file.get()))
        return IoStatus::FromErrno(Code::ReadFailed, path);
    return IoStatus::Done();
}

IoStatus SeekTo(std::FILE* file, std::int64_t position) {
    const bool moved = fseeko(file, static_cast<off_t>(position), SEEK_SET) == 0;
    return moved ? IoStatus::Done() : IoStatus::FromErrno(Code::ReadFailed);
}

IoStatus ReadZeroFilled(std::FILE* file, std::int64_t position, char* buffer, std::size_t count) {
    std::memset(buffer, 0, count);
    if (IoStatus moved = SeekTo(file, position); !moved.IsDone())
        return moved;
    std::fread(buffer, 1, count, file);
    return std::ferror(file) ? IoStatus::FromErrno(Code::ReadFailed) : IoStatus::Done();
}

IoStatus ReadExactly(std::FILE* file, char* buffer, std::size_t count) {
    errno = 0;
    if (std::fread(buffer, 1, count, file) != count)
        return IoStatus::ShortRead();
    return IoStatus::Done();
}

IoStatus CloseWritten(FilePtr& file) {
    const bool flushed = std::fflush(file.get()) == 0 && !std::ferror(file.get());
    const int saved = errno;
    const bool closed = std::fclose(file.release()) == 0;
    if (!flushed)
        errno = saved;
    return flushed && closed ? IoStatus::Done() : IoStatus::FromErrno(Code::WriteFailed);
}

std::string ErrorText() {
    return std::strerror(errno);
}

FileIdentity IdentityOf(std::FILE* file) {
    struct stat info {};
    if (::fstat(::fileno(file), &info) != 0)
        return {};
    return {static_cast<std::uint64_t>(info.st_dev), static_cast<std::uint64_t>(info.st_ino)};
}

IoStatus OpenFolderHandle(const fs::path& folder, int& handle) {
    handle = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    return handle >= 0 ? IoStatus::Done() : IoStatus::FromErrno(Code::WriteFailed, folder);
}

IoStatus DuplicateHandle(int folder, int& copy) {
    copy = ::fcntl(folder, F_DUPFD_CLOEXEC, 0);
    return copy >= 0 ? IoStatus::Done() : IoStatus::FromErrno(Code::WriteFailed);
}

IoStatus RegularFileLength(const fs::path& path, std::int64_t& length) {
    length = -1;
    // One look at the file gives both its kind and its length.
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0)
        return IoStatus::FromErrno(Code::ReadFailed, path);
    if (!S_ISREG(info.st_mode))
        return {Code::NotRegular, path, "Not a regular file"};
    length = static_cast<std::int64_t>(info.st_size);
    return IoStatus::Done();
}

FileStamp StampFrom(const struct stat& info) {
    return {static_cast<std::uint64_t>(info.st_dev), static_cast<std::uint64_t>(info.st_ino),
            static_cast<std::int64_t>(info.st_size),
            static_cast<std::int64_t>(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec};
}

IoStatus StampOf(const fs::path& path, FileStamp& stamp) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0)
        return IoStatus::FromErrno(IoStatus::Code::ReadFailed, path);
    stamp = StampFrom(info);
    return IoStatus::Done();
}

}  // namespace karvex
