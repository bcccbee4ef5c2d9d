#include "number_text.h"

#include <limits>

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

std::optional<std::int64_t> ParseDigits(std::string_view text) {
    bool negative = false;
    if (!text.empty() && text.front() == '-') {
        negative = true;
        text.remove_prefix(1);
    }
    if (text.empty() || text.size() > 18)
        return std::nullopt;
    std::int64_t value = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            return std::nullopt;
        value = value * 10 + (c - '0');
    }
    return negative ? -value : value;
}

}  // namespace

std::optional<std::int64_t> ParseFormattedNumber(std::string_view text,
                                                 std::string_view separator) {
    std::string digits;
    for (std::size_t i = 0; i < text.size();) {
        if (!separator.empty() && text.substr(i, separator.size()) == separator) {
            i += separator.size();
        } else {
            digits += text[i++];
        }
    }
    return ParseDigits(digits);
}

std::optional<std::int64_t> ParsePlainNumber(std::string_view text) {
    if (!text.empty() && text.front() == ' ')
        text.remove_prefix(1);
    return ParseDigits(text);
}

}  // namespace karvex
