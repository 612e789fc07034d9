#pragma once
// The skin's <CefWeb> element: a control that shows one embedded browser.
// The browser is a child window of the hosting window, created by the
// runtime when the control is initialised; the control keeps that window at
// its own rectangle and shows it only while the control itself is visible.
// Start address: the attribute "url". The hosting window reaches the client
// handler (GetHandler) to hear about loads, titles and pop-ups.

#include "browser/CefHandler.h"
#include "browser/BrowserOwner.h"
#include "ui/controls/ControlUI.h"

namespace Vornex {

class CCefWebkitUI : public SkinUI::CControlUI, public BrowserOwner {
public:
    CCefWebkitUI();
    ~CCefWebkitUI() override;

    LPCTSTR GetClass() const override;
    LPVOID GetInterface(LPCTSTR pstrName) override;
    void SetPos(RECT rc) override;
    void SetInternVisible(bool bVisible = true) override;
    void SetVisible(bool bVisible = true) override;
    void DoInit() override;
    void SetAttribute(LPCTSTR pstrName, LPCTSTR pstrValue) override;

    // BrowserOwner: the runtime has created this control's browser.
    void SetBrowser(CefRefPtr<CefBrowser> browser) override;

    // Asks the browser to close: the page's unload handlers run, then the
    // top-level window receives WM_CLOSE. The browser stays referenced.
    void CloseBrowser();

    const SkinUI::CUiString& GetUrl() const { return m_sUrl; }
    CefRefPtr<CefBrowser> GetBrowser() const { return m_browser; }
    CefRefPtr<CCefHandler> GetHandler() const { return m_handler; }
    // The browser's child window, or null while there is none.
    HWND GetBrowserWindow() const;

private:
    CCefWebkitUI(const CCefWebkitUI&) = delete;
    CCefWebkitUI& operator=(const CCefWebkitUI&) = delete;
    void ShowBrowserWindow();

    SkinUI::CUiString m_sUrl;
    CefRefPtr<CefBrowser> m_browser;
    CefRefPtr<CCefHandler> m_handler;
};

}  // namespace Vornex
