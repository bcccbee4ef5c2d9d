#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# scripts/fuzz.sh [SECONDS]: builds the libFuzzer targets of fuzz/ in a clang tree of their
# own (build-fuzz/; the main build stays gcc), makes their seed inputs, and runs the targets
# for SECONDS in all (42 when not given), each for an equal share of at least one second.
# Fails when a target crashes, leaks, hangs or finds an input that breaks one of its checks,
# and prints where that input was saved.
#
# A crash's input is not fixed here and forgotten: the fix comes with a named test row in
# tests/ that feeds the same bytes to the same routine, so the bug stays found.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${1:-42}
[[ $seconds =~ ^[0-9]+$ ]] || { echo "usage: scripts/fuzz.sh [SECONDS]" >&2; exit 2; }
targets=(fuzz_pod_table fuzz_extract fuzz_response_file fuzz_pod_ini fuzz_viewers fuzz_search
  fuzz_trucks fuzz_edit fuzz_png fuzz_gpl)
tree=build-fuzz
share=$((seconds / ${#targets[@]}))
[ "$share" -ge 1 ] || share=1

scripts/install-deps.sh
CC=clang-14 CXX=clang++-14 cmake -S . -B "$tree" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  "-DCMAKE_CXX_FLAGS_RELWITHDEBINFO=-O2 -g1 -DNDEBUG" \
  -DCMAKE_CXX_COMPILER=clang++-14 \
  -DKARVEX_GUI=OFF -DKARVEX_BUILD_TESTS=OFF -DKARVEX_SANITIZE=OFF -DKARVEX_FUZZ=ON > /dev/null
cmake --build "$tree" --target fuzz_targets -j "$(nproc)"
fuzz/make_corpus.sh "$tree/seeds"

root=$(pwd)/$tree
passed=0
failed=0
for target in "${targets[@]}"; do
  # New inputs the fuzzer finds are kept in corpus/ for the next run; seeds are made anew.
  corpus=$root/corpus/$target
  crashes=$root/crashes/$target
  scratch=$root/tmp/$target
  log=$root/logs/$target.log
  rm -rf "$crashes" "$scratch"
  mkdir -p "$corpus" "$crashes" "$scratch" "$root/logs"
  echo "== $target: ${share}s"
  status=0
  # The targets make their scratch folders under TMPDIR; the fuzzer's own options: a run
  # slower than 10 s counts as a hang, and leaks are reported as crashes.
  TMPDIR=$scratch ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
    "$root/fuzz/$target" -max_total_time="$share" -timeout=10 -rss_limit_mb=2048 \
    -dict=fuzz/karvex.dict -artifact_prefix="$crashes/" -print_final_stats=1 \
    "$corpus" "$root/seeds/$target" > "$log" 2>&1 || status=$?
  found=$(find "$crashes" -type f -print -quit)
  if [ "$status" -eq 0 ] && [ -z "$found" ]; then
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
    echo "   ok: ${runs:-?} runs, corpus $(find "$corpus" -type f | wc -l) inputs"
    passed=$((passed + 1))
    rm -rf "$scratch"
    continue
  fi
  failed=$((failed + 1))
  echo "   FAILED (exit $status); the fuzzer's report:"
  # From the first report line: what went wrong and the stack where it happened.
  awk '/ERROR: |fuzz check failed|runtime error:/ { shown = 1 } shown && n < 50 { print; n++ }' \
    "$log" | sed 's/^/   | /'
  if [ -n "$found" ]; then
    echo "   input saved in: $found ($(stat -c %s "$found") bytes)"
    echo "   as hex: $(od -An -v -tx1 "$found" | tr -d ' \n' | head -c 2048)"
    echo "   run it again: TMPDIR=/tmp $root/fuzz/$target $found"
  fi
  echo "   full log: $log"
done

echo "fuzz: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
