// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Runs the built karvex32-cli and keeps what it printed.

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <cctype>
#include <csignal>
#include <cstdlib>
#include <string>
#include <vector>

#include "tests/core/test_support.h"

namespace karvex::test {

using namespace std::string_literals;

struct CliRun {
    int exit = -1;
    bool timedOut = false;
    std::string out, err;
};

inline std::string Quote(const std::string& arg) {
    std::string quoted = "'";
    for (char c : arg)
        quoted += c == '\'' ? "'\\''"s : std::string(1, c);
    return quoted + "'";
}

// A row's description as a test name.
inline std::string RowName(std::string name) {
    for (char& c : name)
        c = std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
    return name;
}

class Cli : public testing::Test {
  protected:
    // Runs in `folder` (the test's folder when empty), killed after `seconds`; with
    // `removed`, that folder is removed once it is the current folder, before the tool
    // starts. What it prints is kept in a folder of its own, so `dir` holds only the test's.
    CliRun Karvex(const std::vector<std::string>& args, const std::filesystem::path& folder = {},
                  bool removed = false, int seconds = 60) {
        const std::string where = (folder.empty() ? dir.path() : folder).string();
        std::string command = "cd " + Quote(where) + " && ";
        if (removed)
            command += "rmdir " + Quote(where) + " && ";
        command += "exec timeout -s KILL " + std::to_string(seconds) + " " + Quote(KARVEX_CLI);
        for (const auto& arg : args)
            command += " " + Quote(arg);
        command += " > " + Quote((io / "out").string()) + " 2> " + Quote((io / "err").string()) +
                   " < /dev/null";
        const int status = std::system(command.c_str());
        const int exit = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        return {exit == 128 + SIGKILL ? -1 : exit, exit == 128 + SIGKILL, ReadBytes(io / "out"),
                ReadBytes(io / "err")};
    }

    // Runs `args` and checks its exit status and what it printed to standard error.
    void Expect(const std::vector<std::string>& args, int exit, const std::string& err) {
        const CliRun run = Karvex(args);
        EXPECT_EQ(run.exit, exit) << args[0] << "\n" << run.err;
        EXPECT_EQ(run.err, err) << args[0];
    }

    TempDir dir, io;
};

}  // namespace karvex::test
