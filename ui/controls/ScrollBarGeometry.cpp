#include "ui/controls/ScrollBarGeometry.h"

#include "ui/controls/LayoutArithmetic.h"

#include <algorithm>
#include <cstdint>

namespace SkinUI {
namespace ScrollBarGeometry {

namespace {

// A horizontal bar is laid out as a vertical one with the axes exchanged.
RECT Transpose(const RECT& rc) { return RECT{rc.top, rc.left, rc.bottom, rc.right}; }

int Clamp64(int64_t v)
{
    if (v > INT32_MAX) return INT32_MAX;
    if (v < INT32_MIN) return INT32_MIN;
    return static_cast<int>(v);
}

// Sums of skin-given sizes are taken in 64 bits and every coordinate handed
// back is limited as the layouts limit theirs: a hostile skin size gives an
// absurd bar, never an overflowed one.
RECT MakeRect(int64_t l, int64_t t, int64_t r, int64_t b)
{
    return RECT{Layout::ClampCoord(l), Layout::ClampCoord(t), Layout::ClampCoord(r), Layout::ClampCoord(b)};
}

Parts ComputeVertical(const RECT& item, int thickness, bool show1, bool show2, int range, int position)
{
    Parts p;
    const int64_t l = item.left, t = item.top, b = item.bottom, T = thickness;
    const int64_t H = b - t;
    const int64_t L = H - (show1 ? T : 0) - (show2 ? T : 0);
    if (T >= L) {
        const int64_t s = std::min(H / 2, T);
        p.button1 = show1 ? MakeRect(l, t, l + T, t + s) : MakeRect(l, t, l, t);
        p.button2 = show2 ? MakeRect(l, b - s, l + T, b) : MakeRect(l, b, l, b);
        return p;
    }
    p.button1 = show1 ? MakeRect(l, t, l + T, t + T) : MakeRect(l, t, l, t);
    p.button2 = show2 ? MakeRect(l, b - T, l + T, b) : MakeRect(l, b, l, b);
    p.thumb.left = p.button1.left;
    p.thumb.right = Layout::ClampCoord(l + T);
    if (range <= 0) {
        p.thumb.top = p.button1.bottom;
        p.thumb.bottom = p.button2.top;
        return p;
    }
    // H * L fits 64 bits: the item was limited to the coordinate range, so
    // both are below 2^31.
    const int64_t thumb = std::max<int64_t>(H * L / (H + range), T);
    const int64_t pos = std::clamp(position, 0, range);
    int64_t top = (L - thumb) * pos / range + p.button1.bottom;
    int64_t bottom = top + thumb;
    if (bottom > p.button2.top) {
        bottom = p.button2.top;
        top = bottom - thumb;
    }
    p.thumb.top = Layout::ClampCoord(top);
    p.thumb.bottom = Layout::ClampCoord(bottom);
    return p;
}

}  // namespace

Parts Compute(const Input& in)
{
    RECT item = MakeRect(in.item.left, in.item.top, in.item.right, in.item.bottom);
    if (item.right < item.left) item.right = item.left;
    if (item.bottom < item.top) item.bottom = item.top;
    const int T = std::max(0, in.thickness);
    if (!in.horizontal) return ComputeVertical(item, T, in.showButton1, in.showButton2, in.range, in.position);
    Parts p = ComputeVertical(Transpose(item), T, in.showButton1, in.showButton2, in.range, in.position);
    p.button1 = Transpose(p.button1);
    p.button2 = Transpose(p.button2);
    p.thumb = HasThumb(p) ? Transpose(p.thumb) : RECT{0, 0, 0, 0};
    return p;
}

bool HasThumb(const Parts& parts)
{
    const RECT& t = parts.thumb;
    return t.left != 0 || t.top != 0 || t.right != 0 || t.bottom != 0;
}

int DragOffset(int mouseDelta, int range, int itemExtent, int thickness, int thumbExtent)
{
    const int64_t travel = int64_t(itemExtent) - 2 * int64_t(thickness) - thumbExtent;
    if (travel == 0) return 0;
    return Clamp64(int64_t(mouseDelta) * range / travel);
}

int PageDirection(const Parts& parts, bool horizontal, POINT pt)
{
    if (!HasThumb(parts)) return 0;
    const int at = horizontal ? pt.x : pt.y;
    const int start = horizontal ? parts.thumb.left : parts.thumb.top;
    const int end = horizontal ? parts.thumb.right : parts.thumb.bottom;
    if (at < start) return -1;
    if (at >= end) return 1;
    return 0;
}

}  // namespace ScrollBarGeometry
}  // namespace SkinUI
