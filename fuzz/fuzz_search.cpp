// SPDX-License-Identifier: GPL-3.0-or-later
// The contents search against a plain reading of its rule: for every byte of the archive,
// does the text start there, and which entry, first in list order, holds that byte. The
// search runs in blocks of a size taken from the input and in its own 64,000-byte blocks,
// over a table whose entries point anywhere: out of order, overlapping, past the end,
// negative. It must give the same rows and selections, and read nothing outside the file.
//
// Input: flags (bit 0 match case, the rest the block size), the text's length and bytes,
// the entry count, five bytes per entry (name, offset and size as signed 16-bit numbers),
// then the archive's bytes.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "core/entry_table.h"
#include "core/number_text.h"
#include "core/pod_format.h"
#include "core/text.h"
#include "fuzz/fuzz_support.h"
#include "search/search.h"

using namespace karvex;

namespace {

constexpr std::size_t kMaxArchive = 4096;
constexpr int kMaxTableEntries = 8;

// A memory archive that stops the fuzzer at any read outside it.
class CheckedSource : public ByteSource {
  public:
    explicit CheckedSource(std::string_view bytes) : m_bytes(bytes) {}
    std::int64_t Length() const override { return m_bytes.Length(); }
    bool ReadAt(std::int64_t position, char* buffer, std::size_t count) override {
        KARVEX_FUZZ_CHECK(
            position >= 0 && position + static_cast<std::int64_t>(count) <= Length(),
            "a read at " + std::to_string(position) + " of " + std::to_string(count) + " bytes");
        return m_bytes.ReadAt(position, buffer, count);
    }

  private:
    MemorySource m_bytes;
};

// Reads the input from the front; bytes past its end read as zero.
struct Reader {
    std::string_view rest;
    unsigned char Byte() {
        if (rest.empty())
            return 0;
        const auto b = static_cast<unsigned char>(rest.front());
        rest.remove_prefix(1);
        return b;
    }
    std::int64_t Number(std::int64_t length) {
        const auto value = static_cast<std::int16_t>(Byte() | (Byte() << 8));
        // Mostly within the archive and a little past it; negative ones as they are.
        return value < 0 ? value : value % (length + 32);
    }
};

// The rule read plainly, one byte at a time.
SearchResults Expected(const EntryTable& table, std::string_view archive, std::string text,
                       bool matchCase) {
    text = SearchText(text);
    auto fold = [&](std::string_view s) { return matchCase ? std::string(s) : ToUpperLatin1(s); };
    const std::string bytes = fold(archive), wanted = fold(text);
    const auto length = static_cast<std::int64_t>(archive.size());
    SearchResults results;
    for (std::int64_t q = 0; q + static_cast<std::int64_t>(wanted.size()) <= length && q < length;
         ++q) {
        if (bytes.compare(q, wanted.size(), wanted) != 0)
            continue;
        for (int i = 0; i < table.Count(); ++i) {
            const ByteRange data = table.Extent(i, length);
            if (q < data.offset || q >= data.offset + data.length)
                continue;
            if (results.rows.empty() || results.rows.back().name != table.Name(i))
                results.rows.push_back({i, table.Name(i), table.Size(i)});
            if (std::find(results.selected.begin(), results.selected.end(), i) ==
                results.selected.end())
                results.selected.push_back(i);
            break;
        }
    }
    return results;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Reader in{fuzz::AsText(data, size)};
    const unsigned char flags = in.Byte();
    const bool matchCase = (flags & 1) != 0;
    const std::size_t block = 1 + (flags >> 1) % 64;
    std::string text;
    for (int n = in.Byte() % 16; n > 0; --n)
        text += static_cast<char>(in.Byte());
    const int count = in.Byte() % (kMaxTableEntries + 1);
    std::vector<unsigned char> records;
    for (int n = 0; n < 5 * count; ++n)
        records.push_back(in.Byte());
    const std::string_view archive = in.rest.substr(0, kMaxArchive);
    const auto length = static_cast<std::int64_t>(archive.size());

    EntryTable table;
    Reader fields{std::string_view(reinterpret_cast<const char*>(records.data()), records.size())};
    for (int i = 0; i < count; ++i) {
        const std::string name(1, static_cast<char>('A' + fields.Byte() % 3));
        const std::int64_t offset = fields.Number(length), entrySize = fields.Number(length);
        table.Append(name, entrySize, FormatNumber(entrySize, ","), offset, PlainNumber(offset));
    }

    CheckedSource source(archive);
    const SearchRequest request{text, {matchCase, false, true}, ","};
    std::int64_t last = -1;
    SearchHooks hooks{[&](std::int64_t at, const SearchResults&) {
                          KARVEX_FUZZ_CHECK(at > last && at < length,
                                            "a step at " + std::to_string(at));
                          last = at;
                      },
                      {}};
    SearchResults inBlocks, whole;
    const Result a = SearchPodContentsInBlocks(table, source, request, inBlocks, hooks, block);
    const Result b = SearchPodContents(table, source, request, whole);
    if (text.empty()) {
        KARVEX_FUZZ_CHECK(a.status == Result::Status::Refused && b.status == a.status,
                          "an empty box starts no search");
        return 0;
    }
    KARVEX_FUZZ_CHECK(a.IsDone() && b.IsDone(), "the search ends");
    const SearchResults expected = Expected(table, archive, text, matchCase);
    KARVEX_FUZZ_CHECK(inBlocks.rows == expected.rows && inBlocks.selected == expected.selected,
                      "blocks of " + std::to_string(block) + " give the plain rule's rows");
    KARVEX_FUZZ_CHECK(whole.rows == expected.rows && whole.selected == expected.selected,
                      "64,000-byte blocks give the plain rule's rows");

    // The name search over the same table: every row's name holds the text.
    SearchResults names;
    SearchEntryList(table, {text, {matchCase}, ","}, names);
    for (const SearchRow& row : names.rows)
        KARVEX_FUZZ_CHECK(
            ToUpperLatin1(row.name).find(ToUpperLatin1(SearchText(text))) != std::string::npos,
            "a name row holds the text");
    return 0;
}
