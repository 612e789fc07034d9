#pragma once
// GDI objects that drawing would otherwise make and delete for every image
// and every translucent fill: a memory device context to select images
// into, and a one-pixel 32-bit bitmap for colour fills.
//
// One set per window, kept by its paint manager (RenderCache). It serves
// the drawing done while a control tree of that window paints: the
// outermost control's DoPaint takes a PaintScratch::Use, and the render
// engine asks Current() while it lasts. Drawing outside such a paint makes
// its own objects as it always did.

#include "ui/core/base/Platform.h"
#include "ui/render/image/GdiHandles.h"

namespace SkinUI {

class CPaintManagerUI;

class PaintScratch {
public:
    // Makes `manager`'s scratch the current one for its scope, unless a
    // paint has already done so (or there is no manager).
    class Use {
    public:
        explicit Use(CPaintManagerUI* manager);
        ~Use();
        Use(const Use&) = delete;
        Use& operator=(const Use&) = delete;

    private:
        bool m_set = false;
    };

    PaintScratch() = default;
    PaintScratch(const PaintScratch&) = delete;
    PaintScratch& operator=(const PaintScratch&) = delete;

    // The scratch of the paint in progress on this thread, or null.
    static PaintScratch* Current();

    // A memory device context with nothing of the caller's selected, made
    // on first use compatible with `compatibleWith`; null when GDI refuses.
    HDC ImageDC(HDC compatibleWith);
    // The one-pixel bitmap holding `premultiplied` (0xAARRGGBB); null when
    // it cannot be made.
    HBITMAP Pixel(DWORD premultiplied);

private:
    Gdi::CreatedDC m_imageDC;
    Gdi::Dib32 m_pixel;
};

}  // namespace SkinUI
