// The paint manager driving a real window: mouse, keyboard, timers,
// notifications, painting. Mouse input is real (the cursor moves, buttons go
// down); keys and wheel turns are posted to the window.
#include "ManagerWindow.h"
#include "ProbeControl.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

using namespace SkinUI;

namespace {

// Records every notification it gets.
class NotifyLog : public INotifyUI {
public:
    struct Entry {
        std::wstring type;
        CControlUI* sender;
    };
    void Notify(TNotifyUI& msg) override { entries.push_back({std::wstring(msg.sType), msg.pSender}); }
    int Count(const wchar_t* type) const
    {
        return static_cast<int>(
            std::count_if(entries.begin(), entries.end(), [&](const Entry& e) { return e.type == type; }));
    }
    std::vector<Entry> entries;
};

// Sees WM_TIMER before the manager does.
class TimerIdLog : public IMessageFilterUI {
public:
    LRESULT MessageHandler(UINT msg, WPARAM wParam, LPARAM, bool&) override
    {
        if (msg == WM_TIMER) ids.push_back(static_cast<UINT>(wParam));
        return 0;
    }
    bool Saw(UINT id) const { return std::find(ids.begin(), ids.end(), id) != ids.end(); }
    std::vector<UINT> ids;
};

bool SameRect(const RECT& a, const RECT& b) { return ::EqualRect(&a, &b) != FALSE; }

// A 400×300 window whose tree is
//   root (container, whole client)
//     outer (container, 20,20 - 220,170)
//       inner (control, 60,60 - 160,120)
//     other (control, 260,20 - 360,120)
// with inner and other as tab stops.
class MessageDispatch : public ::testing::Test {
protected:
    void SetUp() override
    {
        ParkMouse();
        window = std::make_unique<ManagerWindow>(400, 300);
        root = new ProbeContainer(&log, L"root");
        outer = new ProbeContainer(&log, L"outer", L"float=\"true\" pos=\"20,20,220,170\"");
        inner = new ProbeControl(&log, L"inner", L"float=\"true\" pos=\"40,40,140,100\"", UIFLAG_TABSTOP);
        other = new ProbeControl(&log, L"other", L"float=\"true\" pos=\"260,20,360,120\"", UIFLAG_TABSTOP);
        outer->Add(inner);
        root->Add(outer);
        root->Add(other);
        Manager().AddNotifier(&notes);
        ASSERT_TRUE(Manager().AttachDialog(root));
        window->PaintNow();
        window->PumpPending();
        log.clear();
        notes.entries.clear();
    }
    void TearDown() override
    {
        ParkMouse();
        window.reset();
    }

    // Away from every test window.
    static void ParkMouse() { ::SetCursorPos(2, 2); }

    CPaintManagerUI& Manager() { return window->Manager(); }

    // The enter and leave events, in order, as "name+" and "name-".
    std::vector<std::wstring> Crossings() const
    {
        std::vector<std::wstring> out;
        for (const LoggedEvent& e : log) {
            if (e.type == UIEVENT_MOUSEENTER) out.push_back(e.control + L"+");
            if (e.type == UIEVENT_MOUSELEAVE) out.push_back(e.control + L"-");
        }
        return out;
    }
    int CountOf(const wchar_t* control, int type) const
    {
        return static_cast<int>(std::count_if(
            log.begin(), log.end(), [&](const LoggedEvent& e) { return e.control == control && e.type == type; }));
    }
    bool Logged(const wchar_t* control, int type) const { return CountOf(control, type) > 0; }

    void PostKey(UINT msg, WPARAM key)
    {
        ::PostMessageW(window->Handle(), msg, key, 1);
        window->PumpPending();
    }

