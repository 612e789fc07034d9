// Which event each window message becomes, field by field: the message goes
// through the manager's MessageHandler (or PreMessageHandler) of a real
// window, and the control that gets the event records it whole. And the
// rule that hands mouse events from controls that take no mouse upwards.
#include "ManagerWindow.h"
#include "ProbeControl.h"

#include "ui/controls/ButtonUI.h"
#include "ui/controls/ScrollBarUI.h"
#include "ui/controls/TextUI.h"

#include <gtest/gtest.h>

#include <memory>
#include <ostream>
#include <string>
#include <vector>

using namespace SkinUI;

namespace {

struct SeenEvent {
    std::wstring control;
    TEventUI event;
};

// What a case does before its message.
enum class Before {
    Nothing,
    FocusOther,          // "other" has the focus
    PressInner,          // a left button down on "inner" (it is the click control, the mouse captured)
    RightPressOther,     // a right button down on "other"
    KeyDownOnOther,      // "other" got a key down, then the focus moved to "inner"
    CursorOverOther,     // the real cursor rests on "other"
    CursorOverInner,
};

enum class Entry { Message, PreMessage };

// How the case builds lParam: a client point, the same point on the screen,
// or the number itself.
enum class Param { ClientPoint, ScreenPoint, Raw };

struct RouteCase {
    const char* name;
    Before before;
    Entry entry;
    UINT message;
    WPARAM wParam;
    Param param;
    POINT pt;       // the point, for ClientPoint and ScreenPoint
    LPARAM rawLParam;
    // Expected: no event anywhere when `target` is null.
    const wchar_t* target;
    int type;
    POINT ptMouse;
    WORD keyState;
    TCHAR chKey;
    WPARAM eventWParam;
    // kMessageLParam: the message's own; kSenderLParam: the target control.
    LPARAM eventLParam;
};

// A failing case names itself.
void PrintTo(const RouteCase& c, std::ostream* os) { *os << c.name; }

constexpr LPARAM kMessageLParam = -1;
constexpr LPARAM kSenderLParam = -2;
// Where the manager's last mouse position is before each case.
constexpr POINT kLast = {5, 6};

// The tree of MessageDispatchTest (inner at 60,60 - 160,120 inside outer,
// other at 260,20 - 360,120); "other" also asks for cursor events.
const RouteCase kCases[] = {
    {"left press: the control under the point, with the message's flags", Before::Nothing, Entry::Message,
     WM_LBUTTONDOWN, MK_LBUTTON | MK_SHIFT, Param::ClientPoint, {100, 80}, 0, L"inner", UIEVENT_BUTTONDOWN, {100, 80},
     MK_LBUTTON | MK_SHIFT, 0, MK_LBUTTON | MK_SHIFT, kMessageLParam},
    {"right press", Before::Nothing, Entry::Message, WM_RBUTTONDOWN, MK_RBUTTON, Param::ClientPoint, {300, 60}, 0,
     L"other", UIEVENT_RBUTTONDOWN, {300, 60}, MK_RBUTTON, 0, MK_RBUTTON, kMessageLParam},
    {"double click: flags only", Before::Nothing, Entry::Message, WM_LBUTTONDBLCLK, MK_LBUTTON, Param::ClientPoint,
     {100, 80}, 0, L"inner", UIEVENT_DBLCLICK, {100, 80}, MK_LBUTTON, 0, 0, 0},
    {"press on no control of the tree's children goes to the root", Before::Nothing, Entry::Message, WM_LBUTTONDOWN,
     MK_LBUTTON, Param::ClientPoint, {390, 290}, 0, L"root", UIEVENT_BUTTONDOWN, {390, 290}, MK_LBUTTON, 0,
     MK_LBUTTON, kMessageLParam},
    {"button up: the pressed control, wherever the mouse is", Before::PressInner, Entry::Message, WM_LBUTTONUP, 0,
     Param::ClientPoint, {390, 290}, 0, L"inner", UIEVENT_BUTTONUP, {390, 290}, 0, 0, 0, kMessageLParam},
    {"button up without a press", Before::Nothing, Entry::Message, WM_LBUTTONUP, 0, Param::ClientPoint, {100, 80}, 0,
     nullptr, 0, {}, 0, 0, 0, 0},
    {"context menu: the pressed control, the screen point in client terms, itself in lParam", Before::RightPressOther,
     Entry::Message, WM_CONTEXTMENU, 0, Param::ScreenPoint, {310, 70}, 0, L"other", UIEVENT_CONTEXTMENU, {310, 70}, 0,
     0, 0, kSenderLParam},
    {"context menu without a press", Before::Nothing, Entry::Message, WM_CONTEXTMENU, 0, Param::ScreenPoint,
     {310, 70}, 0, nullptr, 0, {}, 0, 0, 0, 0},
    {"wheel towards the user", Before::Nothing, Entry::Message, WM_MOUSEWHEEL, MAKEWPARAM(0, -120), Param::ScreenPoint,
     {100, 80}, 0, L"inner", UIEVENT_SCROLLWHEEL, {100, 80}, 0, 0, 1, kMessageLParam},
    {"wheel away from the user", Before::Nothing, Entry::Message, WM_MOUSEWHEEL, MAKEWPARAM(0, 240),
     Param::ScreenPoint, {300, 60}, 0, L"other", UIEVENT_SCROLLWHEEL, {300, 60}, 0, 0, 0, kMessageLParam},
    {"key down: the focus, at the last mouse position", Before::FocusOther, Entry::Message, WM_KEYDOWN, 'A',
     Param::Raw, {}, 0x001E0001, L"other", UIEVENT_KEYDOWN, kLast, 0, 'A', 'A', kMessageLParam},
    {"key down without focus", Before::Nothing, Entry::Message, WM_KEYDOWN, 'A', Param::Raw, {}, 0x001E0001, nullptr,
     0, {}, 0, 0, 0, 0},
    {"key up: the control that got the key down, not the focus", Before::KeyDownOnOther, Entry::Message, WM_KEYUP, 'A',
     Param::Raw, {}, static_cast<LPARAM>(0xC01E0001), L"other", UIEVENT_KEYUP, kLast, 0, 'A', 'A', kMessageLParam},
    {"character", Before::FocusOther, Entry::Message, WM_CHAR, L'x', Param::Raw, {}, 0x002D0001, L"other",
     UIEVENT_CHAR, kLast, 0, L'x', L'x', kMessageLParam},
    {"system key, from pre-translation", Before::FocusOther, Entry::PreMessage, WM_SYSKEYDOWN, VK_F10, Param::Raw, {},
     0x20440001, L"other", UIEVENT_SYSKEY, kLast, 0, VK_F10, VK_F10, kMessageLParam},
    {"size: the focus, nothing of the message", Before::FocusOther, Entry::Message, WM_SIZE, SIZE_RESTORED,
     Param::Raw, {}, MAKELPARAM(400, 300), L"other", UIEVENT_WINDOWSIZE, kLast, 0, 0, 0, 0},
    {"cursor: the control under the cursor that asks for it", Before::CursorOverOther, Entry::Message, WM_SETCURSOR,
     0, Param::Raw, {}, MAKELPARAM(HTCLIENT, WM_MOUSEMOVE), L"other", UIEVENT_SETCURSOR, {300, 60}, 0, 0, 0,
     kMessageLParam},
    {"cursor over a control that does not ask for it", Before::CursorOverInner, Entry::Message, WM_SETCURSOR, 0,
     Param::Raw, {}, MAKELPARAM(HTCLIENT, WM_MOUSEMOVE), nullptr, 0, {}, 0, 0, 0, 0},
};

class MessageRoutes : public ::testing::TestWithParam<RouteCase> {
protected:
    void SetUp() override
    {
        ::SetCursorPos(2, 2);
        window = std::make_unique<ManagerWindow>(400, 300);
        root = new ProbeContainer(nullptr, L"root");
        auto* outer = new ProbeContainer(nullptr, L"outer", L"float=\"true\" pos=\"20,20,220,170\"");
        inner = new ProbeControl(nullptr, L"inner", L"float=\"true\" pos=\"40,40,140,100\"", UIFLAG_TABSTOP);
        other = new ProbeControl(nullptr, L"other", L"float=\"true\" pos=\"260,20,360,120\"",
                                 UIFLAG_TABSTOP | UIFLAG_SETCURSOR);
        outer->Add(inner);
        root->Add(outer);
        root->Add(other);
        for (auto* probe : {root, outer}) Record(probe);
        for (auto* probe : {inner, other}) Record(probe);
        ASSERT_TRUE(window->Manager().AttachDialog(root));
        window->PaintNow();
        window->PumpPending();
    }
    void TearDown() override
    {
        ::SetCursorPos(2, 2);
        window.reset();
    }

