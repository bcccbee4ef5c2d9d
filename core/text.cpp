// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/text.h"

#include <algorithm>

namespace karvex {

namespace {

unsigned char LowerAscii(unsigned char c) {
    return (c >= 'A' && c <= 'Z') ? c + 32 : c;
}

}  // namespace

std::string Trim(std::string_view text) {
    const auto first = text.find_first_not_of(' ');
    if (first == std::string_view::npos)
        return {};
    const auto last = text.find_last_not_of(' ');
    return std::string(text.substr(first, last - first + 1));
}

std::string ToUpperLatin1(std::string_view text) {
    std::string out(text);
    for (char& ch : out) {
        const auto c = static_cast<unsigned char>(ch);
        const bool latinLower = c >= 0xE0 && c <= 0xFE && c != 0xF7;
        if ((c >= 'a' && c <= 'z') || latinLower)
            ch = static_cast<char>(c - 32);
    }
    return out;
}

bool ContainsNoCase(std::string_view text, std::string_view part) {
    const auto hit = std::search(text.begin(), text.end(), part.begin(), part.end(),
                                 [](char a, char b) { return LowerAscii(a) == LowerAscii(b); });
    return hit != text.end() || part.empty();
}

bool EndsWithNoCase(std::string_view text, std::string_view end) {
    return text.size() >= end.size() && EqualsNoCase(text.substr(text.size() - end.size()), end);
}

bool EqualsNoCase(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [](char x, char y) { return LowerAscii(x) == LowerAscii(y); });
}

std::string UpToNul(std::string_view text) {
    return std::string(text.substr(0, text.find('\0')));
}

std::string Latin1ToUtf8(std::string_view latin1) {
    std::string out;
    out.reserve(latin1.size());
    for (char ch : latin1) {
        const auto c = static_cast<unsigned char>(ch);
        if (c < 0x80) {
            out.push_back(ch);
        } else {
            out.push_back(static_cast<char>(0xC0 | (c >> 6)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        }
    }
    return out;
}

std::string Utf8ToLatin1(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    for (std::size_t i = 0; i < utf8.size();) {
        const auto c = static_cast<unsigned char>(utf8[i]);
        int length = c < 0x80           ? 1
                     : (c >> 5) == 0x6  ? 2
                     : (c >> 4) == 0xE  ? 3
                     : (c >> 3) == 0x1E ? 4
                                        : 0;
        bool valid = length > 0 && i + length <= utf8.size();
        char32_t code = length == 1   ? c
                        : length == 2 ? (c & 0x1F)
                        : length == 3 ? (c & 0x0F)
                                      : (c & 0x07);
        for (int k = 1; valid && k < length; ++k) {
            const auto next = static_cast<unsigned char>(utf8[i + k]);
            valid = (next & 0xC0) == 0x80;
            code = (code << 6) | (next & 0x3F);
        }
        if (!valid) {  // not UTF-8: keep the byte as a Latin-1 character
            out.push_back(static_cast<char>(c));
            ++i;
            continue;
        }
        if (code == 0x202F)
            code = 0xA0;
        out.push_back(code <= 0xFF ? static_cast<char>(code) : '?');
        i += length;
    }
    return out;
}

Latin1Conversion Utf8ToLatin1Exactly(std::string_view utf8, std::string& latin1) {
    latin1.clear();
    for (std::size_t i = 0; i < utf8.size();) {
        const auto c = static_cast<unsigned char>(utf8[i]);
        // Lead bytes C0, C1 and F5 to FF, like overlong forms, surrogates and code points
        // past U+10FFFF, are not UTF-8.
        const int length = c < 0x80                 ? 1
                           : c >= 0xC2 && c <= 0xDF ? 2
                           : c >= 0xE0 && c <= 0xEF ? 3
                           : c >= 0xF0 && c <= 0xF4 ? 4
                                                    : 0;
        if (length == 0 || i + length > utf8.size())
            return Latin1Conversion::NotUtf8;
        char32_t code = length == 1 ? c : c & (0x7F >> length);
        for (int k = 1; k < length; ++k) {
            const auto next = static_cast<unsigned char>(utf8[i + k]);
            if ((next & 0xC0) != 0x80)
                return Latin1Conversion::NotUtf8;
            code = (code << 6) | (next & 0x3F);
        }
        constexpr char32_t kLeast[] = {0, 0, 0x80, 0x800, 0x10000};
        if (code < kLeast[length] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
            return Latin1Conversion::NotUtf8;
        if (code > 0xFF)
            return Latin1Conversion::OutsideLatin1;
        latin1.push_back(static_cast<char>(code));
        i += length;
    }
    return Latin1Conversion::Done;
}

std::string NameList(const std::vector<std::string>& names, const std::string& lf) {
    constexpr std::size_t kNamesListed = 20;
    std::string text;
    for (std::size_t i = 0; i < names.size() && i < kNamesListed; ++i)
        text += lf + names[i];
    if (names.size() > kNamesListed)
        text += lf + "... and " + std::to_string(names.size() - kNamesListed) + " more";
    return text;
}

}  // namespace karvex
