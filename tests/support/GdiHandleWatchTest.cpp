#include "tests/support/GdiHandleWatch.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace SkinUI {
namespace Test {
namespace {

bool Contains(const std::vector<HGDIOBJ>& handles, HGDIOBJ h)
{
    return std::find(handles.begin(), handles.end(), h) != handles.end();
}

TEST(GdiHandleWatch, SeesWhatIsLeftAndWhatWasDeleted)
{
    GdiHandleWatch watch;
    HRGN kept = ::CreateRectRgn(0, 0, 4, 4);
    HBRUSH freed = ::CreateSolidBrush(RGB(1, 2, 3));
    HDC memory = ::CreateCompatibleDC(nullptr);
    ::DeleteObject(freed);
    ::DeleteDC(memory);

    EXPECT_EQ(3u, watch.Created().size());
    const std::vector<HGDIOBJ> alive = watch.Alive();
    ASSERT_EQ(1u, alive.size()) << watch.Describe();
    EXPECT_EQ(kept, alive[0]);
    EXPECT_NE(std::string::npos, watch.Describe().find("region"));

    ::DeleteObject(kept);
    EXPECT_TRUE(watch.Alive().empty()) << watch.Describe();
}

TEST(GdiHandleWatch, MatchesWindowDCsWithTheirRelease)
{
    GdiHandleWatch watch;
    HDC screen = ::GetDC(nullptr);
    ASSERT_TRUE(screen);
    ASSERT_EQ(1u, watch.Unreleased().size());
    ::ReleaseDC(nullptr, screen);
    EXPECT_TRUE(watch.Unreleased().empty());
}

TEST(GdiHandleWatch, RecordsNothingBeforeItStartsOrAfterItStops)
{
    HRGN before = ::CreateRectRgn(0, 0, 1, 1);
    GdiHandleWatch watch;
    HRGN during = ::CreateRectRgn(0, 0, 2, 2);
    watch.Stop();
    HRGN after = ::CreateRectRgn(0, 0, 3, 3);
    const std::vector<HGDIOBJ> created = watch.Created();
    EXPECT_FALSE(Contains(created, before));
    EXPECT_TRUE(Contains(created, during));
    EXPECT_FALSE(Contains(created, after));
    for (HRGN r : {before, during, after}) ::DeleteObject(r);
}

}  // namespace
}  // namespace Test
}  // namespace SkinUI
