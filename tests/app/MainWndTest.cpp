// The main window built from the real skin in the test's resources, without
// a browser engine: its titles, the feed reaching the scrolling buttons, the
// tray message bringing it back, and closing when no browser is there to ask.
#include "app/AppGlobals.h"
#include "app/AppMessages.h"
#include "app/MainWnd.h"
#include "app/ScrollTextButtonUI.h"
#include "app/feed/AdItem.h"
#include "browser/CefHandler.h"
#include "browser/CefWebkitUI.h"
#include "ui/control/TabLayoutUI.h"

#include <gtest/gtest.h>

namespace Vornex {
namespace {

using SkinUI::CControlUI;
using SkinUI::CPaintManagerUI;

class MainWndTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        CPaintManagerUI::SetInstance(::GetModuleHandleW(nullptr));
        for (auto& list : g_vecScrollAds) list.clear();
        g_vecStaticAds.clear();
        g_nExitPrompt = 0;
        m_wnd = new CMainWnd;
        m_hwnd = m_wnd->Create(nullptr, L"Vornex短网址", WS_OVERLAPPEDWINDOW, 0);
        ASSERT_NE(nullptr, m_hwnd);
    }
    void TearDown() override
    {
        // The window deletes itself when it is destroyed.
        if (::IsWindow(m_hwnd)) ::DestroyWindow(m_hwnd);
    }
    CScrollTextButtonUI* Scroller(int k)
    {
        const wchar_t* names[] = {L"stbtn_ad1", L"stbtn_ad2", L"stbtn_ad3"};
        return dynamic_cast<CScrollTextButtonUI*>(m_wnd->GetPaintManager().FindControl(names[k]));
    }
    bool PauseTimerRuns(int k)
    {
        return m_wnd->GetPaintManager().KillTimer(Scroller(k), CScrollTextButtonUI::kPauseTimer);
    }

    CMainWnd* m_wnd = nullptr;
    HWND m_hwnd = nullptr;
};

TEST_F(MainWndTest, BothTitleLabelsReadProductAndVersion)
{
    for (const wchar_t* name : {L"lbl_title", L"lbl_bottom_title"}) {
        auto* label = m_wnd->GetPaintManager().FindControl(name);
        ASSERT_NE(nullptr, label) << name;
        EXPECT_STREQ(L"Vornex短网址  V1.0", label->GetText().GetData()) << name;
    }
    EXPECT_EQ(m_hwnd, g_hMainWnd);
}

TEST_F(MainWndTest, TheFeedFillsOnlyTheButtonsItHasCaptionsFor)
{
    g_vecScrollAds[0] = {{L"甲", L"http://127.0.0.1/a"}, {L"乙", L"http://127.0.0.1/b"}};
    ::SendMessageW(m_hwnd, UM_FEEDREADY, 0, 0);
    ASSERT_NE(nullptr, Scroller(0));
    EXPECT_EQ(2u, Scroller(0)->GetItemCount());
    EXPECT_EQ(L"http://127.0.0.1/a", Scroller(0)->GetCurrentUrl());
    EXPECT_TRUE(PauseTimerRuns(0));
    EXPECT_FALSE(PauseTimerRuns(1)) << "no captions, no timer";
    EXPECT_FALSE(PauseTimerRuns(2));
    EXPECT_EQ(0u, Scroller(1)->GetItemCount());
}

TEST_F(MainWndTest, ADoubleClickOnTheTrayIconBringsBackAMinimisedWindow)
{
    ::ShowWindow(m_hwnd, SW_SHOWNOACTIVATE);
    ::ShowWindow(m_hwnd, SW_MINIMIZE);
    ASSERT_TRUE(::IsIconic(m_hwnd));
    ::SendMessageW(m_hwnd, UM_ICONNOTIFY, 0, WM_RBUTTONUP);
    EXPECT_TRUE(::IsIconic(m_hwnd)) << "only a double click brings it back";
    ::SendMessageW(m_hwnd, UM_ICONNOTIFY, 0, WM_LBUTTONDBLCLK);
    EXPECT_FALSE(::IsIconic(m_hwnd));
}

// A main frame as the runtime reports it to the handler.
class MainFrame : public CefFrame {
public:
    bool IsValid() override { return true; }
    void Undo() override {}
    void Redo() override {}
    void Cut() override {}
    void Copy() override {}
    void Paste() override {}
    void Delete() override {}
    void SelectAll() override {}
    void ViewSource() override {}
    void LoadURL(const CefString&) override {}
    void ExecuteJavaScript(const CefString&, const CefString&, int) override {}
    bool IsMain() override { return true; }
    bool IsFocused() override { return true; }
    CefString GetName() override { return CefString(); }
    CefString GetIdentifierString() override { return CefString("main"); }
    CefRefPtr<CefFrame> GetParent() override { return nullptr; }
    CefString GetURL() override { return CefString("http://127.0.0.1/"); }
    CefRefPtr<CefBrowser> GetBrowser() override { return nullptr; }
    IMPLEMENT_REFCOUNTING(MainFrame);
};

TEST_F(MainWndTest, AnEngineGivenUpOnShowsTheLoadingPanelWithARetry)
{
    auto& pm = m_wnd->GetPaintManager();
    auto* web = dynamic_cast<CCefWebkitUI*>(pm.FindControl(L"web1"));
    auto* tab = dynamic_cast<SkinUI::CTabLayoutUI*>(pm.FindControl(L"tab_main"));
    CControlUI* retry = pm.FindControl(L"btn_retry");
    CControlUI* loading = pm.FindControl(L"lbl_loading");
    ASSERT_TRUE(web && tab && retry && loading);
    CefRefPtr<CCefHandler> handler = web->GetHandler();
    ASSERT_TRUE(handler.get() != nullptr);
    CefRefPtr<CefFrame> frame = new MainFrame;
    handler->OnLoadStart(nullptr, frame);
    ASSERT_EQ(1, tab->GetCurSel());
    EXPECT_FALSE(retry->IsVisible());

    // An ordinary failed load keeps the page (the engine's error page shows).
    handler->OnLoadError(nullptr, frame, ERR_CONNECTION_REFUSED, "net::ERR_CONNECTION_REFUSED", "http://127.0.0.1/");
    EXPECT_EQ(1, tab->GetCurSel());
    EXPECT_FALSE(retry->IsVisible());

    // The runtime stopped restarting the engine.
    handler->OnLoadError(nullptr, frame, ERR_INSUFFICIENT_RESOURCES, "net::ERR_INSUFFICIENT_RESOURCES",
                         "http://127.0.0.1/");
    EXPECT_EQ(0, tab->GetCurSel());
    EXPECT_TRUE(retry->IsVisible());
    EXPECT_FALSE(loading->IsVisible());
    EXPECT_NE(std::wstring(retry->GetText().GetData()).find(L"重新加载"), std::wstring::npos);

    // A click retries: the panel says it loads again until the page starts.
    pm.SendNotify(retry, L"click");
    EXPECT_FALSE(retry->IsVisible());
    EXPECT_TRUE(loading->IsVisible());
    handler->OnLoadStart(nullptr, frame);
    EXPECT_EQ(1, tab->GetCurSel());
}

TEST_F(MainWndTest, WithoutABrowserTheFirstCloseClosesTheWindow)
{
    // No engine here: nothing would ever send the second WM_CLOSE.
    ::SendMessageW(m_hwnd, WM_CLOSE, 0, 0);
    EXPECT_FALSE(::IsWindow(m_hwnd));
}

}  // namespace
}  // namespace Vornex
