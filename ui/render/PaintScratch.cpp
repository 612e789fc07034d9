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
    if (m_set) t_current = nullptr;
}

PaintScratch* PaintScratch::Current() { return t_current; }

HDC PaintScratch::ImageDC(HDC compatibleWith)
{
    if (!m_imageDC) m_imageDC.Reset(::CreateCompatibleDC(compatibleWith));
    return m_imageDC.Get();
}

HBITMAP PaintScratch::Pixel(DWORD premultiplied)
{
    if (!m_pixel.bitmap && !m_pixel.Create(1, 1)) return nullptr;
    ::GdiFlush();  // the last fill has read the pixel
    m_pixel.bits[0] = premultiplied;
    return m_pixel.bitmap.Get();
}

}  // namespace SkinUI
