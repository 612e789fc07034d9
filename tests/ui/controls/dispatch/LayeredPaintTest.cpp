// A window with per-pixel alpha, read back from the composited screen over a
// window of a known colour.
#include "ManagerWindow.h"
#include "ProbeControl.h"
#include "tests/support/GdiHandleWatch.h"
#include "ui/controls/LabelUI.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>

using namespace SkinUI;

namespace {

const int kLeft = 520;
const int kTop = 120;

// A plain blue window under the layered one.
class Backdrop {
public:
    Backdrop()
    {
        WNDCLASSW wc = {};
        wc.lpfnWndProc = ::DefWindowProcW;
        wc.hInstance = ::GetModuleHandleW(nullptr);
        wc.hbrBackground = m_brush;
        wc.lpszClassName = L"VornexLayeredBackdrop";
        ::RegisterClassW(&wc);
        m_hwnd = ::CreateWindowExW(0, wc.lpszClassName, L"", WS_POPUP, kLeft - 20, kTop - 20, 340, 140, nullptr,
                                   nullptr, wc.hInstance, nullptr);
        ::ShowWindow(m_hwnd, SW_SHOWNOACTIVATE);
        ::UpdateWindow(m_hwnd);
    }
    ~Backdrop()
    {
        ::DestroyWindow(m_hwnd);
        ::DeleteObject(m_brush);
    }

private:
    HBRUSH m_brush = ::CreateSolidBrush(RGB(0, 0, 255));
    HWND m_hwnd = nullptr;
};

COLORREF ScreenPixel(POINT pt)
{
    HDC screen = ::GetDC(nullptr);
    const COLORREF colour = ::GetPixel(screen, pt.x, pt.y);
    ::ReleaseDC(nullptr, screen);
    return colour;
}

bool Near(COLORREF colour, int r, int g, int b)
{
    return std::abs(GetRValue(colour) - r) <= 4 && std::abs(GetGValue(colour) - g) <= 4 &&
           std::abs(GetBValue(colour) - b) <= 4;
}

TEST(LayeredPaint, TranslucentPixelsBlendOpaqueGdiPixelsCoverAndUnpaintedPixelsShowThrough)
{
    ::SetCursorPos(2, 2);
    Backdrop backdrop;
    ManagerWindow window(300, 100, kLeft, kTop, WS_EX_TOPMOST);
    window.Manager().SetBackgroundTransparent(true);
    auto* root = new ProbeContainer(nullptr, L"root");
    // Half-transparent red, written with alpha by the blender.
    root->Add(new ProbeControl(nullptr, L"glass", L"float=\"true\" pos=\"0,0,100,100\" bkcolor=\"#80FF0000\""));
    // Opaque green, filled by GDI, which writes no alpha.
    root->Add(new ProbeControl(nullptr, L"solid", L"float=\"true\" pos=\"100,0,200,100\" bkcolor=\"#FF00FF00\""));
    window.Manager().AttachDialog(root);
    window.PaintNow();
    EXPECT_NE(::GetWindowLongW(window.Handle(), GWL_EXSTYLE) & WS_EX_LAYERED, 0);

    const POINT glass = window.ToScreen(50, 50);
    const POINT solid = window.ToScreen(150, 50);
    const POINT clear = window.ToScreen(250, 50);
    // The compositor shows the window a little later.
    ASSERT_TRUE(window.PumpUntil([&] { return Near(ScreenPixel(solid), 0, 255, 0); }))
        << std::hex << ScreenPixel(solid);
    EXPECT_TRUE(Near(ScreenPixel(glass), 128, 0, 127)) << std::hex << ScreenPixel(glass);
    EXPECT_TRUE(Near(ScreenPixel(clear), 0, 0, 255)) << std::hex << ScreenPixel(clear);
}

// A repaint of one control hands the system only that control's
// rectangle; the pixels it already holds elsewhere stay on the screen.
TEST(LayeredPaint, ARepaintOfOneControlChangesOnlyItsPixels)
{
    ::SetCursorPos(2, 2);
    ManagerWindow window(300, 100, kLeft, kTop, WS_EX_TOPMOST);
    window.Manager().SetBackgroundTransparent(true);
    auto* root = new ProbeContainer(nullptr, L"root");
    auto* left = new ProbeControl(nullptr, L"left", L"float=\"true\" pos=\"0,0,100,100\" bkcolor=\"#FFFF0000\"");
    root->Add(left);
    root->Add(new ProbeControl(nullptr, L"solid", L"float=\"true\" pos=\"100,0,200,100\" bkcolor=\"#FF00FF00\""));
    window.Manager().AttachDialog(root);
    window.PaintNow();
    const POINT leftPoint = window.ToScreen(50, 50);
    const POINT solid = window.ToScreen(150, 50);
    const POINT clear = window.ToScreen(250, 50);
    ASSERT_TRUE(window.PumpUntil([&] { return Near(ScreenPixel(leftPoint), 255, 0, 0); }))
        << std::hex << ScreenPixel(leftPoint);
    ASSERT_TRUE(Near(ScreenPixel(solid), 0, 255, 0)) << std::hex << ScreenPixel(solid);
    const COLORREF clearBefore = ScreenPixel(clear);  // whatever lies under the window there

    left->SetBkColor(0xFFFFFF00);  // invalidates the left control alone
    root->paints.clear();
    window.PaintNow();
    ASSERT_EQ(root->paints.size(), 1u);
    const RECT leftRect = {0, 0, 100, 100};
    EXPECT_TRUE(::EqualRect(&root->paints[0], &leftRect)) << "only the changed control was painted";
    EXPECT_TRUE(window.PumpUntil([&] { return Near(ScreenPixel(leftPoint), 255, 255, 0); }))
        << std::hex << ScreenPixel(leftPoint);
    EXPECT_TRUE(Near(ScreenPixel(solid), 0, 255, 0)) << std::hex << ScreenPixel(solid);
    EXPECT_EQ(clearBefore, ScreenPixel(clear)) << "the transparent part still shows what is under it";
}

}  // namespace

