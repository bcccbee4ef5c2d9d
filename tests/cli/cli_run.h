// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Runs the built karvex32-cli in a temporary folder and keeps what it printed.

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <cstdlib>
#include <string>
#include <vector>

#include "tests/core/test_support.h"

namespace karvex::test {

using namespace std::string_literals;

struct CliRun {
    int exit = -1;
    std::string out, err;
};

inline std::string Quote(const std::string& arg) {
    std::string quoted = "'";
    for (char c : arg)
        quoted += c == '\'' ? "'\\''"s : std::string(1, c);
    return quoted + "'";
}

class Cli : public testing::Test {
  protected:
    // Runs in `folder` (the test's folder when empty); with `removed`, that folder is removed
    // once it is the current folder, before the tool starts.
    CliRun Karvex(const std::vector<std::string>& args, const std::filesystem::path& folder = {},
                  bool removed = false) {
        const std::filesystem::path where = folder.empty() ? dir.path() : folder;
        std::string command = "cd " + Quote(where.string()) + " && ";
        if (removed)
            command += "rmdir " + Quote(where.string()) + " && ";
        command += Quote(KARVEX_CLI);
        for (const auto& arg : args)
            command += " " + Quote(arg);
        command += " > " + Quote((dir / ".out").string()) + " 2> " +
                   Quote((dir / ".err").string()) + " < /dev/null";
        const int status = std::system(command.c_str());
        CliRun run{WIFEXITED(status) ? WEXITSTATUS(status) : -1, ReadBytes(dir / ".out"),
                   ReadBytes(dir / ".err")};
        std::filesystem::remove(dir / ".out");
        std::filesystem::remove(dir / ".err");
        return run;
    }

    TempDir dir;
};

}  // namespace karvex::test
