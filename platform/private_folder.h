#pragma once

#include <QString>

namespace karvex::platform {

// The program's own temporary folder, for the copies the viewers and the text editor get:
// made on first use with mkdtemp in the folder named by "tmp", else "temp", else the
// system's temporary folder (never a root), as karvex32-PID-XXXXXX, and removed with
// everything in it when this object goes. No copy ever uses a fixed name in a folder the
// user owns.
class PrivateFolder {
  public:
    PrivateFolder() = default;
    ~PrivateFolder();
    PrivateFolder(const PrivateFolder&) = delete;
    PrivateFolder& operator=(const PrivateFolder&) = delete;

    // The folder, made now if it is not there yet; empty when it cannot be made.
    QString Path();

    // Removes the private folders of runs whose process no longer runs (a killed run
    // cannot remove its own). Called once at start-up.
    static void RemoveStale();

  private:
    QString m_path;
};

}  // namespace karvex::platform
