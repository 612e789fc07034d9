// Smooth resizing of premultiplied pixels for skin images drawn at another
// display density.
#include "ui/images/ImageResample.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace SkinUI {
namespace {

uint32_t Channel(uint32_t pixel, int c) { return (pixel >> (8 * c)) & 0xFF; }

TEST(ImageResample, AFlatAreaStaysExactlyFlatAtEverySize)
{
    const uint32_t colour = 0x80402010;  // premultiplied: every channel below alpha
    struct Case {
        int width, height, targetWidth, targetHeight;
    } cases[] = {{1, 1, 2, 2}, {4, 4, 8, 8}, {4, 4, 6, 6}, {4, 4, 5, 5}, {8, 8, 4, 4}, {6, 6, 4, 4}, {3, 7, 11, 2}};
    for (const Case& c : cases) {
        const std::vector<uint32_t> source(static_cast<size_t>(c.width * c.height), colour);
        const std::vector<uint32_t> out = ResamplePremultiplied(source, c.width, c.height, c.targetWidth, c.targetHeight);
        ASSERT_EQ(out.size(), static_cast<size_t>(c.targetWidth * c.targetHeight));
        for (uint32_t pixel : out) EXPECT_EQ(pixel, colour) << c.targetWidth << "x" << c.targetHeight;
    }
}

TEST(ImageResample, GrowingInterpolatesBetweenPixelCentresAndShrinkingAveragesTheCoveredArea)
{
    // One row, grey levels in the lowest channel, opaque.
    auto row = [](std::vector<uint32_t> levels) {
        for (uint32_t& v : levels) v |= 0xFF000000u;
        return levels;
    };
    struct Case {
        std::vector<uint32_t> source;
        int targetWidth;
        std::vector<uint32_t> expected;
    } cases[] = {
        // 2x: the outer halves copy the edge pixels, the inner ones mix 3:1.
        {row({0, 200}), 4, row({0, 50, 150, 200})},
        // Half: pairs are averaged.
        {row({0, 100, 200, 40}), 2, row({50, 120})},
        // Two thirds: each target pixel covers one and a half source pixels.
        {row({0, 90, 180}), 2, row({30, 150})},
    };
    for (const Case& c : cases) {
        const int width = static_cast<int>(c.source.size());
        EXPECT_EQ(ResamplePremultiplied(c.source, width, 1, c.targetWidth, 1), c.expected) << width << "->" << c.targetWidth;
    }
}

TEST(ImageResample, NoColourChannelEverExceedsItsAlpha)
{
    // Hard edges between opaque, translucent and clear pixels.
    const uint32_t palette[] = {0xFFFFFFFF, 0x00000000, 0x80808080, 0x40400000, 0xFF00FF00, 0x10100810};
    std::vector<uint32_t> source;
    for (int i = 0; i < 7 * 5; ++i) source.push_back(palette[(i * 7 + i / 3) % 6]);
    for (int target : {3, 9, 14, 18}) {
        const std::vector<uint32_t> out = ResamplePremultiplied(source, 7, 5, target, target - 1);
        for (uint32_t pixel : out)
            for (int c = 0; c < 3; ++c) ASSERT_LE(Channel(pixel, c), Channel(pixel, 3)) << std::hex << pixel;
    }
}

TEST(ImageResample, BadSizesOrTooFewPixelsGiveNothing)
{
    const std::vector<uint32_t> four(4, 0xFF000000u);
    EXPECT_TRUE(ResamplePremultiplied(four, 0, 4, 2, 2).empty());
    EXPECT_TRUE(ResamplePremultiplied(four, 2, 2, 0, 2).empty());
    EXPECT_TRUE(ResamplePremultiplied(four, 2, 2, 2, -1).empty());
    EXPECT_TRUE(ResamplePremultiplied(four, 3, 3, 6, 6).empty());
}

}  // namespace
}  // namespace SkinUI
