#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Takes a screenshot of the main window with the demo archive open, under a virtual X
# display, and writes it to docs/screenshot.png (or the path given).
# Usage: scripts/screenshot.sh [OUTPUT.png]   (after a build in build/)
set -euo pipefail
cd "$(dirname "$0")/.."
out=${1:-docs/screenshot.png}
mkdir -p "$(dirname "$out")"

if [ -z "${KARVEX_IN_XVFB:-}" ]; then
  exec env KARVEX_IN_XVFB=1 xvfb-run -a -s "-screen 0 800x600x24" "$0" "$out"
fi

# A light window manager is not needed: the window is captured by its own id.
build/app/karvex32 build/demo/demo.pod &
pid=$!
trap 'kill $pid 2>/dev/null || true' EXIT
window=""
for _ in $(seq 1 50); do
  window=$(xdotool search --name '^Karvex32$' 2>/dev/null | head -n 1 || true)
  [ -n "$window" ] && break
  sleep 0.2
done
[ -n "$window" ] || { echo "screenshot: the window did not appear" >&2; exit 1; }
sleep 1.5  # let the archive load and the logo settle
import -window "$window" "$out"
echo "screenshot: wrote $out"
