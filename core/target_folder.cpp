// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/target_folder.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <system_error>

#include "core/paths.h"
#include "core/text.h"

namespace fs = std::filesystem;

namespace karvex {

namespace {

using Code = IoStatus::Code;

constexpr const char* kChangedText = "The archive has changed on disk since it was loaded.";

}  // namespace

IoStatus TargetFolder::Open() {
    int handle = -1;
    if (IoStatus opened = OpenFolderHandle(m_shown, handle); !opened.IsDone())
        return opened;
    m_walk = std::make_unique<FolderWalk>(handle);
    m_root = handle;
    return IoStatus::Done();
}

IoStatus TargetFolder::Adopt(int folder) {
    int handle = -1;
    if (IoStatus copied = DuplicateHandle(folder, handle); !copied.IsDone())
        return copied.For(m_shown);
    m_walk = std::make_unique<FolderWalk>(handle);
    m_root = handle;
    return IoStatus::Done();
}

void TargetFolder::Protect(const fs::path& archive) {
    FileStamp stamp;
    if (StampOf(archive, stamp).IsDone())
        m_archive = {stamp.device, stamp.inode};
}

bool TargetFolder::IsArchive(const ReplacingFile& out) const {
    return out.TargetInode() != 0 && out.TargetDevice() == m_archive.device &&
           out.TargetInode() == m_archive.inode;
}

IoStatus TargetFolder::Refuse(IoStatus status, const std::string& noted) {
    if (status.code() == Code::Outside || status.code() == Code::Link)
        m_unsafe.push_back(noted);
    else
        m_refused.push_back(noted + " (" + status.Reason() + ")");
    return status;
}

IoStatus TargetFolder::StartEntry(const std::string& name, const std::string& noted,
                                  ReplacingFile& out) {
    const fs::path shown = JoinName(m_shown, name);
    if (!UnsafeNameReason(name).empty())
        return Refuse({Code::Outside, shown, UnsafeNameReason(name)}, noted);
    std::vector<std::string> parts = NativeComponents(name);
    const std::string file = parts.back();
    parts.pop_back();
    int folder = -1;
    IoStatus walked = m_walk->Folder(parts, folder);
    if (walked.code() == Code::Outside)
        return Refuse(walked, noted);
    if (!walked.IsDone())
        return walked.For(shown.parent_path());
    IoStatus opened = out.Open(folder, file, m_walk->FirstVisit(folder));
    if (opened.code() == Code::Link || opened.code() == Code::NotRegular)
        return Refuse(opened.For(shown), noted);
    if (!opened.IsDone())
        return opened.For(shown);
    // The archive being read is never written over, not even through a rename.
    if (IsArchive(out)) {
        out.Abandon();
        return Refuse({Code::Archive, shown, "the archive being read"}, noted);
    }
    return IoStatus::Done();
}

IoStatus TargetFolder::StartFile(const std::string& fileName, const std::string& archiveReason,
                                 ReplacingFile& out) {
    const fs::path shown = m_shown / fileName;
    IoStatus opened = out.Open(m_root, fileName);
    if (!opened.IsDone())
        return opened.For(shown);
    if (IsArchive(out)) {
        out.Abandon();
        return {Code::Archive, shown, archiveReason};
    }
    return IoStatus::Done();
}

IoStatus TargetFolder::OpenAndStartFile(const std::string& fileName,
                                        const std::string& archiveReason, ReplacingFile& out) {
    if (IoStatus opened = Open(); !opened.IsDone())
        return opened;
    return StartFile(fileName, archiveReason, out);
}

IoStatus TargetFolder::StartArchiveReplacement(const fs::path& archive, const FileStamp& loaded,
                                               ReplacingFile& out) {
    std::error_code ec;
    const fs::path real = fs::canonical(archive, ec);
    if (ec)
        return {Code::WriteFailed, archive, ec.message()};
    m_shown = real.parent_path();
    if (IoStatus opened = Open(); !opened.IsDone())
        return opened;
    const std::string name = real.filename().string();
    const int folder = m_root;
    auto unchanged = [folder, name, loaded, real]() -> IoStatus {
        struct stat info {};
        if (::fstatat(folder, name.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0)
            return IoStatus::FromErrno(Code::Changed, real);
        if (!S_ISREG(info.st_mode) || StampFrom(info) != loaded)
            return {Code::Changed, real, kChangedText};
        return IoStatus::Done();
    };
    if (IoStatus now = unchanged(); !now.IsDone())
        return now;
    if (IoStatus opened = out.Open(folder, name); !opened.IsDone())
        return opened.For(real);
    out.CheckBeforeRename(unchanged);
    return IoStatus::Done();
}

std::vector<std::string> TargetFolder::RefusalMessages(const RefusalWording& wording,
                                                       const std::string& lf) const {
    const std::string gap = wording.blankLine ? lf : std::string();
    std::vector<std::string> messages;
    if (!m_unsafe.empty())
        messages.push_back(wording.unsafe + DisplayPath(m_shown) + ":" + gap +
                           NameList(m_unsafe, lf));
    if (!m_refused.empty())
        messages.push_back(wording.refused + gap + NameList(m_refused, lf));
    return messages;
}

IoStatus WriteFileReplacing(const fs::path& target, std::string_view content) {
    TargetFolder folder(target.parent_path());
    ReplacingFile file;
    if (IoStatus opened = folder.OpenAndStartFile(target.filename().string(), "", file);
        !opened.IsDone())
        return opened;
    return WriteAndCommit(file, content).For(target);
}

}  // namespace karvex
