// The native window wrapper under Wine: binding and the end of a window's
// life, subclassing and superclassing, centring, the modal loop, styles,
// icons and sizes.
#include "ui/window/WindowPlacement.h"
#include "ui/window/WorkArea.h"
#include "tests/ui/window/WindowTestSupport.h"
#include "ui/paint/MessageFilter.h"

#include <new>
#include <string>

namespace SkinUI {
namespace {

using WindowTest::ColourWindow;

class WindowWnd : public ::testing::Test {
protected:
    void SetUp() override { WindowTest::UseThisModule(); }
    void TearDown() override
    {
        // Nothing a test made may outlive it.
        EXPECT_TRUE(WindowTest::ThreadWindows().empty());
    }
};

RECT WindowRect(HWND hWnd)
{
    RECT rc = {};
    ::GetWindowRect(hWnd, &rc);
    return rc;
}

RECT PrimaryWorkArea()
{
    RECT area = {};
    WorkAreaNearWindow(nullptr, area);
    return area;
}

TEST_F(WindowWnd, FinalMessageComesAfterThePreviousProcedureAndUnbindsTheObject)
{
    ColourWindow window;
    std::vector<std::string> events;
    HWND hWnd = window.CreatePopup(nullptr, 0, 0, 50, 40);
    ASSERT_TRUE(hWnd);
    EXPECT_EQ(hWnd, window.GetHWND());
    EXPECT_EQ(reinterpret_cast<LONG_PTR>(&window), ::GetWindowLongPtrW(hWnd, GWLP_USERDATA));
    window.onMessage = [&](UINT msg, WPARAM, LPARAM, bool&) -> LRESULT {
        if (msg == WM_DESTROY) events.push_back("destroy");
        if (msg == WM_NCDESTROY) events.push_back("ncdestroy");
        return 0;
    };
    ::DestroyWindow(hWnd);
    EXPECT_EQ((std::vector<std::string>{"destroy"}), events)
        << "WM_NCDESTROY goes to the previous procedure, not to HandleMessage";
    EXPECT_EQ(1, window.finalMessages);
    EXPECT_EQ(nullptr, window.GetHWND());
}

// A window object that owns itself, recording when it is deleted.
struct SelfDeleting final : ColourWindow {
    explicit SelfDeleting(bool* gone) : gone(gone) {}
    ~SelfDeleting() { *gone = true; }
    void OnFinalMessage(HWND hWnd) override
    {
        ColourWindow::OnFinalMessage(hWnd);
        DeleteWhenUnwound();
    }
    bool* gone;
};

TEST_F(WindowWnd, AnObjectDestroyedFromOutsideItsHandlersIsDeletedAtItsFinalMessage)
{
    bool gone = false;
    auto* window = new SelfDeleting(&gone);
    HWND hWnd = window->CreatePopup(nullptr, 0, 0, 30, 30);
    ASSERT_TRUE(hWnd);
    const WeakRef<CWindowWnd> ref = window->GetWeakRef();
    ::DestroyWindow(hWnd);
    EXPECT_TRUE(gone);
    EXPECT_FALSE(ref);
    EXPECT_FALSE(::IsWindow(hWnd));
}

TEST_F(WindowWnd, AnObjectOutlivesEveryHandlerOnTheStackThatDestroyedItsWindow)
{
    bool gone = false;
    auto* window = new SelfDeleting(&gone);
    HWND hWnd = window->CreatePopup(nullptr, 0, 0, 30, 30);
    ASSERT_TRUE(hWnd);
    const WeakRef<CWindowWnd> ref = window->GetWeakRef();
    struct Seen {
        bool goneInInner = true, goneInOuter = true, refInOuter = true, refTakenInOuter = true;
        int finalInOuter = -1;
    } seen;
    // The outer message sends an inner one whose handler destroys the
    // window, as a click handler that runs a modal dialog does.
    window->onMessage = [&](UINT msg, WPARAM, LPARAM, bool& handled) -> LRESULT {
        if (msg == WM_APP) {
            handled = true;
            ::SendMessageW(hWnd, WM_APP + 1, 0, 0);
            seen.goneInOuter = gone;
            seen.refInOuter = static_cast<bool>(ref);
            seen.refTakenInOuter = static_cast<bool>(window->GetWeakRef());
            seen.finalInOuter = window->finalMessages;  // the object is still readable
        } else if (msg == WM_APP + 1) {
            handled = true;
            ::DestroyWindow(hWnd);
            seen.goneInInner = gone;
        }
        return 0;
    };
    ::SendMessageW(hWnd, WM_APP, 0, 0);
    EXPECT_FALSE(seen.goneInInner);
    EXPECT_FALSE(seen.goneInOuter);
    EXPECT_EQ(1, seen.finalInOuter);
    EXPECT_FALSE(seen.refInOuter) << "the window died: references read as gone at once";
    EXPECT_FALSE(seen.refTakenInOuter);
    EXPECT_TRUE(gone) << "deleted once the outermost handler returned";
}

TEST_F(WindowWnd, AModalLoopKeepsItsObjectUntilTheLoopHasEnded)
{
    bool gone = false;
    auto* window = new SelfDeleting(&gone);
    HWND hWnd = window->CreatePopup(nullptr, 0, 0, 30, 30);
    ASSERT_TRUE(hWnd);
    bool goneWhenDestroyed = true;
    window->onMessage = [&](UINT msg, WPARAM, LPARAM, bool&) -> LRESULT {
        if (msg == WM_CLOSE) {
            ::DestroyWindow(hWnd);
            goneWhenDestroyed = gone;
        }
        return 0;
    };
    ::PostMessageW(hWnd, WM_CLOSE, 5, 0);
    EXPECT_EQ(5u, window->ShowModal());
    EXPECT_FALSE(goneWhenDestroyed);
    EXPECT_TRUE(gone);
}

TEST_F(WindowWnd, AWindowMadeAgainGivesReferencesThatLive)
{
    ColourWindow window;
    ASSERT_TRUE(window.CreatePopup(nullptr, 0, 0, 30, 30));
    const WeakRef<CWindowWnd> first = window.GetWeakRef();
    EXPECT_EQ(first.Get(), &window);
    ::DestroyWindow(window.GetHWND());
    EXPECT_FALSE(first);
    EXPECT_FALSE(window.GetWeakRef()) << "no window, nothing to refer to";
    ASSERT_TRUE(window.CreatePopup(nullptr, 0, 0, 30, 30));
    EXPECT_EQ(window.GetWeakRef().Get(), &window);
    EXPECT_FALSE(first);
}

TEST_F(WindowWnd, AWindowOfTheClassMadeWithoutAnObjectGetsTheDefaultProcedure)
{
    ColourWindow window;
    ASSERT_TRUE(window.RegisterWindowClass());
    ASSERT_TRUE(window.RegisterWindowClass()) << "an existing class counts as registered";
    HWND bare = ::CreateWindowExW(0, L"VornexTestColourWindow", L"bare", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                  ::GetModuleHandleW(nullptr), nullptr);
    ASSERT_TRUE(bare);
    EXPECT_EQ(0, ::GetWindowLongPtrW(bare, GWLP_USERDATA));
    wchar_t title[16] = {};
    ::GetWindowTextW(bare, title, 16);
    EXPECT_STREQ(L"bare", title);
    ::DestroyWindow(bare);
}

TEST_F(WindowWnd, SubclassRoutesAnExistingWindowAndUnsubclassGivesItBack)
{
    HWND edit = ::CreateWindowExW(0, L"EDIT", L"", WS_POPUP, 0, 0, 80, 20, nullptr, nullptr, nullptr, nullptr);
    ASSERT_TRUE(edit);
    ::SetWindowLongPtrW(edit, GWLP_USERDATA, 1234);
    const LONG_PTR ownProc = ::GetWindowLongPtrW(edit, GWLP_WNDPROC);
    {
        ColourWindow wrapper;
        int setText = 0;
        wrapper.onMessage = [&](UINT msg, WPARAM, LPARAM, bool&) -> LRESULT {
            if (msg == WM_SETTEXT) ++setText;
            return 0;
        };
        EXPECT_EQ(nullptr, wrapper.Subclass(nullptr));
        ASSERT_EQ(edit, wrapper.Subclass(edit));
        ::SetWindowTextW(edit, L"through");
        EXPECT_EQ(1, setText);
        wchar_t text[16] = {};
        ::GetWindowTextW(edit, text, 16);
        EXPECT_STREQ(L"through", text) << "unhandled messages reach the edit's own procedure";

        wrapper.Unsubclass();
        EXPECT_EQ(ownProc, ::GetWindowLongPtrW(edit, GWLP_WNDPROC));
        EXPECT_EQ(1234, ::GetWindowLongPtrW(edit, GWLP_USERDATA)) << "the window's own user data is back";
        ::SetWindowTextW(edit, L"again");
        EXPECT_EQ(1, setText);
        wrapper.onMessage = nullptr;
        // The wrapper is still bound (as Unsubclass leaves it); its
        // destructor must not destroy the edit.
        EXPECT_EQ(edit, wrapper.GetHWND());
        ::DestroyWindow(edit);
    }
}

TEST_F(WindowWnd, OneObjectBindsOneWindowAndNoWindowIsSubclassedTwice)
{
    ColourWindow window;
    HWND hWnd = window.CreatePopup(nullptr, 0, 0, 40, 40);
    ASSERT_TRUE(hWnd);
    EXPECT_EQ(nullptr, window.CreatePopup(nullptr, 0, 0, 40, 40)) << "already bound";
    ColourWindow other;
    EXPECT_EQ(nullptr, other.Subclass(hWnd)) << "runs the wrapper's procedure already";

    HWND edit = ::CreateWindowExW(0, L"EDIT", L"", WS_POPUP, 0, 0, 80, 20, nullptr, nullptr, nullptr, nullptr);
    ColourWindow first, second;
    ASSERT_EQ(edit, first.Subclass(edit));
    EXPECT_EQ(nullptr, second.Subclass(edit));
    ::SetWindowTextW(edit, L"still works");
    wchar_t text[16] = {};
    ::GetWindowTextW(edit, text, 16);
    EXPECT_STREQ(L"still works", text);
    ::DestroyWindow(edit);
    EXPECT_EQ(hWnd, window.GetHWND());
}

TEST_F(WindowWnd, ASubclassedWindowEndsThroughTheWrapperWithItsOwnProcedureRestored)
{
    HWND edit = ::CreateWindowExW(0, L"EDIT", L"", WS_POPUP, 0, 0, 80, 20, nullptr, nullptr, nullptr, nullptr);
    ColourWindow wrapper;
    ASSERT_EQ(edit, wrapper.Subclass(edit));
    ::DestroyWindow(edit);
    EXPECT_EQ(1, wrapper.finalMessages);
    EXPECT_EQ(nullptr, wrapper.GetHWND());
}

class ButtonWindow final : public CWindowWnd {
public:
    explicit ButtonWindow(LPCTSTR super = L"BUTTON") : m_super(super) {}
    ~ButtonWindow()
    {
        if (::IsWindow(m_hWnd)) ::DestroyWindow(m_hWnd);
    }
    int finalMessages = 0;
    int handled = 0;

protected:
    LPCTSTR GetWindowClassName() const override { return L"VornexTestSuperButton"; }
    LPCTSTR GetSuperClassName() const override { return m_super; }
    LRESULT HandleMessage(UINT uMsg, WPARAM wParam, LPARAM lParam) override
    {
        ++handled;
        return CWindowWnd::HandleMessage(uMsg, wParam, lParam);
    }
    void OnFinalMessage(HWND) override { ++finalMessages; }

private:
    LPCTSTR m_super;
};

TEST_F(WindowWnd, ASuperclassedWindowBehavesAsItsSystemClass)
{
    ButtonWindow button;
    HWND hWnd = button.Create(nullptr, L"ok", WS_POPUP | BS_AUTOCHECKBOX, 0, 0, 0, 60, 20);
    ASSERT_TRUE(hWnd);
    wchar_t name[64] = {};
    ::GetClassNameW(hWnd, name, 64);
    EXPECT_STREQ(L"VornexTestSuperButton", name);
    EXPECT_EQ(static_cast<HANDLE>(&button), ::GetPropW(hWnd, L"WndX"));
    EXPECT_GT(button.handled, 0);
    ::SendMessageW(hWnd, BM_SETCHECK, BST_CHECKED, 0);
    EXPECT_EQ(BST_CHECKED, ::SendMessageW(hWnd, BM_GETCHECK, 0, 0)) << "the button's procedure runs underneath";
    ::DestroyWindow(hWnd);
    EXPECT_EQ(1, button.finalMessages);
    EXPECT_EQ(nullptr, button.GetHWND());
}

TEST_F(WindowWnd, CreateFailsWithoutAWindowWhenTheSuperclassDoesNotExist)
{
    struct Missing final : CWindowWnd {
        LPCTSTR GetWindowClassName() const override { return L"VornexTestNoSuper"; }
        LPCTSTR GetSuperClassName() const override { return L"NoSuchSystemClass"; }
    } missing;
    EXPECT_FALSE(missing.RegisterSuperclass());
    EXPECT_EQ(nullptr, missing.Create(nullptr, L"", WS_POPUP, 0, 0, 0, 10, 10));
    EXPECT_EQ(nullptr, missing.GetHWND());
}

// CenterWindow for a 320x180 window: on a visible owner, on the work area
// when the owner is minimised or absent, pinned when too large.
TEST_F(WindowWnd, CenterWindowPlacesOnTheOwnerOrTheWorkArea)
{
    const RECT area = PrimaryWorkArea();
    ASSERT_GT(area.right - area.left, 640);
    const POINT onArea = {(area.left + area.right) / 2 - 160, (area.top + area.bottom) / 2 - 90};

    struct Case {
        const char* name;
        bool owner;
        bool minimiseOwner;
        int width, height;
    };
    const Case cases[] = {
        {"visible owner", true, false, 320, 180},
        {"minimised owner", true, true, 320, 180},
        {"no owner", false, false, 320, 180},
        {"too large", false, false, 4000, 3000},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ColourWindow owner(RGB(200, 200, 200));
        HWND hOwner = nullptr;
        if (c.owner) {
            hOwner = owner.CreatePopup(nullptr, 201, 151, 601, 401);
            owner.ShowWindow(true, false);
            if (c.minimiseOwner) ::ShowWindow(hOwner, SW_MINIMIZE);
        }
        ColourWindow dialog;
        ASSERT_TRUE(dialog.CreatePopup(hOwner, 0, 0, c.width, c.height));
        dialog.CenterWindow();
        const RECT rc = WindowRect(dialog);
        EXPECT_EQ(c.width, rc.right - rc.left);
        if (c.owner && !c.minimiseOwner) {
            // (201 + 802) / 2 - 160 and (151 + 552) / 2 - 90, truncated.
            EXPECT_EQ(341, rc.left);
            EXPECT_EQ(261, rc.top);
        } else if (c.width > area.right - area.left) {
            EXPECT_EQ(area.left, rc.left);
            EXPECT_EQ(area.top, rc.top);
        } else {
            EXPECT_EQ(onArea.x, rc.left);
            EXPECT_EQ(onArea.y, rc.top);
        }
    }
}

TEST_F(WindowWnd, WorkAreaFallsBackToThePrimaryScreenWithoutMonitorInformation)
{
    RECT area = {1, 2, 3, 4};
    ASSERT_TRUE(WorkAreaOfMonitor(nullptr, area));
    EXPECT_EQ(0, area.left);
    EXPECT_GT(area.right, 0);
    EXPECT_GT(area.bottom, 0);
}

// A window whose WM_CLOSE ends it the default way, and which can run a
// step when a private message arrives inside the modal loop.
struct ModalCase {
    ColourWindow owner{RGB(200, 200, 200)};
    ColourWindow dialog;
    std::function<void()> step;

