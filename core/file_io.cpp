#include "file_io.h"

#include <cerrno>
#include <cstring>
#include <system_error>

#ifndef _WIN32
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace karvex {

FilePtr OpenFile(const fs::path& path, const char* mode) {
    return FilePtr(std::fopen(path.c_str(), mode));
}

namespace {

ReadFile OpenRegular(const fs::path& path, bool update) {
    ReadFile read;
#ifdef _WIN32
    read.file = OpenFile(path, update ? "r+b" : "rb");
    read.length = read.file ? RegularFileLength(path) : -1;
    if (!read.file || read.length < 0) {
        read.error = read.file ? "Not a regular file" : ErrorText();
        read.file.reset();
    }
#else
    const int fd = ::open(path.c_str(), (update ? O_RDWR : O_RDONLY) | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        read.error = ErrorText();
        return read;
    }
    struct stat info {};
    const bool statted = ::fstat(fd, &info) == 0;
    if (!statted || !S_ISREG(info.st_mode)) {
        read.error = statted ? "Not a regular file" : ErrorText();
        ::close(fd);
        return read;
    }
    // Reads of a regular file never wait; the flag goes only so that stdio sees a plain file.
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    read.file.reset(::fdopen(fd, update ? "r+b" : "rb"));
    if (!read.file) {
        read.error = ErrorText();
        ::close(fd);
        return read;
    }
    read.length = static_cast<std::int64_t>(info.st_size);
#endif
    return read;
}

}  // namespace

ReadFile OpenForReading(const fs::path& path) {
    return OpenRegular(path, false);
}

ReadFile OpenForUpdate(const fs::path& path) {
    return OpenRegular(path, true);
}

bool SeekTo(std::FILE* file, std::int64_t position) {
#ifdef _WIN32
    return _fseeki64(file, position, SEEK_SET) == 0;
#else
    return fseeko(file, static_cast<off_t>(position), SEEK_SET) == 0;
#endif
}

bool ReadZeroFilled(std::FILE* file, std::int64_t position, char* buffer, std::size_t count) {
    std::memset(buffer, 0, count);
    if (!SeekTo(file, position))
        return false;
    std::fread(buffer, 1, count, file);
    return !std::ferror(file);
}

bool CloseWritten(FilePtr& file) {
    const bool flushed = std::fflush(file.get()) == 0 && !std::ferror(file.get());
    const int saved = errno;
    const bool closed = std::fclose(file.release()) == 0;
    if (!flushed)
        errno = saved;
    return flushed && closed;
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

int OpenFolderHandle(const fs::path& folder) {
    return ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
}

int DuplicateHandle(int folder) {
    return ::fcntl(folder, F_DUPFD_CLOEXEC, 0);
}

std::int64_t RegularFileLength(const fs::path& path) {
#ifdef _WIN32
    std::error_code ec;
    if (!fs::is_regular_file(path, ec))
        return -1;
    const auto size = fs::file_size(path, ec);
    return ec ? -1 : static_cast<std::int64_t>(size);
#else
    // One look at the file gives both its kind and its length.
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode))
        return -1;
    return static_cast<std::int64_t>(info.st_size);
#endif
}

}  // namespace karvex
