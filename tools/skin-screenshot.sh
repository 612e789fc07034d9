#!/usr/bin/env bash
# Shows one skin document in SkinView at a display density and saves a
# screenshot of the whole screen:
#
#   skin-screenshot.sh <dpi> <document> <out.png> [build-dir]
#
# Runs inside a test session (tools/test-session.sh: DISPLAY and the
# project's prefix); the density comes from a prefix of its own
# (tools/wine-dpi-prefix.sh), as on a user's machine.
set -uo pipefail
dpi=${1:?usage: skin-screenshot.sh <dpi> <document> <out.png> [build-dir]}
document=${2:?document}
out=${3:?out.png}
here=$(cd "$(dirname "$0")" && pwd)
build=${4:-$here/../build/win}
viewer=$build/tests/e2e/SkinView.exe
[ -n "${DISPLAY:-}" ] || { echo "no DISPLAY: run inside a test session" >&2; exit 2; }
"$here/wine-dpi-prefix.sh" "$dpi" bash -c '
  wine "$1" "$2" >/dev/null 2>&1 </dev/null &
  viewer=$!
  sleep 6
  import -window root "$3"
  kill "$viewer" 2>/dev/null
  wait "$viewer" 2>/dev/null
  true' _ "$viewer" "$document" "$out"
echo "$out"
