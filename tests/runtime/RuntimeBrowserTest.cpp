// The runtime against a real headless engine: pages from a loopback server,
// events on the UI thread, pixels of the child window, input, closing, and
// no engine left behind.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>

#include "PageServerSuite.h"
#include "RuntimeTestSupport.h"
#include "runtime/engine/BrowserImpl.h"
#include "runtime/engine/BrowserWindow.h"
#include "runtime/engine/Runtime.h"

#include <tlhelp32.h>

using namespace vxtest;

namespace {

const DWORD kLoadMs = 30000;

// Processes of this program whose parent is pid (its sub-processes; the
// engine's shell guard is a child too, but a Linux one).
std::vector<DWORD> ChildProcesses(DWORD pid)
{
    wchar_t self[MAX_PATH];
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    const wchar_t* selfName = wcsrchr(self, L'\\') ? wcsrchr(self, L'\\') + 1 : self;
    std::vector<DWORD> out;
    HANDLE snap = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snap == INVALID_HANDLE_VALUE) return out;
    PROCESSENTRY32W e = {};
    e.dwSize = sizeof e;
    for (BOOL more = Process32FirstW(snap, &e); more; more = Process32NextW(snap, &e))
        if (e.th32ParentProcessID == pid && _wcsicmp(e.szExeFile, selfName) == 0) out.push_back(e.th32ProcessID);
    CloseHandle(snap);
    return out;
}

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
    // Takes the engine's own lossless picture as the reference until the
    // window has matched it (PSNR >= 48) or 15 s have passed. Taking it makes
    // the page paint once more, so the window is given settleMs to come to
    // rest again after each.
    void CompareWithEngine(CefRefPtr<CefBrowser> b, DWORD settleMs, bool* exact, double* best)
    {
        *best = 0;
        *exact = false;
        const DWORD start = GetTickCount();
        while (!*exact && GetTickCount() - start < 15000) {
            const Picture engine = EngineScreenshot(b);
            ASSERT_GT(engine.width, 0);
            *exact = PumpUntil(
                [&] {
                    *best = std::max(*best, Psnr(CaptureWindow(BrowserWindow()), engine));
                    return *best >= 48;
                },
                settleMs);
        }
    }

    // On the "/density" page at rest: its counter changing costs small
    // lossless pictures (when smallOnly; at other densities now and then a
    // picture of a part fails and the full-size stream shows the change,
    // which costs one whole picture more), and once it stops the window
    // shows the engine's picture exactly.
    void ExpectPicturesOfPartsThenTheExactPage(CefRefPtr<CefBrowser> b, bool smallOnly)
    {
        auto* impl = static_cast<vxrt::BrowserImpl*>(b.get());
        ASSERT_TRUE(PumpUntil([&] { return impl->Probing(); }, 10000));
        PumpUntil([] { return false; }, 1000);  // the probe's first, whole-page picture
        const unsigned shots = impl->ScreenshotCount();
        const unsigned long long pixels = impl->ScreenshotPixels();
        PumpUntil([] { return false; }, 3000);
        EXPECT_TRUE(impl->Probing());
        const unsigned taken = impl->ScreenshotCount() - shots;
        EXPECT_GE(taken, 2u) << "the counter changes every 700 ms";
        const double perPicture = static_cast<double>(impl->ScreenshotPixels() - pixels) / std::max(taken, 1u);
        std::printf("at rest, 3 s of a changing counter: %u pictures of %.0f pixels each\n", taken, perPicture);
        if (smallOnly) {
            EXPECT_LT(perPicture, 800.0 * 600 / 50);
        }
        b->GetMainFrame()->ExecuteJavaScript("clearInterval(counting)", "", 0);
        // The engine draws one picture at a time well: the reference is
        // taken once the last picture of a part has landed.
        PumpUntil([] { return false; }, 1500);
        double best;
        bool exact;
        CompareWithEngine(b, 1500, &exact, &best);
        if (HasFatalFailure()) return;
        EXPECT_TRUE(exact) << "best PSNR against the engine's lossless screenshot: " << best << " dB";
    }

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

