// SPDX-License-Identifier: GPL-3.0-or-later
#include "search/matching.h"

#include <algorithm>

#include "core/text.h"

namespace karvex {

namespace {

// Each byte's upper-case form, taken once from the core's Latin-1 rule.
const std::array<char, 256>& UpperTable() {
    static const std::array<char, 256> table = [] {
        std::array<char, 256> upper{};
        for (int c = 0; c < 256; ++c)
            upper[c] = ToUpperLatin1(std::string(1, static_cast<char>(c)))[0];
        return upper;
    }();
    return table;
}

std::string Folded(std::string_view text, bool matchCase, const std::array<char, 256>& fold) {
    std::string out(text);
    if (!matchCase) {
        for (char& c : out)
            c = fold[static_cast<unsigned char>(c)];
    }
    return out;
}

}  // namespace

TextMatcher::TextMatcher(std::string_view text, bool matchCase)
    : m_matchCase(matchCase),
      m_fold(UpperTable()),
      m_text(Folded(text, matchCase, m_fold)),
      m_searcher(m_text.cbegin(), m_text.cend()) {}

std::string_view TextMatcher::Prepare(std::string_view bytes) {
    if (m_matchCase)
        return bytes;
    m_scratch.resize(bytes.size());
    std::transform(bytes.begin(), bytes.end(), m_scratch.begin(),
                   [this](char c) { return m_fold[static_cast<unsigned char>(c)]; });
    return m_scratch;
}

std::size_t TextMatcher::Find(std::string_view prepared, std::size_t from) const {
    if (from > prepared.size())
        return std::string_view::npos;
    if (m_text.empty())
        return from;
    const auto [hit, end] = m_searcher(prepared.begin() + from, prepared.end());
    return hit == prepared.end() ? std::string_view::npos
                                 : static_cast<std::size_t>(hit - prepared.begin());
}

}  // namespace karvex