    template <class P>
    void Record(P* probe)
    {
        probe->onEvent = [this, probe](TEventUI& event) {
            // Hover and focus bookkeeping of the steps is not what a case checks.
            if (event.Type == UIEVENT_MOUSEMOVE || event.Type == UIEVENT_MOUSEENTER ||
                event.Type == UIEVENT_MOUSELEAVE || event.Type == UIEVENT_SETFOCUS || event.Type == UIEVENT_KILLFOCUS)
                return;
            seen.push_back({std::wstring(probe->GetName()), event});
        };
    }

    LRESULT Send(UINT message, WPARAM wParam, LPARAM lParam, Entry entry = Entry::Message)
    {
        LRESULT result = 0;
        if (entry == Entry::PreMessage)
            window->Manager().PreMessageHandler(message, wParam, lParam, result);
        else
            window->Manager().MessageHandler(message, wParam, lParam, result);
        return result;
    }

    void Prepare(Before before)
    {
        switch (before) {
        case Before::Nothing:
            break;
        case Before::FocusOther:
            window->Manager().SetFocus(other);
            break;
        case Before::PressInner:
            Send(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(100, 80));
            ASSERT_TRUE(window->Manager().IsCaptured());
            break;
        case Before::RightPressOther:
            Send(WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(300, 60));
            break;
        case Before::KeyDownOnOther:
            window->Manager().SetFocus(other);
            Send(WM_KEYDOWN, 'A', 0x001E0001);
            window->Manager().SetFocus(inner);
            break;
        case Before::CursorOverOther:
            ASSERT_TRUE(window->MoveMouse(300, 60));
            break;
        case Before::CursorOverInner:
            ASSERT_TRUE(window->MoveMouse(100, 80));
            break;
        }
        window->PumpPending();
        seen.clear();
        window->Manager().SetMousePos(kLast);
    }

