#include "ui/base/UiString.h"

#include <gtest/gtest.h>

#include <string>

using SkinUI::CUiString;

namespace {

std::wstring Repeat(wchar_t ch, int n) { return std::wstring(static_cast<size_t>(n), ch); }

bool IsInline(const CUiString& s)
{
    // The inline buffer sits inside the object itself.
    const char* self = reinterpret_cast<const char*>(&s);
    const char* data = reinterpret_cast<const char*>(s.GetData());
    return data >= self && data < self + sizeof(CUiString);
}

}  // namespace

TEST(UiStringStorage, StaysInlineBelow63AndMovesToHeapAt63)
{
    CUiString s(Repeat(L'a', 62).c_str());
    EXPECT_TRUE(IsInline(s));
    s += L'b';
    EXPECT_FALSE(IsInline(s));
    EXPECT_EQ(63, s.GetLength());
    EXPECT_EQ(Repeat(L'a', 62) + L"b", std::wstring(s.GetData()));
    s = L"0123456789";
    EXPECT_TRUE(IsInline(s));
    EXPECT_EQ(std::wstring(L"0123456789"), s.GetData());
}

TEST(UiStringStorage, AssignCopiesExactlyLengthAndTreatsNullAsEmpty)
{
    CUiString s;
    s.Assign(L"abcdef", 3);
    EXPECT_STREQ(L"abc", s.GetData());
    s.Assign(nullptr);
    EXPECT_TRUE(s.IsEmpty());
    const std::wstring longText = Repeat(L'x', 200);
    s.Assign(longText.c_str(), 150);
    EXPECT_EQ(150, s.GetLength());
    // Assigning a tail of our own heap text must not read freed memory.
    s.Assign(s.GetData() + 100);
    EXPECT_EQ(50, s.GetLength());
    s = longText.c_str();
    s.Assign(s.GetData() + 10);
    EXPECT_EQ(190, s.GetLength());
}

TEST(UiStringStorage, AppendingToItselfAndAcrossTheInlineLimit)
{
    CUiString s(Repeat(L'q', 40).c_str());
    s += s;
    EXPECT_EQ(Repeat(L'q', 80), std::wstring(s.GetData()));
    s += s.GetData() + 70;
    EXPECT_EQ(90, s.GetLength());
    CUiString t = s + L"!";
    EXPECT_EQ(91, t.GetLength());
    EXPECT_EQ(L'!', t[90]);
    CUiString u = CUiString(L"ab") + CUiString(L"cd") + static_cast<LPCTSTR>(nullptr);
    EXPECT_STREQ(L"abcd", u.GetData());
}

TEST(UiStringStorage, HeapTextShortenedInPlaceThenAppendedKeepsTheAppendedText)
{
    // SetAt cuts a heap text without moving it; a short append afterwards
    // must land behind the text that is really there, whichever buffer holds it.
    const struct {
        int cutAt;
        const wchar_t* appended;
        std::wstring expected;
    } cases[] = {
        {0, L"xyz", L"xyz"},
        {5, L"xyz", Repeat(L'h', 5) + L"xyz"},
        {60, L"xyz", Repeat(L'h', 60) + L"xyz"},  // reaches 63: back to a heap block
        {10, L"", Repeat(L'h', 10)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.cutAt);
        CUiString s(Repeat(L'h', 100).c_str());
        ASSERT_FALSE(IsInline(s));
        s.SetAt(c.cutAt, L'\0');
        s.Append(c.appended);
        EXPECT_EQ(c.expected, std::wstring(s.GetData()));
        EXPECT_EQ(static_cast<int>(c.expected.size()), s.GetLength());
        EXPECT_EQ(c.expected.size() < 63, IsInline(s));
        // The result stays usable: it grows and copies as any other string.
        s += Repeat(L'g', 70).c_str();
        EXPECT_EQ(c.expected + Repeat(L'g', 70), std::wstring(CUiString(s).GetData()));
    }
    // Appending a piece of the cut heap text itself.
    CUiString s((Repeat(L'h', 3) + L"k" + Repeat(L'h', 96)).c_str());
    s.SetAt(4, L'\0');
    s.Append(s.GetData() + 2);
    EXPECT_STREQ(L"hhhkhk", s.GetData());
}

TEST(UiStringConversion, NarrowTextComesFromTheAnsiCodePage)
{
    CUiString s;
    s = "plain";
    EXPECT_STREQ(L"plain", s.GetData());
    s += " text";
    EXPECT_STREQ(L"plain text", s.GetData());
    s += static_cast<const char*>(nullptr);
    EXPECT_STREQ(L"plain text", s.GetData());
    s = static_cast<const char*>(nullptr);
    EXPECT_TRUE(s.IsEmpty());
    s = L'z';
    EXPECT_STREQ(L"z", s.GetData());
}

