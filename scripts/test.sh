#!/usr/bin/env bash
# Installs what is needed, builds Karvex32 and runs every test: once in an optimised
# build, and once more built with the address and undefined-behaviour sanitizers (the
# archive core and the command-line tool), which turn a bad read of a corrupt archive
# into a failed test.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
jobs=$(nproc)

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKARVEX_BUILD_TESTS=ON
cmake --build build -j "$jobs"
ctest --test-dir build --output-on-failure -j "$jobs"

cmake -S . -B build-sanitize -G Ninja -DCMAKE_BUILD_TYPE=Debug -DKARVEX_BUILD_TESTS=ON -DKARVEX_SANITIZE=ON \
  -DKARVEX_GUI=OFF
cmake --build build-sanitize -j "$jobs"
ctest --test-dir build-sanitize --output-on-failure -j "$jobs"
