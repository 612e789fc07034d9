// The browser host control in a real window with a paint manager: its
// browser window follows the control's rectangle through layout and window
// resizing, hides and shows with the tab page that holds it, closes on
// request; and without an engine the control is an empty control.
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>

#include "BrowserPages.h"
#include "browser/CefWebkitUI.h"
#include "tests/ui/controls/TestWindow.h"
#include "ui/controls/TabLayoutUI.h"
#include "ui/controls/VerticalLayoutUI.h"

using namespace Vornex;

using namespace SkinUI;
using Test::TestWindow;

namespace {

// Title bar, a tab layout whose second page holds the browser control under
// a strip of its own, and a status bar: the main window's shape.
struct HostTree {
    explicit HostTree(const std::string& url)
    {
        root = new CVerticalLayoutUI;
        root->Add(Make(new CControlUI, L"height=\"40\" bkcolor=\"#FF202020\""));
        tabs = new CTabLayoutUI;
        root->Add(tabs);
        tabs->Add(Make(new CControlUI, L"bkcolor=\"#FF00A0FF\""));
        CVerticalLayoutUI* page = new CVerticalLayoutUI;
        page->Add(Make(new CControlUI, L"height=\"20\""));
        web = new CCefWebkitUI;
        web->SetAttribute(L"url", CefString(url).c_str());
        page->Add(web);
        tabs->Add(page);
        root->Add(Make(new CControlUI, L"height=\"30\" bkcolor=\"#FF808080\""));
    }
    static CControlUI* Make(CControlUI* c, LPCTSTR attributes)
    {
        c->ApplyAttributeList(attributes);
        return c;
    }
    CVerticalLayoutUI* root;
    CTabLayoutUI* tabs;
    CCefWebkitUI* web;
};

// The browser window's rectangle in its parent's client coordinates.
RECT PlaceOf(HWND child)
{
    RECT rc = {};
    ::GetWindowRect(child, &rc);
    ::MapWindowPoints(HWND_DESKTOP, ::GetParent(child), reinterpret_cast<POINT*>(&rc), 2);
    return rc;
}

bool Same(const RECT& a, const RECT& b) { return ::EqualRect(&a, &b) != FALSE; }

// The page arrives as compressed frames: each channel within a few steps.
bool Near(DWORD colour, DWORD expected)
{
    for (int shift = 0; shift < 24; shift += 8)
        if (std::abs(static_cast<int>((colour >> shift) & 0xFF) - static_cast<int>((expected >> shift) & 0xFF)) > 12)
            return false;
    return true;
}

// What the screen shows at a point of a window's client area (0x00RRGGBB).
DWORD ScreenPixel(HWND hwnd, int x, int y)
{
    POINT pt = {x, y};
    ::ClientToScreen(hwnd, &pt);
    HDC dc = ::GetDC(nullptr);
    COLORREF c = ::GetPixel(dc, pt.x, pt.y);
    ::ReleaseDC(nullptr, dc);
    return (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c);
}

class CefWebkitUITest : public vxtest::BrowserPageSuite {
protected:
    void SetUp() override
    {
        profile = vxtest::UniqueTempDir(L"vxbr-webkit");
        session.reset(new vxtest::RuntimeSession(profile));
        ASSERT_TRUE(session->ok);
    }
    void TearDown() override
    {
        session.reset();
        EXPECT_TRUE(vxtest::PumpUntil([&] { return vxtest::EngineProcessCount(profile) == 0; }, 10000));
    }
    std::wstring profile;
    std::unique_ptr<vxtest::RuntimeSession> session;
};

TEST_F(CefWebkitUITest, BrowserWindowFollowsTheControlThroughTabsAndResizing)
{
    HostTree tree(server->Url("/solid/ff0000"));
    TestWindow window(600, 400, tree.root, 40, 40);
    CCefWebkitUI* web = tree.web;
    HWND view = web->GetBrowserWindow();
    ASSERT_TRUE(view != nullptr);
    EXPECT_EQ(::GetParent(view), window.hwnd());
    EXPECT_TRUE(web->GetHandler() != nullptr);
    // Page 0 is in front: the browser on page 1 stays out of sight.
    window.Pump();
    EXPECT_FALSE(::IsWindowVisible(view));

    tree.tabs->SelectItem(1);
    ASSERT_TRUE(window.PumpUntil([&] { return ::IsWindowVisible(view) && Same(PlaceOf(view), web->GetPos()); }))
        << "control at " << web->GetPos().left << "," << web->GetPos().top << " - " << web->GetPos().right << ","
        << web->GetPos().bottom;
    EXPECT_TRUE(Same(web->GetPos(), RECT{0, 60, 600, 370}));
    // The page's own red shows inside the control's rectangle.
    EXPECT_TRUE(window.PumpUntil([&] { return Near(ScreenPixel(window.hwnd(), 300, 200), 0xFF0000); }, 30000))
        << std::hex << ScreenPixel(window.hwnd(), 300, 200);

    ::SetWindowPos(window.hwnd(), nullptr, 0, 0, 800, 500, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_TRUE(window.PumpUntil([&] {
        return Same(PlaceOf(view), RECT{0, 60, 800, 470});
    })) << PlaceOf(view).right
        << "x" << PlaceOf(view).bottom;
    EXPECT_TRUE(Same(PlaceOf(view), web->GetPos()));

    tree.tabs->SelectItem(0);
    window.Pump();
    EXPECT_FALSE(::IsWindowVisible(view));
    // Resized while hidden, then brought back: at the control's new place.
    ::SetWindowPos(window.hwnd(), nullptr, 0, 0, 700, 450, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    window.PumpUntil([] { return false; }, 200);
    tree.tabs->SelectItem(1);
    EXPECT_TRUE(window.PumpUntil([&] {
        return ::IsWindowVisible(view) && Same(PlaceOf(view), RECT{0, 60, 700, 420});
    }));

    // Hiding the control itself hides the window too.
    web->SetVisible(false);
    EXPECT_FALSE(::IsWindowVisible(view));
    web->SetVisible(true);
    EXPECT_TRUE(::IsWindowVisible(view));
}

TEST_F(CefWebkitUITest, CloseBrowserClosesTheBrowserThenTheWindow)
{
    HostTree tree(server->Url("/title"));
    TestWindow window(600, 400, tree.root);
    tree.tabs->SelectItem(1);
    HWND hwnd = window.hwnd();
    HWND view = tree.web->GetBrowserWindow();
    ASSERT_TRUE(view != nullptr);
    CefRefPtr<CCefHandler> handler = tree.web->GetHandler();
    tree.web->CloseBrowser();
    // The runtime sends the window WM_CLOSE once the page has unloaded; the
    // test window lets it through and is destroyed, browser and control
    // with it.
    EXPECT_TRUE(window.PumpUntil([&] { return !::IsWindow(hwnd); }, 30000));
    EXPECT_FALSE(::IsWindow(view));
    // The runtime's reference may outlive the control; the handler no longer
    // points at it.
    EXPECT_TRUE(handler->GetLoadCallback() == nullptr);
}

TEST(CefWebkitUIAttributes, UrlIsTheExactLowerCaseNameAndTheLastValueWins)
{
    struct Case {
        const char* what;
        std::vector<std::pair<const wchar_t*, const wchar_t*>> attributes;
        const wchar_t* url;
    };
    const Case cases[] = {
        {"none", {}, L""},
        {"once", {{L"url", L"http://127.0.0.1/a"}}, L"http://127.0.0.1/a"},
        {"twice", {{L"url", L"http://127.0.0.1/a"}, {L"url", L"http://127.0.0.1/b"}}, L"http://127.0.0.1/b"},
        {"other case goes to the base", {{L"URL", L"http://127.0.0.1/a"}, {L"Url", L"x"}}, L""},
        {"base attributes still apply", {{L"name", L"web1"}, {L"url", L"u"}}, L"u"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CCefWebkitUI web;
        for (const auto& a : c.attributes) web.SetAttribute(a.first, a.second);
        EXPECT_STREQ(web.GetUrl().GetData(), c.url);
    }
    CCefWebkitUI web;
    web.SetAttribute(L"name", L"web1");
    EXPECT_STREQ(web.GetName().GetData(), L"web1");
    EXPECT_STREQ(web.GetClass(), L"CefWebkitUI");
    EXPECT_EQ(web.GetInterface(L"CefWebkit"), static_cast<LPVOID>(&web));
    EXPECT_EQ(web.GetInterface(L"cefwebkit"), nullptr);
}

TEST(CefWebkitUIWithoutEngine, IsAPlainControlThatNeverMakesAWindow)
{
    // The runtime was never started: creating the browser fails.
    HostTree tree("http://127.0.0.1/");
    TestWindow window(600, 400, tree.root);
    tree.tabs->SelectItem(1);
    EXPECT_TRUE(window.PumpUntil([&] { return tree.web->GetPos().bottom > 0; }));
    EXPECT_TRUE(tree.web->GetHandler() != nullptr);
    EXPECT_TRUE(tree.web->GetBrowser() == nullptr);
    EXPECT_TRUE(tree.web->GetBrowserWindow() == nullptr);
    EXPECT_EQ(::GetWindow(window.hwnd(), GW_CHILD), nullptr);
    tree.web->SetVisible(false);
    tree.web->SetVisible(true);
    tree.web->CloseBrowser();
    window.Pump();
    EXPECT_TRUE(::IsWindow(window.hwnd()));
}

}  // namespace
