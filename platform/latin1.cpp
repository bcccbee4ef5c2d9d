#include "latin1.h"

#include "text.h"

namespace karvex::platform {

QString FromLatin1(const std::string& bytes) {
    return QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

std::string ToLatin1(const QString& text) {
    return Utf8ToLatin1(text.toStdString());
}

}  // namespace karvex::platform
