// Skin attribute values: numbers, number lists, colours, booleans and
// attribute lists, including the malformed text a hand-edited skin holds.
#include "ui/base/AttributeValue.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>

using namespace SkinUI;
using namespace SkinUI::AttributeValue;

TEST(AttributeInt, ParsesSignsAndStopsAtTheFirstNonDigit)
{
    const struct {
        const wchar_t* text;
        int value;
        int consumed;  // characters up to the end of the number
    } cases[] = {
        {L"28", 28, 2},
        {L"-5", -5, 2},
        {L"+7", 7, 2},
        {L"  12,", 12, 4},
        {L"3px", 3, 1},
        {L"", 0, 0},
        {L"abc", 0, 0},
        {L"-", 0, 0},
        {L"2147483647", INT_MAX, 10},
        {L"2147483648", INT_MAX, 10},
        {L"-2147483648", INT_MIN, 11},
        {L"-99999999999999999999999", INT_MIN, 24},
    };
    for (const auto& c : cases) {
        LPCTSTR end = nullptr;
        EXPECT_EQ(c.value, ParseInt(c.text, &end)) << std::wstring(c.text).size() << " chars";
        EXPECT_EQ(c.consumed, end - c.text);
    }
    EXPECT_EQ(0, ParseInt(nullptr));
}

TEST(AttributeIntList, MissingNumbersAreZeroAndNothingIsReadPastTheEnd)
{
    const struct {
        const wchar_t* text;
        int expected[4];
        int present;
    } cases[] = {
        {L"272,0,0,0", {272, 0, 0, 0}, 4}, {L"-30,4,0,40", {-30, 4, 0, 40}, 4},
        {L"1, 2, 3, 4", {1, 2, 3, 4}, 4},  {L"10,20", {10, 20, 0, 0}, 2},  // a "pos" with two numbers
        {L"5", {5, 0, 0, 0}, 1},           {L"", {0, 0, 0, 0}, 0},
        {L",,,", {0, 0, 0, 0}, 0},         {L"1;2;3;4", {1, 2, 3, 4}, 4},  // any one character separates
        {L"1,,3,4", {1, 0, 3, 4}, 3},      {L"99999999999,-99999999999,1,2", {INT_MAX, INT_MIN, 1, 2}, 4},
    };
    for (const auto& c : cases) {
        // The text is copied into a buffer of exactly its length, so the
        // sanitizers catch any read past the terminator.
        std::wstring copy(c.text);
        int values[4] = {-1, -1, -1, -1};
        EXPECT_EQ(c.present, ParseIntList(copy.c_str(), values, 4)) << copy.size();
        for (int i = 0; i < 4; ++i) EXPECT_EQ(c.expected[i], values[i]) << "number " << i;
    }
}

TEST(AttributeColor, ReadsArgbAfterBlanksAndTheNumberSign)
{
    const struct {
        const wchar_t* text;
        DWORD color;
    } cases[] = {
        {L"#FF3e3e3e", 0xFF3E3E3E},
        {L"  #80FF0000", 0x80FF0000},
        {L"FF000000", 0xFF000000},
        {L"#fff", 0x00000FFF},  // too few digits: the value of the digits, transparent
        {L"#", 0},
        {L"", 0},
        {L"#xyz", 0},
        {L"#FFFFFFFFFF", 0xFFFFFFFF},  // beyond 32 bits saturates
        {L"#12G4", 0x12},
    };
    for (const auto& c : cases) EXPECT_EQ(c.color, ParseColor(c.text)) << std::hex << c.color;
    EXPECT_EQ(0u, ParseColor(nullptr));
}

TEST(AttributeBool, OnlyTheExactWordTrueIsTrue)
{
    EXPECT_TRUE(ParseBool(L"true"));
    for (const wchar_t* text : {L"TRUE", L"True", L"1", L"yes", L"true ", L" true", L"tru", L"", L"false"})
        EXPECT_FALSE(ParseBool(text)) << std::wstring(text).size();
    EXPECT_FALSE(ParseBool(nullptr));
}

