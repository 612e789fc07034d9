// Pixels of the computed drop shadow: the kernel's ramp, the soft edge
// around a window, the transparent hole under it, and hostile shapes.
#include "ui/window/ShadowComposer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>

namespace SkinUI {
namespace {

uint32_t Black(uint32_t alpha) { return alpha << 24; }

struct Shadow {
    ShadowParams params;
    int width, height;
    std::vector<uint32_t> pixels;

    Shadow(const ShadowParams& p, int w, int h, std::vector<ShadowSpan> rows = {}) : params(p), width(w), height(h)
    {
        if (rows.empty()) rows.assign(h, ShadowSpan{0, w});
        ShadowComposer composer(params);
        pixels.assign(static_cast<size_t>(composer.ShadowWidth(w)) * composer.ShadowHeight(h), 0xDEADBEEF);
        ok = composer.Compose(w, h, rows, pixels.data());
    }
    int Width() const { return width + 2 * params.size; }
    uint32_t At(int x, int y) const { return pixels[static_cast<size_t>(y) * Width() + x]; }
    bool ok = false;
};

TEST(ShadowKernel, AlphaFallsLinearlyFromTheCoreToTheRadius)
{
    struct Case {
        int size, sharpness, darkness;
        int dx, dy;
        uint32_t alpha;
    };
    const Case cases[] = {
        // No growth: the ramp starts at the centre, a 1/(sharpness+1) step per pixel.
        {0, 5, 150, 0, 0, 150},
        {0, 5, 150, 1, 0, 125},
        {0, 5, 150, 0, -3, 75},
        {0, 5, 150, 5, 0, 25},
        {0, 5, 150, 1, 1, 114},  // d = 1.414
        {0, 5, 150, 3, 4, 25},   // d = 5, a whole distance off the axes
        {0, 5, 150, 6, 0, 0},
        {0, 5, 150, 4, 4, 0},  // d = 5.66, beyond the radius
        // Growth wider than the edge: a full core of radius size - sharpness.
        {8, 3, 150, 4, 0, 150},
        {8, 3, 150, 5, 0, 150},
        {8, 3, 150, 6, 0, 112},
        {8, 3, 150, -7, 0, 75},
        {8, 3, 150, 0, 8, 37},
        {8, 3, 150, 9, 0, 0},
        {0, 0, 200, 0, 0, 200},  // no edge at all: one full pixel
    };
    for (const Case& c : cases) {
        ShadowParams params;
        params.size = c.size;
        params.sharpness = c.sharpness;
        params.darkness = c.darkness;
        EXPECT_EQ(Black(c.alpha), ShadowComposer(params).KernelPixel(c.dx, c.dy))
            << "size " << c.size << " sharpness " << c.sharpness << " at " << c.dx << "," << c.dy;
    }
}

TEST(ShadowKernel, ColourIsPremultipliedByTheAlpha)
{
    ShadowParams params;
    params.darkness = 150;
    params.color = 0x003264C8;  // red 200, green 100, blue 50
    const ShadowComposer composer(params);
    // 200 * 150 / 255 = 117, 100 * 150 / 255 = 58, 50 * 150 / 255 = 29.
    EXPECT_EQ(0x96753A1Du, composer.FullPixel());
    // alpha 125: 98, 49, 24.
    EXPECT_EQ(0x7D623118u, composer.KernelPixel(1, 0));
}

// Default shadow (darkness 150, sharpness 5, offset 5,5) of a 40 x 30
// window: the shadow window starts 5,5 inside the window, so the window
// covers its columns 0..34 and rows 0..24.
TEST(ShadowCompose, DefaultShadowFadesOutBelowAndRightOfTheWindow)
{
    Shadow shadow(ShadowParams(), 40, 30);
    ASSERT_TRUE(shadow.ok);
    const uint32_t ramp[] = {125, 100, 75, 50, 25};
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(Black(ramp[i]), shadow.At(35 + i, 15)) << "right edge, column " << 35 + i;
        EXPECT_EQ(Black(ramp[i]), shadow.At(20, 25 + i)) << "bottom edge, row " << 25 + i;
    }
    for (int y = 0; y < 25; ++y)
        for (int x = 0; x < 35; ++x) ASSERT_EQ(0u, shadow.At(x, y)) << "under the window at " << x << "," << y;
    EXPECT_EQ(Black(114), shadow.At(35, 25)) << "inner corner, one pixel off both edges";
    EXPECT_EQ(0u, shadow.At(39, 29)) << "rounded outer corner";
    EXPECT_EQ(0u, shadow.At(35, 0)) << "the right edge fades in at the top";
}

TEST(ShadowCompose, GrowthSurroundsTheWindowWithAFullCore)
{
    ShadowParams params;
    params.size = 3;
    params.sharpness = 1;
    params.darkness = 200;
    params.xOffset = 0;
    params.yOffset = 0;
    params.color = 0x000000FF;  // red
    Shadow shadow(params, 40, 30);
    ASSERT_TRUE(shadow.ok);
    const uint32_t full = 0xC8C80000, half = 0x64640000;
    // Left and right of a middle row, top and bottom of a middle column.
    EXPECT_EQ(half, shadow.At(0, 18));
    EXPECT_EQ(full, shadow.At(1, 18));
    EXPECT_EQ(full, shadow.At(2, 18));
    EXPECT_EQ(0u, shadow.At(3, 18));
    EXPECT_EQ(0u, shadow.At(42, 18));
    EXPECT_EQ(full, shadow.At(43, 18));
    EXPECT_EQ(half, shadow.At(45, 18));
    EXPECT_EQ(half, shadow.At(20, 0));
    EXPECT_EQ(full, shadow.At(20, 34));
    EXPECT_EQ(half, shadow.At(20, 35));
}

TEST(ShadowCompose, UnusableSizesAreRefusedWithoutWriting)
{
    struct Case {
        const char* what;
        int size, width, height;
        size_t rows;
    };
    const Case cases[] = {
        {"empty width", 0, 0, 10, 10},
        {"negative height", 0, 10, -4, 0},
        {"shrunk to nothing", -20, 30, 100, 100},
        {"rows do not match", 0, 10, 10, 9},
        {"beyond the largest shadow", 20, ShadowComposer::kMaxExtent, 2, 2},
    };
    for (const Case& c : cases) {
        ShadowParams params;
        params.size = c.size;
        std::vector<ShadowSpan> rows(c.rows, ShadowSpan{0, std::max(c.width, 0)});
        uint32_t sentinel[4] = {1, 2, 3, 4};
        EXPECT_FALSE(ShadowComposer(params).Compose(c.width, c.height, rows, sentinel)) << c.what;
        EXPECT_EQ(1u, sentinel[0]) << c.what;
    }
}

// Odd shapes (empty rows, spans beyond the window, one-pixel rows) under
// every kind of parameter: nothing is written outside the shadow (the
// sanitizers watch), no pixel is darker than the darkness, and the part
// under the window stays clear.
TEST(ShadowCompose, OddShapesStayInsideTheBufferAndClearUnderTheWindow)
{
    const int width = 23, height = 17;
    std::vector<ShadowSpan> shape(height);
    for (int y = 0; y < height; ++y) {
        if (y % 5 == 2)
            shape[y] = {width, 0};  // empty row
        else if (y % 5 == 4)
            shape[y] = {-50, 500};  // beyond the window on both sides
        else
            shape[y] = {(y * 7) % width, (y * 7) % width + 1 + y % 3};
    }
    const int params[][5] = {
        // size, sharpness, darkness, x, y
        {0, 5, 150, 5, 5},    {20, 20, 255, -20, 20}, {-5, 20, 255, 0, 0},  {-8, 0, 90, 20, -20},
        {20, 0, 255, 20, 20}, {7, 7, 1, -3, 4},       {-20, 20, 255, 0, 0}, {3, 19, 200, 0, -7},
    };
    for (const auto& p : params) {
        ShadowParams sp;
        sp.size = p[0];
        sp.sharpness = p[1];
        sp.darkness = p[2];
        sp.xOffset = p[3];
        sp.yOffset = p[4];
        const ShadowComposer composer(sp);
        const int w = composer.ShadowWidth(width), h = composer.ShadowHeight(height);
        char label[64];
        std::snprintf(label, sizeof label, "size %d sharpness %d offset %d,%d", p[0], p[1], p[3], p[4]);
        if (w <= 0 || h <= 0) {
            EXPECT_FALSE(composer.Compose(width, height, shape, nullptr)) << label;
            continue;
        }
        // Guard words on both sides of the buffer.
        std::vector<uint32_t> buffer(static_cast<size_t>(w) * h + 2, 0xA5A5A5A5);
        ASSERT_TRUE(composer.Compose(width, height, shape, buffer.data() + 1)) << label;
        EXPECT_EQ(0xA5A5A5A5u, buffer.front()) << label;
        EXPECT_EQ(0xA5A5A5A5u, buffer.back()) << label;
        for (size_t i = 1; i + 1 < buffer.size(); ++i) ASSERT_LE(buffer[i] >> 24, uint32_t(p[2])) << label;
        for (int y = 0; y < height; ++y) {
            const int sy = y + sp.size - sp.yOffset;
            if (sy < 0 || sy >= h) continue;
            const int left = std::max(shape[y].left, 0), right = std::min(shape[y].right, width);
            for (int x = left; x < right; ++x) {
                const int sx = x + sp.size - sp.xOffset;
                if (sx < 0 || sx >= w) continue;
                EXPECT_EQ(0u, buffer[1 + static_cast<size_t>(sy) * w + sx]) << label;
            }
        }
    }
}

}  // namespace
}  // namespace SkinUI
