// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <string>

namespace karvex::platform {

// The archives keep their text in 8 bits (Latin-1); the windows show QString.

// Every byte as the Latin-1 character of that code, NUL bytes included.
QString FromLatin1(const std::string& bytes);

// Characters outside Latin-1 become '?', except the narrow no-break space, which becomes
// the no-break space.
std::string ToLatin1(const QString& text);

}  // namespace karvex::platform
