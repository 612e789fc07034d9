#include "ui/control/ScrollBarGeometry.h"

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

Parts ComputeVertical(const RECT& item, int T, bool show1, bool show2, int range, int position)
{
    Parts p;
    const int l = item.left, t = item.top, b = item.bottom;
    const int H = b - t;
    const int L = H - (show1 ? T : 0) - (show2 ? T : 0);
    if (T >= L) {
        const int s = std::min(H / 2, T);
        p.button1 = show1 ? RECT{l, t, l + T, t + s} : RECT{l, t, l, t};
        p.button2 = show2 ? RECT{l, b - s, l + T, b} : RECT{l, b, l, b};
        return p;
    }
    p.button1 = show1 ? RECT{l, t, l + T, t + T} : RECT{l, t, l, t};
    p.button2 = show2 ? RECT{l, b - T, l + T, b} : RECT{l, b, l, b};
    p.thumb.left = l;
    p.thumb.right = l + T;
    if (range <= 0) {
        p.thumb.top = p.button1.bottom;
        p.thumb.bottom = p.button2.top;
        return p;
    }
    // 64-bit products: a skin may give any range.
    int thumb = Clamp64(int64_t(H) * L / (int64_t(H) + range));
    thumb = std::max(thumb, T);
    const int pos = std::clamp(position, 0, range);
    p.thumb.top = Clamp64(int64_t(L - thumb) * pos / range + p.button1.bottom);
    p.thumb.bottom = p.thumb.top + thumb;
    if (p.thumb.bottom > p.button2.top) {
        p.thumb.bottom = p.button2.top;
        p.thumb.top = p.thumb.bottom - thumb;
    }
    return p;
}

}  // namespace

Parts Compute(const Input& in)
{
    RECT item = in.item;
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
