// How often the runtime brings a lost engine or page back.
#include <gtest/gtest.h>

#include <vector>

#include "runtime/engine/RecoveryBudget.h"

namespace {

using vxrt::RecoveryBudget;

TEST(RecoveryBudgetTest, TheThirdLossWithinAMinuteIsNotRecoveredFrom)
{
    struct Case {
        const char* what;
        std::vector<unsigned> losses;  // ticks
        bool lastRecovered;
    };
    const unsigned wrap = 0xFFFFFFFFu - 1000;  // the tick wraps after 49.7 days
    const Case cases[] = {
        {"one loss", {5}, true},
        {"two within a minute", {5, 6}, true},
        {"three within a minute", {5, 6, 7}, false},
        {"three within a minute across the tick's wrap", {wrap, wrap + 1500, wrap + 3000}, false},
        {"the first left the minute before the third", {0, 30000, 60000}, true},
        {"three spread over two minutes", {0, 50000, 100000}, true},
        {"a fourth soon after is not recovered from either", {0, 1, 2, 3}, false},
    };
    for (const Case& c : cases) {
        RecoveryBudget budget;
        bool recovered = true;
        for (unsigned t : c.losses) recovered = budget.TakeLoss(t);
        EXPECT_EQ(recovered, c.lastRecovered) << c.what;
    }
}

TEST(RecoveryBudgetTest, TheUsersRetryStartsAfresh)
{
    RecoveryBudget budget;
    EXPECT_TRUE(budget.TakeLoss(0));
    EXPECT_TRUE(budget.TakeLoss(1));
    EXPECT_FALSE(budget.TakeLoss(2));
    budget.Reset();
    EXPECT_TRUE(budget.TakeLoss(3));
    EXPECT_TRUE(budget.TakeLoss(4));
}

}  // namespace
