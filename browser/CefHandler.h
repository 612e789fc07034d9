#pragma once
// The client of one embedded browser. It reports main-frame loading, title
// changes and pop-up requests to the hosting window, hands the created
// browser to its control, puts the context menu into Chinese with a command
// that copies the link address, and sends every download through the
// runtime's save dialog.
//
// The control and the runtime both hold references, so the handler can
// outlive its control; the control detaches itself when it goes. Every call
// arrives on the UI thread, the one that created the handler.

#include "browser/CefWebLoadCallback.h"
#include "browser/BrowserOwner.h"
#include "runtime/CefHandlers.h"

namespace Vornex {

class CCefHandler : public CefClient,
                    public CefDisplayHandler,
                    public CefLifeSpanHandler,
                    public CefLoadHandler,
                    public CefRequestHandler,
                    public CefContextMenuHandler,
                    public CefDownloadHandler {
public:
    // Command of the appended "copy link address" and "copy image" items.
    static constexpr int kCopyLinkCommand = 26501;

    explicit CCefHandler(BrowserOwner* owner);
    ~CCefHandler() override;

    // The hosting window, or null to stop hearing from this browser. The tag
    // comes back with every callback.
    void SetLoadCallback(CCefWebLoadCallback* callback, int tag);
    CCefWebLoadCallback* GetLoadCallback() const { return m_pLoadCallback; }
    int GetCallbackTag() const { return m_nCallbackTag; }
    // The control is going away: no further calls reach it or its window.
    void Detach();
    // The error of the main frame's last failed load, ERR_NONE once a new
    // load starts: the window reads it when told of a load error.
    ErrorCode GetLastLoadError() const { return m_lastLoadError; }

    // CefClient
    CefRefPtr<CefContextMenuHandler> GetContextMenuHandler() override;
    CefRefPtr<CefDisplayHandler> GetDisplayHandler() override;
    CefRefPtr<CefDownloadHandler> GetDownloadHandler() override;
    CefRefPtr<CefLifeSpanHandler> GetLifeSpanHandler() override;
    CefRefPtr<CefLoadHandler> GetLoadHandler() override;

    // CefDisplayHandler
    void OnTitleChange(CefRefPtr<CefBrowser> browser, const CefString& title) override;

    // CefLifeSpanHandler
    bool OnBeforePopup(CefRefPtr<CefBrowser> browser, CefRefPtr<CefFrame> frame, const CefString& target_url,
                       const CefString& target_frame_name, const CefPopupFeatures& popupFeatures,
                       CefWindowInfo& windowInfo, CefRefPtr<CefClient>& client, CefBrowserSettings& settings,
                       bool* no_javascript_access) override;
    void OnAfterCreated(CefRefPtr<CefBrowser> browser) override;

    // CefLoadHandler
    void OnLoadStart(CefRefPtr<CefBrowser> browser, CefRefPtr<CefFrame> frame) override;
    void OnLoadEnd(CefRefPtr<CefBrowser> browser, CefRefPtr<CefFrame> frame, int httpStatusCode) override;
    void OnLoadError(CefRefPtr<CefBrowser> browser, CefRefPtr<CefFrame> frame, ErrorCode errorCode,
                     const CefString& errorText, const CefString& failedUrl) override;

    // CefContextMenuHandler
    void OnBeforeContextMenu(CefRefPtr<CefBrowser> browser, CefRefPtr<CefFrame> frame,
                             CefRefPtr<CefContextMenuParams> params, CefRefPtr<CefMenuModel> model) override;
    bool OnContextMenuCommand(CefRefPtr<CefBrowser> browser, CefRefPtr<CefFrame> frame,
                              CefRefPtr<CefContextMenuParams> params, int command_id, EventFlags event_flags) override;

    // CefDownloadHandler
    void OnBeforeDownload(CefRefPtr<CefBrowser> browser, CefRefPtr<CefDownloadItem> download_item,
                          const CefString& suggested_name, CefRefPtr<CefBeforeDownloadCallback> callback) override;

private:
    CCefHandler(const CCefHandler&) = delete;
    CCefHandler& operator=(const CCefHandler&) = delete;
    bool OnOwnerThread() const;

    int m_nCallbackTag;
    CCefWebLoadCallback* m_pLoadCallback;
    BrowserOwner* m_pOwner;
    bool m_bBrowserHanded;  // the first browser went to the owner
    ErrorCode m_lastLoadError = ERR_NONE;
    DWORD m_ownerThread;

    IMPLEMENT_REFCOUNTING(CCefHandler);
};

}  // namespace Vornex
