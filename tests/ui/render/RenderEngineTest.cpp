// Colour fills, gradients, frames, images and image description strings,
// checked pixel by pixel in DIB sections of known size.
#include "Canvas.h"
#include "tests/support/GdiHandleWatch.h"

#include "ui/paint/PaintManagerUI.h"
#include "ui/render/RenderEngine.h"
#include "ui/render/ScopedClip.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

namespace SkinUI {
namespace {

using Test::Canvas;
using Test::GdiHandleWatch;
using Test::MakeBitmap;

bool Near(DWORD actual, DWORD expected, int tolerance = 2)
{
    for (int shift = 0; shift < 24; shift += 8) {
        int a = (actual >> shift) & 0xFF, e = (expected >> shift) & 0xFF;
        if (std::abs(a - e) > tolerance) return false;
    }
    return true;
}

// Runs a test body with the system blend and with the software
// replacement, which must agree.
class BothBlends : public ::testing::TestWithParam<bool> {
protected:
    void SetUp() override { CRenderEngine::ForceSoftwareBlend(GetParam()); }
    void TearDown() override { CRenderEngine::ForceSoftwareBlend(false); }
};

TEST_P(BothBlends, DrawColorFillsBlendsOrSkipsByAlpha)
{
    struct Case {
        DWORD color;
        DWORD background;
        DWORD expected;
    };
    const Case cases[] = {
        {0xFFFF0000, 0xFFFFFFFF, 0xFF0000},  // opaque red fills
        {0x00FF0000, 0xFF123456, 0x123456},  // alpha 0 draws nothing
        {0x80FF0000, 0xFF000000, 0x800000},  // half red over black
        {0x80FF0000, 0xFFFFFFFF, 0xFF7F7F},  // half red over white
    };
    for (const Case& c : cases) {
        Canvas canvas(20, 10, c.background);
        RECT rc = {2, 2, 12, 8};
        CRenderEngine::DrawColor(canvas.dc(), rc, c.color);
        EXPECT_TRUE(Near(canvas.Rgb(5, 5), c.expected)) << std::hex << c.color << " gave " << canvas.Rgb(5, 5);
        EXPECT_EQ(c.background & 0xFFFFFF, canvas.Rgb(15, 5)) << "outside the rectangle";
        EXPECT_EQ(c.background & 0xFFFFFF, canvas.Rgb(12, 8)) << "right and bottom are exclusive";
    }
}

TEST_P(BothBlends, TranslucentImagePixelsComposite)
{
    // Premultiplied half-white over pure blue.
    HBITMAP bitmap = MakeBitmap(4, 4, [](int, int) { return DWORD(0x80808080); });
    Canvas canvas(4, 4, 0xFF0000FF);
    RECT rc = {0, 0, 4, 4}, none = {0, 0, 0, 0};
    CRenderEngine::DrawImage(canvas.dc(), bitmap, rc, rc, rc, none, true, 255);
    EXPECT_TRUE(Near(canvas.Rgb(1, 1), 0x8080FF)) << std::hex << canvas.Rgb(1, 1);

    // A constant fade of 0 leaves the destination alone.
    canvas.Fill(0xFF0000FF);
    CRenderEngine::DrawImage(canvas.dc(), bitmap, rc, rc, rc, none, true, 0);
    EXPECT_EQ(0x0000FFu, canvas.Rgb(1, 1));
    ::DeleteObject(bitmap);
}

// A 32-bit DIB section of either row order, selected into its own DC, with
// every channel of every pixel different so that each rounding shows.
class Surface {
public:
    Surface(int width, int height, bool bottomUp) : m_dc(nullptr), m_width(width), m_height(height)
    {
        BITMAPINFO bmi = {};
        bmi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        bmi.bmiHeader.biWidth = width;
        bmi.bmiHeader.biHeight = bottomUp ? height : -height;
        bmi.bmiHeader.biPlanes = 1;
        bmi.bmiHeader.biBitCount = 32;
        void* bits = nullptr;
        m_bitmap.Reset(::CreateDIBSection(nullptr, &bmi, DIB_RGB_COLORS, &bits, nullptr, 0));
        m_bits = static_cast<DWORD*>(bits);
        for (int i = 0; i < width * height; ++i)
            m_bits[i] = (DWORD(i * 37) & 0xFF) << 24 | (DWORD(i) & 0xFF) << 16 | (DWORD(255 - i) & 0xFF) << 8 |
                        (DWORD(i * 7) & 0xFF);
        m_select.reset(new Gdi::Select(m_dc, m_bitmap));
    }
    HDC dc() const { return m_dc; }
    std::vector<DWORD> Pixels() const
    {
        ::GdiFlush();
        return std::vector<DWORD>(m_bits, m_bits + m_width * m_height);
    }

private:
    Gdi::MemoryDC m_dc;
    Gdi::Bitmap m_bitmap;
    std::unique_ptr<Gdi::Select> m_select;
    DWORD* m_bits = nullptr;
    int m_width, m_height;
};

// "" when both are the same, else where they first differ and how.
std::string FirstDifference(const std::vector<DWORD>& expected, const std::vector<DWORD>& actual, int width)
{
    for (size_t i = 0; i < expected.size(); ++i) {
        if (expected[i] == actual[i]) continue;
        char text[96];
        std::snprintf(text, sizeof(text), "pixel (%d,%d): expected %08lx, got %08lx", int(i % width), int(i / width),
                      static_cast<unsigned long>(expected[i]), static_cast<unsigned long>(actual[i]));
        return text;
    }
    return "";
}

// What a translucent fill is defined as: a premultiplied 1x1 source blended
// over the rectangle through the image path.
void FillThroughImagePath(HDC dc, const RECT& rc, DWORD color)
{
    const DWORD a = color >> 24;
    const DWORD premultiplied = a << 24 | (((color >> 16) & 0xFF) * a / 255) << 16 |
                                (((color >> 8) & 0xFF) * a / 255) << 8 | ((color & 0xFF) * a / 255);
    HBITMAP pixel = MakeBitmap(1, 1, [premultiplied](int, int) { return premultiplied; });
    RECT source = {0, 0, 1, 1}, none = {0, 0, 0, 0};
    CRenderEngine::DrawImage(dc, pixel, rc, rc, source, none, true, 255);
    ::DeleteObject(pixel);
}

TEST_P(BothBlends, TranslucentFillMatchesTheImagePathPixelForPixel)
{
    // How the device context is set up before the fill: the fill must
    // honour its origin and clip exactly as GDI does.
    struct Setup {
        const char* name;
        void (*apply)(HDC);
    };
    const Setup setups[] = {
        {"plain", [](HDC) {}},
        {"moved origin and a clip rectangle",
         [](HDC dc) {
             ::SetViewportOrgEx(dc, 5, -3, nullptr);
             ::IntersectClipRect(dc, 2, 4, 40, 20);
         }},
        {"a clip of two rectangles",
         [](HDC dc) {
             ::IntersectClipRect(dc, 0, 0, 30, 30);
             ::ExcludeClipRect(dc, 10, 8, 20, 14);
         }},
        {"everything clipped away", [](HDC dc) { ::IntersectClipRect(dc, 60, 0, 64, 4); }},
    };
    const DWORD colors[] = {0x01FFFFFF, 0x40FF8000, 0x7F123456, 0x80FF0000, 0xC80080FF, 0xFEFEDCBA};
    const RECT rc = {-4, 2, 45, 27};
    for (bool bottomUp : {false, true})
        for (const Setup& setup : setups)
            for (DWORD color : colors) {
                Surface direct(48, 30, bottomUp), reference(48, 30, bottomUp);
                setup.apply(direct.dc());
                setup.apply(reference.dc());
                CRenderEngine::DrawColor(direct.dc(), rc, color);
                FillThroughImagePath(reference.dc(), rc, color);
                EXPECT_EQ("", FirstDifference(reference.Pixels(), direct.Pixels(), 48))
                    << setup.name << (bottomUp ? ", bottom-up" : ", top-down") << ", colour " << std::hex << color;
            }
}

INSTANTIATE_TEST_SUITE_P(SystemAndSoftware, BothBlends, ::testing::Values(false, true));

class DrawImagePaths : public ::testing::TestWithParam<bool /* alpha */> {};

TEST_P(DrawImagePaths, TilesUnscaledAndCutsTheLastCopy)
{
    // A 10x10 source whose columns are told apart by their red value.
    HBITMAP bitmap = MakeBitmap(10, 10, [](int x, int) { return 0xFF000000u | DWORD((x + 1) * 20) << 16; });
    Canvas canvas(40, 10, 0xFF000000);
    RECT rc = {5, 0, 30, 10}, src = {0, 0, 10, 10}, none = {0, 0, 0, 0};
    CRenderEngine::DrawImage(canvas.dc(), bitmap, rc, rc, src, none, GetParam(), 255, false, true, false);
    for (int x = 5; x < 30; ++x) EXPECT_EQ(DWORD((x - 5) % 10 + 1) * 20 << 16, canvas.Rgb(x, 4)) << "column " << x;
    EXPECT_EQ(0u, canvas.Rgb(30, 4)) << "the third copy is cut to 5 pixels";
    EXPECT_EQ(0u, canvas.Rgb(4, 4));
    ::DeleteObject(bitmap);
}

TEST_P(DrawImagePaths, NineSliceCopiesCornersUnscaledAndHoleSkipsTheMiddle)
{
    // Every source pixel distinct: red = x * 8, green = y * 8.
    auto pixel = [](int x, int y) { return 0xFF000000u | DWORD(x * 8) << 16 | DWORD(y * 8) << 8 | 0x40; };
    HBITMAP bitmap = MakeBitmap(30, 30, pixel);
    Canvas canvas(90, 90, 0xFF000000);
    RECT rc = {0, 0, 90, 90}, src = {0, 0, 30, 30}, corners = {10, 10, 10, 10};
    CRenderEngine::DrawImage(canvas.dc(), bitmap, rc, rc, src, corners, GetParam(), 255, true);
    for (int y = 0; y < 10; ++y) {
        for (int x = 0; x < 10; ++x) {
            ASSERT_EQ(pixel(x, y) & 0xFFFFFF, canvas.Rgb(x, y)) << "top-left " << x << "," << y;
            ASSERT_EQ(pixel(20 + x, 20 + y) & 0xFFFFFF, canvas.Rgb(80 + x, 80 + y)) << "bottom-right";
        }
    }
    EXPECT_EQ(0u, canvas.Rgb(45, 45)) << "hole";
    // The top edge is stretched horizontally only: its rows stay those of
    // the source.
    EXPECT_EQ(DWORD(3 * 8), (canvas.Rgb(45, 3) >> 8) & 0xFF);
    ::DeleteObject(bitmap);
}

TEST_P(DrawImagePaths, DrawsOnlyWhatThePaintRectangleTouches)
{
    HBITMAP bitmap = MakeBitmap(20, 20, [](int, int) { return DWORD(0xFF00FF00); });
    Canvas canvas(20, 20, 0xFF000000);
    RECT rc = {0, 0, 20, 20}, paint = {0, 0, 10, 20}, none = {0, 0, 0, 0};
    CRenderEngine::DrawImage(canvas.dc(), bitmap, rc, paint, rc, none, GetParam(), 255);
    EXPECT_EQ(0x00FF00u, canvas.Rgb(5, 5));
    if (!GetParam()) {
        EXPECT_EQ(0u, canvas.Rgb(15, 5)) << "the plain copy is cut to the paint rectangle";
    }
    CRenderEngine::DrawImage(canvas.dc(), nullptr, rc, rc, rc, none, GetParam(), 255);  // no crash, no effect
    ::DeleteObject(bitmap);
}

INSTANTIATE_TEST_SUITE_P(CopyAndBlend, DrawImagePaths, ::testing::Values(false, true));

TEST(Gradient, RunsFromFirstToSecondColourWithAndWithoutGradientFill)
{
    for (bool software : {false, true}) {
        CRenderEngine::ForceSoftwareGradient(software);
        Canvas canvas(10, 64, 0xFF00FF00);
        RECT rc = {0, 0, 10, 64};
        CRenderEngine::DrawGradient(canvas.dc(), rc, 0xFFFF0000, 0xFF0000FF, true, 64);
        EXPECT_TRUE(Near(canvas.Rgb(5, 0), 0xFF0000, 8)) << software << std::hex << " " << canvas.Rgb(5, 0);
        EXPECT_TRUE(Near(canvas.Rgb(5, 63), 0x0000FF, 8)) << software << std::hex << " " << canvas.Rgb(5, 63);
        EXPECT_TRUE(Near(canvas.Rgb(5, 32), 0x800080, 12)) << software << std::hex << " " << canvas.Rgb(5, 32);

        // Transparent ends draw nothing; translucent ones blend.
        canvas.Fill(0xFF00FF00);
        CRenderEngine::DrawGradient(canvas.dc(), rc, 0x00FF0000, 0x000000FF, false, 8);
        EXPECT_EQ(0x00FF00u, canvas.Rgb(5, 5));
        CRenderEngine::DrawGradient(canvas.dc(), rc, 0x80FF0000, 0x80FF0000, false, 8);
        EXPECT_TRUE(Near(canvas.Rgb(5, 5), 0x807F00, 3)) << std::hex << canvas.Rgb(5, 5);
    }
    CRenderEngine::ForceSoftwareGradient(false);
}

TEST(Frames, PureBlackBecomesBlueOne)
{
    Canvas canvas(20, 20);
    RECT rc = {2, 2, 18, 18};
    CRenderEngine::DrawRect(canvas.dc(), rc, 1, 0xFF000000);
    EXPECT_EQ(0x000001u, canvas.Rgb(2, 10));
    EXPECT_EQ(0xFFFFFFu, canvas.Rgb(10, 10)) << "frames are hollow";
    RECT line = {0, 19, 19, 19};
    CRenderEngine::DrawLine(canvas.dc(), line, 1, 0xFF102030);
    EXPECT_EQ(0x102030u, canvas.Rgb(5, 19));
    canvas.Fill(0xFFFFFFFF);
    CRenderEngine::DrawRoundRect(canvas.dc(), rc, 1, 4, 4, 0xFF000000);
    EXPECT_EQ(0x000001u, canvas.Rgb(10, 2));
    EXPECT_EQ(0xFFFFFFu, canvas.Rgb(2, 2)) << "the corner is rounded off";
}

TEST(Clip, RestoresThePreviousClipAtScopeEnd)
{
    Canvas canvas(20, 20, 0xFF000000);
    GdiHandleWatch watch;
    {
        CRenderClip clip;
        RECT inner = {5, 5, 10, 10};
        CRenderClip::GenerateClip(canvas.dc(), inner, clip);
        RECT all = {0, 0, 20, 20};
        CRenderEngine::DrawColor(canvas.dc(), all, 0xFFFF0000);
        EXPECT_EQ(0xFF0000u, canvas.Rgb(7, 7));
        EXPECT_EQ(0u, canvas.Rgb(2, 2));
        CRenderClip::UseOldClipBegin(canvas.dc(), clip);
        CRenderEngine::DrawColor(canvas.dc(), all, 0xFF00FF00);
        EXPECT_EQ(0x00FF00u, canvas.Rgb(2, 2));
        CRenderClip::UseOldClipEnd(canvas.dc(), clip);
    }
    RECT all = {0, 0, 20, 20};
    CRenderEngine::DrawColor(canvas.dc(), all, 0xFF0000FF);
    EXPECT_EQ(0x0000FFu, canvas.Rgb(2, 2));
    EXPECT_EQ(2u, watch.Created().size()) << "the new clip and the saved one";
    EXPECT_TRUE(watch.Alive().empty()) << watch.Describe();
    watch.Stop();

    CRenderClip round;
    RECT rc = {0, 0, 20, 20};
    CRenderClip::GenerateRoundClip(canvas.dc(), rc, rc, 10, 10, round);
    CRenderEngine::DrawColor(canvas.dc(), rc, 0xFFFF0000);
    EXPECT_EQ(0x0000FFu, canvas.Rgb(0, 0)) << "outside the rounded corner";
    EXPECT_EQ(0xFF0000u, canvas.Rgb(10, 10));
}

// The clip a container sets on every paint: the same clip at every step as
// CRenderClip's, from no clip, a rectangle and a rounded region, and no
// region object made.
TEST(Clip, AScopedClipClipsAsARenderClipWithoutMakingRegions)
{
    enum Start { None, Rectangle, Round };
    for (Start start : {None, Rectangle, Round}) {
        Canvas viaRegions(40, 40, 0xFF000000), viaScope(40, 40, 0xFF000000);
        for (Canvas* canvas : {&viaRegions, &viaScope}) {
            if (start == Rectangle) ::IntersectClipRect(canvas->dc(), 2, 3, 30, 35);
            if (start == Round) {
                Gdi::Region round(::CreateRoundRectRgn(0, 0, 40, 40, 30, 30));
                ::SelectClipRgn(canvas->dc(), round);
            }
        }
        const RECT inner = {8, 8, 36, 20};
        const RECT all = {0, 0, 40, 40};
        // After each step both canvases are painted in that step's colour
        // through the clip in force, and must then be the same.
        auto paintAndCompare = [&](DWORD colour, const char* step) {
            CRenderEngine::DrawColor(viaRegions.dc(), all, colour);
            CRenderEngine::DrawColor(viaScope.dc(), all, colour);
            for (int y = 0; y < 40; ++y)
                for (int x = 0; x < 40; ++x)
                    if (viaRegions.Rgb(x, y) != viaScope.Rgb(x, y)) {
                        ADD_FAILURE() << "start " << start << ", " << step << ": differs at " << x << "," << y;
                        return;
                    }
        };
        GdiHandleWatch watch;
        {
            CRenderClip regions;
            CRenderClip::GenerateClip(viaRegions.dc(), inner, regions);
            ScopedClip scope(viaScope.dc(), inner);
            paintAndCompare(0xFFFF0000, "cut to the rectangle");
            CRenderClip::UseOldClipBegin(viaRegions.dc(), regions);
            scope.UseOuter();
            paintAndCompare(0xFF00FF00, "the outer clip");
            CRenderClip::UseOldClipEnd(viaRegions.dc(), regions);
            scope.UseInner();
            paintAndCompare(0xFF0000FF, "the rectangle");
        }
        paintAndCompare(0xFFFFFF00, "after the scope");
        watch.Stop();
        EXPECT_EQ(2u, watch.Created().size()) << "the render clip's two regions only: " << watch.Describe();
    }
}

// Thin borders are drawn on every paint: with the device context's own pen,
// the same pixels as a pen made for them, and no pen object.
TEST(Frames, ThinFramesAndLinesDrawAsAMadePenWithoutMakingOne)
{
    const RECT frames[] = {{2, 2, 30, 20}, {5, 1, 6, 30}, {0, 0, 40, 40}};
    const DWORD colours[] = {0xFF3E3E3E, 0xFF000000, 0x80FF0000};
    for (const RECT& rc : frames)
        for (DWORD colour : colours)
            for (int width : {0, 1}) {
                Canvas viaEngine(40, 40), viaMadePen(40, 40);
                GdiHandleWatch watch;
                CRenderEngine::DrawRect(viaEngine.dc(), rc, width, colour);
                CRenderEngine::DrawLine(viaEngine.dc(), RECT{rc.left, rc.bottom - 1, rc.right, rc.top}, width, colour);
                EXPECT_TRUE(watch.Created().empty()) << watch.Describe();
                watch.Stop();
                {
                    Gdi::Pen frame(::CreatePen(PS_SOLID | PS_INSIDEFRAME, width, CRenderEngine::ToPenColor(colour)));
                    Gdi::Select pen(viaMadePen.dc(), frame);
                    Gdi::Select brush(viaMadePen.dc(), ::GetStockObject(HOLLOW_BRUSH));
                    ::Rectangle(viaMadePen.dc(), rc.left, rc.top, rc.right, rc.bottom);
                }
                {
                    LOGPEN lg = {PS_SOLID, {width, 0}, CRenderEngine::ToPenColor(colour)};
                    Gdi::Pen line(::CreatePenIndirect(&lg));
                    Gdi::Select pen(viaMadePen.dc(), line);
                    ::MoveToEx(viaMadePen.dc(), rc.left, rc.bottom - 1, nullptr);
                    ::LineTo(viaMadePen.dc(), rc.right, rc.top);
                }
                for (int y = 0; y < 40; ++y)
                    for (int x = 0; x < 40; ++x)
                        ASSERT_EQ(viaMadePen.Rgb(x, y), viaEngine.Rgb(x, y))
                            << "width " << width << ", colour " << std::hex << colour << std::dec << " at " << x << ","
                            << y;
            }
}

TEST(AdjustColor, KeepsNeutralValuesAndShiftsHue)
{
    EXPECT_EQ(0x80123456u, CRenderEngine::AdjustColor(0x80123456, 180, 100, 100));
    // Lowest byte is red: pure red turned by +120 degrees becomes green,
    // alpha untouched.
    EXPECT_EQ(0x7F00FF00u, CRenderEngine::AdjustColor(0x7F0000FF, 300, 100, 100));
    EXPECT_EQ(0xFF000000u, CRenderEngine::AdjustColor(0xFF0000FF, 180, 100, 0)) << "no lightness is black";
    EXPECT_EQ(0xFF808080u & 0xFF000000u, CRenderEngine::AdjustColor(0xFF0000FF, 180, 0, 100) & 0xFF000000u);
    DWORD grey = CRenderEngine::AdjustColor(0xFF0000FF, 180, 0, 100);
    EXPECT_EQ(grey & 0xFF, (grey >> 8) & 0xFF) << "no saturation is grey";
}

// ---- image description strings ---------------------------------------------

class ImageStrings : public ::testing::Test {
protected:
    void SetUp() override
    {
        // Opaque 40x40 green and a 10x10 red with a blue left column.
        m_pm.AddImage(L"green.png", MakeBitmap(40, 40, [](int, int) { return DWORD(0xFF00FF00); }), 40, 40, false);
        m_pm.AddImage(L"red.png",
                      MakeBitmap(10, 10, [](int x, int) { return x == 0 ? DWORD(0xFF0000FF) : DWORD(0xFFFF0000); }), 10,
                      10, false);
    }
    CPaintManagerUI m_pm;
};

TEST_F(ImageStrings, BareNameAndFileKeyDrawTheSame)
{
    RECT item = {0, 0, 20, 20};
    Canvas bare(20, 20), keyed(20, 20);
    EXPECT_TRUE(CRenderEngine::DrawImageString(bare.dc(), &m_pm, item, item, L"green.png"));
    EXPECT_TRUE(CRenderEngine::DrawImageString(keyed.dc(), &m_pm, item, item, L"file='green.png'"));
    for (int i = 0; i < 20 * 20; ++i) ASSERT_EQ(bare.Bits()[i] & 0xFFFFFF, keyed.Bits()[i] & 0xFFFFFF);
    EXPECT_EQ(0x00FF00u, bare.Rgb(19, 19));
}

TEST_F(ImageStrings, DestIsRelativeToTheControlAndCutAtItsEdges)
{
    Canvas canvas(60, 60);
    RECT item = {10, 10, 30, 30}, paint = {0, 0, 60, 60};
    EXPECT_TRUE(CRenderEngine::DrawImageString(canvas.dc(), &m_pm, item, paint, L"file='green.png' dest='5,5,45,45'"));
    RECT drawn = canvas.Changed(0xFFFFFFFF);
    EXPECT_EQ(15, drawn.left);
    EXPECT_EQ(15, drawn.top);
    EXPECT_EQ(30, drawn.right);
    EXPECT_EQ(30, drawn.bottom);
}

TEST_F(ImageStrings, SourceCornerAndModifyStringApply)
{
    Canvas canvas(20, 20);
    RECT item = {0, 0, 20, 20};
    // Only the blue column of red.png, stretched over the control.
    EXPECT_TRUE(CRenderEngine::DrawImageString(canvas.dc(), &m_pm, item, item, L"file='red.png' source='0,0,1,10'"));
    EXPECT_EQ(0xFFu, canvas.Rgb(15, 15));
    // The modify string overrides the destination of the image string.
    canvas.Fill(0xFFFFFFFF);
    EXPECT_TRUE(CRenderEngine::DrawImageString(canvas.dc(), &m_pm, item, item, L"green.png", L"dest='0,0,5,5'"));
    EXPECT_EQ(0x00FF00u, canvas.Rgb(4, 4));
    EXPECT_EQ(0xFFFFFFu, canvas.Rgb(6, 6));
}

TEST_F(ImageStrings, SeveralFileItemsDrawSeveralImages)
{
    Canvas canvas(40, 20);
    RECT item = {0, 0, 40, 20};
    EXPECT_TRUE(CRenderEngine::DrawImageString(canvas.dc(), &m_pm, item, item,
                                               L"file='green.png' dest='0,0,10,10' file='red.png' dest='20,0,30,10'"));
    EXPECT_EQ(0x00FF00u, canvas.Rgb(5, 5));
    EXPECT_EQ(0xFF0000u, canvas.Rgb(25, 5));
    EXPECT_EQ(0xFFFFFFu, canvas.Rgb(15, 5));
}

TEST_F(ImageStrings, ReportsMissingImagesAndStopsAtMalformedItems)
{
    Canvas canvas(20, 20);
    RECT item = {0, 0, 20, 20};
    EXPECT_FALSE(CRenderEngine::DrawImageString(canvas.dc(), &m_pm, item, item, L"file='missing.png'"));
    EXPECT_FALSE(CRenderEngine::DrawImageString(canvas.dc(), &m_pm, item, item, L""));
    EXPECT_FALSE(CRenderEngine::DrawImageString(canvas.dc(), nullptr, item, item, L"green.png"));
    EXPECT_FALSE(CRenderEngine::DrawImageString(nullptr, &m_pm, item, item, L"green.png"));
    // A missing quote ends parsing: the name stays the whole string.
    EXPECT_FALSE(CRenderEngine::DrawImageString(canvas.dc(), &m_pm, item, item, L"file='green.png"));
    // Items must be separated by a blank: parsing ends after the first.
    EXPECT_TRUE(CRenderEngine::DrawImageString(canvas.dc(), &m_pm, item, item, L"file='green.png'dest='0,0,2,2'"));
    EXPECT_EQ(0x00FF00u, canvas.Rgb(10, 10));
}

TEST_F(ImageStrings, FadeAndMaskKeys)
{
    Canvas canvas(20, 20, 0xFF000000);
    RECT item = {0, 0, 20, 20};
    EXPECT_TRUE(CRenderEngine::DrawImageString(canvas.dc(), &m_pm, item, item, L"file='green.png' fade='128'"));
    EXPECT_TRUE(Near(canvas.Rgb(5, 5), 0x008000)) << std::hex << canvas.Rgb(5, 5);
}

// ---- text ----------------------------------------------------------------------

TEST(Text, PureBlackTextIsDrawnAsBlueOne)
{
    CPaintManagerUI pm;
    Canvas canvas(120, 30);
    RECT rc = {0, 0, 120, 30};
    CRenderEngine::DrawText(canvas.dc(), &pm, rc, L"HHHH", 0xFF000000, -1, DT_SINGLELINE);
    EXPECT_GT(canvas.Count(0x000001), 0);
    EXPECT_EQ(0, canvas.Count(0x000000));
}

TEST(Text, AlphaTextMarksTextOpaqueAndBackgroundUntouched)
{
    CPaintManagerUI pm;
    Canvas canvas(120, 30, 0xFF00FF00);
    RECT rc = {0, 0, 120, 30};
    CRenderEngine::AlphaDrawText(canvas.dc(), &pm, rc, L"HHHH", 0xFFFF0000, -1, DT_SINGLELINE);
    EXPECT_GT(canvas.Count(0xFF0000), 0) << "glyph cores in the text colour";
    EXPECT_EQ(0x00FF00u, canvas.Rgb(119, 29)) << "background shows through";
}

TEST(Text, SizeAndLanguageSubstitution)
{
    CPaintManagerUI pm;
    Canvas canvas(10, 10);
    SIZE abc = CRenderEngine::GetTextSize(canvas.dc(), &pm, L"abc", -1, 0);
    SIZE abcabc = CRenderEngine::GetTextSize(canvas.dc(), &pm, L"abcabc", -1, 0);
    EXPECT_GT(abc.cx, 0);
    EXPECT_EQ(pm.GetDefaultFontInfo()->tm.tmHeight, abc.cy);
    EXPECT_EQ(2 * abc.cx, abcabc.cx);
    SIZE none = CRenderEngine::GetTextSize(canvas.dc(), nullptr, L"abc", -1, 0);
    EXPECT_EQ(0, none.cx);

    // A text containing "ID" is replaced by the language string of that name.
    CPaintManagerUI::AddLanguageAttributeList(L"ID_TITLE", L"iiiiiiiiiiiiiiiiiiii");
    Canvas wide(300, 30), plain(300, 30);
    RECT rc = {0, 0, 300, 30};
    CRenderEngine::DrawText(wide.dc(), &pm, rc, L"ID_TITLE", 0xFF000000, -1, DT_SINGLELINE);
    RECT rc2 = rc;
    CRenderEngine::DrawText(plain.dc(), &pm, rc2, L"iiiiiiiiiiiiiiiiiiii", 0xFF000000, -1, DT_SINGLELINE);
    for (int i = 0; i < 300 * 30; ++i) ASSERT_EQ(wide.Bits()[i], plain.Bits()[i]);
    CPaintManagerUI::RemoveLanguageAttributeList(L"ID_TITLE");
}

// ---- resources are released ---------------------------------------------------

TEST(Leaks, ThousandsOfDrawsLeaveNoGdiObjectBehind)
{
    CPaintManagerUI pm;
    pm.AddImage(L"tile.png", MakeBitmap(10, 10, [](int x, int y) { return DWORD(0x80402010 + x + y); }), 10, 10, true);
    Canvas canvas(100, 40);
    // The bold and link variants of the font are created once and then
    // cached by the manager, which owns them beyond this test's scope.
    const wchar_t* const html = L"<b>x</b> <a y>link</a> <c #FF00FF00>z</c>";
    RECT warm = {0, 0, 100, 40};
    int noLinks = 0;
    CRenderEngine::DrawHtmlText(canvas.dc(), &pm, warm, html, 0xFF000000, nullptr, nullptr, noLinks, 0);
    GdiHandleWatch watch;
    const DWORD gdiBefore = ::GetGuiResources(::GetCurrentProcess(), GR_GDIOBJECTS);
    for (int i = 0; i < 3000; ++i) {
        RECT rc = {0, 0, 100, 40}, src = {0, 0, 10, 10}, corners = {2, 2, 2, 2};
        CRenderEngine::DrawColor(canvas.dc(), rc, 0x80FF0000);
        CRenderEngine::DrawGradient(canvas.dc(), rc, 0x80FF0000, 0xFF0000FF, i & 1, 16);
        CRenderEngine::DrawImage(canvas.dc(), static_cast<HBITMAP>(pm.GetImage(L"tile.png")->hBitmap), rc, rc, src,
                                 corners, true, 200, false, true, true);
        CRenderEngine::DrawImageString(canvas.dc(), &pm, rc, rc, L"file='tile.png' corner='2,2,2,2' dest='0,0,50,20'");
        CRenderEngine::DrawRect(canvas.dc(), rc, 1, 0xFF000000);
        CRenderEngine::DrawLine(canvas.dc(), rc, 2, 0xFF00FF00);
        CRenderEngine::AlphaDrawText(canvas.dc(), &pm, rc, L"abc", 0xFF000000, -1, 0);
        int links = 2;
        RECT linkRects[2];
        CUiString linkTexts[2];
        CRenderEngine::DrawHtmlText(canvas.dc(), &pm, rc, html, 0xFF000000, linkRects, linkTexts, links,
                                    DT_CENTER | DT_SINGLELINE);
        CRenderClip clip;
        CRenderClip::GenerateClip(canvas.dc(), rc, clip);
    }
    EXPECT_FALSE(watch.Created().empty());
    EXPECT_TRUE(watch.Alive().empty()) << watch.Describe();
    EXPECT_TRUE(watch.Unreleased().empty()) << watch.Describe();
    EXPECT_EQ(gdiBefore, ::GetGuiResources(::GetCurrentProcess(), GR_GDIOBJECTS));
}

}  // namespace
}  // namespace SkinUI
