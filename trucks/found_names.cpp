#include "found_names.h"

#include <algorithm>
#include <utility>

#include "text.h"

namespace karvex {

bool FoundNames::AddFoundName(std::string_view name) {
    std::string trimmed = Trim(name);
    std::string item(name);
    if (trimmed.size() > 12) {
        const std::size_t comma = trimmed.rfind(',');
        if (comma != std::string::npos) {
            item = trimmed.substr(comma + 1);
            trimmed = Trim(item);
        }
    }
    const bool control = std::any_of(item.begin(), item.end(),
                                     [](char c) { return static_cast<unsigned char>(c) < 32; });
    if (control || m_trimmed.contains(trimmed))
        return true;
    if (m_names.size() >= kLimit) {
        m_overflowed = true;
        return false;
    }
    m_trimmed.insert(std::move(trimmed));
    m_names.push_back(std::move(item));
    return true;
}

std::vector<std::string> FoundNames::TakeNames() {
    m_trimmed.clear();
    return std::exchange(m_names, {});
}

}  // namespace karvex