    std::vector<LoggedEvent> log;
    NotifyLog notes;
    std::unique_ptr<ManagerWindow> window;
    ProbeContainer* root = nullptr;
    ProbeContainer* outer = nullptr;
    ProbeControl* inner = nullptr;
    ProbeControl* other = nullptr;
};

TEST_F(MessageDispatch, HoverEntersAndLeavesAcrossNestedControlsAndTheWindowEdge)
{
    ASSERT_TRUE(window->MoveMouse(100, 80));   // inner
    ASSERT_TRUE(window->MoveMouse(30, 30));    // outer only
    ASSERT_TRUE(window->MoveMouse(300, 250));  // root only
    ASSERT_TRUE(window->MoveMouse(300, 60));   // other
    // Leaving the window: the leave notification brings a move to (-1, -1).
    ParkMouse();
    ASSERT_TRUE(window->PumpUntil([&] { return Logged(L"other", UIEVENT_MOUSELEAVE); }));
    const std::vector<std::wstring> expected = {L"inner+", L"inner-", L"outer+", L"outer-",
                                                L"root+",  L"root-",  L"other+", L"other-"};
    EXPECT_EQ(Crossings(), expected);
    EXPECT_GT(CountOf(L"inner", UIEVENT_MOUSEMOVE), 0);
    EXPECT_EQ(Manager().GetMousePos().x, -1);
}

TEST_F(MessageDispatch, ThePressedControlKeepsTheMouseUntilTheButtonGoesUp)
{
    ASSERT_TRUE(window->MoveMouse(100, 80));
    window->MouseButtons(MOUSEEVENTF_LEFTDOWN);
    ASSERT_TRUE(window->PumpUntil([&] { return Logged(L"inner", UIEVENT_BUTTONDOWN); }));
    EXPECT_TRUE(Manager().IsCaptured());
    EXPECT_EQ(::GetCapture(), window->Handle());
    EXPECT_EQ(Manager().GetFocus(), inner) << "a press focuses the control";

    log.clear();
    ASSERT_TRUE(window->MoveMouse(300, 60));  // over other
    ASSERT_TRUE(window->MoveMouse(390, 290));
    window->MouseButtons(MOUSEEVENTF_LEFTUP);
    ASSERT_TRUE(window->PumpUntil([&] { return Logged(L"inner", UIEVENT_BUTTONUP); }));

    EXPECT_GE(CountOf(L"inner", UIEVENT_MOUSEMOVE), 2) << "the drag stays with the pressed control";
    EXPECT_EQ(CountOf(L"other", UIEVENT_MOUSEMOVE), 0);
    EXPECT_EQ(CountOf(L"other", UIEVENT_BUTTONUP), 0);
    EXPECT_TRUE(Logged(L"other", UIEVENT_MOUSEENTER)) << "hover still follows the mouse";
    EXPECT_FALSE(Manager().IsCaptured());
    EXPECT_NE(::GetCapture(), window->Handle());
}

TEST_F(MessageDispatch, ACaptureTakenByAnotherWindowEndsThePressWithoutAClick)
{
    ASSERT_TRUE(window->MoveMouse(100, 80));
    window->MouseButtons(MOUSEEVENTF_LEFTDOWN);
    ASSERT_TRUE(window->PumpUntil([&] { return Manager().IsCaptured(); }));
    ManagerWindow thief(50, 50, 700, 500);
    ::SetCapture(thief.Handle());
    window->PumpPending();
    EXPECT_FALSE(Manager().IsCaptured());
    ASSERT_EQ(CountOf(L"inner", UIEVENT_BUTTONUP), 1) << "the pressed control hears that the press is over";
    const auto up =
        std::find_if(log.begin(), log.end(), [](const LoggedEvent& e) { return e.type == UIEVENT_BUTTONUP; });
    EXPECT_EQ(up->control, L"inner");
    ::ReleaseCapture();
    window->MouseButtons(MOUSEEVENTF_LEFTUP);
    window->PumpPending();

    log.clear();
    ASSERT_TRUE(window->MoveMouse(300, 60));
    EXPECT_TRUE(Logged(L"other", UIEVENT_MOUSEMOVE)) << "moves follow the mouse again";
    EXPECT_FALSE(Logged(L"inner", UIEVENT_MOUSEMOVE));
}

TEST_F(MessageDispatch, WheelTurnedTowardsTheUserGivesOne)
{
    const POINT at = window->ToScreen(100, 80);
    struct Turn {
        short delta;
        WPARAM expected;
    };
    for (const Turn& turn : {Turn{-WHEEL_DELTA, 1}, Turn{WHEEL_DELTA, 0}, Turn{-3 * WHEEL_DELTA, 1}}) {
        log.clear();
        ::PostMessageW(window->Handle(), WM_MOUSEWHEEL, MAKEWPARAM(0, turn.delta), MAKELPARAM(at.x, at.y));
        window->PumpPending();
        ASSERT_EQ(CountOf(L"inner", UIEVENT_SCROLLWHEEL), 1) << turn.delta;
        const auto wheel =
            std::find_if(log.begin(), log.end(), [](const LoggedEvent& e) { return e.type == UIEVENT_SCROLLWHEEL; });
        EXPECT_EQ(wheel->wParam, turn.expected) << turn.delta;
    }
    EXPECT_EQ(Manager().GetMousePos().x, 100) << "the wheel's screen point becomes the client mouse position";
}

TEST_F(MessageDispatch, TabWalksTheTabStopsBothWaysAndWrapsAround)
{
    EXPECT_EQ(Manager().GetFocus(), nullptr) << "a new tree starts without focus";
    PostKey(WM_KEYDOWN, VK_TAB);
    EXPECT_EQ(Manager().GetFocus(), inner);
    PostKey(WM_KEYDOWN, VK_TAB);
    EXPECT_EQ(Manager().GetFocus(), other);
    PostKey(WM_KEYDOWN, VK_TAB);
    EXPECT_EQ(Manager().GetFocus(), inner) << "forward wraps to the first tab stop";

    BYTE keys[256];
    ::GetKeyboardState(keys);
    keys[VK_SHIFT] = 0x80;
    ::SetKeyboardState(keys);
    PostKey(WM_KEYDOWN, VK_TAB);
    EXPECT_EQ(Manager().GetFocus(), other) << "backward wraps to the last tab stop";
    PostKey(WM_KEYDOWN, VK_TAB);
    EXPECT_EQ(Manager().GetFocus(), inner);
    keys[VK_SHIFT] = 0;
    ::SetKeyboardState(keys);

    EXPECT_EQ(CountOf(L"inner", UIEVENT_SETFOCUS), 3);
    EXPECT_EQ(CountOf(L"inner", UIEVENT_KILLFOCUS), 2);
    EXPECT_EQ(notes.Count(L"setfocus"), 5);
    EXPECT_EQ(notes.Count(L"killfocus"), 4);

    // Keys go to the focused control; the key-up to the one that saw the key-down.
    log.clear();
    PostKey(WM_KEYDOWN, 'A');
    PostKey(WM_CHAR, 'a');
    other->SetFocus();
    PostKey(WM_KEYUP, 'A');
    EXPECT_TRUE(Logged(L"inner", UIEVENT_KEYDOWN));
    EXPECT_TRUE(Logged(L"inner", UIEVENT_CHAR));
    EXPECT_TRUE(Logged(L"inner", UIEVENT_KEYUP));
    EXPECT_FALSE(Logged(L"other", UIEVENT_KEYUP));
}

TEST_F(MessageDispatch, FocusSkipsHiddenDisabledAndForeignControls)
{
    other->SetEnabled(false);
    PostKey(WM_KEYDOWN, VK_TAB);
    PostKey(WM_KEYDOWN, VK_TAB);
    EXPECT_EQ(Manager().GetFocus(), inner) << "a disabled control is no tab stop";
    Manager().SetFocus(other);
    EXPECT_EQ(Manager().GetFocus(), nullptr) << "a disabled control cannot take the focus";
    CControlUI stranger;
    Manager().SetFocus(&stranger);
    EXPECT_EQ(Manager().GetFocus(), nullptr);
    Manager().SetFocus(inner);
    inner->SetVisible(false);
    EXPECT_EQ(Manager().GetFocus(), nullptr) << "hiding the focused control drops the focus";
}

TEST_F(MessageDispatch, TimerIdsStartAt17AndAKilledTimerComesBackOnItsId)
{
    TimerIdLog ticks;
    Manager().AddMessageFilter(&ticks);
    ASSERT_TRUE(Manager().SetTimer(inner, 1, 15));
    ASSERT_TRUE(Manager().SetTimer(other, 1, 15));
    EXPECT_FALSE(Manager().SetTimer(inner, 1, 15)) << "already running";
    ASSERT_TRUE(window->PumpUntil([&] { return ticks.Saw(17) && ticks.Saw(18); }));
    EXPECT_TRUE(Logged(L"inner", UIEVENT_TIMER));
    EXPECT_EQ(
        std::find_if(log.begin(), log.end(), [](const LoggedEvent& e) { return e.type == UIEVENT_TIMER; })->wParam, 1u)
        << "controls see their own timer id";

    ASSERT_TRUE(Manager().KillTimer(inner, 1));
    EXPECT_FALSE(Manager().KillTimer(inner, 1));
    ticks.ids.clear();
    log.clear();
    ASSERT_TRUE(window->PumpUntil([&] { return std::count(ticks.ids.begin(), ticks.ids.end(), 18u) >= 3; }));
    EXPECT_FALSE(Logged(L"inner", UIEVENT_TIMER)) << "a killed timer is quiet";

    ASSERT_TRUE(Manager().SetTimer(inner, 1, 15));
    ASSERT_TRUE(window->PumpUntil([&] { return ticks.Saw(17); }));
    ASSERT_TRUE(Manager().SetTimer(inner, 2, 15));
    ASSERT_TRUE(window->PumpUntil([&] { return ticks.Saw(19); }));
    Manager().RemoveMessageFilter(&ticks);
}

TEST_F(MessageDispatch, TimersKilledOrControlsDestroyedInsideTheirOwnTick)
{
    int innerTicks = 0;
    inner->onEvent = [&](TEventUI& e) {
        if (e.Type != UIEVENT_TIMER) return;
        ++innerTicks;
        Manager().KillTimer(inner, 1);
    };
    bool otherGone = false;
    other->destroyed = &otherGone;
    root->SetDelayedDestroy(false);
    other->onEvent = [&](TEventUI& e) {
        if (e.Type == UIEVENT_TIMER) root->Remove(other);  // the tick's own control goes, at once
    };
    int markerTicks = 0;
    ProbeControl* marker = new ProbeControl(nullptr, L"marker");
    marker->onEvent = [&](TEventUI& e) { markerTicks += e.Type == UIEVENT_TIMER; };
    root->Add(marker);
    ASSERT_TRUE(Manager().SetTimer(inner, 1, 10));
    ASSERT_TRUE(Manager().SetTimer(other, 1, 10));
    ASSERT_TRUE(Manager().SetTimer(marker, 1, 10));

    ASSERT_TRUE(window->PumpUntil([&] { return markerTicks >= 6; }));
    EXPECT_EQ(innerTicks, 1);
    EXPECT_TRUE(otherGone);
    EXPECT_EQ(Manager().FindControl(L"other"), nullptr) << "the name map forgot the dead control";
    EXPECT_TRUE(Manager().SetTimer(inner, 1, 10)) << "the killed timer can start again";
}

TEST_F(MessageDispatch, QueuedNotificationsArriveAtTheNextMessageWithoutDeadSenders)
{
    Manager().SendNotify(inner, L"click", 0, 0, true);
    EXPECT_EQ(notes.Count(L"click"), 0) << "queued, not delivered";
    ::PostMessageW(window->Handle(), WM_NULL, 0, 0);
    window->PumpPending();
    ASSERT_EQ(notes.Count(L"click"), 1);
    EXPECT_EQ(notes.entries.back().sender, inner);

    // Queued from inside a handler, while the manager delivers.
    inner->onEvent = [&](TEventUI& e) {
        if (e.Type == UIEVENT_CHAR) Manager().SendNotify(inner, L"click", 0, 0, true);
    };
    Manager().SetFocus(inner);
    notes.entries.clear();
    PostKey(WM_CHAR, 'x');
    EXPECT_EQ(notes.Count(L"click"), 1) << "delivered when that message ends";

    // The sender dies while its notification waits.
    notes.entries.clear();
    Manager().SendNotify(other, L"click", 0, 0, true);
    root->SetDelayedDestroy(false);
    root->Remove(other);
    ::PostMessageW(window->Handle(), WM_NULL, 0, 0);
    window->PumpPending();
    ASSERT_EQ(notes.Count(L"click"), 1);
    EXPECT_EQ(notes.entries.back().sender, nullptr);
}

TEST_F(MessageDispatch, ListenersAfterOneThatDestroysTheSenderSeeANullSender)
{
    struct Destroyer : INotifyUI {
        CContainerUI* parent = nullptr;
        CControlUI* victim = nullptr;
        void Notify(TNotifyUI& msg) override
        {
            if (msg.pSender == victim) parent->Remove(victim);
        }
    } destroyer;
    root->SetDelayedDestroy(false);
    destroyer.parent = root;
    destroyer.victim = other;
    NotifyLog after;
    Manager().RemoveNotifier(&notes);
    Manager().AddNotifier(&destroyer);
    Manager().AddNotifier(&after);
    Manager().SendNotify(other, L"click");
    ASSERT_EQ(after.entries.size(), 1u);
    EXPECT_EQ(after.entries[0].sender, nullptr);
}

TEST_F(MessageDispatch, ADestroyedControlLeavesEveryListOfTheManager)
{
    Manager().SetFocus(inner);
    ASSERT_TRUE(window->MoveMouse(100, 80));
    ASSERT_TRUE(Manager().AddOptionGroup(L"choice", inner));
    ASSERT_TRUE(Manager().AddOptionGroup(L"choice", other));
    ASSERT_TRUE(Manager().AddHotKeyGroup(L"keys", inner));
    ASSERT_TRUE(Manager().AddPostPaint(inner));
    ASSERT_TRUE(Manager().SetTimer(inner, 3, 10));

    outer->SetDelayedDestroy(false);
    outer->Remove(inner);
    EXPECT_EQ(Manager().GetFocus(), nullptr);
    EXPECT_EQ(Manager().FindControl(L"inner"), nullptr);
    ASSERT_NE(Manager().GetOptionGroup(L"choice"), nullptr);
    EXPECT_EQ(Manager().GetOptionGroup(L"choice")->GetSize(), 1);
    EXPECT_EQ(Manager().GetHotKeyGroup(L"keys"), nullptr) << "an emptied group goes";
    EXPECT_EQ(Manager().GetPostPaintCount(), 0);
    // Hover, timer and paint go on without it.
    ASSERT_TRUE(window->MoveMouse(300, 60));
    ::InvalidateRect(window->Handle(), nullptr, FALSE);
    window->PaintNow();
    EXPECT_TRUE(Logged(L"other", UIEVENT_MOUSEENTER));
}

// A control that deletes itself inside one of its own handlers, at every
// point of a hover, press, key and focus sequence: the manager forgets it as
// hover, click, key and focus control by itself, and the sequence goes on
// with the other controls.
TEST_F(MessageDispatch, AControlDeletedInsideItsOwnHandlerIsForgottenWhereverItWasHeld)
{
    struct Case {
        const char* name;
        int type;
    };
    const Case cases[] = {
        {"enter", UIEVENT_MOUSEENTER},    {"move", UIEVENT_MOUSEMOVE},   {"setfocus", UIEVENT_SETFOCUS},
        {"press", UIEVENT_BUTTONDOWN},    {"keydown", UIEVENT_KEYDOWN},  {"char", UIEVENT_CHAR},
        {"keyup", UIEVENT_KEYUP},         {"release", UIEVENT_BUTTONUP}, {"leave", UIEVENT_MOUSELEAVE},
        {"killfocus", UIEVENT_KILLFOCUS},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TearDown();
        SetUp();
        outer->SetDelayedDestroy(false);
        bool innerGone = false;
        inner->destroyed = &innerGone;
        const int deadlyType = c.type;
        ProbeContainer* parent = outer;
        ProbeControl* self = inner;
        inner->onEvent = [parent, self, deadlyType](TEventUI& e) {
            if (e.Type == deadlyType) parent->Remove(self);
        };
        LRESULT result = 0;
        auto send = [&](UINT msg, WPARAM wParam, LPARAM lParam) {
            Manager().MessageHandler(msg, wParam, lParam, result);
        };
        send(WM_MOUSEMOVE, 0, MAKELPARAM(100, 80));             // inner: enter, move
        send(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(100, 80));  // inner: setfocus, press
        send(WM_KEYDOWN, 'A', 1);
        send(WM_CHAR, 'a', 1);
        send(WM_KEYUP, 'A', 1);
        send(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(110, 85));
        send(WM_LBUTTONUP, 0, MAKELPARAM(110, 85));             // inner: release
        send(WM_MOUSEMOVE, 0, MAKELPARAM(300, 60));             // inner: leave; other: enter
        send(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(300, 60));  // inner: killfocus; other: setfocus, press
        send(WM_LBUTTONUP, 0, MAKELPARAM(300, 60));

        EXPECT_TRUE(innerGone);
        const auto lastOfInner =
            std::find_if(log.rbegin(), log.rend(), [](const LoggedEvent& e) { return e.control == L"inner"; });
        ASSERT_NE(lastOfInner, log.rend());
        EXPECT_EQ(lastOfInner->type, deadlyType) << "nothing reached it after its death";
        EXPECT_TRUE(Logged(L"other", UIEVENT_MOUSEENTER));
        EXPECT_TRUE(Logged(L"other", UIEVENT_BUTTONUP));
        EXPECT_EQ(Manager().GetFocus(), other);
        EXPECT_FALSE(Manager().IsCaptured());
        EXPECT_EQ(Manager().FindControl(L"inner"), nullptr);
    }
}

// Controls removed by another control's timer while the manager holds them
// (the hover, pressed, focused and key control; a control with a timer of
// its own): none is reached again, and the window keeps working.
TEST_F(MessageDispatch, ControlsRemovedByAnotherControlsTimerAreNotReachedAgain)
{
    outer->SetDelayedDestroy(false);
    root->SetDelayedDestroy(false);
    bool innerGone = false;
    bool otherGone = false;
    inner->destroyed = &innerGone;
    other->destroyed = &otherGone;
    LRESULT result = 0;
    Manager().MessageHandler(WM_MOUSEMOVE, 0, MAKELPARAM(100, 80), result);
    Manager().MessageHandler(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(100, 80), result);
    Manager().MessageHandler(WM_KEYDOWN, 'A', 1, result);
    ASSERT_EQ(Manager().GetFocus(), inner);
    ASSERT_TRUE(Manager().IsCaptured());

    int markerTicks = 0;
    int otherTicksAfterDeath = 0;
    // Out of the way of the mouse (a control without a position fills the root).
    auto* marker = new ProbeControl(nullptr, L"marker", L"float=\"true\" pos=\"380,280,390,290\"");
    ProbeContainer* innerParent = outer;
    ProbeContainer* otherParent = root;
    ProbeControl* first = inner;
    ProbeControl* second = other;
    marker->onEvent = [&markerTicks, innerParent, otherParent, first, second](TEventUI& e) {
        if (e.Type != UIEVENT_TIMER) return;
        ++markerTicks;
        if (markerTicks == 1) innerParent->Remove(first);
        if (markerTicks == 3) otherParent->Remove(second);
    };
    other->onEvent = [&](TEventUI& e) { otherTicksAfterDeath += otherGone && e.Type == UIEVENT_TIMER; };
    root->Add(marker);
    ASSERT_TRUE(Manager().SetTimer(marker, 1, 10));
    ASSERT_TRUE(window->PumpUntil([&] { return innerGone; }));

    log.clear();
    Manager().MessageHandler(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(300, 60), result);
    Manager().MessageHandler(WM_KEYUP, 'A', 1, result);
    Manager().MessageHandler(WM_CHAR, 'a', 1, result);
    Manager().MessageHandler(WM_LBUTTONUP, 0, MAKELPARAM(300, 60), result);
    EXPECT_FALSE(Logged(L"inner", UIEVENT_MOUSELEAVE)) << "the dead hover control hears nothing";
    EXPECT_TRUE(Logged(L"other", UIEVENT_MOUSEENTER));
    EXPECT_TRUE(Logged(L"other", UIEVENT_MOUSEMOVE)) << "no dead pressed control keeps the drag";
    EXPECT_FALSE(Manager().IsCaptured());
    EXPECT_EQ(Manager().GetFocus(), nullptr);

    ASSERT_TRUE(Manager().SetTimer(other, 1, 10));
    ASSERT_TRUE(window->PumpUntil([&] { return markerTicks >= 8; }));
    EXPECT_TRUE(otherGone);
    EXPECT_EQ(otherTicksAfterDeath, 0);
    EXPECT_TRUE(Manager().SetTimer(marker, 2, 10)) << "timers still start";
}

TEST_F(MessageDispatch, WindowInitIsSentOnceFromTheRoot)
{
    // The fixture painted once already; the notification came then.
    ManagerWindow second(200, 100, 150, 450);
    NotifyLog secondNotes;
    second.Manager().AddNotifier(&secondNotes);
    auto* secondRoot = new ProbeContainer(nullptr, L"root2");
    second.Manager().AttachDialog(secondRoot);
    for (int i = 0; i < 3; ++i) {
        ::InvalidateRect(second.Handle(), nullptr, FALSE);
        second.PaintNow();
    }
    secondRoot->NeedUpdate();
    second.PaintNow();
    ASSERT_EQ(secondNotes.Count(L"windowinit"), 1);
    EXPECT_EQ(secondNotes.entries.front().sender, secondRoot);
}

TEST_F(MessageDispatch, AReplacedTreeIsDeletedOnTheCleanupMessage)
{
    bool oldRootGone = false;
    root->destroyed = &oldRootGone;
    auto* newRoot = new ProbeContainer(&log, L"root2");
    ASSERT_TRUE(Manager().AttachDialog(newRoot));
    EXPECT_FALSE(oldRootGone) << "a handler of the old tree may still be running";
    EXPECT_EQ(Manager().GetRoot(), newRoot);
    window->PumpPending();
    EXPECT_TRUE(oldRootGone);
    EXPECT_EQ(Manager().FindControl(L"inner"), nullptr);
}

TEST_F(MessageDispatch, ATooltipShowsWhileTheMouseRestsOnAControl)
{
    inner->SetToolTip(L"shorten this link");
    auto visibleTooltip = [&]() -> HWND {
        for (HWND w = ::FindWindowExW(nullptr, nullptr, TOOLTIPS_CLASSW, nullptr); w != nullptr;
             w = ::FindWindowExW(nullptr, w, TOOLTIPS_CLASSW, nullptr))
            if (::GetWindow(w, GW_OWNER) == window->Handle() && ::IsWindowVisible(w)) return w;
        return nullptr;
    };
    ASSERT_TRUE(window->MoveMouse(300, 60));  // other has no tooltip
    ASSERT_TRUE(window->MoveMouse(100, 80));
    ASSERT_TRUE(window->PumpUntil([&] { return visibleTooltip() != nullptr; }));
    wchar_t text[64] = {};
    TOOLINFOW tool = {};
    tool.cbSize = TTTOOLINFOW_V2_SIZE;
    tool.hwnd = window->Handle();
    tool.uId = reinterpret_cast<UINT_PTR>(window->Handle());
    tool.lpszText = text;
    ::SendMessageW(visibleTooltip(), TTM_GETTEXTW, 64, reinterpret_cast<LPARAM>(&tool));
    EXPECT_STREQ(text, L"shorten this link");

    ASSERT_TRUE(window->MoveMouse(300, 60));
    ASSERT_TRUE(window->PumpUntil([&] { return visibleTooltip() == nullptr; })) << "leaving the control hides it";
}

TEST_F(MessageDispatch, AnInvalidatedControlRepaintsOnlyItsRectangle)
{
    root->paints.clear();
    outer->paints.clear();
    inner->paints.clear();
    other->paints.clear();
    inner->Invalidate();
    window->PaintNow();

    const RECT innerRect = {60, 60, 160, 120};
    ASSERT_EQ(inner->paints.size(), 1u);
    EXPECT_TRUE(SameRect(inner->paints[0], innerRect));
    ASSERT_EQ(root->paints.size(), 1u);
    EXPECT_TRUE(SameRect(root->paints[0], innerRect)) << "the window painted nothing else";
    EXPECT_TRUE(other->paints.empty());
}

TEST_F(MessageDispatch, ControlsInvalidatedTogetherRepaintOnlyTheirOwnRectangles)
{
    // Apart and of different heights, so that the invalid area is made of
    // several bands; the space between them must not be painted.
    root->paints.clear();
    outer->paints.clear();
    inner->paints.clear();
    other->paints.clear();
    inner->Invalidate();
    other->Invalidate();
    window->PaintNow();

    const RECT innerRect = {60, 60, 160, 120};
    const RECT otherRect = {260, 20, 360, 120};
    ASSERT_EQ(root->paints.size(), 2u) << "one paint for each control";
    const bool innerFirst = SameRect(root->paints[0], innerRect);
    EXPECT_TRUE(SameRect(root->paints[innerFirst ? 0 : 1], innerRect));
    EXPECT_TRUE(SameRect(root->paints[innerFirst ? 1 : 0], otherRect));
    ASSERT_EQ(inner->paints.size(), 1u);
    EXPECT_TRUE(SameRect(inner->paints[0], innerRect));
    ASSERT_EQ(other->paints.size(), 1u);
    EXPECT_TRUE(SameRect(other->paints[0], otherRect));
    ASSERT_EQ(outer->paints.size(), 1u);
    EXPECT_TRUE(SameRect(outer->paints[0], innerRect)) << "the container is painted under its child only";
}

}  // namespace

