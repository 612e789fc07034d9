#include "ui/base/UniqueHandle.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace SkinUI {
namespace {

// Handles are small integers; -1 stands for the "failed" value some APIs
// return, 0 for null. Every close is logged with the traits' owner tag.
struct FakeTraits {
    using Handle = long;
    static std::vector<std::pair<int, long>>& Log()
    {
        static std::vector<std::pair<int, long>> log;
        return log;
    }
    int owner = 0;
    static bool IsValid(long h) { return h != 0 && h != -1; }
    void Close(long h) const { Log().emplace_back(owner, h); }
};
using Fake = UniqueHandle<FakeTraits>;
using Closes = std::vector<std::pair<int, long>>;

class UniqueHandleTest : public ::testing::Test {
protected:
    void SetUp() override { FakeTraits::Log().clear(); }
    static const Closes& Log() { return FakeTraits::Log(); }
};

TEST_F(UniqueHandleTest, EveryFailureValueIsHeldAsEmpty)
{
    for (long failed : {0L, -1L}) {
        Fake h(failed);
        EXPECT_FALSE(h);
        EXPECT_EQ(0, h.Get());
    }
    EXPECT_TRUE(Log().empty());
}

TEST_F(UniqueHandleTest, ClosesExactlyOnceWhateverPathTheHandleTakes)
{
    {
        Fake a(7);
        Fake b(std::move(a));
        EXPECT_FALSE(a);
        Fake c;
        c = std::move(b);
        Fake& same = c;
        c = std::move(same);  // moving onto itself keeps the handle
        EXPECT_EQ(7, c.Get());
    }
    EXPECT_EQ((Closes{{0, 7}}), Log());

    FakeTraits::Log().clear();
    {
        Fake a(1);
        a.Reset(1);  // the same handle again: nothing to close
        a.Reset(2);
        Fake b(3);
        b = std::move(a);  // 3 closed, b owns 2
        const long released = b.Release();
        EXPECT_EQ(2, released);
        a.Reset(-1);
    }
    EXPECT_EQ((Closes{{0, 1}, {0, 3}}), Log());
}

TEST_F(UniqueHandleTest, TraitsStateTravelsWithTheHandle)
{
    {
        Fake a(5, FakeTraits{1});
        Fake b(6, FakeTraits{2});
        b = std::move(a);  // 6 is closed by its own traits, 5 keeps owner 1
    }
    EXPECT_EQ((Closes{{2, 6}, {1, 5}}), Log());
}

}  // namespace
}  // namespace SkinUI
