// Decoding skin images into premultiplied DIB sections, GIF frames, the
// byte sources, and the DIB-section image class used by the shadow.
#include "tests/ui/render/Canvas.h"
#include "tests/support/GdiHandleWatch.h"

#include "ui/paint/PaintManagerUI.h"
#include "ui/images/GifHandler.h"
#include "ui/images/Image9Region.h"
#include "ui/render/RenderEngine.h"
#include "ui/images/UiColor.h"
#include "ui/images/UiImage.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include "tests/support/TempFolder.h"

namespace SkinUI {
namespace {

using Test::EncodePng;
using Test::GdiHandleWatch;

struct ImageDeleter {
    void operator()(const tagTImageInfo* p) const { CRenderEngine::FreeImage(p); }
};
using ImagePtr = std::unique_ptr<const tagTImageInfo, ImageDeleter>;

ImagePtr Decode(const std::string& bytes, DWORD mask = 0)
{
    return ImagePtr(CRenderEngine::LoadImageFromMemory(bytes.data(), bytes.size(), mask));
}

std::vector<DWORD> PixelsOf(HBITMAP bitmap, int count)
{
    DIBSECTION section = {};
    EXPECT_EQ(sizeof(section), static_cast<size_t>(::GetObject(bitmap, sizeof(section), &section)));
    EXPECT_EQ(32, section.dsBm.bmBitsPixel);
    const DWORD* bits = static_cast<const DWORD*>(section.dsBm.bmBits);
    return std::vector<DWORD>(bits, bits + count);
}

TEST(ImageDecode, PremultipliesAndMarksTranslucentImages)
{
    struct Case {
        uint32_t rgba;   // 0xRRGGBBAA in the file
        DWORD expected;  // 0xAARRGGBB premultiplied
    };
    const Case cases[] = {
        {0xFFFFFF80, 0x80808080},  // half-transparent white: 255 * 128 / 255
        {0x0A141E00, 0x00000000},  // fully transparent: colour dropped
        {0x010203FF, 0xFF010203},  // opaque: copied as is
        {0xC8640080, 0x80643200},  // 200,100,0 at 128
    };
    std::vector<uint32_t> rgba;
    for (const Case& c : cases) rgba.push_back(c.rgba);
    ImagePtr image = Decode(EncodePng(4, 1, rgba));
    ASSERT_TRUE(image);
    EXPECT_EQ(4, image->nX);
    EXPECT_EQ(1, image->nY);
    EXPECT_TRUE(image->alphaChannel);
    std::vector<DWORD> pixels = PixelsOf(image->hBitmap, 4);
    for (size_t i = 0; i < pixels.size(); ++i) EXPECT_EQ(cases[i].expected, pixels[i]) << "pixel " << i;
}

TEST(ImageDecode, OpaqueImageNeedsNoBlendingAndKeepsRowOrder)
{
    ImagePtr image = Decode(EncodePng(1, 2, {0xFF0000FF, 0x0000FFFF}));
    ASSERT_TRUE(image);
    EXPECT_FALSE(image->alphaChannel);
    std::vector<DWORD> pixels = PixelsOf(image->hBitmap, 2);
    EXPECT_EQ(0xFFFF0000u, pixels[0]);  // top row red
    EXPECT_EQ(0xFF0000FFu, pixels[1]);  // bottom row blue
}

TEST(ImageDecode, MaskTurnsMatchingPixelsTransparent)
{
    const std::string png = EncodePng(2, 1, {0xFF00FFFF, 0x00FF00FF});  // opaque magenta, opaque green
    ImagePtr masked = Decode(png, 0xFFFF00FF);
    ASSERT_TRUE(masked);
    EXPECT_TRUE(masked->alphaChannel);
    std::vector<DWORD> pixels = PixelsOf(masked->hBitmap, 2);
    EXPECT_EQ(0u, pixels[0]);
    EXPECT_EQ(0xFF00FF00u, pixels[1]);

    ImagePtr unmasked = Decode(png);
    ASSERT_TRUE(unmasked);
    EXPECT_FALSE(unmasked->alphaChannel);
}

TEST(ImageDecode, RefusesBadAndOversizedInputWithoutLeaking)
{
    GdiHandleWatch watch;
    std::string truncated = EncodePng(8, 8, std::vector<uint32_t>(64, 0xFFFFFFFF));
    truncated.resize(truncated.size() / 2);
    std::string huge = EncodePng(1, 1, {0xFFFFFFFF});
    // Rewrite the width in IHDR to 16385 (the chunk's CRC is then wrong as
    // well, which the decoder must not care about before refusing).
    huge[16] = 0;
    huge[17] = 0;
    huge[18] = 0x40;
    huge[19] = 0x01;
    const std::string cases[] = {std::string(), std::string("not an image"), truncated, huge};
    for (const std::string& bytes : cases) EXPECT_FALSE(Decode(bytes)) << bytes.size() << " bytes";
    EXPECT_EQ(nullptr, CRenderEngine::LoadImageFromMemory(nullptr, 10));
    EXPECT_TRUE(watch.Alive().empty()) << watch.Describe();
}

TEST(ImageDecode, AcceptsSixteenThousandPixelsOnASide)
{
    ImagePtr image = Decode(EncodePng(16384, 1, std::vector<uint32_t>(16384, 0x11223344)));
    ASSERT_TRUE(image);
    EXPECT_EQ(16384, image->nX);
}

// Two 1x1 frames over a red/blue palette: delay 0, then 20 hundredths.
std::string TwoFrameGif()
{
    const unsigned char bytes[] = {
        'G',  'I',  'F',  '8',  '9',  'a',  1, 0, 1, 0, 0x80, 0, 0,              // screen, 2-colour table
        0xFF, 0x00, 0x00, 0x00, 0x00, 0xFF,                                      // red, blue
        0x21, 0xF9, 4,    0x00, 0,    0,    0, 0,                                // delay 0
        0x2C, 0,    0,    0,    0,    1,    0, 1, 0, 0, 2,    2, 0x44, 0x01, 0,  // frame: index 0
        0x21, 0xF9, 4,    0x00, 20,   0,    0, 0,                                // delay 20
        0x2C, 0,    0,    0,    0,    1,    0, 1, 0, 0, 2,    2, 0x4C, 0x01, 0,  // frame: index 1
        0x3B};
    return std::string(reinterpret_cast<const char*>(bytes), sizeof(bytes));
}

TEST(ImageDecode, GifFramesCarryDelaysAndZeroBecomesOneHundredMs)
{
    const std::string gif = TwoFrameGif();
    std::unique_ptr<CGifHandler> handler(CRenderEngine::LoadGifFromMemory(gif.data(), gif.size(), 0));
    ASSERT_TRUE(handler);
    ASSERT_EQ(2, handler->GetFrameCount());

    tagTImageInfo* first = handler->GetNextFrameInfo();
    tagTImageInfo* second = handler->GetNextFrameInfo();
    ASSERT_TRUE(first && second);
    EXPECT_EQ(100, first->delay);
    EXPECT_EQ(200, second->delay);
    EXPECT_TRUE(first->alphaChannel);
    EXPECT_EQ(0xFFFF0000u, PixelsOf(first->hBitmap, 1)[0]);
    EXPECT_EQ(0xFF0000FFu, PixelsOf(second->hBitmap, 1)[0]);
    // The index wraps after the last frame.
    EXPECT_EQ(first, handler->GetCurrentFrameInfo());
}

TEST(ImageDecode, UndecodableGifGivesAnEmptyHandler)
{
    std::unique_ptr<CGifHandler> handler(CRenderEngine::LoadGifFromMemory("GIF89a", 6, 0));
    ASSERT_TRUE(handler);
    EXPECT_EQ(0, handler->GetFrameCount());
    EXPECT_EQ(nullptr, handler->GetNextFrameInfo());
}

// ---- byte sources ---------------------------------------------------------

class ImageSources : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_folder.Write(L"skin.png", EncodePng(3, 2, std::vector<uint32_t>(6, 0x336699FF))));
        ASSERT_TRUE(m_folder.Write(L"empty.png", std::string()));
    }
    vxtest::TempFolder m_folder{L"vornex_render_images"};
    const std::wstring m_dir = m_folder.Path();
};

