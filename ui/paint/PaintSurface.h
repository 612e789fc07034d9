#pragma once
// The off-screen pixels a window is painted into before they reach the
// screen: a bitmap compatible with the window for ordinary windows, or a
// 32-bit top-down DIB section for windows with per-pixel alpha. Both stay
// selected into their memory device context between paints and are made
// again when the client size changes.

#include "ui/base/Platform.h"
#include "ui/images/GdiHandles.h"

namespace SkinUI {

class PaintSurface {
public:
    enum class Kind {
        Compatible,
        Alpha
    };

    PaintSurface() = default;
    ~PaintSurface() { Drop(); }
    PaintSurface(const PaintSurface&) = delete;
    PaintSurface& operator=(const PaintSurface&) = delete;

    // The memory device context of a cx×cy surface of `kind`, made when
    // missing or of another size or kind; null when it cannot be made.
    HDC Prepare(Kind kind, HDC windowDc, int cx, int cy);
    void Drop();

    HDC Dc() const { return m_dc.Get(); }
    HBITMAP Bitmap() const { return m_bitmap.Get(); }
    // Pixels of an Alpha surface (premultiplied BGRA, row 0 at the top).
    DWORD* Bits() const { return m_bits; }
    int Width() const { return m_cx; }
    int Height() const { return m_cy; }

private:
    Gdi::CreatedDC m_dc;
    Gdi::Bitmap m_bitmap;
    HGDIOBJ m_previous = nullptr;  // what the DC held before the bitmap
    DWORD* m_bits = nullptr;
    Kind m_kind = Kind::Compatible;
    int m_cx = 0;
    int m_cy = 0;
};

}  // namespace SkinUI