    std::unique_ptr<ManagerWindow> window;
    ProbeContainer* root = nullptr;
    ProbeControl* inner = nullptr;
    ProbeControl* other = nullptr;
    std::vector<SeenEvent> seen;
};

TEST_P(MessageRoutes, TheMessageBecomesOneEventWithItsTargetAndFields)
{
    const RouteCase& c = GetParam();
    SCOPED_TRACE(c.name);
    Prepare(c.before);
    LPARAM lParam = c.rawLParam;
    if (c.param == Param::ClientPoint) lParam = MAKELPARAM(c.pt.x, c.pt.y);
    if (c.param == Param::ScreenPoint) {
        const POINT screen = window->ToScreen(c.pt.x, c.pt.y);
        lParam = MAKELPARAM(screen.x, screen.y);
    }
    Send(c.message, c.wParam, lParam, c.entry);

    if (c.target == nullptr) {
        EXPECT_TRUE(seen.empty()) << "first event went to " << std::string(seen[0].control.begin(), seen[0].control.end());
        return;
    }
    ASSERT_EQ(seen.size(), 1u);
    const TEventUI& e = seen[0].event;
    EXPECT_EQ(seen[0].control, c.target);
    EXPECT_EQ(e.Type, c.type);
    EXPECT_EQ(e.pSender, window->Manager().FindControl(c.target)) << "the sender is the target";
    EXPECT_EQ(e.ptMouse.x, c.ptMouse.x);
    EXPECT_EQ(e.ptMouse.y, c.ptMouse.y);
    EXPECT_EQ(e.wKeyState, c.keyState);
    EXPECT_EQ(e.chKey, c.chKey);
    EXPECT_EQ(e.wParam, c.eventWParam);
    const LPARAM expectedLParam = c.eventLParam == kMessageLParam ? lParam
                                  : c.eventLParam == kSenderLParam ? reinterpret_cast<LPARAM>(e.pSender)
                                                                   : c.eventLParam;
    EXPECT_EQ(e.lParam, expectedLParam);
    EXPECT_NE(e.dwTimestamp, 0u);
}

INSTANTIATE_TEST_SUITE_P(EveryRoutedMessage, MessageRoutes, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<RouteCase>& info) {
                             return "Case" + std::to_string(info.index);
                         });

