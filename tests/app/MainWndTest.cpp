// The main window built from the real skin in the test's resources, without
// a browser engine: its titles, the feed reaching the scrolling buttons, the
// tray message bringing it back, and closing when no browser is there to ask.
#include "app/AppConfig.h"
#include "app/AppGlobals.h"
#include "app/AppMessages.h"
#include "app/MainWnd.h"
#include "app/ScrollTextButtonUI.h"
#include "app/feed/AdItem.h"
#include "browser/CefHandler.h"
#include "browser/CefWebkitUI.h"
#include "tests/support/MessagePump.h"
#include "ui/controls/TabLayoutUI.h"

#include <gtest/gtest.h>

using namespace Vornex;

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

// ---- closing through the exit question ---------------------------------------

// Where the window's end came from: the question's OK must close the window
// only once Close, and the modal loop inside it, has returned.
struct CloseWatch {
    bool insideClose = false;
    int finals = 0;
    bool finalInsideClose = false;
};
CloseWatch g_closeWatch;

class WatchedMainWnd final : public CMainWnd {
public:
    void Close(UINT nRet) override
    {
        g_closeWatch.insideClose = true;
        CMainWnd::Close(nRet);
        g_closeWatch.insideClose = false;
    }

protected:
    void OnFinalMessage(HWND hWnd) override
    {
        ++g_closeWatch.finals;
        g_closeWatch.finalInsideClose = g_closeWatch.insideClose;
        CMainWnd::OnFinalMessage(hWnd);
    }
};

// Client points of the exit question's buttons (ExitWnd.xml: below the 36
// pixel title band).
constexpr POINT kOkButton = {176, 36 + 123};
constexpr POINT kCancelButton = {262, 36 + 123};
constexpr POINT kRememberBox = {28, 36 + 86};
POINT g_answer = kOkButton;
bool g_tickRemember = false;  // "记住我的选择，不再提醒" ticked before answering
int g_questionsAnswered = 0;

HWND ExitQuestion() { return ::FindWindowW(L"MainWndClass", L"退出提示："); }

// Clicks the answer on the question once it is up, from inside its modal loop.
void CALLBACK AnswerExitQuestion(HWND, UINT, UINT_PTR id, DWORD)
{
    HWND dialog = ExitQuestion();
    if (dialog == nullptr || !::IsWindowVisible(dialog)) return;
    ::KillTimer(nullptr, id);
    ++g_questionsAnswered;
    auto click = [dialog](POINT point) {
        const LPARAM at = MAKELPARAM(point.x, point.y);
        ::SendMessageW(dialog, WM_MOUSEMOVE, 0, at);
        ::SendMessageW(dialog, WM_LBUTTONDOWN, MK_LBUTTON, at);
        ::SendMessageW(dialog, WM_LBUTTONUP, 0, at);
    };
    if (g_tickRemember) click(kRememberBox);
    click(g_answer);
}

class MainWndCloseTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        CPaintManagerUI::SetInstance(::GetModuleHandleW(nullptr));
        g_nExitPrompt = 1;
        g_closeWatch = CloseWatch();
        g_questionsAnswered = 0;
        g_tickRemember = false;
        // The setting is written beside the program: a folder of the test's own.
        wchar_t temp[MAX_PATH];
        ::GetTempPathW(MAX_PATH, temp);
        m_savedAppDir = g_strAppDir;
        g_strAppDir = std::wstring(temp) + L"vornex-close-" + std::to_wstring(::GetCurrentProcessId());
        ::CreateDirectoryW(g_strAppDir.c_str(), nullptr);
        m_hwnd = (new WatchedMainWnd)->Create(nullptr, L"Vornex短网址", WS_OVERLAPPEDWINDOW, 0);
        ASSERT_NE(nullptr, m_hwnd);
        ::ShowWindow(m_hwnd, SW_SHOWNOACTIVATE);
    }
    void TearDown() override
    {
        if (::IsWindow(m_hwnd)) ::DestroyWindow(m_hwnd);
        g_nExitPrompt = 0;
        ::DeleteFileW(ConfigPath(g_strAppDir).c_str());
        ::RemoveDirectoryW(g_strAppDir.c_str());
        g_strAppDir = m_savedAppDir;
    }

    // Asks to close as Alt+F4 does and answers the question with `answer`;
    // true once the question has come and gone.
    bool CloseAnswering(POINT answer)
    {
        g_answer = answer;
        const int before = g_questionsAnswered;
        const UINT_PTR timer = ::SetTimer(nullptr, 0, 50, AnswerExitQuestion);
        ::PostMessageW(m_hwnd, WM_SYSCOMMAND, SC_CLOSE, 0);
        const bool answered = SkinUI::Test::PumpUntil(
            [&] { return g_questionsAnswered == before + 1 && ExitQuestion() == nullptr; }, 10000);
        ::KillTimer(nullptr, timer);
        return answered;
    }

    HWND m_hwnd = nullptr;
    std::wstring m_savedAppDir;
};

