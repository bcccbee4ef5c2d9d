#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs what is needed, builds Karvex32 and starts it on the bundled demo archive.
# Without a display it runs under a virtual one and saves a screenshot instead.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build

if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  exec build/app/karvex32 build/demo/demo.pod
fi
echo "No display found: starting Karvex32 under a virtual display (Xvfb) and saving a screenshot."
scripts/screenshot.sh build/screenshot.png
echo "The main window with the demo archive open is in build/screenshot.png."
