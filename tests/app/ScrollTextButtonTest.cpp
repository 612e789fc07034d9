// The scrolling advertisement button: its timer cycle driven tick by tick
// (timer events are delivered by hand, never waited for), the link a click
// answers at every moment, and where each caption is painted.
#include "app/ScrollTextButtonUI.h"
#include "tests/ui/controls/TestWindow.h"
#include "tests/ui/controls/dispatch/ProbeControl.h"
#include "tests/ui/render/Canvas.h"
#include "ui/controls/VerticalLayoutUI.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cwchar>
#include <iterator>
#include <string>

namespace Vornex {
namespace {

using SkinUI::CVerticalLayoutUI;
using SkinUI::TEventUI;
using SkinUI::Test::Canvas;
using SkinUI::Test::TestWindow;

constexpr int kHeight = 36;

// One button of the bottom bar's size in a real window, so that its
// paint-manager timers are real window timers that can be inspected.
class ScrollTextButtonTest : public ::testing::Test {
protected:
    ScrollTextButtonTest() : m_window(200, kHeight, nullptr)
    {
        m_root = new CVerticalLayoutUI;
        m_button = new CScrollTextButtonUI;
        m_button->ApplyAttributeList(L"width=\"140\" height=\"36\" textcolor=\"#FFFF0000\" "
                                     L"hottextcolor=\"#FFFF0090\" pushedtextcolor=\"#FFF90010\" "
                                     L"disabledtextcolor=\"#FF808080\" endellipsis=\"true\" align=\"center\"");
        m_root->Add(m_button);
        m_window.pm().AttachDialog(m_root);
        m_root->SetPos(RECT{0, 0, 200, kHeight});
    }

    void Tick(UINT id)
    {
        TEventUI event;
        event.Type = SkinUI::UIEVENT_TIMER;
        event.pSender = m_button;
        event.wParam = id;
        m_button->Event(event);
    }
    // Whether the control's timer runs; asking stops it, so it is restarted.
    bool Running(UINT id)
    {
        if (!m_window.pm().KillTimer(m_button, id)) return false;
        m_window.pm().SetTimer(m_button, id, 100000);
        return true;
    }
    // Steps until the step timer stops; the number of steps taken.
    int StepsToRest()
    {
        int steps = 0;
        while (Running(CScrollTextButtonUI::kStepTimer) && steps < 1000) {
            Tick(CScrollTextButtonUI::kStepTimer);
            ++steps;
        }
        return steps;
    }
    void AddThree()
    {
        m_button->AddItem(L"A", L"http://a/");
        m_button->AddItem(L"B", L"http://b/");
        m_button->AddItem(L"C", L"http://c/");
        m_window.pm().SetTimer(m_button, CScrollTextButtonUI::kPauseTimer, m_button->GetPauseInterval());
    }

