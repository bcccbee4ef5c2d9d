#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Fault injection for karvex32-cli: each command that replaces files is started again and
# again and killed with SIGKILL at a random moment of its run. After every kill each file it
# may replace must hold either its old bytes or the complete new ones, and nothing else may
# be left in the folders it writes to but temporaries that the next successful write removes.
#
# Usage: scripts/faults.sh [--short] [BUILD_DIR]     (default: <repo>/build)
#   --short   5 kills per scenario instead of 20
# With KARVEX_NO_TMPFILE=1 in the environment (passed on to the CLI), or on a file system
# without O_TMPFILE, a killed run may leave NAME.karvex-*.tmp files, which the next successful
# write into that folder must remove; otherwise a killed run may leave none but one caught in
# the moment between the complete file taking its name and its rename into place.
# Prints one line per scenario and "N passed, N failed"; exits 1 when a scenario failed,
# 2 when the script cannot run. FAULTS_DEBUG=1 logs every run and kill on stderr.
set -euo pipefail

ROOT=$(cd -- "$(dirname -- "${BASH_SOURCE[0]}")/.." && pwd)
KILLS=20
BUILD=$ROOT/build
for arg in "$@"; do
  case $arg in
    --short) KILLS=5 ;;
    -h | --help) sed -n '2,13p' "$0" | sed 's/^# \{0,1\}//'; exit 0 ;;
    -*) echo "faults: unknown option $arg" >&2; exit 2 ;;
    *) BUILD=$arg ;;
  esac
done
if [[ ! -x $BUILD/cli/karvex32-cli ]]; then
  echo "faults: $BUILD/cli/karvex32-cli not found - build the project first" >&2
  exit 2
fi
CLI=$(cd -- "$BUILD/cli" && pwd)/karvex32-cli
export LC_ALL=C

WORK=$(mktemp -d "${TMPDIR:-/tmp}/karvex32-faults.XXXXXX")
trap 'rm -rf -- "$WORK"' EXIT
log() { echo "faults: $*" >&2; }

# shellcheck source=scripts/faults-lib.sh
source "$ROOT/scripts/faults-lib.sh"

if [[ ${KARVEX_NO_TMPFILE:-} == 1 ]]; then
  STRICT=0 MODE="KARVEX_NO_TMPFILE=1: temporaries may survive a kill until the next write"
elif tmpfile_supported "$WORK"; then
  STRICT=1 MODE="O_TMPFILE supported: no temporary may survive a kill"
else
  STRICT=0 MODE="no O_TMPFILE here: temporaries may survive a kill until the next write"
fi

# --- inputs ----------------------------------------------------------------
# About 8 MiB in 66 files: two large ones, so that a kill can land inside one entry's copy,
# and many small ones, so that it can land between files.
log "making the inputs in $WORK"
SRC=$WORK/src
mkdir -p "$SRC/ART" "$SRC/OLD"
head -c $((4096 * 1024)) /dev/urandom >"$SRC/ART/BIG1.RAW"
head -c $((1536 * 1024 + 77)) /dev/urandom >"$SRC/BIG2.RAW"
list=$'ART\\BIG1.RAW\r\nBIG2.RAW\r\n'
for i in $(seq -w 1 64); do
  head -c $((4096 + $(random_below 61440))) /dev/urandom >"$SRC/ART/F$i.RAW"
  list+="ART\\F$i.RAW"$'\r\n'
done
printf '%s' "$list" >"$SRC/new.lst"
for i in 1 2 3; do
  head -c $((300 * 1024 + i)) /dev/urandom >"$SRC/OLD/OLD$i.RAW"
done
printf 'OLD\\OLD1.RAW\r\nOLD\\OLD2.RAW\r\nOLD\\OLD3.RAW\r\n' >"$SRC/old.lst"

"$CLI" build "$SRC/new.lst" "$WORK/GAME.POD" --comment "Fault injection" >/dev/null
"$CLI" build "$SRC/old.lst" "$WORK/OLDGAME.POD" >/dev/null

