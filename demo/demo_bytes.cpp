// SPDX-License-Identifier: GPL-3.0-or-later
#include "demo/demo_bytes.h"

#include <cerrno>
#include <cstring>
#include <fstream>

namespace fs = std::filesystem;

namespace demo {

void writeFile(const fs::path& path, const Bytes& data) {
    errno = 0;
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    // A failed stream ignores the write; close() flushes, so a full disk is caught as well.
    out.write(reinterpret_cast<const char*>(data.data()),
              static_cast<std::streamsize>(data.size()));
    out.close();
    if (!out) {
        throw WriteError(path, errno != 0 ? std::strerror(errno) : "write failed");
    }
}

Bytes crlfText(std::initializer_list<std::string_view> lines) {
    Bytes out;
    for (std::string_view line : lines) {
        out.insert(out.end(), line.begin(), line.end());
        out.insert(out.end(), {'\r', '\n'});
    }
    return out;
}

Bytes truckText(std::initializer_list<std::pair<std::string_view, std::string_view>> entries) {
    Bytes out;
    for (auto [key, value] : entries) {
        const Bytes lines = crlfText({key, value});
        out.insert(out.end(), lines.begin(), lines.end());
    }
    return out;
}

void putText(Bytes& out, std::string_view text) {
    out.insert(out.end(), text.begin(), text.end());
}

void putFields(Bytes& out, std::initializer_list<std::pair<std::uint32_t, int>> fields) {
    for (auto [value, byteCount] : fields) {
        for (int i = 0; i < byteCount; ++i) {
            out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
        }
    }
}

std::uint32_t nextRandom(std::uint32_t& state) {
    state = state * 1664525u + 1013904223u;
    return state >> 8;  // the low bits of an LCG are poor, so drop them
}

}  // namespace demo
