// Where stacking, floating and tab layouts put their children, and how a
// dragged separator moves.
#include "ui/controls/LayoutArithmetic.h"

#include <gtest/gtest.h>

#include <climits>
#include <vector>

using namespace SkinUI;
using namespace SkinUI::Layout;

namespace {

RECT R(int l, int t, int r, int b) { return RECT{l, t, r, b}; }

::testing::AssertionResult SameRect(const RECT& expected, const RECT& actual)
{
    if (expected.left == actual.left && expected.top == actual.top && expected.right == actual.right &&
        expected.bottom == actual.bottom)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "expected (" << expected.left << "," << expected.top << ","
                                         << expected.right << "," << expected.bottom << ") got (" << actual.left << ","
                                         << actual.top << "," << actual.right << "," << actual.bottom << ")";
}

struct FakeChild {
    SIZE estimate = {0, 0};  // what EstimateSize answers (a control answers its fixed size)
    StackItems::Kind kind = StackItems::Kind::Stacked;
    RECT padding = {0, 0, 0, 0};
    int minWidth = 0, maxWidth = 9999, minHeight = 0, maxHeight = 9999;
    RECT placed = {-1, -1, -1, -1};
    int floatPlacements = 0;
};

FakeChild Sized(int cx, int cy)
{
    FakeChild c;
    c.estimate = SIZE{cx, cy};
    return c;
}

class FakeItems : public StackItems {
public:
    explicit FakeItems(std::vector<FakeChild> children) : children(std::move(children)) {}
    int Count() const override { return static_cast<int>(children.size()); }
    Kind KindOf(int i) const override { return children[i].kind; }
    ChildLimits Limits(int i) const override
    {
        const FakeChild& c = children[i];
        return ChildLimits{c.padding, c.estimate.cx, c.estimate.cy, c.minWidth, c.maxWidth, c.minHeight, c.maxHeight};
    }
    SIZE Estimate(int i, SIZE) override { return children[i].estimate; }
    void Place(int i, const RECT& rc) override { children[i].placed = rc; }
    void PlaceFloating(int i) override { ++children[i].floatPlacements; }

    std::vector<FakeChild> children;
};

StackFrame Frame(RECT client, int childPadding = 0)
{
    StackFrame f;
    f.client = client;
    f.available = SIZE{client.right - client.left, client.bottom - client.top};
    f.scroll = POINT{0, 0};
    f.childPadding = childPadding;
    return f;
}

}  // namespace

TEST(StackVertical, TheLastAdjustableChildTakesTheRemainder)
{
    FakeItems items({Sized(0, 0), Sized(0, 0)});
    EXPECT_EQ(101, StackVertical(Frame(R(0, 0, 40, 101)), items));
    EXPECT_TRUE(SameRect(R(0, 0, 40, 50), items.children[0].placed));
    EXPECT_TRUE(SameRect(R(0, 50, 40, 101), items.children[1].placed));
}

TEST(StackVertical, FixedChildrenKeepTheirHeightWhereverTheyStand)
{
    // A fixed child between two adjustable ones, with gaps and margins: the
    // children still fill the client area exactly.
    FakeItems items({Sized(0, 0), Sized(0, 20), Sized(0, 0)});
    items.children[1].padding = R(0, 3, 0, 2);
    const int needed = StackVertical(Frame(R(10, 100, 50, 200), 5), items);
    EXPECT_EQ(100, needed);
    // Share (100 - 20 - 3 - 2 - 2 * 5) / 2 = 32; the last takes 33.
    EXPECT_TRUE(SameRect(R(10, 100, 50, 132), items.children[0].placed));
    // The rectangle of a padded child reaches down over its bottom margin.
    EXPECT_TRUE(SameRect(R(10, 140, 50, 162), items.children[1].placed));
    EXPECT_TRUE(SameRect(R(10, 167, 50, 200), items.children[2].placed));
}

TEST(StackVertical, MinimumHeightWinsOverTheShareAndOverflows)
{
    FakeItems items({Sized(0, 0), Sized(0, 0)});
    items.children[1].minHeight = 80;
    const int needed = StackVertical(Frame(R(0, 0, 10, 100)), items);
    EXPECT_TRUE(SameRect(R(0, 0, 10, 50), items.children[0].placed));
    EXPECT_TRUE(SameRect(R(0, 50, 10, 130), items.children[1].placed));
    EXPECT_EQ(130, needed) << "the content needs more than there is: a vertical bar would show";

    // A minimum on an earlier child leaves the last one what is left.
    FakeItems first({Sized(0, 0), Sized(0, 0)});
    first.children[0].minHeight = 80;
    EXPECT_EQ(100, StackVertical(Frame(R(0, 0, 10, 100)), first));
    EXPECT_TRUE(SameRect(R(0, 80, 10, 100), first.children[1].placed));
}

