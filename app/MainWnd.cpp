#include "app/MainWnd.h"

#include "VornexDeployment.h"
#include "app/AppGlobals.h"
#include "app/AppMessages.h"
#include "app/ExitWnd.h"
#include "app/ScrollTextButtonUI.h"
#include "app/feed/AdItem.h"
#include "browser/CefHandler.h"
#include "browser/CefWebkitUI.h"
#include "runtime/CefRuntimeApi.h"
#include "ui/controls/TabLayoutUI.h"

#include <shellapi.h>

namespace Vornex {

using SkinUI::CControlUI;
using SkinUI::CUiString;
using SkinUI::TNotifyUI;

namespace {

constexpr const wchar_t* kProductName = L"Vornex短网址";
constexpr UINT kMainIcon = 107;
constexpr UINT kSkinArchiveId = 130;
constexpr int kLoadingPage = 0;
constexpr int kBrowserPage = 1;
// The error the runtime reports when it stops restarting an engine that
// keeps being lost; a reload of the browser tries again.
constexpr ErrorCode kEngineGivenUp = ERR_INSUFFICIENT_RESOURCES;
constexpr const wchar_t* kEngineLostText = L"浏览器组件多次意外退出，点击此处重新加载";
// How long the browser may take to close its page before the window goes
// anyway: a hung or vanished engine must not keep the program open.
constexpr UINT_PTR kCloseTimer = 0x5601;
constexpr UINT kCloseTimeoutMs = 5000;

void OpenInDefaultBrowser(LPCTSTR address, int show)
{
    ::ShellExecuteW(nullptr, L"open", address, nullptr, nullptr, show);
}

}  // namespace

LPCTSTR CMainWnd::GetWindowClassName() const { return L"MainWndClass"; }
CUiString CMainWnd::GetSkinFolder() { return L"Skin"; }
CUiString CMainWnd::GetSkinFile() { return L"MainWnd.xml"; }
SkinUI::UI_RESOURCETYPE CMainWnd::GetResourceType() const { return SkinUI::UI_RES_ZIPRESOURCE; }
LPCTSTR CMainWnd::GetResourceID() const { return MAKEINTRESOURCEW(kSkinArchiveId); }

CControlUI* CMainWnd::CreateControl(LPCTSTR pstrClass)
{
    if (pstrClass == nullptr) return nullptr;
    if (::wcscmp(pstrClass, L"CefWeb") == 0) return new CCefWebkitUI;
    if (::wcscmp(pstrClass, L"ScrollTextButton") == 0) return new CScrollTextButtonUI;
    return nullptr;
}

void CMainWnd::InitWindow()
{
    SetIcon(kMainIcon);
    m_pTabMain = dynamic_cast<SkinUI::CTabLayoutUI*>(m_PaintManager.FindControl(L"tab_main"));
    m_pWebMain = dynamic_cast<CCefWebkitUI*>(m_PaintManager.FindControl(L"web1"));

    CUiString title;
    title.Format(L"%s  V%s", kProductName, VORNEX_VERSION_TEXT_W);
    if (CControlUI* label = m_PaintManager.FindControl(L"lbl_title")) label->SetText(title);
    if (CControlUI* label = m_PaintManager.FindControl(L"lbl_bottom_title")) label->SetText(title);

    const wchar_t* const scrollNames[kScrollAdCount] = {L"stbtn_ad1", L"stbtn_ad2", L"stbtn_ad3"};
    for (int k = 0; k < kScrollAdCount; ++k) m_pScrollAd[k] = m_PaintManager.FindControl(scrollNames[k]);
    for (int i = 0; i < kTopAdCount; ++i) {
        CUiString name;
        name.SmallFormat(L"btn_topad%d", i + 1);
        m_pTopAd[i] = m_PaintManager.FindControl(name);
    }

    if (m_pWebMain != nullptr) {
        if (CefRefPtr<CCefHandler> handler = m_pWebMain->GetHandler()) handler->SetLoadCallback(this, 0);
    }
    g_hMainWnd = m_hWnd;
}

static_assert(CMainWnd::kTopAdCount == 12, "the message map names btn_topad1 to btn_topad12");

// clang-format off
UI_BEGIN_MESSAGE_MAP(CMainWnd, WindowImplBase)
UI_ON_CLICK_CTRNAME(L"btn_home", OnHomeClick)
UI_ON_CLICK_CTRNAME(L"btn_call", OnHomeClick)
UI_ON_CLICK_CTRNAME(L"stbtn_ad1", OnScrollAdClick)
UI_ON_CLICK_CTRNAME(L"stbtn_ad2", OnScrollAdClick)
UI_ON_CLICK_CTRNAME(L"stbtn_ad3", OnScrollAdClick)
UI_ON_CLICK_CTRNAME(L"btn_topad1", OnTopAdClick)
UI_ON_CLICK_CTRNAME(L"btn_topad2", OnTopAdClick)
UI_ON_CLICK_CTRNAME(L"btn_topad3", OnTopAdClick)
UI_ON_CLICK_CTRNAME(L"btn_topad4", OnTopAdClick)
UI_ON_CLICK_CTRNAME(L"btn_topad5", OnTopAdClick)
UI_ON_CLICK_CTRNAME(L"btn_topad6", OnTopAdClick)
UI_ON_CLICK_CTRNAME(L"btn_topad7", OnTopAdClick)
UI_ON_CLICK_CTRNAME(L"btn_topad8", OnTopAdClick)
UI_ON_CLICK_CTRNAME(L"btn_topad9", OnTopAdClick)
UI_ON_CLICK_CTRNAME(L"btn_topad10", OnTopAdClick)
UI_ON_CLICK_CTRNAME(L"btn_topad11", OnTopAdClick)
UI_ON_CLICK_CTRNAME(L"btn_topad12", OnTopAdClick)
UI_ON_CLICK_CTRNAME(L"btn_retry", OnRetryClick)
UI_END_MESSAGE_MAP()
// clang-format on

void CMainWnd::OnHomeClick(TNotifyUI&) { OpenInDefaultBrowser(VORNEX_HOME_URL_W, SW_SHOWNORMAL); }

void CMainWnd::OnScrollAdClick(TNotifyUI& msg)
{
    if (auto* scroller = dynamic_cast<CScrollTextButtonUI*>(msg.pSender)) {
        const std::wstring link = scroller->GetCurrentUrl();
        // A button whose feed item has no address opens nothing.
        if (!link.empty()) OpenInDefaultBrowser(link.c_str(), SW_SHOWNORMAL);
    }
}

void CMainWnd::OnTopAdClick(TNotifyUI& msg)
{
    if (msg.pSender != nullptr && !msg.pSender->GetUserData().IsEmpty())
        OpenInDefaultBrowser(msg.pSender->GetUserData(), SW_SHOWNA);
}

void CMainWnd::OnRetryClick(TNotifyUI&) { RetryEngine(); }

void CMainWnd::Close(UINT nRet)
{
    if (g_nExitPrompt != 0) {
        // A close request while the question is already up (a second Alt+F4
        // reaching this window) asks nothing more.
        if (m_exitQuestion != ExitQuestion::None) return;
        auto* dialog = new CExitWnd;
        if (dialog->Create(m_hWnd, L"退出提示：",
                           WS_POPUP | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | WS_CAPTION | WS_SYSMENU,
                           0) == nullptr) {
            delete dialog;
            return;
        }
        m_exitQuestion = ExitQuestion::Asking;
        dialog->CenterWindow();
        dialog->ShowModal();
        const bool confirmed = m_exitQuestion == ExitQuestion::Confirmed;
        m_exitQuestion = ExitQuestion::None;
        // Closed from the outer message loop, once the click or key handler
        // that asked has returned: this window's handlers are below us.
        if (confirmed) PostMessage(WM_CLOSE, 0, 0);
        return;
    }
    WindowImplBase::Close(nRet);
}

LRESULT CMainWnd::HandleCustomMessage(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled)
{
    switch (uMsg) {
    case UM_ICONNOTIFY:
        if (lParam == WM_LBUTTONDBLCLK) BringBack();
        return 0;
    case UM_CLOSEMAIN:
        // The exit question's OK arrives from inside its modal loop, which
        // runs inside Close: destroying the window now would pull it from
        // under that loop and the handler that opened the question.
        if (m_exitQuestion == ExitQuestion::Asking)
            m_exitQuestion = ExitQuestion::Confirmed;
        else
            SendMessage(WM_CLOSE, 0, 0);
        return 0;
    case UM_FEEDREADY:
        return ShowFeed();
    case WM_CLOSE:
        // Not from under the exit question's loop: the question decides.
        if (m_exitQuestion != ExitQuestion::None) return 0;
        if (m_pWebMain != nullptr && CloseBrowserFirst()) return 0;
        m_pWebMain = nullptr;
        break;
    case WM_TIMER:
        if (wParam == kCloseTimer) {
            ::KillTimer(m_hWnd, kCloseTimer);
            ::PostMessageW(m_hWnd, WM_CLOSE, 0, 0);
            return 0;
        }
        break;
    default:
        break;
    }
    bHandled = FALSE;
    return 0;
}

bool CMainWnd::CloseBrowserFirst()
{
    CCefWebkitUI* web = m_pWebMain;
    m_pWebMain = nullptr;
    if (!web->GetBrowser()) return false;
    web->CloseBrowser();
    ::SetTimer(m_hWnd, kCloseTimer, kCloseTimeoutMs, nullptr);
    return true;
}

void CMainWnd::BringBack()
{
    if (!::IsWindowVisible(m_hWnd)) {
        ShowWindow(true, true);
    } else if (::IsIconic(m_hWnd)) {
        SendMessage(WM_SYSCOMMAND, SC_RESTORE, 0);
    }
    ::SetForegroundWindow(m_hWnd);
}

LRESULT CMainWnd::ShowFeed()
{
    for (int k = 0; k < kScrollAdCount; ++k) {
        auto* scroller = dynamic_cast<CScrollTextButtonUI*>(m_pScrollAd[k]);
        if (scroller == nullptr) continue;
        for (const AdItem& ad : g_vecScrollAds[k]) scroller->AddItem(ad.text.c_str(), ad.url.c_str());
        if (!g_vecScrollAds[k].empty())
            m_PaintManager.SetTimer(scroller, CScrollTextButtonUI::kPauseTimer, scroller->GetPauseInterval());
        scroller->Invalidate();
    }
    for (size_t i = 0; i < g_vecStaticAds.size() && i < size_t(kTopAdCount); ++i) {
        CControlUI* ad = m_pTopAd[i];
        if (ad == nullptr) continue;
        ad->SetText(g_vecStaticAds[i].text.c_str());
        ad->SetUserData(g_vecStaticAds[i].url.c_str());
        ad->SetVisible(true);
    }
    return 0;
}

void CMainWnd::ShowBrowserPage()
{
    if (m_pTabMain != nullptr) m_pTabMain->SelectItem(kBrowserPage, false);
}

void CMainWnd::OnWebLoadStart(CCefHandler*, int) { ShowBrowserPage(); }
void CMainWnd::OnWebLoadEnd(CCefHandler*, int, CefRefPtr<CefBrowser>) { ShowBrowserPage(); }
void CMainWnd::OnWebLoadError(CCefHandler* handler, int, CefRefPtr<CefFrame>)
{
    if (handler != nullptr && handler->GetLastLoadError() == kEngineGivenUp) ShowEngineLost();
}

void CMainWnd::ShowEngineLost()
{
    if (m_pTabMain != nullptr) m_pTabMain->SelectItem(kLoadingPage, false);
    if (CControlUI* label = m_PaintManager.FindControl(L"lbl_loading")) label->SetVisible(false);
    if (CControlUI* retry = m_PaintManager.FindControl(L"btn_retry")) {
        retry->SetText(kEngineLostText);
        retry->SetVisible(true);
    }
}

void CMainWnd::RetryEngine()
{
    if (CControlUI* retry = m_PaintManager.FindControl(L"btn_retry")) retry->SetVisible(false);
    if (CControlUI* label = m_PaintManager.FindControl(L"lbl_loading")) label->SetVisible(true);
    // The page's first load start shows the browser page again.
    if (m_pWebMain != nullptr)
        if (CefRefPtr<CefBrowser> browser = m_pWebMain->GetBrowser()) browser->Reload();
}
void CMainWnd::OnWebTitleChange(CCefHandler*, int, const wchar_t*) {}
bool CMainWnd::OnWebBeforePopup(CCefHandler*, int, const wchar_t*) { return true; }

void CMainWnd::OnFinalMessage(HWND hWnd)
{
    ::KillTimer(hWnd, kCloseTimer);
    g_hMainWnd = nullptr;
    WindowImplBase::OnFinalMessage(hWnd);
    cef_quit_message_loop();
    DeleteWhenUnwound();
}

}  // namespace Vornex
