// Centring arithmetic of top-level windows.
#include "ui/window/WindowPlacement.h"

#include <gtest/gtest.h>

namespace SkinUI {
namespace {

TEST(WindowPlacement, CentresThenKeepsTheWindowInsideTheWorkArea)
{
    const RECT area = {0, 0, 1600, 1000};
    struct Case {
        const char* rule;
        int width, height;
        RECT centre;
        RECT workArea;
        POINT expected;
    };
    const Case cases[] = {
        {"centred on the owner", 320, 180, {200, 150, 800, 550}, area, {340, 260}},
        {"odd sizes truncate", 321, 181, {201, 151, 802, 552}, area, {341, 261}},
        {"centred on the work area", 320, 180, area, area, {640, 410}},
        {"pulled back from the right and bottom", 320, 180, {1400, 900, 1600, 1000}, area, {1280, 820}},
        {"pulled back from the left and top", 320, 180, {-300, -200, 0, 0}, area, {0, 0}},
        {"larger than the work area: top-left", 2000, 1200, area, area, {0, 0}},
        {"larger, owner at the far right: still the left edge", 2000, 1200, {1500, 900, 1600, 1000}, area, {0, 0}},
        {"offset work area", 320, 180, {-1600, 40, 0, 1000}, {-1600, 40, 0, 1000}, {-960, 430}},
        {"negative centres truncate toward zero", 3, 3, {-5, -5, 0, 0}, {-100, -100, 100, 100}, {-3, -3}},
    };
    for (const Case& c : cases) {
        const POINT at = CenteredPosition(c.width, c.height, c.centre, c.workArea);
        EXPECT_EQ(c.expected.x, at.x) << c.rule;
        EXPECT_EQ(c.expected.y, at.y) << c.rule;
    }
}

}  // namespace
}  // namespace SkinUI
