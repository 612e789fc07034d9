#pragma once
// Skin metrics are written for 96 dots per inch (100 %). At another density
// each one is scaled from that value and rounded once, half away from zero,
// so that a row of controls ends where the scaled sum of their widths does
// and a change of density never scales an already rounded value again.

#include "ui/base/Platform.h"

namespace SkinUI {

const int kBaseDpi = 96;

inline int ScaleForDpi(int value, int dpi)
{
    if (dpi == kBaseDpi) return value;
    const long long product = static_cast<long long>(value) * dpi;
    const long long half = kBaseDpi / 2;
    const long long scaled = product >= 0 ? (product + half) / kBaseDpi : -((-product + half) / kBaseDpi);
    if (scaled > 0x7FFFFFFF) return 0x7FFFFFFF;
    if (scaled < -0x7FFFFFFF) return -0x7FFFFFFF;
    return static_cast<int>(scaled);
}

// A length on the screen at `dpi` as a 100 % value (what the user dragged a
// size to, for instance), rounded to the nearest.
inline int UnscaleForDpi(int value, int dpi)
{
    if (dpi == kBaseDpi || dpi <= 0) return value;
    const long long product = static_cast<long long>(value) * kBaseDpi;
    const long long half = dpi / 2;
    return static_cast<int>(product >= 0 ? (product + half) / dpi : -((-product + half) / dpi));
}

inline RECT ScaleForDpi(const RECT& rc, int dpi)
{
    return RECT{ScaleForDpi(rc.left, dpi), ScaleForDpi(rc.top, dpi), ScaleForDpi(rc.right, dpi),
                ScaleForDpi(rc.bottom, dpi)};
}

inline SIZE ScaleForDpi(const SIZE& sz, int dpi) { return SIZE{ScaleForDpi(sz.cx, dpi), ScaleForDpi(sz.cy, dpi)}; }

}  // namespace SkinUI
