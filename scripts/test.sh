#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs what is needed, builds Karvex32 and runs every test:
#   1. the format check: every C++ file as .clang-format lays it out (scripts/check-format.sh);
#   2. the whole suite in an optimised gcc build, the package's tests (lintian, AppStream)
#      included;
#   3. the suite of a build with the window left out (-DKARVEX_GUI=OFF), as a user who builds
#      only the command-line tool gets it;
#   4. the whole suite again, the window tests included, built with the address and
#      undefined-behaviour sanitizers, which turn a bad read of a corrupt archive into a
#      failed test;
#   5. the libFuzzer targets of fuzz/, sharing one time budget (scripts/fuzz.sh), and the
#      fault injection of scripts/faults.sh.
# Ends with one line that adds them up: "total: N passed, N failed" (each ctest test, fuzz
# target, fault scenario and formatted file counts one). The wave player's tests play through
# a sound server: one with a null sink is started when none runs (scripts/sound-server.sh).
# Where ccache is installed the builds go through it, so the tree without the window reuses
# what the first build compiled.
#
# KARVEX_FUZZ_SECONDS sets the fuzz budget in seconds (42 when not set: 5 s a target).
# scripts/test.sh --coverage instead builds the suite with gcov, runs it once and prints the
# line coverage of the plain logic (core, search, trucks and the viewers' logic) and of cli/.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
if [ "${1:-}" = "--coverage" ]; then
  exec scripts/coverage.sh
fi
jobs=$(nproc)
fuzz_seconds=${KARVEX_FUZZ_SECONDS:-42}

source scripts/sound-server.sh
output=$(mktemp)
trap 'rm -f "$output"; StopSoundServer' EXIT
passed=0
failed=0

# Adds up the last "N passed, N failed" line a stage printed, or ctest's "N% tests passed,
# F tests failed out of T"; a stage that failed without printing either counts one failure.
count() {
  local status=$1 line
  if line=$(grep -E '^[0-9]+% tests passed, [0-9]+ tests failed out of [0-9]+' "$output" | tail -n 1); then
    local failures total
    failures=$(sed -E 's/.* ([0-9]+) tests failed out of ([0-9]+).*/\1/' <<< "$line")
    total=$(sed -E 's/.* out of ([0-9]+).*/\1/' <<< "$line")
    passed=$((passed + total - failures))
    failed=$((failed + failures))
  elif line=$(grep -E '^([A-Za-z]+: )?[0-9]+ passed, [0-9]+ failed' "$output" | tail -n 1); then
    passed=$((passed + $(sed -E 's/^([A-Za-z]+: )?([0-9]+) passed.*/\2/' <<< "$line")))
    failed=$((failed + $(sed -E 's/.* ([0-9]+) failed.*/\1/' <<< "$line")))
  fi
  if [ "$status" -ne 0 ] && [ -z "$line" ]; then
    failed=$((failed + 1))
  fi
}

# Runs a stage, showing its output as it comes, then counts what it reported.
stage() {
  local status=0
  "$@" 2>&1 | tee "$output" || status=$?
  count "$status"
  echo "(${SECONDS} s since the start)"
}

launcher=()
if command -v ccache > /dev/null; then
  # Paths below the checkout are hashed relative to it, and the build folder not at all, so
  # two trees with the same flags share their objects.
  export CCACHE_BASEDIR=$PWD CCACHE_NOHASHDIR=1
  launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
fi

# In the optimised trees, line tables are all the debug information a failure's stack trace
# needs; with full -g each of their compiles takes about half as long again.
optimised=(-DCMAKE_BUILD_TYPE=RelWithDebInfo "-DCMAKE_CXX_FLAGS_RELWITHDEBINFO=-O2 -g1 -DNDEBUG")

stage scripts/check-format.sh

cmake -S . -B build -G Ninja "${optimised[@]}" -DKARVEX_BUILD_TESTS=ON -DKARVEX_GUI=ON \
  "${launcher[@]}"
cmake --build build -j "$jobs"
stage ctest --test-dir build --output-on-failure -j "$jobs"

cmake -S . -B build-nogui -G Ninja "${optimised[@]}" -DKARVEX_BUILD_TESTS=ON -DKARVEX_GUI=OFF \
  "${launcher[@]}"
cmake --build build-nogui -j "$jobs"
stage ctest --test-dir build-nogui --output-on-failure -j "$jobs"

# The whole suite again under ASan and UBSan. Leaks found inside the third-party libraries
# the windows use are suppressed in scripts/lsan.supp; leaks in our own code still fail.
cmake -S . -B build-sanitize -G Ninja -DCMAKE_BUILD_TYPE=Debug -DKARVEX_BUILD_TESTS=ON \
  -DKARVEX_SANITIZE=ON -DKARVEX_GUI=ON -DKARVEX_BUILD_BENCH=OFF "${launcher[@]}"
cmake --build build-sanitize -j "$jobs"
export ASAN_OPTIONS=detect_leaks=1:strict_string_checks=1:check_initialization_order=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export LSAN_OPTIONS=suppressions=$PWD/scripts/lsan.supp:print_suppressions=0
stage ctest --test-dir build-sanitize --output-on-failure -j "$jobs"
unset ASAN_OPTIONS UBSAN_OPTIONS LSAN_OPTIONS

stage scripts/fuzz.sh "$fuzz_seconds"

if [ -x scripts/faults.sh ]; then
  stage scripts/faults.sh --short
fi

echo "total: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
