#include "ui/control/LayoutArithmetic.h"

namespace SkinUI {
namespace Layout {

namespace {

long long Max0(long long v) { return v < 0 ? 0 : v; }

long long Clamp64(long long value, int minimum, int maximum)
{
    if (value < minimum) value = minimum;
    if (value > maximum) value = maximum;
    return value;
}

RECT MakeRect(long long l, long long t, long long r, long long b)
{
    RECT rc;
    rc.left = ClampCoord(l);
    rc.top = ClampCoord(t);
    rc.right = ClampCoord(r);
    rc.bottom = ClampCoord(b);
    return rc;
}

SIZE MakeSize(long long cx, long long cy)
{
    SIZE sz;
    sz.cx = ClampCoord(cx);
    sz.cy = ClampCoord(cy);
    return sz;
}

// The two stacking directions differ in more than the axis (which padding
// the rectangle includes, how the cross size is found), so the axis is a
// parameter only where they agree.
struct Totals {
    long long fixed = 0;
    int stacked = 0;
    int adjustables = 0;
};

}  // namespace

int ClampCoord(long long value)
{
    if (value > kCoordLimit) return kCoordLimit;
    if (value < -kCoordLimit) return -kCoordLimit;
    return static_cast<int>(value);
}

int ClampToRange(int value, int minimum, int maximum)
{
    if (value < minimum) value = minimum;
    if (value > maximum) value = maximum;
    return value;
}

int StackVertical(const StackFrame& frame, StackItems& items)
{
    const int count = items.Count();
    const SIZE available = frame.available;

    Totals totals;
    for (int i = 0; i < count; ++i) {
        if (items.KindOf(i) != StackItems::Kind::Stacked) continue;
        const ChildLimits lim = items.Limits(i);
        long long cy = items.Estimate(i, available).cy;
        if (cy == 0)
            ++totals.adjustables;
        else
            cy = Clamp64(cy, lim.minHeight, lim.maxHeight);
        totals.fixed += cy + lim.padding.top + lim.padding.bottom;
        ++totals.stacked;
    }
    if (totals.stacked > 0) totals.fixed += static_cast<long long>(totals.stacked - 1) * frame.childPadding;

    long long share = 0;
    if (totals.adjustables > 0) share = Max0((available.cy - totals.fixed) / totals.adjustables);

    long long y = frame.client.top - static_cast<long long>(frame.scroll.y);
    const long long x = frame.client.left - static_cast<long long>(frame.scroll.x);
    long long remaining = available.cy;
    // What the children not yet placed need, paddings and gaps included, so
    // the last adjustable child takes exactly what is left.
    long long fixedRemaining = totals.fixed;
    long long needed = 0;
    int adjustIndex = 0;

    for (int i = 0; i < count; ++i) {
        const StackItems::Kind kind = items.KindOf(i);
        if (kind == StackItems::Kind::Hidden) continue;
        if (kind == StackItems::Kind::Floating) {
            items.PlaceFloating(i);
            continue;
        }
        const ChildLimits lim = items.Limits(i);
        const RECT& pad = lim.padding;
        remaining -= pad.top;
        long long height = items.Estimate(i, MakeSize(available.cx, remaining)).cy;
        if (height == 0) {
            ++adjustIndex;
            height = share;
            if (adjustIndex == totals.adjustables) height = Max0(remaining + pad.top - fixedRemaining);
            height = Clamp64(height, lim.minHeight, lim.maxHeight);
        } else {
            height = Clamp64(height, lim.minHeight, lim.maxHeight);
            fixedRemaining -= height;
        }
        fixedRemaining -= pad.top + pad.bottom + static_cast<long long>(frame.childPadding);

        long long width = lim.fixedWidth;
        if (width == 0) width = static_cast<long long>(available.cx) - pad.left - pad.right;
        width = Clamp64(Max0(width), lim.minWidth, lim.maxWidth);

        items.Place(i, MakeRect(x + pad.left, y + pad.top, x + pad.left + width, y + height + pad.top + pad.bottom));

        y += height + frame.childPadding + pad.top + pad.bottom;
        needed += height + pad.top + pad.bottom;
        remaining -= height + frame.childPadding + pad.bottom;
    }
    if (totals.stacked > 0) needed += static_cast<long long>(totals.stacked - 1) * frame.childPadding;
    return ClampCoord(needed);
}

int StackHorizontal(const StackFrame& frame, StackItems& items)
{
    const int count = items.Count();
    const SIZE available = frame.available;

    Totals totals;
    for (int i = 0; i < count; ++i) {
        if (items.KindOf(i) != StackItems::Kind::Stacked) continue;
        const ChildLimits lim = items.Limits(i);
        long long cx = items.Estimate(i, available).cx;
        if (cx == 0)
            ++totals.adjustables;
        else
            cx = Clamp64(cx, lim.minWidth, lim.maxWidth);
        totals.fixed += cx + lim.padding.left + lim.padding.right;
        ++totals.stacked;
    }
    if (totals.stacked > 0) totals.fixed += static_cast<long long>(totals.stacked - 1) * frame.childPadding;

    long long share = 0;
    if (totals.adjustables > 0) share = Max0((available.cx - totals.fixed) / totals.adjustables);

    long long x = frame.client.left - static_cast<long long>(frame.scroll.x);
    const long long top = frame.client.top;
    const long long clientHeight = static_cast<long long>(frame.client.bottom) - frame.client.top;
    long long remaining = available.cx;
    long long fixedRemaining = totals.fixed;
    long long needed = 0;
    int adjustIndex = 0;

    for (int i = 0; i < count; ++i) {
        const StackItems::Kind kind = items.KindOf(i);
        if (kind == StackItems::Kind::Hidden) continue;
        if (kind == StackItems::Kind::Floating) {
            items.PlaceFloating(i);
            continue;
        }
        const ChildLimits lim = items.Limits(i);
        const RECT& pad = lim.padding;
        remaining -= pad.left;
        long long width = items.Estimate(i, MakeSize(remaining, available.cy)).cx;
        if (width == 0) {
            ++adjustIndex;
            width = share;
            if (adjustIndex == totals.adjustables) width = Max0(remaining + pad.left - fixedRemaining);
            width = Clamp64(width, lim.minWidth, lim.maxWidth);
        } else {
            width = Clamp64(width, lim.minWidth, lim.maxWidth);
            fixedRemaining -= width;
        }
        fixedRemaining -= pad.left + pad.right + static_cast<long long>(frame.childPadding);

        long long height = lim.fixedHeight;
        if (height == 0) height = clientHeight - pad.top - pad.bottom;
        height = Clamp64(Max0(height), lim.minHeight, lim.maxHeight);

        items.Place(i, MakeRect(x + pad.left, top + pad.top, x + pad.left + width + pad.right, top + pad.top + height));

        x += width + frame.childPadding + pad.left + pad.right;
        needed += width + pad.left + pad.right;
        remaining -= width + frame.childPadding + pad.right;
    }
    if (totals.stacked > 0) needed += static_cast<long long>(totals.stacked - 1) * frame.childPadding;
    return ClampCoord(needed);
}

RECT FloatRect(const RECT& parent, SIZE fixedXY, SIZE fixedSize, RelativePos* relative)
{
    long long left, top, right, bottom;
    if (fixedXY.cx >= 0) {
        left = static_cast<long long>(parent.left) + fixedXY.cx;
        right = left + fixedSize.cx;
    } else {
        right = static_cast<long long>(parent.right) + fixedXY.cx;
        left = right - fixedSize.cx;
    }
    if (fixedXY.cy >= 0) {
        top = static_cast<long long>(parent.top) + fixedXY.cy;
        bottom = top + fixedSize.cy;
    } else {
        bottom = static_cast<long long>(parent.bottom) + fixedXY.cy;
        top = bottom - fixedSize.cy;
    }
    if (relative && relative->relative) {
        const long long width = static_cast<long long>(parent.right) - parent.left;
        const long long height = static_cast<long long>(parent.bottom) - parent.top;
        if (relative->parentSize.cx != 0) {
            const long long dx = width - relative->parentSize.cx;
            const long long dy = height - relative->parentSize.cy;
            left += dx * relative->moveXPercent / 100;
            top += dy * relative->moveYPercent / 100;
            right = left + fixedSize.cx + dx * relative->zoomXPercent / 100;
            bottom = top + fixedSize.cy + dy * relative->zoomYPercent / 100;
        }
        relative->parentSize = MakeSize(width, height);
    }
    return MakeRect(left, top, right, bottom);
}

RECT TabChildRect(const RECT& inner, const ChildLimits& limits, SIZE estimate)
{
    const long long left = static_cast<long long>(inner.left) + limits.padding.left;
    const long long top = static_cast<long long>(inner.top) + limits.padding.top;
    const long long right = static_cast<long long>(inner.right) - limits.padding.right;
    const long long bottom = static_cast<long long>(inner.bottom) - limits.padding.bottom;
    long long cx = estimate.cx, cy = estimate.cy;
    if (cx == 0) cx = Max0(right - left);
    if (cy == 0) cy = Max0(bottom - top);
    cx = Clamp64(cx, limits.minWidth, limits.maxWidth);
    cy = Clamp64(cy, limits.minHeight, limits.maxHeight);
    return MakeRect(left, top, left + cx, top + cy);
}

RECT SeparatorThumb(const RECT& rc, int size, bool vertical)
{
    const long long s = size;
    if (vertical) {
        if (s >= 0) return MakeRect(rc.left, rc.bottom - s > rc.top ? rc.bottom - s : rc.top, rc.right, rc.bottom);
        return MakeRect(rc.left, rc.top, rc.right, rc.top - s < rc.bottom ? rc.top - s : rc.bottom);
    }
    if (s >= 0) return MakeRect(rc.right - s, rc.top, rc.right, rc.bottom);
    return MakeRect(rc.left, rc.top, rc.left - s, rc.bottom);
}

bool DragSeparator(RECT& drag, int size, bool vertical, POINT last, POINT mouse, int minSize, int maxSize)
{
    const long long s = size;
    const long long m = vertical ? mouse.y : mouse.x;
    const long long d = m - (vertical ? last.y : last.x);
    LONG& nearEdge = vertical ? drag.top : drag.left;
    LONG& farEdge = vertical ? drag.bottom : drag.right;
    const bool movesFar = s >= 0;

    // The edge only follows a mouse that is on the side it moves towards:
    // moving out, the mouse must be past the strip; moving in, not beyond
    // the edge. Both axes use the same rule.
    if (movesFar) {
        if ((d > 0 && m < farEdge - s) || (d < 0 && m > farEdge)) return false;
    } else {
        if ((d > 0 && m < nearEdge) || (d < 0 && m > nearEdge - s)) return false;
    }
    if (d == 0) return false;

    const long long current = static_cast<long long>(farEdge) - nearEdge;
    long long newSize = movesFar ? current + d : current - d;
    if (newSize < minSize) {
        if (minSize >= current) return false;
        newSize = minSize;
    }
    if (newSize > maxSize) {
        if (maxSize <= current) return false;
        newSize = maxSize;
    }
    if (movesFar)
        farEdge = ClampCoord(nearEdge + newSize);
    else
        nearEdge = ClampCoord(farEdge - newSize);
    return true;
}

}  // namespace Layout
}  // namespace SkinUI
