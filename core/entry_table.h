#pragma once

#include <string>
#include <vector>

namespace karvex {

// The open archive's entries as parallel text columns, item i of each belonging to
// entry i + 1: names (shown as List1), size texts (List2), offset texts (the hidden List3)
// and the selection the two shown lists share. The name, size and offset columns always
// have the same length. The response-file lines (the hidden List4) are kept beside them
// in `sources`, which only the response-file reader uses.
class EntryTable {
  public:
    // Empties the name, size and offset columns and the selection; `sources` stays.
    void Clear();
    void Append(std::string name, std::string size, std::string offset);

    int Count() const { return static_cast<int>(m_names.size()); }
    const std::string& Name(int i) const { return m_names[i]; }
    const std::string& Size(int i) const { return m_sizes[i]; }
    const std::string& Offset(int i) const { return m_offsets[i]; }

    bool IsSelected(int i) const { return m_selected[i] != 0; }
    void SetSelected(int i, bool selected) { m_selected[i] = selected ? 1 : 0; }
    void SetAllSelected(bool selected);
    int SelectedCount() const;

    std::vector<std::string> sources;  // List4: response-file lines as read

  private:
    std::vector<std::string> m_names;
    std::vector<std::string> m_sizes;
    std::vector<std::string> m_offsets;
    std::vector<char> m_selected;
};

}  // namespace karvex