TEST_F(ImageSources, ReadsFromTheSkinFolderThenFromThePathItself)
{
    ImagePtr byPath(CRenderEngine::LoadImage((m_dir + L"skin.png").c_str()));
    ASSERT_TRUE(byPath);
    EXPECT_EQ(3, byPath->nX);

    CPaintManagerUI::SetResourcePath(m_dir.c_str());
    ImagePtr bySkinFolder(CRenderEngine::LoadImage(L"skin.png"));
    ASSERT_TRUE(bySkinFolder);
    EXPECT_EQ(2, bySkinFolder->nY);

    std::unique_ptr<CGifHandler> notAGif(CRenderEngine::LoadGif(L"skin.png"));
    ASSERT_TRUE(notAGif);
    EXPECT_EQ(0, notAGif->GetFrameCount());
}

TEST_F(ImageSources, MissingEmptyOrUnknownSourcesGiveNull)
{
    CPaintManagerUI::SetResourcePath(m_dir.c_str());
    EXPECT_FALSE(ImagePtr(CRenderEngine::LoadImage(L"empty.png")));
    EXPECT_FALSE(ImagePtr(CRenderEngine::LoadImage(L"nowhere.png")));
    EXPECT_FALSE(ImagePtr(CRenderEngine::LoadImage(L"skin.png", L"NOSUCHTYPE")));
    EXPECT_EQ(nullptr, CRenderEngine::LoadGif(L"nowhere.gif"));
}

// ---- small value classes ----------------------------------------------------