// What the routes do besides the event: the click and key controls, the
// capture, the focus, the last mouse position and the message's result.
TEST_F(MessageRoutes, PressesTakeFocusAndCaptureUntilTheButtonGoesUpOrTheMenuOpens)
{
    CPaintManagerUI& pm = window->Manager();
    Prepare(Before::Nothing);
    Send(WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(100, 80));
    EXPECT_EQ(pm.GetFocus(), nullptr) << "a double click does not focus";
    EXPECT_TRUE(pm.IsCaptured());
    EXPECT_EQ(pm.GetMousePos().x, 100);
    Send(WM_LBUTTONUP, 0, MAKELPARAM(10, 10));
    EXPECT_FALSE(pm.IsCaptured());
    EXPECT_EQ(pm.GetMousePos().x, 10);

    Send(WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(300, 60));
    EXPECT_EQ(pm.GetFocus(), other);
    EXPECT_TRUE(pm.IsCaptured());
    const POINT screen = window->ToScreen(50, 40);
    Send(WM_CONTEXTMENU, 0, MAKELPARAM(screen.x, screen.y));
    EXPECT_FALSE(pm.IsCaptured());
    EXPECT_EQ(pm.GetMousePos().x, 50);
    EXPECT_EQ(pm.GetMousePos().y, 40);
    seen.clear();
    Send(WM_CONTEXTMENU, 0, MAKELPARAM(screen.x, screen.y));
    Send(WM_LBUTTONUP, 0, MAKELPARAM(300, 60));
    EXPECT_TRUE(seen.empty()) << "the menu ended the press";
}

TEST_F(MessageRoutes, CursorMessagesAreHandledOnlyWhenAControlTookThemOrTheMouseIsCaptured)
{
    CPaintManagerUI& pm = window->Manager();
    Prepare(Before::CursorOverOther);
    LRESULT result = 0;
    EXPECT_TRUE(pm.MessageHandler(WM_SETCURSOR, 0, MAKELPARAM(HTCLIENT, WM_MOUSEMOVE), result));
    EXPECT_EQ(result, TRUE);
    EXPECT_FALSE(pm.MessageHandler(WM_SETCURSOR, 0, MAKELPARAM(HTCAPTION, WM_MOUSEMOVE), result))
        << "only the client area";
    ASSERT_TRUE(window->MoveMouse(100, 80));
    EXPECT_FALSE(pm.MessageHandler(WM_SETCURSOR, 0, MAKELPARAM(HTCLIENT, WM_MOUSEMOVE), result));
    pm.SetCapture();
    seen.clear();
    result = 0;
    EXPECT_TRUE(pm.MessageHandler(WM_SETCURSOR, 0, MAKELPARAM(HTCLIENT, WM_MOUSEMOVE), result));
    EXPECT_EQ(result, TRUE);
    EXPECT_TRUE(seen.empty()) << "while captured the cursor is left alone";
    pm.ReleaseCapture();
}

// ---- mouse events of controls that take no mouse ---------------------------

