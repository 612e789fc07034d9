// Buttons, options and check boxes: activation by mouse and keyboard, the
// state images and colours, option groups and their notifications.
#include "tests/ui/controls/WidgetTestSupport.h"
#include "tests/ui/render/Canvas.h"
#include "ui/controls/CheckBoxUI.h"
#include "ui/controls/VerticalLayoutUI.h"

#include <gtest/gtest.h>

namespace SkinUI {
namespace {

using Test::Canvas;
using Test::NotifyLog;
using Test::Send;

constexpr RECT kButtonRect = {10, 10, 110, 40};
const POINT kInside = {50, 20};
const POINT kOutside = {200, 20};

// A solid image registered with the manager under `name`.
void AddSolidImage(CPaintManagerUI& pm, const wchar_t* name, DWORD argb)
{
    HBITMAP bmp = Test::MakeBitmap(8, 8, [argb](int, int) { return argb; });
    ASSERT_NE(nullptr, pm.AddImage(name, bmp, 8, 8, false));
}

// Buttons in a tree without a window, all at the same place.
class ButtonTest : public Test::DetachedTreeTest {
protected:
    template <class T>
    T* Add(LPCTSTR attributes = L"")
    {
        return DetachedTreeTest::Add<T>(attributes, kButtonRect);
    }
};

TEST_F(ButtonTest, ClickOnlyWhenReleasedInside)
{
    auto* button = Add<CButtonUI>();
    Send(*button, UIEVENT_BUTTONDOWN, kInside);
    EXPECT_EQ(UISTATE_PUSHED | UISTATE_CAPTURED, button->GetButtonState() & (UISTATE_PUSHED | UISTATE_CAPTURED));
    Send(*button, UIEVENT_MOUSEMOVE, kOutside);
    EXPECT_FALSE(button->GetButtonState() & UISTATE_PUSHED) << "pushed follows the mouse while captured";
    Send(*button, UIEVENT_BUTTONUP, kOutside);
    EXPECT_EQ(0, m_log.Count(L"click")) << "press, drag out, release: no click";
    EXPECT_EQ(0u, button->GetButtonState() & (UISTATE_PUSHED | UISTATE_CAPTURED));

    Send(*button, UIEVENT_BUTTONDOWN, kInside);
    Send(*button, UIEVENT_MOUSEMOVE, kOutside);
    Send(*button, UIEVENT_MOUSEMOVE, kInside);
    Send(*button, UIEVENT_BUTTONUP, kInside);
    ASSERT_EQ(1, m_log.Count(L"click")) << "dragging back in before the release clicks";
    EXPECT_EQ(button, m_log.entries.back().sender);

    Send(*button, UIEVENT_BUTTONUP, kInside);
    EXPECT_EQ(1, m_log.Count(L"click")) << "a release without a press is not a click";
}

TEST_F(ButtonTest, KeyboardActivatesWithSpaceAndReturn)
{
    auto* button = Add<CButtonUI>();
    const struct {
        TCHAR key;
        bool keyboard;
        int clicks;
    } cases[] = {{VK_SPACE, true, 1}, {VK_RETURN, true, 1}, {L'A', true, 0}, {VK_SPACE, false, 0}};
    for (const auto& c : cases) {
        m_log.entries.clear();
        button->SetKeyboardEnabled(c.keyboard);
        Send(*button, UIEVENT_KEYDOWN, {0, 0}, 0, c.key);
        EXPECT_EQ(c.clicks, m_log.Count(L"click")) << "key " << int(c.key) << " keyboard " << c.keyboard;
    }
    button->SetKeyboardEnabled(true);
    EXPECT_EQ(UIFLAG_TABSTOP | UIFLAG_SETCURSOR, button->GetControlFlags());
    button->SetEnabled(false);
    EXPECT_FALSE(button->Activate()) << "a disabled button does not activate";
    EXPECT_EQ(UIFLAG_TABSTOP, button->GetControlFlags());
}

TEST_F(ButtonTest, HoverSetsHotAndNotifiesOnlyWhenEnabled)
{
    auto* button = Add<CButtonUI>();
    Send(*button, UIEVENT_MOUSEENTER, kInside);
    EXPECT_TRUE(button->GetButtonState() & UISTATE_HOT);
    Send(*button, UIEVENT_MOUSELEAVE, kOutside);
    EXPECT_FALSE(button->GetButtonState() & UISTATE_HOT);
    EXPECT_EQ((std::vector<std::wstring>{L"mouseenter", L"mouseleave"}), m_log.Types());

    m_log.entries.clear();
    button->SetEnabled(false);
    Send(*button, UIEVENT_MOUSEENTER, kInside);
    Send(*button, UIEVENT_BUTTONDOWN, kInside);
    EXPECT_EQ(0u, button->GetButtonState() & (UISTATE_HOT | UISTATE_PUSHED)) << "a disabled button ignores the mouse";
    EXPECT_EQ(0, m_log.Count(L"mouseenter"));
}

TEST_F(ButtonTest, StateImages)
{
    AddSolidImage(m_pm, L"normal", 0xFF0000FF);
    AddSolidImage(m_pm, L"hot", 0xFFFF0000);
    AddSolidImage(m_pm, L"pushed", 0xFF00FF00);
    AddSolidImage(m_pm, L"disabled", 0xFF808080);
    AddSolidImage(m_pm, L"fore", 0xFFFFFF00);
    auto* button =
        Add<CButtonUI>(L"normalimage=\"normal\" hotimage=\"hot\" pushedimage=\"pushed\" disabledimage=\"disabled\"");
    auto paintedColour = [&] {
        Canvas canvas(120, 50);
        button->DoPaint(canvas.dc(), kButtonRect);
        return canvas.Rgb(50, 20);
    };
    EXPECT_EQ(0x0000FFu, paintedColour()) << "normal";
    Send(*button, UIEVENT_MOUSEENTER, kInside);
    EXPECT_EQ(0xFF0000u, paintedColour()) << "hot";
    Send(*button, UIEVENT_BUTTONDOWN, kInside);
    EXPECT_EQ(0x00FF00u, paintedColour()) << "pushed";
    Send(*button, UIEVENT_BUTTONUP, kOutside);
    button->SetEnabled(false);
    EXPECT_EQ(0x808080u, paintedColour()) << "disabled with a disabled image";
    button->SetDisabledImage(L"");
    EXPECT_EQ(0x0000FFu, paintedColour()) << "disabled without one draws the normal image";

    button->SetDisabledImage(L"missing-from-the-skin.png");
    EXPECT_EQ(0x0000FFu, paintedColour()) << "a disabled image that cannot be drawn falls back to normal";
    EXPECT_STREQ(L"", button->GetDisabledImage()) << "and is not tried again";
}

TEST_F(ButtonTest, HotBackgroundColourWithoutHotImageDrawsNoForeImage)
{
    AddSolidImage(m_pm, L"fore", 0xFFFFFF00);
    auto* button = Add<CButtonUI>(L"hotbkcolor=\"#FF102030\" foreimage=\"file='fore' dest='0,0,10,10'\"");
    Canvas canvas(120, 50);
    button->DoPaint(canvas.dc(), kButtonRect);
    EXPECT_EQ(0xFFFF00u, canvas.Rgb(12, 12)) << "the fore image when not hot";
    Send(*button, UIEVENT_MOUSEENTER, kInside);
    canvas.Fill(0xFFFFFFFF);
    button->PaintStatusImage(canvas.dc());
    EXPECT_EQ(0x102030u, canvas.Rgb(12, 12)) << "hot: the colour fills and no fore image follows";
    EXPECT_EQ(0x102030u, canvas.Rgb(100, 35));
}

TEST_F(ButtonTest, ShowHandStaysOnOnceTurnedOn)
{
    auto* button = Add<CButtonUI>();
    HCURSOR hand = ::LoadCursor(nullptr, IDC_HAND);
    Send(*button, UIEVENT_SETCURSOR, kInside);
    EXPECT_NE(hand, ::GetCursor());
    button->SetAttribute(L"showhand", L"true");
    button->SetAttribute(L"showhand", L"false");
    Send(*button, UIEVENT_SETCURSOR, kInside);
    EXPECT_EQ(hand, ::GetCursor());
}

TEST_F(ButtonTest, EstimateSizeIsTheFontHeightPlusEight)
{
    auto* button = Add<CButtonUI>(L"width=\"70\"");
    const SIZE sz = button->EstimateSize(SIZE{500, 500});
    EXPECT_EQ(70, sz.cx);
    EXPECT_EQ(m_pm.GetFontInfo(-1)->tm.tmHeight + 8, sz.cy);
    button->SetFixedHeight(30);
    EXPECT_EQ(30, button->EstimateSize(SIZE{500, 500}).cy);
}

TEST_F(ButtonTest, OptionGroupSendsOneSelectChangedPerChange)
{
    auto* a = Add<COptionUI>(L"group=\"g\" selected=\"true\"");
    auto* b = Add<COptionUI>(L"group=\"g\"");
    auto* c = Add<COptionUI>(L"group=\"g\"");
    ASSERT_NE(nullptr, m_pm.GetOptionGroup(L"g"));
    EXPECT_EQ(3, m_pm.GetOptionGroup(L"g")->GetSize());

    b->Selected(true);
    EXPECT_FALSE(a->IsSelected());
    EXPECT_TRUE(b->IsSelected());
    ASSERT_EQ(1, m_log.Count(L"selectchanged"));
    EXPECT_EQ(b, m_log.entries.back().sender) << "only the newly selected option reports";

    m_log.entries.clear();
    Send(*c, UIEVENT_BUTTONDOWN, kInside);
    Send(*c, UIEVENT_BUTTONUP, kInside);
    EXPECT_EQ((std::vector<std::wstring>{L"click", L"selectchanged"}), m_log.Types());
    EXPECT_TRUE(c->IsSelected());
    EXPECT_FALSE(b->IsSelected());

    m_log.entries.clear();
    c->Activate();
    EXPECT_TRUE(c->IsSelected()) << "activating the selected option of a group keeps it selected";
    EXPECT_EQ(0, m_log.Count(L"selectchanged"));
    c->Selected(false);
    EXPECT_EQ(0, m_log.Count(L"selectchanged")) << "deselection inside a group is silent";

    c->SetGroup(L"other");
    EXPECT_EQ(2, m_pm.GetOptionGroup(L"g")->GetSize()) << "leaving a group";
    EXPECT_EQ(1, m_pm.GetOptionGroup(L"other")->GetSize());
    b->Selected(true);
    c->Selected(true);
    EXPECT_TRUE(b->IsSelected()) << "options of another group do not interfere";
}

TEST_F(ButtonTest, CheckBoxTogglesWithClickThenSelectChanged)
{
    auto* box = Add<CCheckBoxUI>();
    EXPECT_STREQ(L"CheckBoxUI", box->GetClass());
    EXPECT_EQ(box, box->GetInterface(L"Option"));
    for (bool expected : {true, false}) {
        m_log.entries.clear();
        Send(*box, UIEVENT_BUTTONDOWN, kInside);
        Send(*box, UIEVENT_BUTTONUP, kInside);
        EXPECT_EQ(expected, box->GetCheck());
        EXPECT_EQ((std::vector<std::wstring>{L"click", L"selectchanged"}), m_log.Types());
    }
    box->SetCheck(true);
    box->SetEnabled(false);
    EXPECT_EQ(UISTATE_SELECTED, box->GetButtonState()) << "disabling keeps only the selected bit";
}

TEST_F(ButtonTest, SelectedOptionDrawsItsSelectedImageAndTextColour)
{
    AddSolidImage(m_pm, L"sel", 0xFF00FF00);
    AddSolidImage(m_pm, L"nor", 0xFF0000FF);
    auto* option = Add<COptionUI>(L"normalimage=\"nor\" selectedimage=\"sel\"");
    Canvas canvas(120, 50);
    option->DoPaint(canvas.dc(), kButtonRect);
    EXPECT_EQ(0x0000FFu, canvas.Rgb(50, 12));
    option->Selected(true);
    option->DoPaint(canvas.dc(), kButtonRect);
    EXPECT_EQ(0x00FF00u, canvas.Rgb(50, 12));
    Send(*option, UIEVENT_BUTTONDOWN, kInside);
    option->DoPaint(canvas.dc(), kButtonRect);
    EXPECT_EQ(0x00FF00u, canvas.Rgb(50, 12)) << "options never show a pushed state";
}

}  // namespace
}  // namespace SkinUI
