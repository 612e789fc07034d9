// What the hosting window hears from the handler about a real page: loads
// and errors of the main frame only, titles, pop-up requests it decides, and
// the browser handed to the control.
#include "BrowserHostFixture.h"

using namespace vxtest;

namespace {

class HandlerPageEventsTest : public BrowserHostTest {};

TEST_F(HandlerPageEventsTest, MainFrameLoadsAndTitlesReachTheWindowWithHandlerAndTag)
{
    // The page's frames load a page and fail to connect: neither is reported.
    Open("/frames");
    ASSERT_TRUE(PumpUntil([&] { return recorder.Count("title") > 0; }, 10000));
    PumpUntil([] { return false; }, 1500);
    EXPECT_TRUE(spy->Saw("end", false));
    EXPECT_TRUE(spy->Saw("error", false));
    EXPECT_EQ(recorder.Count("start"), 1);
    EXPECT_EQ(recorder.Count("end"), 1);
    EXPECT_EQ(recorder.Count("error"), 0);
    EXPECT_TRUE(recorder.Last("end")->hasArgument);
    EXPECT_EQ(recorder.Last("title")->text, L"frames");
    for (const HostRecorder::Call& c : recorder.calls) {
        SCOPED_TRACE(c.op);
        EXPECT_EQ(c.handler, handler.get());
        EXPECT_EQ(c.tag, kTag);
    }
    EXPECT_EQ(recorder.calls.front().op, "start");
}

TEST_F(HandlerPageEventsTest, FailedLoadsAreReportedButAbortedOnesAreNot)
{
    Open("/title");
    // Stopped while waiting for the server: aborted.
    Load(server->Url("/hang"));
    ASSERT_TRUE(PumpUntil([&] { return recorder.Count("start") >= 2 || Browser()->IsLoading(); }, 10000));
    Browser()->StopLoad();
    ASSERT_TRUE(PumpUntil([&] { return spy->Saw("error", true, ERR_ABORTED); }, 10000));
    EXPECT_EQ(recorder.Count("error"), 0);
    // Nobody listens on this port: a real error, of the main frame.
    Load("http://127.0.0.1:" + std::to_string(FreePort()) + "/");
    ASSERT_TRUE(PumpUntil([&] { return recorder.Count("error") > 0; }, 30000));
    EXPECT_TRUE(recorder.Last("error")->frameIsMain);
    EXPECT_EQ(recorder.Last("error")->tag, kTag);
}

TEST_F(HandlerPageEventsTest, PopupsAreDecidedByTheWindow)
{
    struct Case {
        const char* what;
        bool hasWindow;
        bool refuse;
        int topLevelBrowsers;  // opened by the request
    };
    const Case cases[] = {
        {"window refuses", true, true, 0},
        {"no window registered", false, true, 0},
        {"window allows", true, false, 1},
    };
    Open("/popups");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        handler->SetLoadCallback(c.hasWindow ? &recorder : nullptr, kTag);
        recorder.refusePopups = c.refuse;
        int asked = recorder.Count("popup");
        // The green block runs window.open('/opened', 'winname').
        Post(WM_LBUTTONDOWN, MK_LBUTTON, 100, 50);
        Post(WM_LBUTTONUP, 0, 100, 50);
        if (c.topLevelBrowsers)
            EXPECT_TRUE(PumpUntil([] { return FindOwnTopLevel(L"CefBrowserWindow") != nullptr; }, 30000));
        else
            PumpUntil([] { return false; }, 3000);
        EXPECT_EQ(FindOwnTopLevel(L"CefBrowserWindow") != nullptr, c.topLevelBrowsers > 0);
        EXPECT_EQ(recorder.Count("popup"), asked + (c.hasWindow ? 1 : 0));
        if (c.hasWindow) {
            EXPECT_TRUE(recorder.Last("popup")->hasArgument);
            EXPECT_EQ(CefString(recorder.Last("popup")->text).ToString(), server->Url("/opened"));
        }
        // The control keeps the browser it created, whatever was opened.
        ASSERT_EQ(recorder.browsers.size(), 1u);
        EXPECT_EQ(GetParent(View()), host->Handle());
    }
}

TEST_F(HandlerPageEventsTest, ADetachedHandlerReportsNothingMore)
{
    Open("/title");
    size_t heard = recorder.calls.size();
    handler->Detach();
    Load(server->Url("/second"));
    ASSERT_TRUE(PumpUntil(
        [&] {
            return !Browser()->IsLoading() && Browser()->GetMainFrame()->GetURL().ToString() == server->Url("/second");
        },
        30000));
    PumpUntil([] { return false; }, 500);
    EXPECT_EQ(recorder.calls.size(), heard);
}

TEST(CCefAppExTest, HandsOutItselfForEachProcessRole)
{
    CefRefPtr<CCefAppEx> app = new CCefAppEx;
    EXPECT_EQ(app->GetRefCt(), 1);
    {
        CefRefPtr<CefBrowserProcessHandler> browserSide = app->GetBrowserProcessHandler();
        CefRefPtr<CefRenderProcessHandler> renderSide = app->GetRenderProcessHandler();
        CefRefPtr<CefLoadHandler> loads = renderSide->GetLoadHandler();
        EXPECT_EQ(browserSide.get(), static_cast<CefBrowserProcessHandler*>(app.get()));
        EXPECT_EQ(renderSide.get(), static_cast<CefRenderProcessHandler*>(app.get()));
        EXPECT_EQ(loads.get(), static_cast<CefLoadHandler*>(app.get()));
        EXPECT_EQ(app->GetRefCt(), 4);
    }
    EXPECT_EQ(app->GetRefCt(), 1);
}

// Every page above ran with the program's application object; its script
// contexts must be left as they were entered.
TEST_F(HandlerPageEventsTest, ScriptContextsAreLeftBalanced)
{
    Open("/frames");
    EXPECT_FALSE(CefV8Context::InContext());
}

}  // namespace
