// What the runtime reports about a real page beyond loads: the script
// contexts handed to the render-process handler, and the cursor the page
// asks for under the mouse.
#include <gtest/gtest.h>

#include "PageServerSuite.h"
#include "RuntimeTestSupport.h"

using namespace vxtest;

namespace {

const DWORD kLoadMs = 30000;

// Notes every script context it is given, entering and leaving it as the
// application object does.
class ContextRecorder : public CefApp, public CefRenderProcessHandler {
public:
    struct Seen {
        bool isMain = false;
        bool onUiThread = false;
        bool entered = false, insideAfterEnter = false, exited = false, outsideAfterExit = false;
        bool contextKnowsFrame = false;
        int browserId = 0;
        CefRefPtr<CefV8Context> context;
    };

    CefRefPtr<CefRenderProcessHandler> GetRenderProcessHandler() override { return this; }
    void OnContextCreated(CefRefPtr<CefBrowser> browser, CefRefPtr<CefFrame> frame,
                          CefRefPtr<CefV8Context> context) override
    {
        Seen s;
        s.isMain = frame->IsMain();
        s.onUiThread = GetCurrentThreadId() == uiThread;
        s.browserId = browser->GetIdentifier();
        s.contextKnowsFrame = context->GetFrame() &&
                              context->GetFrame()->GetIdentifierString() == frame->GetIdentifierString() &&
                              context->GetBrowser() && context->GetBrowser()->IsSame(browser);
        s.entered = context->Enter();
        s.insideAfterEnter = CefV8Context::InContext();
        s.exited = context->Exit();
        s.outsideAfterExit = !CefV8Context::InContext();
        s.context = context;
        seen.push_back(s);
    }
    int Count(bool main) const
    {
        int n = 0;
        for (const auto& s : seen) n += s.isMain == main;
        return n;
    }

    DWORD uiThread = GetCurrentThreadId();
    std::vector<Seen> seen;

    IMPLEMENT_REFCOUNTING(ContextRecorder);
};

class RuntimePageHooksTest : public PageServerSuite {
protected:
    void SetUp() override
    {
        profile = UniqueTempDir(L"vxrt-hooks");
        app = new ContextRecorder;
        session.reset(new RuntimeSession(profile, app.get()));
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
        app = nullptr;
        EXPECT_TRUE(PumpUntil([&] { return EngineProcessCount(profile) == 0; }, 10000));
    }
    HWND Open(const std::string& path)
    {
        RECT rc = {0, 0, 800, 600};
        CefRefPtr<CefBrowser> b = CreateBrowser(host->Handle(), rc, client.get(), server->Url(path));
        EXPECT_TRUE(b.get() != nullptr);
        return b ? b->GetHost()->GetWindowHandle() : nullptr;
    }
    // Lets late callbacks arrive, so that a duplicate would be seen.
    static void Settle(DWORD ms)
    {
        PumpUntil([] { return false; }, ms);
    }

