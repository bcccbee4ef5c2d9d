// SPDX-License-Identifier: GPL-3.0-or-later
#include "trucks/truck_definition.h"

#include <algorithm>
#include <optional>
#include <string>

#include "core/text.h"
#include "trucks/name_scan.h"

namespace karvex {

namespace {

constexpr std::string_view kTruckKey = "truckModelBaseName";
constexpr std::string_view kTireKey = "tireModelBaseName";
constexpr std::string_view kAxleKey = "axleModelName";
constexpr std::size_t kLineBreak = 2;  // CR LF

std::size_t FindNoCase(std::string_view text, std::string_view key) {
    auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; };
    const auto hit = std::search(text.begin(), text.end(), key.begin(), key.end(),
                                 [&](char a, char b) { return lower(a) == lower(b); });
    return hit == text.end() ? std::string_view::npos
                             : static_cast<std::size_t>(hit - text.begin());
}

struct TruckValues {
    std::string truck, tire;
};

// The text from after `key`'s line break (at `keyAt`) to before the line break in front of
// `nextAt`, up to its first control byte; nullopt when the two keys leave no room for both
// line breaks. A stranger's value may hold more lines, which must not become more names.
std::optional<std::string> ValueBetween(std::string_view text, std::size_t keyAt,
                                        std::string_view key, std::size_t nextAt) {
    const std::size_t start = keyAt + key.size() + kLineBreak;
    if (nextAt < start + kLineBreak)
        return std::nullopt;
    std::string_view value = text.substr(start, nextAt - kLineBreak - start);
    const auto control = std::find_if(value.begin(), value.end(),
                                      [](char c) { return static_cast<unsigned char>(c) < 32; });
    value = value.substr(0, static_cast<std::size_t>(control - value.begin()));
    return Trim(value);
}

std::optional<TruckValues> ReadValues(std::string_view text) {
    const std::size_t truckAt = FindNoCase(text, kTruckKey);
    const std::size_t tireAt = FindNoCase(text, kTireKey);
    const std::size_t axleAt = FindNoCase(text, kAxleKey);
    if (truckAt == std::string_view::npos || tireAt == std::string_view::npos ||
        axleAt == std::string_view::npos)
        return std::nullopt;
    std::optional<std::string> truck = ValueBetween(text, truckAt, kTruckKey, tireAt);
    std::optional<std::string> tire = ValueBetween(text, tireAt, kTireKey, axleAt);
    if (!truck || !tire)
        return std::nullopt;
    return TruckValues{std::move(*truck), std::move(*tire)};
}

}  // namespace

void ExamineTruck(std::string_view text, FoundNames& list) {
    text = text.substr(0, kTruckTextLimit);
    const std::optional<TruckValues> values = ReadValues(text);
    if (!values) {
        ScanForNames(text, 0, text.size(),
                     [&](std::string_view name) { return list.AddFoundName(name); });
        return;
    }
    const std::string& truck = values->truck;
    list.AddFoundName(truck.substr(0, 8) + ".bin");
    list.AddFoundName(truck.substr(0, 7) + "0.bin");
    list.AddFoundName(truck.substr(0, 7) + "1.bin");
    for (const char* wheel : {"08l.bin", "08r.bin", "10l.bin", "10r.bin", "16l.bin", "16r.bin"})
        list.AddFoundName(values->tire + wheel);
}

}  // namespace karvex
