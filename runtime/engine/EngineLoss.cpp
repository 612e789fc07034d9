#include "runtime/engine/EngineLoss.h"

#include "runtime/engine/BrowserImpl.h"

namespace vxrt {

void ReportEngineLost(CefRefPtr<BrowserImpl> browser)
{
    if (!browser || !browser->GetWindowHandle()) return;
    CefRefPtr<CefClient> client = browser->GetClient();
    CefRefPtr<CefLoadHandler> handler = client ? client->GetLoadHandler() : nullptr;
    CefRefPtr<CefFrame> frame = browser->GetMainFrame();
    if (!handler || !frame) return;
    handler->OnLoadError(browser.get(), frame, ERR_CONNECTION_CLOSED, CefString("net::ERR_CONNECTION_CLOSED"),
                         frame->GetURL());
}

}  // namespace vxrt
