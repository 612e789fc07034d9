#pragma once
// Handler interfaces a client implements. Every operation has a default that
// does nothing, so a client overrides only what it cares about.

#include "runtime/CefBrowser.h"
#include "runtime/CefContextMenu.h"
#include "runtime/CefDownload.h"

class CefRequest : public virtual CefBase {
public:
    virtual CefString GetURL() = 0;
    virtual CefString GetMethod() = 0;
};

class CefDisplayHandler : public virtual CefBase {
public:
    virtual void OnAddressChange(CefRefPtr<CefBrowser> browser, CefRefPtr<CefFrame> frame, const CefString& url) {}
    virtual void OnTitleChange(CefRefPtr<CefBrowser> browser, const CefString& title) {}
    virtual bool OnTooltip(CefRefPtr<CefBrowser> browser, CefString& text) { return false; }
    virtual void OnStatusMessage(CefRefPtr<CefBrowser> browser, const CefString& value) {}
    virtual bool OnConsoleMessage(CefRefPtr<CefBrowser> browser, const CefString& message, const CefString& source,
                                  int line)
    {
        return false;
    }
};

class CefLifeSpanHandler : public virtual CefBase {
public:
    // Return true to cancel the pop-up.
    virtual bool OnBeforePopup(CefRefPtr<CefBrowser> browser, CefRefPtr<CefFrame> frame, const CefString& target_url,
                               const CefString& target_frame_name, const CefPopupFeatures& popupFeatures,
                               CefWindowInfo& windowInfo, CefRefPtr<CefClient>& client, CefBrowserSettings& settings,
                               bool* no_javascript_access)
    {
        return false;
    }
    virtual void OnAfterCreated(CefRefPtr<CefBrowser> browser) {}
    virtual bool RunModal(CefRefPtr<CefBrowser> browser) { return false; }
    // Return true to keep the top-level window from receiving WM_CLOSE.
    virtual bool DoClose(CefRefPtr<CefBrowser> browser) { return false; }
    virtual void OnBeforeClose(CefRefPtr<CefBrowser> browser) {}
};

class CefLoadHandler : public virtual CefBase {
public:
    typedef cef_errorcode_t ErrorCode;
    virtual void OnLoadingStateChange(CefRefPtr<CefBrowser> browser, bool isLoading, bool canGoBack, bool canGoForward)
    {}
    virtual void OnLoadStart(CefRefPtr<CefBrowser> browser, CefRefPtr<CefFrame> frame) {}
    virtual void OnLoadEnd(CefRefPtr<CefBrowser> browser, CefRefPtr<CefFrame> frame, int httpStatusCode) {}
    virtual void OnLoadError(CefRefPtr<CefBrowser> browser, CefRefPtr<CefFrame> frame, ErrorCode errorCode,
                             const CefString& errorText, const CefString& failedUrl)
    {}
};

class CefRequestHandler : public virtual CefBase {
public:
    typedef cef_termination_status_t TerminationStatus;
    // Return true to cancel the navigation.
    virtual bool OnBeforeBrowse(CefRefPtr<CefBrowser> browser, CefRefPtr<CefFrame> frame, CefRefPtr<CefRequest> request,
                                bool is_redirect)
    {
        return false;
    }
    virtual void OnRenderProcessTerminated(CefRefPtr<CefBrowser> browser, TerminationStatus status) {}
};

class CefContextMenuHandler : public virtual CefBase {
public:
    virtual void OnBeforeContextMenu(CefRefPtr<CefBrowser> browser, CefRefPtr<CefFrame> frame,
                                     CefRefPtr<CefContextMenuParams> params, CefRefPtr<CefMenuModel> model)
    {}
    // Return true when the command was handled; false lets the runtime do it.
    virtual bool OnContextMenuCommand(CefRefPtr<CefBrowser> browser, CefRefPtr<CefFrame> frame,
                                      CefRefPtr<CefContextMenuParams> params, int command_id, EventFlags event_flags)
    {
        return false;
    }
    virtual void OnContextMenuDismissed(CefRefPtr<CefBrowser> browser, CefRefPtr<CefFrame> frame) {}
};

class CefDownloadHandler : public virtual CefBase {
public:
    // Without a call to callback->Continue the download is cancelled.
    virtual void OnBeforeDownload(CefRefPtr<CefBrowser> browser, CefRefPtr<CefDownloadItem> download_item,
                                  const CefString& suggested_name, CefRefPtr<CefBeforeDownloadCallback> callback)
    {}
    virtual void OnDownloadUpdated(CefRefPtr<CefBrowser> browser, CefRefPtr<CefDownloadItem> download_item,
                                   CefRefPtr<CefDownloadItemCallback> callback)
    {}
};

class CefProcessMessage : public virtual CefBase {
public:
    virtual CefString GetName() = 0;
};

// The client of one browser: hands out its handlers.
class CefClient : public virtual CefBase {
public:
    virtual CefRefPtr<CefContextMenuHandler> GetContextMenuHandler() { return nullptr; }
    virtual CefRefPtr<CefDisplayHandler> GetDisplayHandler() { return nullptr; }
    virtual CefRefPtr<CefDownloadHandler> GetDownloadHandler() { return nullptr; }
    virtual CefRefPtr<CefLifeSpanHandler> GetLifeSpanHandler() { return nullptr; }
    virtual CefRefPtr<CefLoadHandler> GetLoadHandler() { return nullptr; }
    virtual CefRefPtr<CefRequestHandler> GetRequestHandler() { return nullptr; }
    virtual bool OnProcessMessageReceived(CefRefPtr<CefBrowser> browser, cef_process_id_t source_process,
                                          CefRefPtr<CefProcessMessage> message)
    {
        return false;
    }
};
