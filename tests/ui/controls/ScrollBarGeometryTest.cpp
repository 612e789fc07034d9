// Where the scroll bar's buttons and thumb go, and how far a drag moves it.
#include "ui/controls/ScrollBarGeometry.h"

#include <gtest/gtest.h>

namespace SkinUI {
namespace {

using ScrollBarGeometry::Compute;
using ScrollBarGeometry::Input;
using ScrollBarGeometry::Parts;

struct GeometryCase {
    const char* rule;
    RECT item;
    int thickness;
    bool horizontal;
    bool show1, show2;
    int range, position;
    RECT button1, button2, thumb;
};

bool Same(const RECT& a, const RECT& b)
{
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

std::string Text(const RECT& r)
{
    return "(" + std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) + "," +
           std::to_string(r.bottom) + ")";
}

TEST(ScrollBarGeometry, PartsOfTheBar)
{
    const GeometryCase cases[] = {
        // 100 high, 11 thick, both buttons: track 78, thumb 100*78/200 = 39.
        {"thumb at the start",
         {0, 0, 11, 100},
         11,
         false,
         true,
         true,
         100,
         0,
         {0, 0, 11, 11},
         {0, 89, 11, 100},
         {0, 11, 11, 50}},
        {"39-px thumb at position 50 starts at 30",
         {0, 0, 11, 100},
         11,
         false,
         true,
         true,
         100,
         50,
         {0, 0, 11, 11},
         {0, 89, 11, 100},
         {0, 30, 11, 69}},
        {"thumb at the end touches button 2",
         {0, 0, 11, 100},
         11,
         false,
         true,
         true,
         100,
         100,
         {0, 0, 11, 11},
         {0, 89, 11, 100},
         {0, 50, 11, 89}},
        {"offset bar: coordinates follow the item",
         {200, 40, 211, 140},
         11,
         false,
         true,
         true,
         100,
         50,
         {200, 40, 211, 51},
         {200, 129, 211, 140},
         {200, 70, 211, 109}},
        {"range 0: the thumb fills the track",
         {0, 0, 11, 100},
         11,
         false,
         true,
         true,
         0,
         0,
         {0, 0, 11, 11},
         {0, 89, 11, 100},
         {0, 11, 11, 89}},
        {"huge range: the thumb keeps its minimum (the thickness)",
         {0, 0, 11, 100},
         11,
         false,
         true,
         true,
         2000000000,
         1000000000,
         {0, 0, 11, 11},
         {0, 89, 11, 100},
         {0, 44, 11, 55}},
        {"hidden buttons give the whole height to the track",
         {0, 0, 11, 100},
         11,
         false,
         false,
         false,
         100,
         50,
         {0, 0, 0, 0},
         {0, 100, 0, 100},
         {0, 25, 11, 75}},
        {"too short for a thumb: buttons share the height",
         {0, 0, 11, 30},
         11,
         false,
         true,
         true,
         100,
         50,
         {0, 0, 11, 11},
         {0, 19, 11, 30},
         {0, 0, 0, 0}},
        {"very short: buttons are half the height each",
         {0, 0, 11, 16},
         11,
         false,
         true,
         true,
         100,
         50,
         {0, 0, 11, 8},
         {0, 8, 11, 16},
         {0, 0, 0, 0}},
        {"horizontal: the same along x",
         {0, 0, 100, 11},
         11,
         true,
         true,
         true,
         100,
         50,
         {0, 0, 11, 11},
         {89, 0, 100, 11},
         {30, 0, 69, 11}},
        {"horizontal without room for a thumb",
         {10, 5, 30, 16},
         11,
         true,
         true,
         true,
         100,
         0,
         {10, 5, 20, 16},
         {20, 5, 30, 16},
         {0, 0, 0, 0}},
        {"inverted item: an empty bar, no thumb",
         {0, 50, 11, 10},
         11,
         false,
         true,
         true,
         100,
         0,
         {0, 50, 11, 50},
         {0, 50, 11, 50},
         {0, 0, 0, 0}},
    };
    for (const GeometryCase& c : cases) {
        Input in;
        in.item = c.item;
        in.thickness = c.thickness;
        in.horizontal = c.horizontal;
        in.showButton1 = c.show1;
        in.showButton2 = c.show2;
        in.range = c.range;
        in.position = c.position;
        const Parts p = Compute(in);
        EXPECT_TRUE(Same(c.button1, p.button1)) << c.rule << ": button 1 " << Text(p.button1);
        EXPECT_TRUE(Same(c.button2, p.button2)) << c.rule << ": button 2 " << Text(p.button2);
        EXPECT_TRUE(Same(c.thumb, p.thumb)) << c.rule << ": thumb " << Text(p.thumb);
    }
}

bool Ordered(const RECT& r) { return r.left <= r.right && r.top <= r.bottom; }

TEST(ScrollBarGeometry, HostileSizesGiveAnOrderedBarInsteadOfOverflowing)
{
    const int kMax = 2147483647, kMin = -kMax - 1;
    struct Case {
        const char* rule;
        RECT item;
        int thickness, range, position;
    } cases[] = {
        {"an item taller than int", {0, kMin, 11, kMax}, 11, 100, 50},
        {"a thickness near the limit", {kMax - 20, 0, kMax, 100}, kMax, 100, 50},
        {"all at the limits", {kMin, kMin, kMax, kMax}, kMax, kMax, kMax},
        {"a huge item with a thin bar and a huge range", {0, kMin, 11, kMax}, 1, kMax, kMax / 2},
    };
    for (const Case& c : cases) {
        for (bool horizontal : {false, true}) {
            Input in;
            in.item = horizontal ? RECT{c.item.top, c.item.left, c.item.bottom, c.item.right} : c.item;
            in.thickness = c.thickness;
            in.horizontal = horizontal;
            in.range = c.range;
            in.position = c.position;
            const Parts p = Compute(in);
            const std::string what = std::string(c.rule) + (horizontal ? " (horizontal)" : " (vertical)");
            EXPECT_TRUE(Ordered(p.button1)) << what << ": button 1 " << Text(p.button1);
            EXPECT_TRUE(Ordered(p.button2)) << what << ": button 2 " << Text(p.button2);
            EXPECT_TRUE(Ordered(p.thumb)) << what << ": thumb " << Text(p.thumb);
            const int b1End = horizontal ? p.button1.right : p.button1.bottom;
            const int b2Start = horizontal ? p.button2.left : p.button2.top;
            EXPECT_LE(b1End, b2Start) << what << ": the buttons overlap";
            if (ScrollBarGeometry::HasThumb(p)) {
                EXPECT_LE(b1End, horizontal ? p.thumb.left : p.thumb.top) << what;
                EXPECT_LE(horizontal ? p.thumb.right : p.thumb.bottom, b2Start) << what;
            }
        }
    }
}

TEST(ScrollBarGeometry, DraggingTheWholeTravelMovesTheWholeRange)
{
    // 100-high bar, 11-px buttons, 39-px thumb: the thumb travels 39 pixels.
    EXPECT_EQ(100, ScrollBarGeometry::DragOffset(39, 100, 100, 11, 39));
    EXPECT_EQ(-100, ScrollBarGeometry::DragOffset(-39, 100, 100, 11, 39));
    EXPECT_EQ(51, ScrollBarGeometry::DragOffset(20, 100, 100, 11, 39));
    EXPECT_EQ(0, ScrollBarGeometry::DragOffset(20, 100, 100, 11, 78)) << "a thumb that cannot travel moves nothing";
    EXPECT_EQ(2147483647, ScrollBarGeometry::DragOffset(1000, 2000000000, 100, 11, 77)) << "saturates";
}

TEST(ScrollBarGeometry, PageDirectionIsRelativeToTheThumb)
{
    Input in;
    in.item = RECT{0, 0, 11, 100};
    in.thickness = 11;
    in.range = 100;
    in.position = 50;  // thumb 30..69
    const Parts p = Compute(in);
    EXPECT_EQ(-1, ScrollBarGeometry::PageDirection(p, false, POINT{5, 20}));
    EXPECT_EQ(0, ScrollBarGeometry::PageDirection(p, false, POINT{5, 40}));
    EXPECT_EQ(1, ScrollBarGeometry::PageDirection(p, false, POINT{5, 80}));
}

}  // namespace
}  // namespace SkinUI