TEST(StackVertical, WidthIsFixedOrFillsBetweenMarginsWithinLimits)
{
    FakeItems items({Sized(30, 10), Sized(0, 10), Sized(0, 10), Sized(0, 10)});
    items.children[1].padding = R(32, 0, 8, 0);
    items.children[2].maxWidth = 25;
    items.children[3].padding = R(60, 0, 60, 0);  // margins wider than the layout
    StackVertical(Frame(R(0, 0, 100, 40)), items);
    EXPECT_TRUE(SameRect(R(0, 0, 30, 10), items.children[0].placed));
    EXPECT_TRUE(SameRect(R(32, 10, 92, 20), items.children[1].placed));
    EXPECT_TRUE(SameRect(R(0, 20, 25, 30), items.children[2].placed));
    EXPECT_TRUE(SameRect(R(60, 30, 60, 40), items.children[3].placed)) << "negative width becomes 0";
}

TEST(StackVertical, HiddenChildrenAreSkippedAndFloatingOnesPlacedApart)
{
    FakeItems items({Sized(0, 0), Sized(0, 30), Sized(0, 0)});
    items.children[1].kind = StackItems::Kind::Hidden;
    items.children[2].kind = StackItems::Kind::Floating;
    StackVertical(Frame(R(0, 0, 10, 60)), items);
    EXPECT_TRUE(SameRect(R(0, 0, 10, 60), items.children[0].placed)) << "the only stacked child takes everything";
    EXPECT_EQ(-1, items.children[1].placed.left);
    EXPECT_EQ(1, items.children[2].floatPlacements);
    EXPECT_EQ(-1, items.children[2].placed.left);
}

TEST(StackVertical, ScrollPositionShiftsTheContent)
{
    FakeItems items({Sized(0, 50), Sized(0, 50)});
    StackFrame frame = Frame(R(0, 0, 20, 60));
    frame.scroll = POINT{4, 30};
    EXPECT_EQ(100, StackVertical(frame, items));
    EXPECT_TRUE(SameRect(R(-4, -30, 16, 20), items.children[0].placed));
    EXPECT_TRUE(SameRect(R(-4, 20, 16, 70), items.children[1].placed));
}

TEST(StackHorizontal, MirrorsTheVerticalStack)
{
    // The title bar: an adjustable column and a 300-pixel one.
    FakeItems title({Sized(0, 0), Sized(300, 0)});
    StackHorizontal(Frame(R(0, 0, 1200, 36)), title);
    EXPECT_TRUE(SameRect(R(0, 0, 900, 36), title.children[0].placed));
    EXPECT_TRUE(SameRect(R(900, 0, 1200, 36), title.children[1].placed));

    FakeItems items({Sized(0, 0), Sized(0, 0), Sized(10, 8)});
    items.children[1].padding = R(2, 3, 4, 5);
    items.children[2].minWidth = 20;
    const int needed = StackHorizontal(Frame(R(0, 10, 101, 30), 1), items);
    EXPECT_EQ(101, needed);
    EXPECT_TRUE(SameRect(R(0, 10, 36, 30), items.children[0].placed));
    // The right edge reaches over the right margin; the height fills between
    // the vertical margins.
    EXPECT_TRUE(SameRect(R(39, 13, 80, 25), items.children[1].placed));
    EXPECT_TRUE(SameRect(R(81, 10, 101, 18), items.children[2].placed));
}

TEST(StackLayouts, AbsurdSizesSaturateInsteadOfOverflowing)
{
    std::vector<FakeChild> children(50, Sized(INT_MAX, INT_MAX));
    children[0].maxWidth = children[0].maxHeight = INT_MAX;
    children[0].padding = R(INT_MIN, INT_MIN, INT_MAX, INT_MAX);
    FakeItems vertical(children), horizontal(children);
    StackFrame frame = Frame(R(0, 0, 100, 100), INT_MAX);
    frame.scroll = POINT{INT_MIN, INT_MIN};
    EXPECT_LE(StackVertical(frame, vertical), kCoordLimit);
    EXPECT_LE(StackHorizontal(frame, horizontal), kCoordLimit);
    for (const FakeChild& c : vertical.children) {
        EXPECT_LE(c.placed.bottom, kCoordLimit);
        EXPECT_GE(c.placed.top, -kCoordLimit);
    }
}

TEST(FloatRect, NegativeCoordinatesAnchorToTheFarEdges)
{
    const RECT parent = R(900, 0, 1200, 36);
    // The close button of the title bar: x 272 from the left, 28x30.
    EXPECT_TRUE(SameRect(R(1172, 0, 1200, 30), FloatRect(parent, SIZE{272, 0}, SIZE{28, 30}, nullptr)));
    // x = -40: right edge 40 pixels left of the parent's right edge.
    EXPECT_TRUE(SameRect(R(1130, 0, 1160, 30), FloatRect(parent, SIZE{-40, 0}, SIZE{30, 30}, nullptr)));
    EXPECT_TRUE(SameRect(R(900, 0, 910, 10), FloatRect(parent, SIZE{0, 0}, SIZE{10, 10}, nullptr)));
    EXPECT_TRUE(SameRect(R(900, 16, 910, 26), FloatRect(parent, SIZE{0, -10}, SIZE{10, 10}, nullptr)));
}

