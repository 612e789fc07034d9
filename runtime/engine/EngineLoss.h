#pragma once
// What a browser's client hears when the engine behind it goes away.

#include "runtime/CefBase.h"

namespace vxrt {

class BrowserImpl;

// UI thread: reports a failed main-frame load with ERR_CONNECTION_CLOSED
// (-100, "net::ERR_CONNECTION_CLOSED") for the address that was shown.
void ReportEngineLost(CefRefPtr<BrowserImpl> browser);

}  // namespace vxrt
