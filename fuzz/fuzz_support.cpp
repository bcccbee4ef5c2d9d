// SPDX-License-Identifier: GPL-3.0-or-later
#include "fuzz/fuzz_support.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <system_error>

namespace fs = std::filesystem;

namespace karvex::fuzz {

void Fail(const std::string& what) {
    std::fprintf(stderr, "karvex fuzz check failed: %s\n", what.c_str());
    std::fflush(stderr);
    std::abort();
}

namespace {

fs::path MakeUniqueFolder(const fs::path& pattern) {
    std::string text = pattern.string();
    if (!mkdtemp(text.data()))
        Fail("cannot make a folder from " + pattern.string());
    return text;
}

std::string TypeOf(const fs::directory_entry& entry) {
    std::error_code ec;
    const fs::file_status status = entry.symlink_status(ec);
    if (ec)
        return "unreadable";
    switch (status.type()) {
        case fs::file_type::regular:
            return "file " + std::to_string(entry.file_size(ec));
        case fs::file_type::directory:
            return "folder";
        case fs::file_type::symlink:
            return "link";
        default:
            return "other";
    }
}

}  // namespace

Scratch& Scratch::Get() {
    static Scratch scratch;
    return scratch;
}

Scratch::Scratch() {
    m_root = MakeUniqueFolder(fs::temp_directory_path() / "karvex-fuzz-XXXXXX");
    m_parent = m_root / "up";
    fs::create_directory(m_parent);
    WriteFile(m_parent / "c.raw", "one folder up");
}

Scratch::~Scratch() {
    std::error_code ec;
    fs::remove_all(m_root, ec);
}

fs::path Scratch::NewRun() {
    return MakeUniqueFolder(m_parent / "run-XXXXXX");
}

void Scratch::EndRun(const fs::path& run) {
    std::error_code ec;
    fs::remove_all(run, ec);
    if (ec)
        Fail("cannot remove " + run.string() + ": " + ec.message());
}

Snapshot TakeSnapshot(const fs::path& folder) {
    Snapshot listing;
    std::error_code ec;
    // The iterator lstats each entry and does not descend through links to folders.
    for (auto it = fs::recursive_directory_iterator(folder, ec);
         !ec && it != fs::recursive_directory_iterator(); it.increment(ec)) {
        listing[it->path().lexically_relative(folder).string()] = TypeOf(*it);
    }
    if (ec)
        Fail("cannot list " + folder.string() + ": " + ec.message());
    return listing;
}

std::string Difference(const Snapshot& before, const Snapshot& after) {
    std::string text;
    for (const auto& [path, type] : after) {
        const auto old = before.find(path);
        if (old == before.end())
            text += "added " + path + " (" + type + ")\n";
        else if (old->second != type)
            text += "changed " + path + " (" + old->second + " -> " + type + ")\n";
    }
    for (const auto& [path, type] : before) {
        if (!after.count(path))
            text += "removed " + path + " (" + type + ")\n";
    }
    return text;
}

void WriteFile(const fs::path& path, std::string_view bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out.flush())
        Fail("cannot write " + path.string());
}

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

OpenedInput::~OpenedInput() {
    if (!m_run.empty())
        Scratch::Get().EndRun(m_run);
}

bool OpenedInput::Open(std::string_view bytes, std::uint32_t maxCount) {
    std::uint32_t announced = 0;
    for (std::size_t i = 0; i < 4 && i < bytes.size(); ++i)
        announced |= static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[i])) << (8 * i);
    if (announced > maxCount)
        return false;
    m_run = Scratch::Get().NewRun();
    WriteFile(m_run / "FUZZ.POD", bytes);
    m_session.SetHost(&m_host);
    m_session.State().PodFolder = m_run.string();
    m_session.State().PodFileName = "FUZZ.POD";
    m_session.State().PodPattern = "*.pod";
    StatusRow row;
    m_session.Core().OpenPodSequence(row);
    return true;
}

}  // namespace karvex::fuzz
