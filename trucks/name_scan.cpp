// SPDX-License-Identifier: GPL-3.0-or-later
#include "trucks/name_scan.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <vector>

namespace karvex {

namespace {

// The characters of the extensions after their dots, each with a code of its own from 1
// (letters in either case alike); every other byte has code 0.
constexpr unsigned kCodes = 1 + 26 + 6;  // nothing, a letter, a digit from 0 to 5

constexpr std::array<unsigned char, 256> kCharCodes = [] {
    std::array<unsigned char, 256> codes{};
    for (unsigned c = 0; c < 26; ++c) {
        codes['a' + c] = static_cast<unsigned char>(1 + c);
        codes['A' + c] = static_cast<unsigned char>(1 + c);
    }
    for (unsigned c = 0; c < 6; ++c)
        codes['0' + c] = static_cast<unsigned char>(27 + c);
    return codes;
}();

// The three characters after a dot as one number; equal for the same letters in any case.
unsigned ExtensionKey(const char* chars) {
    unsigned key = 0;
    for (int i = 0; i < 3; ++i)
        key = key * kCodes + kCharCodes[static_cast<unsigned char>(chars[i])];
    return key;
}

// For every key, the index in CollectorExtensions of its extension, or -1.
using ExtensionTable = std::array<signed char, kCodes * kCodes * kCodes>;

const ExtensionTable& ExtensionsByKey() {
    static const ExtensionTable table = [] {
        ExtensionTable byKey;
        byKey.fill(-1);
        for (std::size_t n = 0; n < CollectorExtensions.size(); ++n)
            byKey[ExtensionKey(CollectorExtensions[n].data() + 1)] = static_cast<signed char>(n);
        return byKey;
    }();
    return table;
}

// Every occurrence, by position. No extension holds a dot after its first character, so
// occurrences of different extensions never overlap, and one pass in position order finds
// what a search per extension would find.
void FindOccurrences(std::string_view bytes, std::size_t first, std::size_t bound,
                     std::vector<NameScanner::Occurrence>& found) {
    found.clear();
    // The names' starts: the byte after the last control byte seen before `scanned`.
    std::size_t scanned = first > kMaxNameLength ? first - kMaxNameLength : 0;
    std::size_t afterControl = 0;
    const ExtensionTable& byKey = ExtensionsByKey();
    for (std::size_t pos = first; pos < bound;) {
        const void* dot = std::memchr(bytes.data() + pos, '.', bound - pos);
        if (!dot)
            break;
        const auto at = static_cast<std::size_t>(static_cast<const char*>(dot) - bytes.data());
        if (bytes.size() - at < 4)
            break;  // nor does any later one fit
        const int extension = byKey[ExtensionKey(bytes.data() + at + 1)];
        if (extension < 0) {
            pos = at + 1;
            continue;
        }
        for (; scanned < at; ++scanned) {
            if (static_cast<unsigned char>(bytes[scanned]) < 32)
                afterControl = scanned + 1;
        }
        const std::size_t end = at + 4;
        const std::size_t longest = end > kMaxNameLength ? end - kMaxNameLength : 0;
        found.push_back({extension, std::max(afterControl, longest), at});
        pos = end;
    }
}

}  // namespace

bool ScanForNames(std::string_view bytes, std::size_t first, std::size_t bound,
                  const NameReceiver& report) {
    return NameScanner().Scan(bytes, first, bound, report);
}

bool NameScanner::Scan(std::string_view bytes, std::size_t first, std::size_t bound,
                       const NameReceiver& report) {
    bound = std::min(bound, bytes.size());
    if (first >= bound)
        return true;
    FindOccurrences(bytes, first, bound, m_found);
    // Extension by extension, each one's by position: a counting sort, which keeps the
    // order within an extension.
    std::array<std::size_t, CollectorExtensions.size() + 1> next{};
    for (const Occurrence& o : m_found)
        ++next[static_cast<std::size_t>(o.extension) + 1];
    for (std::size_t n = 1; n < next.size(); ++n)
        next[n] += next[n - 1];
    m_sorted.resize(m_found.size());
    for (const Occurrence& o : m_found)
        m_sorted[next[static_cast<std::size_t>(o.extension)]++] = o;
    for (const Occurrence& o : m_sorted) {
        if (!report(bytes.substr(o.nameStart, o.at + 4 - o.nameStart)))
            return false;
    }
    return true;
}

}  // namespace karvex
