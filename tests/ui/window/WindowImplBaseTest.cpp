// The skinned window base over small skins given as markup text: hit
// testing, the system buttons, the window region, the Alt+F4 filter and
// the notification routing.

#include "tests/ui/window/WindowTestSupport.h"
#include "ui/controls/ControlUI.h"
#include "ui/window/WindowImplBase.h"

#include <gtest/gtest.h>

#include <string>

using namespace SkinUI;
using namespace SkinUI::WindowTest;

namespace {

const wchar_t kSkin[] =
    L"<Window size=\"300,200\" caption=\"0,0,0,30\" sizebox=\"4,4,4,4\" roundcorner=\"6,6\" mininfo=\"120,90\">"
    L"<VerticalLayout bkcolor=\"#FF336699\">"
    L"<HorizontalLayout height=\"30\">"
    L"<Label name=\"title\" text=\"title\"/>"
    L"<Button name=\"btn_sys_min\" width=\"20\"/><Button name=\"btn_sys_max\" width=\"20\"/>"
    L"<Button name=\"btn_sys_restore\" width=\"20\"/><Button name=\"btn_sys_close\" width=\"20\"/>"
    L"</HorizontalLayout><Control/></VerticalLayout></Window>";

const wchar_t kSkinWithoutButtons[] =
    L"<Window size=\"200,100\" caption=\"0,0,0,30\"><VerticalLayout><Control/></VerticalLayout></Window>";

class SkinWindow : public WindowImplBase {
public:
    explicit SkinWindow(const wchar_t* skin, UI_RESOURCETYPE type = UI_RES_FILE) : m_skin(skin), m_type(type) {}
    ~SkinWindow()
    {
        if (::IsWindow(m_hWnd)) ::DestroyWindow(m_hWnd);
    }

    HWND Open()
    {
        HWND hWnd = Create(nullptr, L"skin", WS_OVERLAPPEDWINDOW, 0, 100, 100, 10, 10);
        if (hWnd) {
            ::ShowWindow(hWnd, SW_SHOWNOACTIVATE);
            ::UpdateWindow(hWnd);
        }
        return hWnd;
    }

    POINT ScreenPoint(int x, int y) const
    {
        POINT pt = {x, y};
        ::ClientToScreen(m_hWnd, &pt);
        return pt;
    }

    LRESULT HitTest(int x, int y)
    {
        POINT pt = ScreenPoint(x, y);
        return SendMessage(WM_NCHITTEST, 0, MAKELPARAM(pt.x, pt.y));
    }

    int initCalls = 0;
    int prepareCalls = 0;
    int closeCalls = 0;
    std::wstring lastClick;

    using WindowImplBase::m_pbtnClose;
    using WindowImplBase::m_pbtnMax;
    using WindowImplBase::m_pbtnRestore;

protected:
    LPCTSTR GetWindowClassName() const override { return L"SkinWindowTest"; }
    CUiString GetSkinFolder() override { return CUiString(); }
    CUiString GetSkinFile() override { return m_skin; }
    UI_RESOURCETYPE GetResourceType() const override { return m_type; }
    LPCTSTR GetResourceID() const override { return L"NO_SUCH_ARCHIVE"; }
    void InitWindow() override { ++initCalls; }
    void OnPrepare(TNotifyUI&) override { ++prepareCalls; }
    void OnCloseWnd() override
    {
        ++closeCalls;
        WindowImplBase::OnCloseWnd();
    }
    void OnClick(TNotifyUI& msg) override
    {
        lastClick = msg.pSender ? static_cast<LPCTSTR>(msg.pSender->GetName()) : L"";
        WindowImplBase::OnClick(msg);
    }

private:
    const wchar_t* m_skin;
    UI_RESOURCETYPE m_type;
};

}  // namespace

TEST(WindowImplBase, BuildsTheSkinAtCreationAndSizesTheWindowFromIt)
{
    SkinWindow window(kSkin);
    ASSERT_NE(window.Open(), nullptr);
    RECT rc;
    ::GetWindowRect(window, &rc);
    EXPECT_EQ(rc.right - rc.left, 300);
    EXPECT_EQ(rc.bottom - rc.top, 200);
    EXPECT_EQ(window.initCalls, 1);
    EXPECT_EQ(::GetWindowLongW(window, GWL_STYLE) & WS_CAPTION, 0);
    EXPECT_TRUE(::GetClassLongW(window, GCL_STYLE) & CS_DBLCLKS);
    ASSERT_NE(window.m_pbtnRestore, nullptr);
    EXPECT_FALSE(window.m_pbtnRestore->IsVisible());
    EXPECT_TRUE(WaitFor([&] { return window.prepareCalls == 1; }));
}

