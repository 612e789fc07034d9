// The main window built from the real skin in the test's resources, without
// a browser engine: its titles, the feed reaching the scrolling buttons, the
// tray message bringing it back, and closing when no browser is there to ask.
#include "app/AppGlobals.h"
#include "app/AppMessages.h"
#include "app/MainWnd.h"
#include "app/ScrollTextButtonUI.h"
#include "app/feed/AdItem.h"

#include <gtest/gtest.h>

namespace Vornex {
namespace {

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

TEST_F(MainWndTest, WithoutABrowserTheFirstCloseClosesTheWindow)
{
    // No engine here: nothing would ever send the second WM_CLOSE.
    ::SendMessageW(m_hwnd, WM_CLOSE, 0, 0);
    EXPECT_FALSE(::IsWindow(m_hwnd));
}

}  // namespace
}  // namespace Vornex
