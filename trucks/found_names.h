// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The collector's results list: what the results window shows, one name per line.

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

namespace karvex {

// The names found in one examination, in the order they were added, none twice.
class FoundNames {
  public:
    // The most names the list holds: as many as a response file may list, so that the list
    // can always be saved as one.
    static constexpr std::size_t kLimit = 32767;

    // AddFoundName: when the name, blanks removed at both ends, is longer than 12 characters
    // and holds a comma, only the text after its last comma is taken:
    //   "shadow,tex,car.raw" -> "car.raw";  "a,b.raw" stays whole.
    // That text is then added as it stands, leading blanks kept, unless an item equal to it
    // (both without blanks at either end; letter case counts) is listed already:
    //   "  car.raw" is added; a later "car.raw" is not; "CAR.RAW" is.
    // A name that holds a control byte (below 32) is no file name and is never added.
    // False, and the name not added, when it is new and the list already holds kLimit names.
    bool AddFoundName(std::string_view name);

    const std::vector<std::string>& Names() const { return m_names; }
    std::vector<std::string> TakeNames();
    // A new name was refused because the list was full.
    bool Overflowed() const { return m_overflowed; }

  private:
    std::vector<std::string> m_names;
    // Looks names up as they lie in the scanned bytes, without a copy of them.
    struct NameHash {
        using is_transparent = void;
        std::size_t operator()(std::string_view name) const {
            return std::hash<std::string_view>{}(name);
        }
    };
    // The items without outer blanks.
    std::unordered_set<std::string, NameHash, std::equal_to<>> m_trimmed;
    bool m_overflowed = false;
};

// What the user is told when an examination stopped because its list was full.
inline constexpr const char* kListFullText =
    "The entry names more files than the list can hold; the rest of it was not examined.";

}  // namespace karvex
