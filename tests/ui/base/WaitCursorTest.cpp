#include "ui/base/WaitCursor.h"

#include <gtest/gtest.h>

namespace SkinUI {
namespace {

TEST(WaitCursor, ShowsTheWaitCursorAndPutsThePreviousOneBack)
{
    HCURSOR arrow = ::LoadCursor(nullptr, IDC_ARROW);
    ::SetCursor(arrow);
    {
        CWaitCursor wait;
        EXPECT_EQ(::LoadCursor(nullptr, IDC_WAIT), ::GetCursor());
        {
            CWaitCursor nested;
            EXPECT_EQ(::LoadCursor(nullptr, IDC_WAIT), ::GetCursor());
        }
        EXPECT_EQ(::LoadCursor(nullptr, IDC_WAIT), ::GetCursor());
    }
    EXPECT_EQ(arrow, ::GetCursor());
}

}  // namespace
}  // namespace SkinUI
