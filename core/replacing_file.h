// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>
#include <string>

#include "core/file_io.h"

namespace karvex {

// A new file that replaces (or creates) one file in a folder, written where no one sees it
// and put into place whole:
// - where the file system offers it, an unnamed file (O_TMPFILE), given a name of our own
//   (NAME.karvex-PID-N.tmp) only at the last moment and renamed over the target, so a kill
//   leaves nothing behind except in that short window;
// - elsewhere, or with KARVEX_NO_TMPFILE=1 in the environment, a file of that name opened
//   exclusively. A killed run may leave it; the next write into the same folder removes
//   such files whose process no longer runs.
// The new file takes the old file's mode, and its owner where permitted. Hard links to the
// old file are not kept: they keep the old content. What stands at the target must be a
// regular file or nothing: a symbolic link, a folder or a special file is refused and not
// touched. Every name is resolved beneath the folder handle, never through a path string.
class ReplacingFile {
  public:
    ReplacingFile() = default;
    ReplacingFile(const ReplacingFile&) = delete;
    ReplacingFile& operator=(const ReplacingFile&) = delete;
    ~ReplacingFile();  // an uncommitted file is abandoned

    // Starts the file that will become `name` in the open folder `folder` (the handle must
    // stay open until Commit). A refused target ends with Link or NotRegular and the reason
    // ("It is a symbolic link.", "Not a regular file"); a file that cannot be started with
    // WriteFailed.
    // Stale temporaries in the folder are removed first, unless `sweep` is false (the
    // caller has swept it already).
    IoStatus Open(int folder, const std::string& name, bool sweep = true);

    std::FILE* File() const { return m_file.get(); }
    // Device and inode of what stands at the target now; zero when nothing does.
    dev_t TargetDevice() const { return m_oldDevice; }
    ino_t TargetInode() const { return m_oldInode; }

    // Writes everything out, gives the file the old file's mode and owner, and renames it
    // over the target. On failure the target is as it was.
    IoStatus Commit();
    // A last check that Commit makes once the file is complete, just before the rename; a
    // status other than Done drops the new file and leaves the target as it was.
    void CheckBeforeRename(std::function<IoStatus()> check) { m_beforeRename = std::move(check); }
    // Drops the new file; the target stays as it was.
    void Abandon();

  private:
    int m_folder = -1;
    std::string m_name;
    std::string m_tempName;  // the named temporary; empty while the file is unnamed
    FilePtr m_file;
    bool m_hasOld = false;
    mode_t m_oldMode = 0;
    uid_t m_oldOwner = 0;
    gid_t m_oldGroup = 0;
    dev_t m_oldDevice = 0;
    ino_t m_oldInode = 0;
    std::function<IoStatus()> m_beforeRename;
};

// Writes `content` into `file`, started already, and commits it.
IoStatus WriteAndCommit(ReplacingFile& file, std::string_view content);

// Removes the temporaries of our own naming in `folder` whose process no longer runs.
void RemoveStaleTemporaries(int folder);

}  // namespace karvex
