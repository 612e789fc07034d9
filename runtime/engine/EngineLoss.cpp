#include "runtime/engine/EngineLoss.h"

#include "runtime/engine/BrowserImpl.h"

namespace vxrt {

namespace {

void ReportMainFrameError(CefRefPtr<BrowserImpl> browser, cef_errorcode_t code, const char* text)
{
    if (!browser || !browser->GetWindowHandle()) return;
    CefRefPtr<CefClient> client = browser->GetClient();
    CefRefPtr<CefLoadHandler> handler = client ? client->GetLoadHandler() : nullptr;
    CefRefPtr<CefFrame> frame = browser->GetMainFrame();
    if (!handler || !frame) return;
    handler->OnLoadError(browser.get(), frame, code, CefString(text), CefString(browser->LastUrl()));
}

}  // namespace

void ReportEngineLost(CefRefPtr<BrowserImpl> browser)
{
    ReportMainFrameError(browser, ERR_CONNECTION_CLOSED, "net::ERR_CONNECTION_CLOSED");
}

void ReportRecoveryAbandoned(CefRefPtr<BrowserImpl> browser)
{
    ReportMainFrameError(browser, kRecoveryAbandoned, "net::ERR_INSUFFICIENT_RESOURCES");
}

}  // namespace vxrt
