#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Performance check for karvex32-cli: list, extract, build, examine and edit timings against
# plain shell tools, plus the peak memory of every karvex32-cli run.
#
# Usage: bench/bench.sh [BUILD_DIR]     (default: <repo>/build)
# Prints the machine and a Markdown table on stdout, progress on stderr.
# Exits 0 even when a goal is missed; non-zero only when something breaks.
set -euo pipefail
trap 'echo "bench: command failed at line $LINENO" >&2' ERR

ROOT=$(cd -- "$(dirname -- "${BASH_SOURCE[0]}")/.." && pwd)
BUILD=${1:-$ROOT/build}
ROUNDS=5          # timed rounds per measurement, after one warm-up run
MEM_GOAL_MIB=64

if [[ ! -x $BUILD/cli/karvex32-cli ]]; then
  echo "bench: $BUILD/cli/karvex32-cli not found - build the project first" >&2
  exit 1
fi
CLI=$(cd -- "$BUILD/cli" && pwd)/karvex32-cli
if ! /usr/bin/time -f '%M' -o /dev/null true 2>/dev/null; then
  echo "bench: GNU time is needed for peak memory (apt-get install time)" >&2
  exit 1
fi

WORK=$(mktemp -d "${TMPDIR:-/tmp}/karvex32-bench.XXXXXX")
trap 'rm -rf -- "$WORK"' EXIT
log() { echo "bench: $*" >&2; }

# timed CMD...: runs CMD once; sets LAST_US (wall time, microseconds) and
# LAST_KB (max resident set size). The caller's redirections apply to CMD.
timed() {
  local t0 t1
  t0=$(date +%s%N)
  /usr/bin/time -f '%M' -o "$WORK/rss" "$@"
  t1=$(date +%s%N)
  LAST_US=$(((t1 - t0) / 1000))
  LAST_KB=$(tail -n 1 "$WORK/rss")
}

median() { printf '%s\n' "$@" | sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }

# pair REF_FN CLI_FN: warm-up, then ROUNDS rounds alternating which side goes
# first. Sets REF_MED / CLI_MED (median µs) and CLI_PEAK (largest RSS, KiB).
# REF_FN "-" means there is no reference command.
pair() {
  local ref=$1 cli=$2 i
  local -a r=() c=()
  CLI_PEAK=0 REF_MED=0
  [[ $ref == - ]] || "$ref"
  "$cli"
  for ((i = 1; i <= ROUNDS; i++)); do
    if [[ $ref != - && $((i % 2)) == 1 ]]; then "$ref"; r+=("$LAST_US"); fi
    "$cli"; c+=("$LAST_US")
    ((LAST_KB > CLI_PEAK)) && CLI_PEAK=$LAST_KB
    if [[ $ref != - && $((i % 2)) == 0 ]]; then "$ref"; r+=("$LAST_US"); fi
  done
  CLI_MED=$(median "${c[@]}")
  [[ $ref == - ]] || REF_MED=$(median "${r[@]}")
}

# row WHAT CLI_US REF_NAME REF_US PEAK_KB GOAL KIND LIMIT [MEM_MIB]
# KIND "abs": CLI time must stay under LIMIT seconds; "ratio": CLI/REF <= LIMIT. The peak
# memory must stay under MEM_GOAL_MIB, or at most MEM_MIB when that is given.
ROWS=()
row() {
  ROWS+=("$(awk -v what="$1" -v c="$2" -v rn="$3" -v r="$4" -v kb="$5" -v goal="$6" \
    -v kind="$7" -v lim="$8" -v memlim="${9:-$MEM_GOAL_MIB}" -v memle="${9:+1}" 'BEGIN {
      mib = kb / 1024
      if (kind == "abs") { ref = "—"; ratio = "—"; ok = c / 1e6 < lim }
      else { q = r > 0 ? c / r : 0; ref = sprintf("%s %.2f s", rn, r / 1e6)
             ratio = sprintf("%.2f", q); ok = r > 0 && q <= lim }
      ok = ok && (memle ? mib <= memlim : mib < memlim)
      printf "| %s | %.2f s | %s | %s | %.1f MiB | %s | %s |", what, c / 1e6, ref, ratio, mib, goal, ok ? "yes" : "no"
    }')")
}

