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

}  // namespace karvex
