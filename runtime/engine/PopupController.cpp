#include "runtime/engine/PopupController.h"

#include "runtime/engine/BrowserImpl.h"
#include "runtime/engine/Runtime.h"

namespace vxrt {

namespace {

// How long one half of a request waits for its other half: Page.windowOpen
// and the new target arrive within milliseconds of each other, but a
// request the engine's blocker stopped never gets a target, and a Ctrl or
// middle click never gets a Page.windowOpen.
const DWORD kPairingMs = 600;
// Requests a misbehaving page (or engine) may leave waiting at once.
const size_t kMaxWaiting = 64;

std::string Str(const Json& o, const char* name)
{
    auto it = o.find(name);
    return it != o.end() && it->is_string() ? it->get<std::string>() : std::string();
}

}  // namespace

void PopupController::OnEvent(const std::string& method, const Json& params, const std::string& sessionId)
{
    Runtime* rt = Runtime::Get();
    if (!rt || !params.is_object()) return;
    if (method == "Page.windowOpen") {
        CefRefPtr<BrowserImpl> opener = rt->BrowserBySession(sessionId);
        if (!opener) return;
        // Requests without a user gesture are offered too: the client, not
        // the engine's blocker, decides about new windows.
        Request req{opener->TargetId(), Str(params, "url"), Str(params, "windowName"), GetTickCount()};
        if (req.name == "_blank") req.name.clear();
        std::lock_guard<std::mutex> lock(m_lock);
        for (auto it = m_targets.begin(); it != m_targets.end(); ++it) {
            if (it->openerTarget == req.openerTarget) {
                m_targets.erase(it);
                Offer(req.openerTarget, req.url, req.name);
                return;
            }
        }
        if (m_requests.size() >= kMaxWaiting) m_requests.pop_front();
        m_requests.push_back(req);
        return;
    }
    if (method == "Target.targetCreated" && sessionId.empty()) {
        auto infoIt = params.find("targetInfo");
        if (infoIt == params.end() || !infoIt->is_object()) return;
        const Json& info = *infoIt;
        if (Str(info, "type") != "page") return;
        NewTarget t{Str(info, "targetId"), Str(info, "openerId"), Str(info, "url"), GetTickCount()};
        if (t.targetId.empty() || rt->BrowserByTarget(t.targetId)) return;
        if (t.openerTarget.empty()) {
            // The runtime's own pages start blank and have no opener; a
            // Ctrl or middle click names its address from the start.
            if (t.url.empty() || t.url == "about:blank") return;
        } else if (!rt->BrowserByTarget(t.openerTarget)) {
            return;  // opened by a page that is not one of ours
        }
        // The engine's window is never shown: close it before it loads.
        rt->DevTools().Call("Target.closeTarget", {{"targetId", t.targetId}}, "");
        std::lock_guard<std::mutex> lock(m_lock);
        if (!t.openerTarget.empty()) {
            for (auto it = m_requests.begin(); it != m_requests.end(); ++it) {
                if (it->openerTarget == t.openerTarget) {
                    Request req = *it;
                    m_requests.erase(it);
                    Offer(req.openerTarget, req.url, req.name);
                    return;
                }
            }
        }
        if (m_targets.size() >= kMaxWaiting) m_targets.pop_front();
        m_targets.push_back(t);
    }
}

void PopupController::Tick()
{
    DWORD now = GetTickCount();
    std::lock_guard<std::mutex> lock(m_lock);
    while (!m_requests.empty() && now - m_requests.front().at >= kPairingMs) {
        Request r = m_requests.front();
        m_requests.pop_front();
        Offer(r.openerTarget, r.url, r.name);
    }
    while (!m_targets.empty() && now - m_targets.front().at >= kPairingMs) {
        NewTarget t = m_targets.front();
        m_targets.pop_front();
        Offer(t.openerTarget, t.url, std::string());
    }
}

void PopupController::Offer(const std::string& openerTarget, const std::string& url, const std::string& name)
{
    Runtime* rt = Runtime::Get();
    if (!rt) return;
    rt->Ui().Post([openerTarget, url, name] {
        Runtime* rt = Runtime::Get();
        if (!rt) return;
        // A click with a modifier names no opener: it came from the browser
        // the user works in.
        CefRefPtr<BrowserImpl> opener =
            openerTarget.empty() ? rt->BrowserOfWindow(GetForegroundWindow()) : rt->BrowserByTarget(openerTarget);
        if (opener) OfferPopup(opener, url, name);
    });
}

void PopupController::OfferPopup(CefRefPtr<BrowserImpl> opener, const std::string& url, const std::string& name)
{
    if (!opener || !opener->GetWindowHandle()) return;
    CefRefPtr<CefClient> client = opener->GetClient();
    if (!client) return;
    CefPopupFeatures features;
    CefWindowInfo info;
    info.SetAsPopup(nullptr, CefString(name));
    CefRefPtr<CefClient> popupClient = client;
    CefBrowserSettings settings;
    bool noScriptAccess = false;
    if (CefRefPtr<CefLifeSpanHandler> life = client->GetLifeSpanHandler()) {
        if (life->OnBeforePopup(opener.get(), opener->GetMainFrame(), CefString(url), CefString(name), features, info,
                                popupClient, settings, &noScriptAccess))
            return;
    }
    if (!popupClient) popupClient = client;
    // The new browser is owned by its window; the reference here goes.
    CefBrowserHost::CreateBrowserSync(info, popupClient, CefString(url), settings, nullptr);
}

}  // namespace vxrt
