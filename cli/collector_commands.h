#pragma once

#include "cli_arguments.h"

namespace karvex {

// Runs search or examine: what the search and results windows list, from the command line.
int RunCollectorCommand(const Arguments& args);

}  // namespace karvex