    explicit ModalCase(bool withOwner)
    {
        HWND hOwner = withOwner ? owner.CreatePopup(nullptr, 100, 100, 400, 300) : nullptr;
        if (hOwner) owner.ShowWindow(true, false);
        dialog.CreatePopup(hOwner, 150, 150, 200, 100);
        dialog.onMessage = [this](UINT msg, WPARAM, LPARAM, bool& handled) -> LRESULT {
            if (msg != WM_APP + 7) return 0;
            handled = true;
            if (step) step();
            return 0;
        };
    }
};

TEST_F(WindowWnd, ShowModalReturnsTheValueGivenToCloseAndReenablesTheOwner)
{
    for (bool withOwner : {true, false}) {
        SCOPED_TRACE(withOwner ? "owner" : "no owner");
        ModalCase modal(withOwner);
        bool ownerDisabledMeanwhile = false;
        modal.step = [&] {
            ownerDisabledMeanwhile = !::IsWindowEnabled(modal.owner);
            modal.dialog.Close(7);
        };
        modal.dialog.PostMessage(WM_APP + 7);
        EXPECT_EQ(7u, modal.dialog.ShowModal());
        EXPECT_FALSE(::IsWindow(modal.dialog.GetHWND())) << "the default WM_CLOSE destroyed it";
        if (withOwner) {
            EXPECT_TRUE(ownerDisabledMeanwhile);
            EXPECT_TRUE(::IsWindowEnabled(modal.owner));
        }
        MSG quit;
        EXPECT_FALSE(::PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE));
    }
}

// A dialog object that ends itself in its final message, as the exit dialog
// does. Its storage stays the test's, and the ended object is left claiming
// a live window, so a modal loop that still read the object would go on
// running instead of ending with the dialog.
class SelfEndingDialog final : public CWindowWnd {
public:
    explicit SelfEndingDialog(HWND afterEnd) : m_afterEnd(afterEnd) {}
    ~SelfEndingDialog() { m_hWnd = m_afterEnd; }

protected:
    LPCTSTR GetWindowClassName() const override { return L"VornexTestSelfEnding"; }
    void OnFinalMessage(HWND) override { this->~SelfEndingDialog(); }

private:
    HWND m_afterEnd;
};

void CALLBACK QuitOnTimer(HWND, UINT, UINT_PTR, DWORD) { ::PostQuitMessage(9); }

TEST_F(WindowWnd, ADialogThatEndsItselfInItsFinalMessageEndsTheModalLoop)
{
    ColourWindow owner(RGB(200, 200, 200));
    ASSERT_TRUE(owner.CreatePopup(nullptr, 100, 100, 300, 200));
    owner.ShowWindow(true, false);
    alignas(SelfEndingDialog) unsigned char storage[sizeof(SelfEndingDialog)];
    auto* dialog = new (storage) SelfEndingDialog(owner);
    ASSERT_TRUE(dialog->Create(owner, L"", WS_POPUP, 0, 150, 150, 100, 60));
    // Ends a loop that does not end by itself.
    const UINT_PTR guard = ::SetTimer(nullptr, 0, 3000, QuitOnTimer);
    dialog->Close(5);
    EXPECT_EQ(5u, dialog->ShowModal());
    ::KillTimer(nullptr, guard);
    MSG quit;
    EXPECT_FALSE(::PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) << "the loop ran on after the dialog";
    EXPECT_TRUE(::IsWindowEnabled(owner));
}

TEST_F(WindowWnd, TheModalLoopLetsTheWindowsPaintManagerSeeMessagesFirst)
{
    struct SwallowFilter final : IMessageFilterUI {
        int seen = 0;
        LRESULT MessageHandler(UINT uMsg, WPARAM, LPARAM, bool& bHandled) override
        {
            if (uMsg == WM_APP + 9) {
                ++seen;
                bHandled = true;
            }
            return 0;
        }
    } filter;
    ModalCase modal(true);
    int reachedWindow = 0;
    auto step = modal.dialog.onMessage;
    modal.dialog.onMessage = [&](UINT msg, WPARAM wParam, LPARAM lParam, bool& handled) -> LRESULT {
        if (msg == WM_APP + 9) ++reachedWindow;
        return step(msg, wParam, lParam, handled);
    };
    CPaintManagerUI manager;
    manager.Init(modal.dialog);
    manager.AddPreMessageFilter(&filter);
    modal.step = [&] { modal.dialog.Close(2); };
    modal.dialog.PostMessage(WM_APP + 9);
    modal.dialog.PostMessage(WM_APP + 7);
    EXPECT_EQ(2u, modal.dialog.ShowModal());
    EXPECT_EQ(1, filter.seen);
    EXPECT_EQ(0, reachedWindow) << "a message the paint manager takes is not dispatched";
    manager.RemovePreMessageFilter(&filter);
}

TEST_F(WindowWnd, AQuitDuringTheModalLoopEndsItAndReachesTheOuterLoop)
{
    ModalCase modal(true);
    modal.step = [] { ::PostQuitMessage(3); };
    modal.dialog.PostMessage(WM_APP + 7);
    EXPECT_EQ(0u, modal.dialog.ShowModal());
    EXPECT_TRUE(::IsWindowEnabled(modal.owner));
    MSG quit;
    ASSERT_TRUE(::PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) << "WM_QUIT posted again";
    EXPECT_EQ(3u, quit.wParam);
}

TEST_F(WindowWnd, AnOwnerDestroyedDuringTheModalLoopEndsItQuietly)
{
    ModalCase modal(true);
    modal.step = [&] { ::DestroyWindow(modal.owner); };
    modal.dialog.PostMessage(WM_APP + 7);
    EXPECT_EQ(0u, modal.dialog.ShowModal());
    EXPECT_FALSE(::IsWindow(modal.dialog.GetHWND())) << "owned windows go with their owner";
    EXPECT_EQ(1, modal.dialog.finalMessages);
}

TEST_F(WindowWnd, ShowModalWithoutAWindowReturnsAtOnce)
{
    ColourWindow never;
    EXPECT_EQ(0u, never.ShowModal());
}

TEST_F(WindowWnd, ModifyStyleReportsWhetherTheStyleChanged)
{
    ColourWindow window;
    HWND hWnd = window.CreatePopup(nullptr, 0, 0, 50, 50);
    ASSERT_TRUE(hWnd);
    struct Case {
        DWORD remove, add;
        bool changed;
    };
    const Case cases[] = {
        {0, 0, false},
        {WS_BORDER, 0, false},        // removing what is not there
        {0, WS_POPUP, false},         // adding what is there
        {WS_POPUP, WS_POPUP, false},  // removed and added back
        {0, WS_CLIPCHILDREN, true},
        {WS_CLIPCHILDREN, 0, true},
    };
    for (const Case& c : cases) {
        const LONG_PTR before = ::GetWindowLongPtrW(hWnd, GWL_STYLE);
        EXPECT_EQ(c.changed, window.ModifyStyle(c.remove, c.add, SWP_FRAMECHANGED)) << std::hex << c.remove << c.add;
        EXPECT_EQ((before & ~static_cast<LONG_PTR>(c.remove)) | c.add, ::GetWindowLongPtrW(hWnd, GWL_STYLE));
    }
    EXPECT_FALSE(window.ModifyStyleEx(0, 0));
    EXPECT_TRUE(window.ModifyStyleEx(0, WS_EX_TOOLWINDOW));
    EXPECT_TRUE(::GetWindowLongPtrW(hWnd, GWL_EXSTYLE) & WS_EX_TOOLWINDOW);
    EXPECT_FALSE(window.ModifyStyleEx(0, WS_EX_TOOLWINDOW));
}

TEST_F(WindowWnd, ResizeClientCountsTheFrameAndKeepsWhatIsMinusOne)
{
    ColourWindow window;
    ASSERT_TRUE(window.Create(nullptr, L"framed", WS_OVERLAPPEDWINDOW, 0, 40, 40, 300, 200));
    window.ResizeClient(250, -1);
    RECT client;
    ::GetClientRect(window, &client);
    const int height = client.bottom;
    EXPECT_EQ(250, client.right);
    window.ResizeClient(-1, 120);
    ::GetClientRect(window, &client);
    EXPECT_EQ(250, client.right);
    EXPECT_EQ(120, client.bottom);
    EXPECT_NE(120, height);
}

TEST_F(WindowWnd, FullScreenFillsTheWorkAreaAndRestoreScreenPutsTheWindowBack)
{
    ColourWindow window;
    ASSERT_TRUE(window.Create(nullptr, L"framed", WS_OVERLAPPEDWINDOW, 0, 60, 70, 300, 200));
    const RECT before = WindowRect(window);
    window.FullScreen();
    RECT area;
    ASSERT_TRUE(WorkAreaNearWindow(window, area));
    const RECT full = WindowRect(window);
    EXPECT_EQ(area.left, full.left);
    EXPECT_EQ(area.right - area.left, full.right - full.left);
    EXPECT_TRUE(::IsWindowVisible(window));
    window.RestoreScreen();
    const RECT after = WindowRect(window);
    EXPECT_EQ(before.left, after.left);
    EXPECT_EQ(before.top, after.top);
    EXPECT_EQ(before.right, after.right) << "a framed window keeps its frame";
    EXPECT_EQ(before.bottom, after.bottom);
}

TEST_F(WindowWnd, MoveWindowByAClientRectangleStartsAtItsScreenPoint)
{
    ColourWindow window;
    ASSERT_TRUE(window.CreatePopup(nullptr, 100, 80, 200, 100));
    const RECT inClient = {10, 20, 110, 70};
    window.MoveWindow(inClient);
    const RECT rc = WindowRect(window);
    EXPECT_EQ(110, rc.left);
    EXPECT_EQ(100, rc.top);
    EXPECT_EQ(100, rc.right - rc.left);
    EXPECT_EQ(50, rc.bottom - rc.top);
}

bool IconAlive(HICON icon)
{
    ICONINFO info = {};
    if (!icon || !::GetIconInfo(icon, &info)) return false;
    if (info.hbmColor) ::DeleteObject(info.hbmColor);
    if (info.hbmMask) ::DeleteObject(info.hbmMask);
    return true;
}

TEST_F(WindowWnd, SetIconSetsBothSizesAndFreesTheIconsItReplaces)
{
    ColourWindow window;
    ASSERT_TRUE(window.CreatePopup(nullptr, 0, 0, 50, 50));
    window.SetIcon(107);
    auto icon = [&](WPARAM which) { return reinterpret_cast<HICON>(window.SendMessage(WM_GETICON, which, 0)); };
    const HICON big = icon(ICON_BIG), small = icon(ICON_SMALL);
    ASSERT_TRUE(IconAlive(big));
    ASSERT_TRUE(IconAlive(small));
    ICONINFO info = {};
    ASSERT_TRUE(::GetIconInfo(big, &info));
    BITMAP mask = {};
    ::GetObjectW(info.hbmMask, sizeof(mask), &mask);
    const int size = (::GetSystemMetrics(SM_CXICON) + 15) & ~15;
    EXPECT_EQ(size, mask.bmWidth);
    if (info.hbmColor) ::DeleteObject(info.hbmColor);
    ::DeleteObject(info.hbmMask);

    window.SetIcon(108);
    EXPECT_FALSE(IconAlive(big));
    EXPECT_FALSE(IconAlive(small));
    const HICON last = icon(ICON_BIG);
    EXPECT_TRUE(IconAlive(last));
    ::DestroyWindow(window);
    EXPECT_FALSE(IconAlive(last)) << "freed with the window";
}

}  // namespace
}  // namespace SkinUI
