// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace karvex {

// Removes blanks (0x20 only) at both ends, as the archive formats' rules mean by "trimmed".
std::string Trim(std::string_view text);
// Upper case in the 8-bit code page (Latin-1): a-z and the accented letters.
std::string ToUpperLatin1(std::string_view text);
// Substring test that ignores letter case (ASCII letters).
bool ContainsNoCase(std::string_view text, std::string_view part);
bool EndsWithNoCase(std::string_view text, std::string_view end);
bool EqualsNoCase(std::string_view a, std::string_view b);
// The text up to, not including, its first NUL byte: how comments and names are shown.
std::string UpToNul(std::string_view text);

// 8-bit text (Latin-1) and UTF-8, the encoding of file names and of the terminal.
std::string Latin1ToUtf8(std::string_view latin1);
// Characters outside Latin-1 become '?', except the narrow no-break space, which becomes
// the no-break space. Bytes that are not valid UTF-8 are taken as Latin-1 as they stand.
std::string Utf8ToLatin1(std::string_view utf8);
// Utf8ToLatin1 for text that must arrive unchanged: nothing is replaced. Anything but Done
// leaves `latin1` unspecified.
enum class Latin1Conversion { Done, NotUtf8, OutsideLatin1 };
Latin1Conversion Utf8ToLatin1Exactly(std::string_view utf8, std::string& latin1);

// The names a message lists, each on a line of its own after `lf`: at most 20, then
// "... and N more".
std::string NameList(const std::vector<std::string>& names, const std::string& lf);

}  // namespace karvex
