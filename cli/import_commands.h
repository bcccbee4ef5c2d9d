// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "cli/cli_arguments.h"

namespace karvex {

// texture-import, palette-export, palette-import and textures-import: textures and palettes
// between the archive and the files image editors use. The imports are edits of the archive
// in place, each applied completely or not at all; each returns the exit status.
int RunTextureImport(const TextureImportArgs& args);
int RunPaletteExport(const PaletteExportArgs& args);
int RunPaletteImport(const PaletteImportArgs& args);
int RunTexturesImport(const TexturesImportArgs& args);

}  // namespace karvex