TEST_F(MainWndCloseTest, TheQuestionsOkClosesTheWindowOnlyAfterTheQuestionHasEnded)
{
    ASSERT_TRUE(CloseAnswering(kOkButton));
    EXPECT_TRUE(SkinUI::Test::PumpUntil([&] { return !::IsWindow(m_hwnd); }, 5000));
    EXPECT_EQ(1, g_closeWatch.finals);
    EXPECT_FALSE(g_closeWatch.finalInsideClose) << "destroyed under the modal loop and the handler that asked";
}

TEST_F(MainWndCloseTest, EveryCloseRequestAsksAgainAfterACancelledOne)
{
    for (int round = 1; round <= 2; ++round) {
        ASSERT_TRUE(CloseAnswering(kCancelButton)) << "question " << round << " did not come or go";
        SkinUI::Test::PumpUntil([] { return false; }, 200);
        ASSERT_TRUE(::IsWindow(m_hwnd)) << "closed on Cancel " << round;
        EXPECT_TRUE(::IsWindowEnabled(m_hwnd)) << "left disabled by question " << round;
        EXPECT_EQ(m_hwnd, ::GetActiveWindow()) << "not given back the activation after question " << round;
        EXPECT_EQ(m_hwnd, ::GetFocus()) << "not given back the keyboard after question " << round;
    }
    ASSERT_TRUE(CloseAnswering(kOkButton));
    EXPECT_TRUE(SkinUI::Test::PumpUntil([&] { return !::IsWindow(m_hwnd); }, 5000));
    EXPECT_EQ(3, g_questionsAnswered);
}

TEST_F(MainWndCloseTest, CancelWithTheBoxTickedRemembersNothing)
{
    g_tickRemember = true;
    ASSERT_TRUE(CloseAnswering(kCancelButton));
    SkinUI::Test::PumpUntil([] { return false; }, 200);
    ASSERT_TRUE(::IsWindow(m_hwnd));
    // Nothing beside the program: no setting, no half-written one.
    WIN32_FIND_DATAW found;
    const HANDLE search = ::FindFirstFileW((g_strAppDir + L"\\*").c_str(), &found);
    std::wstring names;
    if (search != INVALID_HANDLE_VALUE) {
        do {
            if (std::wcscmp(found.cFileName, L".") != 0 && std::wcscmp(found.cFileName, L"..") != 0)
                names += found.cFileName;
        } while (::FindNextFileW(search, &found));
        ::FindClose(search);
    }
    EXPECT_EQ(L"", names);
    EXPECT_EQ(1, g_nExitPrompt);
    // The next close asks again; ticked and answered OK, it is remembered.
    ASSERT_TRUE(CloseAnswering(kOkButton));
    EXPECT_TRUE(SkinUI::Test::PumpUntil([&] { return !::IsWindow(m_hwnd); }, 5000));
    EXPECT_EQ(2, g_questionsAnswered);
    EXPECT_EQ(0, ReadExitPrompt(g_strAppDir));
}

}  // namespace
}  // namespace Vornex
