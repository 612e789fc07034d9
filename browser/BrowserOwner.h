#pragma once
// The side of the browser host control that the client handler talks to:
// it receives the browser once the runtime has created it.

#include "runtime/CefBrowser.h"

namespace Vornex {

class BrowserOwner {
public:
    virtual void SetBrowser(CefRefPtr<CefBrowser> browser) = 0;

protected:
    // The handler holds a plain, non-owning pointer to its control.
    ~BrowserOwner() {}
};

}  // namespace Vornex