namespace {

// Answers to the class name a test gives it.
class NamedClassProbe : public ProbeControl {
public:
    NamedClassProbe(std::vector<LoggedEvent>* log, LPCTSTR name, LPCTSTR attributes, LPCTSTR className)
        : ProbeControl(log, name, attributes, UIFLAG_TABSTOP), m_className(className)
    {}
    LPCTSTR GetClass() const override { return m_className; }

private:
    LPCTSTR m_className;
};

TEST_F(MessageDispatch, AltShortcutsFocusTheControlAndALabelPassesItsShortcutOn)
{
    auto* label = new NamedClassProbe(&log, L"label", L"float=\"true\" pos=\"20,200,80,220\"", L"LabelUI");
    auto* field = new NamedClassProbe(&log, L"field", L"float=\"true\" pos=\"90,200,180,220\"", L"EditUI");
    root->Add(label);
    root->Add(field);
    label->SetShortcut(L'n');
    other->SetShortcut(L'S');
    window->PaintNow();

    ::PostMessageW(window->Handle(), WM_SYSCHAR, L's', 0);
    window->PumpPending();
    EXPECT_EQ(Manager().GetFocus(), other) << "shortcuts compare upper-cased";
    ::PostMessageW(window->Handle(), WM_SYSCHAR, L'N', 0);
    window->PumpPending();
    EXPECT_EQ(Manager().GetFocus(), field) << "a label's shortcut selects the control after it";
}

TEST_F(MessageDispatch, FiltersAndAcceleratorsSeeMessagesFirst)
{
    struct Claim : IMessageFilterUI {
        UINT message = 0;
        LRESULT MessageHandler(UINT msg, WPARAM, LPARAM, bool& handled) override
        {
            handled = msg == message;
            return handled ? 42 : 0;
        }
    };
    struct Accelerator : ITranslateAccelerator {
        WPARAM key = 0;
        LRESULT TranslateAccelerator(MSG* msg) override
        {
            return msg->message == WM_KEYDOWN && msg->wParam == key ? S_OK : S_FALSE;
        }
    };
    Manager().SetFocus(inner);

    Claim claim;
    claim.message = WM_CHAR;
    Manager().AddMessageFilter(&claim);
    LRESULT result = 0;
    EXPECT_TRUE(Manager().MessageHandler(WM_CHAR, 'a', 0, result));
    EXPECT_EQ(result, 42);
    EXPECT_FALSE(Logged(L"inner", UIEVENT_CHAR));
    EXPECT_TRUE(Manager().RemoveMessageFilter(&claim));
    EXPECT_FALSE(Manager().RemoveMessageFilter(&claim));

    Claim tabs;
    tabs.message = WM_KEYDOWN;
    Manager().AddPreMessageFilter(&tabs);
    PostKey(WM_KEYDOWN, VK_TAB);
    EXPECT_EQ(Manager().GetFocus(), inner) << "the pre-message filter took the Tab key";
    Manager().RemovePreMessageFilter(&tabs);

    Accelerator accelerator;
    accelerator.key = VK_F5;
    Manager().AddTranslateAccelerator(&accelerator);
    log.clear();
    PostKey(WM_KEYDOWN, VK_F5);
    PostKey(WM_KEYDOWN, VK_F6);
    EXPECT_EQ(CountOf(L"inner", UIEVENT_KEYDOWN), 1) << "F5 was translated, F6 reached the control";
    Manager().RemoveTranslateAccelerator(&accelerator);
}

TEST_F(MessageDispatch, RightClicksDoubleClicksAndContextMenusGoToThePressedControl)
{
    const POINT at = window->ToScreen(100, 80);
    LRESULT result = 0;
    Manager().MessageHandler(WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(100, 80), result);
    Manager().MessageHandler(WM_CONTEXTMENU, reinterpret_cast<WPARAM>(window->Handle()), MAKELPARAM(at.x, at.y),
                             result);
    Manager().MessageHandler(WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(100, 80), result);
    Manager().MessageHandler(WM_LBUTTONUP, 0, MAKELPARAM(100, 80), result);
    std::vector<int> types;
    for (const LoggedEvent& e : log)
        if (e.control == L"inner" && e.type != UIEVENT_MOUSEMOVE && e.type != UIEVENT_SETFOCUS) types.push_back(e.type);
    const std::vector<int> expected = {UIEVENT_RBUTTONDOWN, UIEVENT_CONTEXTMENU, UIEVENT_DBLCLICK, UIEVENT_BUTTONUP};
    EXPECT_EQ(types, expected);
    EXPECT_FALSE(Manager().IsCaptured());
}

UINT reflected = 0;

// A child window that answers 7 to every reflected message.
LRESULT CALLBACK ReflectTarget(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg >= 0x2000 && msg < 0x3000) {
        reflected = msg;
        return 7;
    }
    return ::DefWindowProcW(hwnd, msg, wParam, lParam);
}

