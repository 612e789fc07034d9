// Pop-ups against a real engine: every way a page asks for a new window
// reaches the client once; a cancelled one leaves nothing behind, an
// allowed one becomes a top-level browser of its own.
#include "ShellBrowserFixture.h"

using namespace vxtest;

namespace {

class PopupTest : public ShellBrowserTest {};

TEST_F(PopupTest, EachRequestReachesTheClientOnceAndCancelledOnesLeaveNothing)
{
    struct Case {
        const char* what;
        UINT down, up;
        WPARAM keys;
        int x, y;
        bool ctrl;
        const char* url;
        const char* name;
    };
    const Case cases[] = {
        {"window.open", WM_LBUTTONDOWN, WM_LBUTTONUP, MK_LBUTTON, 100, 50, false, "/opened", "winname"},
        {"target=_blank link", WM_LBUTTONDOWN, WM_LBUTTONUP, MK_LBUTTON, 100, 150, false, "/blanktarget", ""},
        {"middle click", WM_MBUTTONDOWN, WM_MBUTTONUP, MK_MBUTTON, 100, 250, false, "/plaintarget", ""},
        {"Ctrl click", WM_LBUTTONDOWN, WM_LBUTTONUP, MK_LBUTTON, 100, 250, true, "/plaintarget", ""},
    };
    Open("/popups");
    int pagesBefore = PageTargetCount();
    ASSERT_GE(pagesBefore, 1);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        size_t before = client->popups.size();
        // The window reads modifiers from this thread's key state.
        BYTE keys[256];
        GetKeyboardState(keys);
        keys[VK_CONTROL] = c.ctrl ? 0x80 : 0;
        SetKeyboardState(keys);
        Post(c.down, c.keys, c.x, c.y);
        Post(c.up, 0, c.x, c.y);
        bool offered = Pump([&] { return client->popups.size() > before; });
        keys[VK_CONTROL] = 0;
        SetKeyboardState(keys);
        ASSERT_TRUE(offered);
        // Nothing more comes for the same request.
        Pump([] { return false; }, 1500);
        ASSERT_EQ(client->popups.size(), before + 1);
        EXPECT_EQ(client->popups.back().first, server->Url(c.url));
        EXPECT_EQ(client->popups.back().second, c.name);
        EXPECT_TRUE(Pump([&] { return PageTargetCount() == pagesBefore; }, 10000));
        EXPECT_EQ(TopLevelBrowserWindows(), 0);
        EXPECT_EQ(client->browsers.size(), 1u);
    }
    // The opener stayed where it was.
    EXPECT_EQ(client->loadEnds.size(), 1u);
}

TEST_F(PopupTest, AllowedPopupOpensATopLevelBrowserOfItsOwn)
{
    client->cancelPopups = false;
    Open("/popups");
    LeftClick(100, 50);
    ASSERT_TRUE(Pump([&] { return client->browsers.size() == 2; }));
    CefRefPtr<CefBrowser> popup = client->browsers[1];
    HWND w = popup->GetHost()->GetWindowHandle();
    EXPECT_TRUE(GetParent(w) == nullptr && IsWindowVisible(w));
    EXPECT_TRUE(Pump([&] {
        for (const auto& u : client->loadEnds)
            if (u == server->Url("/opened")) return true;
        return false;
    }));
    // Only the runtime's own page for it remains, not the engine's.
    EXPECT_TRUE(Pump([&] { return PageTargetCount() == 2; }, 10000));
    EXPECT_EQ(client->popups.size(), 1u);
    // Closing the pop-up's window closes its browser.
    PostMessageW(w, WM_CLOSE, 0, 0);
    EXPECT_TRUE(Pump([&] { return client->closed == 1; }));
    EXPECT_TRUE(Pump([&] { return PageTargetCount() == 1; }, 10000));
}

}  // namespace
