#include "ui/render/RenderEngine.h"

#include "ui/paint/PaintManagerUI.h"
#include "ui/render/ImageDescription.h"
#include "ui/render/PaintScratch.h"
#include "ui/render/TextFontSelection.h"
#include "ui/images/GdiHandles.h"

#include <algorithm>
#include <cmath>
#include <cwchar>
#include <memory>
#include <utility>

namespace SkinUI {

namespace {

typedef BOOL(WINAPI* AlphaBlendFn)(HDC, int, int, int, int, HDC, int, int, int, int, BLENDFUNCTION);
typedef BOOL(WINAPI* GradientFillFn)(HDC, PTRIVERTEX, ULONG, PVOID, ULONG, ULONG);

bool g_forceSoftwareBlend = false;
bool g_forceSoftwareGradient = false;

template <typename Fn>
Fn LookUpMsimg32(const char* name)
{
    HMODULE module = ::GetModuleHandleW(L"msimg32.dll");
    if (!module) return nullptr;
    return reinterpret_cast<Fn>(reinterpret_cast<void*>(::GetProcAddress(module, name)));
}

AlphaBlendFn SystemAlphaBlend()
{
    static AlphaBlendFn fn = LookUpMsimg32<AlphaBlendFn>("AlphaBlend");
    return g_forceSoftwareBlend ? nullptr : fn;
}

GradientFillFn SystemGradientFill()
{
    static GradientFillFn fn = LookUpMsimg32<GradientFillFn>("GradientFill");
    return g_forceSoftwareGradient ? nullptr : fn;
}

// The replacement for AlphaBlend: stretch the source into a DIB, copy the
// destination area into another, composite the premultiplied source over
// the destination and copy the result back.
BOOL SoftwareAlphaBlend(HDC hdcDest, int xDest, int yDest, int wDest, int hDest, HDC hdcSrc, int xSrc, int ySrc,
                        int wSrc, int hSrc, BLENDFUNCTION blend)
{
    if (wDest <= 0 || hDest <= 0 || wSrc <= 0 || hSrc <= 0) return FALSE;
    Gdi::MemoryDC srcDC(hdcDest);
    Gdi::MemoryDC dstDC(hdcDest);
    Gdi::Dib32 src, dst;
    if (!srcDC || !dstDC || !src.Create(wDest, hDest) || !dst.Create(wDest, hDest)) return FALSE;
    {
        Gdi::Select selSrc(srcDC, src.bitmap);
        Gdi::Select selDst(dstDC, dst.bitmap);
        ::SetStretchBltMode(srcDC, COLORONCOLOR);
        if (!::StretchBlt(srcDC, 0, 0, wDest, hDest, hdcSrc, xSrc, ySrc, wSrc, hSrc, SRCCOPY)) return FALSE;
        if (!::BitBlt(dstDC, 0, 0, wDest, hDest, hdcDest, xDest, yDest, SRCCOPY)) return FALSE;
        ::GdiFlush();

        const bool perPixel = (blend.AlphaFormat & AC_SRC_ALPHA) != 0;
        const unsigned constant = blend.SourceConstantAlpha;
        const size_t count = static_cast<size_t>(wDest) * hDest;
        for (size_t i = 0; i < count; ++i) {
            const DWORD s = src.bits[i];
            const DWORD d = dst.bits[i];
            const unsigned sa = perPixel ? (s >> 24) : 255;
            // Effective source alpha after the constant alpha.
            const unsigned a = sa * constant / 255;
            DWORD out = 0;
            for (int shift = 0; shift < 32; shift += 8) {
                unsigned sc = (s >> shift) & 0xFF;
                unsigned dc = (d >> shift) & 0xFF;
                if (shift == 24) sc = sa;
                // The source is premultiplied: scale it by the constant
                // alpha only, and keep (1 - a) of the destination.
                unsigned v = (sc * constant + dc * (255 - a) + 127) / 255;
                out |= std::min(v, 255u) << shift;
            }
            dst.bits[i] = out;
        }
        ::BitBlt(hdcDest, xDest, yDest, wDest, hDest, dstDC, 0, 0, SRCCOPY);
    }
    return TRUE;
}

// Which way the rows of a DIB section run in memory. The section's header
// cannot tell (its height comes back positive for top-down sections too),
// so the device context is asked about one pixel marked in memory: read it
// back while marked and after restoring. `area` is in device pixels,
// `origin` the device point of logical (0,0). False when GDI cannot answer.
bool FindRowOrder(HDC hDC, DWORD* bits, LONG width, LONG height, const RECT& area, POINT origin, bool& bottomUp)
{
    LONG y = area.top;
    if (height - 1 - y == y) {
        // The middle row is the same row either way; a one-row fill there
        // does not depend on the order, a taller one is asked about the next.
        bottomUp = false;
        if (area.bottom - area.top == 1) return true;
        ++y;
    }
    DWORD& pixel = bits[static_cast<size_t>(y) * width + area.left];
    const DWORD saved = pixel;
    pixel = saved ^ 1;
    const COLORREF marked = ::GetPixel(hDC, area.left - origin.x, y - origin.y);
    pixel = saved;
    const COLORREF restored = ::GetPixel(hDC, area.left - origin.x, y - origin.y);
    if (marked == CLR_INVALID || restored == CLR_INVALID) return false;
    const bool seenTopDown = GetBValue(marked) == ((saved ^ 1) & 0xFF) && GetBValue(restored) == (saved & 0xFF);
    bottomUp = !seenTopDown;
    return true;
}

// A translucent fill straight into the 32-bit DIB section selected into
// `hDC`: the same premultiplied source-over as AlphaBlend with a per-pixel
// alpha source, without a source bitmap, a second device context and a
// stretch per fill. Only where the device context adds nothing the loop
// would have to imitate: text mapping mode without world transform or
// mirroring, and a clip that is one rectangle. False when it did not draw,
// so the caller blends through GDI.
bool BlendIntoSelectedDib(HDC hDC, const RECT& rc, DWORD premultiplied)
{
    HGDIOBJ bitmap = ::GetCurrentObject(hDC, OBJ_BITMAP);
    DIBSECTION dib;
    if (!bitmap || ::GetObjectW(bitmap, sizeof(dib), &dib) != sizeof(dib)) return false;
    if (!dib.dsBm.bmBits || dib.dsBm.bmBitsPixel != 32 || dib.dsBmih.biCompression != BI_RGB) return false;
    if (::GetMapMode(hDC) != MM_TEXT || ::GetGraphicsMode(hDC) != GM_COMPATIBLE || ::GetLayout(hDC) != 0) return false;

    RECT clip;
    const int clipKind = ::GetClipBox(hDC, &clip);
    if (clipKind == NULLREGION) return true;
    if (clipKind != SIMPLEREGION) return false;
    RECT area;
    if (!::IntersectRect(&area, &rc, &clip)) return true;
    POINT origin = {0, 0};
    ::LPtoDP(hDC, &origin, 1);
    ::OffsetRect(&area, origin.x, origin.y);
    const RECT surface = {0, 0, dib.dsBm.bmWidth, dib.dsBm.bmHeight};
    if (!::IntersectRect(&area, &area, &surface)) return true;

    ::GdiFlush();  // drawing still queued for this surface lands first
    auto* const bits = static_cast<DWORD*>(dib.dsBm.bmBits);
    const LONG width = dib.dsBm.bmWidth, height = dib.dsBm.bmHeight;
    bool bottomUp = false;
    if (!FindRowOrder(hDC, bits, width, height, area, origin, bottomUp)) return false;
    const unsigned keep = 255 - (premultiplied >> 24);
    for (LONG y = area.top; y < area.bottom; ++y) {
        DWORD* row = bits + static_cast<size_t>(bottomUp ? height - 1 - y : y) * width;
        for (LONG x = area.left; x < area.right; ++x) {
            const DWORD d = row[x];
            DWORD out = 0;
            for (int shift = 0; shift < 32; shift += 8) {
                const unsigned v = ((premultiplied >> shift) & 0xFF) + (((d >> shift) & 0xFF) * keep + 127) / 255;
                out |= std::min(v, 255u) << shift;
            }
            row[x] = out;
        }
    }
    return true;
}

bool Intersects(const RECT& a, const RECT& b)
{
    RECT tmp;
    return ::IntersectRect(&tmp, &a, &b) != FALSE;
}

int Width(const RECT& r) { return r.right - r.left; }
int Height(const RECT& r) { return r.bottom - r.top; }

// Copies (or blends) one rectangle of the source onto one of the
// destination, the primitive the nine-slice drawing is made of.
class PartPainter {
public:
    PartPainter(HDC dest, HDC src, bool blend, BYTE fade)
        : m_dest(dest), m_src(src), m_blend(blend), m_function{AC_SRC_OVER, 0, fade, AC_SRC_ALPHA}
    {}

