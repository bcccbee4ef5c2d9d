// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The makers of the demo archive's files, each giving the whole file.

#include "demo/demo_bytes.h"
#include "demo/demo_paint.h"

namespace demo {

// Textures and palettes (demo_textures.cpp).
Palette sunsetPalette();
Bytes sunsetTexture();  // 256 x 256, in the indices of sunsetPalette
Palette badgePalette();
Bytes badgeTexture(const Palette& pal);  // 64 x 64, in the indices of `pal`
Palette metalPalette();

// The other files (demo_files.cpp).
Bytes readmeText();
Bytes hornWave();
Bytes logoBitmap();
Bytes truckDefinition();
Bytes modelData();
Bytes responseFile();

}  // namespace demo
