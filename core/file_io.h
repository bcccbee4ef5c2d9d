// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <sys/stat.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>

#include "core/io_status.h"

namespace karvex {

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
// An open file, closed when it goes out of scope. Files that were written are closed
// through CloseWritten, so that a failed flush is noticed.
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

// Opens `path` with an fopen mode; null on failure, with errno set.
FilePtr OpenFile(const std::filesystem::path& path, const char* mode);

// A file from outside, opened for reading as what it claims to be. It is opened without
// waiting (so a FIFO cannot hang the program) and refused with "Not a regular file" unless
// the open descriptor is a regular file; its length comes from that same descriptor.
struct ReadFile {
    FilePtr file;              // null when refused or unreadable
    std::int64_t length = -1;  // -1 when refused or unreadable
};
IoStatus OpenForReading(const std::filesystem::path& path, ReadFile& read);
// The whole of a small file from outside, opened as OpenForReading opens it; ReadFailed
// with "The file is larger than N MiB." when it holds more than `limit` (N MiB) bytes.
IoStatus ReadWholeFile(const std::filesystem::path& path, std::size_t limit, std::string& bytes);

// The same, opened for reading and writing in place.
IoStatus OpenForUpdate(const std::filesystem::path& path, ReadFile& read);
IoStatus SeekTo(std::FILE* file, std::int64_t position);
// Reads up to `count` bytes at `position`; bytes past the end of the file read as zero.
// Fails only when the file cannot be read at all.
IoStatus ReadZeroFilled(std::FILE* file, std::int64_t position, char* buffer, std::size_t count);
// Reads exactly `count` bytes where the file stands; a short read fails (IoStatus::ShortRead).
IoStatus ReadExactly(std::FILE* file, char* buffer, std::size_t count);
// Closes a written file; fails when the data could not be written.
IoStatus CloseWritten(FilePtr& file);

// The reason of the last failed file operation, such as "Permission denied".
std::string ErrorText();

// Which file an open file is, to tell whether a name leads to the same one.
struct FileIdentity {
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
};
FileIdentity IdentityOf(std::FILE* file);

// Opens `handle` on `folder` (following a link there: the user chose it).
IoStatus OpenFolderHandle(const std::filesystem::path& folder, int& handle);
// A second handle `copy` of the open folder `folder` (close-on-exec).
IoStatus DuplicateHandle(int folder, int& copy);

// The length in bytes of `path`; fails unless it is a readable regular file.
IoStatus RegularFileLength(const std::filesystem::path& path, std::int64_t& length);

// A file as it was loaded: which file it is, and its size and modification time then.
struct FileStamp {
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    std::int64_t size = 0;
    std::int64_t modified = 0;  // nanoseconds since the epoch
    bool operator==(const FileStamp&) const = default;
};
FileStamp StampFrom(const struct stat& info);
// The stamp of the file `path` leads to now (through any links).
IoStatus StampOf(const std::filesystem::path& path, FileStamp& stamp);

}  // namespace karvex