TEST(WindowImplBase, HitTestingFindsTheSizeBoxTheCaptionBandAndItsButtons)
{
    SkinWindow window(kSkin);
    ASSERT_NE(window.Open(), nullptr);
    ASSERT_TRUE(WaitFor([&] { return window.prepareCalls == 1; }));
    struct Case {
        int x, y;
        LRESULT hit;
    } cases[] =
        {
            {1, 1, HTTOPLEFT},    {150, 1, HTTOP},           {298, 2, HTTOPRIGHT},
            {1, 100, HTLEFT},     {298, 100, HTRIGHT},       {1, 198, HTBOTTOMLEFT},
            {150, 199, HTBOTTOM}, {299, 199, HTBOTTOMRIGHT}, {4, 4, HTCAPTION},  // the box test is strict: 4 is inside
            {100, 10, HTCAPTION},                                                // a label in the band drags
            {290, 10, HTCLIENT},                                                 // a button in the band is clicked
            {100, 29, HTCAPTION}, {100, 30, HTCLIENT},       {150, 150, HTCLIENT},
        };
    for (const Case& c : cases) EXPECT_EQ(window.HitTest(c.x, c.y), c.hit) << c.x << "," << c.y;
}

TEST(WindowImplBase, MaximiseAndRestoreSwapTheButtonsAndDropTheSizeBox)
{
    SkinWindow window(kSkin);
    ASSERT_NE(window.Open(), nullptr);
    ASSERT_TRUE(WaitFor([&] { return window.prepareCalls == 1; }));

    window.GetPaintManager().SendNotify(window.m_pbtnMax, L"click");
    EXPECT_TRUE(::IsZoomed(window));
    EXPECT_FALSE(window.m_pbtnMax->IsVisible());
    EXPECT_TRUE(window.m_pbtnRestore->IsVisible());
    RECT rc, work;
    ::GetWindowRect(window, &rc);
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    EXPECT_EQ(rc.right - rc.left, work.right - work.left);
    EXPECT_EQ(rc.bottom - rc.top, work.bottom - work.top);
    EXPECT_EQ(window.HitTest(1, 100), HTCLIENT);  // no resizing while maximised

    window.GetPaintManager().SendNotify(window.m_pbtnRestore, L"click");
    EXPECT_FALSE(::IsZoomed(window));
    EXPECT_TRUE(window.m_pbtnMax->IsVisible());
    EXPECT_FALSE(window.m_pbtnRestore->IsVisible());

    // Maximising some other way (a double click on the caption) swaps them
    // through the system command.
    window.SendMessage(WM_SYSCOMMAND, SC_MAXIMIZE, 0);
    EXPECT_FALSE(window.m_pbtnMax->IsVisible());
    EXPECT_TRUE(window.m_pbtnRestore->IsVisible());
    window.SendMessage(WM_SYSCOMMAND, SC_RESTORE, 0);
    EXPECT_TRUE(window.m_pbtnMax->IsVisible());
}

TEST(WindowImplBase, RoundCornersClipTheWindowOnlyWhenTheSkinAsksForThem)
{
    SkinWindow rounded(kSkin), square(kSkinWithoutButtons);
    ASSERT_NE(rounded.Open(), nullptr);
    ASSERT_NE(square.Open(), nullptr);
    HRGN region = ::CreateRectRgn(0, 0, 0, 0);
    ASSERT_TRUE(WaitFor([&] { return ::GetWindowRgn(rounded, region) != ERROR; }));
    EXPECT_FALSE(::PtInRegion(region, 0, 0));  // the corner is cut
    EXPECT_TRUE(::PtInRegion(region, 150, 100));
    EXPECT_EQ(::GetWindowRgn(square, region), ERROR);

    // Maximised, the window fills the work area without cut corners; the
    // corners come back with the restored size.
    rounded.SendMessage(WM_SYSCOMMAND, SC_MAXIMIZE, 0);
    EXPECT_TRUE(WaitFor([&] { return ::GetWindowRgn(rounded, region) == ERROR; }));
    rounded.SendMessage(WM_SYSCOMMAND, SC_RESTORE, 0);
    ASSERT_TRUE(WaitFor([&] { return ::GetWindowRgn(rounded, region) != ERROR; }));
    RECT box;
    ::GetRgnBox(region, &box);
    EXPECT_EQ(box.right, 300);
    ::DeleteObject(region);
}

