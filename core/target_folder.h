// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/file_io.h"
#include "core/folder_walk.h"
#include "core/io_status.h"
#include "core/replacing_file.h"

namespace karvex {

// How a writer words the report of the names it refused; each keeps its own words.
struct RefusalWording {
    // Before the folder's name, for names that do not lead to a file inside it.
    std::string unsafe;
    // For names whose place holds what is not to be replaced.
    std::string refused;
    // A blank line between the text and the names.
    bool blankLine = false;
};

// The folder every named file is written beneath, held open. Everything is made beneath its
// handle: folders through the FolderWalk (never following a link), files through a
// ReplacingFile (never over a link, a folder or a special file), and never over the
// archive being read (by device and inode). The names refused are gathered and reported
// once, in the writer's own words.
//
// Writers that save one file chosen in a dialog open the dialog's folder and start that
// one file. The one write that targets the archive itself, an edit of the open archive,
// goes through StartArchiveReplacement.
class TargetFolder {
  public:
    // `shown` names the folder in messages (the path the user chose, as chosen).
    explicit TargetFolder(std::filesystem::path shown) : m_shown(std::move(shown)) {}
    TargetFolder(const TargetFolder&) = delete;
    TargetFolder& operator=(const TargetFolder&) = delete;

    // Opens the folder `shown` names (following a link there: the user chose it).
    IoStatus Open();
    // Works beneath a second handle of `folder`, a folder the caller holds open.
    IoStatus Adopt(int folder);
    bool IsOpen() const { return m_walk != nullptr; }

    // The archive being read, which nothing here writes over.
    void Protect(const FileIdentity& archive) { m_archive = archive; }
    // The same for the file `archive` leads to now; nothing when there is none.
    void Protect(const std::filesystem::path& archive);

    // Starts `name`, an archive's name with "\" between folders, beneath the folder, folders
    // made as needed. Done with `out` open. Outside, Link, NotRegular and Archive: the name
    // is refused and noted under `noted` (the name the report shows). WriteFailed naming the
    // folder or the file that cannot be written, beneath the shown folder.
    IoStatus StartEntry(const std::string& name, const std::string& noted, ReplacingFile& out);

    // Starts the file `fileName` right in the folder. Link and NotRegular are refused with
    // their reasons, Archive with `archiveReason`; none is noted. The status names the file.
    IoStatus StartFile(const std::string& fileName, const std::string& archiveReason,
                       ReplacingFile& out);
    // Open, then StartFile: for a writer of one file, which names no folder of its own.
    IoStatus OpenAndStartFile(const std::string& fileName, const std::string& archiveReason,
                              ReplacingFile& out);

    // Edits of the open archive: starts the new archive that replaces `archive`, the file
    // loaded as `loaded`, beside it in its folder (at the end of any links: the archive is
    // edited where it really is). The folder must stay open until `out` is committed: just
    // before the rename, Commit checks again that the archive is still the file that was
    // loaded (device, inode, size, modification time) and otherwise ends with Changed,
    // leaving everything as it was. Changed also when it differs already now.
    IoStatus StartArchiveReplacement(const std::filesystem::path& archive, const FileStamp& loaded,
                                     ReplacingFile& out);

    // The messages for the refused names, unsafe ones first; none when nothing was refused.
    std::vector<std::string> RefusalMessages(const RefusalWording& wording,
                                             const std::string& lf) const;

  private:
    // What stands at the target `out` was started for is the archive being read.
    bool IsArchive(const ReplacingFile& out) const;
    IoStatus Refuse(IoStatus status, const std::string& noted);

    std::filesystem::path m_shown;
    std::unique_ptr<FolderWalk> m_walk;
    int m_root = -1;  // owned by m_walk
    FileIdentity m_archive;
    std::vector<std::string> m_unsafe;   // would land outside the folder
    std::vector<std::string> m_refused;  // their place holds what is not to be replaced
};

// Replaces (or creates) the file `target` with `content`, through a TargetFolder over its
// folder: a writer of one small file (pod.ini). On failure `target` is as it was.
IoStatus WriteFileReplacing(const std::filesystem::path& target, std::string_view content);

}  // namespace karvex
