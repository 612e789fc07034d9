// The runtime against a real headless engine: pages from a loopback server,
// events on the UI thread, pixels of the child window, input, closing, and
// no engine left behind.
#include <gtest/gtest.h>

#include "PageServerSuite.h"
#include "RuntimeTestSupport.h"

using namespace vxtest;

namespace {

const DWORD kLoadMs = 30000;

class RuntimeBrowserTest : public PageServerSuite {
protected:
    void SetUp() override
    {
        profile = UniqueTempDir(L"vxrt-profile");
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
        // No engine of this run survives it.
        EXPECT_TRUE(PumpUntil([&] { return EngineProcessCount(profile) == 0; }, 10000));
    }
    CefRefPtr<CefBrowser> Open(const std::string& path, RECT rc = {0, 0, 800, 600})
    {
        CefRefPtr<CefBrowser> b = CreateBrowser(host->Handle(), rc, client.get(), server->Url(path));
        EXPECT_TRUE(b.get() != nullptr);
        return b;
    }
    bool WaitFor(const std::string& event, bool main = true, DWORD ms = kLoadMs)
    {
        return PumpUntil([&] { return client->Has(event, main); }, ms);
    }
    bool WaitTitle(const std::string& title, DWORD ms = kLoadMs)
    {
        return PumpUntil([&] { return client->lastTitle == title; }, ms);
    }
    HWND BrowserWindow() { return client->browser ? client->browser->GetHost()->GetWindowHandle() : nullptr; }

