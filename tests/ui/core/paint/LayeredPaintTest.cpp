// A window with per-pixel alpha, read back from the composited screen over a
// window of a known colour.
#include "ManagerWindow.h"
#include "ProbeControl.h"
#include "tests/support/GdiHandleWatch.h"

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
