#include "ui/base/UiRect.h"

namespace SkinUI {

CUiRect::CUiRect() { left = top = right = bottom = 0; }

CUiRect::CUiRect(const RECT& src)
{
    left = src.left;
    top = src.top;
    right = src.right;
    bottom = src.bottom;
}

CUiRect::CUiRect(int l, int t, int r, int b)
{
    left = l;
    top = t;
    right = r;
    bottom = b;
}

int CUiRect::GetWidth() const { return right - left; }
int CUiRect::GetHeight() const { return bottom - top; }

void CUiRect::Empty() { left = top = right = bottom = 0; }

bool CUiRect::IsNull() const { return left == 0 && right == 0 && top == 0 && bottom == 0; }

void CUiRect::Join(const RECT& rc)
{
    if (rc.left < left) left = rc.left;
    if (rc.top < top) top = rc.top;
    if (rc.right > right) right = rc.right;
    if (rc.bottom > bottom) bottom = rc.bottom;
}

void CUiRect::Union(CUiRect& rc)
{
    const RECT self = *this;
    Platform::UnionRects(this, &self, &rc);
}

void CUiRect::ResetOffset() { Offset(-left, -top); }

void CUiRect::Normalize()
{
    if (left > right) {
        const LONG t = left;
        left = right;
        right = t;
    }
    if (top > bottom) {
        const LONG t = top;
        top = bottom;
        bottom = t;
    }
}

void CUiRect::Offset(int cx, int cy)
{
    left += cx;
    right += cx;
    top += cy;
    bottom += cy;
}

void CUiRect::Inflate(int cx, int cy)
{
    left -= cx;
    right += cx;
    top -= cy;
    bottom += cy;
}

void CUiRect::Deflate(int cx, int cy) { Inflate(-cx, -cy); }

void CUiRect::DeflateRect(int l, int t, int r, int b)
{
    left += l;
    top += t;
    right -= r;
    bottom -= b;
}

}  // namespace SkinUI
