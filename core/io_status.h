// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <filesystem>
#include <string>
#include <utility>

namespace karvex {

// How one call of the file layer ended: done, or a code with the file it concerned and the
// reason ("Permission denied", "It is a symbolic link."). Every routine below Result reports
// through it; the routines turn it into their messages.
class IoStatus {
  public:
    enum class Code {
        Done,
        ReadFailed,   // a file could not be read, or ended early
        WriteFailed,  // a file or folder could not be written, made or opened for writing
        Link,         // a symbolic link stands where the name leads
        NotRegular,   // a folder or a special file stands there
        Outside,      // the name leads out of the folder, through a link or a non-folder
        Archive,      // the name leads to the archive being read
        Changed,      // the file is no longer the one that was loaded
        Cancelled,    // the host asked to stop
    };

    IoStatus() = default;
    IoStatus(Code code, std::filesystem::path file, std::string reason)
        : m_code(code), m_file(std::move(file)), m_reason(std::move(reason)) {}

    static IoStatus Done() { return {}; }
    static IoStatus Cancelled() { return {Code::Cancelled, {}, {}}; }
    // The reason of the last failed system call (errno), such as "Permission denied".
    static IoStatus FromErrno(Code code, std::filesystem::path file = {});
    // A read that got fewer bytes than asked: the system's reason where there is one (errno
    // was cleared before the read), otherwise "The file ended early.".
    static IoStatus ShortRead(std::filesystem::path file = {});

    bool IsDone() const { return m_code == Code::Done; }
    Code code() const { return m_code; }
    const std::filesystem::path& File() const { return m_file; }
    const std::string& Reason() const { return m_reason; }

    // The same status, naming `file` (the full path where the call that made it knew only
    // a name beneath an open folder).
    IoStatus& For(std::filesystem::path file) {
        m_file = std::move(file);
        return *this;
    }

  private:
    Code m_code = Code::Done;
    std::filesystem::path m_file;
    std::string m_reason;
};

}  // namespace karvex
