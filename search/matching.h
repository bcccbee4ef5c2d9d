// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// What the name, size and contents searches share: the substring test with or without
// letter case, and the progress-and-stop step of their loops.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "search/search.h"

namespace karvex {

// Finds one text in bytes. Ignoring case, both sides are folded to upper case as
// ToUpperLatin1 does it (a-z and the accented Latin-1 letters), through a table, so that
// "car" finds "CAR.RAW" and "é" finds "É"; other bytes compare as they are.
class TextMatcher {
  public:
    TextMatcher(std::string_view text, bool matchCase);
    TextMatcher(const TextMatcher&) = delete;
    TextMatcher& operator=(const TextMatcher&) = delete;

    std::size_t Length() const { return m_text.size(); }
    // `bytes` as Find compares them: folded unless case is to match. The view is valid
    // until the next call, or as long as `bytes` when case is to match.
    std::string_view Prepare(std::string_view bytes);
    // The first occurrence in prepared bytes starting at or after `from`, or npos.
    std::size_t Find(std::string_view prepared, std::size_t from) const;
    bool Contains(std::string_view bytes) {
        return Find(Prepare(bytes), 0) != std::string_view::npos;
    }

  private:
    using Searcher = std::boyer_moore_horspool_searcher<std::string::const_iterator>;
    bool m_matchCase;
    const std::array<char, 256>& m_fold;
    std::string m_text;  // folded unless case is to match; m_searcher points into it
    Searcher m_searcher;
    std::string m_scratch;  // the last bytes folded
};

// One step of a search loop: reports `position` and the results so far, then asks whether
// to stop.
inline bool StopRequested(const SearchHooks& hooks, std::int64_t position,
                          const SearchResults& soFar) {
    if (hooks.progress)
        hooks.progress(position, soFar);
    return hooks.cancelRequested && hooks.cancelRequested();
}

}  // namespace karvex
