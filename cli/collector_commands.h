// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "cli/cli_arguments.h"

namespace karvex {

// search and examine: what the search and results windows list, from the command line.
// Each returns the exit status.
int RunSearch(const SearchArgs& args);
int RunExamine(const ExamineArgs& args);

}  // namespace karvex
