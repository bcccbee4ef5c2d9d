// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/latin1.h"

#include "core/text.h"

namespace karvex::platform {

QString FromLatin1(const std::string& bytes) {
    return QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

std::string ToLatin1(const QString& text) {
    return Utf8ToLatin1(text.toStdString());
}

}  // namespace karvex::platform
