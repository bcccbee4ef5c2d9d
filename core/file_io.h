#pragma once

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>

namespace karvex {

namespace fs = std::filesystem;

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
// An open file, closed when it goes out of scope. Files that were written are closed
// through CloseWritten, so that a failed flush is noticed.
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

// Opens `path` with an fopen mode; null on failure, with errno set.
FilePtr OpenFile(const fs::path& path, const char* mode);

// A file from outside, opened for reading as what it claims to be. It is opened without
// waiting (so a FIFO cannot hang the program) and refused with "Not a regular file" unless
// the open descriptor is a regular file; its length comes from that same descriptor.
struct ReadFile {
    FilePtr file;              // null when refused or unreadable
    std::int64_t length = -1;  // -1 when refused or unreadable
    std::string error;         // the reason, when refused or unreadable
};
ReadFile OpenForReading(const fs::path& path);
// The same, opened for reading and writing in place.
ReadFile OpenForUpdate(const fs::path& path);
bool SeekTo(std::FILE* file, std::int64_t position);
// Reads up to `count` bytes at `position`; bytes past the end of the file read as zero.
// False only when the file cannot be read at all.
bool ReadZeroFilled(std::FILE* file, std::int64_t position, char* buffer, std::size_t count);
// Closes a written file; false (with errno set) when the data could not be written.
bool CloseWritten(FilePtr& file);

// The reason of the last failed file operation, such as "Permission denied".
std::string ErrorText();

// Which file an open file is, to tell whether a name leads to the same one.
struct FileIdentity {
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
};
FileIdentity IdentityOf(std::FILE* file);

// An open handle of `folder` (following a link there: the user chose it), or -1 with
// errno set.
int OpenFolderHandle(const fs::path& folder);
// A second handle of the open folder `folder` (close-on-exec), or -1 with errno set.
int DuplicateHandle(int folder);

// The file's length in bytes, or -1 when it is not a readable regular file.
std::int64_t RegularFileLength(const fs::path& path);

}  // namespace karvex
