#pragma once
// What a browser's client hears when the engine behind it goes away.

#include "runtime/CefBase.h"
#include "runtime/CefTypes.h"

namespace vxrt {

class BrowserImpl;

// UI thread: reports a failed main-frame load with ERR_CONNECTION_CLOSED
// (-100, "net::ERR_CONNECTION_CLOSED") for the address that was shown.
void ReportEngineLost(CefRefPtr<BrowserImpl> browser);

// The error a client hears when losses came too often and the runtime no
// longer brings the page back by itself; a reload of the browser tries again.
const cef_errorcode_t kRecoveryAbandoned = ERR_INSUFFICIENT_RESOURCES;

// UI thread: reports a failed main-frame load with kRecoveryAbandoned.
void ReportRecoveryAbandoned(CefRefPtr<BrowserImpl> browser);

}  // namespace vxrt