// root (logs) > upper container > lower container, both taking no mouse, and
// in the lower one a control of each kind that hands mouse events on.
class MouseDisabledChain : public ::testing::Test {
protected:
    void SetUp() override
    {
        window = std::make_unique<ManagerWindow>(200, 200);
        root = new ProbeContainer(&log, L"root");
        upper = new CContainerUI;
        lower = new CContainerUI;
        lower->EnableScrollBar(true, false);
        button = new CButtonUI;
        text = new CTextUI;
        leafContainer = new CContainerUI;
        for (CControlUI* leaf : {static_cast<CControlUI*>(button), static_cast<CControlUI*>(text),
                                 static_cast<CControlUI*>(leafContainer)})
            lower->Add(leaf);
        upper->Add(lower);
        root->Add(upper);
        ASSERT_TRUE(window->Manager().AttachDialog(root));
        for (CControlUI* control : {static_cast<CControlUI*>(upper), static_cast<CControlUI*>(lower),
                                    static_cast<CControlUI*>(button), static_cast<CControlUI*>(text),
                                    static_cast<CControlUI*>(leafContainer)})
            control->SetMouseEnabled(false);
        window->PaintNow();
        window->PumpPending();
        log.clear();
    }

    static void Deliver(CControlUI* control, int type)
    {
        TEventUI event;
        event.Type = type;
        event.pSender = control;
        event.ptMouse = POINT{5, 5};
        control->Event(event);
    }

    std::vector<LoggedEvent> log;
    std::unique_ptr<ManagerWindow> window;
    ProbeContainer* root = nullptr;
    CContainerUI* upper = nullptr;
    CContainerUI* lower = nullptr;
    CButtonUI* button = nullptr;
    CTextUI* text = nullptr;
    CContainerUI* leafContainer = nullptr;
};

TEST_F(MouseDisabledChain, MouseEventsClimbPastEveryLevelThatTakesNoMouse)
{
    ASSERT_NE(lower->GetVerticalScrollBar(), nullptr);
    const struct {
        const char* leaf;
        CControlUI* control;
    } leaves[] = {{"button", button},
                  {"text", text},
                  {"container", leafContainer},
                  {"scroll bar (through its owner)", lower->GetVerticalScrollBar()}};
    const int mouseEvents[] = {UIEVENT_MOUSEMOVE, UIEVENT_BUTTONDOWN, UIEVENT_BUTTONUP, UIEVENT_DBLCLICK,
                               UIEVENT_CONTEXTMENU, UIEVENT_SCROLLWHEEL};
    for (const auto& leaf : leaves) {
        SCOPED_TRACE(leaf.leaf);
        ASSERT_FALSE(leaf.control->IsMouseEnabled());
        for (int type : mouseEvents) {
            log.clear();
            Deliver(leaf.control, type);
            ASSERT_EQ(log.size(), 1u) << "event " << type;
            EXPECT_EQ(log[0].type, type);
            EXPECT_EQ(log[0].control, L"root");
        }
        // Not a mouse event: the leaf keeps it.
        log.clear();
        Deliver(leaf.control, UIEVENT_SETFOCUS);
        EXPECT_TRUE(log.empty());
    }
    EXPECT_EQ(lower->GetScrollPos().cy, 0) << "the wheel did not scroll a container that takes no mouse";
}

TEST_F(MouseDisabledChain, AControlThatTakesTheMouseKeepsItsEvents)
{
    button->SetMouseEnabled(true);
    const RECT& rc = button->GetPos();
    ASSERT_FALSE(::IsRectEmpty(&rc));
    TEventUI event;
    event.pSender = button;
    event.ptMouse = POINT{(rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2};
    for (int type : {UIEVENT_MOUSEENTER, UIEVENT_BUTTONDOWN}) {
        event.Type = type;
        button->Event(event);
    }
    EXPECT_TRUE(log.empty());
    EXPECT_EQ(button->GetButtonState() & (UISTATE_HOT | UISTATE_CAPTURED), UINT(UISTATE_HOT | UISTATE_CAPTURED));
}

}  // namespace