TEST_F(MessageDispatch, ChildWindowMessagesAreReflectedAndSizesLimited)
{
    WNDCLASSW wc = {};
    wc.lpfnWndProc = ReflectTarget;
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.lpszClassName = L"VornexReflectTarget";
    ::RegisterClassW(&wc);
    HWND child = ::CreateWindowExW(0, wc.lpszClassName, L"", WS_CHILD, 0, 0, 10, 10, window->Handle(), nullptr,
                                   wc.hInstance, nullptr);
    LRESULT result = 0;
    EXPECT_TRUE(Manager().MessageHandler(WM_COMMAND, 1, reinterpret_cast<LPARAM>(child), result));
    EXPECT_EQ(reflected, 0x2111u);
    EXPECT_EQ(result, 7);
    EXPECT_FALSE(Manager().MessageHandler(WM_COMMAND, 1, 0, result)) << "menu commands stay with the window";
    NMHDR header = {child, 1, 0};
    EXPECT_TRUE(Manager().MessageHandler(WM_NOTIFY, 1, reinterpret_cast<LPARAM>(&header), result));
    EXPECT_EQ(reflected, 0x204Eu);
    EXPECT_TRUE(Manager().MessageHandler(WM_CTLCOLORSTATIC, 0, reinterpret_cast<LPARAM>(child), result));
    EXPECT_EQ(reflected, 0x2000u + WM_CTLCOLORSTATIC);

    Manager().SetMinInfo(320, 0);
    Manager().SetMaxInfo(0, 500);
    MINMAXINFO info = {};
    info.ptMinTrackSize = {1, 2};
    info.ptMaxTrackSize = {3, 4};
    EXPECT_FALSE(Manager().MessageHandler(WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info), result));
    EXPECT_EQ(info.ptMinTrackSize.x, 320);
    EXPECT_EQ(info.ptMinTrackSize.y, 2) << "zero keeps the system's value";
    EXPECT_EQ(info.ptMaxTrackSize.x, 3);
    EXPECT_EQ(info.ptMaxTrackSize.y, 500);
    ::DestroyWindow(child);
}

