#pragma once
// GDI objects that drawing would otherwise make and delete for every image
// and every translucent fill: a memory device context to select images
// into, and a one-pixel 32-bit bitmap for colour fills. It also keeps the
// last font that text drawing selected into the painted context.
//
// Selecting a bitmap into a context costs more than blending a small image
// (under Wine several times more), so the last image drawn stays selected
// until another one is drawn or the paint ends; a run of drawings of one
// image selects it once. A bitmap can be selected into one context only:
// code that selects an image elsewhere while a tree paints calls
// ReleaseImage() on the current scratch first.
//
// One set per window, kept by its paint manager (RenderCache). It serves
// the drawing done while a control tree of that window paints: the
// outermost control's DoPaint takes a PaintScratch::Use, and the render
// engine asks Current() while it lasts. Drawing outside such a paint makes
// its own objects as it always did.

#include "ui/base/Platform.h"
#include "ui/images/GdiHandles.h"

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
    ~PaintScratch();
    PaintScratch(const PaintScratch&) = delete;
    PaintScratch& operator=(const PaintScratch&) = delete;

    // The scratch of the paint in progress on this thread, or null.
    static PaintScratch* Current();

    // The scratch memory context (made on first use compatible with
    // `compatibleWith`) with `bitmap` selected; null when GDI refuses. The
    // bitmap stays selected until another is asked for, ReleaseImage() or
    // the end of the paint.
    HDC SelectImage(HDC compatibleWith, HBITMAP bitmap);
    // Gives the context its own bitmap back.
    void ReleaseImage();
    // The one-pixel bitmap holding `premultiplied` (0xAARRGGBB); null when
    // it cannot be made.
    HBITMAP Pixel(DWORD premultiplied);

    // Selects `font` into `dc` for drawing text, unless it is selected
    // there already. Under Wine every selection of a font into a context
    // with a 32-bit bitmap costs several microseconds whatever the font, and
    // the labels of a tree share a few fonts: the font stays selected when
    // the text is drawn, and the context gets its own font back from
    // ReleaseFont(), at the end of the paint, or when text is drawn into
    // another context.
    void SelectFont(HDC dc, HFONT font);
    void ReleaseFont();

private:
    Gdi::CreatedDC m_imageDC;
    HGDIOBJ m_ownBitmap = nullptr;  // what the context held before any image
    HBITMAP m_selected = nullptr;
    Gdi::Dib32 m_pixel;
    HDC m_fontDC = nullptr;             // the context whose font was changed
    HGDIOBJ m_originalFont = nullptr;  // what it held before
};

}  // namespace SkinUI
