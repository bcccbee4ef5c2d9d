// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The search window's matching, without the window: which entries of the open archive
// match a text by name, by displayed size or by the contents of their data, as the rows of
// the result lists and the main-window entries that "Select matching files" selects. The
// window (Form12) and `karvex32-cli search` both call these.
//
// The text is taken as typed: trailing blanks are dropped, leading ones kept. A text that is
// blanks only is then empty and matches every entry. An empty box starts no search; these
// functions refuse an empty text and leave the results as they were.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "core/result.h"

namespace karvex {

class Session;
class ByteSource;
class EntryTable;

struct SearchOptions {
    bool matchCase = false;   // "Match case": letters must match in case
    bool bySize = false;      // "Search by size": the displayed sizes instead of the names
    bool byContents = false;  // "Search POD contents": the data bytes; wins over bySize
};

struct SearchRequest {
    std::string text;  // as typed in the box
    SearchOptions options;
    std::string separator = ",";  // thousands separator of the size texts (the locale's)
};

// One row of the result lists: the entry's name and its size as the main list shows it.
struct SearchRow {
    int index = 0;  // the entry, 0-based, in the main window's lists
    std::string name;
    std::string size;
    bool operator==(const SearchRow&) const = default;
};

struct SearchResults {
    std::vector<SearchRow> rows;  // in the order found
    // The entries "Select matching files" selects, each once, in the order found. For a
    // contents search this includes an entry whose row was left out because it repeats
    // the name of the row above it.
    std::vector<int> selected;

    int Found() const { return static_cast<int>(rows.size()); }
    void Clear() {
        rows.clear();
        selected.clear();
    }
};

// How a running search reports and is stopped. Both are optional.
struct SearchHooks {
    // Before each entry of a name or size search with its number (1 for the first), and
    // before each block of a contents search with the block's first byte offset; the
    // results so far come along, so that the window can show new rows and the counter.
    // The window yields to its events here.
    std::function<void(std::int64_t position, const SearchResults& soFar)> progress;
    // Asked right after each progress call; true ends the search, Cancelled, with the
    // rows found so far.
    std::function<bool()> cancelRequested;
};

// The progress and counter texts of the window, numbers grouped with `separator`.
inline constexpr const char* kSearchFinishedText = "Finished";
std::string SearchingText(std::int64_t position, std::string_view separator);  // "Searching 4,096"
std::string FoundText(int found, std::string_view separator);                  // "1,500 Found"

// The box's text as searched: trailing blanks removed, leading ones kept. "  ab  " -> "  ab".
std::string SearchText(std::string_view typed);

// The text a size search looks for inside the displayed sizes: a whole number (blanks
// before it and a sign allowed) formatted as the sizes are, anything else as it is.
// "4096" -> "4,096"; " 0012" -> "12"; "4,096" and "abc" stay as they are.
std::string SizeKey(std::string_view text, std::string_view separator);

// Name or size search over the table: an entry matches when its name, or its displayed
// size, holds the text (for sizes: SizeKey of the text). `results` is emptied first.
Result SearchEntryList(const EntryTable& table, const SearchRequest& request,
                       SearchResults& results, const SearchHooks& hooks = {});

// Contents search over `archive`, the bytes of the archive the table was loaded from; only
// `request.text` and `matchCase` are used. Each entry's data is the part of
// [offset, offset + size) that the archive holds. The bytes from the lowest such offset on
// are read in blocks of kContentsBlock bytes, each read with the text's length - 1 bytes
// more, so that an occurrence across two blocks is found, and found once. Bytes that can
// change nothing are passed over: a gap between entries' data, and the rest of a stretch
// of one entry's data once the text was found in it.
//
// An occurrence belongs to the first entry, in list order, whose data holds its first byte;
// one in no entry's data (the table, a gap, bytes after the last entry) belongs to none.
// Each occurrence adds its entry's row unless the last row already has that entry's name;
// the entry is selected in any case. For entries that lie in list order one after the
// other, as the builder writes them, this is the window's rule: the last entry whose offset
// is at most the occurrence's. A text that is empty after trimming finds every entry that
// owns at least one byte, without reading any.
//
// Nothing is read outside [0, archive.Length()). Failed when the archive cannot be read.
inline constexpr std::size_t kContentsBlock = 64000;
Result SearchPodContents(const EntryTable& table, ByteSource& archive, const SearchRequest& request,
                         SearchResults& results, const SearchHooks& hooks = {});
// The same in blocks of `blockBytes` (at least 1): lets the tests and the fuzzer cross many
// block boundaries with small archives.
Result SearchPodContentsInBlocks(const EntryTable& table, ByteSource& archive,
                                 const SearchRequest& request, SearchResults& results,
                                 const SearchHooks& hooks, std::size_t blockBytes);

// The Search button: the contents search when byContents is set, else the name or size
// search, over the open archive of `session` (PodFolder/PodFileName, opened for this search
// only) with the core's thousands separator. The search also stops when the session's
// cancel is requested. Failed, with a message naming the archive, when it cannot be read.
Result SearchOpenArchive(Session& session, std::string_view typed, const SearchOptions& options,
                         SearchResults& results, const SearchHooks& hooks = {});

}  // namespace karvex
