// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The one PNG writer: textures saved by the viewer and by karvex32-cli go through it.
// libpng does the encoding, at its default compression.

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <string_view>
#include <vector>

#include "core/io_status.h"

namespace karvex {

// Writes `pixels`, width * height colour values (red + 256 * green + 65536 * blue, top
// row first), to `file` as an 8-bit RGB PNG. WriteFailed when the sizes do not agree or the
// file cannot be written.
IoStatus WritePng(std::FILE* file, int width, int height, const std::vector<std::uint32_t>& pixels);

// Writes a texture of width x width bytes as an 8-bit indexed PNG (colour type 3): the
// bytes are the pixels' indices and PLTE holds the 256 colours of `palette` (768 bytes,
// colour n at 3n). WriteFailed when the sizes do not agree or the file cannot be written.
IoStatus WriteIndexedPng(std::FILE* file, int width, std::string_view indices,
                         std::string_view palette);

// A new file that replaces (or creates) `path` whole, in its folder held open as a
// TargetFolder, filled by `write`: a failure half-way leaves what stood there as it was, and
// the file `archive` leads to (the archive being read; none when empty) is refused with
// Archive. The status names the file.
IoStatus WriteReplacing(const std::filesystem::path& path, const std::filesystem::path& archive,
                        const std::function<IoStatus(std::FILE*)>& write);

// WritePng and WriteIndexedPng into the file `path`, through WriteReplacing.
IoStatus WritePngFile(const std::filesystem::path& path, const std::filesystem::path& archive,
                      int width, int height, const std::vector<std::uint32_t>& pixels);
IoStatus WriteIndexedPngFile(const std::filesystem::path& path,
                             const std::filesystem::path& archive, int width,
                             std::string_view indices, std::string_view palette);

}  // namespace karvex
