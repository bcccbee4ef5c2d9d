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

# A pipe nobody writes to: `read -t` on it is a sleep without starting a process, which
# keeps the delay before a kill close to what was asked for.
mkfifo "$WORK/never"
exec {NEVER}<>"$WORK/never"
# No command substitution here: each would start a process and add a millisecond or more.
pause_us() {
  local seconds
  printf -v seconds '%d.%06d' $(($1 / 1000000)) $(($1 % 1000000))
  read -r -t "$seconds" -u "$NEVER" || true
}
now_us() { NOW_US=$((10#${EPOCHREALTIME/[^0-9]/})); }
random_below() { echo $(((RANDOM * 32768 + RANDOM) % $1)); }

# Can a file without a name be made here? Then a killed run must leave no temporary at all.
tmpfile_supported() {
  local dir=$1
  if command -v python3 >/dev/null; then
    python3 -c 'import os, sys; os.close(os.open(sys.argv[1], os.O_TMPFILE | os.O_WRONLY, 0o600))' \
      "$dir" 2>/dev/null
    return
  fi
  if command -v cc >/dev/null; then
    printf '%s\n' '#define _GNU_SOURCE' '#include <fcntl.h>' \
      'int main(int c, char** v) { return c > 1 && open(v[1], O_TMPFILE | O_WRONLY, 0600) >= 0 ? 0 : 1; }' \
      >"$WORK/probe.c"
    cc -o "$WORK/probe" "$WORK/probe.c" 2>/dev/null && "$WORK/probe" "$dir"
    return
  fi
  return 1
}
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

# Each scenario has a template (the state before), a copy run once to the end (the state
# after) and the arena where the kills happen. Commands run in the arena's folder.
SCENARIOS=(build mount comment extract)
declare -A TITLE ARGS
TITLE[build]="build over an existing archive"
ARGS[build]="build src/new.lst NEW.POD --yes"
TITLE[mount]="build --mount with a pod.ini"
ARGS[mount]="build src/new.lst NEW.POD --mount --yes"
TITLE[comment]="comment rewrite"
ARGS[comment]="comment GAME.POD Changed_by_the_fault_test"
TITLE[extract]="extract over a full folder"
ARGS[extract]="extract GAME.POD OUT --all --inf --lst --yes"

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
  esac
}

# manifest DIR: one line per file or folder below DIR, "path<TAB>sha256" ("dir" for a folder).
manifest() {
  (
    cd "$1"
    find . -mindepth 1 -type d -printf '%P\tdir\n'
    find . -mindepth 1 ! -type d ! -type f -printf '%P\tkind-%y\n'
    find . -mindepth 1 -type f -print0 | xargs -0 -r sha256sum |
      awk '{ p = substr($0, 67); sub(/^\.\//, "", p); print p "\t" $1 }'
  ) | sort
}

# classify OLD NEW NOW: every path whose state is neither its old nor its new one, as
# "torn", "missing", "temp" (NAME.karvex-*.tmp, in neither), "whole" (such a temporary that
# already holds NAME's complete new bytes) or "extra" (anything else new).
classify() {
  awk -F'\t' '
    FILENAME == ARGV[1] { old[$1] = $2; all[$1]; next }
    FILENAME == ARGV[2] { new[$1] = $2; all[$1]; next }
    { now[$1] = $2; all[$1] }
    END {
      for (p in all) {
        n = (p in now) ? now[p] : "-"; o = (p in old) ? old[p] : "-"; w = (p in new) ? new[p] : "-"
        if (n == o || n == w) continue
        if (o == "-" && w == "-") {
          base = p; sub(/.*\//, "", base)
          if (base !~ /\.karvex-.*\.tmp$/) { print "extra\t" p; continue }
          # A temporary holding the complete new file was caught in the moment between
          # taking its name and the rename; any other is a partial one.
          target = p; sub(/\.karvex-[^\/]*\.tmp$/, "", target)
          print ((target in new) && n == new[target] ? "whole" : "temp") "\t" p
        } else print (n == "-" ? "missing" : "torn") "\t" p
      }
    }' "$1" "$2" "$3" | sort
}

# restore TEMPLATE ARENA OLD NOW: puts the old state back, keeping left-over temporaries (the
# next successful write is expected to remove them).
restore() {
  local tmpl=$1 arena=$2 kind path
  awk -F'\t' '
    FILENAME == ARGV[1] { old[$1] = $2; next }
    { now[$1] = $2 }
    END {
      for (p in now) {
        base = p; sub(/.*\//, "", base)
        if (!(p in old) && base !~ /\.karvex-/) print "remove\t" p
        else if ((p in old) && now[p] != old[p]) print "remove\t" p
      }
      for (p in old) if (!(p in now) || now[p] != old[p]) print "copy\t" p
    }' "$3" "$4" | sort -r -k1,1 |
    while IFS=$'\t' read -r kind path; do
      if [[ $kind == remove ]]; then
        rm -rf -- "${arena:?}/$path"
      elif [[ -d $tmpl/$path ]]; then
        mkdir -p -- "$arena/$path"
      else
        mkdir -p -- "$(dirname -- "$arena/$path")"
        cp -p -- "$tmpl/$path" "$arena/$path"
      fi
    done
}

# run_cli ARENA NAME: starts the scenario's command in ARENA in the background; sets PID.
run_cli() {
  local -a args
  read -r -a args <<<"${ARGS[$2]}"
  (cd "$1" && exec "$CLI" "${args[@]}" {NEVER}>&- >"$WORK/cli.out" 2>"$WORK/cli.err" </dev/null) &
  PID=$!
}

# run_whole ARENA NAME: runs the command to its end; sets RC and RUN_US.
run_whole() {
  local t0
  now_us
  t0=$NOW_US
  run_cli "$1" "$2"
  RC=0
  wait "$PID" || RC=$?
  now_us
  RUN_US=$((NOW_US - t0))
}

run_scenario() {
  local name=$1 dir=$WORK/$1 i rc delay landed=0 k kind path
  local -a keys=() durations=()
  declare -A text=() times=() known=()  # known: temporaries there before the current run
  local -a now_temps=()
  note() { # note KEY TEXT: one line per kind of problem, the first text and how often
    if [[ -z ${times[$1]:-} ]]; then keys+=("$1"); text[$1]=$2; times[$1]=0; fi
    times[$1]=$((times[$1] + 1))
  }
  make_template "$name"
  manifest "$dir/template" >"$dir/old.txt"

  # The complete new state, and the command's usual duration (median of three whole runs).
  for k in 1 2 3; do
    rm -rf "$dir/scratch"
    cp -a "$dir/template" "$dir/scratch"
    run_whole "$dir/scratch" "$name"
    if ((RC != 0)); then
      echo "FAIL ${TITLE[$name]}: an unkilled run exited with $RC: $(head -c 300 "$WORK/cli.err")"
      return 1
    fi
    durations+=("$RUN_US")
    [[ -z ${FAULTS_DEBUG:-} ]] || log "whole run $k: $RUN_US us"
    manifest "$dir/scratch" >"$dir/new.$k.txt"
  done
  mv "$dir/new.1.txt" "$dir/new.txt"
  if ! cmp -s "$dir/new.txt" "$dir/new.2.txt" || ! cmp -s "$dir/new.txt" "$dir/new.3.txt"; then
    echo "FAIL ${TITLE[$name]}: two unkilled runs gave different files"
    return 1
  fi
  if grep -q '\.karvex-' "$dir/new.txt"; then
    note tmp-whole "a temporary remains after an unkilled run on a clean folder: $(grep -o '^[^	]*\.karvex-[^	]*' "$dir/new.txt" | head -n 3 | tr '\n' ' ')"
  fi
  local span
  span=$(printf '%s\n' "${durations[@]}" | sort -n | sed -n 2p)

  cp -a "$dir/template" "$dir/arena"
  # The n-th kill that lands falls in the n-th of KILLS equal slices of the usual duration.
  # A run that ends before its kill is checked all the same; it shows that runs can be
  # shorter than measured, so the duration shrinks a little. At most 3 * KILLS tries.
  local base=$span
  for ((i = 0; landed < KILLS && i < 3 * KILLS; i++)); do
    delay=$((span * landed / KILLS + (RANDOM * 32768 + RANDOM) % (span / KILLS + 1)))
    run_cli "$dir/arena" "$name"
    pause_us "$delay"
    kill -KILL "$PID" 2>/dev/null || true
    rc=0
    { wait "$PID"; } 2>/dev/null || rc=$?
    [[ -z ${FAULTS_DEBUG:-} ]] || log "try $i: kill at $delay us of $span: status $rc"
    if ((rc == 137)); then
      landed=$((landed + 1))
    else
      span=$((span * 7 / 8 > base / 4 ? span * 7 / 8 : base / 4))
    fi
    if ((rc != 137 && rc != 0)); then
      note "rc$rc" "a run ended by itself with exit status $rc: $(head -c 200 "$WORK/cli.err" | tr '\n' ' ')"
    fi
    manifest "$dir/arena" >"$dir/now.txt"
    while IFS=$'\t' read -r kind path; do
      case $kind in
        torn)
          note "torn:$path" "kill at ${delay} us left $path neither old nor new: $(stat -c %s "$dir/arena/$path") bytes, old $(stat -c %s "$dir/template/$path" 2>/dev/null || echo -), new $(stat -c %s "$dir/scratch/$path" 2>/dev/null || echo -)"
          ;;
        missing) note "missing:$path" "kill at ${delay} us left no $path" ;;
        extra) note "extra:$path" "kill at ${delay} us left an unexpected $path" ;;
        temp | whole)
          if [[ -n ${known[$path]:-} ]]; then
            ((rc != 0)) || note "kept:${path%%.karvex-*}" "a successful run left a stale temporary in place: $path"
          elif ((rc == 0)); then
            note "made:${path%%.karvex-*}" "a successful run left a temporary of its own: $path"
          elif ((STRICT)) && [[ $kind == temp ]]; then
            note "temp:${path%%.karvex-*}" "a kill left a partial temporary: $path (kill at ${delay} us)"
          fi
          now_temps+=("$path")
          ;;
      esac
    done < <(classify "$dir/old.txt" "$dir/new.txt" "$dir/now.txt")
    known=()
    for path in "${now_temps[@]}"; do known[$path]=1; done
    now_temps=()
    restore "$dir/template" "$dir/arena" "$dir/old.txt" "$dir/now.txt"
  done

  # One unkilled run over what the kills left: it must end in exactly the new state, with
  # every stale temporary gone.
  run_whole "$dir/arena" "$name"
  manifest "$dir/arena" >"$dir/now.txt"
  if ((RC != 0)); then
    note final-rc "the unkilled run after the kills exited with $RC: $(head -c 200 "$WORK/cli.err" | tr '\n' ' ')"
  fi
  local stale
  stale=$(grep -o '^[^	]*\.karvex-[^	]*' "$dir/now.txt" | head -n 5 | tr '\n' ' ' || true)
  if [[ -n $stale ]]; then
    note final-stale "temporaries remain after the unkilled run that followed the kills ($(grep -c '\.karvex-' "$dir/now.txt") in all): $stale"
  fi
  if ! diff -q <(grep -v '\.karvex-' "$dir/now.txt") "$dir/new.txt" >/dev/null; then
    note final-diff "after the unkilled run that followed the kills the folder is not the new state: $(diff <(grep -v '\.karvex-' "$dir/now.txt") "$dir/new.txt" | grep '^[<>]' | head -n 3 | tr '\n\t' ' ')"
  fi

  local what="$landed kills during the run in $i tries, runs take $((base / 1000)) ms"
  if ((${#keys[@]} == 0)); then
    echo "PASS ${TITLE[$name]} ($what)"
    return 0
  fi
  echo "FAIL ${TITLE[$name]} ($what):"
  local key
  for key in "${keys[@]:0:12}"; do
    if ((times[$key] > 1)); then echo "  - ${text[$key]} (and $((times[$key] - 1)) more like it)"; else echo "  - ${text[$key]}"; fi
  done
  ((${#keys[@]} <= 12)) || echo "  - ... and $((${#keys[@]} - 12)) more problems"
  return 1
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
