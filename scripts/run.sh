#!/usr/bin/env bash
# Installs what is needed, builds Karvex32 and shows the bundled demo archive.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build
build/cli/karvex32-cli list build/demo/demo.pod
