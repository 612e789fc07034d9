// Text drawn during a tree's paint leaves its last font selected for the
// next text; the contexts get their own fonts back when the paint ends, and
// what is drawn is the same as outside a paint.
#include "Canvas.h"

#include "ui/paint/PaintManagerUI.h"
#include "ui/render/PaintScratch.h"
#include "ui/render/RenderEngine.h"

#include <gtest/gtest.h>

#include <vector>

namespace SkinUI {
namespace {

using Test::Canvas;

struct Drawn {
    std::vector<DWORD> first, second;
};

// Marked-up and plain texts in several fonts, alternating between two
// contexts; each context's own font is checked after every drawing made
// outside a paint, and once the paint is over.
Drawn DrawTexts(CPaintManagerUI& pm, bool insidePaint)
{
    Canvas first(240, 60), second(240, 60);
    const HGDIOBJ ownFirst = ::GetCurrentObject(first.dc(), OBJ_FONT);
    const HGDIOBJ ownSecond = ::GetCurrentObject(second.dc(), OBJ_FONT);
    auto html = [&](HDC dc, int top, LPCTSTR text, UINT style) {
        RECT rc = {2, top, 238, top + 20};
        int links = 0;
        CRenderEngine::DrawHtmlText(dc, &pm, rc, text, 0xFF202020, nullptr, nullptr, links, style);
    };
    auto plain = [&](HDC dc, int top, LPCTSTR text, int font) {
        RECT rc = {2, top, 238, top + 20};
        CRenderEngine::DrawText(dc, &pm, rc, text, 0xFF2040A0, font, DT_SINGLELINE);
    };
    {
        PaintScratch::Use paint(insidePaint ? &pm : nullptr);
        html(first.dc(), 0, L"Item <b>12</b>, <c #FFE81123>new</c> <u>details</u>", DT_SINGLELINE);
        plain(first.dc(), 20, L"plain in font 0", 0);
        html(second.dc(), 0, L"<f 0>big</f> then <b>bold</b>", DT_SINGLELINE | DT_CENTER);
        plain(second.dc(), 20, L"plain in the default font", -1);
        html(first.dc(), 40, L"<u>under</u> and <b>bold</b> again", DT_SINGLELINE | DT_RIGHT);
        if (!insidePaint) {
            EXPECT_EQ(ownFirst, ::GetCurrentObject(first.dc(), OBJ_FONT));
            EXPECT_EQ(ownSecond, ::GetCurrentObject(second.dc(), OBJ_FONT));
        }
    }
    EXPECT_EQ(ownFirst, ::GetCurrentObject(first.dc(), OBJ_FONT)) << "the first context's own font";
    EXPECT_EQ(ownSecond, ::GetCurrentObject(second.dc(), OBJ_FONT)) << "the second context's own font";
    Drawn drawn;
    drawn.first.assign(first.Bits(), first.Bits() + first.width() * first.height());
    drawn.second.assign(second.Bits(), second.Bits() + second.width() * second.height());
    return drawn;
}

TEST(TextFontSelection, APaintDrawsWhatSeparateDrawingsDrawAndGivesEachContextItsFontBack)
{
    CPaintManagerUI pm;
    ASSERT_TRUE(pm.AddFont(L"Tahoma", 16, false, false, false));
    // Twice each: the second time from the kept layouts.
    const Drawn outside = DrawTexts(pm, false);
    const Drawn inside = DrawTexts(pm, true);
    const Drawn insideAgain = DrawTexts(pm, true);
    const Drawn outsideAgain = DrawTexts(pm, false);
    EXPECT_TRUE(outside.first == inside.first);
    EXPECT_TRUE(outside.second == inside.second);
    EXPECT_TRUE(outside.first == insideAgain.first);
    EXPECT_TRUE(outside.second == insideAgain.second);
    EXPECT_TRUE(outside.first == outsideAgain.first);
    Canvas blank(240, 60);
    EXPECT_FALSE(outside.first == std::vector<DWORD>(blank.Bits(), blank.Bits() + 240 * 60)) << "text was drawn";
}

}  // namespace
}  // namespace SkinUI
