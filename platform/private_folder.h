// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace karvex::platform {

// The program's own temporary folder, for the copies the viewers, the text editor and a drag
// get. It is made on first use as karvex32-PID-XXXXXX (mode 0700) in the temporary base (see
// TemporaryBase) and held by a handle for the whole run; every copy is made beneath that
// handle, never through the path. A lock file inside it, flock-ed for as long as the program
// runs, tells other runs that it is in use; the PID in the name is for people to read only.
// When this object goes, everything in it is removed through handles, links unlinked and
// never followed.
class PrivateFolder {
  public:
    PrivateFolder() = default;
    ~PrivateFolder();
    PrivateFolder(const PrivateFolder&) = delete;
    PrivateFolder& operator=(const PrivateFolder&) = delete;

    // The folder's handle, made now if it is not there yet. Before each use the path is
    // checked to still name the folder the handle holds (device and inode): if something
    // else stands there now, a new folder is made and `renewed` is set. -1 when no folder
    // can be made, with `error` set to the reason.
    int Handle(QString& error, bool* renewed = nullptr);
    // The path of the folder the last Handle gave; empty before.
    const QString& Path() const { return m_path; }

    // A fresh folder PREFIX-XXXXXX beneath the private folder, for one drag: its handle, its
    // path in `path`; -1 with `error` set when it cannot be made.
    int MakeSubfolder(const QString& prefix, QString& path, QString& error,
                      bool* renewed = nullptr);

    // Removes the private folders that no run holds any more (a killed run cannot remove its
    // own). Called once at start-up.
    static void RemoveStale();

    // The folder the private folders go into, resolved once per process to an absolute path:
    // the first of "tmp", "temp", TMPDIR and /tmp that is a folder, not a root, owned by the
    // user or root, and not writable by others unless its sticky bit is set. Empty when none
    // is, with `error` (when given) set to why.
    static QString TemporaryBase(QString* error = nullptr);
    // The same choice made afresh, from the environment and current folder as they are now.
    static QString ResolveTemporaryBase(QString* error = nullptr);

  private:
    bool Make(QString& error);
    void Release();

    int m_handle = -1;  // the folder, held open
    int m_lock = -1;    // its lock file, flock-ed while the program runs
    QString m_path;
};

// The status line's note that the private folder had been moved away and a new one made.
inline constexpr const char* kPrivateFolderRenewedText =
    "The private folder had been moved away; a new one is in use.";

}  // namespace karvex::platform
