// Labels and text blocks: the style attributes as they reach the screen,
// measurement, default colours, GDI+ effects, links, and text of any shape.
#include "tests/ui/controls/WidgetTestSupport.h"
#include "tests/ui/render/Canvas.h"
#include "ui/controls/ButtonUI.h"
#include "ui/controls/GdiplusSession.h"
#include "ui/controls/TextUI.h"
#include "ui/controls/VerticalLayoutUI.h"
#include "ui/render/RenderEngine.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace SkinUI {
namespace {

using Test::Canvas;
using Test::Send;

constexpr DWORD kWhite = 0xFFFFFF;

// Labels painted into a DIB section through a manager without a window.
class LabelTest : public Test::DetachedTreeTest {
protected:
    static void Paint(CControlUI& control, Canvas& canvas)
    {
        canvas.Fill(0xFFFFFFFF);
        control.DoPaint(canvas.dc(), control.GetPos());
    }
};

TEST_F(LabelTest, EllipsisOnlyWhenEndEllipsisFollowsAlign)
{
    const wchar_t* text = L"A label far too long for the eighty pixels it has";
    const RECT rc = {0, 0, 80, 20};
    auto* kept = Add<CLabelUI>(L"align=\"left+vcenter\" endellipsis=\"true\" textcolor=\"#FF000000\"", rc);
    auto* lost = Add<CLabelUI>(L"endellipsis=\"true\" align=\"left+vcenter\" textcolor=\"#FF000000\"", rc);
    kept->SetText(text);
    lost->SetText(text);
    EXPECT_TRUE(kept->GetTextStyle() & DT_END_ELLIPSIS);
    EXPECT_FALSE(lost->GetTextStyle() & DT_END_ELLIPSIS);

    // The reference: the same text drawn by GDI with an ellipsis.
    Canvas reference(80, 20), a(80, 20), b(80, 20);
    RECT r = rc;
    CRenderEngine::DrawText(reference.dc(), &m_pm, r, text, 0xFF000000, -1,
                            DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS);
    Paint(*kept, a);
    Paint(*lost, b);
    int differentFromKept = 0, differentFromLost = 0;
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 80; ++x) {
            differentFromKept += a.Rgb(x, y) != reference.Rgb(x, y);
            differentFromLost += b.Rgb(x, y) != reference.Rgb(x, y);
        }
    EXPECT_EQ(0, differentFromKept) << "the text ends in \"...\"";
    EXPECT_GT(differentFromLost, 0) << "the ellipsis was lost: the text is cut instead";
}

TEST_F(LabelTest, TitleLabelIsSingleLineAndVerticallyCentred)
{
    auto* label = Add<CLabelUI>(L"align=\"left+vcenter\" textcolor=\"#FF000000\" text=\"Vornex\"", RECT{0, 0, 200, 40});
    Canvas canvas(200, 40);
    Paint(*label, canvas);
    const RECT ink = canvas.Changed(0xFFFFFFFF);
    ASSERT_LT(ink.left, ink.right) << "something was drawn";
    EXPECT_LT(ink.left, 4) << "left aligned";
    EXPECT_NEAR(20, (ink.top + ink.bottom) / 2, 4) << "vertically centred";
}

TEST_F(LabelTest, TextColourZeroTakesTheManagersDefaultColours)
{
    m_pm.SetDefaultFontColor(0xFF00C000);
    m_pm.SetDefaultDisabledColor(0xFFC00000);
    auto* label = Add<CLabelUI>(L"text=\"MMMM\"", RECT{0, 0, 100, 24});
    Canvas canvas(100, 24);
    Paint(*label, canvas);
    EXPECT_GT(canvas.Count(0x00C000), 0);
    EXPECT_EQ(0xFF00C000u, label->GetTextColor()) << "the default is kept";
    label->SetEnabled(false);
    Paint(*label, canvas);
    EXPECT_GT(canvas.Count(0xC00000), 0) << "disabled text takes the default disabled colour";
    EXPECT_EQ(0, canvas.Count(0x00C000));
}

TEST_F(LabelTest, HotTextColourOnHover)
{
    auto* button =
        Add<CButtonUI>(L"text=\"MMMM\" textcolor=\"#FF000080\" hottextcolor=\"#FF00368F\"", RECT{0, 0, 100, 24});
    Canvas canvas(100, 24);
    Paint(*button, canvas);
    EXPECT_GT(canvas.Count(0x000080), 0);
    EXPECT_EQ(0, canvas.Count(0x00368F));
    Send(*button, UIEVENT_MOUSEENTER, POINT{5, 5});
    Paint(*button, canvas);
    EXPECT_GT(canvas.Count(0x00368F), 0) << "hot text colour while the mouse is over it";
    EXPECT_EQ(0, canvas.Count(0x000080));
}