namespace {

std::wstring ReadAll(const wchar_t* list)
{
    ListReader reader(list);
    CUiString name, value;
    std::wstring out;
    while (reader.Next(name, value)) {
        out += name.GetData();
        out += L"=";
        out += value.GetData();
        out += L";";
    }
    return out;
}

}  // namespace

TEST(AttributeList, ReadsPairsUntilTheFirstMalformedOne)
{
    const struct {
        const wchar_t* list;
        const wchar_t* pairs;
    } cases[] = {
        {L"width=\"28\" height=\"30\"", L"width=28;height=30;"},
        {L"button1normalimage=\"file='scroll.png' source='0,0,11,11'\" hor=\"true\"",
         L"button1normalimage=file='scroll.png' source='0,0,11,11';hor=true;"},
        {L"a=\"\"", L"a=;"},
        {L"a=\"1\"  b=\"2\"", L"a=1; b=2;"},  // the second blank belongs to the next name
        {L"a=\"1\",b=\"2\"", L"a=1;"},        // no blank after the value: the list ends
        {L"a=1 b=\"2\"", L""},                // "=" must be followed by a quote
        {L"a=\"1\" b=\"2", L"a=1;"},          // an unclosed value is not applied
        {L"a \"1\"", L""},
        {L"", L""},
        {L"a=\"1\" ", L"a=1;"},
    };
    for (const auto& c : cases) EXPECT_EQ(std::wstring(c.pairs), ReadAll(c.list)) << std::wstring(c.list).size();
    EXPECT_EQ(L"", ReadAll(nullptr));
}

namespace {

std::wstring ReadDescription(LPCTSTR text)
{
    DescriptionReader reader(text);
    CUiString key, value;
    std::wstring out;
    while (reader.Next(key, value)) {
        out += key.GetData();
        out += L"=";
        out += value.GetData();
        out += L";";
    }
    return out;
}

}  // namespace

TEST(AttributeDescription, ReadsQuotedItemsUntilTheFirstMalformedOne)
{
    const struct {
        const wchar_t* text;
        const wchar_t* items;
    } cases[] = {
        {L"file='a.png' dest='0,0,9,9'", L"file=a.png;dest=0,0,9,9;"},
        {L"  file = 'a b.png'   fade='9' ", L"file=a b.png;fade=9;"},  // blanks around "=" and between items
        {L"file='a.png'dest='1'", L"file=a.png;"},                      // no blank: the item ends the description
        {L"file='a.png' dest='1", L"file=a.png;"},                      // an unclosed value is not returned
        {L"file=\"a.png\"", L""},                                       // double quotes are not its grammar
        {L"file 'a.png'", L""},
        {L"='x' file='a'", L"=x;file=a;"},
        {L"", L""},
    };
    for (const auto& c : cases) EXPECT_EQ(ReadDescription(c.text), c.items) << c.text;
    EXPECT_EQ(ReadDescription(nullptr), L"");
}

TEST(AttributeDescription, RestIsWhereReadingStopped)
{
    const wchar_t* text = L"file='a.png' restype='PNG' 3 1";
    DescriptionReader reader(text);
    CUiString key, value;
    while (reader.Next(key, value)) {
    }
    EXPECT_STREQ(reader.Rest(), L"3 1");
}

TEST(AttributeArithmetic, ClampAndAddSaturate)
{
    EXPECT_EQ(Clamp(300, 0, 255), 255);
    EXPECT_EQ(Clamp(-5, 0, 255), 0);
    EXPECT_EQ(Clamp(5, 10, 0), 0) << "maximum wins a conflict";
    EXPECT_EQ(SaturatingAdd(INT_MAX, 1), INT_MAX);
    EXPECT_EQ(SaturatingAdd(INT_MIN, -1), INT_MIN);
    EXPECT_EQ(SaturatingAdd(-3, 5), 2);
}
