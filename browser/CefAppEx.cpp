#include "browser/CefAppEx.h"

namespace Vornex {

CCefAppEx::CCefAppEx() {}

CCefAppEx::~CCefAppEx() {}

CefRefPtr<CefBrowserProcessHandler> CCefAppEx::GetBrowserProcessHandler() { return this; }

CefRefPtr<CefRenderProcessHandler> CCefAppEx::GetRenderProcessHandler() { return this; }

CefRefPtr<CefLoadHandler> CCefAppEx::GetLoadHandler() { return this; }

void CCefAppEx::OnContextCreated(CefRefPtr<CefBrowser> browser, CefRefPtr<CefFrame> frame,
                                 CefRefPtr<CefV8Context> context)
{
    // No bindings are installed; entering and leaving keeps the context's
    // enter/exit balance on this thread as the runtime expects.
    if (!context) return;
    if (context->Enter()) context->Exit();
}

}  // namespace Vornex