TEST_F(LabelTest, EstimateSizeIsTheFontHeightPlusFour)
{
    auto* label = Add<CLabelUI>(L"width=\"50\"", RECT{0, 0, 50, 20});
    EXPECT_EQ(50, label->EstimateSize(SIZE{300, 300}).cx);
    EXPECT_EQ(m_pm.GetFontInfo(-1)->tm.tmHeight + 4, label->EstimateSize(SIZE{300, 300}).cy);
    label->SetFixedHeight(33);
    EXPECT_EQ(33, label->EstimateSize(SIZE{300, 300}).cy);
    label->SetAttribute(L"rhaa", L"7");
    EXPECT_EQ(0, label->GetTextRenderingHintAntiAlias());
}

// A label with every effect: a red outline, a blue shadow moved 3 pixels and
// a fill from green to yellow.
TEST_F(LabelTest, EffectsDrawStrokeShadowAndGradient)
{
    m_pm.AddFont(L"Arial", 40, true, false, false);
    auto* label =
        Add<CLabelUI>(L"font=\"0\" text=\"HH\" enabledeffect=\"true\" "
                      L"enabledstroke=\"true\" strokecolor=\"#FFFF0000\" "
                      L"enabledshadow=\"true\" textshadowcolora=\"#FF0000FF\" textshadowcolorb=\"#FFFFFFFF\" "
                      L"transshadow=\"255\" transshadow1=\"255\" shadowoffset=\"6,-135\" "
                      L"textcolor=\"#FFFFFF00\" textcolor1=\"#FF00FF00\" transtext=\"255\" transtext1=\"255\" "
                      L"gradientlength=\"40\"",
                      RECT{0, 0, 160, 60});
    Canvas canvas(160, 60);
    Paint(*label, canvas);
    int red = 0, blue = 0, green = 0, yellow = 0;
    for (int y = 0; y < 60; ++y)
        for (int x = 0; x < 160; ++x) {
            const DWORD c = canvas.Rgb(x, y);
            const int r = (c >> 16) & 0xFF, g = (c >> 8) & 0xFF, b = c & 0xFF;
            red += r > 200 && g < 60 && b < 60;
            blue += b > 200 && r < 60 && g < 60;
            green += g > 200 && r < 80 && b < 60;
            yellow += r > 200 && g > 200 && b < 60;
        }
    EXPECT_GT(red, 20) << "the stroke outlines the text";
    EXPECT_GT(blue, 20) << "the shadow shows beside the text";
    EXPECT_GT(green, 10) << "the gradient starts green";
    EXPECT_GT(yellow, 10) << "and ends yellow";
}

TEST(LabelGdiplus, StartedByTheFirstLabelAndShutDownOnceByTheLast)
{
    ASSERT_EQ(0, GdiplusSession::LiveSessions()) << "no label outlives its test";
    const int startups = GdiplusSession::StartupCount();
    const int shutdowns = GdiplusSession::ShutdownCount();
    {
        CLabelUI first;
        EXPECT_TRUE(GdiplusSession::IsRunning());
        {
            CButtonUI second;
            CTextUI third;
        }
        EXPECT_TRUE(GdiplusSession::IsRunning()) << "still running while a label lives";
        EXPECT_EQ(shutdowns, GdiplusSession::ShutdownCount());
    }
    EXPECT_FALSE(GdiplusSession::IsRunning());
    EXPECT_EQ(startups + 1, GdiplusSession::StartupCount());
    EXPECT_EQ(shutdowns + 1, GdiplusSession::ShutdownCount()) << "shut down exactly once";
}

// Measurement needs the window's device context.
class TextWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_root = new CVerticalLayoutUI;
        m_window.reset(new ::SkinUI::Test::TestWindow(400, 200, m_root));
    }
    CVerticalLayoutUI* m_root = nullptr;
    std::unique_ptr<::SkinUI::Test::TestWindow> m_window;
};

