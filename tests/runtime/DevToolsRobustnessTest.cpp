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

// One run against the fake endpoint: the endpoint playing a scenario, a
// runtime started against it, a host window and a browser of the fake page.
// Goes back to starting the engine, whatever the test's outcome.
struct FakeEngineRun {
    std::unique_ptr<RuntimeSession> session;
    std::unique_ptr<HostWindow> host;
    CefRefPtr<RecordingClient> client = new RecordingClient;
    CefRefPtr<CefBrowser> browser;

    ~FakeEngineRun()
    {
        End();
        UseFakeEndpoint(0);
    }
    // Whether the endpoint, the runtime and the browser all started.
    bool Start(const char* scenario)
    {
        const int port = StartLoopbackServer(L"fake_devtools.py", CefString(scenario).ToWString());
        if (port <= 0) return false;
        UseFakeEndpoint(port);
        session.reset(new RuntimeSession(UniqueTempDir(L"vxrt-fake-profile")));
        if (!session->ok) return false;
        host.reset(new HostWindow(640, 480));
        RECT rc = {0, 0, 600, 400};
        browser = CreateBrowser(host->Handle(), rc, client.get(), "http://fake/");
        return browser.get() != nullptr;
    }
    // Lets go of the browser, closes the host window and stops the runtime;
    // returns how long the stop took.
    DWORD End()
    {
        browser = nullptr;
        client->browser = nullptr;
        host.reset();
        const DWORD start = GetTickCount();
        session.reset();
        return GetTickCount() - start;
    }
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
    FakeEngineRun run;
    ASSERT_TRUE(run.Start(s.name));
    RecordingClient* client = run.client.get();
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
        run.browser->GetHost()->CloseBrowser(false);
        EXPECT_FALSE(run.browser->CanGoBack());
        EXPECT_LT(GetTickCount() - start, 2000u);
    } else {
        // The endpoint's last word: everything before it has been seen.
        ASSERT_TRUE(PumpUntil([&] { return client->lastTitle == "end-of-scenario"; }, 30000));
        EXPECT_FALSE(client->Has("LoadError"));
    }
    // Shutting down must not wait out a dead or broken endpoint.
    EXPECT_LT(run.End(), 15000u);
}

// An engine that hangs on a close (no answer, no end of the page): the page
// is given its time for its unload handlers, then the window closes anyway.
TEST(HungEngineTest, CloseEndsTheWindowAfterTheGraceWithoutAnAnswer)
{
    FakeEngineRun run;
    ASSERT_TRUE(run.Start("hung"));
    ASSERT_TRUE(PumpUntil([&] { return run.client->Has("LoadEnd"); }, 30000));
    const DWORD asked = GetTickCount();
    run.browser->GetHost()->CloseBrowser(false);
    // Not at once: the page's handlers had their time.
    EXPECT_FALSE(PumpUntil([&] { return run.host->closeReceived; }, 3000));
    EXPECT_TRUE(PumpUntil([&] { return run.host->closeReceived; }, 15000))
        << "no close " << (GetTickCount() - asked) << " ms after it was asked for";
    EXPECT_TRUE(PumpUntil([&] { return run.client->Has("BeforeClose"); }, 5000));
}

// An engine that never answers a request for a picture: the runtime gives
// it up after its deadline and asks again, rather than waiting for ever
// (with no further pictures, and at high density the user's input held).
TEST(MutePictureTest, AnUnansweredPictureIsAskedForAgain)
{
    FakeEngineRun run;
    ASSERT_TRUE(run.Start("mute-picture"));
    EXPECT_TRUE(PumpUntil([&] { return run.client->lastTitle == "picture-asked-again"; }, 20000))
        << run.client->lastTitle;
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
    for (bool closeBrowserFirst : {true, false}) {
        SCOPED_TRACE(closeBrowserFirst ? "browser closed, then runtime stopped" : "runtime stopped under the browser");
        FakeEngineRun run;
        ASSERT_TRUE(run.Start("stream"));
        HWND view = run.browser->GetHost()->GetWindowHandle();
        // The stream's picture (red on the left) is on screen: frames flow.
        ASSERT_TRUE(PumpUntil([&] { return PixelOf(view, 10, 10) == RGB(255, 0, 0); }, 30000));
        if (closeBrowserFirst) {
            run.host.reset();
            EXPECT_TRUE(run.client->Has("BeforeClose"));
        }
        run.browser = nullptr;
        run.client->browser = nullptr;
        const DWORD start = GetTickCount();
        run.session.reset();
        EXPECT_LT(GetTickCount() - start, 15000u);
    }
}

}  // namespace