TEST(WindowImplBase, CloseButtonAndSystemCloseGoThroughOnCloseWnd)
{
    SkinWindow viaButton(kSkin), viaSystem(kSkin);
    ASSERT_NE(viaButton.Open(), nullptr);
    ASSERT_NE(viaSystem.Open(), nullptr);
    viaButton.GetPaintManager().SendNotify(viaButton.m_pbtnClose, L"click");
    EXPECT_EQ(viaButton.lastClick, L"btn_sys_close");
    EXPECT_EQ(viaButton.closeCalls, 1);
    EXPECT_EQ(viaSystem.SendMessage(WM_SYSCOMMAND, SC_CLOSE, 0), 1);
    EXPECT_EQ(viaSystem.closeCalls, 1);
    EXPECT_TRUE(WaitFor([&] { return !::IsWindow(viaButton) && !::IsWindow(viaSystem); }));
}

TEST(WindowImplBase, AltF4ClicksTheCloseButtonOrIsSwallowedWithoutOne)
{
    SkinWindow withButton(kSkin), withoutButton(kSkinWithoutButtons);
    ASSERT_NE(withButton.Open(), nullptr);
    ASSERT_NE(withoutButton.Open(), nullptr);
    bool handled = false;
    EXPECT_EQ(withButton.MessageHandler(WM_SYSKEYDOWN, VK_F4, 0, handled), 1);
    EXPECT_FALSE(handled);
    EXPECT_EQ(withButton.closeCalls, 1);

    handled = false;
    EXPECT_EQ(withoutButton.MessageHandler(WM_SYSKEYDOWN, VK_F4, 0, handled), 1);
    EXPECT_TRUE(handled);
    EXPECT_EQ(withoutButton.closeCalls, 0);
    EXPECT_TRUE(::IsWindow(withoutButton));

    handled = false;
    EXPECT_EQ(withoutButton.MessageHandler(WM_SYSKEYDOWN, VK_F5, 0, handled), 0);
    EXPECT_FALSE(handled);
}

// What a window ended by its own click saw; kept outside the window, which
// is gone when the test reads it.
struct EndingSeen {
    bool deleted = false;
    bool deletedInHandler = true;
    bool refInHandler = true;
    int laterListenerCalls = 0;
    WeakRef<CWindowWnd> ref;
};

// A window whose button click ends the window from inside the handler, as
// an exit dialog's OK does, with a second listener on the same manager.
class EndingWindow final : public WindowImplBase {
public:
    explicit EndingWindow(EndingSeen& seen) : m_seen(seen), m_laterListener(seen) {}
    ~EndingWindow() override { m_seen.deleted = true; }

