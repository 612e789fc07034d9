// Layout of marked-up text: tags, line breaking, alignment, links. Widths
// and heights are compared with measurements of the same font, never with
// fixed pixel counts.
#include "Canvas.h"

#include "ui/paint/PaintManagerUI.h"
#include "ui/render/RenderCache.h"
#include "ui/render/RenderEngine.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace SkinUI {
namespace {

using Test::Canvas;

class HtmlText : public ::testing::Test {
protected:
    HtmlText() : m_canvas(400, 200) {}

    int FontHeight()
    {
        return m_pm.GetDefaultFontInfo()->tm.tmHeight + m_pm.GetDefaultFontInfo()->tm.tmExternalLeading;
    }
    int Width(LPCTSTR text, HFONT font = nullptr)
    {
        Gdi::Select sel(m_canvas.dc(), font ? font : m_pm.GetDefaultFontInfo()->hFont);
        SIZE size = {0, 0};
        ::GetTextExtentPoint32W(m_canvas.dc(), text, static_cast<int>(wcslen(text)), &size);
        return size.cx;
    }
    // Measures with DT_CALCRECT in a rectangle of the given size.
    RECT Measure(LPCTSTR text, int width = 400, int height = 200, UINT style = 0, int* total = nullptr)
    {
        RECT rc = {0, 0, width, height};
        int links = 0;
        int h = CRenderEngine::DrawHtmlText(m_canvas.dc(), &m_pm, rc, text, 0xFF000000, nullptr, nullptr, links,
                                            style | DT_CALCRECT);
        if (total) *total = h;
        return rc;
    }
    int Draw(LPCTSTR text, RECT rc, UINT style, DWORD color = 0xFF000000)
    {
        int links = 0;
        return CRenderEngine::DrawHtmlText(m_canvas.dc(), &m_pm, rc, text, color, nullptr, nullptr, links, style);
    }

