// The Tab order over a flattened tree: the tab stops after (or before) the
// focus, wrapping around at either end.
#include "ui/base/TabStopSearch.h"

#include <gtest/gtest.h>

using namespace SkinUI;

namespace {

// Controls 0..5 in tree order; 1, 3 and 4 are tab stops.
const bool kTabStop[] = {false, true, false, true, true, false};
const int kControls = 6;
int g_nodes[kControls];

int Search(int focus, bool forward)
{
    TabStopSearch search(focus >= 0 ? &g_nodes[focus] : nullptr, forward);
    const void* found = nullptr;
    for (int i = 0; i < kControls && !found; ++i) found = search.Visit(&g_nodes[i], kTabStop[i]);
    if (!found) found = search.WrapAround();
    return found ? static_cast<int>(static_cast<const int*>(found) - g_nodes) : -1;
}

}  // namespace

TEST(TabStopSearch, MovesToTheNeighbouringTabStopAndWrapsAround)
{
    const struct {
        int focus;
        bool forward;
        int expected;
    } cases[] = {
        {1, true, 3},  {3, true, 4},   {4, true, 1},   // forward wraps to the first
        {4, false, 3}, {3, false, 1},  {1, false, 4},  // backward wraps to the last
        {-1, true, 1}, {-1, false, 1},                 // no focus: the first tab stop
        {0, true, 1},  {2, false, 1},  {5, true, 1},   // focus on a control that is no tab stop
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.expected, Search(c.focus, c.forward)) << "focus " << c.focus << (c.forward ? " forward" : " back");
}

TEST(TabStopSearch, ATreeWithoutTabStopsFindsNothing)
{
    TabStopSearch search(nullptr, true);
    int a = 0, b = 0;
    EXPECT_EQ(nullptr, search.Visit(&a, false));
    EXPECT_EQ(nullptr, search.Visit(&b, false));
    EXPECT_EQ(nullptr, search.WrapAround());
}