    void Draw(const RECT& d, const RECT& s) const
    {
        if (Width(d) <= 0 || Height(d) <= 0 || Width(s) <= 0 || Height(s) <= 0) return;
        if (m_blend) {
            CRenderEngine::AlphaBlendCall(m_dest, d.left, d.top, Width(d), Height(d), m_src, s.left, s.top, Width(s),
                                          Height(s), m_function);
        } else if (Width(d) == Width(s) && Height(d) == Height(s)) {
            ::BitBlt(m_dest, d.left, d.top, Width(d), Height(d), m_src, s.left, s.top, SRCCOPY);
        } else {
            ::StretchBlt(m_dest, d.left, d.top, Width(d), Height(d), m_src, s.left, s.top, Width(s), Height(s),
                         SRCCOPY);
        }
    }

    // The middle part: stretched, or repeated unscaled along tiled axes
    // (the last copy cut to fit, destination and source together).
    void DrawMiddle(const RECT& d, const RECT& s, bool xtiled, bool ytiled) const
    {
        const int dw = Width(d), dh = Height(d), sw = Width(s), sh = Height(s);
        if (dw <= 0 || dh <= 0 || sw <= 0 || sh <= 0) return;
        if (!xtiled && !ytiled) {
            Draw(d, s);
            return;
        }
        const int columns = xtiled ? (dw + sw - 1) / sw : 1;
        const int rows = ytiled ? (dh + sh - 1) / sh : 1;
        for (int row = 0; row < rows; ++row) {
            RECT dt, st;
            if (ytiled) {
                dt.top = d.top + row * sh;
                int h = std::min<int>(sh, d.bottom - dt.top);
                dt.bottom = dt.top + h;
                st.top = s.top;
                st.bottom = s.top + h;
            } else {
                dt.top = d.top;
                dt.bottom = d.bottom;
                st.top = s.top;
                st.bottom = s.bottom;
            }
            for (int column = 0; column < columns; ++column) {
                if (xtiled) {
                    dt.left = d.left + column * sw;
                    int w = std::min<int>(sw, d.right - dt.left);
                    dt.right = dt.left + w;
                    st.left = s.left;
                    st.right = s.left + w;
                } else {
                    dt.left = d.left;
                    dt.right = d.right;
                    st.left = s.left;
                    st.right = s.right;
                }
                Draw(dt, st);
            }
        }
    }

private:
    HDC m_dest;
    HDC m_src;
    bool m_blend;
    BLENDFUNCTION m_function;
};

bool DrawDescription(HDC hDC, CPaintManagerUI* manager, const RECT& rcItem, const RECT& rcPaint,
                     const ImageDescription& d)
{
    if (d.name.IsEmpty()) return false;
    LPCTSTR type = d.type.IsEmpty() ? nullptr : d.type.GetData();
    const TImageInfo* base = manager->GetImageEx(d.name, type, d.mask);
    if (!base) return false;
    // The skin's "source" and "corner" are in the 100 % image; a picture
    // for the window's density has them scaled.
    const TImageInfo* image = manager->GetImageForDpi(d.name, type, d.mask);
    const bool scaled = image != base;
    RECT source = scaled ? manager->ScaleValue(d.source) : d.source;
    const RECT sourceCorners = scaled ? manager->ScaleValue(d.corners) : d.corners;
    if (source.left == 0 && source.top == 0 && source.right == 0 && source.bottom == 0) {
        source.right = image->nX;
        source.bottom = image->nY;
    }
    if (source.right > image->nX) source.right = image->nX;
    if (source.bottom > image->nY) source.bottom = image->nY;
    if (Intersects(d.dest, rcItem) && Intersects(d.dest, rcPaint)) {
        // Corners are written at 100 %: on the window they take the
        // density's size rather than stretching with the middle.
        const RECT destCorners = manager->ScaleValue(d.corners);
        CRenderEngine::DrawImage(hDC, image->hBitmap, d.dest, rcPaint, source, sourceCorners, destCorners,
                                 image->alphaChannel, d.fade, d.hole, d.xtiled, d.ytiled);
    }
    return true;
}

// Reads one image description into `d`, drawing the image described so far
// whenever a further "file", "res" or "restype" item starts a new one. An
// intermediate draw that fails is not reported: the caller's result is that
// of the last image.
void ParseDescription(HDC hDC, CPaintManagerUI* manager, const RECT& rcItem, const RECT& rcPaint, LPCTSTR text,
                      ImageDescription& d)
{
    ReadImageDescription(
        text, rcItem, d,
        [&](const ImageDescription& described) { DrawDescription(hDC, manager, rcItem, rcPaint, described); },
        manager->GetDpi());
}

LPCTSTR SubstituteLanguage(CPaintManagerUI* manager, LPCTSTR text)
{
    if (!manager || !text || !std::wcsstr(text, L"ID")) return text;
    LPCTSTR replacement = manager->GetLanguageAttributeList(text);
    return replacement && *replacement ? replacement : text;
}

}  // namespace

// ---- clipping -------------------------------------------------------------

CRenderClip::~CRenderClip() { Release(); }

void CRenderClip::Release()
{
    if (hDC && hOldRgn) ::SelectClipRgn(hDC, hOldRgn);
    hOldRgn.Reset();
    hRgn.Reset();
    hDC = nullptr;
}

void CRenderClip::Begin(HDC dc, const RECT& rc, Gdi::Region region)
{
    RECT box = {0, 0, 0, 0};
    ::GetClipBox(dc, &box);
    hOldRgn.Reset(::CreateRectRgnIndirect(&box));
    hRgn = std::move(region);
    ::ExtSelectClipRgn(dc, hRgn, RGN_AND);
    hDC = dc;
    rcItem = rc;
}

void CRenderClip::GenerateClip(HDC hDC, RECT rc, CRenderClip& clip)
{
    clip.Release();
    clip.Begin(hDC, rc, Gdi::Region(::CreateRectRgnIndirect(&rc)));
}

void CRenderClip::GenerateRoundClip(HDC hDC, RECT rc, RECT rcItem, int width, int height, CRenderClip& clip)
{
    clip.Release();
    Gdi::Region region(::CreateRectRgnIndirect(&rc));
    Gdi::Region round(
        ::CreateRoundRectRgn(rcItem.left, rcItem.top, rcItem.right + 1, rcItem.bottom + 1, width, height));
    if (region && round) ::CombineRgn(region, region, round, RGN_AND);
    clip.Begin(hDC, rc, std::move(region));
}

void CRenderClip::UseOldClipBegin(HDC hDC, CRenderClip& clip) { ::SelectClipRgn(hDC, clip.hOldRgn); }

void CRenderClip::UseOldClipEnd(HDC hDC, CRenderClip& clip) { ::SelectClipRgn(hDC, clip.hRgn); }

// ---- colours ---------------------------------------------------------------

COLORREF CRenderEngine::ToPenColor(DWORD argb)
{
    COLORREF c = RGB((argb >> 16) & 0xFF, (argb >> 8) & 0xFF, argb & 0xFF);
    return (c & 0x00FFFFFF) == 0 ? RGB(0, 0, 1) : c;
}

void CRenderEngine::ForceSoftwareBlend(bool force) { g_forceSoftwareBlend = force; }
void CRenderEngine::ForceSoftwareGradient(bool force) { g_forceSoftwareGradient = force; }

BOOL CRenderEngine::AlphaBlendCall(HDC hdcDest, int xDest, int yDest, int wDest, int hDest, HDC hdcSrc, int xSrc,
                                   int ySrc, int wSrc, int hSrc, BLENDFUNCTION blend)
{
    if (AlphaBlendFn fn = SystemAlphaBlend())
        return fn(hdcDest, xDest, yDest, wDest, hDest, hdcSrc, xSrc, ySrc, wSrc, hSrc, blend);
    return SoftwareAlphaBlend(hdcDest, xDest, yDest, wDest, hDest, hdcSrc, xSrc, ySrc, wSrc, hSrc, blend);
}

DWORD CRenderEngine::AdjustColor(DWORD dwColor, short H, short S, short L)
{
    if (H == 180 && S == 100 && L == 100) return dwColor;
    const double r = (dwColor & 0xFF) / 255.0;
    const double g = ((dwColor >> 8) & 0xFF) / 255.0;
    const double b = ((dwColor >> 16) & 0xFF) / 255.0;
    const double maxc = std::max(r, std::max(g, b));
    const double minc = std::min(r, std::min(g, b));
    double hue = 0, sat = 0, light = (maxc + minc) / 2;
    const double delta = maxc - minc;
    if (delta > 0) {
        sat = light <= 0.5 ? delta / (maxc + minc) : delta / (2.0 - maxc - minc);
        if (maxc == r)
            hue = (g - b) / delta;
        else if (maxc == g)
            hue = 2.0 + (b - r) / delta;
        else
            hue = 4.0 + (r - g) / delta;
        hue *= 60.0;
        if (hue < 0) hue += 360.0;
    }
    hue += H - 180;
    if (hue <= 0) hue += 360;
    if (hue >= 360) hue -= 360;
    sat = std::min(1.0, sat * S / 100.0);
    light = std::min(1.0, light * L / 100.0);

    auto channel = [](double v) {
        int c = static_cast<int>(v * 255.0);
        return static_cast<DWORD>(std::max(0, std::min(255, c)));
    };
    double nr = light, ng = light, nb = light;
    if (sat > 0) {
        const double q = light < 0.5 ? light * (1 + sat) : light + sat - light * sat;
        const double p = 2 * light - q;
        auto hueToRgb = [p, q](double t) {
            if (t < 0) t += 1;
            if (t > 1) t -= 1;
            if (t < 1.0 / 6) return p + (q - p) * 6 * t;
            if (t < 0.5) return q;
            if (t < 2.0 / 3) return p + (q - p) * (2.0 / 3 - t) * 6;
            return p;
        };
        const double h = hue / 360.0;
        nr = hueToRgb(h + 1.0 / 3);
        ng = hueToRgb(h);
        nb = hueToRgb(h - 1.0 / 3);
    }
    return (dwColor & 0xFF000000u) | channel(nr) | (channel(ng) << 8) | (channel(nb) << 16);
}

// ---- images -----------------------------------------------------------------

void CRenderEngine::DrawImage(HDC hDC, HBITMAP hBitmap, const RECT& rc, const RECT& rcPaint, const RECT& rcBmpPart,
                              const RECT& rcCorners, bool alphaChannel, BYTE uFade, bool hole, bool xtiled, bool ytiled)
{
    DrawImage(hDC, hBitmap, rc, rcPaint, rcBmpPart, rcCorners, rcCorners, alphaChannel, uFade, hole, xtiled, ytiled);
}

void CRenderEngine::DrawImage(HDC hDC, HBITMAP hBitmap, const RECT& rc, const RECT& rcPaint, const RECT& rcBmpPart,
                              const RECT& rcCorners, const RECT& rcDestCorners, bool alphaChannel, BYTE uFade,
                              bool hole, bool xtiled, bool ytiled)
{
    if (!hDC || !hBitmap) return;
    // The source context: the window's scratch one during a tree's paint
    // (the bitmap stays selected there), else one of its own.
    PaintScratch* scratch = PaintScratch::Current();
    HDC memDC = scratch ? scratch->SelectImage(hDC, hBitmap) : nullptr;
    Gdi::CreatedDC ownDC(memDC ? nullptr : ::CreateCompatibleDC(hDC));
    Gdi::Select select(ownDC.Get(), hBitmap);
    if (memDC == nullptr) memDC = ownDC.Get();
    if (memDC == nullptr) return;
    const int oldMode = ::SetStretchBltMode(hDC, HALFTONE);
    POINT oldOrigin;
    ::SetBrushOrgEx(hDC, 0, 0, &oldOrigin);

    const RECT& s = rcBmpPart;
    const RECT& sc = rcCorners;     // corners in the image
    const RECT& c = rcDestCorners;  // and on the window
    const bool blend = alphaChannel || uFade < 255;
    PartPainter painter(hDC, memDC, blend, uFade);

    RECT tmp;
    if (!blend && Width(rc) == Width(s) && Height(rc) == Height(s) && c.left == 0 && c.top == 0 && c.right == 0 &&
        c.bottom == 0 && sc.left == 0 && sc.top == 0 && sc.right == 0 && sc.bottom == 0) {
        if (::IntersectRect(&tmp, &rc, &rcPaint)) {
            ::BitBlt(hDC, tmp.left, tmp.top, Width(tmp), Height(tmp), memDC, s.left + tmp.left - rc.left,
                     s.top + tmp.top - rc.top, SRCCOPY);
        }
    } else {
        // Middle.
        if (!hole) {
            RECT d = {rc.left + c.left, rc.top + c.top, rc.right - c.right, rc.bottom - c.bottom};
            RECT m = {s.left + sc.left, s.top + sc.top, s.right - sc.right, s.bottom - sc.bottom};
            if (::IntersectRect(&tmp, &rcPaint, &d)) painter.DrawMiddle(d, m, xtiled, ytiled);
        }
        struct Part {
            bool present;
            RECT d;
            RECT s;
        };
        const Part parts[8] = {
            // top-left, top, top-right
            {c.left > 0 && c.top > 0,
             {rc.left, rc.top, rc.left + c.left, rc.top + c.top},
             {s.left, s.top, s.left + sc.left, s.top + sc.top}},
            {c.top > 0,
             {rc.left + c.left, rc.top, rc.right - c.right, rc.top + c.top},
             {s.left + sc.left, s.top, s.right - sc.right, s.top + sc.top}},
            {c.right > 0 && c.top > 0,
             {rc.right - c.right, rc.top, rc.right, rc.top + c.top},
             {s.right - sc.right, s.top, s.right, s.top + sc.top}},
            // left, right
            {c.left > 0,
             {rc.left, rc.top + c.top, rc.left + c.left, rc.bottom - c.bottom},
             {s.left, s.top + sc.top, s.left + sc.left, s.bottom - sc.bottom}},
            {c.right > 0,
             {rc.right - c.right, rc.top + c.top, rc.right, rc.bottom - c.bottom},
             {s.right - sc.right, s.top + sc.top, s.right, s.bottom - sc.bottom}},
            // bottom-left, bottom, bottom-right
            {c.left > 0 && c.bottom > 0,
             {rc.left, rc.bottom - c.bottom, rc.left + c.left, rc.bottom},
             {s.left, s.bottom - sc.bottom, s.left + sc.left, s.bottom}},
            {c.bottom > 0,
             {rc.left + c.left, rc.bottom - c.bottom, rc.right - c.right, rc.bottom},
             {s.left + sc.left, s.bottom - sc.bottom, s.right - sc.right, s.bottom}},
            {c.right > 0 && c.bottom > 0,
             {rc.right - c.right, rc.bottom - c.bottom, rc.right, rc.bottom},
             {s.right - sc.right, s.bottom - sc.bottom, s.right, s.bottom}},
        };
        for (const Part& part : parts) {
            if (part.present && ::IntersectRect(&tmp, &rcPaint, &part.d)) painter.Draw(part.d, part.s);
        }
    }

    ::SetBrushOrgEx(hDC, oldOrigin.x, oldOrigin.y, nullptr);
    ::SetStretchBltMode(hDC, oldMode);
}

bool CRenderEngine::DrawImageString(HDC hDC, CPaintManagerUI* pManager, const RECT& rcItem, const RECT& rcPaint,
                                    LPCTSTR pStrImage, LPCTSTR pStrModify)
{
    if (!pManager || !hDC || !pStrImage) return false;
    ImageDescription d;
    d.name = pStrImage;
    d.dest = rcItem;
    ParseDescription(hDC, pManager, rcItem, rcPaint, pStrImage, d);
    if (pStrModify) ParseDescription(hDC, pManager, rcItem, rcPaint, pStrModify, d);
    return DrawDescription(hDC, pManager, rcItem, rcPaint, d);
}

// ---- fills and frames ------------------------------------------------------

void CRenderEngine::DrawColor(HDC hDC, const RECT& rc, DWORD color)
{
    if (!hDC || color <= 0x00FFFFFF) return;
    if ((color >> 24) == 0xFF) {
        COLORREF old = ::SetBkColor(hDC, RGB((color >> 16) & 0xFF, (color >> 8) & 0xFF, color & 0xFF));
        ::ExtTextOutW(hDC, 0, 0, ETO_OPAQUE, &rc, nullptr, 0, nullptr);
        ::SetBkColor(hDC, old);
        return;
    }
    const DWORD a = color >> 24;
    const DWORD r = ((color >> 16) & 0xFF) * a / 255;
    const DWORD g = ((color >> 8) & 0xFF) * a / 255;
    const DWORD b = (color & 0xFF) * a / 255;
    const DWORD premultiplied = (a << 24) | (r << 16) | (g << 8) | b;
    if (BlendIntoSelectedDib(hDC, rc, premultiplied)) return;
    // A 1x1 premultiplied pixel stretched over the rectangle: the window's
    // scratch one during a tree's paint.
    RECT source = {0, 0, 1, 1};
    RECT corners = {0, 0, 0, 0};
    if (PaintScratch* scratch = PaintScratch::Current()) {
        if (HBITMAP pixel = scratch->Pixel(premultiplied)) {
            DrawImage(hDC, pixel, rc, rc, source, corners, true, 255);
            return;
        }
    }
    Gdi::Dib32 pixel;
    if (!pixel.Create(1, 1)) return;
    pixel.bits[0] = premultiplied;
    DrawImage(hDC, pixel.bitmap, rc, rc, source, corners, true, 255);
}

void CRenderEngine::DrawGradient(HDC hDC, const RECT& rc, DWORD dwFirst, DWORD dwSecond, bool bVertical, int nSteps)
{
    if (!hDC || Width(rc) <= 0 || Height(rc) <= 0) return;
    const BYTE alpha = static_cast<BYTE>(((dwFirst >> 24) + (dwSecond >> 24)) / 2);
    if (alpha == 0) return;

    // Translucent gradients are drawn off screen and blended at the end.
    HDC target = hDC;
    RECT area = rc;
    Gdi::MemoryDC memDC(hDC);
    Gdi::Bitmap offscreen;
    std::unique_ptr<Gdi::Select> selection;
    if (alpha < 255) {
        if (!memDC) return;
        offscreen.Reset(::CreateCompatibleBitmap(hDC, Width(rc), Height(rc)));
        if (!offscreen) return;
        selection.reset(new Gdi::Select(memDC, offscreen));
        target = memDC;
        area = {0, 0, Width(rc), Height(rc)};
    }

    if (GradientFillFn fill = SystemGradientFill()) {
        TRIVERTEX v[2] = {};
        v[0].x = area.left;
        v[0].y = area.top;
        v[0].Red = static_cast<COLOR16>(((dwFirst >> 16) & 0xFF) << 8);
        v[0].Green = static_cast<COLOR16>(((dwFirst >> 8) & 0xFF) << 8);
        v[0].Blue = static_cast<COLOR16>((dwFirst & 0xFF) << 8);
        v[0].Alpha = 0xFF00;
        v[1].x = area.right;
        v[1].y = area.bottom;
        v[1].Red = static_cast<COLOR16>(((dwSecond >> 16) & 0xFF) << 8);
        v[1].Green = static_cast<COLOR16>(((dwSecond >> 8) & 0xFF) << 8);
        v[1].Blue = static_cast<COLOR16>((dwSecond & 0xFF) << 8);
        v[1].Alpha = 0xFF00;
        GRADIENT_RECT gr = {0, 1};
        fill(target, v, 2, &gr, 1, bVertical ? GRADIENT_FILL_RECT_V : GRADIENT_FILL_RECT_H);
    } else {
        int shift = 1;
        if (nSteps >= 64)
            shift = 6;
        else if (nSteps >= 32)
            shift = 5;
        else if (nSteps >= 16)
            shift = 4;
        else if (nSteps >= 8)
            shift = 3;
        else if (nSteps >= 4)
            shift = 2;
        const int lines = 1 << shift;
        for (int i = 0; i < lines; ++i) {
            auto mix = [&](int sh) {
                int a = (dwFirst >> sh) & 0xFF, b = (dwSecond >> sh) & 0xFF;
                return static_cast<BYTE>((b * i + a * (lines - i)) / lines);
            };
            Gdi::Brush brush(::CreateSolidBrush(RGB(mix(16), mix(8), mix(0))));
            // Band i takes the i-th share from the first colour's edge, so
            // that both paths put the first colour at the top (left).
            RECT band = area;
            if (bVertical) {
                band.top = area.top + ((i * Height(area)) >> shift);
                band.bottom = area.top + (((i + 1) * Height(area)) >> shift);
            } else {
                band.left = area.left + ((i * Width(area)) >> shift);
                band.right = area.left + (((i + 1) * Width(area)) >> shift);
            }
            if (band.bottom > band.top && band.right > band.left) ::FillRect(target, &band, brush);
        }
    }

    if (alpha < 255) {
        BLENDFUNCTION bf = {AC_SRC_OVER, 0, alpha, 0};
        AlphaBlendCall(hDC, rc.left, rc.top, Width(rc), Height(rc), memDC, 0, 0, Width(rc), Height(rc), bf);
    }
}

namespace {

// A one-pixel solid pen of `color`: the device context's own pen, so that
// the thin borders drawn on every paint make no pen object. A pen of width
// 0 or 1 draws the same pixels whether made or the DC's; an inside frame
// shrinks a figure by half its width, nothing at one pixel. The DC's pen
// colour is put back when the scope ends.
class ThinPen {
public:
    ThinPen(HDC hDC, COLORREF color)
        : m_hDC(hDC), m_oldColor(::SetDCPenColor(hDC, color)), m_select(hDC, ::GetStockObject(DC_PEN))
    {}
    ~ThinPen() { ::SetDCPenColor(m_hDC, m_oldColor); }
    ThinPen(const ThinPen&) = delete;
    ThinPen& operator=(const ThinPen&) = delete;

private:
    HDC m_hDC;
    COLORREF m_oldColor;
    Gdi::Select m_select;
};

}  // namespace

void CRenderEngine::DrawLine(HDC hDC, const RECT& rc, int nSize, DWORD dwPenColor, int nStyle)
{
    if (!hDC) return;
    auto line = [&] {
        POINT old;
        ::MoveToEx(hDC, rc.left, rc.top, &old);
        ::LineTo(hDC, rc.right, rc.bottom);
        ::MoveToEx(hDC, old.x, old.y, nullptr);
    };
    if (nStyle == PS_SOLID && nSize <= 1) {
        ThinPen pen(hDC, ToPenColor(dwPenColor));
        line();
        return;
    }
    LOGPEN lg;
    lg.lopnColor = ToPenColor(dwPenColor);
    lg.lopnStyle = nStyle;
    lg.lopnWidth.x = nSize;
    lg.lopnWidth.y = 0;
    Gdi::Pen pen(::CreatePenIndirect(&lg));
    Gdi::Select select(hDC, pen);
    line();
}

void CRenderEngine::DrawRect(HDC hDC, const RECT& rc, int nSize, DWORD dwPenColor)
{
    if (!hDC) return;
    Gdi::Select selectBrush(hDC, ::GetStockObject(HOLLOW_BRUSH));
    if (nSize <= 1) {
        ThinPen pen(hDC, ToPenColor(dwPenColor));
        ::Rectangle(hDC, rc.left, rc.top, rc.right, rc.bottom);
        return;
    }
    Gdi::Pen pen(::CreatePen(PS_SOLID | PS_INSIDEFRAME, nSize, ToPenColor(dwPenColor)));
    Gdi::Select selectPen(hDC, pen);
    ::Rectangle(hDC, rc.left, rc.top, rc.right, rc.bottom);
}

void CRenderEngine::DrawRoundRect(HDC hDC, const RECT& rc, int nSize, int width, int height, DWORD dwPenColor)
{
    if (!hDC) return;
    Gdi::Pen pen(::CreatePen(PS_SOLID | PS_INSIDEFRAME, nSize, ToPenColor(dwPenColor)));
    Gdi::Select selectPen(hDC, pen);
    Gdi::Select selectBrush(hDC, ::GetStockObject(HOLLOW_BRUSH));
    ::RoundRect(hDC, rc.left, rc.top, rc.right, rc.bottom, width, height);
}

// ---- text --------------------------------------------------------------------

void CRenderEngine::DrawText(HDC hDC, CPaintManagerUI* pManager, RECT& rc, LPCTSTR pstrText, DWORD dwTextColor,
                             int iFont, UINT uStyle)
{
    if (!hDC || !pstrText || !pManager) return;
    pstrText = SubstituteLanguage(pManager, pstrText);
    const int oldMode = ::SetBkMode(hDC, TRANSPARENT);
    const COLORREF oldColor = ::SetTextColor(hDC, ToPenColor(dwTextColor));
    {
        TextFontSelection font(hDC);
        font.Use(pManager->GetFont(iFont));
        ::DrawTextW(hDC, pstrText, -1, &rc, uStyle | DT_NOPREFIX);
    }
    ::SetTextColor(hDC, oldColor);
    ::SetBkMode(hDC, oldMode);
}

void CRenderEngine::AlphaDrawText(HDC hDC, CPaintManagerUI* pManager, RECT& rc, LPCTSTR pstrText, DWORD dwTextColor,
                                  int iFont, UINT uStyle)
{
    if (!hDC || !pstrText || !pManager) return;
    pstrText = SubstituteLanguage(pManager, pstrText);
    const int w = Width(rc), h = Height(rc);
    if (w <= 0 || h <= 0) return;

    Gdi::MemoryDC memDC(hDC);
    Gdi::Dib32 dib;
    if (!memDC || !dib.Create(w, h)) return;

    // Draw in a key colour that differs from the text colour, so that the
    // pixels GDI painted with exactly that colour can be told apart from
    // anti-aliased edges.
    const BYTE r = static_cast<BYTE>((((dwTextColor >> 16) & 0xFF) + 1) % 256);
    const BYTE g = static_cast<BYTE>((((dwTextColor >> 8) & 0xFF) + 2) % 256);
    const BYTE b = static_cast<BYTE>(((dwTextColor & 0xFF) + 3) % 256);
    const DWORD key = (DWORD(r) << 16) | (DWORD(g) << 8) | b;
    {
        Gdi::Select selBitmap(memDC, dib.bitmap);
        Gdi::Select selFont(memDC, pManager->GetFont(iFont));
        ::SetBkMode(memDC, TRANSPARENT);
        ::SetTextColor(memDC, RGB(r, g, b));
        RECT local = {0, 0, w, h};
        ::DrawTextW(memDC, pstrText, -1, &local, uStyle | DT_NOPREFIX);
        ::GdiFlush();

        const DWORD textColor = 0xFF000000u | (dwTextColor & 0x00FFFFFF);
        const size_t count = static_cast<size_t>(w) * h;
        for (size_t i = 0; i < count; ++i) {
            const DWORD rgb = dib.bits[i] & 0x00FFFFFF;
            if (rgb == 0)
                dib.bits[i] = 0;
            else if (rgb == key)
                dib.bits[i] = textColor;
            else
                dib.bits[i] = 0xFF000000u | rgb;
        }
        BLENDFUNCTION bf = {AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
        AlphaBlendCall(hDC, rc.left, rc.top, w, h, memDC, 0, 0, w, h, bf);
    }
}

SIZE CRenderEngine::GetTextSize(HDC hDC, CPaintManagerUI* pManager, LPCTSTR pstrText, int iFont, UINT)
{
    SIZE size = {0, 0};
    if (!hDC || !pstrText || !pManager) return size;
    Gdi::Select font(hDC, pManager->GetFont(iFont));
    ::GetTextExtentPoint32W(hDC, pstrText, static_cast<int>(std::wcslen(pstrText)), &size);
    return size;
}

}  // namespace SkinUI