    std::wstring profile;
    CefRefPtr<ContextRecorder> app;
    std::unique_ptr<RuntimeSession> session;
    std::unique_ptr<HostWindow> host;
    CefRefPtr<RecordingClient> client;
};

TEST_F(RuntimePageHooksTest, EachLoadAndReloadGivesOneContextPerFrame)
{
    struct Case {
        const char* path;
        int mainContexts, subContexts;
    };
    const Case cases[] = {
        {"/title", 1, 0}, {"/iframe", 1, 1},  // the frame inside has its own
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        host.reset(new HostWindow(820, 640));
        client = new RecordingClient;
        app->seen.clear();
        Open(c.path);
        ASSERT_TRUE(PumpUntil(
            [&] {
                return app->Count(true) >= c.mainContexts && app->Count(false) >= c.subContexts &&
                       client->Has("LoadEnd");
            },
            kLoadMs));
        Settle(500);
        EXPECT_EQ(app->Count(true), c.mainContexts);
        EXPECT_EQ(app->Count(false), c.subContexts);

        // A reload makes new contexts, not the old ones again.
        std::vector<CefRefPtr<CefV8Context>> before;
        for (const auto& s : app->seen) before.push_back(s.context);
        client->events.clear();
        client->browser->Reload();
        ASSERT_TRUE(PumpUntil(
            [&] {
                return app->Count(true) >= 2 * c.mainContexts && app->Count(false) >= 2 * c.subContexts &&
                       client->Has("LoadEnd");
            },
            kLoadMs));
        Settle(500);
        EXPECT_EQ(app->Count(true), 2 * c.mainContexts);
        EXPECT_EQ(app->Count(false), 2 * c.subContexts);
        for (size_t i = before.size(); i < app->seen.size(); ++i)
            for (const auto& old : before) EXPECT_FALSE(app->seen[i].context->IsSame(old));

        for (const auto& s : app->seen) {
            EXPECT_TRUE(s.onUiThread);
            EXPECT_EQ(s.browserId, client->browser->GetIdentifier());
            EXPECT_TRUE(s.contextKnowsFrame);
            EXPECT_TRUE(s.entered && s.insideAfterEnter);
            EXPECT_TRUE(s.exited && s.outsideAfterExit);
        }
        // Entering and leaving balance: a second Exit is refused.
        EXPECT_FALSE(app->seen.back().context->Exit());
        client->browser->GetHost()->CloseBrowser(true);
        PumpUntil([&] { return client->Has("BeforeClose") || !host->Handle(); }, 5000);
        client->browser = nullptr;
    }
}

// The cursor the window would show now for a pointer in its client area.
HCURSOR CursorShownBy(HWND w)
{
    SendMessageW(w, WM_SETCURSOR, reinterpret_cast<WPARAM>(w), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    return GetCursor();
}

bool WaitCursor(HWND w, LPCWSTR id, DWORD ms)
{
    HCURSOR want = LoadCursorW(nullptr, id);
    return PumpUntil([&] { return CursorShownBy(w) == want; }, ms);
}

const char* CursorName(HCURSOR c)
{
    static const struct {
        LPCWSTR id;
        const char* name;
    } names[] = {{IDC_ARROW, "arrow"}, {IDC_HAND, "hand"}, {IDC_IBEAM, "ibeam"}, {IDC_CROSS, "cross"}};
    for (const auto& n : names)
        if (LoadCursorW(nullptr, n.id) == c) return n.name;
    return "other";
}

// The page (tests/runtime/page_server.py "/cursor") has 150 px bands: a
// link, a line of text, a crosshair area, then nothing.
TEST_F(RuntimePageHooksTest, CursorFollowsWhatIsUnderTheMouse)
{
    HWND w = Open("/cursor");
    ASSERT_TRUE(PumpUntil([&] { return client->Has("LoadEnd"); }, kLoadMs));
    struct Case {
        int x, y;
        LPCWSTR cursor;
        const char* what;
    };
    // Each step changes the cursor, so a stale one cannot pass.
    const Case cases[] = {
        {100, 75, IDC_HAND, "link"},
        {30, 172, IDC_IBEAM, "text"},
        {700, 172, IDC_ARROW, "beside the text"},
        {100, 375, IDC_CROSS, "cursor style"},
        {100, 525, IDC_ARROW, "empty page"},
        {30, 172, IDC_IBEAM, "text again"},
    };
    for (const Case& c : cases) {
        PostMessageW(w, WM_MOUSEMOVE, 0, MAKELPARAM(c.x, c.y));
        EXPECT_TRUE(WaitCursor(w, c.cursor, 5000)) << c.what << ": " << CursorName(CursorShownBy(w));
    }
}

TEST_F(RuntimePageHooksTest, CursorSettlesOnTheLastOfQuickMoves)
{
    HWND w = Open("/cursor");
    ASSERT_TRUE(PumpUntil([&] { return client->Has("LoadEnd"); }, kLoadMs));
    PostMessageW(w, WM_MOUSEMOVE, 0, MAKELPARAM(100, 375));
    ASSERT_TRUE(WaitCursor(w, IDC_CROSS, 5000));
    // Across the link and onto the text faster than the page is asked, then
    // still: the cursor is the text's, not the link's.
    PostMessageW(w, WM_MOUSEMOVE, 0, MAKELPARAM(100, 75));
    PostMessageW(w, WM_MOUSEMOVE, 0, MAKELPARAM(30, 172));
    EXPECT_TRUE(WaitCursor(w, IDC_IBEAM, 5000)) << CursorName(CursorShownBy(w));
    Settle(500);
    EXPECT_EQ(CursorShownBy(w), LoadCursorW(nullptr, IDC_IBEAM)) << CursorName(CursorShownBy(w));
}

}  // namespace
