// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace karvex {

// What the size and offset columns show for a listed file that is in neither folder.
inline constexpr const char* kMissing = "Missing";

// Where an entry's bytes lie in the archive file, as far as the file holds them.
struct ByteRange {
    std::int64_t offset = 0;
    std::int64_t length = 0;
    bool complete = true;  // false: a negative size or offset, or bytes past the end
};

// The part of [offset, offset + size) that an archive of `archiveLength` bytes holds.
// A negative size or offset gives nothing; a range past the end is cut at the end:
//   offset 100, size 50, length 120 -> {100, 20, incomplete}
ByteRange ClampRange(std::int64_t offset, std::int64_t size, std::int64_t archiveLength);

// The open archive's entries as parallel columns, item i of each belonging to entry i + 1:
// names (shown as List1), size texts (List2), offset texts (the hidden List3) and the
// selection the two shown lists share. Beside the texts it keeps each entry's size and
// offset as numbers: the lists show the texts, every routine uses the numbers. The
// response-file lines (the hidden List4) are kept in `sources`, which only the
// response-file reader uses.
class EntryTable {
  public:
    // Empties every column but `sources`, and the selection.
    void Clear();
    // Makes room for `count` entries at once, so that a large table is not grown in steps.
    void Reserve(int count);
    void Append(std::string name, std::int64_t size, std::string sizeText, std::int64_t offset,
                std::string offsetText);
    // A listed file that is in neither folder: "Missing" in both columns.
    void AppendMissing(std::string name);

    int Count() const { return static_cast<int>(m_names.size()); }
    const std::string& Name(int i) const { return m_names[i]; }
    const std::string& Size(int i) const { return m_sizeTexts[i]; }
    const std::string& Offset(int i) const { return m_offsetTexts[i]; }
    std::int64_t SizeOf(int i) const { return m_numbers[i].size; }
    std::int64_t OffsetOf(int i) const { return m_numbers[i].offset; }
    bool IsMissing(int i) const { return (m_flags[i] & kMissingFlag) != 0; }
    // Entry i's bytes in an archive of `archiveLength` bytes.
    ByteRange Extent(int i, std::int64_t archiveLength) const {
        return ClampRange(OffsetOf(i), SizeOf(i), archiveLength);
    }

    // The first entry named `name`, or -1. Names compare whole; `ignoreCase` ignores the
    // case of ASCII letters.
    int Find(std::string_view name, bool ignoreCase) const;

    bool IsSelected(int i) const { return (m_flags[i] & kSelectedFlag) != 0; }
    void SetSelected(int i, bool selected) {
        m_flags[i] =
            static_cast<char>(selected ? m_flags[i] | kSelectedFlag : m_flags[i] & ~kSelectedFlag);
    }
    void SetAllSelected(bool selected);
    int SelectedCount() const;

    std::vector<std::string> sources;  // List4: response-file lines as read

  private:
    struct Numbers {
        std::int64_t size = 0;
        std::int64_t offset = 0;
    };
    static constexpr char kSelectedFlag = 1;
    static constexpr char kMissingFlag = 2;
    std::vector<std::string> m_names;
    std::vector<std::string> m_sizeTexts;
    std::vector<std::string> m_offsetTexts;
    std::vector<Numbers> m_numbers;
    std::vector<char> m_flags;  // kSelectedFlag, kMissingFlag
};

}  // namespace karvex
