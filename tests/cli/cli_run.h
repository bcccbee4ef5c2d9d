// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Runs the built karvex32-cli and keeps what it printed.
#include <gtest/gtest.h>

#include <stdio.h>
#include <sys/wait.h>
#include <cctype>
#include <csignal>
#include <cstdio>
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

// One sorted line (type, size, mode, mtime, inode, link target) per thing below `root`.
inline std::string Walk(const std::filesystem::path& root,
                        const std::vector<std::filesystem::path>& skipped = {}) {
    std::string command = "find " + Quote(root.string()) + " -mindepth 1";
    for (const auto& skip : skipped)
        command += " -path " + Quote(skip.string()) + " -prune -o";
    command += " -printf '%P\\t%y size=%s mode=%m mtime=%T@ inode=%i -> %l\\n' | LC_ALL=C sort";
    std::string all;
    FILE* pipe = ::popen(command.c_str(), "r");
    for (char line[4096]; pipe && std::fgets(line, sizeof line, pipe);)
        all += line;
    EXPECT_TRUE(pipe && ::pclose(pipe) == 0) << command;
    return all;
}

class Cli : public testing::Test {
  protected:
    // Runs in `folder` (or `dir`), which `removed` removes first; its output is kept in `io`.
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

    // Runs each row's arguments, which must succeed and print the row's text.
    void ExpectOut(const std::vector<std::pair<std::vector<std::string>, std::string>>& rows) {
        for (const auto& [args, out] : rows) {
            const CliRun run = Karvex(args);
            EXPECT_EQ(run.exit, 0) << run.err;
            EXPECT_EQ(run.out, out) << args.back();
        }
    }

    // Runs `args` and checks its exit status and what it printed to standard error.
    CliRun Expect(const std::vector<std::string>& args, int exit, const std::string& err) {
        const CliRun run = Karvex(args);
        EXPECT_EQ(run.exit, exit) << args[0] << "\n" << run.err;
        EXPECT_EQ(run.err, err) << args[0];
        return run;
    }

    TempDir dir, io;
};

}  // namespace karvex::test