TEST(FloatRect, RelativePositionsFollowTheParentsGrowth)
{
    RelativePos relative = {true, SIZE{0, 0}, 50, 100, 50, 0};
    const SIZE xy = {10, 10}, size = {20, 20};
    // The first placement only records the parent's size.
    EXPECT_TRUE(SameRect(R(10, 10, 30, 30), FloatRect(R(0, 0, 100, 100), xy, size, &relative)));
    EXPECT_EQ(100, relative.parentSize.cx);
    // The parent grows by 40x20: move half of 40 right and all of 20 down,
    // grow by half of 40.
    EXPECT_TRUE(SameRect(R(30, 30, 70, 50), FloatRect(R(0, 0, 140, 120), xy, size, &relative)));
    EXPECT_EQ(140, relative.parentSize.cx);
    EXPECT_EQ(120, relative.parentSize.cy);
    // Shrinking moves back by the same rule (integer division towards zero).
    RelativePos shrink = {true, SIZE{100, 100}, 50, 50, 0, 0};
    EXPECT_TRUE(SameRect(R(9, 9, 29, 29), FloatRect(R(0, 0, 97, 97), xy, size, &shrink)));
}

TEST(TabChildRect, FillsTheInnerAreaWithinLimitsAndPadding)
{
    ChildLimits limits = {R(5, 6, 7, 8), 0, 0, 0, 9999, 0, 50};
    EXPECT_TRUE(SameRect(R(15, 26, 103, 76), TabChildRect(R(10, 20, 110, 220), limits, SIZE{0, 0})));
    EXPECT_TRUE(SameRect(R(15, 26, 45, 36), TabChildRect(R(10, 20, 110, 220), limits, SIZE{30, 10})));
    ChildLimits tight = {R(60, 0, 60, 0), 0, 0, 0, 9999, 0, 9999};
    EXPECT_TRUE(SameRect(R(60, 0, 60, 10), TabChildRect(R(0, 0, 100, 10), tight, SIZE{0, 0})));
}

TEST(Separator, ThumbLiesAtTheFarOrNearEdge)
{
    const RECT rc = R(0, 100, 200, 300);
    EXPECT_TRUE(SameRect(R(0, 296, 200, 300), SeparatorThumb(rc, 4, true)));
    EXPECT_TRUE(SameRect(R(0, 100, 200, 104), SeparatorThumb(rc, -4, true)));
    EXPECT_TRUE(SameRect(R(0, 100, 200, 300), SeparatorThumb(rc, 500, true))) << "clamped to the layout";
    EXPECT_TRUE(SameRect(R(196, 100, 200, 300), SeparatorThumb(rc, 4, false)));
    EXPECT_TRUE(SameRect(R(0, 100, 4, 300), SeparatorThumb(rc, -4, false)));
}

TEST(Separator, DraggingFollowsTheMouseAndStopsAtTheLimits)
{
    // A vertical layout 100 high with a 4-pixel strip at its bottom, 30..150.
    RECT drag = R(0, 0, 50, 100);
    POINT last = {10, 98};
    EXPECT_TRUE(DragSeparator(drag, 4, true, last, POINT{10, 120}, 30, 150));
    EXPECT_EQ(122, drag.bottom) << "the edge moves by the mouse's movement";
    // Up past the minimum: the edge stops at 30.
    last = POINT{10, 120};
    EXPECT_TRUE(DragSeparator(drag, 4, true, last, POINT{10, 5}, 30, 150));
    EXPECT_EQ(30, drag.bottom);
    // Already at the minimum: further shrinking is dropped.
    EXPECT_FALSE(DragSeparator(drag, 4, true, POINT{10, 30}, POINT{10, 20}, 30, 150));
    EXPECT_EQ(30, drag.bottom);
    // Moving down while the mouse is still above the strip is ignored.
    EXPECT_FALSE(DragSeparator(drag, 4, true, POINT{10, 10}, POINT{10, 20}, 30, 150));
    // Down past the maximum stops at 150.
    EXPECT_TRUE(DragSeparator(drag, 4, true, POINT{10, 30}, POINT{10, 400}, 30, 150));
    EXPECT_EQ(150, drag.bottom);
    EXPECT_EQ(0, drag.top);

    // A horizontal layout with its strip on the left moves its left edge.
    RECT left = R(100, 0, 300, 20);
    EXPECT_TRUE(DragSeparator(left, -4, false, POINT{102, 5}, POINT{80, 5}, 0, 9999));
    EXPECT_EQ(78, left.left);
    EXPECT_EQ(300, left.right);
}