    CPaintManagerUI m_pm;
    Canvas m_canvas;
};

TEST_F(HtmlText, MeasuresPlainTextAndLineBreaks)
{
    const int fh = FontHeight();
    struct Case {
        LPCTSTR text;
        LPCTSTR widest;  // plain text of the widest line
        int lines;
    };
    const Case cases[] = {
        {L"hello world", L"hello world", 1},
        {L"one<n>three", L"three", 2},
        {L"one\nthree", L"three", 2},
        {L"<r><b>raw</b></r>", L"<b>raw</b>", 1},
        {L"a<{>b{>}c", L"a{b>c", 1},
        {L"a<q b", L"a<q b", 1},  // not a tag: no closing bracket
        {L"<x 10>", L"", 1},
    };
    for (const Case& c : cases) {
        int total = 0;
        RECT rc = Measure(c.text, 400, 200, 0, &total);
        int expectedWidth = Width(c.widest) + (std::wstring(c.text) == L"<x 10>" ? 10 : 0);
        EXPECT_EQ(expectedWidth, rc.right) << c.text;
        EXPECT_EQ(c.lines * fh, rc.bottom) << c.text;
        EXPECT_EQ(c.lines * fh, total) << c.text;
    }
    // <n> is ignored on a single line.
    EXPECT_EQ(fh, Measure(L"one<n>two", 400, 200, DT_SINGLELINE).bottom);
}

TEST_F(HtmlText, PenMovesAndLineHeightTags)
{
    EXPECT_EQ(Width(L"ab") + 10, Measure(L"a<x 10>b").right);
    EXPECT_EQ(40, Measure(L"<y 40>tall").bottom);
    EXPECT_EQ(FontHeight() + 30, Measure(L"<p 30>para</p>").bottom);
}

TEST_F(HtmlText, WrapsAtWordsOrCharactersAndStopsAtTheBottom)
{
    const int fh = FontHeight();
    const int width = Width(L"aaa bbb") + 2;
    int total = 0;
    RECT words = Measure(L"aaa bbb ccc", width, 200, DT_WORDBREAK, &total);
    EXPECT_EQ(2 * fh, words.bottom);
    EXPECT_EQ(2 * fh, total);
    EXPECT_LE(words.right, width);

    // Without word breaking the run is cut before the first character that
    // does not fit, so the second line starts inside a word.
    RECT chars = Measure(L"aaaaaaaaaa", Width(L"aaaa") + 1, 200, 0);
    EXPECT_EQ(3 * fh, chars.bottom);  // 4 + 4 + 2

    // Lines that would start below the rectangle are not laid out.
    EXPECT_EQ(2 * fh, Measure(L"aaaaaaaaaa", Width(L"aaaa") + 1, fh + 1, 0).bottom);
    // Single line: only the first line.
    EXPECT_EQ(fh, Measure(L"aaa bbb ccc", width, 200, DT_WORDBREAK | DT_SINGLELINE).bottom);
}

TEST_F(HtmlText, EllipsisEndsTheLastLine)
{
    const int fh = FontHeight();
    const int width = Width(L"abcdefgh");
    RECT rc = Measure(L"abcdefghijklmnop", width, 200, DT_SINGLELINE | DT_END_ELLIPSIS);
    EXPECT_EQ(fh, rc.bottom);
    EXPECT_EQ(Width(L"abcdef") + Width(L"..."), rc.right) << "two more characters give way to the dots";

    // Multi-line: wraps while there is room below, then ends with the dots.
    int total = 0;
    RECT two = Measure(L"aaa bbb ccc ddd eee fff", Width(L"aaa bbb") + 2, 2 * fh + fh / 2,
                       DT_WORDBREAK | DT_END_ELLIPSIS, &total);
    EXPECT_EQ(2 * fh, two.bottom);
    EXPECT_EQ(2 * fh, total);
}

TEST_F(HtmlText, CentresAndRightAlignsSingleLines)
{
    const int w = Width(L"MMMM");
    RECT rc = {0, 0, 400, 60};
    Draw(L"MMMM", rc, DT_SINGLELINE | DT_CENTER | DT_VCENTER);
    RECT ink = m_canvas.Changed(0xFFFFFFFF);
    ASSERT_LT(ink.left, ink.right);
    EXPECT_NEAR(200, (ink.left + ink.right) / 2, 2);
    EXPECT_NEAR(30, (ink.top + ink.bottom) / 2, FontHeight() / 2);
    EXPECT_GE(ink.left, 200 - w / 2 - 1);

    m_canvas.Fill(0xFFFFFFFF);
    Draw(L"MMMM", rc, DT_SINGLELINE | DT_RIGHT);
    ink = m_canvas.Changed(0xFFFFFFFF);
    EXPECT_GE(ink.left, 400 - w - 1);
    EXPECT_LE(ink.right, 400);
}

TEST_F(HtmlText, DrawsWithinTheRectangleOnly)
{
    RECT rc = {10, 10, 60, 30};
    Draw(L"MMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMM", rc, DT_SINGLELINE);
    RECT ink = m_canvas.Changed(0xFFFFFFFF);
    EXPECT_GE(ink.left, 10);
    EXPECT_LE(ink.right, 60);
    EXPECT_LE(ink.bottom, 30);
}

TEST_F(HtmlText, ColourAndBoldTags)
{
    RECT rc = {0, 0, 400, 40};
    Draw(L"<c #FFFF0000>MMMM</c>MMMM", rc, DT_SINGLELINE);
    EXPECT_GT(m_canvas.Count(0xFF0000), 0);
    EXPECT_GT(m_canvas.Count(0x000001), 0) << "the popped colour is the label's (black as blue one)";

    TFontInfo* font = m_pm.GetDefaultFontInfo();
    EXPECT_FALSE(m_pm.GetFont(font->sFontName, font->iSize, true, false, false));
    RECT bold = Measure(L"<b>MMMM</b>");
    HFONT boldFont = m_pm.GetFont(font->sFontName, font->iSize, true, false, false);
    ASSERT_TRUE(boldFont) << "the bold variant is created and cached";
    EXPECT_EQ(Width(L"MMMM", boldFont), bold.right);

    RECT face = Measure(L"<f Tahoma 20 bold italic>x</f>");
    EXPECT_TRUE(m_pm.FindFont(L"Tahoma", 20, true, false, true));
    EXPECT_GE(face.bottom, 20);
    RECT index = Measure(L"<f 99>x</f>");  // no custom font 99: the default font
    EXPECT_EQ(Width(L"x"), index.right);
}

TEST_F(HtmlText, InlineImagesGrowTheLineAndCutFrames)
{
    Gdi::Dib32 dib;
    ASSERT_TRUE(dib.Create(20, 50));
    for (int y = 0; y < 50; ++y)
        for (int x = 0; x < 20; ++x) dib.bits[y * 20 + x] = x < 10 ? 0xFF0000FF : 0xFF00FF00;
    m_pm.AddImage(L"strip.png", dib.bitmap.Release(), 20, 50, false);

    RECT rc = Measure(L"a<i strip.png>b");
    EXPECT_EQ(Width(L"ab") + 20, rc.right);
    EXPECT_EQ(50, rc.bottom);

    EXPECT_EQ(10, Measure(L"<i strip.png 2 1>").right);
    EXPECT_EQ(10, Measure(L"<i file='strip.png' 2 5>").right) << "a bad frame index falls back to 0";
    RECT draw = {0, 0, 400, 100};
    Draw(L"<i strip.png 2 1>", draw, 0);
    EXPECT_EQ(0x00FF00u, m_canvas.Rgb(5, 25)) << "second half of the strip";
    EXPECT_EQ(0, m_canvas.Count(0x0000FF));

    // An image that does not fit on a non-empty line starts the next one.
    const int width = Width(L"abc") + 5;
    RECT wrapped = Measure(L"abc<i strip.png>", width);
    EXPECT_EQ(FontHeight() + 50, wrapped.bottom);
}

TEST_F(HtmlText, RecordsLinkRectanglesAndTexts)
{
    RECT rc = {5, 5, 395, 195};
    RECT links[4];
    CUiString texts[4];
    int count = 4;
    const int height = CRenderEngine::DrawHtmlText(m_canvas.dc(), &m_pm, rc, L"go <a http://x/>here</a> now",
                                                   0xFF000000, links, texts, count, DT_SINGLELINE);
    ASSERT_EQ(1, count);
    EXPECT_EQ(CUiString(L"http://x/"), texts[0].GetData());
    TFontInfo* font = m_pm.GetDefaultFontInfo();
    HFONT underlined = m_pm.GetFont(font->sFontName, font->iSize, false, true, false);
    ASSERT_TRUE(underlined);
    EXPECT_EQ(5 + Width(L"go "), links[0].left);
    EXPECT_EQ(links[0].left + Width(L"here", underlined), links[0].right);
    EXPECT_EQ(5, links[0].top);
    EXPECT_EQ(5 + height, links[0].bottom);
    EXPECT_GT(m_canvas.Count(0x0000FF), 0) << "links draw in the default link colour";

    // A link that wraps records one rectangle per line; capacity is honoured.
    RECT narrow = {0, 0, Width(L"aaa bbb") + 2, 200};
    count = 4;
    CRenderEngine::DrawHtmlText(m_canvas.dc(), &m_pm, narrow, L"<a L>aaa bbb ccc</a>", 0xFF000000, links, texts, count,
                                DT_WORDBREAK);
    EXPECT_EQ(2, count);
    EXPECT_EQ(links[0].bottom, links[1].top);
    count = 1;
    CRenderEngine::DrawHtmlText(m_canvas.dc(), &m_pm, narrow, L"<a L>aaa bbb ccc</a>", 0xFF000000, links, texts, count,
                                DT_WORDBREAK);
    EXPECT_EQ(1, count);
}

TEST_F(HtmlText, LinkUnderTheMouseUsesTheHoverColour)
{
    RECT rc = {0, 0, 400, 40};
    RECT links[1];
    CUiString texts[1];
    int count = 1;
    CRenderEngine::DrawHtmlText(m_canvas.dc(), &m_pm, rc, L"<a L>MMMM</a>", 0xFF000000, links, texts, count,
                                DT_SINGLELINE);
    ASSERT_EQ(1, count);
    m_pm.SetMousePos(POINT{links[0].left + 2, links[0].top + 2});
    m_canvas.Fill(0xFFFFFFFF);
    CRenderEngine::DrawHtmlText(m_canvas.dc(), &m_pm, rc, L"<a L>MMMM</a>", 0xFF000000, links, texts, count,
                                DT_SINGLELINE);
    EXPECT_GT(m_canvas.Count(0xD3215F), 0);
    EXPECT_EQ(0, m_canvas.Count(0x0000FF));
}

// A text painted again is drawn from the layout kept at its first paint:
// the same pixels, links and measures, wherever the rectangle lies.
TEST_F(HtmlText, APaintFromTheKeptLayoutIsTheSameAsTheFirst)
{
    const LPCTSTR texts[] = {
        L"Item <b>12</b>, <c #FFE81123>new</c><n><u>details</u> <s>chosen</s> <i>slanted</i> end",
        L"go <a http://x/>here and there</a> now, and then a long tail of words that wraps",
        L"a very long single line that ends in an ellipsis because it cannot fit",
    };
    const UINT styles[] = {DT_WORDBREAK, DT_SINGLELINE | DT_CENTER | DT_VCENTER, DT_SINGLELINE | DT_END_ELLIPSIS,
                           DT_WORDBREAK | DT_BOTTOM};
    for (LPCTSTR text : texts) {
        for (UINT style : styles) {
            // The height drawn and the measured extent, with the pixels and
            // link rectangles (moved back by dx, dy).
            auto paint = [&](int dx, int dy, std::vector<DWORD>& pixels, std::vector<RECT>& linkRects) {
                m_canvas.Fill(0xFFFFFFFF);
                RECT rc = {10 + dx, 10 + dy, 190 + dx, 80 + dy};
                RECT links[4];
                CUiString linkTexts[4];
                int count = 4;
                const int height = CRenderEngine::DrawHtmlText(m_canvas.dc(), &m_pm, rc, text, 0xFF333333, links,
                                                               linkTexts, count, style);
                pixels.assign(m_canvas.Bits(), m_canvas.Bits() + m_canvas.width() * m_canvas.height());
                linkRects.assign(links, links + count);
                for (RECT& r : linkRects) ::OffsetRect(&r, -dx, -dy);
                const RECT measured = Measure(text, 170, 60, style & DT_WORDBREAK);
                return std::vector<LONG>{height, measured.right, measured.bottom};
            };
            std::vector<DWORD> first, again, moved;
            std::vector<RECT> firstLinks, againLinks, movedLinks;
            const std::vector<LONG> firstSizes = paint(0, 0, first, firstLinks);
            const std::vector<LONG> againSizes = paint(0, 0, again, againLinks);
            EXPECT_EQ(firstSizes, againSizes) << "height and measures";
            EXPECT_TRUE(first == again) << "repainted differently, style " << style;
            ASSERT_EQ(firstLinks.size(), againLinks.size());
            for (size_t i = 0; i < firstLinks.size(); ++i) EXPECT_TRUE(::EqualRect(&firstLinks[i], &againLinks[i]));

            // 7 right and 5 down: the same picture, moved.
            EXPECT_EQ(firstSizes, paint(7, 5, moved, movedLinks));
            const int w = m_canvas.width();
            bool same = true;
            for (int y = 0; y + 5 < m_canvas.height() && same; ++y)
                for (int x = 0; x + 7 < w; ++x)
                    if (first[y * w + x] != moved[(y + 5) * w + x + 7]) {
                        same = false;
                        break;
                    }
            EXPECT_TRUE(same) << "moved text differs: " << style;
            ASSERT_EQ(firstLinks.size(), movedLinks.size());
            for (size_t i = 0; i < firstLinks.size(); ++i) EXPECT_TRUE(::EqualRect(&firstLinks[i], &movedLinks[i]));
        }
    }
    EXPECT_GT(RenderCache::Of(m_pm).texts.Size(), 0u) << "the layouts were kept";
}

// What a kept layout depends on: a changed font, width or text lays the text
// out again.
TEST_F(HtmlText, ChangedFontsWidthsAndTextsAreLaidOutAgain)
{
    ASSERT_TRUE(m_pm.AddFont(L"Tahoma", 12, false, false, false));
    const RECT small = Measure(L"<f 0>MMMM</f>");
    ASSERT_TRUE(m_pm.RemoveFontAt(0));
    ASSERT_TRUE(m_pm.AddFont(L"Tahoma", 30, false, false, false));
    const RECT large = Measure(L"<f 0>MMMM</f>");
    EXPECT_GT(large.right, small.right) << "the new font 0 is measured";
    EXPECT_GT(large.bottom, small.bottom);

    // Painted with the replaced font: its ink is as tall as the new font.
    RECT rc = {0, 0, 400, 100};
    Draw(L"<f 0>MMMM</f>", rc, 0);
    const RECT ink = m_canvas.Changed(0xFFFFFFFF);
    EXPECT_GT(ink.bottom - ink.top, small.bottom);

    const int lines = Measure(L"aaa bbb ccc", Width(L"aaa bbb") + 2, 200, DT_WORDBREAK).bottom / FontHeight();
    EXPECT_EQ(2, lines);
    EXPECT_EQ(1, Measure(L"aaa bbb ccc", 400, 200, DT_WORDBREAK).bottom / FontHeight()) << "a wider rectangle";
    EXPECT_EQ(Width(L"aaa bbb"), Measure(L"aaa bbb", 400, 200, DT_WORDBREAK).right) << "another text";
}

// A kept layout is drawn again only while everything it was made from
// holds. After a first paint, one thing changes; the second paint must be
// what a manager that never kept anything draws for the changed text, at
// 100 % and at 150 %.
TEST(HtmlTextKeptLayout, AChangedTextFontWidthOrDensityIsDrawnAnew)
{
    struct Paint {
        LPCTSTR text;
        int width;
        int fontSize;  // of font 0
        int dpi;
    };
    const LPCTSTR kText = L"<f 0>Wide</f> words <b>wrap</b> at the <c #FFE81123>edge</c> of the box";
    struct Case {
        const char* change;
        Paint first, second;
    };
    std::vector<Case> cases;
    for (int dpi : {96, 144}) {
        const Paint base = {kText, 200, 12, dpi};
        Paint text = base, width = base, font = base, density = base;
        text.text = L"<f 0>Wide</f> words <b>wrap</b> at the <c #FFE81123>edges</c> of the box";
        width.width = 120;
        font.fontSize = 20;
        density.dpi = dpi == 96 ? 144 : 96;
        cases.push_back({"text", base, text});
        cases.push_back({"width", base, width});
        cases.push_back({"font", base, font});
        cases.push_back({"density", base, density});
    }

    auto draw = [](CPaintManagerUI& pm, Canvas& canvas, const Paint& p) {
        canvas.Fill(0xFFFFFFFF);
        RECT rc = {4, 4, 4 + p.width, 196};
        int links = 0;
        CRenderEngine::DrawHtmlText(canvas.dc(), &pm, rc, p.text, 0xFF333333, nullptr, nullptr, links, DT_WORDBREAK);
        return std::vector<DWORD>(canvas.Bits(), canvas.Bits() + canvas.width() * canvas.height());
    };
    auto setFont = [](CPaintManagerUI& pm, int size) {
        if (pm.GetFontInfo(0) != pm.GetDefaultFontInfo()) pm.RemoveFontAt(0);
        return pm.AddFontAt(0, L"Tahoma", size, false, false, false) != nullptr;
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.change) + " changed at " + std::to_string(c.first.dpi) + " DPI");
        Canvas canvas(300, 200);
        CPaintManagerUI pm;
        pm.SetDpi(c.first.dpi);
        ASSERT_TRUE(setFont(pm, c.first.fontSize));
        const std::vector<DWORD> before = draw(pm, canvas, c.first);
        ASSERT_TRUE(before == draw(pm, canvas, c.first)) << "a repaint of the same text";
        ASSERT_GT(RenderCache::Of(pm).texts.Size(), 0u) << "the first layout was kept";

