#pragma once

#include "cli_arguments.h"

namespace karvex {

// search and examine: what the search and results windows list, from the command line.
// Each returns the exit status.
int RunSearch(const SearchArgs& args);
int RunExamine(const ExamineArgs& args);

}  // namespace karvex
