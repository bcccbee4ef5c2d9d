// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "core/io_status.h"

namespace karvex {

// The extraction folder, held open, and the folders below it that entries go into. Every
// folder is opened beneath the handle of the one above it with O_NOFOLLOW | O_DIRECTORY
// (made with mkdirat where missing), so a symbolic link, even one swapped in while the
// extraction runs, is never followed out of the folder. The handles of the last entry's
// folders are kept, so entries of one folder do not walk from the top each time.
class FolderWalk {
  public:
    // Takes over `root`, an open handle of the extraction folder.
    explicit FolderWalk(int root) : m_root(root) {}
    ~FolderWalk();
    FolderWalk(const FolderWalk&) = delete;
    FolderWalk& operator=(const FolderWalk&) = delete;

    // Opens `handle` on the folder that `parts` (native folder names below the root, in
    // order) name, made as needed; the root for no parts. Outside when a part is a symbolic
    // link or not a folder, WriteFailed when one cannot be opened or made.
    IoStatus Folder(const std::vector<std::string>& parts, int& handle);

    // True the first time a folder is handed out in this walk: the caller then sweeps it
    // of stale temporaries once.
    bool FirstVisit(int folder);

  private:
    int m_root;
    std::set<std::pair<std::uint64_t, std::uint64_t>> m_visited;  // device, inode
    std::vector<std::string> m_names;  // the folders below the root open now
    std::vector<int> m_handles;        // their handles, one per name
};

}  // namespace karvex
