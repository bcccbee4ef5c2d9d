// SPDX-License-Identifier: GPL-3.0-or-later
// The contents search: the archive's data bytes read in overlapping blocks, each occurrence
// of the text given to the entry whose data holds its first byte.
#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "core/entry_table.h"
#include "core/pod_format.h"
#include "search/matching.h"
#include "search/search.h"

namespace karvex {

namespace {

// A stretch of the archive whose every byte belongs to one entry: the first in list order
// whose data holds it.
struct OwnedSpan {
    std::int64_t begin = 0;
    std::int64_t end = 0;
    int owner = 0;
};

// The archive's bytes that belong to an entry, as spans in file order, none empty, none
// overlapping, neighbours with the same owner joined. Entries A [0, 100) and B [50, 60),
// listed A first: one span [0, 100) of A. Listed B first: A [0, 50), B [50, 60), A [60, 100).
std::vector<OwnedSpan> OwnedSpans(const EntryTable& table, std::int64_t archiveLength) {
    struct Edge {
        std::int64_t at;
        int entry;
        bool opens;
    };
    std::vector<Edge> edges;
    for (int i = 0; i < table.Count(); ++i) {
        const ByteRange data = table.Extent(i, archiveLength);
        if (table.IsMissing(i) || data.length <= 0)
            continue;
        edges.push_back({data.offset, i, true});
        edges.push_back({data.offset + data.length, i, false});
    }
    std::sort(edges.begin(), edges.end(), [](const Edge& a, const Edge& b) { return a.at < b.at; });
    std::set<int> open;  // the entries whose data holds the bytes from the current edge on
    std::vector<OwnedSpan> spans;
    for (std::size_t k = 0; k < edges.size();) {
        const std::int64_t at = edges[k].at;
        for (; k < edges.size() && edges[k].at == at; ++k) {
            if (edges[k].opens)
                open.insert(edges[k].entry);
            else
                open.erase(edges[k].entry);
        }
        if (open.empty())
            continue;
        const int owner = *open.begin();
        const std::int64_t next = edges[k].at;  // an open entry closes later, so k is valid
        if (!spans.empty() && spans.back().end == at && spans.back().owner == owner)
            spans.back().end = next;
        else
            spans.push_back({at, next, owner});
    }
    return spans;
}

// Entries as the contents search finds them: a row unless the last row has the entry's
// name, a selection in any case, once.
class Finds {
  public:
    Finds(const EntryTable& table, SearchResults& results)
        : m_table(table), m_results(results), m_selected(table.Count(), false) {}

    void Add(int i) {
        const std::string& name = m_table.Name(i);
        if (m_results.rows.empty() || m_results.rows.back().name != name)
            m_results.rows.push_back({i, name, m_table.Size(i)});
        if (!m_selected[i]) {
            m_selected[i] = true;
            m_results.selected.push_back(i);
        }
    }

  private:
    const EntryTable& m_table;
    SearchResults& m_results;
    std::vector<bool> m_selected;
};

// The occurrences whose first byte lies in the block's own part, [start, start + own), of
// `bytes` read from `start` on. `s` is the first span that does not end before the block
// and moves on with the occurrences. Returns the offset from which the next occurrence
// can matter: after an occurrence, the rest of its span only finds the same entry again.
std::int64_t SearchBlock(std::string_view bytes, std::int64_t start, std::size_t own,
                         TextMatcher& matcher, const std::vector<OwnedSpan>& spans, std::size_t& s,
                         Finds& finds) {
    const std::string_view prepared = matcher.Prepare(bytes);
    const std::size_t limit = std::min(own, bytes.size());
    std::int64_t resume = start;
    std::size_t from = 0;
    for (;;) {
        const std::size_t hit = matcher.Find(prepared, from);
        if (hit == std::string_view::npos || hit >= limit)
            break;
        const std::int64_t q = start + static_cast<std::int64_t>(hit);
        while (s < spans.size() && spans[s].end <= q)
            ++s;
        if (s == spans.size())
            break;
        if (q >= spans[s].begin) {
            finds.Add(spans[s].owner);
            resume = spans[s].end;
        } else {
            resume = spans[s].begin;  // q lies in a gap: nothing before the next span counts
        }
        from = static_cast<std::size_t>(resume - start);
    }
    return resume;
}

// A text that is empty after trimming is found at every byte, so each span gives its owner.
Result ListOwners(const std::vector<OwnedSpan>& spans, Finds& finds, const SearchResults& soFar,
                  const SearchHooks& hooks) {
    for (const OwnedSpan& span : spans) {
        if (StopRequested(hooks, span.begin, soFar))
            return Result::Cancelled();
        finds.Add(span.owner);
    }
    return Result::Done();
}

}  // namespace

Result SearchPodContentsInBlocks(const EntryTable& table, ByteSource& archive,
                                 const SearchRequest& request, SearchResults& results,
                                 const SearchHooks& hooks, std::size_t blockBytes) {
    if (request.text.empty())
        return Result::Refused();
    results.Clear();
    blockBytes = std::max<std::size_t>(blockBytes, 1);
    const std::int64_t length = std::max<std::int64_t>(archive.Length(), 0);
    const std::vector<OwnedSpan> spans = OwnedSpans(table, length);
    Finds finds(table, results);
    const std::string text = SearchText(request.text);
    if (text.empty())
        return ListOwners(spans, finds, results, hooks);

    TextMatcher matcher(text, request.options.matchCase);
    // Each block is read with the text's length - 1 bytes of the next, for the occurrences
    // that start in it and end in the next.
    std::vector<char> buffer(blockBytes + text.size() - 1);
    std::size_t s = 0;
    std::int64_t start = spans.empty() ? 0 : spans.front().begin;
    while (s < spans.size()) {
        if (start >= spans[s].end) {
            ++s;
            continue;
        }
        start = std::max(start, spans[s].begin);
        if (StopRequested(hooks, start, results))
            return Result::Cancelled();
        const auto count = static_cast<std::size_t>(
            std::min<std::int64_t>(static_cast<std::int64_t>(buffer.size()), length - start));
        if (!archive.ReadAt(start, buffer.data(), count))
            return Result::Failed("The archive cannot be read.");
        const std::int64_t resume = SearchBlock(std::string_view(buffer.data(), count), start,
                                                blockBytes, matcher, spans, s, finds);
        start = std::max(start + static_cast<std::int64_t>(blockBytes), resume);
    }
    return Result::Done();
}

Result SearchPodContents(const EntryTable& table, ByteSource& archive, const SearchRequest& request,
                         SearchResults& results, const SearchHooks& hooks) {
    return SearchPodContentsInBlocks(table, archive, request, results, hooks, kContentsBlock);
}

}  // namespace karvex
