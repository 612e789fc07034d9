#include "app/feed/HttpRequestText.h"

#include <gtest/gtest.h>

using namespace Vornex;

namespace {

struct SplitCase {
    const char* url;
    const char* previousPath;
    const char* host;
    const char* path;
};

class SplitUrlTest : public ::testing::TestWithParam<SplitCase> {};

TEST_P(SplitUrlTest, SplitsHostAndPathAsTheClientConnects)
{
    const SplitCase& c = GetParam();
    std::string host = "stale-host";
    std::string path = c.previousPath;
    HttpRequestText::SplitUrl(c.url, host, path);
    EXPECT_EQ(host, c.host);
    EXPECT_EQ(path, c.path);
}

INSTANTIATE_TEST_SUITE_P(
    Urls, SplitUrlTest,
    ::testing::Values(SplitCase{"www.vornex.example/api.dat", "", "www.vornex.example", "/api.dat"},
                      SplitCase{"http://127.0.0.1/a/b?c=d", "", "127.0.0.1", "/a/b?c=d"},
                      // Only "http://" is understood: the secure scheme ends up in the host.
                      SplitCase{"https://host/x", "", "https:", "//host/x"},
                      // Everything up to the first "http://" goes, wherever it is.
                      SplitCase{"see http://host/p", "", "host", "/p"},
                      SplitCase{"http://http://a/b", "", "http:", "//a/b"},
                      // No "/": the previous request's path is kept.
                      SplitCase{"host-only", "/old.dat", "host-only", "/old.dat"},
                      SplitCase{"http://host-only", "", "host-only", ""}, SplitCase{"host/", "/old.dat", "host", "/"},
                      SplitCase{"/api.dat", "", "", "/api.dat"}));

TEST(DefaultHeadersTest, CarryRefererContentTypeAcceptKeepAliveAndBlankLine)
{
    EXPECT_EQ(HttpRequestText::BuildDefaultHeaders("127.0.0.1"), "Referer: 127.0.0.1\r\n"
                                                                 "Content-Type: application/x-www-form-urlencoded\r\n"
                                                                 "Accept: */*\r\n"
                                                                 "Connection: Keep-Alive\r\n"
                                                                 "\r\n");
}

TEST(StatusLineTest, Only404InTheFirstLineMeansNotFound)
{
    struct Case {
        std::string raw;
        bool notFound;
    } cases[] = {
        {std::string("HTTP/1.1 404 Not Found\0Server: x\0\0", 35), true},
        {std::string("HTTP/1.1 200 OK\0Content-Length: 404\0\0", 38), false},
        {std::string("HTTP/1.1 500 Internal Server Error\0\0", 36), false},
        // "404" anywhere in the line, not only as the code.
        {std::string("HTTP/1.1 200 Moved-404\0\0", 24), true},
        // No terminating zero: the whole buffer is the line.
        {"HTTP/1.1 404", true},
        {"", false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(HttpRequestText::StatusLineReportsNotFound(c.raw.data(), c.raw.size()), c.notFound) << c.raw;
    }
}

}  // namespace
