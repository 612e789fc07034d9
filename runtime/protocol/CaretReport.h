#pragma once
// Where the page's text caret stands, as the page's caret watch reports it:
// "x,y,height" in whole CSS pixels of the viewport, or nothing when no field
// of the top document shows a caret. The page's own script can call the
// same function with anything, so the report is read strictly and bounded.

#include <string>

namespace vxrt {

struct CaretReport {
    bool shown = false;
    int x = 0, y = 0, height = 0;
};

// The largest coordinate taken (a window is never larger), and the tallest
// caret.
const int kCaretCoordinateLimit = 32767;
const int kCaretHeightLimit = 4096;

// False, and out untouched, for anything but "" or three decimal integers
// separated by commas, coordinates within the limit (negative allowed: a
// field scrolled partly out of view) and a height of 1 to the limit.
bool ReadCaretReport(const std::string& payload, CaretReport& out);

}  // namespace vxrt
