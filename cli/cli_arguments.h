#pragma once

// The command line of karvex32-cli, read into Arguments; main.cpp runs the command.

#include <optional>
#include <string>
#include <vector>

namespace karvex {

constexpr int kExitDone = 0;
constexpr int kExitRefused = 1;
constexpr int kExitUsage = 2;

struct Arguments {
    std::string command;
    std::vector<std::string> positional;
    std::vector<std::string> selected;
    std::optional<std::string> comment;
    bool all = false, lst = false, inf = false, yes = false, mount = false;
    bool nulEnds = false;  // text -0: each item ends with a NUL byte instead of a line feed
    bool matchCase = false, bySize = false, byContents = false;  // search's options
};

// Prints "karvex32-cli: PROBLEM" and the usage on standard error; returns kExitUsage.
int UsageError(const std::string& problem);

// Reads the command line. Returns the command to run, or nothing once help, the version
// or a usage error has been printed, with `exitStatus` set to the status to end with.
std::optional<Arguments> ReadArguments(int argc, char** argv, int& exitStatus);

}  // namespace karvex
