// SPDX-License-Identifier: GPL-3.0-or-later
#include "tests/core/test_support.h"

#include <stdlib.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <iterator>
#include <stdexcept>

#include "core/pod_format.h"
#include "core/text.h"

namespace fs = std::filesystem;

namespace karvex::test {

TempDir::TempDir() {
    std::string pattern = (fs::temp_directory_path() / "karvex-test-XXXXXX").string();
    if (!::mkdtemp(pattern.data()))
        throw std::runtime_error("cannot make a folder " + pattern + ": " + std::strerror(errno));
    m_path = fs::canonical(pattern);
}

TempDir::~TempDir() {
    std::error_code ec;
    fs::permissions(m_path, fs::perms::owner_all, fs::perm_options::add, ec);
    fs::remove_all(m_path, ec);
}

std::string ReadBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteBytes(const fs::path& path, const std::string& bytes) {
    fs::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::binary);
    out << bytes;
    out.close();
    if (!out)
        throw std::runtime_error("cannot write " + path.string());
}

std::size_t FilesIn(const fs::path& folder) {
    return std::distance(fs::directory_iterator(folder), fs::directory_iterator());
}

std::string RampPalette() {
    std::string bytes;
    for (int n = 0; n < 256; ++n)
        bytes += {static_cast<char>(n), static_cast<char>(255 - n), static_cast<char>(n / 2)};
    return bytes;
}

std::string Laid(std::size_t size, const std::vector<std::pair<std::size_t, std::string>>& at) {
    std::string bytes(size, '\0');
    for (const auto& [offset, text] : at)
        bytes.replace(offset, text.size(), text);
    bytes.resize(size);
    return bytes;
}

std::string Record(const std::string& name, int size, int offset) {
    std::string record(40, '\0');
    record.replace(0, std::min<std::size_t>(name.size(), 32), name.substr(0, 32));
    PutInt32(record.data() + 32, size);
    PutInt32(record.data() + 36, offset);
    return record;
}

std::string PodBytes(const std::vector<PodEntry>& entries, const std::string& comment, int count) {
    std::string bytes(84, '\0');
    PutInt32(bytes.data(), count >= 0 ? count : static_cast<int>(entries.size()));
    bytes.replace(4, comment.size(), comment);
    int offset = 84 + 40 * static_cast<int>(entries.size());
    for (const auto& entry : entries) {
        bytes += Record(entry.name, static_cast<int>(entry.data.size()), offset);
        offset += static_cast<int>(entry.data.size());
    }
    for (const auto& entry : entries)
        bytes += entry.data;
    return bytes;
}

CoreFixture::CoreFixture() {
    session.SetHost(&host);
    state.PodFolder = dir.path().string();
}

bool CoreFixture::Open(const std::string& file) {
    state.PodFileName = file;
    const bool archive = EndsWithNoCase(file, ".pod");
    state.PodPattern = archive ? "*.pod" : "*.lst";
    const Result result = archive ? core.OpenPodSequence(row) : core.OpenResponseSequence(row);
    return result.IsDone();
}

bool CoreFixture::Open(const std::string& file, const std::string& bytes) {
    WriteBytes(fs::path(state.PodFolder) / file, bytes);
    return Open(file);
}

std::string CoreFixture::Screen() const {
    const char* const lamps[] = {"red", "green", "magenta"};
    const char* lamp = host.lamps.empty() ? "-" : lamps[int(host.lamps.back())];
    auto on = [](bool b) { return b ? "1" : "0"; };
    return core.StatusText() + "|" + row.Label3 + "|" + row.Label4 + "|" + lamp + "|" +
           on(row.Command3D2) + on(row.Command3D3) + on(row.Command1) + "|" +
           std::to_string(state.FailFlag);
}

std::string CoreFixture::Listing() const {
    std::string text;
    for (int i = 0; i < table.Count(); ++i)
        text += table.Name(i) + "|" + table.Size(i) + "|" + table.Offset(i) + "\n";
    return text;
}

std::string CoreFixture::Messages() const {
    std::string text;
    for (const Message& message : host.messages)
        text += (text.empty() ? "" : "\n--\n") + message.text;
    return text;
}

}  // namespace karvex::test
