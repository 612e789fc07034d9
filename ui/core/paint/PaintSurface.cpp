#include "ui/core/paint/PaintSurface.h"

#include <utility>

namespace SkinUI {

HDC PaintSurface::Prepare(Kind kind, HDC windowDc, int cx, int cy)
{
    if (m_dc && m_kind == kind && m_cx == cx && m_cy == cy) return m_dc.Get();
    Drop();
    if (cx <= 0 || cy <= 0) return nullptr;
    Gdi::Bitmap bitmap;
    void* bits = nullptr;
    if (kind == Kind::Alpha) {
        BITMAPINFO bmi = {};
        bmi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        bmi.bmiHeader.biWidth = cx;
        bmi.bmiHeader.biHeight = -cy;
        bmi.bmiHeader.biPlanes = 1;
        bmi.bmiHeader.biBitCount = 32;
        bmi.bmiHeader.biCompression = BI_RGB;
        bitmap.Reset(::CreateDIBSection(windowDc, &bmi, DIB_RGB_COLORS, &bits, nullptr, 0));
        if (bits == nullptr) bitmap.Reset();
    } else {
        bitmap.Reset(::CreateCompatibleBitmap(windowDc, cx, cy));
    }
    Gdi::CreatedDC dc(::CreateCompatibleDC(windowDc));
    if (!bitmap || !dc) return nullptr;
    m_previous = ::SelectObject(dc, bitmap);
    m_dc = std::move(dc);
    m_bitmap = std::move(bitmap);
    m_bits = static_cast<DWORD*>(bits);
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
