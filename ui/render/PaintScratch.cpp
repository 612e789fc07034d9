#include "ui/render/PaintScratch.h"

#include "ui/render/RenderCache.h"

namespace SkinUI {

namespace {

// Painting happens on the thread that owns the window.
thread_local PaintScratch* t_current = nullptr;

}  // namespace

PaintScratch::Use::Use(CPaintManagerUI* manager)
{
    if (t_current != nullptr || manager == nullptr) return;
    t_current = &RenderCache::Of(*manager).scratch;
    m_set = true;
}

PaintScratch::Use::~Use()
{
    if (!m_set) return;
    // The images are free again for whoever selects or deletes them, and
    // the painted context holds its own font again.
    t_current->ReleaseImage();
    t_current->ReleaseFont();
    t_current = nullptr;
}

PaintScratch::~PaintScratch()
{
    ReleaseImage();
    ReleaseFont();
}

PaintScratch* PaintScratch::Current() { return t_current; }

HDC PaintScratch::SelectImage(HDC compatibleWith, HBITMAP bitmap)
{
    if (!m_imageDC) m_imageDC.Reset(::CreateCompatibleDC(compatibleWith));
    if (!m_imageDC) return nullptr;
    if (bitmap == m_selected) return m_imageDC.Get();
    HGDIOBJ previous = ::SelectObject(m_imageDC, bitmap);
    if (previous == nullptr) return nullptr;  // selected elsewhere, or not a bitmap
    if (m_selected == nullptr) m_ownBitmap = previous;
    m_selected = bitmap;
    return m_imageDC.Get();
}

void PaintScratch::ReleaseImage()
{
    if (m_selected == nullptr) return;
    ::SelectObject(m_imageDC, m_ownBitmap);
    m_selected = nullptr;
}

HBITMAP PaintScratch::Pixel(DWORD premultiplied)
{
    if (!m_pixel.bitmap && !m_pixel.Create(1, 1)) return nullptr;
    ::GdiFlush();  // the last fill has read the pixel
    m_pixel.bits[0] = premultiplied;
    return m_pixel.bitmap.Get();
}

void PaintScratch::SelectFont(HDC dc, HFONT font)
{
    if (dc == nullptr || font == nullptr) return;
    if (::GetCurrentObject(dc, OBJ_FONT) == font) return;
    if (dc != m_fontDC) ReleaseFont();
    HGDIOBJ previous = ::SelectObject(dc, font);
    if (previous == nullptr || m_fontDC != nullptr) return;
    m_fontDC = dc;
    m_originalFont = previous;
}

void PaintScratch::ReleaseFont()
{
    if (m_fontDC == nullptr) return;
    if (::GetCurrentObject(m_fontDC, OBJ_FONT) != m_originalFont) ::SelectObject(m_fontDC, m_originalFont);
    m_fontDC = nullptr;
    m_originalFont = nullptr;
}

}  // namespace SkinUI
