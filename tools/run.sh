#!/usr/bin/env bash
# Sets up the machine, builds the program and runs it under Wine.
#
# Unless the build was configured for another deployment (VORNEX_SERVICE_HOST
# other than 127.0.0.1), the embedded demo service runs on 127.0.0.1:80 for
# as long as the program does. The program appears on the user's display;
# without one it runs in a private Xvfb with a compositing manager, and once
# the service page has loaded a screenshot is saved and its path printed.
# When the program ends (or on Ctrl+C) everything this script started ends.
#
#   bash tools/run.sh            run until the program is closed
#   bash tools/run.sh --once     close the program after the screenshot
#
# Environment: VORNEX_SCREENSHOT (where the screenshot goes; default
# build/run/screenshot.png), JOBS (build parallelism, default 2).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

once=0
for arg in "$@"; do
  case $arg in
    --once) once=1 ;;
    -h|--help) sed -n '2,15p' "$0" | sed 's/^# \{0,1\}//'; exit 0 ;;
    *) echo "run: unknown option '$arg' (try --help)" >&2; exit 2 ;;
  esac
done

say() { echo "run: $*" >&2; }

# --- set-up and build -------------------------------------------------------
bash tools/setup.sh
build=$root/build/win
export CMAKE_C_COMPILER_LAUNCHER=${CMAKE_C_COMPILER_LAUNCHER-ccache}
export CMAKE_CXX_COMPILER_LAUNCHER=${CMAKE_CXX_COMPILER_LAUNCHER-ccache}
command -v ccache >/dev/null || unset CMAKE_C_COMPILER_LAUNCHER CMAKE_CXX_COMPILER_LAUNCHER
source tools/wine-env.sh
if [ ! -f "$build/CMakeCache.txt" ] || ! grep -q "=$VORNEX_WIN_TOOLCHAIN\$" "$build/CMakeCache.txt"; then
  vornex_configure_windows "$build"
fi
cmake --build "$build" -j"${JOBS:-2}" --target Vornex >/dev/null || {
  say "the build failed; see: cmake --build $build --target Vornex"
  exit 1
}
exe=$build/app/Vornex.exe
host=$(sed -n 's/^VORNEX_SERVICE_HOST:[A-Z]*=//p' "$build/CMakeCache.txt")

# --- everything started below ends with this script ---------------------------
pids=()
run_dir=$root/build/run
mkdir -p "$run_dir"
export WINEPREFIX=$root/build/wine/run-prefix WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
cleanup() {
  trap - EXIT INT TERM
  local pid
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  # The prefix is this command's own: its wineserver and every Wine process
  # in it (the program, the runtime's helpers) go with it.
  wineserver -k 2>/dev/null || true
  for pid in "${pids[@]}"; do wait "$pid" 2>/dev/null || true; done
}
trap cleanup EXIT
trap 'exit 130' INT TERM

# --- the demo service ---------------------------------------------------------
service_pid=
if [ "$host" = "127.0.0.1" ]; then
  if [ "$(id -u)" -ne 0 ]; then
    say "the demo service needs port 80 on 127.0.0.1: run this command as root"
    exit 1
  fi
  # Wine's sockets are created by the wineserver, which runs in the host's
  # network namespace, so the service listens there, on loopback only.
  service/run --host 127.0.0.1 --port 80 --quiet 2>"$run_dir/service.log" &
  service_pid=$!
  pids+=("$service_pid")
  for _ in $(seq 100); do
    if python3 - <<'PY' 2>/dev/null; then break; fi
import socket
socket.create_connection(("127.0.0.1", 80), timeout=0.2).close()
PY
    if ! kill -0 "$service_pid" 2>/dev/null; then
      say "the demo service did not start:"
      cat "$run_dir/service.log" >&2
      exit 1
    fi
    sleep 0.1
  done
  say "demo service on http://127.0.0.1/ (log: $run_dir/service.log)"
else
  say "deployment service host: $host (no local service started)"
fi

# --- the display ----------------------------------------------------------------
headless=0
if [ -z "${DISPLAY:-}" ]; then
  headless=1
  fd_file=$(mktemp)
  Xvfb -displayfd 9 -screen 0 1600x1000x24 -nolisten tcp 9>"$fd_file" >/dev/null 2>&1 &
  pids+=("$!")
  for _ in $(seq 100); do [ -s "$fd_file" ] && break; sleep 0.1; done
  export DISPLAY=":$(head -n1 "$fd_file")"
  rm -f "$fd_file"
  # Without a compositing manager the layered drop shadow shows as black.
  xcompmgr >/dev/null 2>&1 &
  pids+=("$!")
  # An empty X resource database, as a desktop session has one loaded:
  # without any, Wine's X11 driver looks for ~/.Xdefaults files again each
  # time a font is selected.
  export XENVIRONMENT=${XENVIRONMENT:-/dev/null}
  say "no display: running in a private Xvfb ($DISPLAY)"
fi

tools/wine-prefix.sh "$WINEPREFIX"

# --- Wine's window management, as the tests have it ----------------------------
# Without a window manager (a private Xvfb included) Wine places its windows
# itself; with one it leaves that to it (tools/wine-window-management.sh).
case $(tools/wine-window-management.sh) in
  managed) say "window manager found on $DISPLAY: Wine leaves the windows to it" ;;
  unmanaged) say "no window manager on $DISPLAY: Wine places the windows itself" ;;
  *) say "could not set Wine's window management; maximising may not work" ;;
esac
# The feed is written in the code page of Chinese Windows (936), which
# Wine takes from the locale.
LANG=zh_CN.UTF-8 LC_ALL=zh_CN.UTF-8 wine "$exe" >/dev/null 2>&1 </dev/null &
program_pid=$!
pids+=("$program_pid")
say "Vornex started"

# --- the screenshot, once the service page shows ----------------------------
# The page's top bar is blue; the loading panel before it is white.
page_shown() {
  local geometry x y pixel
  geometry=$(xdotool search --onlyvisible --name '^Vornex' getwindowgeometry --shell 2>/dev/null | head -5) || return 1
  x=$(sed -n 's/^X=//p' <<<"$geometry"); y=$(sed -n 's/^Y=//p' <<<"$geometry")
  [ -n "$x" ] && [ -n "$y" ] || return 1
  pixel=$(import -window root -crop "1x1+$((x + 600))+$((y + 50))" -depth 8 txt:- 2>/dev/null | tail -n1)
  [[ $pixel =~ \(([0-9]+),([0-9]+),([0-9]+) ]] || return 1
  [ "${BASH_REMATCH[3]}" -gt 120 ] && [ "${BASH_REMATCH[1]}" -lt 90 ]
}
if [ "$headless" = 1 ]; then
  shot=${VORNEX_SCREENSHOT:-$run_dir/screenshot.png}
  deadline=$((SECONDS + 60))
  until page_shown; do
    if ! kill -0 "$program_pid" 2>/dev/null; then say "the program ended before its page showed"; exit 1; fi
    if [ $SECONDS -ge $deadline ]; then say "the service page did not show within 60 s"; break; fi
    sleep 0.3
  done
  # Let the page's last frame and the first scrolling captions settle.
  sleep 1
  import -window root "$shot"
  say "screenshot saved: $shot"
  if [ "$once" = 1 ]; then exit 0; fi
  say "the program keeps running in $DISPLAY; press Ctrl+C to end it"
fi

wait "$program_pid" || true
say "the program has ended"
