// SPDX-License-Identifier: GPL-3.0-or-later
// The truck file collector: the input (after two layout bytes) as a truck definition and as
// a model, scanned in the usual windows and in small ones read in blocks of any size, and
// compared with a plain window-by-window reading of the same rules; then the whole input
// as an archive whose entries are examined both ways.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "core/archive_session.h"
#include "core/text.h"
#include "fuzz/fuzz_support.h"
#include "trucks/examine.h"
#include "trucks/found_names.h"
#include "trucks/name_scan.h"

using namespace karvex;
namespace fs = std::filesystem;

namespace {

constexpr std::size_t kMaxInput = 160 * 1024;
constexpr int kMaxEntriesRead = 8;
constexpr std::uint32_t kMaxCount = 64;

bool EndsWithExtension(std::string_view name) {
    return std::any_of(CollectorExtensions.begin(), CollectorExtensions.end(),
                       [&](std::string_view ext) { return EndsWithNoCase(name, ext); });
}

// The name of the occurrence at `at`, walked back through the whole entry.
std::string_view NameAt(std::string_view entry, std::size_t at) {
    std::size_t start = at;
    while (start > 0 && static_cast<unsigned char>(entry[start - 1]) >= 32 &&
           at + 4 - (start - 1) <= kMaxNameLength)
        --start;
    return entry.substr(start, at + 4 - start);
}

// One window read the slow way: extension by extension, dot by dot.
void ReferenceWindow(std::string_view entry, std::size_t start, std::size_t length,
                     std::size_t bound, FoundNames& list) {
    const std::size_t end = std::min(start + length, entry.size());
    const std::size_t last = std::min(start + bound, end < 3 ? 0 : end - 3);  // past the last
    for (const std::string_view ext : CollectorExtensions) {
        for (std::size_t p = start; p < last; ++p) {
            const void* dot = std::memchr(entry.data() + p, '.', last - p);
            if (!dot)
                break;
            p = static_cast<std::size_t>(static_cast<const char*>(dot) - entry.data());
            if (EqualsNoCase(entry.substr(p, 4), ext)) {
                list.AddFoundName(NameAt(entry, p));
                p += 3;
            }
        }
    }
}

FoundNames Reference(std::string_view entry, const ModelWindows& w) {
    FoundNames list;
    for (std::size_t start = 0; start <= entry.size(); start += w.size)
        ReferenceWindow(entry, start, w.size, w.size, list);
    ReferenceWindow(entry, 0, w.shift, 1, list);
    for (std::size_t start = w.shift; start <= entry.size(); start += w.size)
        ReferenceWindow(entry, start, w.size, w.size - w.shift, list);
    return list;
}

std::vector<std::string> TrimmedSorted(const std::vector<std::string>& names) {
    std::vector<std::string> trimmed;
    for (const std::string& name : names)
        trimmed.push_back(Trim(name));
    std::sort(trimmed.begin(), trimmed.end());
    return trimmed;
}

void CheckModel(std::string_view entry, const ModelWindows& windows, std::size_t block) {
    FoundNames list;
    const Result result = ScanModel(BufferEntryReader(entry, block), list, {}, windows);
    const FoundNames reference = Reference(entry, windows);
    KARVEX_FUZZ_CHECK(list.Names() == reference.Names(), "the windows as read one by one");
    KARVEX_FUZZ_CHECK(result.IsDone() != reference.Overflowed(), "Refused only when full");
    for (const std::string& name : list.Names()) {
        KARVEX_FUZZ_CHECK(name.size() <= kMaxNameLength && EndsWithExtension(name), name);
        KARVEX_FUZZ_CHECK(std::none_of(name.begin(), name.end(),
                                       [](char c) { return static_cast<unsigned char>(c) < 32; }),
                          "no control byte in a name");
    }
    if (!result.IsDone())
        return;
    // Every occurrence in the entry, wherever the windows fall.
    FoundNames all;
    for (std::size_t p = 0; p + 4 <= entry.size(); ++p) {
        const bool known = entry[p] == '.' && EndsWithExtension(entry.substr(p, 4));
        if (known) {
            all.AddFoundName(NameAt(entry, p));
            p += 3;
        }
    }
    KARVEX_FUZZ_CHECK(TrimmedSorted(all.Names()) == TrimmedSorted(list.Names()), "none missed");
}

void CheckTruck(std::string_view entry, std::size_t block) {
    const Examination got = Examine(BufferEntryReader(entry, block), Analysis::Truck);
    KARVEX_FUZZ_CHECK(got.result.IsDone(), "a truck definition always ends");
    for (const std::string& name : got.names)
        KARVEX_FUZZ_CHECK(EndsWithExtension(name), "a truck's name: " + name);
    KARVEX_FUZZ_CHECK(TrimmedSorted(got.names).size() == got.names.size(), "none twice");
}

void CheckArchive(std::string_view bytes) {
    fuzz::OpenedInput input;
    if (!input.Open(bytes, kMaxCount))
        return;
    ArchiveSession& session = input.Archive();
    const int count = std::min(session.Table().Count(), kMaxEntriesRead);
    for (int i = 0; i < count; ++i) {
        for (const Analysis analysis : {Analysis::Truck, Analysis::Model}) {
            const Examination got = ExamineEntry(session, i, analysis);
            KARVEX_FUZZ_CHECK(got.result.IsDone(), "an entry examines: " + got.result.message);
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2 || size > kMaxInput)
        return 0;
    const std::string_view entry = fuzz::AsText(data + 2, size - 2);
    ModelWindows small;
    small.size = 8 + data[0] % 64;
    small.shift = 4 + data[1] % (small.size - 7);
    const std::size_t block = 1 + (data[0] ^ data[1]) % 300;
    CheckTruck(entry, block);
    CheckModel(entry, ModelWindows{}, block);
    CheckModel(entry, small, block);
    CheckArchive(fuzz::AsText(data, size));
    return 0;
}
