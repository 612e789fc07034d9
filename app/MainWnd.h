#pragma once
// The program's one top-level window: a title bar with the product title and
// the home and contact buttons, a content area that shows a loading panel
// until the embedded browser starts loading the service's page, and a bottom
// bar whose three buttons scroll the promotion feed's captions.
//
// Closing runs in two rounds: the first WM_CLOSE asks the browser to close
// (its page's unload handlers run) and is swallowed; the runtime then sends
// a second WM_CLOSE, which destroys the window. When there is no browser to
// ask, or it does not answer in time, the window closes anyway.
//
// A lost browser engine comes back by itself (the runtime restarts it and
// reloads the page); when it is lost too often the loading panel returns
// with a message, and a click on it tries again.

#include "browser/CefWebLoadCallback.h"
#include "ui/window/WindowImplBase.h"

namespace SkinUI {
class CTabLayoutUI;
}

namespace Vornex {

class CCefWebkitUI;

class CMainWnd : public SkinUI::WindowImplBase, public CCefWebLoadCallback {
public:
    static constexpr int kTopAdCount = 12;
    static constexpr int kScrollAdCount = 3;

    CMainWnd() = default;

    LPCTSTR GetWindowClassName() const override;
    SkinUI::CControlUI* CreateControl(LPCTSTR pstrClass) override;
    void InitWindow() override;
    void Close(UINT nRet = IDOK) override;

    // CCefWebLoadCallback
    void OnWebLoadStart(CCefHandler* handler, int tag) override;
    void OnWebLoadEnd(CCefHandler* handler, int tag, CefRefPtr<CefBrowser> browser) override;
    void OnWebLoadError(CCefHandler* handler, int tag, CefRefPtr<CefFrame> frame) override;
    void OnWebTitleChange(CCefHandler* handler, int tag, const wchar_t* title) override;
    bool OnWebBeforePopup(CCefHandler* handler, int tag, const wchar_t* url) override;

protected:
    SkinUI::CUiString GetSkinFolder() override;
    SkinUI::CUiString GetSkinFile() override;
    SkinUI::UI_RESOURCETYPE GetResourceType() const override;
    LPCTSTR GetResourceID() const override;
    LRESULT HandleCustomMessage(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled) override;
    void OnFinalMessage(HWND hWnd) override;

private:
    // Fills the advertisement controls from the feed lists (UM_FEEDREADY).
    LRESULT ShowFeed();
    void BringBack();
    void ShowBrowserPage();
    // The engine was lost too often and is no longer restarted by itself:
    // the loading panel says so and offers a retry; the click retries.
    void ShowEngineLost();
    void RetryEngine();
    // The first close request: asks the browser to close. False when there
    // is no browser to ask, so the window may close at once.
    bool CloseBrowserFirst();

    // Where the exit question stands: its OK arrives while Close still runs
    // its modal loop, and the window is closed only after the loop ended.
    enum class ExitQuestion { None, Asking, Confirmed };
    ExitQuestion m_exitQuestion = ExitQuestion::None;

    SkinUI::CTabLayoutUI* m_pTabMain = nullptr;
    CCefWebkitUI* m_pWebMain = nullptr;
    SkinUI::CControlUI* m_pScrollAd[kScrollAdCount] = {};
    SkinUI::CControlUI* m_pTopAd[kTopAdCount] = {};

    // The buttons' clicks, each named in the message map; the system
    // buttons stay with the window base.
    void OnHomeClick(SkinUI::TNotifyUI& msg);
    void OnScrollAdClick(SkinUI::TNotifyUI& msg);
    void OnTopAdClick(SkinUI::TNotifyUI& msg);
    void OnRetryClick(SkinUI::TNotifyUI& msg);

    UI_DECLARE_MESSAGE_MAP(CMainWnd)
};

}  // namespace Vornex
