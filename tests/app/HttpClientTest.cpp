// Runs the real client under Wine against tools/feed_service.py on
// 127.0.0.1:80 (the test's command line starts the service around it).
#include "app/feed/HttpClient.h"

#include <gtest/gtest.h>

#include "tests/app/FeedServiceControl.h"

using namespace Vornex;

namespace {

const std::wstring kSendFailed = L"发送请求失败，请检查网络";

class HttpClientTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_FALSE(FeedService::Folder().empty()) << "run through tools/feed_service.py"; }

    static void Serve(const std::string& json) { ASSERT_TRUE(FeedService::SetScenario(json)); }
};

std::string Hex(const std::string& bytes)
{
    static const char digits[] = "0123456789abcdef";
    std::string hex;
    for (unsigned char c : bytes) {
        hex += digits[c >> 4];
        hex += digits[c & 15];
    }
    return hex;
}

std::string HexBody(const std::string& bytes) { return "{\"hex\":\"" + Hex(bytes) + "\"}"; }

TEST_F(HttpClientTest, SendsTheRequestLineAgentAndDefaultHeaderBlock)
{
    Serve("{\"status\":200,\"body\":{\"text\":\"hello\"}}");
    CHttpClient client;
    EXPECT_EQ(client.Request("127.0.0.1/api.dat", std::string()), "hello");
    EXPECT_TRUE(client.m_strLastError.empty());
    EXPECT_EQ(client.m_strHost, "127.0.0.1");
    EXPECT_EQ(client.m_strPath, "/api.dat");

    const std::string request = FeedService::LastRequest();
    EXPECT_EQ(request.rfind("GET /api.dat HTTP/1.1\r\n", 0), 0u) << request;
    for (const char* line : {"\r\nReferer: 127.0.0.1\r\n", "\r\nContent-Type: application/x-www-form-urlencoded\r\n",
                             "\r\nAccept: */*\r\n", "\r\nConnection: Keep-Alive\r\n",
                             "\r\nUser-Agent: Http-connect\r\n", "\r\nHost: 127.0.0.1\r\n"}) {
        EXPECT_NE(request.find(line), std::string::npos) << "missing " << line << " in\n" << request;
    }
    ASSERT_GE(request.size(), 4u);
    EXPECT_EQ(request.substr(request.size() - 4), "\r\n\r\n");
}

TEST_F(HttpClientTest, SendsCallerHeadersUnchangedInsteadOfTheDefaults)
{
    Serve("{\"status\":200,\"body\":{\"text\":\"x\"}}");
    CHttpClient client;
    std::string headers = "X-Vornex-Test: 7\r\n";
    EXPECT_EQ(client.Request("http://127.0.0.1/custom/path.dat", headers), "x");
    EXPECT_EQ(headers, "X-Vornex-Test: 7\r\n");

    const std::string request = FeedService::LastRequest();
    EXPECT_EQ(request.rfind("GET /custom/path.dat HTTP/1.1\r\n", 0), 0u) << request;
    EXPECT_NE(request.find("\r\nX-Vornex-Test: 7\r\n"), std::string::npos) << request;
    EXPECT_EQ(request.find("Referer:"), std::string::npos) << request;
    EXPECT_EQ(request.find("Content-Type:"), std::string::npos) << request;
}

TEST_F(HttpClientTest, ReturnsTheBodyOrEmptyWithTheErrorTextPerResponse)
{
    std::string binary;
    for (int i = 0; i < 5000; ++i) binary += static_cast<char>((i * 7) % 256);  // zero bytes included
    struct Case {
        const char* name;
        std::string scenario;
        std::string body;
        bool error;
    } cases[] = {
        {"200", "{\"status\":200,\"body\":{\"text\":\"feed\"}}", "feed", false},
        {"200 with empty body", "{\"status\":200,\"body\":{\"hex\":\"\"}}", "", false},
        {"body with zero bytes across many reads", "{\"status\":200,\"body\":" + HexBody(binary) + "}", binary, false},
        {"server error page is a body", "{\"status\":500,\"body\":{\"text\":\"<h1>boom</h1>\"}}", "<h1>boom</h1>",
         false},
        {"404 is a failure", "{\"status\":404,\"body\":{\"text\":\"missing\"}}", "", true},
        {"slow body arrives whole",
         "{\"delivery\":\"slow\",\"delay\":0.05,\"chunk\":700,\"body\":" + HexBody(binary) + "}", binary, false},
        {"reset before any response", "{\"delivery\":\"reset\"}", "", true},
    };
    for (const Case& c : cases) {
        Serve(c.scenario);
        CHttpClient client;
        const std::string body = client.Request("127.0.0.1/api.dat", std::string());
        EXPECT_EQ(body.size(), c.body.size()) << c.name;
        EXPECT_TRUE(body == c.body) << c.name;
        EXPECT_EQ(client.m_strLastError, c.error ? kSendFailed : std::wstring()) << c.name;
    }
}

TEST_F(HttpClientTest, ATruncatedBodyGivesTheBytesReadSoFarWithoutError)
{
    const std::string text(4000, 'z');
    Serve("{\"delivery\":\"truncated\",\"body\":{\"text\":\"" + text + "\"}}");
    CHttpClient client;
    const std::string body = client.Request("127.0.0.1/api.dat", std::string());
    EXPECT_EQ(body, text.substr(0, 2000));
    EXPECT_TRUE(client.m_strLastError.empty());
}

TEST_F(HttpClientTest, FailsWithoutAServerOrHost)
{
    struct Case {
        const char* url;
        bool error;
    } cases[] = {
        {"", false},                  // nothing attempted
        {"127.0.0.2/api.dat", true},  // nothing listens there: refused
        {"/api.dat", true},           // empty host
    };
    for (const Case& c : cases) {
        CHttpClient client;
        EXPECT_EQ(client.Request(c.url, std::string()), "") << c.url;
        EXPECT_EQ(client.m_strLastError, c.error ? kSendFailed : std::wstring()) << c.url;
    }
}

TEST_F(HttpClientTest, OneObjectServesSequentialRequestsAndKeepsItsLastError)
{
    CHttpClient client;
    Serve("{\"status\":404}");
    const int before = FeedService::RequestCount();
    EXPECT_EQ(client.Request("127.0.0.1/first.dat", std::string()), "");
    EXPECT_EQ(client.m_strLastError, kSendFailed);

    // No "/" in the URL: the previous path is asked for again.
    Serve("{\"status\":200,\"body\":{\"text\":\"second\"}}");
    EXPECT_EQ(client.Request("127.0.0.1", std::string()), "second");
    EXPECT_EQ(FeedService::LastRequest().rfind("GET /first.dat HTTP/1.1\r\n", 0), 0u);
    // A success does not clear the text of an earlier failure.
    EXPECT_EQ(client.m_strLastError, kSendFailed);

    EXPECT_EQ(client.Request("127.0.0.1/third.dat", std::string()), "second");
    EXPECT_EQ(FeedService::RequestCount(), before + 3);
}

TEST_F(HttpClientTest, RefusesABodyBeyondItsCeiling)
{
    Serve("{\"status\":200,\"body\":{\"zeros\":" + std::to_string(CHttpClient::kMaxBodyBytes + 1) + "}}");
    CHttpClient client;
    EXPECT_EQ(client.Request("127.0.0.1/api.dat", std::string()), "");
    EXPECT_EQ(client.m_strLastError, kSendFailed);
}

}  // namespace
