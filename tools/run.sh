#!/usr/bin/env bash
# Sets up the machine, builds the program and runs it under Wine with the
# embedded demo service on loopback.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
if [ ! -f app/CMakeLists.txt ] || ! grep -q 'Vornex' app/CMakeLists.txt 2>/dev/null; then
  echo "run: the program is not built yet (its entry point and main window have not landed)." >&2
  exit 2
fi
