# SPDX-License-Identifier: GPL-3.0-or-later
# The machinery of scripts/faults.sh, sourced by it: timing, the listings of a folder's
# state and their comparison, putting the old state back, and one scenario's run of kills.
# Expects WORK (a private scratch folder), CLI, KILLS, STRICT, log, the TITLE and ARGS
# tables and make_template NAME, which fills $WORK/NAME/template with the state before.

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