TEST_F(RuntimeBrowserTest, AViewTheEngineLostIsAskedForAgain)
{
    // A renderer made for a new site can start from the engine's default
    // view instead of the window's size: the page is then laid out at that
    // size and stretched over the window. Its pictures tell, and the
    // window's size is asked for again.
    CefRefPtr<CefBrowser> b = Open("/size", {0, 0, 640, 480});
    ASSERT_TRUE(WaitTitle("w640h480"));
    auto* impl = static_cast<vxrt::BrowserImpl*>(b.get());
    vxrt::Runtime::Get()->DevTools().CallSync("Emulation.clearDeviceMetricsOverride", vxrt::Json::object(),
                                              impl->SessionId(), 5000);
    ASSERT_TRUE(PumpUntil([&] { return client->lastTitle != "w640h480"; }, 5000)) << "the view did not change";
    const std::string lost = client->lastTitle;
    EXPECT_TRUE(WaitTitle("w640h480", 5000)) << "the page stayed at the engine's view, " << lost;
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

TEST_F(RuntimeBrowserTest, ClosingWhileFramesStreamLeavesTheRuntimeWorking)
{
    // An animation keeps the screencast busy; each browser goes while its
    // frames are being painted.
    for (int round = 0; round < 3; ++round) {
        SCOPED_TRACE(round);
        host.reset(new HostWindow(820, 640));
        client = new RecordingClient;
        Open("/anim");
        ASSERT_TRUE(WaitFor("LoadEnd"));
        HWND w = BrowserWindow();
        // The red square has been painted somewhere along its path.
        ASSERT_TRUE(PumpUntil(
            [&] {
                for (int x = 20; x < 500; x += 40)
                    if (GetRValue(PixelOf(w, x, 60)) > 200 && GetGValue(PixelOf(w, x, 60)) < 60) return true;
                return false;
            },
            10000));
        if (round == 0)
            client->browser->GetHost()->CloseBrowser(true);
        else
            host.reset();  // the window goes under the painting thread
        EXPECT_TRUE(PumpUntil([&] { return client->Has("BeforeClose"); }, 10000));
        client->browser = nullptr;
    }
    host.reset(new HostWindow(820, 640));
    client = new RecordingClient;
    Open("/title");
    EXPECT_TRUE(WaitTitle("Hello Runtime"));
}

TEST_F(RuntimeBrowserTest, StillPageIsShownLosslessly)
{
    // Thin coloured text and Chinese: what the screencast's JPEG blurs.
    CefRefPtr<CefBrowser> b = Open("/colours");
    ASSERT_TRUE(WaitFor("LoadEnd"));
    double best;
    bool exact;
    CompareWithEngine(b, 3000, &exact, &best);
    if (HasFatalFailure()) return;
    EXPECT_TRUE(exact) << "best PSNR against the engine's lossless screenshot: " << best << " dB";
    std::printf("still page against the engine's lossless screenshot: %.1f dB\n", best);
    // At rest it stays at rest: the pictures it takes do not keep it busy.
    auto* impl = static_cast<vxrt::BrowserImpl*>(b.get());
    const unsigned shots = impl->ScreenshotCount();
    PumpUntil([] { return false; }, 1500);
    EXPECT_LE(impl->ScreenshotCount(), shots + 2);
}

TEST_F(RuntimeBrowserTest, AtRestTheCaretBlinksInTheWindowNotInTheEngine)
{
    // A focused field at rest: its caret is the window's system caret, so
    // the engine paints nothing and sends no picture while it blinks.
    CefRefPtr<CefBrowser> b = Open("/input");
    ASSERT_TRUE(WaitFor("LoadEnd"));
    HWND w = BrowserWindow();
    ASSERT_TRUE(PumpUntil(
        [&] {
            SetForegroundWindow(host->Handle());
            SetFocus(w);
            return GetFocus() == w;
        },
        5000));
    auto* impl = static_cast<vxrt::BrowserImpl*>(b.get());
    ASSERT_TRUE(PumpUntil([&] { return impl->Probing(); }, 10000));
    PumpUntil([] { return false; }, 1000);  // the probe's first, whole-page picture
    const unsigned shots = impl->ScreenshotCount();
    PumpUntil([] { return false; }, 3000);
    EXPECT_TRUE(impl->Probing());
    const unsigned taken = impl->ScreenshotCount() - shots;
    std::printf("at rest, 3 s of a focused field: %u pictures\n", taken);
    EXPECT_EQ(taken, 0u) << "the engine's caret must not blink";
    // The caret stands at the start of the empty 40-pixel field, its line
    // centred in the page-high field.
    POINT empty = {};
    ASSERT_TRUE(PumpUntil([&] { return GetCaretPos(&empty) && empty.y > 0; }, 5000));
    RECT rc;
    GetClientRect(w, &rc);
    EXPECT_LT(empty.x, 10);
    EXPECT_NEAR(empty.y, rc.bottom / 2 - 23, 8);
    // It follows the text typed.
    for (wchar_t ch : std::wstring(L"xx")) PostMessageW(w, WM_CHAR, ch, 1);
    EXPECT_TRUE(WaitTitle("v:xx"));
    POINT typed = {};
    EXPECT_TRUE(PumpUntil([&] { return GetCaretPos(&typed) && typed.x > empty.x + 30; }, 5000)) << typed.x;
    EXPECT_EQ(typed.y, empty.y);
    // What the window shows, the caret aside, is still the page, exactly.
    double best;
    bool exact;
    CompareWithEngine(b, 1500, &exact, &best);
    if (HasFatalFailure()) return;
    EXPECT_TRUE(exact) << "best PSNR against the engine's lossless screenshot: " << best << " dB";
    // Typing brings the full-size stream back at once; rest, the probe.
    PostMessageW(w, WM_CHAR, L'x', 1);
    EXPECT_TRUE(PumpUntil([&] { return !impl->Probing(); }, 2000));
    EXPECT_TRUE(WaitTitle("v:xxx"));
    EXPECT_TRUE(PumpUntil([&] { return impl->Probing(); }, 10000));
}

TEST_F(RuntimeBrowserTest, AtRestASmallChangeCostsOnlySmallPictures)
{
    // The probe finds where the page changed, and a lossless picture of a
    // few pixels, not of the page, is taken.
    CefRefPtr<CefBrowser> b = Open("/density");
    ASSERT_TRUE(WaitFor("LoadEnd"));
    ExpectPicturesOfPartsThenTheExactPage(b, true);
}

// The page on screens of 1.5 and 2 times the base density.
struct Density {
    int dpi;
    const char* metrics;  // the page's size in CSS pixels and its density, as it tells them
};

class DenseScreenTest : public RuntimeBrowserTest, public testing::WithParamInterface<Density> {
protected:
    void SetUp() override
    {
        vxrt::BrowserWindow::OverrideScreenDpi(GetParam().dpi);
        RuntimeBrowserTest::SetUp();
    }
    void TearDown() override
    {
        RuntimeBrowserTest::TearDown();
        vxrt::BrowserWindow::OverrideScreenDpi(0);
    }
};

TEST_P(DenseScreenTest, ThePageIsDrawnAtTheDensityAndInputLandsWhereItPoints)
{
    // 798 x 600 window pixels are whole CSS pixels at both densities.
    CefRefPtr<CefBrowser> b = Open("/density", {0, 0, 798, 600});
    ASSERT_TRUE(WaitTitle(GetParam().metrics)) << client->lastTitle;
    const double f = GetParam().dpi / 96.0;
    HWND w = BrowserWindow();
    // At rest, pictures of parts of the page land exactly at the density.
    ExpectPicturesOfPartsThenTheExactPage(b, false);
    if (HasFatalFailure()) return;
    // A press 1.4 CSS pixels inside the box's left edge hits it; read as
    // window pixels it would land well beside it. Pressed five times a
    // quarter of a second apart, while the runtime takes pictures of the
    // page's answers: each press lands, none while a picture is drawn.
    const LPARAM at = MAKELPARAM(static_cast<int>(101.4 * f), static_cast<int>(125 * f));
    for (int i = 0; i < 5; ++i) {
        PostMessageW(w, WM_MOUSEMOVE, 0, at);
        PostMessageW(w, WM_LBUTTONDOWN, MK_LBUTTON, at);
        PostMessageW(w, WM_LBUTTONUP, 0, at);
        PumpUntil([] { return false; }, 250);
    }
    EXPECT_TRUE(WaitTitle("hit5", 10000)) << client->lastTitle;
    // The engine draws the page at the density: its own picture has the
    // window's size in device pixels, not the page's in CSS pixels scaled up.
    const Picture engine = EngineScreenshot(b);
    EXPECT_EQ(engine.width, 798);
    EXPECT_EQ(engine.height, 600);
}

INSTANTIATE_TEST_SUITE_P(Densities, DenseScreenTest,
                         testing::Values(Density{144, "w532h400d1.5"}, Density{192, "w399h300d2"}),
                         [](const testing::TestParamInfo<Density>& info) { return std::to_string(info.param.dpi); });

TEST_F(RuntimeBrowserTest, SameDocumentNavigationChangesTheAddress)
{
    CefRefPtr<CefBrowser> b = Open("/fragment");
    ASSERT_TRUE(WaitFor("LoadEnd"));
    const struct {
        const char* script;
        std::string address;
    } cases[] = {
        {"document.getElementById('go').click()", server->Url("/fragment#part2")},
        {"history.pushState({}, '', '/pushed?x=1')", server->Url("/pushed?x=1")},
        {"history.replaceState({}, '', '/replaced')", server->Url("/replaced")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.script);
        client->events.clear();
        b->GetMainFrame()->ExecuteJavaScript(c.script, "", 0);
        EXPECT_TRUE(PumpUntil([&] { return client->lastAddress == c.address; }, 10000)) << client->lastAddress;
        EXPECT_EQ(b->GetMainFrame()->GetURL().ToString(), c.address);
        // The document stayed: no load began.
        EXPECT_FALSE(client->Has("LoadStart"));
    }
}

TEST_F(RuntimeBrowserTest, TheLoadedPageTakesTheKeyboardForItsAutofocusedField)
{
    // The host is the window the user works in: active, with the keyboard.
    ASSERT_TRUE(PumpUntil(
        [&] {
            SetForegroundWindow(host->Handle());
            SetFocus(host->Handle());
            return GetActiveWindow() == host->Handle() && GetFocus() == host->Handle();
        },
        5000));
    CefRefPtr<CefBrowser> b = Open("/input");
    ASSERT_TRUE(WaitFor("LoadEnd"));
    EXPECT_TRUE(PumpUntil([&] { return GetFocus() == BrowserWindow(); }, 5000));
    // The page focuses its field after the load has ended, at its next
    // rendering step; a person types once the caret shows.
    b->GetMainFrame()->ExecuteJavaScript(
        "(function w(){if(document.activeElement&&document.activeElement.id=='i')document.title='focused';"
        "else setTimeout(w,20)})()",
        "", 0);
    EXPECT_TRUE(WaitTitle("focused", 10000)) << client->lastTitle;
    // Typed at whatever has the keyboard, as a person's keys would be.
    for (wchar_t ch : std::wstring(L"ok")) PostMessageW(GetFocus(), WM_CHAR, ch, 1);
    EXPECT_TRUE(WaitTitle("v:ok", 10000)) << client->lastTitle;
}

TEST_F(RuntimeBrowserTest, AClickGivesTheBrowserTheKeyboard)
{
    Open("/input");
    ASSERT_TRUE(WaitFor("LoadEnd"));
    SetFocus(host->Handle());
    ASSERT_EQ(GetFocus(), host->Handle());
    HWND w = BrowserWindow();
    PostMessageW(w, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(50, 50));
    PostMessageW(w, WM_LBUTTONUP, 0, MAKELPARAM(50, 50));
    EXPECT_TRUE(PumpUntil([&] { return GetFocus() == w; }, 5000));
}

// Runs with no cache path: the engine's profile is private to the run.
class PrivateProfileTest : public PageServerSuite {
protected:
    static bool Contains(const std::vector<std::wstring>& folders, const std::wstring& f)
    {
        return std::find(folders.begin(), folders.end(), f) != folders.end();
    }
    // The one folder present now that was not before.
    // The private profile folder that the run of process `pid` made since
    // `before`: tests running beside this one make folders of their own.
    static std::wstring NewFolder(const std::vector<std::wstring>& before, DWORD pid = GetCurrentProcessId())
    {
        const std::wstring mark = std::wstring(L"\\") + vxrt::PrivateProfile::kPrefix + std::to_wstring(pid) + L"-";
        for (const auto& f : PrivateProfileFolders())
            if (!Contains(before, f) && f.find(mark) != std::wstring::npos) return f;
        return std::wstring();
    }
    // Runs one session on path and returns the page's title.
    std::string TitleOfARun(const std::string& path, std::wstring* folder = nullptr)
    {
        const std::vector<std::wstring> before = PrivateProfileFolders();
        RuntimeSession session(L"");
        EXPECT_TRUE(session.ok);
        std::wstring mine = NewFolder(before);
        if (folder) *folder = mine;
        HostWindow host(820, 640);
        CefRefPtr<RecordingClient> client = new RecordingClient;
        RECT rc = {0, 0, 800, 600};
        CreateBrowser(host.Handle(), rc, client.get(), server->Url(path));
        PumpUntil([&] { return client->Has("LoadEnd"); }, 30000);
        PumpUntil([&] { return !client->lastTitle.empty(); }, 5000);
        if (client->browser) client->browser->GetHost()->CloseBrowser(true);
        PumpUntil([&] { return client->Has("BeforeClose"); }, 5000);
        client->browser = nullptr;
        return client->lastTitle;
    }
};

TEST_F(PrivateProfileTest, NothingOfARunPersists)
{
    std::wstring folder;
    EXPECT_EQ(TitleOfARun("/cookie-set", &folder), "set");
    ASSERT_FALSE(folder.empty());
    // Gone with its run.
    EXPECT_EQ(GetFileAttributesW(folder.c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(TitleOfARun("/cookie-get"), "cookie:");
}

TEST_F(PrivateProfileTest, TheNextStartRemovesAKilledRunsProfile)
{
    const std::vector<std::wstring> before = PrivateProfileFolders();
    wchar_t exe[MAX_PATH];
    GetModuleFileNameW(nullptr, exe, MAX_PATH);
    std::wstring cmd = std::wstring(L"\"") + exe + L"\" --vxrt-child=hold --vxrt-profile= --vxrt-url=" +
                       CefString(server->Url("/title")).ToWString();
    std::vector<wchar_t> buf(cmd.begin(), cmd.end());
    buf.push_back(0);
    STARTUPINFOW si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    ASSERT_TRUE(CreateProcessW(exe, buf.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi));
    CloseHandle(pi.hThread);
    std::wstring folder;
    std::vector<DWORD> children;
    const bool started = PumpUntil(
        [&] {
            folder = NewFolder(before, pi.dwProcessId);
            children = ChildProcesses(pi.dwProcessId);
            return !folder.empty() && EngineProcessCount(folder) > 0 && !children.empty();
        },
        30000);
    std::vector<HANDLE> watchdogs;
    for (DWORD pid : children)
        if (HANDLE h = OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE, FALSE, pid)) watchdogs.push_back(h);
    struct EndWatchdogs {
        std::vector<HANDLE>& handles;
        ~EndWatchdogs()
        {
            for (HANDLE h : handles) {
                WaitForSingleObject(h, 15000);
                TerminateProcess(h, 9);
                CloseHandle(h);
            }
        }
    } endWatchdogs{watchdogs};
    TerminateProcess(pi.hProcess, 9);
    WaitForSingleObject(pi.hProcess, 5000);
    CloseHandle(pi.hProcess);
    ASSERT_TRUE(started);
    ASSERT_TRUE(PumpUntil([&] { return EngineProcessCount(folder) == 0; }, 15000));
    // The killed run could not clean up after itself.
    ASSERT_NE(GetFileAttributesW(folder.c_str()), INVALID_FILE_ATTRIBUTES);
    // The run is over once its helper has finished ending the engine too (on
    // a loaded machine that can come after the engine's processes are gone,
    // while the profile's files are still being let go).
    for (HANDLE h : watchdogs) WaitForSingleObject(h, 15000);
    // ... and once nothing of it names the folder any more: the engine's
    // guard shell and any helper the engine started on its own (they are
    // not counted as the engine) may still be writing into it.
    const std::string unixFolder = UnixPath(folder);
    PumpUntil(
        [&] {
            bool named = false;
            ForEachLinuxProcess([&](int, const std::string& text) {
                named = named || text.find(unixFolder) != std::string::npos;
                return !named;
            });
            return !named;
        },
        15000);
    RuntimeSession next(L"");
    ASSERT_TRUE(next.ok);
    // The next start removes it; a start in a test running beside this one
    // may have begun removing it first, and finishes meanwhile.
    EXPECT_TRUE(PumpUntil([&] { return GetFileAttributesW(folder.c_str()) == INVALID_FILE_ATTRIBUTES; }, 10000));
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
    // Killed once its engine runs and its watchdog (a child of its own) is
    // up, the state in which a real program would be killed.
    std::vector<HANDLE> watchdogs;
    int engines = 0;
    bool started = PumpUntil(
        [&] {
            engines = EngineProcessCount(profile);
            if (engines <= 0) return false;
            for (DWORD pid : ChildProcesses(pi.dwProcessId))
                if (HANDLE h = OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE, FALSE, pid)) watchdogs.push_back(h);
            return !watchdogs.empty();
        },
        30000);
    TerminateProcess(pi.hProcess, 9);
    WaitForSingleObject(pi.hProcess, 5000);
    CloseHandle(pi.hProcess);
    EXPECT_TRUE(started) << engines << " engine processes, no watchdog seen";
    EXPECT_TRUE(PumpUntil([&] { return EngineProcessCount(profile) == 0; }, 15000))
        << EngineProcessCount(profile) << " engine processes left";
    // The watchdog ends too, once its engine has gone.
    // Its own deadlines add up to about 11 s (its poll, the engine's answer,
    // its closing); a loaded machine starts and ends processes slowly.
    for (HANDLE h : watchdogs) {
        EXPECT_TRUE(PumpUntil([&] { return WaitForSingleObject(h, 0) == WAIT_OBJECT_0; }, 30000));
        TerminateProcess(h, 9);  // never left behind by the test, whatever the outcome
        CloseHandle(h);
    }
}

}  // namespace
