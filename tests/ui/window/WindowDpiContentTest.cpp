// What a skinned window draws inside its controls at 150 % and 200 %: the
// default font, pictures inside marked-up text, the frames of an animated
// background and the scroll steps follow the window's density like every
// other skin length, and at 100 % stay exactly what they were.

#include "tests/support/MessagePump.h"
#include "tests/ui/render/Canvas.h"
#include "tests/ui/window/DpiTestWindow.h"
#include "ui/base/DpiScale.h"
#include "ui/controls/ContainerUI.h"
#include "ui/controls/ScrollBarUI.h"
#include "ui/images/DensityGif.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

using namespace SkinUI;
using namespace SkinUI::WindowTest;

namespace {

const DWORD kWhite = 0xFFFFFF, kRed = 0xFF0000, kGreen = 0x00FF00, kBlue = 0x0000FF;
const int kDensities[] = {96, 144, 192};

// Where the skins of these tests find their pictures.
const wchar_t kFolder[] = L"dpi_content\\";

// An animated GIF of `frames`, each `width` x `height` palette indices into
// red, green, blue, black; every frame shown for 50 ms.
std::string EncodeGif(int width, int height, const std::vector<std::vector<int>>& frames)
{
    std::string gif = "GIF89a";
    auto put16 = [&gif](int v) {
        gif += static_cast<char>(v & 0xFF);
        gif += static_cast<char>((v >> 8) & 0xFF);
    };
    put16(width);
    put16(height);
    gif += std::string("\x81\x00\x00", 3);  // a table of 4 colours
    gif += std::string("\xFF\x00\x00\x00\xFF\x00\x00\x00\xFF\x00\x00\x00", 12);
    for (const std::vector<int>& indices : frames) {
        gif += std::string("\x21\xF9\x04\x04", 4);  // kept in place, 5 hundredths
        put16(5);
        gif += std::string("\x00\x00", 2);
        gif += '\x2C';
        put16(0);
        put16(0);
        put16(width);
        put16(height);
        gif += '\x00';
        // Codes of 3 bits: a clear code (4) before every pixel keeps the
        // code table, and so the code width, from growing.
        std::string data;
        unsigned bits = 0, count = 0;
        auto code = [&](unsigned c) {
            bits |= c << count;
            count += 3;
            while (count >= 8) {
                data += static_cast<char>(bits & 0xFF);
                bits >>= 8;
                count -= 8;
            }
        };
        for (int index : indices) {
            code(4);
            code(static_cast<unsigned>(index));
        }
        code(5);
        if (count > 0) data += static_cast<char>(bits & 0xFF);
        gif += '\x02';
        for (size_t at = 0; at < data.size(); at += 255) {
            const std::string block = data.substr(at, 255);
            gif += static_cast<char>(block.size());
            gif += block;
        }
        gif += '\x00';
    }
    gif += '\x3B';
    return gif;
}

std::vector<int> Filled(int width, int height, int index) { return std::vector<int>(width * height, index); }

// Left half red, right half blue.
std::vector<int> Halves(int width, int height)
{
    std::vector<int> pixels;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) pixels.push_back(x < width / 2 ? 0 : 2);
    return pixels;
}

// Two frames side by side, red then blue: frame 1 is blue.
std::string StripPng(int frameWidth, int height, uint32_t second)
{
    std::vector<uint32_t> rgba;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < 2 * frameWidth; ++x) rgba.push_back(x < frameWidth ? 0xFF0000FF : second);
    return SkinUI::Test::EncodePng(2 * frameWidth, height, rgba);
}