    std::wstring profile;
    std::unique_ptr<RuntimeSession> session;
    std::unique_ptr<HostWindow> host;
    CefRefPtr<RecordingClient> client;
};

TEST_F(RuntimeBrowserTest, LoadReportsStartEndAndTitleOnTheUiThread)
{
    CefRefPtr<CefBrowser> b = Open("/title");
    ASSERT_TRUE(client->Has("AfterCreated"));
    EXPECT_EQ(client->events.front().name, "AfterCreated");
    ASSERT_TRUE(WaitFor("LoadEnd"));
    ASSERT_TRUE(WaitTitle("Hello Runtime"));
    EXPECT_LT(client->IndexOf("LoadStart"), client->IndexOf("LoadEnd"));
    EXPECT_EQ(client->Find("LoadEnd")->code, 200);
    for (const auto& e : client->events) EXPECT_TRUE(e.onUiThread) << e.name;
    EXPECT_TRUE(IsChild(host->Handle(), b->GetHost()->GetWindowHandle()));
}

TEST_F(RuntimeBrowserTest, StatusAndErrorsOfMainFrameLoads)
{
    struct Case {
        const char* url;
        const char* event;
        int code;
    };
    // A port that was free a moment ago has no listener: refused.
    std::string refused = "http://127.0.0.1:" + std::to_string(FreePort()) + "/";
    const Case cases[] = {
        {"/missing", "LoadEnd", 404},
        {refused.c_str(), "LoadError", ERR_CONNECTION_REFUSED},
        {"http://nonexistent.invalid/", "LoadError", ERR_NAME_NOT_RESOLVED},
    };
    Open("about:blank");
    for (const Case& c : cases) {
        client->events.clear();
        std::string url = c.url[0] == '/' ? server->Url(c.url) : c.url;
        client->browser->GetMainFrame()->LoadURL(CefString(url));
        ASSERT_TRUE(WaitFor(c.event)) << c.url;
        EXPECT_EQ(client->Find(c.event)->code, c.code) << c.url;
        if (std::string(c.event) == "LoadError") {
            EXPECT_NE(client->Find(c.event)->text.find(url), std::string::npos) << client->Find(c.event)->text;
        }
    }
}

TEST_F(RuntimeBrowserTest, SubFrameLoadsAreNotMain)
{
    Open("/iframe");
    ASSERT_TRUE(WaitFor("LoadEnd", true));
    ASSERT_TRUE(WaitFor("LoadEnd", false, 5000));
    EXPECT_EQ(client->Find("LoadEnd", false)->code, 200);
    EXPECT_TRUE(client->Has("LoadStart", false));
}

TEST_F(RuntimeBrowserTest, OneColourPageShowsInTheWindowPixels)
{
    Open("/solid/3366cc");
    ASSERT_TRUE(WaitFor("LoadEnd"));
    HWND w = BrowserWindow();
    COLORREF want = RGB(0x33, 0x66, 0xcc);
    auto close = [](COLORREF a, COLORREF b) {
        return abs(GetRValue(a) - GetRValue(b)) <= 6 && abs(GetGValue(a) - GetGValue(b)) <= 6 &&
               abs(GetBValue(a) - GetBValue(b)) <= 6;
    };
    EXPECT_TRUE(PumpUntil([&] { return close(PixelOf(w, 400, 300), want) && close(PixelOf(w, 5, 5), want); }, 10000))
        << std::hex << PixelOf(w, 400, 300);
}

TEST_F(RuntimeBrowserTest, ViewportFollowsMoveWindow)
{
    Open("/size");
    ASSERT_TRUE(WaitTitle("w800h600"));
    MoveWindow(BrowserWindow(), 0, 0, 500, 300, TRUE);
    EXPECT_TRUE(WaitTitle("w500h300", 10000)) << client->lastTitle;
}

TEST_F(RuntimeBrowserTest, ClickOnALinkNavigates)
{
    Open("/link");
    ASSERT_TRUE(WaitFor("LoadEnd"));
    client->events.clear();
    HWND w = BrowserWindow();
    PostMessageW(w, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(100, 100));
    PostMessageW(w, WM_LBUTTONUP, 0, MAKELPARAM(100, 100));
    EXPECT_TRUE(WaitTitle("Hello Runtime", 10000));
    EXPECT_TRUE(client->Has("LoadStart"));
}

TEST_F(RuntimeBrowserTest, HistoryStartsAtTheFirstPageNotTheBlankOne)
{
    Open("/link");
    ASSERT_TRUE(WaitFor("LoadEnd"));
    ASSERT_TRUE(client->browser.get() != nullptr);
    EXPECT_FALSE(client->browser->CanGoBack());
    HWND w = BrowserWindow();
    PostMessageW(w, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(100, 100));
    PostMessageW(w, WM_LBUTTONUP, 0, MAKELPARAM(100, 100));
    ASSERT_TRUE(WaitTitle("Hello Runtime", 10000));
    EXPECT_TRUE(client->browser->CanGoBack());
    EXPECT_FALSE(client->browser->CanGoForward());
}

TEST_F(RuntimeBrowserTest, TypedTextReachesAnInputField)
{
    Open("/input");
    ASSERT_TRUE(WaitFor("LoadEnd"));
    HWND w = BrowserWindow();
    PostMessageW(w, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(50, 50));
    PostMessageW(w, WM_LBUTTONUP, 0, MAKELPARAM(50, 50));
    const wchar_t text[] = L"ab\x4e2d\x6587";  // "ab" and two Chinese characters
    for (const wchar_t* p = text; *p; ++p) PostMessageW(w, *p < 0x80 ? WM_CHAR : WM_IME_CHAR, *p, 1);
    EXPECT_TRUE(WaitTitle("v:ab\xe4\xb8\xad\xe6\x96\x87", 10000)) << client->lastTitle;
}

TEST_F(RuntimeBrowserTest, CloseRunsUnloadHandlersThenClosesTheTopLevelWindow)
{
    Open("/unload");
    ASSERT_TRUE(WaitFor("LoadEnd"));
    std::string before = server->Get("/beacons");
    client->browser->GetHost()->CloseBrowser(false);
    ASSERT_TRUE(PumpUntil([&] { return host->closeReceived; }, 15000));
    EXPECT_TRUE(PumpUntil([&] { return client->Has("BeforeClose"); }, 5000));
    EXPECT_LT(client->IndexOf("DoClose"), client->IndexOf("BeforeClose"));
    EXPECT_TRUE(PumpUntil([&] { return server->Get("/beacons") != before; }, 5000));
}

TEST_F(RuntimeBrowserTest, CookiesPersistAcrossRuns)
{
    Open("/cookie-set");
    ASSERT_TRUE(WaitFor("LoadEnd"));
    client->browser->GetHost()->CloseBrowser(true);
    PumpUntil([&] { return client->Has("BeforeClose") || !host->Handle(); }, 5000);
    host.reset();
    client->browser = nullptr;
    session.reset();
    ASSERT_TRUE(PumpUntil([&] { return EngineProcessCount(profile) == 0; }, 10000));

    session.reset(new RuntimeSession(profile));
    ASSERT_TRUE(session->ok);
    host.reset(new HostWindow(820, 640));
    client = new RecordingClient;
    Open("/cookie-get");
    EXPECT_TRUE(WaitTitle("cookie:vxrt=kept")) << client->lastTitle;
}

TEST(RuntimeProcessTest, KilledProgramLeavesNoEngine)
{
    PageServer server;
    ASSERT_TRUE(server.Start());
    std::wstring profile = UniqueTempDir(L"vxrt-killed");
    wchar_t exe[MAX_PATH];
    GetModuleFileNameW(nullptr, exe, MAX_PATH);
    std::wstring cmd = std::wstring(L"\"") + exe + L"\" --vxrt-child=hold --vxrt-profile=" + profile + L" --vxrt-url=" +
                       CefString(server.Url("/title")).ToWString();
    std::vector<wchar_t> buf(cmd.begin(), cmd.end());
    buf.push_back(0);
    STARTUPINFOW si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    ASSERT_TRUE(CreateProcessW(exe, buf.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi));
    CloseHandle(pi.hThread);
    bool started = PumpUntil([&] { return EngineProcessCount(profile) > 0; }, 30000);
    Sleep(1000);
    TerminateProcess(pi.hProcess, 9);
    WaitForSingleObject(pi.hProcess, 5000);
    CloseHandle(pi.hProcess);
    ASSERT_TRUE(started);
    EXPECT_TRUE(PumpUntil([&] { return EngineProcessCount(profile) == 0; }, 15000))
        << EngineProcessCount(profile) << " engine processes left";
}

}  // namespace
