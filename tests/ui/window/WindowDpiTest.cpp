// Skinned windows at 100 %, 150 % and 200 % display scaling: every size the
// skin writes is laid out at the window's density, each value rounded once
// from its 100 % value, also after the density changed under a live window.
// The density is set on the paint manager here; the PrefixDpi tests read it
// from the Wine prefix the test runs in (window_dpi_prefix_test).

#include "tests/ui/window/DpiTestWindow.h"
#include "tests/ui/window/WindowTestSupport.h"
#include "ui/controls/ControlUI.h"
#include "ui/window/WorkArea.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <map>
#include <string>

using namespace SkinUI;
using namespace SkinUI::WindowTest;

namespace {

// Sizes that do not divide evenly at 150 %, so that rounding shows.
const wchar_t kSkin[] =
    L"<Window size=\"300,200\" caption=\"0,0,0,30\" sizebox=\"4,4,4,4\" roundcorner=\"6,6\" mininfo=\"121,91\">"
    L"<Font name=\"Tahoma\" size=\"14\"/>"
    L"<VerticalLayout bkcolor=\"#FF336699\">"
    L"<HorizontalLayout name=\"bar\" height=\"30\">"
    L"<Label name=\"title\" text=\"title\" font=\"0\"/>"
    L"<VerticalLayout width=\"100\">"
    L"<Button name=\"btn_sys_close\" float=\"true\" pos=\"72,0,0,0\" width=\"28\" height=\"25\"/>"
    L"<Button name=\"btn_sys_min\" float=\"true\" pos=\"44,0,0,0\" width=\"28\" height=\"25\"/>"
    L"</VerticalLayout></HorizontalLayout>"
    L"<HorizontalLayout name=\"row\" height=\"21\" inset=\"3,3,3,3\" childpadding=\"5\">"
    L"<Control name=\"c1\" width=\"21\"/><Control name=\"c2\" width=\"21\"/><Control name=\"c3\" width=\"21\"/>"
    L"</HorizontalLayout><Control/></VerticalLayout></Window>";

const wchar_t* const kNamed[] = {L"bar", L"title", L"btn_sys_close", L"btn_sys_min", L"row", L"c1", L"c2", L"c3"};

std::string Text(const RECT& rc)
{
    return std::to_string(rc.left) + "," + std::to_string(rc.top) + "," + std::to_string(rc.right) + "," +
           std::to_string(rc.bottom);
}

bool operator==(const RECT& a, const RECT& b)
{
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

std::map<std::wstring, RECT> Layout(ScaledWindow& window)
{
    std::map<std::wstring, RECT> layout;
    for (const wchar_t* name : kNamed) layout[name] = window.Pos(name);
    return layout;
}

void ExpectSameLayout(ScaledWindow& actual, ScaledWindow& expected)
{
    for (const wchar_t* name : kNamed) {
        const RECT a = actual.Pos(name);
        const RECT e = expected.Pos(name);
        EXPECT_TRUE(a == e) << std::string(name, name + wcslen(name)) << ": " << Text(a) << " vs " << Text(e);
    }
}

}  // namespace

TEST(WindowDpi, SkinMetricsAreLaidOutAtTheWindowsDensityEachRoundedOnce)
{
    struct Case {
        int dpi;
        SIZE window;
        int caption, sizeBox;
        RECT close, minimise, row, c1, c2, c3;
        SIZE minInfo;
    } cases[] = {
        {96, {300, 200}, 30, 4, {272, 0, 300, 25}, {244, 0, 272, 25}, {0, 30, 300, 51},
         {3, 33, 24, 48}, {29, 33, 50, 48}, {55, 33, 76, 48}, {121, 91}},
        // 4.5 -> 5, 31.5 -> 32, 7.5 -> 8, 37.5 -> 38: each from its own 100 % value.
        {144, {450, 300}, 45, 6, {408, 0, 450, 38}, {366, 0, 408, 38}, {0, 45, 450, 77},
         {5, 50, 37, 72}, {45, 50, 77, 72}, {85, 50, 117, 72}, {182, 137}},
        {192, {600, 400}, 60, 8, {544, 0, 600, 50}, {488, 0, 544, 50}, {0, 60, 600, 102},
         {6, 66, 48, 96}, {58, 66, 100, 96}, {110, 66, 152, 96}, {242, 182}},
    };
    int titleHeightAt96 = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.dpi);
        DpiOverride dpi(c.dpi);
        ScaledWindow window(kSkin);
        ASSERT_NE(window.Open(), nullptr);
        EXPECT_EQ(window.Manager().GetDpi(), c.dpi);
        EXPECT_EQ(window.WindowSize().cx, c.window.cx);
        EXPECT_EQ(window.WindowSize().cy, c.window.cy);
        EXPECT_EQ(window.Manager().GetCaptionRect().bottom, c.caption);
        EXPECT_EQ(window.Manager().GetSizeBox().left, c.sizeBox);
        EXPECT_EQ(window.Manager().GetMinInfo().cx, c.minInfo.cx);
        EXPECT_EQ(window.Manager().GetMinInfo().cy, c.minInfo.cy);
        EXPECT_EQ(Text(window.Pos(L"btn_sys_close")), Text(c.close));
        EXPECT_EQ(Text(window.Pos(L"btn_sys_min")), Text(c.minimise));
        EXPECT_EQ(Text(window.Pos(L"row")), Text(c.row));
        EXPECT_EQ(Text(window.Pos(L"c1")), Text(c.c1));
        EXPECT_EQ(Text(window.Pos(L"c2")), Text(c.c2));
        EXPECT_EQ(Text(window.Pos(L"c3")), Text(c.c3));

