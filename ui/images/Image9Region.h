#pragma once
#include "ui/base/Platform.h"

namespace SkinUI {

// Border sizes of a nine-slice image: top-left width, top height, top-right
// width, left width, right width, bottom-left width, bottom height,
// bottom-right width.
struct Image9Region {
    WORD topLeftWidth = 0, topHeight = 0, topRightWidth = 0;
    WORD leftWidth = 0, rightWidth = 0;
    WORD bottomLeftWidth = 0, bottomHeight = 0, bottomRightWidth = 0;

    void Set(WORD n) { Set(n, n, n, n); }
    void Set(WORD horizontal, WORD vertical) { Set(horizontal, vertical, horizontal, vertical); }
    void Set(WORD l, WORD t, WORD r, WORD b)
    {
        topLeftWidth = leftWidth = bottomLeftWidth = l;
        topRightWidth = rightWidth = bottomRightWidth = r;
        topHeight = t;
        bottomHeight = b;
    }
};

}  // namespace SkinUI
