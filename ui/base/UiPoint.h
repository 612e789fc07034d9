#pragma once
// A Win32 POINT; usable wherever a POINT is.

#include "ui/base/Platform.h"

namespace SkinUI {

class CUiPoint : public POINT {
public:
    CUiPoint() { x = y = 0; }
    CUiPoint(const POINT& src)
    {
        x = src.x;
        y = src.y;
    }
    CUiPoint(int px, int py)
    {
        x = px;
        y = py;
    }
    // From a mouse message's lParam: signed low and high words.
    explicit CUiPoint(LPARAM lParam)
    {
        x = static_cast<short>(LOWORD(lParam));
        y = static_cast<short>(HIWORD(lParam));
    }
};

}  // namespace SkinUI
