#include "name_scan.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace karvex {

namespace {

unsigned char LowerAscii(unsigned char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<unsigned char>(c + 32) : c;
}

// The index in CollectorExtensions of the extension whose three characters follow the dot
// at `dot`, or -1.
int ExtensionAt(const char* dot) {
    for (std::size_t n = 0; n < CollectorExtensions.size(); ++n) {
        const std::string_view ext = CollectorExtensions[n];
        if (LowerAscii(static_cast<unsigned char>(dot[1])) == ext[1] &&
            LowerAscii(static_cast<unsigned char>(dot[2])) == ext[2] &&
            LowerAscii(static_cast<unsigned char>(dot[3])) == ext[3])
            return static_cast<int>(n);
    }
    return -1;
}

struct Occurrence {
    int extension;
    std::size_t nameStart;
    std::size_t at;  // the dot
};

// Every occurrence, by position. No extension holds a dot after its first character, so
// occurrences of different extensions never overlap, and one pass in position order finds
// what a search per extension would find.
std::vector<Occurrence> FindOccurrences(std::string_view bytes, std::size_t first,
                                        std::size_t bound) {
    std::vector<Occurrence> found;
    // The names' starts: the byte after the last control byte seen before `scanned`.
    std::size_t scanned = first > kMaxNameLength ? first - kMaxNameLength : 0;
    std::size_t afterControl = 0;
    for (std::size_t pos = first; pos < bound;) {
        const void* dot = std::memchr(bytes.data() + pos, '.', bound - pos);
        if (!dot)
            break;
        const auto at = static_cast<std::size_t>(static_cast<const char*>(dot) - bytes.data());
        if (bytes.size() - at < 4)
            break;  // nor does any later one fit
        const int extension = ExtensionAt(bytes.data() + at);
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
    return found;
}

}  // namespace

bool ScanForNames(std::string_view bytes, std::size_t first, std::size_t bound,
                  const NameReceiver& report) {
    bound = std::min(bound, bytes.size());
    if (first >= bound)
        return true;
    std::vector<Occurrence> found = FindOccurrences(bytes, first, bound);
    std::stable_sort(found.begin(), found.end(), [](const Occurrence& a, const Occurrence& b) {
        return a.extension < b.extension;
    });
    for (const Occurrence& o : found) {
        if (!report(bytes.substr(o.nameStart, o.at + 4 - o.nameStart)))
            return false;
    }
    return true;
}

}  // namespace karvex
