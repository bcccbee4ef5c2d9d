// SPDX-License-Identifier: GPL-3.0-or-later
// Adding an archive to the game's pod.ini, over any text.
#include <cstddef>
#include <cstdint>
#include <string>

#include "core/number_text.h"
#include "core/pod_ini.h"
#include "core/text.h"
#include "fuzz/fuzz_support.h"

using namespace karvex;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text = fuzz::AsText(data, size);
    const PodIniEdit edit = AddToPodIni(text, "NEW.POD", "NEW.POD");
    if (edit.outcome != PodIniEdit::Outcome::Added) {
        KARVEX_FUZZ_CHECK(edit.text.empty(), "a refusal writes nothing");
        if (edit.outcome == PodIniEdit::Outcome::AlreadyListed)
            KARVEX_FUZZ_CHECK(ContainsNoCase(text, "NEW.POD"), "listed only when it is there");
        return 0;
    }
    KARVEX_FUZZ_CHECK(
        !ContainsNoCase(text.substr(std::min(text.find('\n'), text.size())), "NEW.POD"),
        "added although a line below the count lists it");

    const std::string& out = edit.text;
    // Line 1 is the new count, written as a plain number, and below the limit.
    const auto firstEnd = out.find("\r\n");
    KARVEX_FUZZ_CHECK(firstEnd != std::string::npos, "line 1 ends with CR LF");
    const std::string first = out.substr(0, firstEnd);
    long long count = 0;
    std::size_t used = 0;
    try {
        count = std::stoll(first, &used);
    } catch (...) {
        used = 0;
    }
    KARVEX_FUZZ_CHECK(used == first.size() && first == PlainNumber(count),
                      "line 1 is a count: [" + first + "]");
    KARVEX_FUZZ_CHECK(count <= kMaxMountedPods, "the count stays within the limit");

    const std::string last = "NEW.POD\r\n";
    KARVEX_FUZZ_CHECK(out.size() >= firstEnd + 2 + last.size() &&
                          out.compare(out.size() - last.size(), last.size(), last) == 0,
                      "the new archive is the last line");

    // One line per old line, line 1 replaced, and the new one; old lines padded to 32.
    std::size_t oldLines = 0;
    for (char c : text)
        oldLines += c == '\n';
    if (!text.empty() && text.back() != '\n')
        ++oldLines;
    std::size_t newLines = 0;
    for (std::size_t at = 0, end; (end = out.find('\n', at)) != std::string::npos; at = end + 1) {
        ++newLines;
        KARVEX_FUZZ_CHECK(end > at && out[end - 1] == '\r', "every line ends with CR LF");
        if (at > firstEnd && end + 1 < out.size())
            KARVEX_FUZZ_CHECK(end - at >= 33, "an old line is padded to 32 characters");
    }
    KARVEX_FUZZ_CHECK(newLines == std::max<std::size_t>(oldLines, 1) + 1,
                      "the old lines and one more");
    return 0;
}
