#include "ui/base/StdPtrArray.h"
#include "ui/base/StdStringPtrMap.h"
#include "ui/base/StdValArray.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace SkinUI;

namespace {

void* P(intptr_t n) { return reinterpret_cast<void*>(n); }

}  // namespace

TEST(StdPtrArray, GrowsTo11ThenDoublesKeepingCountBelowCapacity)
{
    CStdPtrArray a(0);
    EXPECT_EQ(0, a.GetCapacity());
    ASSERT_TRUE(a.Add(P(1)));
    EXPECT_EQ(11, a.GetCapacity());
    for (int i = 2; i <= 10; ++i) ASSERT_TRUE(a.Add(P(i)));
    EXPECT_EQ(11, a.GetCapacity());
    ASSERT_TRUE(a.Add(P(11)));
    EXPECT_EQ(22, a.GetCapacity());
    EXPECT_EQ(11, a.GetSize());
    for (int i = 0; i < 11; ++i) EXPECT_EQ(P(i + 1), a[i]);

    CStdPtrArray pre(4);
    EXPECT_EQ(4, pre.GetCapacity());
    for (int i = 0; i < 4; ++i) pre.Add(P(i));
    EXPECT_EQ(8, pre.GetCapacity());  // the fourth add would have filled it
}

TEST(StdPtrArray, IndexedOperationsCheckTheirRange)
{
    CStdPtrArray a;
    a.Add(P(1));
    a.Add(P(3));
    EXPECT_TRUE(a.InsertAt(1, P(2)));
    EXPECT_TRUE(a.InsertAt(3, P(4)));  // at the end: an add
    EXPECT_FALSE(a.InsertAt(5, P(9)));
    EXPECT_FALSE(a.InsertAt(-1, P(9)));
    ASSERT_EQ(4, a.GetSize());
    for (int i = 0; i < 4; ++i) EXPECT_EQ(P(i + 1), a.GetAt(i));
    EXPECT_EQ(nullptr, a.GetAt(4));
    EXPECT_EQ(nullptr, a.GetAt(-1));
    EXPECT_FALSE(a.SetAt(4, P(0)));
    EXPECT_TRUE(a.SetAt(0, P(7)));
    EXPECT_EQ(0, a.Find(P(7)));
    EXPECT_EQ(-1, a.Find(P(1)));
    const int capacity = a.GetCapacity();
    EXPECT_TRUE(a.Remove(0));
    EXPECT_FALSE(a.Remove(3));
    EXPECT_EQ(capacity, a.GetCapacity());  // removing never shrinks
    EXPECT_EQ(P(2), a[0]);
    EXPECT_EQ(P(4), a[2]);

    CStdPtrArray copy(a);
    EXPECT_EQ(3, copy.GetSize());
    EXPECT_EQ(P(3), copy[1]);

    a.Resize(5);
    EXPECT_EQ(5, a.GetSize());
    EXPECT_EQ(5, a.GetCapacity());
    EXPECT_EQ(nullptr, a[4]);
    a.Empty();
    EXPECT_TRUE(a.IsEmpty());
    EXPECT_EQ(0, a.GetCapacity());
}

TEST(StdValArray, CopiesRecordsAndKeepsTheBlockWhenEmptied)
{
    struct Record {
        int a;
        double b;
    };
    CStdValArray v(sizeof(Record));
    for (int i = 0; i < 30; ++i) {
        Record r{i, i * 0.5};
        ASSERT_TRUE(v.Add(&r));
    }
    EXPECT_EQ(30, v.GetSize());
    EXPECT_EQ(44, v.GetCapacity());
    EXPECT_EQ(29, static_cast<Record*>(v.GetAt(29))->a);
    EXPECT_EQ(nullptr, v.GetAt(30));
    EXPECT_TRUE(v.Remove(0));
    EXPECT_FALSE(v.Remove(29));
    EXPECT_EQ(1, static_cast<Record*>(v[0])->a);
    v.Empty();
    EXPECT_TRUE(v.IsEmpty());
    EXPECT_EQ(44, v.GetCapacity());
    EXPECT_NE(nullptr, v.GetData());
}

TEST(StdStringPtrMap, InsertSetFindRemove)
{
    CStdStringPtrMap m(5);
    EXPECT_EQ(16, m.GetBucketCount());
    EXPECT_EQ(nullptr, m.Find(L"none"));
    EXPECT_TRUE(m.Insert(L"one", P(1)));
    EXPECT_FALSE(m.Insert(L"one", P(9)));
    EXPECT_EQ(P(1), m.Find(L"one"));
    EXPECT_EQ(P(1), m.Set(L"one", P(2)));
    EXPECT_EQ(nullptr, m.Set(L"two", P(3)));
    EXPECT_EQ(P(2), m.Find(L"one"));
    EXPECT_EQ(nullptr, m.Find(L"ONE"));  // keys are case-sensitive
    EXPECT_EQ(2, m.GetSize());
    EXPECT_TRUE(m.Remove(L"one"));
    EXPECT_FALSE(m.Remove(L"one"));
    EXPECT_EQ(1, m.GetSize());
    EXPECT_EQ(nullptr, m.GetAt(1));

    m.Resize(0);
    EXPECT_FALSE(m.Insert(L"x", P(1)));
    EXPECT_EQ(P(5), m.Set(L"x", P(5)));  // no buckets: handed back
    EXPECT_EQ(0, m.GetSize());
}

TEST(StdStringPtrMap, IterationOrderFollowsBucketsBackwardsAndMoveToFront)
{
    // With 16 buckets "a" (97) and "q" (113) share bucket 1; "b" is in bucket 2.
    CStdStringPtrMap m(16);
    m.Insert(L"a", P(1));
    m.Insert(L"q", P(2));
    m.Insert(L"b", P(3));
    std::vector<std::wstring> order;
    for (int i = 0; i < m.GetSize(); ++i) order.push_back(m.GetAt(i));
    EXPECT_EQ((std::vector<std::wstring>{L"b", L"q", L"a"}), order);

    EXPECT_EQ(P(1), m.Find(L"a", false));  // no reordering without optimize
    EXPECT_STREQ(L"q", m.GetAt(1));
    EXPECT_EQ(P(1), m.Find(L"a"));
    EXPECT_STREQ(L"a", m.GetAt(1));
    EXPECT_STREQ(L"q", m.GetAt(2));
    EXPECT_TRUE(m.Remove(L"a"));
    EXPECT_STREQ(L"q", m.GetAt(1));
}

TEST(StdStringPtrMap, HashRunsFromTheLastCharacterTimes33)
{
    // "ab": h = 'b'; h = h * 33 + 'a' = 98 * 33 + 97 = 3331; 3331 % 83 = 11.
    // "ba": 97 * 33 + 98 = 3299; 3299 % 83 = 62. With 83 buckets, "ba"
    // (higher bucket) therefore iterates before "ab".
    CStdStringPtrMap m(83);
    m.Insert(L"ab", P(1));
    m.Insert(L"ba", P(2));
    EXPECT_STREQ(L"ba", m.GetAt(0));
    EXPECT_STREQ(L"ab", m.GetAt(1));
    m.RemoveAll();
    EXPECT_EQ(0, m.GetSize());
    EXPECT_EQ(83, m.GetBucketCount());
}