TEST_F(TextWindowTest, ExitQuestionWrapsWithin256Pixels)
{
    m_window->pm().AddFont(L"微软雅黑", 12, false, false, false);
    auto* text = new CTextUI;
    text->ApplyAttributeList(L"text=\"温馨提示：您即将关闭页面，是否确认退出Vornex短网址？\" float=\"true\" "
                             L"pos=\"20,20,0,0\" width=\"260\" height=\"60\" textcolor=\"#FF333333\" "
                             L"align=\"left\" font=\"0\"");
    m_root->Add(text);
    EXPECT_EQ(UINT(DT_WORDBREAK), text->GetTextStyle()) << "\"left\" leaves the word-break style";
    const SIZE measured = text->EstimateSize(SIZE{260, 60});
    EXPECT_LE(measured.cx, 260);
    EXPECT_EQ(60, measured.cy) << "the fixed height";

    Canvas canvas(300, 100);
    text->SetPos(RECT{20, 20, 280, 80});
    text->DoPaint(canvas.dc(), text->GetPos());
    const RECT ink = canvas.Changed(0xFFFFFFFF);
    ASSERT_LT(ink.left, ink.right);
    EXPECT_GE(ink.left, 22) << "2-pixel padding on the left";
    EXPECT_LE(ink.right, 20 + 2 + 256) << "wrapped within 256 pixels";
    const int lineHeight = m_window->pm().GetFontInfo(0)->tm.tmHeight;
    EXPECT_GT(ink.bottom - ink.top, lineHeight) << "the question takes more than one line";
}

TEST_F(TextWindowTest, LinksShowTheHandAndNotifyTheirIndex)
{
    auto* text = new CTextUI;
    text->ApplyAttributeList(L"showhtml=\"true\" text=\"go <a first>first</a> or <a second>second</a>\"");
    m_root->Add(text);
    m_window->Settle();
    m_window->PumpUntil([&] { return text->GetLinkContent(1) != nullptr; });
    ASSERT_NE(nullptr, text->GetLinkContent(0));
    ASSERT_NE(nullptr, text->GetLinkContent(1));
    EXPECT_EQ(nullptr, text->GetLinkContent(2));
    EXPECT_STREQ(L"second", static_cast<LPCTSTR>(*text->GetLinkContent(1)));
    EXPECT_EQ(UIFLAG_SETCURSOR, text->GetControlFlags());

    // The middle of the second link, found from the drawn text: the link
    // rectangles are not public, so hit-test along the first text line.
    POINT onSecond = {-1, -1};
    for (int x = 0; x < 400 && onSecond.x < 0; ++x) {
        m_window->log.entries.clear();
        Send(*text, UIEVENT_BUTTONUP, POINT{x, 8});
        if (!m_window->log.entries.empty() && m_window->log.entries.back().wParam == 1) onSecond = POINT{x, 8};
    }
    ASSERT_GE(onSecond.x, 0) << "a click on the second link";
    EXPECT_EQ(L"link", m_window->log.entries.back().type);
    Send(*text, UIEVENT_SETCURSOR, onSecond);
    EXPECT_EQ(::LoadCursor(nullptr, IDC_HAND), ::GetCursor());
    Send(*text, UIEVENT_SETCURSOR, POINT{2, 150});
    EXPECT_NE(::LoadCursor(nullptr, IDC_HAND), ::GetCursor());
    m_window->log.entries.clear();
    Send(*text, UIEVENT_BUTTONUP, POINT{2, 150});
    EXPECT_EQ(0, m_window->log.Count(L"link")) << "no link there";
}

TEST_F(TextWindowTest, TextOfAnyShapeDrawsAndMeasures)
{
    std::wstring huge(100000, L'x');
    std::wstring words;
    for (int i = 0; i < 5000; ++i) words += L"word ";
    const std::wstring cases[] = {
        huge,   // 100,000 characters, no break opportunity
        words,  // many lines
        std::wstring(L"lone \xD800 surrogate \xDC00"),
        std::wstring(L"<b>unclosed <c #FFFF0000>tags <a never"),
        std::wstring(L"{i missing.png 3 7}<i>"),
    };
    for (const std::wstring& value : cases) {
        for (bool html : {false, true}) {
            auto* text = new CTextUI;
            auto* label = new CLabelUI;
            text->SetShowHtml(html);
            label->SetShowHtml(html);
            text->SetText(value.c_str());
            label->SetText(value.c_str());
            label->SetAttribute(L"endellipsis", L"true");
            m_root->Add(text);
            m_root->Add(label);
            const SIZE sz = text->EstimateSize(SIZE{300, 100});
            EXPECT_GE(sz.cx, 0);
            EXPECT_GE(sz.cy, 0);
            m_window->Settle();
            m_root->RemoveAll();
        }
    }
    m_window->Settle();
}

}  // namespace
}  // namespace SkinUI
