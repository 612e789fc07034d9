#pragma once
// A Win32 SIZE; usable wherever a SIZE is.

#include "ui/base/Platform.h"

namespace SkinUI {

class CUiSize : public SIZE {
public:
    CUiSize() { cx = cy = 0; }
    CUiSize(const SIZE& src)
    {
        cx = src.cx;
        cy = src.cy;
    }
    // A rectangle's width and height.
    CUiSize(const RECT& rc)
    {
        cx = rc.right - rc.left;
        cy = rc.bottom - rc.top;
    }
    CUiSize(int width, int height)
    {
        cx = width;
        cy = height;
    }
};

}  // namespace SkinUI
