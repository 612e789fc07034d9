#pragma once
// What a browser's client handler tells the window that hosts the browser.
// The window registers itself in the handler together with a tag of its
// choosing, which comes back unchanged with every call, so one window can
// tell several browsers apart. Calls arrive on the UI thread.

#include "runtime/CefBrowser.h"

namespace Vornex {

class CCefHandler;

class CCefWebLoadCallback {
public:
    // The main frame started loading a document.
    virtual void OnWebLoadStart(CCefHandler* handler, int tag) = 0;
    // The main frame finished loading, whatever the HTTP status.
    virtual void OnWebLoadEnd(CCefHandler* handler, int tag, CefRefPtr<CefBrowser> browser) = 0;
    // The main frame failed to load (never for a load that was aborted).
    virtual void OnWebLoadError(CCefHandler* handler, int tag, CefRefPtr<CefFrame> frame) = 0;
    // The page's title changed; null when the page has no title.
    virtual void OnWebTitleChange(CCefHandler* handler, int tag, const wchar_t* title) = 0;
    // The page asks for a new window for url (null when it names none).
    // Returning true refuses it; false lets the runtime open it.
    virtual bool OnWebBeforePopup(CCefHandler* handler, int tag, const wchar_t* url) = 0;

protected:
    // The handler never owns its window, so it never deletes it through here.
    ~CCefWebLoadCallback() {}
};

}  // namespace Vornex
