# Sourced by the test scripts: one private X display with a compositing
# manager, and one persistent wineserver on the project's prefix, for a whole
# test run; test_session_stop ends every process the session started.

test_session_start() {
  local prefix=$1 tools_dir
  tools_dir=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
  source "$tools_dir/wine-env.sh"
  export VORNEX_WINEPREFIX=$prefix WINEPREFIX=$prefix WINEDEBUG=-all
  export WINEDLLOVERRIDES="mscoree,mshtml="
  # The private display has no X resource database (a desktop session loads
  # one). Without one, Xlib looks for ~/.Xdefaults and ~/.Xdefaults-<host>
  # again on every lookup, and Wine's X11 driver looks up the Xft settings
  # each time a font is selected into a context: 6.6 us per selection
  # instead of 0.6 us, most of what painting a tree of labels costs here.
  # An empty database gives the same answers (none) once.
  export XENVIRONMENT=${XENVIRONMENT:-/dev/null}
  "$tools_dir/wine-prefix.sh" "$prefix"
  local fd_file
  fd_file=$(mktemp)
  Xvfb -displayfd 9 -screen 0 1600x1000x24 -nolisten tcp 9>"$fd_file" >/dev/null 2>&1 &
  TEST_SESSION_XVFB=$!
  local i
  for i in $(seq 100); do [ -s "$fd_file" ] && break; sleep 0.1; done
  export DISPLAY=":$(head -n1 "$fd_file")"
  rm -f "$fd_file"
  xcompmgr >/dev/null 2>&1 &
  TEST_SESSION_XCOMPMGR=$!
  # Persistent wineserver; its streams must not hold the runner's pipes.
  wineserver -p >/dev/null 2>&1 </dev/null
  # Start Wine's services and desktop process now, detached from any pipe:
  # started by the first test instead, they inherit its output pipe and the
  # test runner waits for them forever.
  wine cmd.exe /c exit >/dev/null 2>&1 </dev/null
  wine rundll32.exe user32.dll,GetDesktopWindow >/dev/null 2>&1 </dev/null || true
}

test_session_stop() {
  local rc=$?
  wineserver -k >/dev/null 2>&1 </dev/null || true
  [ -n "${TEST_SESSION_XCOMPMGR:-}" ] && kill "$TEST_SESSION_XCOMPMGR" 2>/dev/null
  [ -n "${TEST_SESSION_XVFB:-}" ] && kill "$TEST_SESSION_XVFB" 2>/dev/null
  wait 2>/dev/null
  return $rc
}
