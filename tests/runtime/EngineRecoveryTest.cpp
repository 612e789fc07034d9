// A page whose engine goes away comes back: a killed or crashed renderer,
// or a killed engine, brings the last address back in the same window, the
// host is never asked to close, losses that come too often stop the
// restarts until the user reloads, and no engine is left behind. Prints how
// long each loss took until the page was shown again.
#include <gtest/gtest.h>

#include <cstdio>

#include "PageServerSuite.h"
#include "RuntimeTestSupport.h"
#include "runtime/engine/BrowserImpl.h"
#include "runtime/engine/EngineLoss.h"

using namespace vxtest;

namespace {

const DWORD kLoadMs = 30000;
// Generous: the machine is shared, and a new engine takes a while under Wine.
const DWORD kBackMs = 60000;
const COLORREF kPageColour = RGB(0x33, 0x66, 0xcc);

bool Near(COLORREF a, COLORREF b)
{
    return abs(GetRValue(a) - GetRValue(b)) <= 6 && abs(GetGValue(a) - GetGValue(b)) <= 6 &&
           abs(GetBValue(a) - GetBValue(b)) <= 6;
}

class EngineRecoveryTest : public PageServerSuite {
protected:
    void SetUp() override
    {
        profile = UniqueTempDir(L"vxrt-recover");
        session.reset(new RuntimeSession(profile));
        ASSERT_TRUE(session->ok);
        host.reset(new HostWindow(820, 640));
        client = new RecordingClient;
    }
    void TearDown() override
    {
        if (client && host && client->browser && host->Handle()) {
            client->browser->GetHost()->CloseBrowser(true);
            PumpUntil([&] { return client->Has("BeforeClose") || !host->Handle(); }, 5000);
        }
        host.reset();
        if (client) client->browser = nullptr;
        session.reset();
        // No engine of this run survives it, the restarted ones included.
        EXPECT_TRUE(PumpUntil([&] { return EngineProcessCount(profile) == 0; }, 10000));
    }
    // Opens a one-colour page and waits until the window shows it.
    void ShowPage()
    {
        RECT rc = {0, 0, 800, 600};
        browser = CreateBrowser(host->Handle(), rc, client.get(), server->Url("/solid/3366cc"));
        ASSERT_TRUE(browser.get() != nullptr);
        ASSERT_TRUE(PumpUntil([&] { return client->Has("LoadEnd"); }, kLoadMs));
        view = browser->GetHost()->GetWindowHandle();
        ASSERT_TRUE(PumpUntil([&] { return Near(PixelOf(view, 400, 300), kPageColour); }, 10000));
    }
    // After a loss at lostAt: the page was loaded again in the same window
    // and the engine renders it (a dead page gives no screenshot). Returns
    // the milliseconds from the loss until then, or -1.
    long WaitBack(DWORD lostAt)
    {
        const bool back = PumpUntil(
            [&] { return client->Has("LoadEnd") && Near(PixelOf(view, 400, 300), kPageColour); }, kBackMs);
        const long ms = static_cast<long>(GetTickCount() - lostAt);
        if (!back) return -1;
        EXPECT_EQ(client->Find("LoadEnd")->text, server->Url("/solid/3366cc"));
        EXPECT_GT(EngineScreenshot(browser).width, 0) << "the page is not rendered again";
        EXPECT_EQ(browser->GetHost()->GetWindowHandle(), view);
        RECT rc;
        GetClientRect(view, &rc);
        EXPECT_EQ(rc.right, 800);
        EXPECT_EQ(rc.bottom, 600);
        EXPECT_FALSE(host->closeReceived);
        return ms;
    }
    // Kills the engine's main process; returns when it has gone.
    DWORD KillEngine()
    {
        const std::vector<int> main = EnginePids(profile, "");
        EXPECT_EQ(main.size(), 1u);
        client->events.clear();
        const DWORD at = GetTickCount();
        EXPECT_TRUE(KillLinuxProcesses(main));
        return at;
    }

    std::wstring profile;
    std::unique_ptr<RuntimeSession> session;
    std::unique_ptr<HostWindow> host;
    CefRefPtr<RecordingClient> client;
    CefRefPtr<CefBrowser> browser;
    HWND view = nullptr;
};

TEST_F(EngineRecoveryTest, ALostRendererReloadsThePageInTheSameWindow)
{
    ShowPage();
    struct Case {
        const char* how;
        bool kill;  // else the page's renderer is crashed through the protocol
    };
    const Case cases[] = {{"renderer killed", true}, {"renderer crashed", false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.how);
        client->events.clear();
        const DWORD at = GetTickCount();
        if (c.kill) {
            const std::vector<int> renderers = EnginePids(profile, "renderer");
            ASSERT_FALSE(renderers.empty());
            ASSERT_TRUE(KillLinuxProcesses(renderers));
        } else {
            static_cast<vxrt::BrowserImpl*>(browser.get())->Send("Page.crash");
        }
        const long ms = WaitBack(at);
        EXPECT_GE(ms, 0) << "the page did not come back";
        std::printf("%s -> page shown again: %ld ms\n", c.how, ms);
        EXPECT_FALSE(client->Has("LoadError"));
    }
    // The window's close is still the user's: it works as before.
    browser->GetHost()->CloseBrowser(false);
    EXPECT_TRUE(PumpUntil([&] { return host->closeReceived; }, 15000));
}

TEST_F(EngineRecoveryTest, AKilledEngineIsStartedAgainAndThePageComesBack)
{
    ShowPage();
    const int oldEngine = EnginePids(profile, "").front();
    const DWORD at = KillEngine();
    const long ms = WaitBack(at);
    ASSERT_GE(ms, 0) << "the page did not come back";
    std::printf("engine killed -> page shown again: %ld ms\n", ms);
    // One engine runs: the new one.
    const std::vector<int> engines = EnginePids(profile, "");
    ASSERT_EQ(engines.size(), 1u);
    EXPECT_NE(engines.front(), oldEngine);
    // The page works: it navigates and closes as before.
    client->events.clear();
    browser->GetMainFrame()->LoadURL(CefString(server->Url("/title")));
    EXPECT_TRUE(PumpUntil([&] { return client->lastTitle == "Hello Runtime"; }, kLoadMs));
    browser->GetHost()->CloseBrowser(false);
    EXPECT_TRUE(PumpUntil([&] { return host->closeReceived; }, 15000));
}

TEST_F(EngineRecoveryTest, LossesTooOftenStopTheRestartsUntilTheUserReloads)
{
    ShowPage();
    for (int loss = 1; loss <= 2; ++loss) {
        SCOPED_TRACE(loss);
        ASSERT_GE(WaitBack(KillEngine()), 0) << "the page did not come back";
    }
    // The third loss within a minute: no restart, the client is told.
    KillEngine();
    ASSERT_TRUE(PumpUntil([&] { return client->Has("LoadError"); }, kBackMs));
    EXPECT_EQ(client->Find("LoadError")->code, vxrt::kRecoveryAbandoned);
    EXPECT_FALSE(client->Has("LoadEnd"));
    PumpUntil([] { return false; }, 3000);
    EXPECT_EQ(EngineProcessCount(profile), 0) << "an engine was started after all";
    EXPECT_FALSE(host->closeReceived);
    // The user's reload tries again.
    client->events.clear();
    const DWORD at = GetTickCount();
    browser->Reload();
    const long ms = WaitBack(at);
    EXPECT_GE(ms, 0) << "the reload did not bring the page back";
    std::printf("reload after the engine was given up -> page shown again: %ld ms\n", ms);
}

}  // namespace
