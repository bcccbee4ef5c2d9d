// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "cli/cli_arguments.h"

namespace karvex {

// list, extract, build and comment: the Open, Extract, Make and comment commands of the
// main window, from the command line. Each returns the exit status.
int RunList(const ListArgs& args);
int RunExtract(const ExtractArgs& args);
int RunBuild(const BuildArgs& args);
int RunComment(const CommentArgs& args);

}  // namespace karvex