# --- inputs --------------------------------------------------------------
# 32,767 tiny entries (F00001.DAT ...) for the list benchmark. The response
# file sits next to the files so the names in it are plain file names.
log "generating 32,767 small files"
mkdir "$WORK/many"
head -c $((32767 * 16)) /dev/urandom |
  split -b 16 -d -a 5 --numeric-suffixes=1 --additional-suffix=.DAT - "$WORK/many/F"
(cd "$WORK/many" && printf '%s\r\n' F*.DAT > BIG.LST)
log "building BIG.pod"
"$CLI" build "$WORK/many/BIG.LST" "$WORK/BIG.pod" --yes < /dev/null > /dev/null
n=$("$CLI" list "$WORK/BIG.pod" | tail -n +4 | wc -l)
[[ $n == 32767 ]] || { log "BIG.pod lists $n entries, expected 32767"; exit 1; }

# 200 MiB of random data in 2,000 files F0001.BIN ... F2000.BIN (104,858
# bytes each, the last one a little shorter). The 22 KB response file in the
# same folder is also copied by cp -r, which is negligible.
log "generating 200 MiB in 2,000 files"
SRC=$WORK/src
mkdir "$SRC"
head -c 200M /dev/urandom |
  split -b 104858 -d -a 4 --numeric-suffixes=1 --additional-suffix=.BIN - "$SRC/F"
(cd "$SRC" && printf '%s\r\n' F*.BIN > FILES.LST)
log "building DATA.pod"
"$CLI" build "$SRC/FILES.LST" "$WORK/DATA.pod" --yes < /dev/null > /dev/null

# Sanity: a full extract must give back exactly the source files.
mkdir "$WORK/check"
"$CLI" extract "$WORK/DATA.pod" "$WORK/check" --all --yes < /dev/null > /dev/null
diff -r -x FILES.LST "$SRC" "$WORK/check" > /dev/null || { log "extracted files differ from the sources"; exit 1; }
rm -rf -- "$WORK/check"

# The edits work on a copy of DATA.pod in a folder of their own, put back from the original
# before every edit run: replace one entry by a 64 KiB file, and delete every 20th entry.
log "preparing the edits"
EDIT=$WORK/edit
mkdir "$EDIT" "$WORK/one"
cp --reflink=never "$WORK/DATA.pod" "$EDIT/ORIG.pod"
head -c 65536 /dev/urandom > "$WORK/one/F1000.BIN"
DELETE_NAMES=()
for ((i = 1; i <= 2000; i += 20)); do printf -v name 'F%04d.BIN' "$i"; DELETE_NAMES+=("$name"); done

# A 64 MiB model that is ".raw" from end to end: 16 million occurrences of the extension,
# each naming the 256 bytes before it, for examine against grep over the same bytes.
log "building MODEL.pod"
mkdir "$WORK/model"
printf '.raw%.0s' {1..1024} > "$WORK/model/MODEL.BIN"  # 4 KiB, then doubled 14 times
for ((i = 0; i < 14; i++)); do
  cat "$WORK/model/MODEL.BIN" "$WORK/model/MODEL.BIN" > "$WORK/model/TWICE"
  mv "$WORK/model/TWICE" "$WORK/model/MODEL.BIN"
done
printf 'MODEL.BIN\r\n' > "$WORK/model/MODEL.LST"
"$CLI" build "$WORK/model/MODEL.LST" "$WORK/MODEL.pod" --yes < /dev/null > /dev/null
n=$("$CLI" examine "$WORK/MODEL.pod" MODEL.BIN | wc -l)
[[ $n == 64 ]] || { log "examine lists $n names of MODEL.BIN, expected 64"; exit 1; }

