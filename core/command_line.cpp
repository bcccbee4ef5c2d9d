#include "command_line.h"

#include <system_error>

#include "paths.h"
#include "text.h"

namespace karvex {

StartupFile ParseCommandLine(const std::string& commandLine, const fs::path& currentFolder) {
    StartupFile startup;
    const std::string trimmed = Trim(commandLine);
    startup.cmdPath = !trimmed.empty() && trimmed.back() == '"' && commandLine.size() >= 2
                          ? commandLine.substr(1, commandLine.size() - 2)
                          : commandLine;
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
    SplitPath(file, startup.folder, startup.fileName);
    return startup;
}

}  // namespace karvex
