#!/usr/bin/env bash
# Runs a Windows executable under the project's Wine prefix and returns its
# exit code. CTest uses this as the cross-compiling emulator. Without a
# DISPLAY it starts a private Xvfb for the one run.
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
: "${VORNEX_WINEPREFIX:=$here/../build/wine/prefix}"
source "$here/wine-env.sh"
export WINEPREFIX=$VORNEX_WINEPREFIX WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES="mscoree,mshtml="
"$here/wine-prefix.sh" "$WINEPREFIX"
if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1600x1000x24" wine "$@"
fi
exec wine "$@"