class DpiContent : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        Dir() = std::wstring(CPaintManagerUI::GetInstancePath().GetData()) + kFolder;
        ::CreateDirectoryW(Dir().c_str(), nullptr);
        // 8 x 6 frames; the 200 % strip shows green as its frame 1.
        Write(L"strip.png", StripPng(8, 6, 0x0000FFFF));
        Write(L"strip@2x.png", StripPng(16, 12, 0x00FF00FF));
        Write(L"anim.gif", EncodeGif(8, 4, {Filled(8, 4, 0), Filled(8, 4, 2)}));
        Write(L"anim@2x.gif", EncodeGif(16, 8, {Filled(16, 8, 1), Filled(16, 8, 3)}));
        Write(L"halves.gif", EncodeGif(8, 4, {Halves(8, 4), Halves(8, 4)}));
    }
    static void TearDownTestSuite()
    {
        for (const wchar_t* name : {L"strip.png", L"strip@2x.png", L"anim.gif", L"anim@2x.gif", L"halves.gif"})
            ::DeleteFileW((Dir() + name).c_str());
        ::RemoveDirectoryW(Dir().c_str());
    }
    static std::wstring& Dir()
    {
        static std::wstring dir;
        return dir;
    }
    static void Write(const wchar_t* name, const std::string& bytes)
    {
        FILE* f = _wfopen((Dir() + name).c_str(), L"wb");
        ASSERT_TRUE(f);
        fwrite(bytes.data(), 1, bytes.size(), f);
        fclose(f);
    }
};

struct Box {
    RECT rc;
    int pixels;
};

// Bounding box of the window's pixels inside `area` that are not white.
Box Painted(HWND hwnd, const RECT& area)
{
    Box box = {{area.right, area.bottom, area.left - 1, area.top - 1}, 0};
    for (int y = area.top; y < area.bottom; ++y)
        for (int x = area.left; x < area.right; ++x) {
            if (SkinUI::Test::PixelOf(hwnd, x, y) == kWhite) continue;
            ++box.pixels;
            box.rc.left = std::min<LONG>(box.rc.left, x);
            box.rc.top = std::min<LONG>(box.rc.top, y);
            box.rc.right = std::max<LONG>(box.rc.right, x + 1);
            box.rc.bottom = std::max<LONG>(box.rc.bottom, y + 1);
        }
    return box;
}

int HeightOf(HFONT font)
{
    LOGFONTW lf = {};
    ::GetObjectW(font, sizeof(lf), &lf);
    return lf.lfHeight;
}

}  // namespace

TEST_F(DpiContent, TheDefaultFontIsMadeAtTheWindowsDensityFromIts100PercentSize)
{
    // Without fonts, and with a default font of the skin's.
    const wchar_t* const skins[] = {
        L"<Window size=\"200,100\"><VerticalLayout><Label name=\"l\" text=\"Ag\"/></VerticalLayout></Window>",
        L"<Window size=\"200,100\"><Font name=\"Tahoma\" size=\"15\" default=\"true\"/>"
        L"<VerticalLayout><Label name=\"l\" text=\"Ag\"/></VerticalLayout></Window>",
    };
    LOGFONTW stock = {};
    ::GetObjectW(::GetStockObject(DEFAULT_GUI_FONT), sizeof(stock), &stock);
    for (int skin = 0; skin < 2; ++skin) {
        SCOPED_TRACE(skin);
        int textHeightAt96 = 0;
        for (int density : kDensities) {
            SCOPED_TRACE(density);
            DpiOverride dpi(density);
            ScaledWindow window(skins[skin]);
            ASSERT_NE(window.Open(), nullptr);
            TFontInfo* font = window.Manager().GetDefaultFontInfo();
            const int size = skin == 0 ? -stock.lfHeight : 15;
            // The record keeps the 100 % size; the font is the density's.
            EXPECT_EQ(font->iSize, size);
            EXPECT_EQ(HeightOf(font->hFont), -ScaleForDpi(size, density));
            EXPECT_EQ(window.Manager().GetFontInfo(-1), font) << "controls without a font use it";
            if (density == 96) textHeightAt96 = font->tm.tmHeight;
            if (density == 96 && skin == 0) {
                EXPECT_EQ(HeightOf(font->hFont), stock.lfHeight) << "as it was before";
            }
            EXPECT_NEAR(font->tm.tmHeight, textHeightAt96 * density / 96.0, 1.5);
        }
    }
}

