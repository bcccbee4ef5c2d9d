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
bool SeekTo(std::FILE* file, std::int64_t position);
// Reads up to `count` bytes at `position`; bytes past the end of the file read as zero.
// False only when the file cannot be read at all.
bool ReadZeroFilled(std::FILE* file, std::int64_t position, char* buffer, std::size_t count);
// Closes a written file; false (with errno set) when the data could not be written.
bool CloseWritten(FilePtr& file);

// The reason of the last failed file operation, such as "Permission denied".
std::string ErrorText();

// A new, empty file in the same folder as `target`, under a name no other file has,
// to be renamed over `target` once it is complete.
struct TempFile {
    FilePtr file;
    fs::path path;
};
TempFile CreateTempBeside(const fs::path& target);

// Replaces (or creates) `target` with `content`: written to a temporary file beside it,
// then renamed over it, so that a failure half-way never loses the old file. On failure
// `error` names the reason and `target` is as it was.
bool WriteFileReplacing(const fs::path& target, std::string_view content, std::string& error);

// The file's length in bytes, or -1 when it is not a readable regular file.
std::int64_t RegularFileLength(const fs::path& path);

}  // namespace karvex
