// Skin images at another display density: the skin's larger pictures
// ("name@2x.png") are taken when they fit, else a picture is resized
// smoothly, and nine-grid corners keep the density's size instead of
// stretching with the middle.
#include "tests/ui/render/Canvas.h"

#include "ui/paint/PaintManagerUI.h"
#include "ui/paint/ImageCache.h"
#include "ui/render/RenderEngine.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>
#include "tests/support/TempFolder.h"

namespace SkinUI {
namespace {

using Test::Canvas;
using Test::EncodePng;

const uint32_t kRed = 0xFF0000FF, kGreen = 0x00FF00FF, kBlue = 0x0000FFFF;  // 0xRRGGBBAA

// A square picture: a ring of `ring` pixels around a green middle.
std::string RingPng(int side, int ring, uint32_t ringColour)
{
    std::vector<uint32_t> rgba;
    for (int y = 0; y < side; ++y)
        for (int x = 0; x < side; ++x) {
            const bool inRing = x < ring || y < ring || x >= side - ring || y >= side - ring;
            rgba.push_back(inRing ? ringColour : kGreen);
        }
    return EncodePng(side, side, rgba);
}

class ScaledImages : public ::testing::Test {
protected:
    void SetUp() override
    {
        // "ring" has a 200 % picture of its own, blue so that it shows.
        ASSERT_TRUE(m_folder.Write(L"ring.png", RingPng(12, 4, kRed)));
        ASSERT_TRUE(m_folder.Write(L"ring@2x.png", RingPng(24, 8, kBlue)));
        ASSERT_TRUE(m_folder.Write(L"plain.png", RingPng(12, 4, kRed)));
        CPaintManagerUI::SetResourcePath(m_dir.c_str());
    }
    vxtest::TempFolder m_folder{L"vornex_scaled_images"};
    const std::wstring m_dir = m_folder.Path();
};

TEST_F(ScaledImages, LargerPicturesAreChosenOrMadeAndCornersKeepTheDensitysSize)
{
    const DWORD red = 0xFF0000, green = 0x00FF00, blue = 0x0000FF;
    struct Case {
        int dpi;
        const wchar_t* image;
        int x;
        DWORD expected;
    } cases[] = {
        {96, L"ring", 2, red},     {96, L"ring", 5, green},    {96, L"ring", 57, red},   {96, L"ring", 54, green},
        // The 200 % picture as it is; its 8-pixel ring is the 4-pixel corner.
        {192, L"ring", 2, blue},   {192, L"ring", 7, blue},    {192, L"ring", 9, green}, {192, L"ring", 52, blue},
        {192, L"ring", 50, green},
        // No 150 % picture: the 200 % one made smaller, corners of 6.
        {144, L"ring", 2, blue},   {144, L"ring", 4, blue},    {144, L"ring", 8, green}, {144, L"ring", 57, blue},
        // No larger picture at all: the 100 % one made larger; a corner
        // stretched with the middle would be green at 5. (The smoothing
        // blurs the ring's inner edge, which the middle then stretches.)
        {192, L"plain", 2, red},   {192, L"plain", 5, red},    {192, L"plain", 20, green},
        {192, L"plain", 54, red},
    };
    for (const Case& c : cases) {
        CPaintManagerUI manager;
        manager.SetDpi(c.dpi);
        Canvas canvas(60, 60, 0xFFFFFFFF);
        const RECT item = {0, 0, 60, 60};
        const std::wstring description = std::wstring(L"file='") + c.image + L".png' corner='4,4,4,4'";
        ASSERT_TRUE(CRenderEngine::DrawImageString(canvas.dc(), &manager, item, item, description.c_str()));
        EXPECT_EQ(canvas.Rgb(c.x, 30), c.expected) << c.dpi << " " << std::string(c.image, c.image + wcslen(c.image))
                                                   << " x=" << c.x;
    }
}

TEST_F(ScaledImages, APictureIsMadeOncePerDensityAndTheSourcePartIsScaledWithIt)
{
    CPaintManagerUI manager;
    manager.SetDpi(192);
    const TImageInfo* first = manager.GetImageForDpi(L"plain.png");
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->nX, 24);
    EXPECT_EQ(manager.GetImageForDpi(L"plain.png"), first);
    manager.SetDpi(96);
    EXPECT_EQ(manager.GetImageForDpi(L"plain.png"), manager.GetImage(L"plain.png"));

    // "source" names the 100 % picture's top-left ring corner: at 200 % the
    // larger picture's corner of twice the size fills the destination.
    manager.SetDpi(192);
    Canvas canvas(16, 16, 0xFFFFFFFF);
    const RECT item = {0, 0, 16, 16};
    ASSERT_TRUE(CRenderEngine::DrawImageString(canvas.dc(), &manager, item, item, L"file='ring.png' source='0,0,4,4'"));
    EXPECT_EQ(canvas.Changed(0xFFFFFFFF).right, 16);
    for (int x : {0, 7, 15}) EXPECT_EQ(canvas.Rgb(x, 8), 0x0000FFu) << x;
}

TEST(ImageVariantName, GoesBeforeTheExtensionOfTheFileNameOnly)
{
    struct Case {
        const wchar_t* name;
        const wchar_t* expected;
    } cases[] = {
        {L"btn.png", L"btn@2x.png"},
        {L"img/btn.close.png", L"img/btn.close@2x.png"},
        {L"skin.v2\\btn", L"skin.v2\\btn@2x"},
        {L"btn", L"btn@2x"},
    };
    for (const Case& c : cases)
        EXPECT_STREQ(static_cast<LPCTSTR>(ImageCache::VariantName(c.name, L"@2x")), c.expected);
}

}  // namespace
}  // namespace SkinUI
