#pragma once
// New windows a page asks for. The engine opens them as targets of its own
// (window.open, target=_blank links and forms, Ctrl and middle clicks);
// each one is closed at once and offered to the opener's client, which
// cancels it or gets a top-level browser of the runtime for it.

#include <deque>
#include <mutex>
#include <string>

#include "runtime/engine/DevToolsConnection.h"
#include "runtime/CefBase.h"

namespace vxrt {

class BrowserImpl;

class PopupController {
public:
    // Runtime thread: every protocol event, with the session it came on.
    void OnEvent(const std::string& method, const Json& params, const std::string& sessionId);
    // Runtime thread: offers requests whose partner event never came.
    void Tick();

    // UI thread: asks opener's client about a new window for url and opens
    // it unless the client cancels.
    static void OfferPopup(CefRefPtr<BrowserImpl> opener, const std::string& url, const std::string& name);

private:
    // Page.windowOpen of an opener: address and name, no target yet.
    struct Request {
        std::string openerTarget, url, name;
        DWORD at;
    };
    // A page target the engine opened by itself.
    struct NewTarget {
        std::string targetId, openerTarget, url;
        DWORD at;
    };

    void Offer(const std::string& openerTarget, const std::string& url, const std::string& name);

    std::mutex m_lock;
    std::deque<Request> m_requests;
    std::deque<NewTarget> m_targets;
};

}  // namespace vxrt
