#pragma once
// Runtime objects a client sees: the browser, its host (window and
// lifetime), its frames and script contexts.

#include "runtime/CefBase.h"
#include "runtime/CefString.h"
#include "runtime/CefTypes.h"

class CefBrowserHost;
class CefClient;
class CefFrame;
class CefV8Context;

// Network state shared by browsers (one per runtime here; reserved).
class CefRequestContext : public virtual CefBase {};

class CefBrowser : public virtual CefBase {
public:
    virtual CefRefPtr<CefBrowserHost> GetHost() = 0;
    virtual bool CanGoBack() = 0;
    virtual void GoBack() = 0;
    virtual bool CanGoForward() = 0;
    virtual void GoForward() = 0;
    virtual bool IsLoading() = 0;
    virtual void Reload() = 0;
    virtual void ReloadIgnoreCache() = 0;
    virtual void StopLoad() = 0;
    virtual int GetIdentifier() = 0;
    virtual bool IsSame(CefRefPtr<CefBrowser> that) = 0;
    virtual bool IsPopup() = 0;
    virtual bool HasDocument() = 0;
    virtual CefRefPtr<CefFrame> GetMainFrame() = 0;
};

class CefBrowserHost : public virtual CefBase {
public:
    // Creates a browser window as described by windowInfo, loads url and
    // returns once the window exists; the client's OnAfterCreated has run
    // by then. Returns null when the runtime is not initialised or the
    // engine refuses the page.
    static CefRefPtr<CefBrowser> CreateBrowserSync(const CefWindowInfo& windowInfo, CefRefPtr<CefClient> client,
                                                   const CefString& url, const CefBrowserSettings& settings,
                                                   CefRefPtr<CefRequestContext> request_context);

    virtual CefRefPtr<CefBrowser> GetBrowser() = 0;
    // Asks the browser to close. Without force the page's beforeunload and
    // unload handlers run first; then the client's DoClose decides whether
    // the top-level window gets WM_CLOSE; OnBeforeClose follows when the
    // browser window goes away.
    virtual void CloseBrowser(bool force_close) = 0;
    virtual void SetFocus(bool focus) = 0;
    virtual HWND GetWindowHandle() = 0;
    virtual HWND GetOpenerWindowHandle() = 0;
    virtual CefRefPtr<CefClient> GetClient() = 0;
    virtual CefRefPtr<CefRequestContext> GetRequestContext() = 0;
    virtual void WasResized() = 0;
};

class CefFrame : public virtual CefBase {
public:
    virtual bool IsValid() = 0;
    virtual void Undo() = 0;
    virtual void Redo() = 0;
    virtual void Cut() = 0;
    virtual void Copy() = 0;
    virtual void Paste() = 0;
    virtual void Delete() = 0;
    virtual void SelectAll() = 0;
    virtual void ViewSource() = 0;
    virtual void LoadURL(const CefString& url) = 0;
    virtual void ExecuteJavaScript(const CefString& code, const CefString& script_url, int start_line) = 0;
    virtual bool IsMain() = 0;
    virtual bool IsFocused() = 0;
    virtual CefString GetName() = 0;
    virtual CefString GetIdentifierString() = 0;
    virtual CefRefPtr<CefFrame> GetParent() = 0;
    virtual CefString GetURL() = 0;
    virtual CefRefPtr<CefBrowser> GetBrowser() = 0;
};

// One script context of a frame. Enter and Exit must balance on a thread.
class CefV8Context : public virtual CefBase {
public:
    virtual bool IsValid() = 0;
    virtual CefRefPtr<CefBrowser> GetBrowser() = 0;
    virtual CefRefPtr<CefFrame> GetFrame() = 0;
    virtual bool Enter() = 0;
    virtual bool Exit() = 0;
    virtual bool IsSame(CefRefPtr<CefV8Context> that) = 0;
    // True while any context is entered on the calling thread.
    static bool InContext();
};