        // The size box and the caption band follow the density too.
        EXPECT_EQ(window.HitTest(c.sizeBox - 1, 100), HTLEFT);
        EXPECT_EQ(window.HitTest(c.sizeBox, 100), HTCLIENT);
        EXPECT_EQ(window.HitTest(150, c.caption - 1), HTCAPTION);
        EXPECT_EQ(window.HitTest(150, c.caption), HTCLIENT);

        // Text is drawn with a font of the density's height.
        const int titleHeight = window.Manager().GetFontInfo(0)->tm.tmHeight;
        if (c.dpi == 96) titleHeightAt96 = titleHeight;
        const double expected = titleHeightAt96 * c.dpi / 96.0;
        EXPECT_NEAR(titleHeight, expected, 2.0) << "font height at " << c.dpi;
    }
}

TEST(WindowDpi, ADensityChangeScalesAgainFromThe100PercentValuesAndTakesTheSuggestedRectangle)
{
    ScaledWindow window(kSkin);
    ASSERT_NE(window.Open(), nullptr);
    const std::map<std::wstring, RECT> at96 = Layout(window);

    // 96 -> 144 -> 192 must end where a window made at 192 is: scaling the
    // rounded 144 values again would be off by a pixel here and there.
    window.ChangeDpi(144, RECT{40, 30, 490, 330});
    window.ChangeDpi(192, RECT{50, 40, 650, 440});
    RECT rc;
    ::GetWindowRect(window, &rc);
    EXPECT_EQ(Text(rc), "50,40,650,440");
    EXPECT_EQ(window.Manager().GetDpi(), 192);
    EXPECT_EQ(window.Manager().GetCaptionRect().bottom, 60);
    {
        DpiOverride dpi(192);
        ScaledWindow fresh(kSkin);
        ASSERT_NE(fresh.Open(), nullptr);
        ExpectSameLayout(window, fresh);
        EXPECT_EQ(window.Manager().GetFontInfo(0)->tm.tmHeight, fresh.Manager().GetFontInfo(0)->tm.tmHeight);
    }

    // And back: exactly the layout it started with.
    window.ChangeDpi(96, RECT{50, 40, 350, 240});
    for (const wchar_t* name : kNamed)
        EXPECT_EQ(Text(window.Pos(name)), Text(at96.at(name))) << std::string(name, name + wcslen(name));
}

