// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/entry_table.h"

#include <algorithm>

#include "core/text.h"

namespace karvex {

ByteRange ClampRange(std::int64_t offset, std::int64_t size, std::int64_t archiveLength) {
    if (size < 0 || offset < 0)
        return {std::max<std::int64_t>(offset, 0), 0, false};
    const std::int64_t held = std::clamp<std::int64_t>(archiveLength - offset, 0, size);
    return {offset, held, held == size};
}

void EntryTable::Clear() {
    m_names.clear();
    m_sizeTexts.clear();
    m_offsetTexts.clear();
    m_numbers.clear();
    m_flags.clear();
}

void EntryTable::Reserve(int count) {
    const auto n = static_cast<std::size_t>(std::max(count, 0));
    m_names.reserve(n);
    m_sizeTexts.reserve(n);
    m_offsetTexts.reserve(n);
    m_numbers.reserve(n);
    m_flags.reserve(n);
}

void EntryTable::Append(std::string name, std::int64_t size, std::string sizeText,
                        std::int64_t offset, std::string offsetText) {
    m_names.push_back(std::move(name));
    m_sizeTexts.push_back(std::move(sizeText));
    m_offsetTexts.push_back(std::move(offsetText));
    m_numbers.push_back({size, offset});
    m_flags.push_back(0);
}

void EntryTable::AppendMissing(std::string name) {
    Append(std::move(name), 0, kMissing, 0, kMissing);
    m_flags.back() = kMissingFlag;
}

int EntryTable::Find(std::string_view name, bool ignoreCase) const {
    for (int i = 0; i < Count(); ++i) {
        if (ignoreCase ? EqualsNoCase(m_names[i], name) : m_names[i] == name)
            return i;
    }
    return -1;
}

void EntryTable::SetAllSelected(bool selected) {
    for (char& flags : m_flags)
        flags = static_cast<char>(selected ? flags | kSelectedFlag : flags & ~kSelectedFlag);
}

int EntryTable::SelectedCount() const {
    return static_cast<int>(std::count_if(m_flags.begin(), m_flags.end(),
                                          [](char flags) { return (flags & kSelectedFlag) != 0; }));
}

}  // namespace karvex
