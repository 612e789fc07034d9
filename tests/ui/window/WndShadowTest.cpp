// The drop shadow under Wine with a compositor, read back as screen pixels:
// the skin's nine-grid image around the window, the computed ramp, following
// the window through moves, maximise, minimise and restore, letting clicks
// through, and the ways a shadow can be misused.
#include "ui/window/WndShadow.h"

#include "tests/support/GdiHandleWatch.h"
#include "tests/ui/window/WindowTestSupport.h"

#include <memory>

namespace SkinUI {
namespace {

using WindowTest::ColourWindow;
using WindowTest::ScreenPixel;
using WindowTest::WaitFor;

const wchar_t kAero[] = L"file='Aero.png' corner='10,10,10,11'";
const COLORREF kWindowColour = RGB(40, 120, 200);
const DWORD kWindowRgb = 0x2878C8;
const DWORD kWhite = 0xFFFFFF;

// The parent: 320 x 180 at 300,250; the exit dialog's shadow border.
const RECT kParent = {300, 250, 620, 430};
const int kBorder[4] = {5, 5, 9, 10};

void InstallSkinArchive()
{
    static bool installed = false;
    if (installed) return;
    HMODULE module = ::GetModuleHandleW(nullptr);
    HRSRC found = ::FindResourceW(module, MAKEINTRESOURCEW(130), L"DAT");
    ASSERT_TRUE(found) << "no resource DAT 130";
    CPaintManagerUI::SetResourceZip(::LockResource(::LoadResource(module, found)), ::SizeofResource(module, found));
    installed = true;
}

void InitializeOnce()
{
    static bool done = false;
    if (done) return;
    ASSERT_TRUE(CWndShadow::Initialize(::GetModuleHandleW(nullptr)));
    done = true;
}

bool Near(int expected, int actual, int tolerance = 3) { return std::abs(expected - actual) <= tolerance; }

// Grey level of a shadow pixel of alpha `alpha` (premultiplied black) over white.
int OverWhite(int alpha) { return 255 - alpha; }

bool IsGrey(DWORD rgb, int level, int tolerance = 3)
{
    return Near(level, WindowTest::Red(rgb), tolerance) && Near(level, WindowTest::Green(rgb), tolerance) &&
           Near(level, WindowTest::Blue(rgb), tolerance);
}

RECT Grown(const RECT& rc, const int border[4])
{
    return RECT{rc.left - border[0], rc.top - border[1], rc.right + border[2], rc.bottom + border[3]};
}

bool SameRect(const RECT& a, const RECT& b)
{
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

RECT WindowRect(HWND hWnd)
{
    RECT rc = {};
    ::GetWindowRect(hWnd, &rc);
    return rc;
}

void Click(int x, int y)
{
    ::SetCursorPos(x, y);
    INPUT input[2] = {};
    input[0].type = input[1].type = INPUT_MOUSE;
    input[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    input[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    ::SendInput(2, input, sizeof(INPUT));
}

// A white backdrop (the "desktop" the shadow darkens) and the shadowed
// window on top of it.
class WndShadowScreen : public ::testing::Test {
protected:
    void SetUp() override
    {
        WindowTest::UseThisModule();
        InstallSkinArchive();
        InitializeOnce();
        ASSERT_TRUE(backdrop.CreatePopup(nullptr, 100, 100, 900, 700));
        backdrop.ShowWindow(true, false);
        ASSERT_TRUE(parent.CreatePopup(nullptr, kParent.left, kParent.top, 320, 180));
        // Not activated: under Wine without a window manager an activated
        // window takes seconds to go away.
        parent.ShowWindow(true, false);
        ASSERT_TRUE(WaitFor([] { return ScreenPixel(460, 340) == kWindowRgb && ScreenPixel(700, 340) == kWhite; }))
            << "the test windows never appeared on the screen";
    }
    void TearDown() override
    {
        shadow.reset();
        ::DestroyWindow(parent);
        ::DestroyWindow(backdrop);
        EXPECT_TRUE(WindowTest::ThreadWindows().empty());
    }

    void MakeShadow(LPCTSTR image)
    {
        shadow = std::make_unique<CWndShadow>();
        if (image) shadow->SetBkImage(image);
        shadow->SetBorder(kBorder[0], kBorder[1], kBorder[2], kBorder[3]);
        ASSERT_TRUE(shadow->Create(parent, &manager));
        // What the window base does on every painted frame.
        shadow->SetPrepared();
    }

    bool ShadowShownAt(const RECT& rc)
    {
        return WaitFor(
            [&] { return ::IsWindowVisible(shadow->GetHWND()) && SameRect(rc, WindowRect(shadow->GetHWND())); });
    }
    bool ShadowHidden()
    {
        return WaitFor([&] { return !::IsWindowVisible(shadow->GetHWND()); });
    }

    ColourWindow backdrop{RGB(255, 255, 255)};
    ColourWindow parent{kWindowColour};
    CPaintManagerUI manager;
    std::unique_ptr<CWndShadow> shadow;
};

TEST(WndShadowSetup, InitializeRunsOnceAndTheSettersKeepTheirRanges)
{
    WindowTest::UseThisModule();
    InitializeOnce();
    const HINSTANCE instance = CWndShadow::GetInstance();
    EXPECT_EQ(::GetModuleHandleW(nullptr), instance);
    EXPECT_FALSE(CWndShadow::Initialize(reinterpret_cast<HINSTANCE>(0x1000)));
    EXPECT_EQ(instance, CWndShadow::GetInstance());

    CWndShadow shadow;
    struct Case {
        const char* call;
        bool accepted;
        bool result;
    };
    const Case cases[] = {
        {"SetSize(20)", true, shadow.SetSize(20)},
        {"SetSize(-20)", true, shadow.SetSize(-20)},
        {"SetSize(21)", false, shadow.SetSize(21)},
        {"SetSize(-21)", false, shadow.SetSize(-21)},
        {"SetSharpness(20)", true, shadow.SetSharpness(20)},
        {"SetSharpness(21)", false, shadow.SetSharpness(21)},
        {"SetDarkness(255)", true, shadow.SetDarkness(255)},
        {"SetDarkness(256)", false, shadow.SetDarkness(256)},
        {"SetPosition(-20, 20)", true, shadow.SetPosition(-20, 20)},
        {"SetPosition(0, -21)", false, shadow.SetPosition(0, -21)},
        {"SetPosition(21, 0)", false, shadow.SetPosition(21, 0)},
        {"SetColor", true, shadow.SetColor(RGB(1, 2, 3))},
    };
    for (const Case& c : cases) EXPECT_EQ(c.accepted, c.result) << c.call;
    EXPECT_FALSE(shadow.Create(nullptr, nullptr)) << "no parent";
    EXPECT_EQ(nullptr, shadow.GetHWND());
}

TEST_F(WndShadowScreen, ImageModeDrawsTheSkinImageAroundTheWindowWithUnscaledCorners)
{
    MakeShadow(kAero);
    const RECT rc = Grown(kParent, kBorder);
    ASSERT_TRUE(ShadowShownAt(rc));
    ASSERT_TRUE(WaitFor([] { return ScreenPixel(kParent.right + 1, 340) != kWhite; })) << "no shadow on the screen";

    // Just outside every edge the desktop is darker.
    const POINT outside[] = {
        {kParent.right + 1, 340}, {kParent.left - 2, 340}, {460, kParent.top - 2}, {460, kParent.bottom + 1}};
    for (const POINT& p : outside) EXPECT_LT(WindowTest::Red(ScreenPixel(p.x, p.y)), 250) << p.x << "," << p.y;
    EXPECT_EQ(kWindowRgb, ScreenPixel(kParent.left + 2, kParent.top + 2)) << "the shadow stays behind the window";
    EXPECT_EQ(kWhite, ScreenPixel(rc.right + 1, 340));

    // The corners are the image's own pixels, one for one.
    const TImageInfo* image = manager.GetImageEx(L"Aero.png");
    ASSERT_TRUE(image);
    DIBSECTION dib = {};
    ASSERT_TRUE(::GetObjectW(image->hBitmap, sizeof(dib), &dib));
    const auto* bits = static_cast<const DWORD*>(dib.dsBm.bmBits);
    auto imageAlpha = [&](int x, int y) { return static_cast<int>(bits[y * image->nX + x] >> 24); };
    const int width = rc.right - rc.left, height = rc.bottom - rc.top;
    int compared = 0;
    for (int y = 0; y < 11; ++y)
        for (int x = 0; x < 10; ++x) {
            // Top-left corner, where the window does not cover it.
            if (x < kBorder[0] || y < kBorder[1]) {
                EXPECT_TRUE(IsGrey(ScreenPixel(rc.left + x, rc.top + y), OverWhite(imageAlpha(x, y))))
                    << "top-left corner at " << x << "," << y;
                ++compared;
            }
            // Bottom-right corner (10 x 11 in the image).
            const int sx = width - 10 + x, sy = height - 11 + y;
            if (sx >= width - kBorder[2] || sy >= height - kBorder[3]) {
                EXPECT_TRUE(IsGrey(ScreenPixel(rc.left + sx, rc.top + sy), OverWhite(imageAlpha(30 + x, 30 + y))))
                    << "bottom-right corner at " << x << "," << y;
                ++compared;
            }
        }
    EXPECT_GT(compared, 100);
}

TEST_F(WndShadowScreen, ComputedModeDrawsTheKernelRamp)
{
    MakeShadow(nullptr);
    // Offset 5,5, no growth: the shadow window lies 5,5 below right of the window.
    const RECT rc = {kParent.left + 5, kParent.top + 5, kParent.right + 5, kParent.bottom + 5};
    ASSERT_TRUE(ShadowShownAt(rc));
    ASSERT_TRUE(WaitFor([] { return ScreenPixel(kParent.right, 340) != kWhite; }));
    // alpha = floor((1 - d / 6) * 150) at d = 1..5 pixels from the shrunk edge.
    for (int i = 0; i < 5; ++i) {
        const int alpha = (6 - (i + 1)) * 150 / 6;
        EXPECT_TRUE(IsGrey(ScreenPixel(kParent.right + i, 340), OverWhite(alpha), 2))
            << "right edge +" << i << ": " << std::hex << ScreenPixel(kParent.right + i, 340);
        EXPECT_TRUE(IsGrey(ScreenPixel(460, kParent.bottom + i), OverWhite(alpha), 2)) << "bottom edge +" << i;
    }
    EXPECT_EQ(kWhite, ScreenPixel(kParent.right + 5, 340));
    EXPECT_EQ(kWhite, ScreenPixel(kParent.left - 1, 340)) << "nothing left of the window";
    EXPECT_EQ(kWindowRgb, ScreenPixel(kParent.right - 1, 340));
}

TEST_F(WndShadowScreen, ComputedModeFollowsTheWindowRegion)
{
    // Only the left 200 columns of the window remain: the shadow's right
    // edge follows them, and the cut-off part shows the desktop.
    ::SetWindowRgn(parent, ::CreateRectRgn(0, 0, 200, 180), TRUE);
    MakeShadow(nullptr);
    const int edge = kParent.left + 200;
    ASSERT_TRUE(WaitFor([&] { return ScreenPixel(edge, 340) != kWhite; }));
    for (int i = 0; i < 5; ++i) {
        const int alpha = (6 - (i + 1)) * 150 / 6;
        EXPECT_TRUE(IsGrey(ScreenPixel(edge + i, 340), OverWhite(alpha), 2)) << "right edge +" << i;
    }
    EXPECT_EQ(kWhite, ScreenPixel(edge + 5, 340));
    EXPECT_EQ(kWhite, ScreenPixel(kParent.right + 1, 340));
}

TEST_F(WndShadowScreen, TheShadowFollowsAMovedWindow)
{
    for (LPCTSTR image : {kAero, static_cast<LPCTSTR>(nullptr)}) {
        SCOPED_TRACE(image ? "image" : "computed");
        MakeShadow(image);
        const RECT before = WindowRect(shadow->GetHWND());
        ASSERT_TRUE(ShadowShownAt(before));
        ::SetWindowPos(parent, nullptr, 420, 330, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        RECT expected = before;
        ::OffsetRect(&expected, 120, 80);
        EXPECT_TRUE(ShadowShownAt(expected));
        EXPECT_TRUE(WaitFor([] { return ScreenPixel(740 + 2, 420) != kWhite; })) << "new right edge darkened";
        EXPECT_TRUE(WaitFor([] { return ScreenPixel(kParent.right + 2, 300) == kWhite; })) << "old edge cleared";
        shadow.reset();
        ::SetWindowPos(parent, nullptr, kParent.left, kParent.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

TEST_F(WndShadowScreen, HiddenWhileMaximisedOrMinimisedAndBackOnRestore)
{
    MakeShadow(kAero);
    const RECT rc = Grown(kParent, kBorder);
    ASSERT_TRUE(ShadowShownAt(rc));
    for (int show : {SW_MAXIMIZE, SW_MINIMIZE}) {
        SCOPED_TRACE(show == SW_MAXIMIZE ? "maximised" : "minimised");
        ::ShowWindow(parent, show);
        EXPECT_TRUE(ShadowHidden());
        shadow->SetPrepared();  // painting meanwhile does not bring it back
        shadow->Update(parent);
        EXPECT_FALSE(::IsWindowVisible(shadow->GetHWND()));
        ::ShowWindow(parent, SW_RESTORE);
        EXPECT_TRUE(ShadowShownAt(rc));
        EXPECT_TRUE(WaitFor([] { return ScreenPixel(kParent.right + 1, 340) != kWhite; }));
    }
}

// The user's sizing border: the shadow is redrawn on every sizing step and
// once more when sizing ends; showing the window redraws it too. Each
// message is sent after a border change that nothing else would pick up.
TEST_F(WndShadowScreen, SizingStepsTheirEndAndShowingRedrawTheShadow)
{
    MakeShadow(kAero);
    ASSERT_TRUE(ShadowShownAt(Grown(kParent, kBorder)));
    struct Case {
        const char* message;
        UINT msg;
        WPARAM wParam;
        int border;
    };
    const Case cases[] = {
        {"WM_SIZING", WM_SIZING, WMSZ_BOTTOMRIGHT, 7},
        {"WM_EXITSIZEMOVE", WM_EXITSIZEMOVE, 0, 12},
        {"WM_SHOWWINDOW", WM_SHOWWINDOW, TRUE, 3},
    };
    for (const Case& c : cases) {
        const int border[4] = {c.border, c.border, c.border, c.border};
        shadow->SetBorder(c.border, c.border, c.border, c.border);
        RECT proposed = kParent;
        ::SendMessageW(parent, c.msg, c.wParam, reinterpret_cast<LPARAM>(&proposed));
        EXPECT_TRUE(ShadowShownAt(Grown(kParent, border))) << c.message;
    }
    ::ShowWindow(parent, SW_HIDE);
    EXPECT_TRUE(ShadowHidden()) << "hidden with its window";
}

TEST_F(WndShadowScreen, ClicksOnTheShadowReachTheWindowBelow)
{
    MakeShadow(kAero);
    ASSERT_TRUE(ShadowShownAt(Grown(kParent, kBorder)));
    ASSERT_TRUE(WaitFor([] { return ScreenPixel(kParent.right + 3, 340) != kWhite; }));
    Click(kParent.right + 3, 340);
    EXPECT_TRUE(WaitFor([&] { return backdrop.clicks == 1; }));
    EXPECT_EQ(0, parent.clicks);
    // The shadow lies above its window (an owned window always does): the
    // window under it still gets its clicks.
    Click(kParent.left + 20, 340);
    EXPECT_TRUE(WaitFor([&] { return parent.clicks == 1; }));
    EXPECT_EQ(1, backdrop.clicks);
}

TEST_F(WndShadowScreen, AResizeByTheProgramRedrawsTheShadowAtTheNewSize)
{
    MakeShadow(kAero);
    ASSERT_TRUE(ShadowShownAt(Grown(kParent, kBorder)));
    ::SetWindowPos(parent, nullptr, 0, 0, 400, 240, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    const RECT larger = {kParent.left, kParent.top, kParent.left + 400, kParent.top + 240};
    EXPECT_TRUE(ShadowShownAt(Grown(larger, kBorder)));
    EXPECT_TRUE(WaitFor([&] { return WindowTest::Red(ScreenPixel(larger.right + 1, 400)) < 250; }));
    // Pixels of the old size would leave the old right edge as a dark line
    // across the window.
    EXPECT_EQ(kWindowRgb, ScreenPixel(kParent.right + 1, 340));
}

// Misuse and hostile input: each leaves no shadow on the screen rather than
// a wrong one, and the window keeps working.
TEST_F(WndShadowScreen, AnImageMissingFromTheSkinGivesNoShadow)
{
    MakeShadow(L"file='NoSuchShadow.png' corner='10,10,10,11'");
    ::SetWindowPos(parent, nullptr, 310, 260, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    shadow->Update(parent);
    EXPECT_TRUE(ShadowHidden());
    EXPECT_EQ(kWhite, ScreenPixel(kParent.right + 12, 340));
}

TEST_F(WndShadowScreen, ABorderLargerThanTheScreenGivesNoShadow)
{
    shadow = std::make_unique<CWndShadow>();
    shadow->SetBkImage(kAero);
    shadow->SetBorder(5000, 5000, 5000, 5000);
    ASSERT_TRUE(shadow->Create(parent, &manager));
    shadow->SetPrepared();
    ::SetWindowPos(parent, nullptr, 310, 260, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_TRUE(ShadowHidden());
    shadow->SetBorder(-400, -400, -400, -400);
    shadow->Update(parent);
    EXPECT_TRUE(ShadowHidden()) << "a border that swallows the window";
}

TEST_F(WndShadowScreen, OneShadowPerWindow)
{
    MakeShadow(kAero);
    CWndShadow second;
    EXPECT_FALSE(second.Create(parent, &manager));
    EXPECT_EQ(nullptr, second.GetHWND());
}

TEST_F(WndShadowScreen, DeletingTheShadowGivesTheWindowItsProcedureBack)
{
    const LONG_PTR ownProc = ::GetWindowLongPtrW(parent, GWLP_WNDPROC);
    MakeShadow(kAero);
    const HWND shadowWindow = shadow->GetHWND();
    EXPECT_NE(ownProc, ::GetWindowLongPtrW(parent, GWLP_WNDPROC));
    EXPECT_EQ(static_cast<HANDLE>(shadow.get()), ::GetPropW(parent, L"CWndShadow-This"));
    shadow.reset();
    EXPECT_EQ(ownProc, ::GetWindowLongPtrW(parent, GWLP_WNDPROC));
    EXPECT_EQ(nullptr, ::GetPropW(parent, L"CWndShadow-This"));
    EXPECT_FALSE(::IsWindow(shadowWindow));
    // And a new shadow can be attached.
    MakeShadow(nullptr);
}

TEST_F(WndShadowScreen, AWindowDestroyedWhileItsShadowIsUpdatedTakesTheShadowWithIt)
{
    // The window base deletes its shadow in the window's final message; this
    // window also ends itself from inside a size message, which the shadow
    // handles first.
    MakeShadow(kAero);
    const HWND shadowWindow = shadow->GetHWND();
    CWndShadow* raw = shadow.release();
    parent.onFinal = [&] { delete raw; };
    parent.onMessage = [&](UINT msg, WPARAM wParam, LPARAM, bool&) -> LRESULT {
        if (msg == WM_SIZE && wParam == SIZE_RESTORED) ::DestroyWindow(parent);
        return 0;
    };
    ::SetWindowPos(parent, nullptr, 0, 0, 300, 150, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_FALSE(::IsWindow(parent.GetHWND()));
    EXPECT_FALSE(::IsWindow(shadowWindow));
    EXPECT_EQ(1, parent.finalMessages);
}

TEST_F(WndShadowScreen, AShadowOutlivingItsWindowIgnoresLaterCalls)
{
    MakeShadow(nullptr);
    const HWND shadowWindow = shadow->GetHWND();
    const HWND gone = parent.GetHWND();
    ::DestroyWindow(gone);
    EXPECT_FALSE(::IsWindow(shadowWindow));
    EXPECT_EQ(nullptr, shadow->GetHWND());
    shadow->Update(gone);
    shadow->SetPrepared();
    shadow->Show(gone);
    EXPECT_TRUE(shadow->SetDarkness(100));
}

TEST_F(WndShadowScreen, UpdatesLeaveNoGdiObjectsBehind)
{
    for (LPCTSTR image : {kAero, static_cast<LPCTSTR>(nullptr)}) {
        SCOPED_TRACE(image ? "image" : "computed");
        MakeShadow(image);
        shadow->Update(parent);  // the skin image is decoded and cached once, outside the watch
        SkinUI::Test::GdiHandleWatch watch;
        for (int i = 0; i < 40; ++i) {
            ::SetWindowPos(parent, nullptr, 300 + i, 250 + i % 7, 320 + i % 3, 180, SWP_NOZORDER | SWP_NOACTIVATE);
            shadow->Update(parent);
        }
        shadow.reset();
        watch.Stop();
        EXPECT_FALSE(watch.Created().empty()) << "the watch saw the shadow's drawing";
        EXPECT_TRUE(watch.Alive().empty()) << watch.Describe();
        EXPECT_TRUE(watch.Unreleased().empty()) << watch.Describe();
    }
}

}  // namespace
}  // namespace SkinUI
