#pragma once
// Where the parts of a scroll bar go: the two end buttons, the track between
// them and the proportional thumb, and how far a dragged thumb moves the
// position. Plain arithmetic shared by both builds.

#include "ui/base/Platform.h"

namespace SkinUI {
namespace ScrollBarGeometry {

struct Parts {
    RECT button1 = {0, 0, 0, 0};  // up / left
    RECT button2 = {0, 0, 0, 0};  // down / right
    RECT thumb = {0, 0, 0, 0};    // all zero: no room for a thumb
};

struct Input {
    RECT item = {0, 0, 0, 0};
    int thickness = 0;  // the bar's fixed width (vertical) or height (horizontal)
    bool horizontal = false;
    bool showButton1 = true;
    bool showButton2 = true;
    int range = 0;
    int position = 0;
};

Parts Compute(const Input& in);

bool HasThumb(const Parts& parts);

// The position change for a thumb dragged `mouseDelta` pixels along the
// bar: the whole range over the distance the thumb can travel (item extent
// less two thicknesses and the thumb). 0 when the thumb cannot travel.
int DragOffset(int mouseDelta, int range, int itemExtent, int thickness, int thumbExtent);

// Which way a page step towards `pt` goes: -1 before the thumb, +1 after
// it, 0 on it (or without a thumb).
int PageDirection(const Parts& parts, bool horizontal, POINT pt);

}  // namespace ScrollBarGeometry
}  // namespace SkinUI
