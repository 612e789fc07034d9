#include "ui/controls/LayoutArithmetic.h"

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

// One stacking direction seen as a main axis (the one children are stacked
// along) and a cross axis. The directions are not mirror images in two
// places, both kept from the layouts' behaviour: a vertical stack follows
// the horizontal scroll position across and fills the available width
// (which a horizontal scroll range widens), while a horizontal stack sits at
// the client's top and fills the client's height.
struct StackAxis {
    bool vertical;

    long long Along(SIZE s) const { return vertical ? s.cy : s.cx; }
    long long Across(SIZE s) const { return vertical ? s.cx : s.cy; }
    long long NearPad(const RECT& r) const { return vertical ? r.top : r.left; }
    long long FarPad(const RECT& r) const { return vertical ? r.bottom : r.right; }
    long long CrossNearPad(const RECT& r) const { return vertical ? r.left : r.top; }
    long long CrossFarPad(const RECT& r) const { return vertical ? r.right : r.bottom; }
    int MinAlong(const ChildLimits& l) const { return vertical ? l.minHeight : l.minWidth; }
    int MaxAlong(const ChildLimits& l) const { return vertical ? l.maxHeight : l.maxWidth; }
    int MinAcross(const ChildLimits& l) const { return vertical ? l.minWidth : l.minHeight; }
    int MaxAcross(const ChildLimits& l) const { return vertical ? l.maxWidth : l.maxHeight; }
    int FixedAcross(const ChildLimits& l) const { return vertical ? l.fixedWidth : l.fixedHeight; }

    long long MainStart(const StackFrame& f) const
    {
        return vertical ? f.client.top - static_cast<long long>(f.scroll.y)
                        : f.client.left - static_cast<long long>(f.scroll.x);
    }
    long long CrossStart(const StackFrame& f) const
    {
        return vertical ? f.client.left - static_cast<long long>(f.scroll.x) : f.client.top;
    }
    long long CrossExtent(const StackFrame& f) const
    {
        return vertical ? f.available.cx : static_cast<long long>(f.client.bottom) - f.client.top;
    }
    SIZE Size(long long along, long long across) const
    {
        return vertical ? MakeSize(across, along) : MakeSize(along, across);
    }
    RECT Rect(long long mainNear, long long crossNear, long long mainFar, long long crossFar) const
    {
        return vertical ? MakeRect(crossNear, mainNear, crossFar, mainFar)
                        : MakeRect(mainNear, crossNear, mainFar, crossFar);
    }
};

struct Totals {
    long long fixed = 0;
    int stacked = 0;
    int adjustables = 0;
};

// Stacks the children along `axis` and returns the extent they need.
// Adjustable children (estimated size 0 along the axis) share what the fixed
// ones leave; the last of them takes the remainder.
int Stack(const StackAxis& axis, const StackFrame& frame, StackItems& items)
{
    const int count = items.Count();
    const SIZE available = frame.available;

    Totals totals;
    for (int i = 0; i < count; ++i) {
        if (items.KindOf(i) != StackItems::Kind::Stacked) continue;
        const ChildLimits lim = items.Limits(i);
        long long size = axis.Along(items.Estimate(i, available));
        if (size == 0)
            ++totals.adjustables;
        else
            size = Clamp64(size, axis.MinAlong(lim), axis.MaxAlong(lim));
        totals.fixed += size + axis.NearPad(lim.padding) + axis.FarPad(lim.padding);
        ++totals.stacked;
    }
    if (totals.stacked > 0) totals.fixed += static_cast<long long>(totals.stacked - 1) * frame.childPadding;

    long long share = 0;
    if (totals.adjustables > 0) share = Max0((axis.Along(available) - totals.fixed) / totals.adjustables);

    long long pos = axis.MainStart(frame);
    const long long cross = axis.CrossStart(frame);
    const long long crossExtent = axis.CrossExtent(frame);
    long long remaining = axis.Along(available);
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
        const long long nearPad = axis.NearPad(lim.padding), farPad = axis.FarPad(lim.padding);
        const long long crossNearPad = axis.CrossNearPad(lim.padding), crossFarPad = axis.CrossFarPad(lim.padding);
        remaining -= nearPad;
        long long size = axis.Along(items.Estimate(i, axis.Size(remaining, axis.Across(available))));
        if (size == 0) {
            ++adjustIndex;
            size = share;
            if (adjustIndex == totals.adjustables) size = Max0(remaining + nearPad - fixedRemaining);
            size = Clamp64(size, axis.MinAlong(lim), axis.MaxAlong(lim));
        } else {
            size = Clamp64(size, axis.MinAlong(lim), axis.MaxAlong(lim));
            fixedRemaining -= size;
        }
        fixedRemaining -= nearPad + farPad + static_cast<long long>(frame.childPadding);

        long long across = axis.FixedAcross(lim);
        if (across == 0) across = crossExtent - crossNearPad - crossFarPad;
        across = Clamp64(Max0(across), axis.MinAcross(lim), axis.MaxAcross(lim));

        // The far edge along the axis includes the child's far padding; across, it does not.
        items.Place(i, axis.Rect(pos + nearPad, cross + crossNearPad, pos + nearPad + size + farPad,
                                 cross + crossNearPad + across));

        pos += size + frame.childPadding + nearPad + farPad;
        needed += size + nearPad + farPad;
        remaining -= size + frame.childPadding + farPad;
    }
    if (totals.stacked > 0) needed += static_cast<long long>(totals.stacked - 1) * frame.childPadding;
    return ClampCoord(needed);
}

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

int StackVertical(const StackFrame& frame, StackItems& items) { return Stack(StackAxis{true}, frame, items); }

int StackHorizontal(const StackFrame& frame, StackItems& items) { return Stack(StackAxis{false}, frame, items); }

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
