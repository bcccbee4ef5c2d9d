// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/replacing_file.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <string_view>

namespace karvex {

namespace {

using Code = IoStatus::Code;

constexpr std::string_view kTempMark = ".karvex-";
constexpr std::string_view kTempEnd = ".tmp";
constexpr std::size_t kNameRoom = 200;  // of a name, kept in its temporary's name (NAME_MAX 255)
constexpr int kNameAttempts = 50;       // temporary names tried before giving up

bool UseUnnamedFiles() {
    const char* off = std::getenv("KARVEX_NO_TMPFILE");
    return !(off && *off && std::string(off) != "0");
}

// NAME.karvex-PID-N.tmp: the process id tells a later run whether its writer still runs.
std::string TempName(const std::string& name) {
    static std::atomic<unsigned> counter{0};
    return name.substr(0, kNameRoom) + std::string(kTempMark) + std::to_string(::getpid()) + "-" +
           std::to_string(counter++) + std::string(kTempEnd);
}

// The process id in a name of our temporaries' pattern, or 0.
pid_t TempOwner(const std::string& name) {
    const auto mark = name.rfind(kTempMark);
    if (mark == std::string::npos || !name.ends_with(kTempEnd))
        return 0;
    const std::size_t from = mark + kTempMark.size();
    const std::size_t to = name.size() - kTempEnd.size();
    if (to < from)
        return 0;
    const std::string rest = name.substr(from, to - from);  // "PID-N"
    const auto dash = rest.find('-');
    if (dash == std::string::npos || dash == 0 || dash > 9 || dash + 1 == rest.size() ||
        rest.find_first_not_of("0123456789-") != std::string::npos)
        return 0;
    return static_cast<pid_t>(std::stol(rest.substr(0, dash)));
}

}  // namespace

void RemoveStaleTemporaries(int folder) {
    const int copy = ::dup(folder);
    DIR* dir = copy < 0 ? nullptr : ::fdopendir(copy);
    if (!dir) {
        if (copy >= 0)
            ::close(copy);
        return;
    }
    ::rewinddir(dir);  // the copy shares its position with the folder's other handles
    while (const dirent* entry = ::readdir(dir)) {
        const pid_t owner = TempOwner(entry->d_name);
        if (owner > 0 && owner != ::getpid() && ::kill(owner, 0) != 0 && errno == ESRCH)
            ::unlinkat(folder, entry->d_name, 0);
    }
    ::closedir(dir);
}

ReplacingFile::~ReplacingFile() {
    Abandon();
}

IoStatus ReplacingFile::Open(int folder, const std::string& name, bool sweep) {
    m_folder = folder;
    m_name = name;
    struct stat old {};
    if (::fstatat(folder, name.c_str(), &old, AT_SYMLINK_NOFOLLOW) == 0) {
        if (S_ISLNK(old.st_mode))
            return {Code::Link, name, "It is a symbolic link."};
        if (!S_ISREG(old.st_mode))
            return {Code::NotRegular, name, "Not a regular file"};
        m_hasOld = true;
        m_oldMode = old.st_mode & 07777;
        m_oldOwner = old.st_uid;
        m_oldGroup = old.st_gid;
        m_oldDevice = old.st_dev;
        m_oldInode = old.st_ino;
    } else if (errno != ENOENT) {
        return IoStatus::FromErrno(Code::WriteFailed, name);
    }
    if (sweep)
        RemoveStaleTemporaries(folder);

    int fd = -1;
    if (UseUnnamedFiles())
        fd = ::openat(folder, ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
    for (int attempt = 0; fd < 0 && attempt < kNameAttempts; ++attempt) {
        m_tempName = TempName(name);
        fd = ::openat(folder, m_tempName.c_str(),
                      O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST) {
            m_tempName.clear();
            break;
        }
    }
    if (fd < 0)
        return IoStatus::FromErrno(Code::WriteFailed, name);
    m_file.reset(::fdopen(fd, "wb"));
    if (!m_file) {
        IoStatus status = IoStatus::FromErrno(Code::WriteFailed, name);
        ::close(fd);
        Abandon();
        return status;
    }
    return IoStatus::Done();
}

IoStatus ReplacingFile::Commit() {
    if (!m_file)
        return {Code::WriteFailed, m_name, "Nothing was written."};
    auto failed = [this] {
        IoStatus status = IoStatus::FromErrno(Code::WriteFailed, m_name);
        Abandon();
        return status;
    };
    const int fd = ::fileno(m_file.get());
    if (std::fflush(m_file.get()) != 0 || std::ferror(m_file.get()))
        return failed();
    if (m_hasOld) {
        // The owner first: changing it may clear set-id bits that the mode then puts back.
        [[maybe_unused]] const int owned = ::fchown(fd, m_oldOwner, m_oldGroup);
        ::fchmod(fd, m_oldMode);
    }
    // An unnamed file gets its name now, through /proc (a link with AT_EMPTY_PATH would
    // need a privilege the user may not have). Where nothing stood at the target, it takes
    // the target's name at once; a file that appeared there meanwhile is replaced as usual.
    const std::string self = "/proc/self/fd/" + std::to_string(fd);
    if (m_tempName.empty() && !m_hasOld &&
        ::linkat(AT_FDCWD, self.c_str(), m_folder, m_name.c_str(), AT_SYMLINK_FOLLOW) == 0) {
        IoStatus closed = CloseWritten(m_file);
        if (!closed.IsDone())
            ::unlinkat(m_folder, m_name.c_str(), 0);
        return closed.For(m_name);
    }
    for (int attempt = 0; m_tempName.empty() && attempt < kNameAttempts; ++attempt) {
        const std::string candidate = TempName(m_name);
        if (::linkat(AT_FDCWD, self.c_str(), m_folder, candidate.c_str(), AT_SYMLINK_FOLLOW) == 0 ||
            ::linkat(fd, "", m_folder, candidate.c_str(), AT_EMPTY_PATH) == 0) {
            m_tempName = candidate;
        } else if (errno != EEXIST) {
            return failed();
        }
    }
    if (IoStatus closed = CloseWritten(m_file); !closed.IsDone()) {
        Abandon();
        return closed.For(m_name);
    }
    if (m_beforeRename) {
        if (IoStatus checked = m_beforeRename(); !checked.IsDone()) {
            Abandon();
            return checked;
        }
    }
    if (::renameat(m_folder, m_tempName.c_str(), m_folder, m_name.c_str()) != 0)
        return failed();
    m_tempName.clear();
    return IoStatus::Done();
}

void ReplacingFile::Abandon() {
    m_file.reset();
    if (!m_tempName.empty() && m_folder >= 0)
        ::unlinkat(m_folder, m_tempName.c_str(), 0);
    m_tempName.clear();
}

IoStatus WriteAndCommit(ReplacingFile& file, std::string_view content) {
    if (std::fwrite(content.data(), 1, content.size(), file.File()) != content.size())
        return IoStatus::FromErrno(IoStatus::Code::WriteFailed);
    return file.Commit();
}

}  // namespace karvex