# For the edits: 20,000 entries of 256 bytes, written here as the builder would lay them out
# (20,000 files for the builder would take seconds to make). An edit copies the entries one
# by one, so the count makes a run long enough (some 60 ms) for a kill to land anywhere in the
# new table or data, while the bytes stay few enough to list and put back after every kill.
hex=()
for ((b = 0; b < 256; b++)); do printf -v 'hex[b]' '\\x%02x' "$b"; done
le32() { LE32=${hex[$1 & 255]}${hex[($1 >> 8) & 255]}${hex[($1 >> 16) & 255]}${hex[($1 >> 24) & 255]}; }
make_edit_archive() {
  local count=20000 size=256 i n size_le offset records=
  local pad=${hex[0]}
  pad=$pad$pad$pad$pad$pad$pad$pad$pad$pad$pad$pad$pad$pad$pad$pad$pad$pad$pad$pad$pad$pad$pad
  le32 "$count"
  printf '%b' "${LE32}Edit_faults"
  head -c 69 /dev/zero
  le32 "$size"
  size_le=$LE32 offset=$((84 + 40 * count))
  for ((i = 0; i < count; i++)); do
    n=$((100000 + i))
    le32 "$offset"
    records+="E${n:1}.RAW$pad$size_le$LE32"  # a 32-byte name field, the size, the offset
    offset=$((offset + size))
    # printf in batches: appending to one long string would take a second.
    if ((i % 500 == 499 || i == count - 1)); then printf '%b' "$records"; records=; fi
  done
  head -c $((count * size)) /dev/urandom
}
mkdir "$WORK/edit"
make_edit_archive >"$WORK/EDIT.POD"
head -c $((300 * 1024 + 5)) /dev/urandom >"$WORK/edit/ADDED.RAW"
head -c $((100 * 1024 + 3)) /dev/urandom >"$WORK/edit/e10000.raw"

# Each scenario has a template (the state before), a copy run once to the end (the state
# after) and the arena where the kills happen. Commands run in the arena's folder.
SCENARIOS=(build mount comment extract add replace delete rename)
declare -A TITLE ARGS
TITLE[build]="build over an existing archive"
ARGS[build]="build src/new.lst NEW.POD --yes"
TITLE[mount]="build --mount with a pod.ini"
ARGS[mount]="build src/new.lst NEW.POD --mount --yes"
TITLE[comment]="comment rewrite"
ARGS[comment]="comment GAME.POD Changed_by_the_fault_test"
TITLE[extract]="extract over a full folder"
ARGS[extract]="extract GAME.POD OUT --all --inf --lst --yes"
TITLE[add]="add to a 20,000-entry archive"
ARGS[add]="add EDIT.POD src/ADDED.RAW"
TITLE[replace]="add --replace in a 20,000-entry archive"
ARGS[replace]="add EDIT.POD src/e10000.raw --replace"
TITLE[delete]="delete from a 20,000-entry archive"
ARGS[delete]="delete EDIT.POD E00000.RAW e10001.raw E19999.RAW"
TITLE[rename]="rename in a 20,000-entry archive"
ARGS[rename]="rename EDIT.POD e00007.raw Sub\\Renamed.raw"

make_template() {
  local name=$1 t=$WORK/$1/template
  mkdir -p "$t"
  case $name in
    build | mount)
      cp -r "$SRC" "$t/src"
      cp "$WORK/OLDGAME.POD" "$t/NEW.POD"
      [[ $name == build ]] || printf '1\r\nMTM.POD\r\n' >"$t/pod.ini"
      ;;
    comment) cp "$WORK/GAME.POD" "$t/GAME.POD" ;;
    extract)
      # OUT holds every entry and the two listings already, with other bytes and lengths.
      cp "$WORK/GAME.POD" "$t/GAME.POD"
      mkdir -p "$t/OUT/ART"
      (cd "$SRC" && find . -name '*.RAW' ! -path './OLD/*' -printf '%P %s\n') |
        while read -r path size; do head -c $((size / 2 + 3)) /dev/urandom >"$t/OUT/$path"; done
      printf 'old response file\r\n' >"$t/OUT/GAME.lst"
      printf 'old information file\r\n' >"$t/OUT/GAME.inf"
      ;;
    add | replace | delete | rename)
      cp "$WORK/EDIT.POD" "$t/EDIT.POD"
      cp -r "$WORK/edit" "$t/src"
      ;;
  esac
}

echo "karvex32-cli fault injection: $CLI"
echo "mode: $MODE"
passed=0 failed=0
for name in "${SCENARIOS[@]}"; do
  log "${TITLE[$name]}: ${ARGS[$name]}"
  if run_scenario "$name"; then passed=$((passed + 1)); else failed=$((failed + 1)); fi
done
echo "$passed passed, $failed failed"
((failed == 0))
