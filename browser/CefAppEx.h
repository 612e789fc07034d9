#pragma once
// The application object of every process of the program: the browser
// process hands it to the runtime at start-up, and each sub-process the
// runtime starts runs with it too. It leaves the engine's command line,
// schemes and resources as they are.

#include "runtime/CefApp.h"

namespace Vornex {

class CCefAppEx : public CefApp,
                  public CefBrowserProcessHandler,
                  public CefRenderProcessHandler,
                  public CefLoadHandler {
public:
    CCefAppEx();
    ~CCefAppEx() override;

    // CefApp
    CefRefPtr<CefBrowserProcessHandler> GetBrowserProcessHandler() override;
    CefRefPtr<CefRenderProcessHandler> GetRenderProcessHandler() override;

    // CefRenderProcessHandler
    CefRefPtr<CefLoadHandler> GetLoadHandler() override;
    void OnContextCreated(CefRefPtr<CefBrowser> browser, CefRefPtr<CefFrame> frame,
                          CefRefPtr<CefV8Context> context) override;

private:
    CCefAppEx(const CCefAppEx&) = delete;
    CCefAppEx& operator=(const CCefAppEx&) = delete;

    IMPLEMENT_REFCOUNTING(CCefAppEx);
};

}  // namespace Vornex
