// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/private_folder.h"

#include <dirent.h>
#include <fcntl.h>
#include <stdio.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QRegularExpression>

#include <cerrno>
#include <cstring>
#include <string>
#include <vector>

namespace karvex::platform {

namespace {

constexpr int kFolderFlags = O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;
constexpr int kMaxDepth = 128;  // deeper folders are left, not followed
const char* const kLockName = "lock";

QString Reason() {
    return QString::fromLocal8Bit(std::strerror(errno));
}

bool SameFile(const struct stat& a, const struct stat& b) {
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// Whether `name` in the open folder `parent` is, without following a link, the folder `held`.
bool NamesHeldFolder(int parent, const QByteArray& name, int held) {
    struct stat there {
    }, ours{};
    return ::fstatat(parent, name.constData(), &there, AT_SYMLINK_NOFOLLOW) == 0 &&
           ::fstat(held, &ours) == 0 && SameFile(there, ours);
}

QByteArray RandomSuffix() {
    static const char kLetters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    QByteArray suffix(6, '\0');
    for (char& c : suffix)
        c = kLetters[QRandomGenerator::global()->bounded(static_cast<int>(sizeof kLetters - 1))];
    return suffix;
}

// Makes PREFIX-XXXXXX (mode 0700) in the open folder `parent` and opens it; -1 with errno set.
int MakeFolderBeneath(int parent, const QByteArray& prefix, QByteArray& name) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        name = prefix + RandomSuffix();
        if (::mkdirat(parent, name.constData(), 0700) == 0)
            return ::openat(parent, name.constData(), kFolderFlags);
        if (errno != EEXIST)
            return -1;
    }
    return -1;
}

// Removes everything in the open folder `folder` through handles: a folder is opened beneath
// its parent without following links and emptied before it is removed; anything else,
// symbolic links included, is unlinked, never followed.
void RemoveContents(int folder, int depth = 0) {
    std::vector<std::string> names;
    const int listing = ::fcntl(folder, F_DUPFD_CLOEXEC, 0);
    DIR* dir = listing >= 0 ? ::fdopendir(listing) : nullptr;
    if (dir == nullptr) {
        if (listing >= 0)
            ::close(listing);
        return;
    }
    ::rewinddir(dir);  // the copy shares its position with every other handle of the folder
    while (const dirent* entry = ::readdir(dir)) {
        if (std::strcmp(entry->d_name, ".") != 0 && std::strcmp(entry->d_name, "..") != 0)
            names.emplace_back(entry->d_name);
    }
    ::closedir(dir);
    for (const std::string& name : names) {
        struct stat st {};
        if (::fstatat(folder, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0)
            continue;
        if (!S_ISDIR(st.st_mode)) {
            ::unlinkat(folder, name.c_str(), 0);
            continue;
        }
        const int below = depth < kMaxDepth ? ::openat(folder, name.c_str(), kFolderFlags) : -1;
        if (below >= 0) {
            RemoveContents(below, depth + 1);
            ::close(below);
        }
        // A link swapped in for the folder meanwhile is unlinked itself.
        if (::unlinkat(folder, name.c_str(), AT_REMOVEDIR) != 0 && errno == ENOTDIR)
            ::unlinkat(folder, name.c_str(), 0);
    }
}

// Empties the held folder `folder` and removes `name` from the open folder `parent` when it
// still leads to it; what stands there otherwise is left alone.
void RemoveHeldFolder(int parent, const QByteArray& name, int folder) {
    RemoveContents(folder);
    if (NamesHeldFolder(parent, name, folder))
        ::unlinkat(parent, name.constData(), AT_REMOVEDIR);
}

// The same for the folder at `path`.
void RemoveHeldFolder(int folder, const QString& path) {
    const QByteArray native = QFile::encodeName(path);
    const int slash = native.lastIndexOf('/');
    const int parent = slash < 0 ? -1
                                 : ::open(slash == 0 ? "/" : native.left(slash).constData(),
                                          O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (parent < 0) {
        RemoveContents(folder);
        return;
    }
    RemoveHeldFolder(parent, native.mid(slash + 1), folder);
    ::close(parent);
}

struct Base {
    QString path;
    QString error;
};

// Why a folder with these attributes is no place for private folders; empty when it is one.
QString Unfit(const struct stat& st) {
    struct stat root {};
    ::stat("/", &root);
    if (!S_ISDIR(st.st_mode))
        return "is not a folder";
    if (SameFile(st, root))
        return "is the root of the file system";
    if (st.st_uid != ::geteuid() && st.st_uid != 0)
        return "belongs to another user";
    if ((st.st_mode & (S_IWGRP | S_IWOTH)) != 0 && (st.st_mode & S_ISVTX) == 0)
        return "can be written by others and has no sticky bit";
    return {};
}

// The base, opened and checked again through its handle: it may have been swapped since
// it was chosen. -1 with `error` set.
int OpenBase(const QString& base, QString& error) {
    const int parent =
        ::open(QFile::encodeName(base).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (parent < 0) {
        error = "Cannot open the temporary folder " + base + ": " + Reason();
        return -1;
    }
    struct stat st {};
    const QString unfit = ::fstat(parent, &st) == 0 ? Unfit(st) : Reason();
    if (unfit.isEmpty())
        return parent;
    error = "Cannot use the temporary folder " + base + ": it " + unfit;
    ::close(parent);
    return -1;
}

Base ResolveBase() {
    QStringList refusals;
    const struct {
        const char* variable;
        QString value;
    } candidates[] = {{"tmp", qEnvironmentVariable("tmp")},
                      {"temp", qEnvironmentVariable("temp")},
                      {"TMPDIR", qEnvironmentVariable("TMPDIR")},
                      {nullptr, QStringLiteral("/tmp")}};
    for (const auto& candidate : candidates) {
        if (candidate.value.isEmpty())
            continue;
        const QString path = QDir::cleanPath(QDir::current().absoluteFilePath(candidate.value));
        const QString shown =
            candidate.variable ? QString("%1 (%2)").arg(candidate.variable, path) : path;
        struct stat st {};
        const QString refusal = ::stat(QFile::encodeName(path).constData(), &st) == 0
                                    ? Unfit(st)
                                    : QString("is not a folder");
        if (refusal.isEmpty())
            return {path, {}};
        refusals << shown + " " + refusal;
    }
    return {{}, "no temporary folder can be used: " + refusals.join("; ")};
}

}  // namespace

QString PrivateFolder::TemporaryBase(QString* error) {
    static const Base base = ResolveBase();
    if (error)
        *error = base.error;
    return base.path;
}

QString PrivateFolder::ResolveTemporaryBase(QString* error) {
    const Base base = ResolveBase();
    if (error)
        *error = base.error;
    return base.path;
}

PrivateFolder::~PrivateFolder() {
    if (m_handle >= 0)
        RemoveHeldFolder(m_handle, m_path);
    Release();
}

void PrivateFolder::Release() {
    if (m_lock >= 0)
        ::close(m_lock);
    if (m_handle >= 0)
        ::close(m_handle);
    m_lock = m_handle = -1;
}

int PrivateFolder::Handle(QString& error, bool* renewed) {
    if (m_handle >= 0) {
        struct stat there {
        }, ours{};
        if (::lstat(QFile::encodeName(m_path).constData(), &there) == 0 &&
            ::fstat(m_handle, &ours) == 0 && SameFile(there, ours))
            return m_handle;
        // Someone moved the folder away. What is in it is ours still; what stands at its
        // place now is not, and is never written into.
        RemoveContents(m_handle);
        Release();
        m_path.clear();
        if (renewed)
            *renewed = true;
    }
    if (!Make(error))
        return -1;
    return m_handle;
}

// Made under a name no other run takes for a live folder, locked, and only then given the
// live name: a folder of that name is never without its lock.
bool PrivateFolder::Make(QString& error) {
    const QString base = TemporaryBase(&error);
    if (base.isEmpty())
        return false;
    const auto fail = [&](const QString& what) {
        error = what + " " + base + ": " + Reason();
        return false;
    };
    const int parent = OpenBase(base, error);
    if (parent < 0)
        return false;
    QByteArray newName;
    const int folder = MakeFolderBeneath(parent, "karvex32-new-", newName);
    if (folder < 0) {
        const bool result = fail("Cannot make a private folder in");
        ::close(parent);
        return result;
    }
    ::fchmod(folder, 0700);  // exactly, whatever the umask
    const int lock =
        ::openat(folder, kLockName, O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    bool made = lock >= 0 && ::flock(lock, LOCK_EX | LOCK_NB) == 0;
    QByteArray name;
    for (int attempt = 0; made && attempt < 100; ++attempt) {
        name = "karvex32-" + QByteArray::number(::getpid()) + "-" + RandomSuffix();
        int renamed =
            ::renameat2(parent, newName.constData(), parent, name.constData(), RENAME_NOREPLACE);
        if (renamed != 0 && errno == EINVAL) {
            // A file system without RENAME_NOREPLACE: a plain rename, where nothing stands.
            struct stat there {};
            renamed = ::fstatat(parent, name.constData(), &there, AT_SYMLINK_NOFOLLOW) == 0
                          ? (errno = EEXIST, -1)
                          : ::renameat(parent, newName.constData(), parent, name.constData());
        }
        if (renamed == 0)
            break;
        made = errno == EEXIST;
        name.clear();
    }
    made = made && !name.isEmpty() && NamesHeldFolder(parent, name, folder);
    if (!made) {
        fail("Cannot make a private folder in");
        RemoveHeldFolder(parent, newName, folder);
        if (lock >= 0)
            ::close(lock);
        ::close(folder);
        ::close(parent);
        return false;
    }
    ::close(parent);
    m_handle = folder;
    m_lock = lock;
    m_path = QDir(base).filePath(QFile::decodeName(name));
    return true;
}

int PrivateFolder::MakeSubfolder(const QString& prefix, QString& path, QString& error,
                                 bool* renewed) {
    const int folder = Handle(error, renewed);
    if (folder < 0)
        return -1;
    QByteArray name;
    const int made = MakeFolderBeneath(folder, QFile::encodeName(prefix + "-"), name);
    if (made < 0) {
        error = "Cannot make a folder in " + m_path + ": " + Reason();
        return -1;
    }
    path = QDir(m_path).filePath(QFile::decodeName(name));
    return made;
}

void PrivateFolder::RemoveStale() {
    static const QRegularExpression pattern("^karvex32-\\d+-[A-Za-z0-9]{6}$");
    QString error;
    const QString base = TemporaryBase();
    const int parent = base.isEmpty() ? -1 : OpenBase(base, error);
    if (parent < 0)
        return;
    for (const QString& entry : QDir(base).entryList(QDir::AllEntries | QDir::Hidden |
                                                     QDir::System | QDir::NoDotAndDotDot)) {
        if (!pattern.match(entry).hasMatch())
            continue;
        const QByteArray name = QFile::encodeName(entry);
        // Only a folder of our own, private, whose lock no run holds: one planted by another
        // user, or made by a run in another PID namespace that still runs, is left alone.
        const int folder = ::openat(parent, name.constData(), kFolderFlags);
        if (folder < 0)
            continue;
        struct stat st {};
        const bool ours =
            ::fstat(folder, &st) == 0 && st.st_uid == ::geteuid() && (st.st_mode & 07777) == 0700;
        const int lock =
            ours ? ::openat(folder, kLockName, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC) : -1;
        struct stat lockStat {};
        if (lock >= 0 && ::fstat(lock, &lockStat) == 0 && S_ISREG(lockStat.st_mode) &&
            ::flock(lock, LOCK_EX | LOCK_NB) == 0)
            RemoveHeldFolder(parent, name, folder);
        if (lock >= 0)
            ::close(lock);
        ::close(folder);
    }
    ::close(parent);
}

}  // namespace karvex::platform
