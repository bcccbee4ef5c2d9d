// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

namespace karvex {

// The POD archive layout. All integers are 32-bit signed little-endian.
//
//   offset 0   entry count
//   offset 4   comment, 80 bytes
//   offset 84  entry table, 40 bytes per entry: name (32 bytes, NUL-padded; a 32-character
//              name has no terminator), size, absolute offset of the entry's data
//   then       the entries' data, each at its own offset
constexpr int kCountOffset = 0;
constexpr int kCommentOffset = 4;
constexpr int kCommentSize = 80;
constexpr int kHeaderSize = 84;
constexpr int kRecordSize = 40;
constexpr int kNameSize = 32;
constexpr int kRecordSizeField = 32;
constexpr int kRecordOffsetField = 36;
// The loader lists at most this many entries; the next one stops it.
constexpr int kMaxEntries = 32767;
// Archives are addressed with 32-bit signed offsets.
constexpr std::int64_t kMaxArchiveLength = 2147483647;

std::int32_t GetInt32(const char* bytes);
void PutInt32(char* bytes, std::int32_t value);

struct PodRecord {
    std::string name;  // up to the first NUL, or all 32 bytes
    std::int32_t size = 0;
    std::int32_t offset = 0;
    bool invalid = false;  // empty name, or 32 blanks: the whole archive then counts as failed
};
PodRecord DecodeRecord(const char* record);

// The 32-byte name field the builder writes: upper case, cut to 32, blank-padded, and every
// blank then a NUL. "art\box.raw" -> "ART\BOX.RAW" + 21 NULs; "MY FILE.RAW" reads back "MY".
std::string EncodeName(std::string_view name);

// The comment as the builder writes it: 80 bytes, trailing blanks turned into NULs,
// inner blanks kept.
std::string EncodeComment(std::string_view comment);

// Where the loader reads from: a file or, in tests, a byte buffer. Bytes past the end
// read as zero, so a table running past the end gives empty, invalid names.
class ByteSource {
  public:
    virtual ~ByteSource() = default;
    virtual std::int64_t Length() const = 0;
    // False only when the source cannot be read at all.
    virtual bool ReadAt(std::int64_t position, char* buffer, std::size_t count) = 0;
};

class FileSource : public ByteSource {
  public:
    FileSource(std::FILE* file, std::int64_t length) : m_file(file), m_length(length) {}
    std::int64_t Length() const override { return m_length; }
    bool ReadAt(std::int64_t position, char* buffer, std::size_t count) override;

  private:
    std::FILE* m_file;
    std::int64_t m_length;
};

class MemorySource : public ByteSource {
  public:
    explicit MemorySource(std::string_view bytes) : m_bytes(bytes) {}
    std::int64_t Length() const override { return static_cast<std::int64_t>(m_bytes.size()); }
    bool ReadAt(std::int64_t position, char* buffer, std::size_t count) override;

  private:
    std::string_view m_bytes;
};

// An archive's header and entry table as they are stored, before anything is judged.
struct PodTable {
    std::int32_t count = 0;  // the header's entry count, as stored
    std::string comment;     // the 80 comment bytes, as stored
    // The records the count announces, at most kMaxEntries + 1 of them: one past the limit
    // tells the loader to stop. A table that runs past the end of the source reads zeros
    // there, which give empty (invalid) names.
    std::size_t Records() const { return m_records; }
    PodRecord Record(std::size_t n) const;
    // Record n's 32 name bytes as stored, padding and all (zeros past the source's end).
    std::string NameField(std::size_t n) const;

  private:
    friend bool ParsePodTable(ByteSource& source, PodTable& table);
    std::vector<char> m_bytes;  // the records the source holds, 40 bytes each
    std::size_t m_records = 0;
};

// Reads the header and entry table from `source`. Nothing is allocated from the count
// beyond the record limit. False when the source cannot be read.
bool ParsePodTable(ByteSource& source, PodTable& table);

}  // namespace karvex
