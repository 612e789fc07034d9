#pragma once
// One decoded image: a premultiplied 32-bit top-down DIB section and what the
// painters need to know about it.

#include "ui/base/Platform.h"
#include "ui/base/UiString.h"
#include "ui/images/GdiHandles.h"

namespace SkinUI {

struct tagTImageInfo {
    Gdi::Bitmap hBitmap;        // premultiplied BGRA, row 0 at the top
    int nX = 0;                 // width in pixels
    int nY = 0;                 // height in pixels
    int delay = 0;              // frame delay in milliseconds (GIF frames)
    bool alphaChannel = false;  // has transparent or translucent pixels: must be blended
    CUiString sResType;         // resource type it was loaded from (set by the paint manager)
    DWORD dwMask = 0;           // colour made transparent at load (set by the paint manager)
};

typedef tagTImageInfo TImageInfo;

}  // namespace SkinUI