# --- one run of each side; outputs are cleared and flushed outside timing ---
reset() { rm -rf -- "$WORK/dest1" "$WORK/dest2" "$WORK/cat.out" "$WORK/NEW.pod"; mkdir "$WORK/dest2"; sync; }
run_list()    { sync; timed "$CLI" list "$WORK/BIG.pod" < /dev/null > /dev/null; }
run_cp()      { reset; timed cp -r "$SRC" "$WORK/dest1"; }
run_extract() { reset; timed "$CLI" extract "$WORK/DATA.pod" "$WORK/dest2" --all --yes < /dev/null > /dev/null; }
run_cat()     { reset; timed cat "$SRC"/*.BIN > "$WORK/cat.out"; }
run_build()   { reset; timed "$CLI" build "$SRC/FILES.LST" "$WORK/NEW.pod" --yes < /dev/null > /dev/null; }
run_grep()    { timed grep -c -F .raw "$WORK/model/MODEL.BIN" > /dev/null; }
edit_restore() { rm -f -- "$EDIT/COPY.pod"; cp --reflink=never "$EDIT/ORIG.pod" "$EDIT/A.pod"; sync; }
run_copy()    { edit_restore; timed cp --reflink=never "$EDIT/A.pod" "$EDIT/COPY.pod"; }
# The same copy renamed over the archive, as an edit replaces it: on ext4 the rename makes the
# kernel start writing the new file out, and the old file's blocks are freed.
run_copy_mv() { edit_restore; timed sh -c 'cp --reflink=never "$1" "$2" && mv "$2" "$1"' - "$EDIT/A.pod" "$EDIT/COPY.pod"; }
run_replace() { edit_restore; timed "$CLI" add "$EDIT/A.pod" "$WORK/one/F1000.BIN" --replace < /dev/null > /dev/null; }
run_delete()  { edit_restore; timed "$CLI" delete "$EDIT/A.pod" "${DELETE_NAMES[@]}" < /dev/null > /dev/null; }
run_examine() { timed "$CLI" examine "$WORK/MODEL.pod" MODEL.BIN < /dev/null > /dev/null; }

MEM_GOAL="< $MEM_GOAL_MIB MiB"
log "timing list"
pair - run_list
row "list, 32,767 entries" "$CLI_MED" - 0 "$CLI_PEAK" "< 0.3 s, $MEM_GOAL" abs 0.3
log "timing extract --all vs cp -r"
pair run_cp run_extract
row "extract --all, 200 MiB in 2,000 entries" "$CLI_MED" "cp -r" "$REF_MED" "$CLI_PEAK" "≤ 1.2× cp -r, $MEM_GOAL" ratio 1.2
log "timing build vs cat"
pair run_cat run_build
row "build, 200 MiB in 2,000 entries" "$CLI_MED" cat "$REF_MED" "$CLI_PEAK" "≤ 1.3× cat, $MEM_GOAL" ratio 1.3
log "timing examine vs grep"
pair run_grep run_examine
row "examine, a 64 MiB model of .raw" "$CLI_MED" "grep -c -F" "$REF_MED" "$CLI_PEAK" "≤ 3× grep -c -F .raw, $MEM_GOAL" ratio 3
log "timing add --replace vs cp"
pair run_copy run_replace
# The last round's result: the same entries, the one replaced 64 KiB long.
n=$("$CLI" list "$EDIT/A.pod" | awk -F'\t' 'NR > 3 { n++ } $1 == "F1000.BIN" { size = $2 } END { print n, size }')
[[ $n == "2000 65,536" ]] || { log "after add --replace: $n (entries, size of F1000.BIN)"; exit 1; }
row "add --replace, one 64 KiB entry of 200 MiB" "$CLI_MED" "cp --reflink=never" "$REF_MED" "$CLI_PEAK" "≤ 1.1× cp, ≤ 32 MiB" ratio 1.1 32
pair run_copy_mv run_replace
row "add --replace, the same" "$CLI_MED" "cp + mv" "$REF_MED" "$CLI_PEAK" "≤ 1.1× cp + mv, ≤ 32 MiB" ratio 1.1 32
log "timing delete of 100 entries vs cp"
pair run_copy run_delete
n=$("$CLI" list "$EDIT/A.pod" | tail -n +4 | wc -l)
[[ $n == 1900 ]] || { log "after delete: $n entries, expected 1900"; exit 1; }
row "delete, 100 of 2,000 entries (200 MiB)" "$CLI_MED" "cp --reflink=never" "$REF_MED" "$CLI_PEAK" "≤ 1.1× cp, ≤ 32 MiB" ratio 1.1 32
pair run_copy_mv run_delete
row "delete, the same" "$CLI_MED" "cp + mv" "$REF_MED" "$CLI_PEAK" "≤ 1.1× cp + mv, ≤ 32 MiB" ratio 1.1 32
reset
rm -rf -- "$EDIT"

# --- report ----------------------------------------------------------------
cpu=$(grep -m 1 'model name' /proc/cpuinfo 2> /dev/null | cut -d: -f2- | sed 's/^ *//' || true)
echo "Machine: $(nproc) CPUs, ${cpu:-unknown CPU} (median of $ROUNDS warm runs)"
echo
echo "| what | karvex32-cli | reference | ratio | peak memory | goal | met |"
echo "|---|---|---|---|---|---|---|"
printf '%s\n' "${ROWS[@]}"