TEST(UiStringSearch, FindRespectsItsStartRules)
{
    const CUiString s(L"abcabc");
    struct Case {
        LPCTSTR text;
        int start;
        int expected;
    };
    const Case cases[] = {
        {L"bc", 0, 1}, {L"bc", 2, 4}, {L"", 6, 6}, {L"c", 6, -1}, {L"zz", 0, -1}, {L"a", -1, -1}, {L"a", 7, -1},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.expected, s.Find(c.text, c.start)) << c.start;
    }
    EXPECT_EQ(2, s.Find(L'c'));
    EXPECT_EQ(5, s.Find(L'c', 3));
    EXPECT_EQ(-1, s.Find(L'c', 6));  // a character from the length is not found
    EXPECT_EQ(-1, s.Find(L'c', -2));
    EXPECT_EQ(5, s.ReverseFind(L'c'));
    EXPECT_EQ(-1, s.ReverseFind(L'x'));
}

TEST(UiStringSearch, ReplaceDoesNotRescanInsertedText)
{
    struct Case {
        LPCTSTR text, from, to, expected;
        int count;
    };
    const Case cases[] = {
        {L"aaa", L"a", L"aa", L"aaaaaa", 3},
        {L"a,b,,c", L",", L"", L"abc", 3},
        {L"hello", L"xyz", L"q", L"hello", 0},
        {L"abab", L"ab", L"b", L"bb", 2},
    };
    for (const Case& c : cases) {
        CUiString s(c.text);
        EXPECT_EQ(c.count, s.Replace(c.from, c.to)) << c.text;
        EXPECT_STREQ(c.expected, s.GetData()) << c.text;
    }
    CUiString big(Repeat(L'x', 100).c_str());
    EXPECT_EQ(100, big.Replace(L"x", L"yy"));
    EXPECT_EQ(200, big.GetLength());
}

TEST(UiStringSlices, LeftMidRightClampAsDocumented)
{
    const CUiString s(L"abc");
    EXPECT_STREQ(L"c", s.Mid(2).GetData());
    EXPECT_STREQ(L"", s.Mid(5).GetData());
    EXPECT_STREQ(L"b", s.Mid(1, 1).GetData());
    EXPECT_STREQ(L"bc", s.Mid(1, 10).GetData());
    EXPECT_STREQ(L"", s.Mid(1, 0).GetData());
    EXPECT_STREQ(L"abc", s.Right(10).GetData());
    EXPECT_STREQ(L"bc", s.Right(2).GetData());
    EXPECT_STREQ(L"", s.Left(-3).GetData());
    EXPECT_STREQ(L"ab", s.Left(2).GetData());
    EXPECT_STREQ(L"abc", s.Left(9).GetData());
}

TEST(UiStringCompare, OrdinalAndCaseInsensitive)
{
    const CUiString s(L"Apple");
    EXPECT_TRUE(s == L"Apple");
    EXPECT_TRUE(s != L"apple");
    EXPECT_TRUE(s < L"apple");  // 'A' < 'a' by code unit
    EXPECT_TRUE(s >= L"Apple");
    EXPECT_TRUE(s > L"App");
    EXPECT_EQ(0, s.CompareNoCase(L"aPPLE"));
    EXPECT_GT(CUiString(L"\x4e2d").Compare(L"z"), 0);  // not a signed comparison
    CUiString t(L"MiXeD");
    t.MakeUpper();
    EXPECT_STREQ(L"MIXED", t.GetData());
    t.MakeLower();
    EXPECT_STREQ(L"mixed", t.GetData());
}

TEST(UiStringFormat, FollowsTheSystemFormatterRules)
{
    struct Case {
        LPCTSTR expected;
        int value;
        LPCTSTR format;
    };
    const Case cases[] = {
        {L"42", 42, L"%d"},         {L"-0042", -42, L"%05d"}, {L"   42", 42, L"%5d"},
        {L"42   |", 42, L"%-5d|"},  {L"ff", 255, L"%x"},      {L"0XFF", 255, L"%#X"},
        {L"4294967295", -1, L"%u"}, {L"007", 7, L"%.3d"},     {L"100%", 100, L"%d%%"},
    };
    for (const Case& c : cases) {
        CUiString s;
        const int n = s.Format(c.format, c.value);
        EXPECT_STREQ(c.expected, s.GetData()) << c.format;
        EXPECT_EQ(s.GetLength(), n);
    }
    CUiString s;
    s.Format(L"%s=%c|%-4s|%.2s", L"key", L'v', L"ab", L"xyz");
    EXPECT_STREQ(L"key=v|ab  |xy", s.GetData());
    s.Format(L"%hs", "narrow");
    EXPECT_STREQ(L"narrow", s.GetData());
}

TEST(UiStringFormat, OutputIsCutToTheBuffer)
{
    const std::wstring longText = Repeat(L'w', 2000);
    CUiString s;
    EXPECT_EQ(1023, s.Format(L"%s", longText.c_str()));
    EXPECT_EQ(1023, s.GetLength());
    // The short form keeps at most 63 characters instead of overrunning.
    EXPECT_EQ(63, s.SmallFormat(L"%s", longText.c_str()));
    EXPECT_EQ(63, s.GetLength());
    s.SmallFormat(L"%d,%d", 3, 4);
    EXPECT_STREQ(L"3,4", s.GetData());
}