TEST(UiColor, PacksRedLowestAndConvertsForGdi)
{
    UiColor c(0x11, 0x22, 0x33, 0x80);
    EXPECT_EQ(0x80332211u, c.GetValue());
    EXPECT_EQ(0x00332211u, static_cast<DWORD>(c));
    EXPECT_EQ(0u, c.GetGDICompatibleValue());  // translucent
    c.SetColor(0x00445566);
    EXPECT_EQ(255, c.GetA());
    EXPECT_EQ(0x00445566u, c.GetGDICompatibleValue());
    c.SetA(7);
    c.ReplaceRGB(1, 2, 3);
    EXPECT_EQ(0x07030201u, c.GetValue());

    UiColor* shared = UiColor::CreateInstance(0xFF000000);
    shared->AddRef();
    shared->Release();
    shared->Release();  // deleted here; the sanitizer-free build relies on no crash
}

TEST(Image9Region, SetsTheEightBorderSizes)
{
    Image9Region r;
    r.Set(1, 2, 3, 4);
    EXPECT_EQ(1, r.topLeftWidth);
    EXPECT_EQ(1, r.leftWidth);
    EXPECT_EQ(1, r.bottomLeftWidth);
    EXPECT_EQ(2, r.topHeight);
    EXPECT_EQ(3, r.topRightWidth);
    EXPECT_EQ(3, r.rightWidth);
    EXPECT_EQ(3, r.bottomRightWidth);
    EXPECT_EQ(4, r.bottomHeight);
    r.Set(5, 6);
    EXPECT_EQ(5, r.bottomRightWidth);
    EXPECT_EQ(6, r.bottomHeight);
}

// ---- the shadow's image class -----------------------------------------------

TEST(UiImage, CreatesEmptyImagesWithTopRowFirst)
{
    const int images = CUiImage::GetLiveImageCount();
    {
        CUiImage bottomUp, topDown;
        ASSERT_TRUE(bottomUp.CreateEmptyImage(4, 3, 32, BI_RGB));
        ASSERT_TRUE(topDown.Create(4, -3, 32));
        EXPECT_EQ(-16, bottomUp.GetPitch());
        EXPECT_EQ(16, topDown.GetPitch());
        EXPECT_TRUE(bottomUp.HasAlphaChannel());
        EXPECT_EQ(images + 2, CUiImage::GetLiveImageCount());

        // Row 0 through GetBits is the top row on screen for both layouts.
        for (CUiImage* image : {&bottomUp, &topDown}) {
            static_cast<DWORD*>(image->GetBits())[0] = 0xFF123456;
            SkinUI::Test::Canvas canvas(4, 3, 0xFF000000);
            HDC dc = image->GetDC();
            ASSERT_TRUE(dc);
            EXPECT_EQ(dc, image->GetDC()) << "nested GetDC shares the context";
            image->ReleaseDC();
            ::BitBlt(canvas.dc(), 0, 0, 4, 3, dc, 0, 0, SRCCOPY);
            image->ReleaseDC();
            EXPECT_EQ(0x123456u, canvas.Rgb(0, 0));
        }
    }
    EXPECT_EQ(images, CUiImage::GetLiveImageCount());
}

TEST(UiImage, DetachHandsOverTheBitmapAndRefusesBadSizes)
{
    CUiImage image;
    EXPECT_FALSE(image.CreateEmptyImage(0, 5, 32));
    EXPECT_FALSE(image.CreateEmptyImage(5, 5, 7));
    ASSERT_TRUE(image.CreateEmptyImage(5, 5, 8));   // palettised
    ASSERT_TRUE(image.CreateEmptyImage(2, 2, 32));  // replaces the previous one
    HBITMAP bitmap = image.Detach();
    EXPECT_TRUE(image.IsNull());
    EXPECT_EQ(nullptr, image.GetBits());
    BITMAP bm;
    ASSERT_EQ(static_cast<int>(sizeof(bm)), ::GetObject(bitmap, sizeof(bm), &bm));
    EXPECT_EQ(2, bm.bmWidth);
    ::DeleteObject(bitmap);
}

TEST(UiImage, DeviceContextCacheKeepsAtMostFourAndFreesTheRest)
{
    CUiImage::ClearDCCache();
    GdiHandleWatch watch;
    {
        CUiImage images[6];
        for (CUiImage& image : images) ASSERT_TRUE(image.CreateEmptyImage(2, 2, 32));
        for (CUiImage& image : images) ASSERT_TRUE(image.GetDC());
        for (CUiImage& image : images) image.ReleaseDC();
    }
    // Six bitmaps and six contexts were created; the bitmaps went with their
    // images and four contexts went back to the cache.
    EXPECT_EQ(12u, watch.Created().size());
    const std::vector<HGDIOBJ> alive = watch.Alive();
    EXPECT_EQ(4u, alive.size()) << watch.Describe();
    for (HGDIOBJ h : alive) EXPECT_EQ(OBJ_MEMDC, static_cast<int>(::GetObjectType(h)));
    CUiImage::ClearDCCache();
    EXPECT_TRUE(watch.Alive().empty()) << watch.Describe();
}

}  // namespace
}  // namespace SkinUI
