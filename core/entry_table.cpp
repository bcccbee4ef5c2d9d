#include "entry_table.h"

#include <algorithm>

namespace karvex {

void EntryTable::Clear() {
    m_names.clear();
    m_sizes.clear();
    m_offsets.clear();
    m_selected.clear();
}

void EntryTable::Append(std::string name, std::string size, std::string offset) {
    m_names.push_back(std::move(name));
    m_sizes.push_back(std::move(size));
    m_offsets.push_back(std::move(offset));
    m_selected.push_back(0);
}

void EntryTable::SetAllSelected(bool selected) {
    std::fill(m_selected.begin(), m_selected.end(), selected ? 1 : 0);
}

int EntryTable::SelectedCount() const {
    return static_cast<int>(std::count(m_selected.begin(), m_selected.end(), 1));
}

}  // namespace karvex
