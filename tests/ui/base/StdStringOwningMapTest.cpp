#include "ui/base/StdStringOwningMap.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace SkinUI {
namespace {

// A value that reports its deletion into a shared set.
struct Tracked {
    Tracked(std::set<std::wstring>& gone, const wchar_t* name) : m_gone(gone), m_name(name) {}
    ~Tracked() { EXPECT_TRUE(m_gone.insert(m_name).second) << "deleted twice"; }
    std::set<std::wstring>& m_gone;
    std::wstring m_name;
};

using Map = CStdStringOwningMap<Tracked>;
using Names = std::set<std::wstring>;

TEST(StdStringOwningMap, DeletesEachValueOnceOnEveryWayOut)
{
    Names gone;
    {
        Map map(7);
        EXPECT_TRUE(map.Insert(L"a", new Tracked(gone, L"a")));
        EXPECT_FALSE(map.Insert(L"a", new Tracked(gone, L"a-duplicate")));
        EXPECT_FALSE(map.Insert(nullptr, new Tracked(gone, L"no-key")));
        EXPECT_EQ((Names{L"a-duplicate", L"no-key"}), gone);

        map.Set(L"b", new Tracked(gone, L"b"));
        map.Set(L"b", new Tracked(gone, L"b2"));
        EXPECT_TRUE(gone.count(L"b"));
        EXPECT_EQ(L"b2", map.Find(L"b")->m_name);

        EXPECT_TRUE(map.Remove(L"a"));
        EXPECT_FALSE(map.Remove(L"a"));
        EXPECT_TRUE(gone.count(L"a"));
        EXPECT_EQ(nullptr, map.Find(L"a"));

        for (const wchar_t* name : {L"c", L"d", L"e", L"f", L"g", L"h", L"i", L"j"})
            map.Insert(name, new Tracked(gone, name));
        EXPECT_EQ(9, map.GetSize());
        EXPECT_EQ(9, map.Map().GetSize());
        map.RemoveAll();
        EXPECT_EQ(0, map.GetSize());
        EXPECT_EQ(13u, gone.size()) << "b2 and the eight new ones too";

        map.Insert(L"left", new Tracked(gone, L"left"));
    }
    EXPECT_TRUE(gone.count(L"left")) << "the destructor deletes what is left";
}

}  // namespace
}  // namespace SkinUI
