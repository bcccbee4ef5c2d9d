// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/pod_format.h"

#include <algorithm>
#include <cstring>

#include "core/file_io.h"
#include "core/text.h"

namespace karvex {

std::int32_t GetInt32(const char* bytes) {
    const auto* b = reinterpret_cast<const unsigned char*>(bytes);
    const std::uint32_t value = b[0] | (b[1] << 8) | (b[2] << 16) | (std::uint32_t{b[3]} << 24);
    return static_cast<std::int32_t>(value);
}

void PutInt32(char* bytes, std::int32_t value) {
    const auto v = static_cast<std::uint32_t>(value);
    for (int i = 0; i < 4; ++i)
        bytes[i] = static_cast<char>((v >> (8 * i)) & 0xFF);
}

PodRecord DecodeRecord(const char* record) {
    PodRecord out;
    const std::string_view field(record, kNameSize);
    out.name = UpToNul(field);
    out.invalid = field.front() == '\0' || field.find_first_not_of(' ') == std::string_view::npos;
    out.size = GetInt32(record + kRecordSizeField);
    out.offset = GetInt32(record + kRecordOffsetField);
    return out;
}

std::string EncodeName(std::string_view name) {
    std::string field = ToUpperLatin1(name.substr(0, kNameSize));
    field.resize(kNameSize, ' ');
    std::replace(field.begin(), field.end(), ' ', '\0');
    return field;
}

std::string EncodeComment(std::string_view comment) {
    std::string field(comment.substr(0, kCommentSize));
    field.resize(kCommentSize, ' ');
    for (auto i = field.size(); i > 0 && field[i - 1] == ' '; --i)
        field[i - 1] = '\0';
    return field;
}

bool ParsePodTable(ByteSource& source, PodTable& table) {
    char header[kHeaderSize];
    if (!source.ReadAt(0, header, sizeof header))
        return false;
    table.count = GetInt32(header + kCountOffset);
    table.comment.assign(header + kCommentOffset, kCommentSize);

    const int records = table.count <= 0 ? 0 : std::min(table.count, kMaxEntries + 1);
    // Only the part of the table the source holds is read; the rest reads as zeros.
    const std::int64_t held =
        std::clamp<std::int64_t>((source.Length() - kHeaderSize) / kRecordSize + 1, 0, records);
    table.m_bytes.assign(static_cast<std::size_t>(held) * kRecordSize, '\0');
    table.m_records = static_cast<std::size_t>(records);
    return table.m_bytes.empty() ||
           source.ReadAt(kHeaderSize, table.m_bytes.data(), table.m_bytes.size());
}

PodRecord PodTable::Record(std::size_t n) const {
    const std::size_t at = n * kRecordSize;
    if (at + kRecordSize <= m_bytes.size())
        return DecodeRecord(m_bytes.data() + at);
    const char zeros[kRecordSize] = {};
    return DecodeRecord(zeros);
}

std::string PodTable::NameField(std::size_t n) const {
    const std::size_t at = n * kRecordSize;
    if (at + kRecordSize <= m_bytes.size())
        return std::string(m_bytes.data() + at, kNameSize);
    return std::string(kNameSize, '\0');
}

bool FileSource::ReadAt(std::int64_t position, char* buffer, std::size_t count) {
    return ReadZeroFilled(m_file, position, buffer, count).IsDone();
}

bool MemorySource::ReadAt(std::int64_t position, char* buffer, std::size_t count) {
    std::memset(buffer, 0, count);
    if (position < 0)
        return false;
    const auto size = static_cast<std::int64_t>(m_bytes.size());
    if (position < size) {
        const auto n = std::min<std::int64_t>(static_cast<std::int64_t>(count), size - position);
        std::memcpy(buffer, m_bytes.data() + position, static_cast<std::size_t>(n));
    }
    return true;
}

}  // namespace karvex
