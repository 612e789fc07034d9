#include "ui/images/GdiHandles.h"
#include "ui/paint/PaintManagerUI.h"
#include "ui/render/RenderEngine.h"

namespace SkinUI {

HBITMAP CRenderEngine::PaintIntoBitmap(CPaintManagerUI* pManager, RECT rc,
                                       const std::function<void(HDC, const RECT&)>& paint)
{
    if (!pManager || !paint) return nullptr;
    const int width = rc.right - rc.left;
    const int height = rc.bottom - rc.top;
    if (width <= 0 || height <= 0 || rc.left < 0 || rc.top < 0) return nullptr;

    // The control paints in window coordinates, so the canvas reaches from
    // the window's origin to the rectangle's far corner. A 32-bit DIB
    // section is compatible with every device context and keeps alpha.
    Gdi::MemoryDC canvasDC(pManager->GetPaintDC());
    Gdi::Dib32 canvas;
    if (!canvasDC || !canvas.Create(rc.right, rc.bottom)) return nullptr;
    {
        Gdi::Select selected(canvasDC, canvas.bitmap);
        paint(canvasDC, rc);
    }
    ::GdiFlush();

    Gdi::Dib32 result;
    if (!result.Create(width, height)) return nullptr;
    for (int y = 0; y < height; ++y) {
        const DWORD* from = canvas.bits + static_cast<size_t>(rc.top + y) * rc.right + rc.left;
        DWORD* to = result.bits + static_cast<size_t>(y) * width;
        for (int x = 0; x < width; ++x) to[x] = from[x];
    }
    return result.bitmap.Release();
}

}  // namespace SkinUI
