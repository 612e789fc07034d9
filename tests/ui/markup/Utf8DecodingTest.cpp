// UTF-8 reads the same through the markup reader and through the platform
// header's conversion, valid or not: one table drives both.
#include "ui/markup/Markup.h"
#include "ui/base/Platform.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

using namespace SkinUI;

namespace {

// Code points as this platform's wchar_t holds them: surrogate pairs where
// it is 16 bits wide.
std::wstring Wide(const std::u32string& codePoints)
{
    std::wstring out;
    for (char32_t cp : codePoints) {
        if (sizeof(wchar_t) == 2 && cp > 0xFFFF) {
            out.push_back(static_cast<wchar_t>(0xD800 + ((cp - 0x10000) >> 10)));
            out.push_back(static_cast<wchar_t>(0xDC00 + ((cp - 0x10000) & 0x3FF)));
        } else {
            out.push_back(static_cast<wchar_t>(cp));
        }
    }
    return out;
}

struct Utf8Case {
    const char* what;
    std::string bytes;
    std::u32string decoded;
};

void PrintTo(const Utf8Case& c, std::ostream* os) { *os << c.what; }

const char32_t R = 0xFFFD;

const Utf8Case kCases[] = {
    {"ASCII", "Az", U"Az"},
    {"two bytes", "\xC3\xA4", U"\u00E4"},
    {"three bytes", "\xE4\xB8\xAD", U"\u4E2D"},
    {"four bytes", "\xF0\x9F\x98\x80", U"\U0001F600"},
    {"last code point", "\xF4\x8F\xBF\xBF", U"\U0010FFFF"},
    {"just above U+10FFFF", "\xF4\x90\x80\x80", {R, R, R, R}},
    {"F5 lead", "\xF5\x80\x80\x80", {R, R, R, R}},
    {"F7 lead, top of the 4-byte form", "\xF7\xBF\xBF\xBF", {R, R, R, R}},
    {"5-byte form", "\xF8\x88\x80\x80\x80", {R, R, R, R, R}},
    {"6-byte form", "\xFC\x84\x80\x80\x80\x80", {R, R, R, R, R, R}},
    {"FE and FF", "\xFE\xFF", {R, R}},
    {"overlong NUL", "\xC0\x80", {R, R}},
    {"overlong three bytes", "\xE0\x80\xAF", {R, R, R}},
    {"overlong four bytes", "\xF0\x8F\xBF\xBF", {R, R, R, R}},
    {"surrogate", "\xED\xA0\x80", {R, R, R}},
    {"stray continuation", "a\x80z", {U'a', R, U'z'}},
    {"truncated before ASCII", "\xE4\xB8z", {R, R, U'z'}},
    {"truncated four bytes", "\xF0\x9F\x98", {R, R, R}},
};

class Utf8Decoding : public ::testing::TestWithParam<Utf8Case> {};

TEST_P(Utf8Decoding, PlatformConversionGivesTheTableText)
{
    const Utf8Case& c = GetParam();
    EXPECT_EQ(Wide(c.decoded), Platform::MultiByteToWide(c.bytes.data(), c.bytes.size(), 65001)) << c.what;
}

TEST_P(Utf8Decoding, MarkupAttributeGivesTheTableText)
{
    const Utf8Case& c = GetParam();
    const std::string document = "<e a=\"" + c.bytes + "\"/>";
    CMarkup doc;
    ASSERT_TRUE(doc.LoadFromMem(reinterpret_cast<const BYTE*>(document.data()), static_cast<DWORD>(document.size()),
                                MARKUP_ENCODING_UTF8))
        << c.what;
    EXPECT_EQ(Wide(c.decoded), std::wstring(doc.GetRoot().GetAttributeValue(L"a"))) << c.what;
}

INSTANTIATE_TEST_SUITE_P(Core, Utf8Decoding, ::testing::ValuesIn(kCases));

}  // namespace
