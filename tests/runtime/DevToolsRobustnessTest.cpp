// The runtime against a DevTools endpoint that misbehaves (fake_devtools.py):
// malformed, mistyped, out-of-order, truncated and oversized messages and a
// dropped connection. The runtime goes on where it can, reports a lost
// connection as a failed main-frame load (ERR_CONNECTION_CLOSED), and never
// hangs or crashes.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "RuntimeTestSupport.h"

using namespace vxtest;

namespace {

// Starts the fake endpoint for one scenario and points the next runtime
// start at it; returns its port or 0.
int StartFakeEndpoint(const char* scenario)
{
    const int port = StartLoopbackServer(L"fake_devtools.py", CefString(scenario).ToWString());
    UseFakeEndpoint(port);
    return port;
}

// Goes back to starting the engine, whatever the test's outcome.
struct FakeEndpointScope {
    ~FakeEndpointScope() { UseFakeEndpoint(0); }
};

struct Scenario {
    const char* name;
    bool loadEnds;        // the valid load after the noise still arrives
    bool connectionLost;  // reported as a failed main-frame load
};

class DevToolsRobustnessTest : public testing::TestWithParam<Scenario> {};

TEST_P(DevToolsRobustnessTest, RuntimeSurvivesAndReports)
{
    const Scenario& s = GetParam();
    FakeEndpointScope scope;
    ASSERT_GT(StartFakeEndpoint(s.name), 0);
    std::unique_ptr<RuntimeSession> session(new RuntimeSession(UniqueTempDir(L"vxrt-fake-profile")));
    ASSERT_TRUE(session->ok);
    std::unique_ptr<HostWindow> host(new HostWindow(640, 480));
    CefRefPtr<RecordingClient> client = new RecordingClient;
    {
        RECT rc = {0, 0, 600, 400};
        CefRefPtr<CefBrowser> browser = CreateBrowser(host->Handle(), rc, client.get(), "http://fake/");
        ASSERT_TRUE(browser.get() != nullptr);
        if (s.loadEnds) {
            EXPECT_TRUE(PumpUntil([&] { return client->Has("LoadEnd"); }, 30000));
            // The noise before it produced no load of its own.
            int ends = 0;
            for (const auto& e : client->events) ends += e.name == "LoadEnd" ? 1 : 0;
            EXPECT_EQ(ends, 1);
        }
        if (s.connectionLost) {
            ASSERT_TRUE(PumpUntil([&] { return client->Has("LoadError"); }, 45000));
            EXPECT_EQ(client->Find("LoadError")->code, ERR_CONNECTION_CLOSED);
            // Calls on a browser whose engine is gone return at once.
            DWORD start = GetTickCount();
            browser->GetHost()->CloseBrowser(false);
            EXPECT_FALSE(browser->CanGoBack());
            EXPECT_LT(GetTickCount() - start, 2000u);
        } else {
            // The endpoint's last word: everything before it has been seen.
            ASSERT_TRUE(PumpUntil([&] { return client->lastTitle == "end-of-scenario"; }, 30000));
            EXPECT_FALSE(client->Has("LoadError"));
        }
        client->browser = nullptr;
    }
    host.reset();
    // Shutting down must not wait out a dead or broken endpoint.
    DWORD start = GetTickCount();
    session.reset();
    EXPECT_LT(GetTickCount() - start, 15000u);
}

// An engine that hangs on a close (no answer, no end of the page): the page
// is given its time for its unload handlers, then the window closes anyway.
TEST(HungEngineTest, CloseEndsTheWindowAfterTheGraceWithoutAnAnswer)
{
    FakeEndpointScope scope;
    ASSERT_GT(StartFakeEndpoint("hung"), 0);
    std::unique_ptr<RuntimeSession> session(new RuntimeSession(UniqueTempDir(L"vxrt-fake-profile")));
    ASSERT_TRUE(session->ok);
    std::unique_ptr<HostWindow> host(new HostWindow(640, 480));
    CefRefPtr<RecordingClient> client = new RecordingClient;
    RECT rc = {0, 0, 600, 400};
    CefRefPtr<CefBrowser> browser = CreateBrowser(host->Handle(), rc, client.get(), "http://fake/");
    ASSERT_TRUE(browser.get() != nullptr);
    ASSERT_TRUE(PumpUntil([&] { return client->Has("LoadEnd"); }, 30000));
    const DWORD asked = GetTickCount();
    browser->GetHost()->CloseBrowser(false);
    // Not at once: the page's handlers had their time.
    EXPECT_FALSE(PumpUntil([&] { return host->closeReceived; }, 3000));
    EXPECT_TRUE(PumpUntil([&] { return host->closeReceived; }, 15000))
        << "no close " << (GetTickCount() - asked) << " ms after it was asked for";
    EXPECT_TRUE(PumpUntil([&] { return client->Has("BeforeClose"); }, 5000));
    client->browser = nullptr;
    browser = nullptr;
    host.reset();
    session.reset();
}

INSTANTIATE_TEST_SUITE_P(Scenarios, DevToolsRobustnessTest,
                         testing::Values(Scenario{"garbage", true, false}, Scenario{"disorder", true, false},
                                         Scenario{"truncated", false, true}, Scenario{"oversized", false, true},
                                         Scenario{"drop", false, true}),
                         [](const testing::TestParamInfo<Scenario>& info) { return std::string(info.param.name); });

}  // namespace

namespace {

// Frames arrive without pause from a fake endpoint while the browser closes
// (its window going away under the painting thread) and while the runtime
// stops (events still being read, tasks still queued for the UI thread).
TEST(FrameStreamTest, BrowserClosesAndRuntimeStopsWhileFramesStream)
{
    FakeEndpointScope scope;
    for (bool closeBrowserFirst : {true, false}) {
        SCOPED_TRACE(closeBrowserFirst ? "browser closed, then runtime stopped" : "runtime stopped under the browser");
        ASSERT_GT(StartFakeEndpoint("stream"), 0);
        std::unique_ptr<RuntimeSession> session(new RuntimeSession(UniqueTempDir(L"vxrt-stream")));
        ASSERT_TRUE(session->ok);
        std::unique_ptr<HostWindow> host(new HostWindow(640, 480));
        CefRefPtr<RecordingClient> client = new RecordingClient;
        RECT rc = {0, 0, 600, 400};
        CefRefPtr<CefBrowser> browser = CreateBrowser(host->Handle(), rc, client.get(), "http://fake/");
        ASSERT_TRUE(browser.get() != nullptr);
        HWND view = browser->GetHost()->GetWindowHandle();
        // The stream's picture (red on the left) is on screen: frames flow.
        ASSERT_TRUE(PumpUntil([&] { return PixelOf(view, 10, 10) == RGB(255, 0, 0); }, 30000));
        if (closeBrowserFirst) {
            host.reset();
            EXPECT_TRUE(client->Has("BeforeClose"));
        }
        browser = nullptr;
        client->browser = nullptr;
        DWORD start = GetTickCount();
        session.reset();
        EXPECT_LT(GetTickCount() - start, 15000u);
        host.reset();
    }
}

}  // namespace
