// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Byte buffers and how the demo's files are put together and written.

#include <cstdint>
#include <filesystem>
#include <initializer_list>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace demo {

using Bytes = std::vector<std::uint8_t>;

struct WriteError : std::runtime_error {
    WriteError(const std::filesystem::path& path, const std::string& reason)
        : std::runtime_error("cannot write " + path.string() + ": " + reason) {}
};

// Writes `data` to `path`, replacing what was there; throws WriteError when it cannot.
void writeFile(const std::filesystem::path& path, const Bytes& data);

// The game's text files use CR LF line ends, whatever platform we run on.
Bytes crlfText(std::initializer_list<std::string_view> lines);

// Truck definitions put each key alone on its line and its value on the next.
Bytes truckText(std::initializer_list<std::pair<std::string_view, std::string_view>> entries);

void putText(Bytes& out, std::string_view text);

// Appends little-endian fields, each given as {value, byte count}.
void putFields(Bytes& out, std::initializer_list<std::pair<std::uint32_t, int>> fields);

// Classic 32-bit LCG: tiny and, with a fixed seed, the same sequence on every machine.
std::uint32_t nextRandom(std::uint32_t& state);

}  // namespace demo
