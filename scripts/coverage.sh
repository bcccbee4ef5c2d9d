#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the suite with gcov in build-coverage, runs every ctest test once and prints the line
# coverage of the plain logic and of the CLI, from lcov's own summary:
#   logic: NN.N% of N lines
#   cli: NN.N% of N lines
# The HTML report is left in build-coverage/coverage/.
set -euo pipefail
cd "$(dirname "$0")/.."
jobs=$(nproc)
build=build-coverage

source scripts/sound-server.sh
trap StopSoundServer EXIT

cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DKARVEX_BUILD_TESTS=ON \
  -DKARVEX_COVERAGE=ON -DKARVEX_GUI=ON -DKARVEX_BUILD_BENCH=OFF
cmake --build "$build" -j "$jobs"
lcov --quiet --zerocounters --directory "$build"
ctest --test-dir "$build" -j "$jobs" --output-on-failure || echo "coverage: some tests failed"

info=$build/coverage.info
lcov --quiet --capture --directory "$build" --output-file "$info"
root=$PWD
# The plain-logic libraries: everything in core/, search/ and trucks/ but the Qt windows,
# and the viewers' decoding and PNG writer.
lcov --quiet --extract "$info" "$root/core/*" "$root/search/*" "$root/trucks/*" \
  "$root/viewers/palette.*" "$root/viewers/png_writer.*" "$root/viewers/text_lines.*" \
  "$root/viewers/texture.*" --output-file "$build/logic.info"
lcov --quiet --remove "$build/logic.info" "*_window.*" --output-file "$build/logic.info"
lcov --quiet --extract "$info" "$root/cli/*" --output-file "$build/cli.info"

summary() {
  lcov --summary "$2" 2>&1 | sed -nE "s/^ *lines\\.*: ([0-9.]+%) \\(([0-9]+) of ([0-9]+) lines\\)/$1: \\1 of \\3 lines/p"
}
summary logic "$build/logic.info"
summary cli "$build/cli.info"
genhtml --quiet --output-directory "$build/coverage" "$build/logic.info" "$build/cli.info" || true
