// The promotion feed exactly as the demo service serves it, read with the
// program's own container decoder, code-page conversion and feed parser:
// every caption and link must come out as the service's XML file says,
// Chinese, references for characters outside the code page, and feeds of
// several blocks included. serve_feed.py fetches the bytes and says what to
// expect (VORNEX_SERVICE_FEED_DIR).
#include <cstdlib>
#include <gtest/gtest.h>
#include <sstream>
#include <string>
#include <vector>

#include "app/feed/FeedLoader.h"
#include "ui/base/Platform.h"

using namespace Vornex;

namespace {

#ifdef _WIN32
// Under Wine the system code page follows LANG (zh_CN gives 936), as on a
// Chinese Windows: read the feed the way the program does.
constexpr unsigned kFeedCodePage = 0;
#else
constexpr unsigned kFeedCodePage = 936;
#endif

std::wstring FolderPath(const std::string& name)
{
    const char* folder = std::getenv("VORNEX_SERVICE_FEED_DIR");
    std::string path = std::string(folder ? folder : "") + "/" + name;
#ifdef _WIN32
    // A Linux path from the wrapper; Wine's drive Z: is the Linux root.
    if (!path.empty() && path[0] == '/') path = "Z:" + path;
#endif
    return SkinUI::Platform::MultiByteToWide(path.data(), path.size(), 65001);
}

std::string ReadFile(const std::string& name)
{
    std::vector<unsigned char> bytes;
    const auto result = SkinUI::Platform::ReadWholeFile(FolderPath(name).c_str(), bytes, 16u << 20);
    EXPECT_EQ(result, SkinUI::Platform::ReadResult::Ok) << name;
    return std::string(bytes.begin(), bytes.end());
}

std::wstring FromHexUnits(const std::string& hex)
{
    std::wstring text;
    for (size_t i = 0; i + 4 <= hex.size(); i += 4)
        text.push_back(static_cast<wchar_t>(std::stoul(hex.substr(i, 4), nullptr, 16)));
    return text;
}

// "list<TAB>text<TAB>url" with each list written as the wrapper names it.
std::vector<std::wstring> Describe(const std::vector<AdItem>& staticAds, const std::vector<AdItem> (&scrollAds)[3])
{
    std::vector<std::wstring> lines;
    for (const AdItem& ad : staticAds) lines.push_back(L"static\t" + ad.text + L"\t" + ad.url);
    for (int k = 0; k < 3; ++k)
        for (const AdItem& ad : scrollAds[k])
            lines.push_back(L"scroll" + std::to_wstring(k) + L"\t" + ad.text + L"\t" + ad.url);
    return lines;
}

std::vector<std::wstring> Expected(const std::string& name)
{
    std::vector<std::wstring> lines;
    std::istringstream in(ReadFile(name + ".expected"));
    std::string line;
    while (std::getline(in, line)) {
        const size_t tab1 = line.find('\t');
        const size_t tab2 = line.find('\t', tab1 + 1);
        if (tab1 == std::string::npos || tab2 == std::string::npos) {
            ADD_FAILURE() << "bad expectation line: " << line;
            continue;
        }
        lines.push_back(std::wstring(line.begin(), line.begin() + tab1) + L"\t" +
                        FromHexUnits(line.substr(tab1 + 1, tab2 - tab1 - 1)) + L"\t" +
                        FromHexUnits(line.substr(tab2 + 1)));
    }
    return lines;
}

TEST(ServiceFeedTest, ServedFeedsReadBackToTheCaptionsOfTheirXmlFiles)
{
    ASSERT_NE(std::getenv("VORNEX_SERVICE_FEED_DIR"), nullptr) << "run through tests/service/serve_feed.py";
    std::istringstream index(ReadFile("index.txt"));
    std::string name;
    int feeds = 0;
    while (std::getline(index, name)) {
        SCOPED_TRACE(name);
        ++feeds;
        std::vector<AdItem> staticAds;
        std::vector<AdItem> scrollAds[3];
        ASSERT_EQ(LoadFeedLists(ReadFile(name + ".dat"), kFeedCodePage, staticAds, scrollAds), FeedLoadResult::Ready);
        const std::vector<std::wstring> expected = Expected(name);
        EXPECT_FALSE(expected.empty());
        EXPECT_EQ(Describe(staticAds, scrollAds), expected);
    }
    EXPECT_GT(feeds, 0) << "the wrapper served no feed";
}

}  // namespace
