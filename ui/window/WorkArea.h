#pragma once
// The work area (screen minus task bars) that top-level windows are placed
// in, with fallbacks for display set-ups that report no monitor information.

#include "ui/base/Platform.h"

namespace SkinUI {

// The work area of `monitor`; when the system has no information about it,
// the primary work area, then the primary screen. False only when none of
// them has a size, and `area` is then left as it was.
bool WorkAreaOfMonitor(HMONITOR monitor, RECT& area);

// The work area of the monitor nearest to `hWnd` (the primary one for null).
bool WorkAreaNearWindow(HWND hWnd, RECT& area);

}  // namespace SkinUI
