// What the "align" words, the effect alignment and the shadow offset of
// labels mean.
#include "ui/controls/LabelStyle.h"

#include <gtest/gtest.h>

namespace SkinUI {
namespace {

using namespace LabelStyle;

TEST(LabelStyle, AlignWords)
{
    const UINT single = kSingleLine, multi = kMultiLineStyle, start = 0x1234;
    const struct {
        const wchar_t* value;
        UINT lineStyle;
        UINT expected;
    } cases[] = {
        {L"left+top", single, kSingleLine},
        {L"left+top", multi, kWordBreak | kEditControl},
        {L"left+vcenter", multi, kVCenter | kSingleLine},
        {L"left+bottom", multi, multi | kBottom},
        {L"right+top", single, kSingleLine | kRight},
        {L"right+vcenter", multi, kRight | kVCenter | kSingleLine},
        {L"right+bottom", multi, multi | kRight | kBottom},
        {L"center+top", multi, kCenter | kSingleLine},
        {L"center+vcenter", multi, kCenter | kVCenter | kSingleLine},
        {L"center+bottom", multi, kCenter | kBottom | kSingleLine},
        {L"left", single, start},  // the exit dialog's text: no word, no change
        {L"", single, start},
        {nullptr, single, start},
        {L"center+bottom left+top", single, kCenter | kBottom | kSingleLine},  // the later table word wins
        {L"xxleft+vcenterxx", single, kVCenter | kSingleLine},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.expected, ApplyAlign(c.value, start, c.lineStyle)) << (c.value ? c.value : L"(null)");
}

TEST(LabelStyle, EllipsisAndEffectWords)
{
    EXPECT_EQ(kSingleLine | kEndEllipsis, ApplyEndEllipsis(kSingleLine, true));
    EXPECT_EQ(kSingleLine, ApplyEndEllipsis(kSingleLine | kEndEllipsis, false));
    EXPECT_EQ(0u, ParseEffectAlign(L"left", 2));
    EXPECT_EQ(1u, ParseEffectAlign(L"center", 0));
    EXPECT_EQ(2u, ParseEffectAlign(L"right", 0));
    EXPECT_EQ(1u, ParseEffectAlign(L"middle", 1));
    EXPECT_EQ(0u, ParseEffectVAlign(L"top", 1));
    EXPECT_EQ(2u, ParseEffectVAlign(L"bottom", 1));
    EXPECT_EQ(1u, ParseEffectVAlign(nullptr, 1));
    for (int hint : {0, 3, 5}) EXPECT_EQ(hint, ClampRenderingHint(hint));
    for (int hint : {-1, 6, 7}) EXPECT_EQ(0, ClampRenderingHint(hint)) << hint;
}

TEST(LabelStyle, ShadowDisplacementByAngle)
{
    const struct {
        int angle;
        float x, y;
    } cases[] = {{0, -3, -3},  {90, -3, -3}, {91, -3, 3}, {180, -3, 3}, {-1, 3, -3},
                 {-89, 3, -3}, {-90, 3, 0},  {-91, 3, 3}, {-179, 3, 3}, {-180, 0, 3}};
    for (const auto& c : cases) {
        ShadowDisplacement d;
        ASSERT_TRUE(ComputeShadowDisplacement(3, c.angle, d)) << c.angle;
        EXPECT_EQ(c.x, d.x) << c.angle;
        EXPECT_EQ(c.y, d.y) << c.angle;
    }
    ShadowDisplacement d;
    EXPECT_FALSE(ComputeShadowDisplacement(3, 181, d));
    EXPECT_FALSE(ComputeShadowDisplacement(3, -181, d));
}

}  // namespace
}  // namespace SkinUI
