// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "cli/cli_arguments.h"

namespace karvex {

// add, delete and rename: edits of an archive in place, each one edit of the whole archive
// that is applied completely or not at all. Each prints nothing when done and returns the
// exit status.
int RunAdd(const AddArgs& args);
int RunDelete(const DeleteArgs& args);
int RunRename(const RenameArgs& args);

}  // namespace karvex
