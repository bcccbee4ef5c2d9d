// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/pod_ini.h"

#include <vector>

#include "core/number_text.h"
#include "core/text.h"

namespace karvex {

namespace {

constexpr std::size_t kLineBuffer = 32;
// Digits past this value no longer change whether the list is full; reading stops there.
constexpr long long kCountCeiling = 1000000000000LL;

std::vector<std::string> SplitLines(std::string_view text) {
    std::vector<std::string> lines;
    while (!text.empty()) {
        const auto end = text.find('\n');
        std::string line(text.substr(0, end));
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        lines.push_back(std::move(line));
        if (end == std::string_view::npos)
            break;
        text.remove_prefix(end + 1);
    }
    return lines;
}

// The number at the start of line 1, as read through the 32-character line buffer:
// blanks skipped, text after the number ignored, no digits reading as 0.
long long CountOf(std::string_view line) {
    line = line.substr(0, kLineBuffer);
    std::size_t i = line.find_first_not_of(' ');
    if (i == std::string_view::npos)
        return 0;
    const bool negative = line[i] == '-';
    if (line[i] == '-' || line[i] == '+')
        ++i;
    long long value = 0;
    for (; i < line.size() && line[i] >= '0' && line[i] <= '9' && value < kCountCeiling; ++i)
        value = value * 10 + (line[i] - '0');
    return negative ? -value : value;
}

}  // namespace

PodIniEdit AddToPodIni(std::string_view text, const std::string& entryText,
                       const std::string& podName) {
    const std::vector<std::string> lines = SplitLines(text);
    const long long count = lines.empty() ? 0 : CountOf(lines.front());
    if (count >= kMaxMountedPods)
        return {PodIniEdit::Outcome::Full, {}};

    std::string out = PlainNumber(count + 1) + "\r\n";
    for (std::size_t i = 1; i < lines.size(); ++i) {
        std::string line = lines[i];
        if (line.size() < kLineBuffer)
            line.resize(kLineBuffer, ' ');
        if (!podName.empty() && ContainsNoCase(Trim(line), podName))
            return {PodIniEdit::Outcome::AlreadyListed, {}};
        out += line + "\r\n";
    }
    out += entryText + "\r\n";
    return {PodIniEdit::Outcome::Added, std::move(out)};
}

}  // namespace karvex
