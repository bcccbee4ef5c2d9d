// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/paths.h"

#include <system_error>

#include "core/file_io.h"
#include "core/text.h"

namespace fs = std::filesystem;

namespace karvex {

namespace {

bool IsSeparator(char c) {
    return c == '\\' || c == '/';
}

bool IsDrive(std::string_view part) {
    const auto c = static_cast<unsigned char>(part.empty() ? 0 : part[0]);
    return part.size() >= 2 && part[1] == ':' && ((c | 32) >= 'a' && (c | 32) <= 'z');
}

}  // namespace

std::vector<std::string> NameComponents(std::string_view name) {
    std::vector<std::string> parts;
    const std::string trimmed = Trim(name);
    std::string current;
    auto flush = [&] {
        if (!current.empty() && current != ".")
            parts.push_back(current);
        current.clear();
    };
    for (char c : trimmed) {
        if (IsSeparator(c)) {
            flush();
        } else {
            current += c;
        }
    }
    flush();
    return parts;
}

std::string UnsafeNameReason(std::string_view name) {
    // Leading separators are dropped (the builder writes "\A.RAW" for a list line "\a.raw"),
    // so such a name stands inside the folder like any other.
    const auto parts = NameComponents(name);
    if (parts.empty())
        return "names no file";
    if (IsDrive(parts.front()))
        return "names a drive";
    for (const auto& part : parts) {
        if (part == "..")
            return "leads out of the folder";
        if (part.find('\0') != std::string::npos)
            return "holds a NUL byte";
    }
    return {};
}

std::vector<std::string> NativeComponents(std::string_view name) {
    std::vector<std::string> parts = NameComponents(name);
    for (std::string& part : parts)
        part = Latin1ToUtf8(part);
    return parts;
}

fs::path JoinName(const fs::path& folder, std::string_view name) {
    fs::path path = folder;
    for (const auto& part : NativeComponents(name))
        path /= fs::path(part);
    return path;
}

fs::path FindNoCase(const fs::path& path) {
    std::error_code ec;
    if (fs::exists(fs::symlink_status(path, ec)))
        return path;
    const std::string name = path.filename().string();
    for (fs::directory_iterator it(path.parent_path(), ec), end; !ec && it != end;
         it.increment(ec)) {
        if (EqualsNoCase(it->path().filename().string(), name))
            return it->path();
    }
    return path;
}

fs::path ResolveNoCase(const fs::path& folder, std::string_view name) {
    fs::path path = folder;
    for (const auto& part : NameComponents(name))
        path = FindNoCase(path / Latin1ToUtf8(part));
    return path;
}

ListedFile FindListedFile(const std::string& folder, const std::string& name,
                          std::string& parentFolder) {
    if (name.find('\0') != std::string::npos)
        return {};
    auto lookIn = [&](const std::string& where) {
        ListedFile found{JoinName(fs::path(where), name), -1};
        if (!RegularFileLength(found.path, found.length).IsDone()) {
            // not under its exact name: try the name in other letter case
            found.path = ResolveNoCase(fs::path(where), name);
            RegularFileLength(found.path, found.length);
        }
        return found;
    };
    ListedFile found = lookIn(folder);
    if (found.length >= 0)
        return found;
    const auto parent = ParentOf(folder);
    if (!parent)
        return {};
    parentFolder = *parent;
    if (IsEmptyOrRoot(parentFolder))
        return {};
    return lookIn(parentFolder);
}

std::optional<std::string> ParentOf(std::string_view folder) {
    const auto cut = folder.find_last_of("/\\");
    if (cut == std::string_view::npos)
        return std::nullopt;
    return std::string(folder.substr(0, cut));
}

bool IsEmptyOrRoot(std::string_view folder) {
    const std::string trimmed = Trim(folder);
    if (trimmed.empty())
        return true;
    const fs::path path(trimmed);
    return path == path.root_path() || (trimmed.size() <= 3 && IsDrive(trimmed));
}

std::string FolderText(const fs::path& folder) {
    std::string text = folder.string();
    while (text.size() > 1 && IsSeparator(text.back()) &&
           fs::path(text) != fs::path(text).root_path())
        text.pop_back();
    return text;
}

void SplitPath(const fs::path& path, std::string& folder, std::string& fileName) {
    folder = FolderText(path.parent_path());
    fileName = path.filename().string();
}

std::string DisplayPath(const fs::path& path) {
    return Utf8ToLatin1(path.string());
}

void MakeCurrentFolder(std::string_view folder) {
    if (folder.empty())
        return;
    std::error_code ec;
    fs::current_path(fs::path(std::string(folder)),
                     ec);  // a missing folder shows when the file opens
}

}  // namespace karvex
