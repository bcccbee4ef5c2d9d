// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Textures written out as PNG files beneath one folder, as the textures command writes
// them and the Textures window saves its selection: each through its own palette, under
// its PNG name, by the rules of extraction.

#include <string>
#include <vector>

#include "core/entry_table.h"
#include "core/result.h"

namespace karvex {

class Session;

// Entry i is a texture: its name holds ".raw" (ignoring case) and its size is 4096 or 65536.
bool IsTexture(const EntryTable& table, int i);

// Writes the textures `entries` of the open archive beneath `folder`, each drawn as on a
// first View and named by PngNameFor; folders are opened beneath the folder without
// following links, and the archive itself is never written. A name that would lead out of
// the folder, or onto what is not a regular file, is left out: `refusals` gets one message
// for those that lead out and one for the others. Failed, the rest not written, when the
// folder cannot be opened or a file cannot be written or read; Done otherwise.
Result ExportTextures(const Session& session, const std::string& folder,
                      const std::vector<int>& entries, std::vector<std::string>& refusals);

}  // namespace karvex
