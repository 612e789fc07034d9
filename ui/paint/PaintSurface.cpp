#include "ui/paint/PaintSurface.h"

#include <utility>

namespace SkinUI {

HDC PaintSurface::Prepare(Kind kind, HDC windowDc, int cx, int cy)
{
    if (m_dc && m_kind == kind && m_cx == cx && m_cy == cy) return m_dc.Get();
    Drop();
    if (cx <= 0 || cy <= 0) return nullptr;
    Gdi::Bitmap bitmap;
    DWORD* bits = nullptr;
    if (kind == Kind::Alpha) {
        Gdi::Dib32 dib;
        if (dib.Create(cx, cy)) {
            bitmap = std::move(dib.bitmap);
            bits = dib.bits;
        }
    } else {
        bitmap.Reset(::CreateCompatibleBitmap(windowDc, cx, cy));
    }
    Gdi::CreatedDC dc(::CreateCompatibleDC(windowDc));
    if (!bitmap || !dc) return nullptr;
    m_previous = ::SelectObject(dc, bitmap);
    m_dc = std::move(dc);
    m_bitmap = std::move(bitmap);
    m_bits = bits;
    m_kind = kind;
    m_cx = cx;
    m_cy = cy;
    return m_dc.Get();
}

void PaintSurface::Drop()
{
    // The bitmap leaves its device context before either is deleted: GDI
    // refuses to delete a bitmap that is still selected.
    if (m_dc && m_previous != nullptr) ::SelectObject(m_dc, m_previous);
    m_previous = nullptr;
    m_dc.Reset();
    m_bitmap.Reset();
    m_bits = nullptr;
    m_cx = m_cy = 0;
}

}  // namespace SkinUI
