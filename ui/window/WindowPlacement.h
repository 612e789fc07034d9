#pragma once
// Placement arithmetic of top-level windows, kept free of the window system
// so that it is tested natively.

#include "ui/base/Platform.h"

namespace SkinUI {

// Top-left corner that centres a window of `width` x `height` on `centre`,
// then pulls it back inside `workArea`: a window that sticks out on the
// right (bottom) moves left (up) until it fits, and one that sticks out on
// the left (top), or is larger than the work area, starts at its left (top)
// edge. Halves truncate toward zero, as integer division does.
POINT CenteredPosition(int width, int height, const RECT& centre, const RECT& workArea);

}  // namespace SkinUI
