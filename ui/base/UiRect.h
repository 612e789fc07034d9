#pragma once
// A Win32 RECT with the framework's helpers; usable wherever a RECT is.

#include "ui/base/Platform.h"

namespace SkinUI {

class CUiRect : public RECT {
public:
    CUiRect();
    CUiRect(const RECT& src);
    CUiRect(int left, int top, int right, int bottom);

    int GetWidth() const;
    int GetHeight() const;
    void Empty();
    bool IsNull() const;
    // Extends each edge outward to include `rc`, even when either is empty.
    void Join(const RECT& rc);
    // The Win32 union, which ignores an empty rectangle.
    void Union(CUiRect& rc);
    void ResetOffset();
    void Normalize();
    void Offset(int cx, int cy);
    void Inflate(int cx, int cy);
    void Deflate(int cx, int cy);
    void DeflateRect(int left, int top, int right, int bottom);
};

}  // namespace SkinUI
