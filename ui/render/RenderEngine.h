#pragma once
// Stateless drawing routines on a GDI device context used by every control:
// ARGB colour fills, gradients, lines and frames, images (nine-slice, tiling,
// holes, fading, per-pixel alpha), plain and marked-up text, colour
// adjustment, and the image description strings of the skin.

#include "ui/base/Platform.h"
#include "ui/base/StringOrId.h"
#include "ui/base/UiString.h"
#include "ui/images/GdiHandles.h"
#include "ui/images/ImageDecoder.h"
#include "ui/images/ImageInfo.h"

#include <functional>
#include <vector>

namespace SkinUI {

class CPaintManagerUI;
class CControlUI;

// Restricts drawing to a rectangle (or rounded rectangle) for a painting
// scope and puts the previous clip region back when it ends. It owns both
// regions; they are deleted when the clip ends or is generated again.
class CRenderClip {
public:
    CRenderClip() = default;
    ~CRenderClip();
    CRenderClip(const CRenderClip&) = delete;
    CRenderClip& operator=(const CRenderClip&) = delete;

    static void GenerateClip(HDC hDC, RECT rc, CRenderClip& clip);
    static void GenerateRoundClip(HDC hDC, RECT rc, RECT rcItem, int width, int height, CRenderClip& clip);
    static void UseOldClipBegin(HDC hDC, CRenderClip& clip);
    static void UseOldClipEnd(HDC hDC, CRenderClip& clip);

    const RECT& GetRect() const { return rcItem; }
    HDC GetDC() const { return hDC; }
    // The clip in force during the scope, and the one to restore.
    HRGN GetRegion() const { return hRgn; }
    HRGN GetOldRegion() const { return hOldRgn; }

private:
    // Selects the old region back and deletes both.
    void Release();
    // Saves the current clip box and takes `region` as the new clip.
    void Begin(HDC dc, const RECT& rc, Gdi::Region region);

    RECT rcItem = {0, 0, 0, 0};
    HDC hDC = nullptr;
    Gdi::Region hRgn;
    Gdi::Region hOldRgn;
};

// Image decoding (LoadImage, LoadGif, FreeImage, ...) comes from CImageDecoder.
class CRenderEngine : public CImageDecoder {
public:
    // Colour ARGB 0xAARRGGBB, hue/saturation/lightness as the paint manager
    // keeps them (180, 100, 100 means "unchanged").
    static DWORD AdjustColor(DWORD dwColor, short H, short S, short L);

    static void DrawImage(HDC hDC, HBITMAP hBitmap, const RECT& rc, const RECT& rcPaint, const RECT& rcBmpPart,
                          const RECT& rcCorners, bool alphaChannel, BYTE uFade = 255, bool hole = false,
                          bool xtiled = false, bool ytiled = false);
    // The same nine-grid with corners of their own on the window: an image
    // drawn at another density keeps its corners at that density's size
    // instead of stretching them with the middle.
    static void DrawImage(HDC hDC, HBITMAP hBitmap, const RECT& rc, const RECT& rcPaint, const RECT& rcBmpPart,
                          const RECT& rcCorners, const RECT& rcDestCorners, bool alphaChannel, BYTE uFade, bool hole,
                          bool xtiled, bool ytiled);
    static bool DrawImageString(HDC hDC, CPaintManagerUI* pManager, const RECT& rcItem, const RECT& rcPaint,
                                LPCTSTR pStrImage, LPCTSTR pStrModify = nullptr);
    static void DrawColor(HDC hDC, const RECT& rc, DWORD color);
    static void DrawGradient(HDC hDC, const RECT& rc, DWORD dwFirst, DWORD dwSecond, bool bVertical, int nSteps);

    static void DrawLine(HDC hDC, const RECT& rc, int nSize, DWORD dwPenColor, int nStyle = PS_SOLID);
    static void DrawRect(HDC hDC, const RECT& rc, int nSize, DWORD dwPenColor);
    static void DrawRoundRect(HDC hDC, const RECT& rc, int nSize, int width, int height, DWORD dwPenColor);
    static void DrawText(HDC hDC, CPaintManagerUI* pManager, RECT& rc, LPCTSTR pstrText, DWORD dwTextColor, int iFont,
                         UINT uStyle);
    static void AlphaDrawText(HDC hDC, CPaintManagerUI* pManager, RECT& rc, LPCTSTR pstrText, DWORD dwTextColor,
                              int iFont, UINT uStyle);
    // Returns the total height of the lines drawn; nLinkRects is the capacity
    // of the two link arrays on entry and the number of links on return.
    static int DrawHtmlText(HDC hDC, CPaintManagerUI* pManager, RECT& rc, LPCTSTR pstrText, DWORD dwTextColor,
                            RECT* pLinks, CUiString* sLinks, int& nLinkRects, UINT uStyle);
    // Paints a control (DoPaint with rc as the paint rectangle, in window
    // coordinates) into a new 32-bit bitmap of rc's size; null for an empty
    // or negative rc. A template, so that the render engine, beneath the
    // controls, paints one without knowing them.
    template <class Control>
    static HBITMAP GenerateBitmap(CPaintManagerUI* pManager, Control* pControl, RECT rc)
    {
        if (pControl == nullptr) return nullptr;
        return PaintIntoBitmap(pManager, rc,
                               [pControl](HDC hDC, const RECT& rcPaint) { pControl->DoPaint(hDC, rcPaint); });
    }
    static HBITMAP PaintIntoBitmap(CPaintManagerUI* pManager, RECT rc,
                                   const std::function<void(HDC, const RECT&)>& paint);
    static SIZE GetTextSize(HDC hDC, CPaintManagerUI* pManager, LPCTSTR pstrText, int iFont, UINT uStyle);

    // ARGB to COLORREF; pure black becomes RGB(0,0,1) for pens and text,
    // which GDI would otherwise treat as "no colour" in some raster paths.
    static COLORREF ToPenColor(DWORD argb);

    // The blend used for images: the system's AlphaBlend, or a software
    // replacement with the same arguments when it is unavailable. Tests can
    // force the replacement.
    static BOOL AlphaBlendCall(HDC hdcDest, int xDest, int yDest, int wDest, int hDest, HDC hdcSrc, int xSrc, int ySrc,
                               int wSrc, int hSrc, BLENDFUNCTION blend);
    static void ForceSoftwareBlend(bool force);
    static void ForceSoftwareGradient(bool force);
};

}  // namespace SkinUI
