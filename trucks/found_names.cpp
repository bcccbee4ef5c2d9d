// SPDX-License-Identifier: GPL-3.0-or-later
#include "trucks/found_names.h"

#include <algorithm>
#include <utility>

namespace karvex {

namespace {

// `text` without blanks at either end, as Trim gives it, without a copy.
std::string_view TrimmedView(std::string_view text) {
    const std::size_t first = text.find_first_not_of(' ');
    if (first == std::string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

}  // namespace

bool FoundNames::AddFoundName(std::string_view name) {
    // A model names the same few files over and over: a name listed already costs no copy.
    std::string_view trimmed = TrimmedView(name);
    std::string_view item = name;
    if (trimmed.size() > 12) {
        const std::size_t comma = trimmed.rfind(',');
        if (comma != std::string_view::npos) {
            item = trimmed.substr(comma + 1);
            trimmed = TrimmedView(item);
        }
    }
    if (m_trimmed.contains(trimmed))
        return true;
    const bool control = std::any_of(item.begin(), item.end(),
                                     [](char c) { return static_cast<unsigned char>(c) < 32; });
    if (control)
        return true;
    if (m_names.size() >= kLimit) {
        m_overflowed = true;
        return false;
    }
    m_trimmed.emplace(trimmed);
    m_names.emplace_back(item);
    return true;
}

std::vector<std::string> FoundNames::TakeNames() {
    m_trimmed.clear();
    return std::exchange(m_names, {});
}

}  // namespace karvex