    HWND Open()
    {
        HWND hWnd = Create(nullptr, L"ending", WS_POPUP, 0, 100, 100, 10, 10);
        if (!hWnd) return nullptr;
        m_PaintManager.AddNotifier(&m_laterListener);
        // The tree is laid out when the window first paints.
        ::ShowWindow(hWnd, SW_SHOWNOACTIVATE);
        ::RedrawWindow(hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        CControlUI* button = m_PaintManager.FindControl(L"btn_end");
        if (!button || !WaitFor([&] { return button->GetPos().right > button->GetPos().left; })) return nullptr;
        return hWnd;
    }

protected:
    LPCTSTR GetWindowClassName() const override { return L"SkinWindowEndingTest"; }
    CUiString GetSkinFolder() override { return CUiString(); }
    CUiString GetSkinFile() override
    {
        return L"<Window size=\"200,100\"><VerticalLayout><Button name=\"btn_end\"/></VerticalLayout></Window>";
    }
    void OnClick(TNotifyUI& msg) override
    {
        if (msg.pSender == nullptr || !(msg.pSender->GetName() == L"btn_end")) return;
        ::DestroyWindow(m_hWnd);
        m_seen.deletedInHandler = m_seen.deleted;
        m_seen.refInHandler = static_cast<bool>(m_seen.ref);
    }
    void OnFinalMessage(HWND hWnd) override
    {
        WindowImplBase::OnFinalMessage(hWnd);
        DeleteWhenUnwound();
    }

private:
    // The second listener: its window is gone before it would be called.
    struct LaterListener final : INotifyUI {
        explicit LaterListener(EndingSeen& seen) : seen(seen) {}
        void Notify(TNotifyUI& msg) override
        {
            if (msg.sType == L"click") ++seen.laterListenerCalls;
        }
        EndingSeen& seen;
    };

    EndingSeen& m_seen;
    LaterListener m_laterListener;
};

TEST(WindowImplBase, AWindowEndedByItsOwnClickLivesUntilTheClickHasBeenHandled)
{
    EndingSeen seen;
    auto* window = new EndingWindow(seen);
    HWND hWnd = window->Open();
    ASSERT_NE(hWnd, nullptr);
    seen.ref = window->GetWeakRef();
    const LPARAM at = MAKELPARAM(50, 10);
    ::PostMessageW(hWnd, WM_MOUSEMOVE, 0, at);
    ::PostMessageW(hWnd, WM_LBUTTONDOWN, MK_LBUTTON, at);
    ::PostMessageW(hWnd, WM_LBUTTONUP, 0, at);
    EXPECT_TRUE(WaitFor([&] { return !::IsWindow(hWnd); }));
    EXPECT_FALSE(seen.deletedInHandler) << "deleted under its own click handler";
    EXPECT_FALSE(seen.refInHandler) << "the window is gone: references must say so at once";
    EXPECT_EQ(seen.laterListenerCalls, 0) << "a listener of a window that is gone was called";
    EXPECT_TRUE(seen.deleted) << "deleted once the click's message had been handled";
    EXPECT_FALSE(seen.ref);
    EXPECT_FALSE(::IsWindow(hWnd));
}

// A window that control "a" ends from inside its own mouse-leave handler,
// while the mouse moves on to "b". The window object lives until the move
// has been handled; its tree, though, reads as gone at once, so the rest of
// the move reaches no control.
struct LeaveEnding {
    HWND hwnd = nullptr;
    bool ended = false;
    int eventsAfterEnd = 0;
};
LeaveEnding* g_leaveEnding = nullptr;  // control delegates are plain functions

bool EndWindowOnLeave(void* param)
{
    if (static_cast<TEventUI*>(param)->Type == UIEVENT_MOUSELEAVE && !g_leaveEnding->ended) {
        g_leaveEnding->ended = true;
        ::DestroyWindow(g_leaveEnding->hwnd);
    }
    return true;
}

bool CountEventsAfterEnd(void*)
{
    if (g_leaveEnding->ended) ++g_leaveEnding->eventsAfterEnd;
    return true;
}

class LeaveEndingWindow final : public WindowImplBase {
public:
    HWND Open()
    {
        HWND hWnd = Create(nullptr, L"leave ending", WS_POPUP, 0, 100, 100, 10, 10);
        if (!hWnd) return nullptr;
        ::ShowWindow(hWnd, SW_SHOWNOACTIVATE);
        ::RedrawWindow(hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        CControlUI* a = m_PaintManager.FindControl(L"a");
        CControlUI* b = m_PaintManager.FindControl(L"b");
        if (!a || !b || !WaitFor([&] { return b->GetPos().right > b->GetPos().left; })) return nullptr;
        a->OnEvent += &EndWindowOnLeave;
        b->OnEvent += &CountEventsAfterEnd;
        return hWnd;
    }

protected:
    LPCTSTR GetWindowClassName() const override { return L"SkinWindowLeaveEndingTest"; }
    CUiString GetSkinFolder() override { return CUiString(); }
    CUiString GetSkinFile() override
    {
        return L"<Window size=\"200,100\"><HorizontalLayout><Control name=\"a\"/><Control name=\"b\"/>"
               L"</HorizontalLayout></Window>";
    }
    void OnFinalMessage(HWND hWnd) override
    {
        WindowImplBase::OnFinalMessage(hWnd);
        DeleteWhenUnwound();
    }
};

TEST(WindowImplBase, AWindowEndedByAControlsHandlerSendsItsTreeNoMoreEvents)
{
    LeaveEnding state;
    g_leaveEnding = &state;
    auto* window = new LeaveEndingWindow;
    state.hwnd = window->Open();
    ASSERT_NE(state.hwnd, nullptr);
    ::SendMessageW(state.hwnd, WM_MOUSEMOVE, 0, MAKELPARAM(50, 50));   // over a
    ::SendMessageW(state.hwnd, WM_MOUSEMOVE, 0, MAKELPARAM(150, 50));  // a leaves, and ends the window
    EXPECT_TRUE(state.ended);
    EXPECT_FALSE(::IsWindow(state.hwnd));
    EXPECT_EQ(state.eventsAfterEnd, 0) << "b was entered and moved over in a window that was gone";
    g_leaveEnding = nullptr;
}

TEST(WindowImplBase, AMissingArchiveResourceLeavesAnEmptyWindow)
{
    SkinWindow window(kSkin, UI_RES_ZIPRESOURCE);
    ASSERT_NE(window.Open(), nullptr);
    EXPECT_EQ(window.initCalls, 0);
    EXPECT_EQ(window.GetPaintManager().GetRoot(), nullptr);
}

TEST(WindowImplBase, MinimumTrackingSizeComesFromTheSkin)
{
    SkinWindow window(kSkin);
    ASSERT_NE(window.Open(), nullptr);
    MINMAXINFO info = {};
    window.SendMessage(WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
    EXPECT_EQ(info.ptMinTrackSize.x, 120);
    EXPECT_EQ(info.ptMinTrackSize.y, 90);
    RECT work;
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    EXPECT_EQ(info.ptMaxTrackSize.x, work.right - work.left);
}