TEST_F(DpiContent, WindowsOfDifferentDensitiesKeepTheirOwnDefaultFont)
{
    const wchar_t skin[] = L"<Window size=\"200,100\"><VerticalLayout/></Window>";
    ScaledWindow normal(skin);
    ASSERT_NE(normal.Open(), nullptr);
    TFontInfo* atNormal = normal.Manager().GetDefaultFontInfo();
    const HFONT normalFont = atNormal->hFont;
    const int normalHeight = HeightOf(normalFont);
    {
        DpiOverride dpi(192);
        ScaledWindow dense(skin);
        ASSERT_NE(dense.Open(), nullptr);
        EXPECT_EQ(HeightOf(dense.Manager().GetDefaultFontInfo()->hFont), ScaleForDpi(normalHeight, 192));
        // Moved to a 150 % monitor, it makes it again from the 100 % size.
        dense.ChangeDpi(144, RECT{0, 0, 300, 150});
        EXPECT_EQ(HeightOf(dense.Manager().GetDefaultFontInfo()->hFont), ScaleForDpi(normalHeight, 144));
    }
    EXPECT_EQ(normal.Manager().GetDefaultFontInfo()->hFont, normalFont);
    EXPECT_EQ(HeightOf(normalFont), normalHeight);
}

TEST_F(DpiContent, PicturesInMarkedUpTextTakeTheDensitysSizeOffsetAndPicture)
{
    // Frame 1 of the strip after an offset of 6: at 200 % and 150 % the
    // strip's 200 % picture (green there), each frame 8 x 6 scaled.
    const wchar_t skin[] = L"<Window size=\"100,40\"><VerticalLayout bkcolor=\"#FFFFFFFF\">"
                           L"<Label name=\"l\" showhtml=\"true\" align=\"left\" text=\"{x 6}{i strip.png 2 1}\"/>"
                           L"</VerticalLayout></Window>";
    for (int density : kDensities) {
        SCOPED_TRACE(density);
        DpiOverride dpi(density);
        ScaledWindow window(skin, false, kFolder);
        ASSERT_NE(window.Open(), nullptr);
        const RECT label = window.Pos(L"l");
        const Box box = Painted(window, label);
        EXPECT_EQ(box.rc.left - label.left, ScaleForDpi(6, density));
        EXPECT_EQ(box.rc.right - box.rc.left, ScaleForDpi(8, density));
        EXPECT_EQ(box.rc.bottom - box.rc.top, ScaleForDpi(6, density));
        EXPECT_EQ(box.pixels, ScaleForDpi(8, density) * ScaleForDpi(6, density)) << "a whole rectangle";
        const DWORD centre =
            SkinUI::Test::PixelOf(window, (box.rc.left + box.rc.right) / 2, (box.rc.top + box.rc.bottom) / 2);
        EXPECT_EQ(centre, density == 96 ? kBlue : kGreen);
    }
}

