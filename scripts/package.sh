#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds Karvex32's Debian package: installs what is needed, makes a release build in a
# tree of its own (build-package/, or the folder given), runs CPack there and prints the
# package's path, build-package/karvex32_VERSION_ARCH.deb, alone on standard output (the
# build's messages go to standard error).
# Install it with: sudo apt install ./build-package/karvex32_VERSION_amd64.deb
set -euo pipefail
cd "$(dirname "$0")/.."
exec 3>&1 1>&2

scripts/install-deps.sh
tree=${1:-build-package}
cmake -S . -B "$tree" -G Ninja -DCMAKE_BUILD_TYPE=Release -DKARVEX_BUILD_TESTS=OFF \
  -DKARVEX_SANITIZE=OFF -DKARVEX_GUI=ON
# Only what the package holds: the two programs, and the icons and manual pages.
cmake --build "$tree" -j "$(nproc)" --target karvex32 karvex32-cli karvex_desktop_files

log=$(cd "$tree" && cpack -G DEB) || { echo "$log"; exit 1; }
echo "$log"
deb=$(sed -n 's/^CPack: - package: \(.*\) generated\.$/\1/p' <<< "$log")
[ -f "$deb" ] || { echo "CPack made no package"; exit 1; }
realpath --relative-to=. "$deb" >&3
