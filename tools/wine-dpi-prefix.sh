#!/usr/bin/env bash
# Runs a command with Wine on a prefix whose display density is <dpi>
# (HKCU\Control Panel\Desktop\LogPixels), beside the project's prefix:
#
#   wine-dpi-prefix.sh <dpi> <command...>
#
# Wine fixes a process's density when it starts, from its prefix's registry,
# so a test at another density needs a prefix of its own. A full prefix is
# several hundred megabytes; this one shares the project prefix's drive_c
# and copies only its registry (and so gets a wineserver of its own, which
# is ended with the command). VORNEX_EXPECT_DPI tells the command the density.
set -uo pipefail
dpi=${1:?usage: wine-dpi-prefix.sh <dpi> <command...>}
shift
here=$(cd "$(dirname "$0")" && pwd)
source "$here/wine-env.sh"
base=${VORNEX_WINEPREFIX:-$here/../build/wine/prefix}
"$here/wine-prefix.sh" "$base"
prefix=$base-dpi$dpi
mkdir -p "$prefix/dosdevices"
for f in system.reg userdef.reg .update-timestamp .vornex-ready; do cp -p "$base/$f" "$prefix/$f"; done
ln -sfn "$base/drive_c" "$prefix/drive_c"
ln -sfn ../drive_c "$prefix/dosdevices/c:"
ln -sfn / "$prefix/dosdevices/z:"
hex=$(printf '%08x' "$dpi")
# The key's own line may carry a time stamp; the value goes right after it.
awk -v value="\"LogPixels\"=dword:$hex" '
  /^"LogPixels"=/ && in_desktop { next }
  { print }
  /^\[Control Panel\\\\Desktop\]/ { in_desktop = 1; print value; next }
  /^\[/ { in_desktop = 0 }
' "$base/user.reg" >"$prefix/user.reg"
export VORNEX_WINEPREFIX=$prefix WINEPREFIX=$prefix VORNEX_EXPECT_DPI=$dpi
"$@"
rc=$?
wineserver -k >/dev/null 2>&1 </dev/null || true
exit $rc
