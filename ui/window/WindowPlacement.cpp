#include "ui/window/WindowPlacement.h"

namespace SkinUI {

namespace {

// Centres one axis, then clamps it: the low edge wins over the high one.
LONG CentreAxis(LONG extent, LONG centreLow, LONG centreHigh, LONG areaLow, LONG areaHigh)
{
    // 64-bit so that screen coordinates near the limits cannot overflow.
    long long start = (static_cast<long long>(centreLow) + centreHigh) / 2 - extent / 2;
    if (start + extent > areaHigh) start = static_cast<long long>(areaHigh) - extent;
    // Checked last: a window larger than the work area keeps its left (top)
    // edge, where its caption and system menu are, on the screen.
    if (start < areaLow) start = areaLow;
    return static_cast<LONG>(start);
}

}  // namespace

POINT CenteredPosition(int width, int height, const RECT& centre, const RECT& workArea)
{
    POINT position;
    position.x = CentreAxis(width, centre.left, centre.right, workArea.left, workArea.right);
    position.y = CentreAxis(height, centre.top, centre.bottom, workArea.top, workArea.bottom);
    return position;
}

}  // namespace SkinUI
