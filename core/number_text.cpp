#include "number_text.h"


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

}  // namespace karvex
