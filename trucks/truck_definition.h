// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// A truck definition's text and the model names its keys lead to.

#include <cstddef>
#include <string_view>

#include "trucks/found_names.h"

namespace karvex {

// How much of a truck definition is examined: its first 64,000 bytes.
inline constexpr std::size_t kTruckTextLimit = 64000;

// ExamineTruck: adds to `list` the names that a truck definition's text (at most its first
// kTruckTextLimit bytes) refers to. In the game's layout each key stands alone on its line,
// its value on the next, lines end in CR LF, and the keys follow one another in this order:
//   truckModelBaseName CR LF  abcdefghij CR LF tireModelBaseName CR LF tire CR LF
//   axleModelName CR LF ...
// Each value is the text between its key's line break and the line break before the next
// key, up to its first control byte (below 32), blanks removed at both ends. Nine names follow from
// them, in this order:
//   abcdefgh.bin  abcdefg0.bin  abcdefg1.bin   (the truck value's first 8, 7 and 7 characters)
//   tire08l.bin  tire08r.bin  tire10l.bin  tire10r.bin  tire16l.bin  tire16r.bin
// and nothing else is collected; the axle value is not used. Each key is found where it
// first occurs, ignoring letter case. When one is missing, or the keys are out of that
// order or too close together to hold the line breaks, the whole text is scanned for names
// (ScanForNames) instead.
void ExamineTruck(std::string_view text, FoundNames& list);

}  // namespace karvex
