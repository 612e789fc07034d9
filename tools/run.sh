#!/usr/bin/env bash
# Sets up the machine, builds the program and runs it under Wine with the
# embedded demo service on loopback.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
# The program's entry point (app/Main.cpp) and main window are not written yet.
if [ ! -f app/Main.cpp ]; then
  echo "run: the program is not built yet: its entry point and main window have not landed." >&2
  echo "run: 'bash tools/test.sh' builds and tests everything that exists so far." >&2
  exit 2
fi
