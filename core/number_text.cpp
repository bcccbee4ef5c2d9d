// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/number_text.h"

#include <algorithm>
#include <clocale>
#include <cmath>
#include <cstdlib>
#include <limits>

#include <locale.h>

namespace karvex {

std::string FormatNumber(std::int64_t value, std::string_view separator) {
    const bool negative = value < 0;
    // Work on the magnitude as unsigned, so that the most negative value formats too.
    std::uint64_t magnitude = negative ? 0 - static_cast<std::uint64_t>(value) : value;
    std::string digits = std::to_string(magnitude);
    std::string out;
    for (std::size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0)
            out += separator;
        out += digits[i];
    }
    return negative ? "-" + out : out;
}

std::string PlainNumber(std::int64_t value) {
    return value >= 0 ? " " + std::to_string(value) : std::to_string(value);
}

namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// The text without its blanks, tabs and line feeds, up to the first character that cannot
// belong to a number.
std::string NumberPart(std::string_view text) {
    std::string out;
    bool exponent = false;
    for (char c : text) {
        if (c == ' ' || c == '\t' || c == '\n' || c == '\r')
            continue;
        const bool signAllowed = out.empty() || (exponent && (out.back() == 'e'));
        if (IsDigit(c) || (c == '.' && !exponent && out.find('.') == std::string::npos)) {
            out += c;
        } else if ((c == '+' || c == '-') && signAllowed) {
            out += c;
        } else if ((c == 'e' || c == 'E' || c == 'd' || c == 'D') && !exponent &&
                   std::any_of(out.begin(), out.end(), IsDigit)) {
            exponent = true;
            out += 'e';
        } else {
            break;
        }
    }
    return out;
}

}  // namespace

std::int32_t LeadingNumber(std::string_view text) {
    const std::string number = NumberPart(text);
    // Read in the "C" locale, so that a comma never stands for the decimal point; the
    // reader takes the longest number it can and leaves an unfinished exponent out. Too
    // large a number reads as infinity, too small a one as 0.
    static const locale_t plain = newlocale(LC_ALL_MASK, "C", nullptr);
    char* end = nullptr;
    const double value = strtod_l(number.c_str(), &end, plain);
    if (end == number.c_str() || std::isnan(value))
        return 0;
    constexpr double low = std::numeric_limits<std::int32_t>::min();
    constexpr double high = std::numeric_limits<std::int32_t>::max();
    return static_cast<std::int32_t>(std::clamp(std::nearbyint(value), low, high));
}

}  // namespace karvex
