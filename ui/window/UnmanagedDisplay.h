#pragma once
// Whether top-level windows are sized and placed by the system's own code
// rather than by a window manager: under Wine with its window management
// switched off (the X11 driver's "Managed" setting "N", as on a display
// without a window manager), Wine maximises and moves windows itself. On
// Windows, and under Wine with a window manager, windows are managed.

namespace SkinUI {

bool IsUnmanagedDisplay();

}  // namespace SkinUI
