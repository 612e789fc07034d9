#!/usr/bin/env bash
# Sets Wine's window management of the prefix in $WINEPREFIX for the X
# display in $DISPLAY, the one way both the run command and the end-to-end
# tests do it, and prints which it chose ("managed" or "unmanaged").
#
# A window manager announces itself on the root window (_NET_SUPPORTING_WM_CHECK
# naming a live window of its own). With one, Wine leaves placing, maximising
# and closing its windows to it (Wine's default). Without one, Wine must do
# that itself ("Managed" = N): a managed window on a bare display waits for a
# manager that never comes, so maximising leaves it cropped and without its
# title-bar buttons, and it cannot be restored.
set -uo pipefail
key='HKCU\Software\Wine\X11 Driver'

has_window_manager() {
  local check
  check=$(xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | sed -n 's/.*window id # //p')
  # A manager that has gone can leave the property behind.
  [ -n "$check" ] && xprop -id "$check" >/dev/null 2>&1
}

if has_window_manager; then
  wine reg delete "$key" /v Managed /f >/dev/null 2>&1 </dev/null
  echo managed
else
  wine reg add "$key" /v Managed /d N /f >/dev/null 2>&1 </dev/null || exit 1
  echo unmanaged
fi
