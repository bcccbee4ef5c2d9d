// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/command_line.h"

#include <system_error>

#include "core/paths.h"
#include "core/text.h"

namespace fs = std::filesystem;

namespace karvex {

StartupFile ParseCommandLine(const std::string& commandLine, const fs::path& currentFolder) {
    StartupFile startup;
    // Blanks around the line go first; then one pair of quotes around all of it.
    const std::string trimmed = Trim(commandLine);
    const bool quoted = trimmed.size() >= 2 && trimmed.front() == '"' && trimmed.back() == '"';
    startup.cmdPath = quoted ? trimmed.substr(1, trimmed.size() - 2) : trimmed;
    const std::string path = Trim(startup.cmdPath);
    if (EndsWithNoCase(path, ".pod")) {
        startup.kind = StartupFile::Kind::Archive;
    } else if (EndsWithNoCase(path, ".lst")) {
        startup.kind = StartupFile::Kind::ResponseFile;
    } else {
        return startup;
    }

    fs::path file(path);
    if (file.is_relative())
        file = currentFolder / file;
    file = file.lexically_normal();
    std::error_code ec;
    if (!fs::exists(file, ec))
        file = FindNoCase(file);
    startup.found = fs::is_regular_file(file, ec);
    startup.path = file;
    return startup;
}

}  // namespace karvex
