#pragma once
// The pixels of a computed drop shadow: a soft-edged copy of a window's
// shape, shifted by an offset, grown or shrunk by a size, with the part
// under the window itself left transparent.
//
// Pure arithmetic on a pixel buffer, so it builds and is tested natively.
// The window side (CWndShadow) gathers the shape from the window's region
// and hands the pixels to UpdateLayeredWindow.

#include <cstdint>
#include <vector>

namespace SkinUI {

// Columns [left, right) of one row; empty when left >= right.
struct ShadowSpan {
    int left;
    int right;
    bool Empty() const { return left >= right; }
};

struct ShadowParams {
    int size = 0;        // how far the shadow extends beyond the window on every side (-20..20)
    int sharpness = 5;   // width of the fading edge (0..20)
    int darkness = 150;  // alpha of the darkest pixel (0..255)
    int xOffset = 5;     // shift of the shadow relative to the window (-20..20)
    int yOffset = 5;     // (-20..20)
    uint32_t color = 0;  // 0x00BBGGRR, as a COLORREF
};

class ShadowComposer {
public:
    // Largest shadow side accepted, in pixels: far beyond any screen, small
    // enough that a hostile size never asks for gigabytes.
    static const int kMaxExtent = 16384;

    explicit ShadowComposer(const ShadowParams& params);

    // The shadow's size for a window of width x height (both may come out
    // zero or negative for a negative size: nothing to draw then).
    int ShadowWidth(int width) const { return width + 2 * m_params.size; }
    int ShadowHeight(int height) const { return height + 2 * m_params.size; }

    // Premultiplied 0xAARRGGBB of the darkest pixel, and of the kernel
    // pixel at distance (dx, dy) from its centre.
    uint32_t FullPixel() const { return m_full; }
    uint32_t KernelPixel(int dx, int dy) const;

    // Fills `pixels` (ShadowWidth x ShadowHeight, row 0 at the top, cleared
    // here first). `rows` holds, for each of the window's `height` rows, the
    // columns inside the window's shape: from the first column inside to
    // one past the last one (an empty span for a row with none). False, with
    // nothing written, when the sizes are unusable.
    bool Compose(int width, int height, const std::vector<ShadowSpan>& rows, uint32_t* pixels) const;

private:
    uint32_t Premultiplied(int alpha) const;
    void BuildKernel();

    ShadowParams m_params;
    int m_radius = 0;  // kernel radius: max(size, sharpness)
    int m_core = 0;    // radius of the full-darkness core of the kernel
    uint32_t m_full = 0;
    std::vector<uint32_t> m_kernel;  // (2r + 1)^2, row by row
};

}  // namespace SkinUI