namespace {

TEST(PaintBuffers, WindowsPaintedBothWaysLeaveNoHandleBehind)
{
    CPaintManagerUI warmUp;  // the process's default font exists before the watch
    SkinUI::Test::GdiHandleWatch watch;
    for (int cycle = 0; cycle < 40; ++cycle) {
        ManagerWindow window(200, 120, 300, 300);
        window.Manager().SetBackgroundTransparent(cycle % 2 == 1);
        auto* root = new ProbeContainer(nullptr, L"root", L"bkcolor=\"#FF202020\"");
        root->Add(new ProbeControl(nullptr, L"box", L"float=\"true\" pos=\"10,10,90,60\" bkcolor=\"#80FF0000\""));
        window.Manager().AttachDialog(root);
        window.PaintNow();
        ::SetWindowPos(window.Handle(), nullptr, 0, 0, 240, 140, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        window.PaintNow();                       // new buffers at the new size
        window.Manager().Init(window.Handle());  // a second Init on the same window
        window.PumpPending();
    }
    watch.Stop();
    EXPECT_THAT(watch.Unreleased(), ::testing::IsEmpty());
    EXPECT_THAT(watch.Alive(), ::testing::IsEmpty()) << watch.Describe();
    EXPECT_GT(watch.Created().size(), 80u) << "the watch saw the buffers being made";
}

}  // namespace

namespace {

// Once a window has painted, painting its tree again makes no GDI object:
// containers' clips, images, translucent fills, thin borders and marked-up
// text all draw with what the window already holds.
TEST(PaintBuffers, RepaintingATreeMakesNoGdiObject)
{
    for (bool layered : {false, true}) {
        ManagerWindow window(300, 120, 300, 300);
        window.Manager().SetBackgroundTransparent(layered);
        Gdi::Dib32 icon;
        ASSERT_TRUE(icon.Create(16, 16));
        for (int i = 0; i < 16 * 16; ++i) icon.bits[i] = (i % 16 < 8) ? 0xFF2080E0 : 0x80102040;
        ASSERT_TRUE(window.Manager().AddImage(L"icon.png", icon.bitmap.Release(), 16, 16, true));
        auto* root = new ProbeContainer(nullptr, L"root", L"bkcolor=\"#FFF0F0F0\"");
        auto* row = new ProbeContainer(nullptr, L"row", L"float=\"true\" pos=\"0,0,300,60\" bkcolor=\"#FFFFFFFF\"");
        row->Add(new ProbeControl(nullptr, L"glass", L"float=\"true\" pos=\"4,4,60,56\" bkcolor=\"#80E81123\""));
        row->Add(new ProbeControl(nullptr, L"image",
                                  L"float=\"true\" pos=\"64,4,120,56\" bkimage=\"file='icon.png' dest='8,8,24,24'\""));
        row->Add(new ProbeControl(nullptr, L"frame",
                                  L"float=\"true\" pos=\"124,4,180,56\" bordercolor=\"#FF3E3E3E\" bordersize=\"1\""));
        root->Add(row);
        auto* text = new CLabelUI;
        text->ApplyAttributeList(L"float=\"true\" pos=\"4,64,296,100\" showhtml=\"true\" "
                                 L"text=\"Item <b>12</b>, <c #FFE81123>new</c> <u>details</u>\"");
        root->Add(text);
        auto* plain = new CLabelUI;
        plain->ApplyAttributeList(L"float=\"true\" pos=\"4,100,296,120\" text=\"plain words\"");
        root->Add(plain);
        window.Manager().AttachDialog(root);
        // The first paints make what the window keeps (buffers, fonts, laid-out text).
        for (int i = 0; i < 2; ++i) {
            ::InvalidateRect(window.Handle(), nullptr, FALSE);
            window.PaintNow();
        }

        root->paints.clear();
        SkinUI::Test::GdiHandleWatch watch;
        ::InvalidateRect(window.Handle(), nullptr, FALSE);
        window.PaintNow();
        watch.Stop();
        EXPECT_TRUE(watch.Created().empty()) << (layered ? "layered: " : "opaque: ") << watch.Describe();
        ASSERT_EQ(root->paints.size(), 1u) << "the watched paint painted the tree";
        const RECT whole = {0, 0, 300, 120};
        EXPECT_TRUE(::EqualRect(&root->paints[0], &whole));
    }
}

}  // namespace