    TestWindow m_window;
    CVerticalLayoutUI* m_root = nullptr;
    CScrollTextButtonUI* m_button = nullptr;
};

TEST_F(ScrollTextButtonTest, WithoutCaptionsItAnswersNoLinkAndStartsNothing)
{
    EXPECT_EQ(L"", m_button->GetCurrentUrl());
    EXPECT_FALSE(Running(CScrollTextButtonUI::kPauseTimer));
    m_button->AddItem(L"only text", nullptr);
    EXPECT_FALSE(Running(CScrollTextButtonUI::kPauseTimer)) << "adding never starts a timer";
    EXPECT_EQ(L"", m_button->GetCurrentUrl()) << "a missing link is an empty one";
}

TEST_F(ScrollTextButtonTest, EveryCaptionIsAtRestInTurnAndAClickAnswersTheOneShown)
{
    AddThree();
    EXPECT_EQ(L"http://a/", m_button->GetCurrentUrl()) << "the first caption shows before any scroll";

    // Each pause hands over to 18 steps of 2 pixels (36 / 2), then the next
    // caption rests and the pause timer runs again. A, B, C, then A again.
    const wchar_t* const rest[] = {L"http://b/", L"http://c/", L"http://a/", L"http://b/"};
    const wchar_t* leaving = L"http://a/";
    for (const wchar_t* expected : rest) {
        Tick(CScrollTextButtonUI::kPauseTimer);
        EXPECT_FALSE(Running(CScrollTextButtonUI::kPauseTimer));
        ASSERT_TRUE(Running(CScrollTextButtonUI::kStepTimer));
        int steps = 0;
        while (Running(CScrollTextButtonUI::kStepTimer)) {
            // While the leaving caption shows more than the rising one, a
            // click still means the leaving one.
            EXPECT_EQ(steps < 9 ? std::wstring(leaving) : std::wstring(expected), m_button->GetCurrentUrl())
                << "after step " << steps;
            Tick(CScrollTextButtonUI::kStepTimer);
            ++steps;
        }
        EXPECT_EQ(18, steps);
        EXPECT_TRUE(Running(CScrollTextButtonUI::kPauseTimer));
        EXPECT_EQ(expected, m_button->GetCurrentUrl());
        leaving = expected;
    }
}

TEST_F(ScrollTextButtonTest, OneCaptionScrollsOutAndInAgain)
{
    m_button->AddItem(L"solo", L"http://solo/");
    for (int round = 0; round < 2; ++round) {
        Tick(CScrollTextButtonUI::kPauseTimer);
        EXPECT_EQ(18, StepsToRest());
        EXPECT_EQ(L"http://solo/", m_button->GetCurrentUrl());
    }
}

TEST_F(ScrollTextButtonTest, ForeignTimerIdsAndLateTicksChangeNothing)
{
    AddThree();
    Tick(7);
    EXPECT_EQ(L"http://a/", m_button->GetCurrentUrl());
    Tick(CScrollTextButtonUI::kPauseTimer);
    StepsToRest();
    // A step that was already queued when the scroll ended keeps the rest.
    Tick(CScrollTextButtonUI::kStepTimer);
    EXPECT_EQ(L"http://b/", m_button->GetCurrentUrl());
}

TEST_F(ScrollTextButtonTest, DestroyingTheButtonStopsItsTimers)
{
    AddThree();
    Tick(CScrollTextButtonUI::kPauseTimer);
    ASSERT_TRUE(m_root->Remove(m_button));
    m_window.Pump();  // removed controls are deleted once the window is idle
    EXPECT_FALSE(m_window.pm().KillTimer(m_button, CScrollTextButtonUI::kStepTimer));
}

// The bottom bar: three buttons whose steps arrive in the same tick. A step
// repaints the buttons' own rectangles and nothing between or around them.
TEST(ScrollTextButtonBar, AStepRepaintsOnlyTheSteppingButtons)
{
    auto* bar = new SkinUI::ProbeContainer(nullptr, L"bar", L"bkcolor=\"#FF251F29\"");
    auto* gap = new SkinUI::ProbeControl(nullptr, L"gap", L"float=\"true\" pos=\"160,0,220,36\"");
    bar->Add(gap);
    CScrollTextButtonUI* buttons[3] = {};
    const RECT rects[3] = {{20, 0, 160, 36}, {220, 0, 360, 36}, {420, 0, 560, 36}};
    for (int i = 0; i < 3; ++i) {
        buttons[i] = new CScrollTextButtonUI;
        wchar_t pos[64];
        std::swprintf(pos, 64, L"float=\"true\" pos=\"%ld,0,%ld,36\" textcolor=\"#FFFF0000\"", rects[i].left,
                      rects[i].right);
        buttons[i]->ApplyAttributeList(pos);
        buttons[i]->AddItem(L"first caption", L"http://a/");
        buttons[i]->AddItem(L"second caption", L"http://b/");
        bar->Add(buttons[i]);
    }
    TestWindow window(600, kHeight, bar);
    window.Settle();

    auto tick = [](CScrollTextButtonUI* button, UINT id) {
        TEventUI event;
        event.Type = SkinUI::UIEVENT_TIMER;
        event.pSender = button;
        event.wParam = id;
        button->Event(event);
    };
    for (CScrollTextButtonUI* button : buttons) tick(button, CScrollTextButtonUI::kPauseTimer);
    ::UpdateWindow(window.hwnd());  // the pause ending paints nothing by itself
    bar->paints.clear();
    gap->paints.clear();

    for (CScrollTextButtonUI* button : buttons) tick(button, CScrollTextButtonUI::kStepTimer);
    ::UpdateWindow(window.hwnd());

    EXPECT_TRUE(gap->paints.empty()) << "the control between two buttons was painted";
    ASSERT_EQ(bar->paints.size(), 3u) << "one paint for each button";
    for (const RECT& painted : bar->paints) {
        const bool isAButton = std::any_of(std::begin(rects), std::end(rects),
                                           [&](const RECT& r) { return ::EqualRect(&r, &painted) != FALSE; });
        EXPECT_TRUE(isAButton) << painted.left << "," << painted.top << "," << painted.right << "," << painted.bottom;
    }
}

// ---- painting ----------------------------------------------------------

// Rows of the canvas that hold ink (anything but the white background) in
// the columns [x0, x1).
struct Rows {
    int top = -1, bottom = -1;
};
Rows RowsOf(const Canvas& canvas, int x0, int x1)
{
    Rows rows;
    for (int y = 0; y < canvas.height(); ++y)
        for (int x = x0; x < x1; ++x)
            if (canvas.Rgb(x, y) != 0xFFFFFF) {
                if (rows.top < 0) rows.top = y;
                rows.bottom = y + 1;
                break;
            }
    return rows;
}

class ScrollTextButtonPaintTest : public ScrollTextButtonTest {
protected:
    // Paints the button afresh onto `canvas` (white first).
    const Canvas& Paint(Canvas& canvas)
    {
        canvas.Fill(0xFFFFFFFF);
        RECT all = {0, 0, 140, kHeight};
        m_button->DoPaint(canvas.dc(), all);
        return canvas;
    }
    Canvas m_canvas{140, kHeight};
};

TEST_F(ScrollTextButtonPaintTest, TheLeavingCaptionIsAboveTheSplitAndTheRisingOneBelow)
{
    // A narrow caption then a wide one: only the wide one reaches the right
    // half of the button.
    m_button->AddItem(L"I", L"i");
    m_button->AddItem(L"WWWWWWWWWW", L"w");
    m_button->SetAttribute(L"align", L"left");

    Rows wide = RowsOf(Paint(m_canvas), 40, 140);
    EXPECT_LT(wide.top, 0) << "before the first scroll only the first caption shows";

    Tick(CScrollTextButtonUI::kPauseTimer);
    for (int i = 0; i < 9; ++i) Tick(CScrollTextButtonUI::kStepTimer);  // half way: split at y = 18
    const Canvas& half = Paint(m_canvas);
    wide = RowsOf(half, 40, 140);
    ASSERT_GE(wide.top, 0);
    EXPECT_GE(wide.top, 18) << "the rising caption stays below the split";
    const Rows narrow = RowsOf(half, 0, 6);
    ASSERT_GE(narrow.top, 0);
    EXPECT_LT(narrow.top, 18) << "the leaving caption still shows above the split";

    StepsToRest();
    wide = RowsOf(Paint(m_canvas), 40, 140);
    ASSERT_GE(wide.top, 0);
    EXPECT_NEAR(kHeight / 2, (wide.top + wide.bottom) / 2, 3) << "at rest the caption is vertically centred";
}

// The strongest ink of the canvas (text edges are blended with the
// background; the stems carry the text colour itself).
DWORD Darkest(const Canvas& canvas)
{
    DWORD best = 0xFFFFFF;
    int bestSum = 3 * 255;
    for (int y = 0; y < canvas.height(); ++y)
        for (int x = 0; x < canvas.width(); ++x) {
            const DWORD c = canvas.Rgb(x, y);
            const int sum = int((c >> 16) & 0xFF) + int((c >> 8) & 0xFF) + int(c & 0xFF);
            if (sum < bestSum) best = c, bestSum = sum;
        }
    return best;
}

// Whether `c` is `target` blended over white: every channel lies the same
// fraction of the way from white to the target's channel.
::testing::AssertionResult BlendOfWhiteAnd(DWORD target, DWORD c)
{
    double fraction = -1;
    bool ok = true;
    for (int shift = 0; shift <= 16; shift += 8) {
        const int t = (target >> shift) & 0xFF, v = (c >> shift) & 0xFF;
        if (t == 255) {
            ok = ok && v >= 250;
            continue;
        }
        const double f = double(255 - v) / double(255 - t);
        if (fraction < 0) fraction = f;
        ok = ok && f > 0.3 && std::abs(f - fraction) < 0.1;
    }
    if (ok) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << std::hex << c << " is not a blend of white and " << target;
}

TEST_F(ScrollTextButtonPaintTest, CaptionsTakeTheColourOfTheButtonState)
{
    m_button->AddItem(L"WWWW", L"w");
    m_button->SetAttribute(L"pushedtextcolor", L"#FF0000FF");
    EXPECT_TRUE(BlendOfWhiteAnd(0xFF0000u, Darkest(Paint(m_canvas)))) << "normal";

    TEventUI down;
    down.Type = SkinUI::UIEVENT_BUTTONDOWN;
    down.ptMouse = POINT{10, 10};
    m_button->Event(down);
    EXPECT_TRUE(BlendOfWhiteAnd(0x0000FFu, Darkest(Paint(m_canvas)))) << "pressed";

    m_button->SetEnabled(false);
    EXPECT_TRUE(BlendOfWhiteAnd(0x808080u, Darkest(Paint(m_canvas)))) << "disabled";
}

}  // namespace
}  // namespace Vornex
