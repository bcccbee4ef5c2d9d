// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace karvex {

// Sizes, counts and positions as the user sees them: thousands grouped by `separator`
// (the user's locale; "," where the locale has none), no decimals, "0" for zero.
// 1234567 -> "1,234,567"; -1024 -> "-1,024".
std::string FormatNumber(std::int64_t value, std::string_view separator);

// Numbers written into progress texts, information files and pod.ini: decimal with one
// leading blank where a minus sign would stand. 164 -> " 164"; -5 -> "-5".
std::string PlainNumber(std::int64_t value);

// The number a typed text begins with, as a whole number: blanks, tabs and line feeds are
// passed over wherever they stand, then an optional sign, digits, a fraction and an
// exponent are read as far as they go; the rest is ignored. Rounded to the nearest whole
// number (halves to even) and held within the 32-bit range. 0 when the text does not begin
// with a number. " 12 5abc" -> 125; "2.5" -> 2; "-7e2" -> -700; "x9" -> 0.
std::int32_t LeadingNumber(std::string_view text);

}  // namespace karvex
