#pragma once

#include "cli_arguments.h"

namespace karvex {

// Runs texture, textures, palette or text: what the viewers show, from the command line.
int RunViewerCommand(const Arguments& args);

}  // namespace karvex