TEST(WindowDpi, TheMainSkinAt200PercentIsTwiceItsSizeWithinTheWorkArea)
{
    RECT titleAt96 = {}, closeAt96 = {};
    int widthAt96 = 0;
    {
        ScaledWindow window(L"MainWnd.xml", true);
        ASSERT_NE(window.Open(), nullptr);
        widthAt96 = window.WindowSize().cx;
        titleAt96 = window.Pos(L"sys_titlebar");
        closeAt96 = window.Pos(L"btn_sys_close");
    }
    EXPECT_EQ(widthAt96, 1200);
    EXPECT_EQ(Text(closeAt96), "1172,0,1200,30");

    DpiOverride dpi(192);
    ScaledWindow window(L"MainWnd.xml", true);
    ASSERT_NE(window.Open(), nullptr);
    RECT work = {};
    ASSERT_TRUE(WorkAreaNearWindow(window, work));
    const SIZE size = window.WindowSize();
    EXPECT_EQ(size.cx, std::min<LONG>(2400, work.right - work.left));
    EXPECT_EQ(size.cy, std::min<LONG>(1440, work.bottom - work.top));

    // The title bar is twice as tall, and its buttons sit where twice the
    // skin's numbers put them from the window's right edge.
    const RECT title = window.Pos(L"sys_titlebar");
    EXPECT_EQ(title.bottom - title.top, 2 * (titleAt96.bottom - titleAt96.top));
    EXPECT_EQ(window.Manager().GetCaptionRect().bottom, 72);
    const RECT close = window.Pos(L"btn_sys_close");
    EXPECT_EQ(Text(close), Text(RECT{size.cx - 2 * (1200 - closeAt96.left), 0, size.cx, 60}));
    const RECT minimise = window.Pos(L"btn_sys_min");
    EXPECT_EQ(minimise.right - minimise.left, 56);
    EXPECT_EQ(close.left - minimise.left, 2 * 56);
}

TEST(WindowDpi, ALayoutDraggedByItsScaledSeparatorKeepsTheSizeItWasDraggedTo)
{
    const wchar_t skin[] =
        L"<Window size=\"300,200\"><HorizontalLayout>"
        L"<HorizontalLayout name=\"pane\" width=\"100\" sepwidth=\"4\" bkcolor=\"#FF808080\"/><Control/>"
        L"</HorizontalLayout></Window>";
    for (int density : {96, 192}) {
        SCOPED_TRACE(density);
        DpiOverride dpi(density);
        ScaledWindow window(skin);
        ASSERT_NE(window.Open(), nullptr);
        const LONG right = window.Pos(L"pane").right;
        EXPECT_EQ(right, 100 * density / 96);
        // Inside the separator only when it is 4 pixels wide at 100 %.
        const LONG grip = right - 2 * density / 96 - 1;
        window.Send(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(grip, 50));
        window.Send(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(grip + 30, 50));
        window.Send(WM_LBUTTONUP, 0, MAKELPARAM(grip + 30, 50));
        EXPECT_EQ(window.Pos(L"pane").right, right + 30);
    }
}

// Run by window_dpi_prefix_test inside a Wine prefix whose LogPixels is
// VORNEX_EXPECT_DPI: the window's density is the one the system reports.
TEST(PrefixDpi, AWindowTakesTheDensityOfThePrefix)
{
    const char* expected = std::getenv("VORNEX_EXPECT_DPI");
    if (expected == nullptr) GTEST_SKIP() << "runs inside a prefix of its own density";
    const int dpi = std::atoi(expected);
    ScaledWindow window(kSkin);
    ASSERT_NE(window.Open(), nullptr);
    EXPECT_EQ(CPaintManagerUI::DpiOfWindow(window), dpi);
    EXPECT_EQ(window.Manager().GetDpi(), dpi);
    EXPECT_EQ(window.WindowSize().cx, 300 * dpi / 96);
    EXPECT_EQ(window.Manager().GetCaptionRect().bottom, 30 * dpi / 96);

    // The system made its stock GUI font (8 points, 11 pixels at 100 %) for
    // this density already; the default font is that size at the window's
    // density, not scaled twice.
    TFontInfo* font = window.Manager().GetDefaultFontInfo();
    EXPECT_EQ(font->iSize, 11);
    LOGFONTW lf = {};
    ::GetObjectW(font->hFont, sizeof(lf), &lf);
    EXPECT_EQ(lf.lfHeight, -ScaleForDpi(11, dpi));
}