TEST_F(DpiContent, AnimatedBackgroundsAreDrawnFromFramesOfTheDensitysSize)
{
    // "anim" has a 200 % animation (green, then black); "halves" has none,
    // so its frames are resized smoothly: the edge between red and blue
    // blends instead of stepping.
    const wchar_t skin[] =
        L"<Window size=\"100,40\"><VerticalLayout bkcolor=\"#FFFFFFFF\">"
        L"<HorizontalLayout height=\"4\"><Control name=\"anim\" width=\"8\" bkimage=\"anim.gif\"/>"
        L"<Control width=\"4\"/><Control name=\"halves\" width=\"8\" bkimage=\"halves.gif\"/><Control/>"
        L"</HorizontalLayout><Control/></VerticalLayout></Window>";
    for (int density : kDensities) {
        SCOPED_TRACE(density);
        DpiOverride dpi(density);
        ScaledWindow window(skin, false, kFolder);
        ASSERT_NE(window.Open(), nullptr);
        const RECT anim = window.Pos(L"anim");
        ASSERT_EQ(anim.right - anim.left, ScaleForDpi(8, density));
        const DWORD first = density == 96 ? kRed : kGreen;
        EXPECT_EQ(SkinUI::Test::PixelOf(window, anim.left, anim.top), first);
        EXPECT_EQ(SkinUI::Test::PixelOf(window, anim.right - 1, anim.bottom - 1), first);

        const RECT halves = window.Pos(L"halves");
        const int y = (halves.top + halves.bottom) / 2;
        int blended = 0;
        for (int x = halves.left; x < halves.right; ++x) {
            const DWORD pixel = SkinUI::Test::PixelOf(window, x, y);
            if (pixel != kRed && pixel != kBlue) ++blended;
        }
        if (density == 96) {
            EXPECT_EQ(blended, 0) << "the frames as they are";
        } else {
            EXPECT_GE(blended, 1) << "smoothly resized";
        }
        EXPECT_EQ(SkinUI::Test::PixelOf(window, halves.left, y), kRed);
        EXPECT_EQ(SkinUI::Test::PixelOf(window, halves.right - 1, y), kBlue);
    }

    // Every frame comes at the density, with its delay.
    for (int density : {144, 192}) {
        std::unique_ptr<CGifHandler> frames(LoadGifForDpi((Dir() + L"anim.gif").c_str(), density));
        ASSERT_TRUE(frames);
        ASSERT_EQ(frames->GetFrameCount(), 2);
        for (int i = 0; i < 2; ++i) {
            EXPECT_EQ(frames->GetFrameInfoAt(i)->nX, ScaleForDpi(8, density));
            EXPECT_EQ(frames->GetFrameInfoAt(i)->nY, ScaleForDpi(4, density));
            EXPECT_EQ(frames->GetFrameInfoAt(i)->delay, 50);
        }
    }
}

TEST_F(DpiContent, ScrollStepsAreSkinPixelsAtTheWindowsDensity)
{
    const wchar_t skin[] =
        L"<Window size=\"200,100\"><VerticalLayout name=\"list\" vscrollbar=\"true\" hscrollbar=\"true\">"
        L"<Control height=\"1000\" width=\"1000\"/></VerticalLayout></Window>";
    for (int density : kDensities) {
        SCOPED_TRACE(density);
        DpiOverride dpi(density);
        ScaledWindow window(skin);
        ASSERT_NE(window.Open(), nullptr);
        window.Pos(L"list");
        auto* list = static_cast<CContainerUI*>(window.Manager().FindControl(L"list"));
        ASSERT_NE(list, nullptr);
        const int fontHeight = window.Manager().GetDefaultFontInfo()->tm.tmHeight;
        const int line = ScaleForDpi(8, density) + fontHeight;

        // A wheel notch down, as a person turns it over the list.
        POINT over = {50, 50};
        ::ClientToScreen(window, &over);
        window.Send(WM_MOUSEWHEEL, MAKEWPARAM(0, -WHEEL_DELTA), MAKELPARAM(over.x, over.y));
        EXPECT_EQ(list->GetScrollPos().cy, line);
        // A click on the bar's down button, then on its up button; and on
        // the right button of the horizontal bar.
        auto click = [&window](const RECT& button) {
            const LPARAM at = MAKELPARAM((button.left + button.right) / 2, (button.top + button.bottom) / 2);
            window.Send(WM_LBUTTONDOWN, MK_LBUTTON, at);
            window.Send(WM_LBUTTONUP, 0, at);
        };
        ASSERT_NE(list->GetVerticalScrollBar(), nullptr);
        ASSERT_NE(list->GetHorizontalScrollBar(), nullptr);
        click(list->GetVerticalScrollBar()->GetButton2Rect());
        EXPECT_EQ(list->GetScrollPos().cy, 2 * line);
        click(list->GetVerticalScrollBar()->GetButton1Rect());
        EXPECT_EQ(list->GetScrollPos().cy, line);
        click(list->GetHorizontalScrollBar()->GetButton2Rect());
        EXPECT_EQ(list->GetScrollPos().cx, ScaleForDpi(8, density));
    }
}
