#include "browser/CefWebkitUI.h"

#include <cwchar>

namespace Vornex {

namespace {

// Where the browser window starts; the first layout moves it onto the
// control.
const RECT kInitialBrowserRect = {0, 86, 600, 886};

}  // namespace

CCefWebkitUI::CCefWebkitUI() {}

CCefWebkitUI::~CCefWebkitUI()
{
    // The runtime may hold the handler past this control: nothing it reports
    // later may reach the control or its window.
    if (m_handler) m_handler->Detach();
    m_handler = nullptr;
    m_browser = nullptr;
}

LPCTSTR CCefWebkitUI::GetClass() const { return L"CefWebkitUI"; }

LPVOID CCefWebkitUI::GetInterface(LPCTSTR pstrName)
{
    if (pstrName && std::wcscmp(pstrName, L"CefWebkit") == 0) return static_cast<CCefWebkitUI*>(this);
    return CControlUI::GetInterface(pstrName);
}

HWND CCefWebkitUI::GetBrowserWindow() const
{
    if (!m_browser) return nullptr;
    CefRefPtr<CefBrowserHost> host = m_browser->GetHost();
    return host ? host->GetWindowHandle() : nullptr;
}

void CCefWebkitUI::SetPos(RECT rc)
{
    CControlUI::SetPos(rc);
    if (!m_handler) return;
    if (HWND hwnd = GetBrowserWindow()) {
        const RECT& pos = GetPos();
        ::MoveWindow(hwnd, pos.left, pos.top, pos.right - pos.left, pos.bottom - pos.top, TRUE);
    }
}

void CCefWebkitUI::SetInternVisible(bool bVisible)
{
    CControlUI::SetInternVisible(bVisible);
    ShowBrowserWindow();
}

void CCefWebkitUI::SetVisible(bool bVisible)
{
    CControlUI::SetVisible(bVisible);
    ShowBrowserWindow();
}

void CCefWebkitUI::ShowBrowserWindow()
{
    // Shown only while both the control and every container above it are.
    if (HWND hwnd = GetBrowserWindow()) ::ShowWindow(hwnd, IsVisible() ? SW_SHOW : SW_HIDE);
}

void CCefWebkitUI::DoInit()
{
    // Initialised again (moved to another container): keep the browser.
    if (m_browser) return;
    m_handler = new CCefHandler(this);
    HWND parent = GetManager() ? GetManager()->GetPaintWindow() : nullptr;
    if (!parent) return;

    CefWindowInfo info;
    info.SetAsChild(parent, kInitialBrowserRect);
    CefBrowserSettings settings;
    // The control's reference arrives through SetBrowser; the returned one
    // is not kept.
    CefBrowserHost::CreateBrowserSync(info, m_handler.get(), CefString(m_sUrl.GetData()), settings, nullptr);

    // The window is created visible; a control in a hidden tab page must
    // not show it over the page in front.
    ShowBrowserWindow();
}

void CCefWebkitUI::SetAttribute(LPCTSTR pstrName, LPCTSTR pstrValue)
{
    if (pstrName && std::wcscmp(pstrName, L"url") == 0)
        m_sUrl = pstrValue ? pstrValue : L"";
    else
        CControlUI::SetAttribute(pstrName, pstrValue);
}

void CCefWebkitUI::SetBrowser(CefRefPtr<CefBrowser> browser) { m_browser = browser; }

void CCefWebkitUI::CloseBrowser()
{
    if (!m_browser) return;
    if (CefRefPtr<CefBrowserHost> host = m_browser->GetHost()) host->CloseBrowser(false);
}

}  // namespace Vornex
