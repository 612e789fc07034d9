#include "ui/base/UiPoint.h"
#include "ui/base/UiRect.h"
#include "ui/base/UiSize.h"

#include <gtest/gtest.h>

using namespace SkinUI;

namespace {

void ExpectRect(const RECT& rc, int l, int t, int r, int b)
{
    EXPECT_EQ(l, rc.left);
    EXPECT_EQ(t, rc.top);
    EXPECT_EQ(r, rc.right);
    EXPECT_EQ(b, rc.bottom);
}

}  // namespace

TEST(UiRect, JoinIncludesEmptyRectanglesButUnionIgnoresThem)
{
    CUiRect joined(10, 10, 20, 20);
    joined.Join(CUiRect(0, 0, 0, 0));
    ExpectRect(joined, 0, 0, 20, 20);

    CUiRect united(10, 10, 20, 20);
    CUiRect empty(0, 0, 0, 0);
    united.Union(empty);
    ExpectRect(united, 10, 10, 20, 20);
    CUiRect other(15, 5, 30, 12);
    united.Union(other);
    ExpectRect(united, 10, 5, 30, 20);
}

TEST(UiRect, ShapeOperations)
{
    CUiRect rc(30, 40, 10, 20);
    rc.Normalize();
    ExpectRect(rc, 10, 20, 30, 40);
    EXPECT_EQ(20, rc.GetWidth());
    EXPECT_EQ(20, rc.GetHeight());
    rc.Offset(5, -5);
    ExpectRect(rc, 15, 15, 35, 35);
    rc.Inflate(2, 3);
    ExpectRect(rc, 13, 12, 37, 38);
    rc.Deflate(2, 3);
    ExpectRect(rc, 15, 15, 35, 35);
    rc.DeflateRect(1, 2, 3, 4);
    ExpectRect(rc, 16, 17, 32, 31);
    rc.ResetOffset();
    ExpectRect(rc, 0, 0, 16, 14);
    EXPECT_FALSE(rc.IsNull());
    rc.Empty();
    EXPECT_TRUE(rc.IsNull());
}

TEST(UiSizeAndPoint, Construction)
{
    const CUiSize fromRect(CUiRect(5, 6, 25, 16));
    EXPECT_EQ(20, fromRect.cx);
    EXPECT_EQ(10, fromRect.cy);
    const CUiPoint fromMessage(static_cast<LPARAM>(0x0005FFFF));
    EXPECT_EQ(-1, fromMessage.x);
    EXPECT_EQ(5, fromMessage.y);
    const CUiPoint negativeY(static_cast<LPARAM>(0xFFFE0003u));
    EXPECT_EQ(3, negativeY.x);
    EXPECT_EQ(-2, negativeY.y);
}
