// SPDX-License-Identifier: GPL-3.0-or-later
// karvex32-cli: the archive commands of Karvex32 from the command line, running the same
// core routines and open sequences as the main window.
#include <cstdio>
#include <exception>

#include "cli/cli_arguments.h"

int main(int argc, char** argv) {
    // The routines report through error codes; this only keeps an overlooked throw (or
    // memory running out) from ending the tool with an abort.
    try {
        return karvex::RunCommandLine(argc, argv);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "karvex32-cli: %s\n", error.what());
        return karvex::kExitUsage;
    }
}
