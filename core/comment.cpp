// SPDX-License-Identifier: GPL-3.0-or-later
// Replacing the comment of the open archive in place.
#include <sys/stat.h>

#include "core/file_io.h"
#include "core/paths.h"
#include "core/pod_core.h"
#include "core/pod_format.h"
#include "core/text.h"

namespace fs = std::filesystem;

namespace karvex {

// Only bytes 4 to 83 change, written in place: an 80-byte write cannot leave the archive
// half-changed, and copying a large archive to change its comment would cost time and
// disk space for nothing.
Result PodCore::RewriteComment(const std::string& newComment) {
    if (newComment.empty())
        return Result::Done();  // nothing to change
    std::string comment = newComment.substr(0, kCommentSize);
    comment.resize(kCommentSize, '\0');

    const fs::path path = m_state.ArchivePath();
    const std::string what = "Cannot write the comment into";
    ReadFile archive;
    if (const IoStatus opened = OpenForUpdate(path, archive); !opened.IsDone())
        return IoError(what, DisplayPath(path), opened.Reason());
    // A file shorter than its header is no longer the archive that was loaded: writing
    // would lengthen it into something else.
    if (archive.length < kHeaderSize)
        return IoError(what, DisplayPath(path), "The file is no longer a POD archive.");
    FilePtr file = std::move(archive.file);
    // The archive as loaded stays the one that was loaded once its comment is new: an edit
    // after this one must not take the new modification time for someone else's change.
    struct stat info {};
    const bool asLoaded = ::fstat(fileno(file.get()), &info) == 0 && StampFrom(info) == m_loaded;
    IoStatus written = SeekTo(file.get(), kCommentOffset);
    if (written.IsDone() &&
        (std::fwrite(comment.data(), 1, comment.size(), file.get()) != comment.size() ||
         std::fflush(file.get()) != 0))
        written = IoStatus::FromErrno(IoStatus::Code::WriteFailed);
    if (written.IsDone() && asLoaded && ::fstat(fileno(file.get()), &info) == 0)
        m_loaded = StampFrom(info);
    if (written.IsDone())
        written = CloseWritten(file);
    if (!written.IsDone())
        return IoError(what, DisplayPath(path), written.Reason());
    m_state.PodComment = comment;
    SetStatus(UpToNul(comment));
    return Result::Done();
}

}  // namespace karvex
