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
    // The images are free again for whoever selects or deletes them.
    t_current->ReleaseImage();
    t_current = nullptr;
}

PaintScratch::~PaintScratch() { ReleaseImage(); }

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

}  // namespace SkinUI
