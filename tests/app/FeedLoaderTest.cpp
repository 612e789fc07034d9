// From body bytes to the advertisement lists, without the network: blocks,
// code-page conversion, well-formedness and the walk over the document.
#include "app/feed/FeedLoader.h"

#include <cstdint>
#include <gtest/gtest.h>
#include <zlib.h>

#include "ui/base/Platform.h"

using namespace Vornex;

namespace {

std::string Block(const std::string& plain)
{
    uLongf size = compressBound(static_cast<uLong>(plain.size()));
    std::string packed(size, '\0');
    compress(reinterpret_cast<Bytef*>(&packed[0]), &size, reinterpret_cast<const Bytef*>(plain.data()),
             static_cast<uLong>(plain.size()));
    packed.resize(size);
    const uint32_t n = static_cast<uint32_t>(size);
    return std::string{static_cast<char>(n & 0xff), static_cast<char>((n >> 8) & 0xff),
                       static_cast<char>((n >> 16) & 0xff), static_cast<char>(n >> 24)} +
           packed;
}

struct Lists {
    std::vector<AdItem> staticAds;
    std::vector<AdItem> scrollAds[3];
};

FeedLoadResult Load(const std::string& body, Lists& lists, unsigned codePage = 65001)
{
    return LoadFeedLists(body, codePage, lists.staticAds, lists.scrollAds);
}

std::vector<std::wstring> Texts(const std::vector<AdItem>& ads)
{
    std::vector<std::wstring> texts;
    for (const AdItem& ad : ads) texts.push_back(ad.text + L"|" + ad.url);
    return texts;
}

using Texts_t = std::vector<std::wstring>;

// The whole literal, zero bytes included.
template <size_t N>
std::string Bytes(const char (&literal)[N])
{
    return std::string(literal, N - 1);
}

TEST(FeedLoaderTest, FillsTheListsFromAChineseFeedInCodePage936)
{
    const std::wstring document = L"<?xml version='1.0' encoding='gb2312'?>\r\n"
                                  L"<config>\r\n"
                                  L" <StaticAd><ad text='\x77ED\x7F51\x5740' url='http://a/1'/><ad text='B&amp;C' "
                                  L"url='http://a/2'/></StaticAd>\r\n"
                                  L" <ScrollAd>\r\n"
                                  L"  <item><ad text='\x4E00' url='u1'/><ad text='\x4E8C' url='u2'/></item>\r\n"
                                  L"  <item><!-- none --></item>\r\n"
                                  L"  <item><ad text='\x4E09'/></item>\r\n"
                                  L"  <item><ad text='fourth item is not read' url='x'/></item>\r\n"
                                  L" </ScrollAd>\r\n"
                                  L"</config>\r\n";
    const std::string gbk = SkinUI::Platform::WideToMultiByte(document.data(), document.size(), 936);
    ASSERT_FALSE(gbk.empty());
    // Split across blocks mid-text, as the sender does with larger documents.
    const std::string body = Block(gbk.substr(0, 50)) + Block(gbk.substr(50, 70)) + Block(gbk.substr(120));

    Lists lists;
    ASSERT_EQ(Load(body, lists, 936), FeedLoadResult::Ready);
    EXPECT_EQ(Texts(lists.staticAds), (Texts_t{L"\x77ED\x7F51\x5740|http://a/1", L"B&C|http://a/2"}));
    EXPECT_EQ(Texts(lists.scrollAds[0]), (Texts_t{L"\x4E00|u1", L"\x4E8C|u2"}));
    EXPECT_EQ(Texts(lists.scrollAds[1]), Texts_t{});
    EXPECT_EQ(Texts(lists.scrollAds[2]), Texts_t{L"\x4E09|"});
}

TEST(FeedLoaderTest, WalksOnlyTheExpectedShape)
{
    struct Case {
        const char* name;
        std::string document;
        Texts_t staticAds;
        Texts_t scroll0;
    } cases[] = {
        {"one static ad", Bytes("<config><StaticAd><ad text='a' url='b'/></StaticAd></config>"), {L"a|b"}, {}},
        {"ScrollAd before StaticAd is not read",
         Bytes("<config><ScrollAd><item><ad text='s'/></item></ScrollAd><StaticAd><ad text='a'/></StaticAd></config>"),
         {L"a|"},
         {}},
        {"ScrollAd alone is read",
         Bytes("<config><ScrollAd><item><ad text='s' url='t'/></item></ScrollAd></config>"),
         {},
         {L"s|t"}},
        {"names differ in case",
         Bytes("<config><staticad><ad text='a'/></staticad><ScrollAd><Item><ad text='s'/></Item></ScrollAd></config>"),
         {},
         {}},
        {"no config", Bytes("<Config><StaticAd><ad text='a'/></StaticAd></Config>"), {}, {}},
        {"ads outside their parents are ignored",
         Bytes("<config><ad text='x'/><StaticAd><x><ad text='deep'/></x><ad text='a'/></StaticAd></config>"),
         {L"a|"},
         {}},
        {"text ends at the first zero character",
         Bytes("<config><StaticAd><ad text='a'/></StaticAd></config>\0<junk"),
         {L"a|"},
         {}},
    };
    for (const Case& c : cases) {
        const std::string& text = c.document;
        const std::string body = Block(text.substr(0, text.size() / 2)) + Block(text.substr(text.size() / 2));
        Lists lists;
        ASSERT_EQ(Load(body, lists), FeedLoadResult::Ready) << c.name;
        EXPECT_EQ(Texts(lists.staticAds), c.staticAds) << c.name;
        EXPECT_EQ(Texts(lists.scrollAds[0]), c.scroll0) << c.name;
    }
}

TEST(FeedLoaderTest, EndsWithoutListsOnEveryFailure)
{
    struct Case {
        const char* name;
        std::string body;
        FeedLoadResult result;
    } cases[] = {
        {"empty body (any download failure)", "", FeedLoadResult::NotWellFormed},
        {"four zero bytes", std::string(4, '\0'), FeedLoadResult::NotWellFormed},
        {"ill-formed document", Block("<config><StaticAd><ad text='a'/></config>"), FeedLoadResult::NotWellFormed},
        {"two top-level elements", Block("<config/><config/>"), FeedLoadResult::NotWellFormed},
        {"corrupt block", std::string("\x05\x00\x00\x00garbage", 11), FeedLoadResult::UnpackFailed},
        {"oversized length word", std::string("\x01\x2c\x00\x00", 4) + std::string(11265, 'x'),
         FeedLoadResult::UnpackFailed},
    };
    for (const Case& c : cases) {
        Lists lists;
        EXPECT_EQ(Load(c.body, lists), c.result) << c.name;
        EXPECT_TRUE(lists.staticAds.empty() && lists.scrollAds[0].empty()) << c.name;
    }
}

}  // namespace
