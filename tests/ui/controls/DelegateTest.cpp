// Event sources: order, stop-at-false, duplicates, and delegates that
// change the source while it fires.
#include "ui/controls/Delegate.h"

#include <gtest/gtest.h>

#include <string>

using namespace SkinUI;

namespace {

std::string g_calls;

bool RecordA(void*)
{
    g_calls += "a";
    return true;
}
bool RecordB(void*)
{
    g_calls += "b";
    return true;
}
bool Refuse(void*)
{
    g_calls += "x";
    return false;
}

struct Listener {
    std::string name;
    CEventSource* source = nullptr;
    int calls = 0;
    bool OnEvent(void* param)
    {
        ++calls;
        g_calls += name;
        if (param) *static_cast<int*>(param) += 1;
        return true;
    }
    bool RemoveSelf(void*)
    {
        ++calls;
        *source -= MakeDelegate(this, &Listener::RemoveSelf);
        return true;
    }
    bool AddOther(void*)
    {
        ++calls;
        *source += MakeDelegate(&RecordB);
        return true;
    }
};

}  // namespace

TEST(EventSource, CallsInOrderAndStopsAtTheFirstFalse)
{
    g_calls.clear();
    CEventSource source;
    EXPECT_FALSE(source);
    EXPECT_TRUE(source(nullptr)) << "an empty source lets the event through";
    source += RecordA;
    source += Refuse;
    source += RecordB;
    EXPECT_TRUE(source);
    EXPECT_FALSE(source(nullptr));
    EXPECT_EQ("ax", g_calls);

    source -= Refuse;
    g_calls.clear();
    EXPECT_TRUE(source(nullptr));
    EXPECT_EQ("ab", g_calls);
}

TEST(EventSource, EqualDelegatesAreAddedOnceAndRemovedByEquality)
{
    g_calls.clear();
    Listener first{"1"}, second{"2"};
    CEventSource source;
    source += MakeDelegate(&first, &Listener::OnEvent);
    source += MakeDelegate(&first, &Listener::OnEvent);  // same object and function
    source += MakeDelegate(&second, &Listener::OnEvent);
    source += RecordA;
    source += RecordA;
    int param = 0;
    source(&param);
    EXPECT_EQ("12a", g_calls);
    EXPECT_EQ(2, param) << "the parameter reaches member delegates";

    source -= MakeDelegate(&first, &Listener::OnEvent);
    source -= RecordA;
    source -= RecordB;  // not present: nothing happens
    g_calls.clear();
    source(nullptr);
    EXPECT_EQ("2", g_calls);
}

TEST(EventSource, ADelegateMayRemoveItselfOrAddOthersWhileFiring)
{
    g_calls.clear();
    CEventSource source;
    Listener self{"s", &source}, adder{"+", &source};
    source += MakeDelegate(&self, &Listener::RemoveSelf);
    source += MakeDelegate(&adder, &Listener::AddOther);
    source += RecordA;
    EXPECT_TRUE(source(nullptr));
    EXPECT_EQ("a", g_calls) << "a delegate added while firing waits for the next firing";
    EXPECT_EQ(1, self.calls);

    g_calls.clear();
    source(nullptr);
    EXPECT_EQ(1, self.calls) << "removed";
    EXPECT_EQ(2, adder.calls);
    EXPECT_EQ("ab", g_calls);
}
