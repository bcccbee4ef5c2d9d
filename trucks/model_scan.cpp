// SPDX-License-Identifier: GPL-3.0-or-later
#include "trucks/model_scan.h"

#include <algorithm>
#include <string>

#include "trucks/name_scan.h"

namespace karvex {

namespace {

// One pass's windows: the first holds `firstSize` bytes from the entry's start and takes the
// occurrences that begin in its first `firstBound` bytes; every later one holds `size` bytes
// and takes those that begin in its first `bound`. With `cutOnly`, a window looks only at
// occurrences that begin in the last three bytes before its bound: the rest lie wholly
// inside a window of the pass before, and give names that are listed already.
struct PassLayout {
    std::size_t firstSize, firstBound, size, bound;
    bool cutOnly;
};

// Scans one pass while the entry's bytes arrive. The buffer holds the window being filled
// behind the last kMaxNameLength bytes before it (fewer at the entry's start), so that a
// name can reach back across the window's start and nothing else is kept.
class PassScanner {
  public:
    PassScanner(const PassLayout& layout, FoundNames& list, const StopCheck& stop)
        : m_layout(layout),
          m_list(list),
          m_stop(stop),
          m_size(layout.firstSize),
          m_bound(layout.firstBound) {
        m_buffer.reserve(kMaxNameLength + std::max(layout.firstSize, layout.size));
    }

    // Takes the entry's next bytes; false when the pass has ended early.
    bool Feed(std::string_view block) {
        while (!block.empty()) {
            const std::size_t take = std::min(m_history + m_size - m_buffer.size(), block.size());
            m_buffer.append(block.substr(0, take));
            block.remove_prefix(take);
            if (m_buffer.size() == m_history + m_size && !NextWindow())
                return false;
        }
        return true;
    }

    // Scans the window the entry ended in; how the pass ended.
    Result Finish() {
        if (m_outcome.IsDone())
            ScanWindow();
        return m_outcome;
    }

  private:
    bool NextWindow() {
        if (!ScanWindow())
            return false;
        const std::size_t keep = std::min(kMaxNameLength, m_buffer.size());
        m_buffer.erase(0, m_buffer.size() - keep);
        m_history = keep;
        m_size = m_layout.size;
        m_bound = m_layout.bound;
        return true;
    }

    bool ScanWindow() {
        const std::size_t bound = m_history + m_bound;
        const std::size_t first = m_layout.cutOnly ? std::max(m_history + 3, bound) - 3 : m_history;
        // A name that repeats the one before it is listed already.
        std::string_view last;
        const bool whole = m_names.Scan(m_buffer, first, bound, [&](std::string_view name) {
            if (name == last)
                return true;
            last = name;
            return m_list.AddFoundName(name);
        });
        if (!whole)
            m_outcome = Result::Refused(kListFullText);
        else if (m_stop && m_stop())
            m_outcome = Result::Cancelled();
        return m_outcome.IsDone();
    }

    const PassLayout m_layout;
    FoundNames& m_list;
    const StopCheck& m_stop;
    std::string m_buffer;
    NameScanner m_names;
    std::size_t m_history = 0;  // bytes of m_buffer before the window
    std::size_t m_size;         // the window's size and bound
    std::size_t m_bound;
    Result m_outcome;
};

}  // namespace

Result ScanModel(const EntryReader& entry, FoundNames& list, const StopCheck& stop,
                 const ModelWindows& windows) {
    // A layout too narrow to hold an extension on either side of the shift is widened, so
    // that pass 2 still ends its windows behind every occurrence that pass 1 cuts.
    const std::size_t size = std::max<std::size_t>(windows.size, 8);
    const std::size_t shift = std::clamp<std::size_t>(windows.shift, 4, size - 4);
    const PassLayout passes[] = {
        {size, size, size, size, false},
        {shift, 1, size, size - shift, true},
    };
    for (const PassLayout& layout : passes) {
        PassScanner scanner(layout, list, stop);
        const Result read = entry([&](std::string_view block) { return scanner.Feed(block); });
        if (read.status == Result::Status::Failed)
            return read;
        Result pass = scanner.Finish();
        if (!pass.IsDone())
            return pass;
    }
    return Result::Done();
}

}  // namespace karvex
