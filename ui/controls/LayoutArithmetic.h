#pragma once
// The arithmetic of laying out children: stacking along an axis with fixed
// and adjustable children, floating children anchored to an edge of their
// parent (optionally moving and growing with it), the one visible child of a
// tab layout, and the separator strip that resizes a layout by dragging.
//
// Coordinates are ints, but sizes come from skin text, so sums are taken in
// 64 bits and every coordinate handed back is limited to +/-kCoordLimit: a
// skin with absurd sizes lays out absurdly, never with overflowed values.

#include "ui/base/Platform.h"

namespace SkinUI {
namespace Layout {

const int kCoordLimit = 0x3FFFFFFF;

int ClampCoord(long long value);
int ClampToRange(int value, int minimum, int maximum);  // minimum first: maximum wins a conflict

// What a stacking layout needs to know of one child.
struct ChildLimits {
    RECT padding;
    int fixedWidth;  // 0 = take the available width (vertical stack)
    int fixedHeight;
    int minWidth, maxWidth;
    int minHeight, maxHeight;
};

// The children of a layout seen through indices, so the layout can run over
// the control tree without copying it.
class StackItems {
public:
    enum class Kind {
        Hidden,    // not laid out at all
        Floating,  // placed by PlaceFloating, takes no space
        Stacked
    };
    virtual int Count() const = 0;
    virtual Kind KindOf(int index) const = 0;
    virtual ChildLimits Limits(int index) const = 0;
    virtual SIZE Estimate(int index, SIZE available) = 0;
    virtual void Place(int index, const RECT& rc) = 0;
    virtual void PlaceFloating(int index) = 0;

protected:
    ~StackItems() = default;
};

struct StackFrame {
    RECT client;     // item rectangle less inset and visible scroll bars
    SIZE available;  // client size, grown by the scroll range along the scrolled axis
    POINT scroll;    // current scroll position of the visible bars (0 otherwise)
    int childPadding;
};

// Stacks top to bottom (children keep their fixed width or fill the width)
// and returns the height the content needs. Adjustable children (estimated
// height 0) share what the fixed ones leave; the last of them takes the
// remainder, so 101 pixels split between two give 50 and 51.
int StackVertical(const StackFrame& frame, StackItems& items);
// The same left to right; returns the width the content needs.
int StackHorizontal(const StackFrame& frame, StackItems& items);

// A floating child's rectangle inside its parent's rectangle: a negative
// fixed x (y) anchors the right (bottom) edge instead of the left (top).
struct RelativePos {
    bool relative;
    SIZE parentSize;  // the parent's size when last placed (0: not yet)
    int moveXPercent, moveYPercent, zoomXPercent, zoomYPercent;
};
// With a relative position the rectangle moves and grows by the given
// percentages of how much the parent has grown since the last placement;
// `relative.parentSize` is then updated to the parent's current size.
RECT FloatRect(const RECT& parent, SIZE fixedXY, SIZE fixedSize, RelativePos* relative);

// The selected child of a tab layout: its estimate within `inner` less its
// padding, zero dimensions filling it, clamped to its limits, anchored at
// the top-left corner of the padded area.
RECT TabChildRect(const RECT& inner, const ChildLimits& limits, SIZE estimate);

// The separator strip of a resizable layout: `size` >= 0 puts it at the far
// edge (bottom or right), < 0 at the near edge, -size wide.
RECT SeparatorThumb(const RECT& rc, int size, bool vertical);

// One mouse move while dragging a separator. `drag` is the layout's
// rectangle as it will be after the drag; returns false when the move is
// ignored (the mouse is on the wrong side of the moving edge, or the size is
// already at a limit it would cross).
bool DragSeparator(RECT& drag, int size, bool vertical, POINT last, POINT mouse, int minSize, int maxSize);

}  // namespace Layout
}  // namespace SkinUI