TEST_F(MessageDispatch, ClosingEndsHoverPressAndFocus)
{
    ASSERT_TRUE(window->MoveMouse(100, 80));
    LRESULT result = 0;
    Manager().MessageHandler(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(100, 80), result);
    ASSERT_EQ(Manager().GetFocus(), inner);
    log.clear();
    EXPECT_FALSE(Manager().MessageHandler(WM_CLOSE, 0, 0, result)) << "the window still decides whether to close";
    EXPECT_TRUE(Logged(L"inner", UIEVENT_MOUSELEAVE));
    EXPECT_TRUE(Logged(L"inner", UIEVENT_BUTTONUP));
    EXPECT_TRUE(Logged(L"inner", UIEVENT_KILLFOCUS));
    EXPECT_EQ(Manager().GetFocus(), nullptr);
    Manager().ReleaseCapture();
}

TEST_F(MessageDispatch, FocusNeededLandsOnTheControlAfterTheNextLayout)
{
    Manager().SetFocus(inner);
    Manager().SetFocusNeeded(other);
    EXPECT_EQ(Manager().GetFocus(), inner) << "until the layout, the tab stop before it stands in";
    EXPECT_TRUE(Logged(L"inner", UIEVENT_KILLFOCUS));
    window->PaintNow();
    EXPECT_EQ(Manager().GetFocus(), other);
}

TEST_F(MessageDispatch, SubControlSearches)
{
    EXPECT_EQ(Manager().FindControl(L"INNER"), nullptr) << "the name map is case-sensitive";
    EXPECT_EQ(Manager().FindSubControlByName(nullptr, L"INNER"), inner) << "the sub-control search is not";
    EXPECT_EQ(Manager().FindSubControlByName(outer, L"other"), nullptr);
    EXPECT_EQ(Manager().FindSubControlByPoint(nullptr, POINT{100, 80}), inner);
    EXPECT_EQ(Manager().FindSubControlByClass(nullptr, L"ControlUI", 1), other);
    EXPECT_EQ(Manager().FindSubControlByClass(nullptr, L"*", 0), root);
    EXPECT_EQ(Manager().FindSubControlByClass(nullptr, L"ControlUI", 2), nullptr);
    CStdPtrArray* all = Manager().FindSubControlsByClass(outer, L"*");
    ASSERT_EQ(all->GetSize(), 2);
    EXPECT_EQ(all, Manager().GetSubControlsByClass());
}

}  // namespace
