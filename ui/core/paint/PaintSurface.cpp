#include "ui/core/paint/PaintSurface.h"

namespace SkinUI {

HDC PaintSurface::Prepare(Kind kind, HDC windowDc, int cx, int cy)
{
    if (m_dc != nullptr && m_kind == kind && m_cx == cx && m_cy == cy) return m_dc;
    Drop();
    if (cx <= 0 || cy <= 0) return nullptr;
    HBITMAP bitmap = nullptr;
    void* bits = nullptr;
    if (kind == Kind::Alpha) {
        BITMAPINFO bmi = {};
        bmi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        bmi.bmiHeader.biWidth = cx;
        bmi.bmiHeader.biHeight = -cy;
        bmi.bmiHeader.biPlanes = 1;
        bmi.bmiHeader.biBitCount = 32;
        bmi.bmiHeader.biCompression = BI_RGB;
        bitmap = ::CreateDIBSection(windowDc, &bmi, DIB_RGB_COLORS, &bits, nullptr, 0);
        if (bitmap != nullptr && bits == nullptr) {
            ::DeleteObject(bitmap);
            bitmap = nullptr;
        }
    } else {
        bitmap = ::CreateCompatibleBitmap(windowDc, cx, cy);
    }
    if (bitmap == nullptr) return nullptr;
    HDC dc = ::CreateCompatibleDC(windowDc);
    if (dc == nullptr) {
        ::DeleteObject(bitmap);
        return nullptr;
    }
    m_dc = dc;
    m_bitmap = bitmap;
    m_previous = ::SelectObject(dc, bitmap);
    m_bits = static_cast<DWORD*>(bits);
    m_kind = kind;
    m_cx = cx;
    m_cy = cy;
    return m_dc;
}

void PaintSurface::Drop()
{
    // The bitmap leaves its device context before either is deleted: GDI
    // refuses to delete a bitmap that is still selected.
    if (m_dc != nullptr) {
        if (m_previous != nullptr) ::SelectObject(m_dc, m_previous);
        ::DeleteDC(m_dc);
    }
    if (m_bitmap != nullptr) ::DeleteObject(m_bitmap);
    m_dc = nullptr;
    m_bitmap = nullptr;
    m_previous = nullptr;
    m_bits = nullptr;
    m_cx = m_cy = 0;
}

}  // namespace SkinUI
