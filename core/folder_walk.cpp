// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/folder_walk.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace karvex {

FolderWalk::~FolderWalk() {
    for (int handle : m_handles)
        ::close(handle);
    if (m_root >= 0)
        ::close(m_root);
}

IoStatus FolderWalk::Folder(const std::vector<std::string>& parts, int& handle) {
    using Code = IoStatus::Code;
    handle = -1;
    std::size_t kept = 0;
    while (kept < parts.size() && kept < m_names.size() && parts[kept] == m_names[kept])
        ++kept;
    while (m_handles.size() > kept) {
        ::close(m_handles.back());
        m_handles.pop_back();
        m_names.pop_back();
    }
    constexpr int kFlags = O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;
    for (std::size_t i = kept; i < parts.size(); ++i) {
        const int parent = i == 0 ? m_root : m_handles[i - 1];
        const char* name = parts[i].c_str();
        int opened = ::openat(parent, name, kFlags);
        if (opened < 0 && errno == ENOENT) {
            if (::mkdirat(parent, name, 0777) != 0 && errno != EEXIST)
                return IoStatus::FromErrno(Code::WriteFailed, name);
            opened = ::openat(parent, name, kFlags);
        }
        if (opened < 0) {
            const bool outside = errno == ELOOP || errno == ENOTDIR;
            return IoStatus::FromErrno(outside ? Code::Outside : Code::WriteFailed, name);
        }
        m_handles.push_back(opened);
        m_names.push_back(parts[i]);
    }
    handle = parts.empty() ? m_root : m_handles.back();
    return IoStatus::Done();
}

bool FolderWalk::FirstVisit(int folder) {
    struct stat info {};
    if (::fstat(folder, &info) != 0)
        return true;
    return m_visited
        .insert({static_cast<std::uint64_t>(info.st_dev), static_cast<std::uint64_t>(info.st_ino)})
        .second;
}

}  // namespace karvex
