// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>

#include <cstdint>

namespace karvex {

// A colour value of the colour table (red + 256 * green + 65536 * blue) as Qt draws it.
inline QRgb ToRgb(std::uint32_t value) {
    return qRgb(static_cast<int>(value & 0xFFu), static_cast<int>((value >> 8) & 0xFFu),
                static_cast<int>((value >> 16) & 0xFFu));
}

}  // namespace karvex
