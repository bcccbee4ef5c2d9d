// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <filesystem>

// The CPU time of importing a 256x256 RGB PNG of 65,536 different colours as a texture,
// from reading the file to the texture's bytes, with and without dithering: the median of
// nine runs after a warm-up, printed as a table against the goal of 30 ms. The PNG is made
// in `work`. True when both meet the goal.
bool ImportTiming(const std::filesystem::path& work);