        pm.SetDpi(c.second.dpi);
        if (c.second.fontSize != c.first.fontSize) {
            ASSERT_TRUE(setFont(pm, c.second.fontSize));
        }
        const std::vector<DWORD> after = draw(pm, canvas, c.second);

        CPaintManagerUI fresh;
        fresh.SetDpi(c.second.dpi);
        ASSERT_TRUE(setFont(fresh, c.second.fontSize));
        const std::vector<DWORD> expected = draw(fresh, canvas, c.second);
        EXPECT_FALSE(expected == before) << "the change shows";
        EXPECT_TRUE(after == expected) << "drawn from the old layout";
    }
}

TEST_F(HtmlText, EmptyInputsDrawNothing)
{
    RECT rc = {0, 0, 100, 100};
    int count = 3;
    EXPECT_EQ(0, CRenderEngine::DrawHtmlText(m_canvas.dc(), &m_pm, rc, L"", 0xFF000000, nullptr, nullptr, count, 0));
    EXPECT_EQ(0, count);
    EXPECT_EQ(0, CRenderEngine::DrawHtmlText(m_canvas.dc(), nullptr, rc, L"x", 0xFF000000, nullptr, nullptr, count, 0));
    EXPECT_EQ(0, m_canvas.Count(0x000001));
}

}  // namespace
}  // namespace SkinUI
