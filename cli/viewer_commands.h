// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "cli/cli_arguments.h"

namespace karvex {

// texture, textures, palette and text: what the viewers show, from the command line. Each
// returns the exit status.
int RunTexture(const TextureArgs& args);
int RunTextures(const TexturesArgs& args);
int RunPalette(const PaletteArgs& args);
int RunText(const TextArgs& args);

}  // namespace karvex
