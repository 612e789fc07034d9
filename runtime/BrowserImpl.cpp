#include "runtime/BrowserImpl.h"

#include "runtime/BrowserWindow.h"
#include "runtime/FrameImpl.h"
#include "runtime/NetError.h"
#include "runtime/Runtime.h"

namespace vxrt {

namespace {

const DWORD kCallTimeoutMs = 10000;
// A picture is taken when the stream stays quiet this long after a change.
const DWORD kScreenshotDelayMs = 200;

}  // namespace

BrowserImpl::BrowserImpl(int id, CefRefPtr<CefClient> client) : m_id(id), m_client(client) {}

BrowserImpl::~BrowserImpl() {}

void BrowserImpl::Post(std::function<void()> fn)
{
    if (Runtime* rt = Runtime::Get()) rt->Ui().Post(std::move(fn));
}

void BrowserImpl::Send(const std::string& method, const Json& params)
{
    Runtime* rt = Runtime::Get();
    if (!rt || m_sessionId.empty()) return;
    rt->DevTools().Call(method, params, m_sessionId);
}

Json BrowserImpl::SendSync(const std::string& method, const Json& params)
{
    Runtime* rt = Runtime::Get();
    if (!rt || m_sessionId.empty()) return Json();
    return rt->DevTools().CallSync(method, params, m_sessionId, kCallTimeoutMs);
}

bool BrowserImpl::Create(const CefWindowInfo& info, const CefString& url)
{
    // Engine replies are untrusted JSON: a reply of the wrong shape fails the
    // creation instead of throwing out of the runtime's interface.
    try {
        return CreateChecked(info, url);
    } catch (const std::exception&) {
        if (Runtime* rt = Runtime::Get(); rt && !m_targetId.empty())
            rt->DevTools().Call("Target.closeTarget", {{"targetId", m_targetId}}, "");
        if (m_hwnd && IsWindow(m_hwnd)) DestroyWindow(m_hwnd);
        return false;
    }
}

bool BrowserImpl::CreateChecked(const CefWindowInfo& info, const CefString& url)
{
    Runtime* rt = Runtime::Get();
    if (!rt) return false;
    m_window = BrowserWindow::Create(this, info.parent_window, info.style, info.ex_style, info.x, info.y, info.width,
                                     info.height);
    if (!m_window) return false;
    m_hwnd = m_window->Handle();
    RECT rc;
    GetClientRect(m_hwnd, &rc);
    m_width = rc.right > 0 ? rc.right : 1;
    m_height = rc.bottom > 0 ? rc.bottom : 1;
    m_visible = IsWindowVisible(m_hwnd) != FALSE;

    Json created = rt->DevTools().CallSync("Target.createTarget", {{"url", "about:blank"}}, "", kCallTimeoutMs);
    if (!created.is_object() || !created.contains("targetId")) {
        DestroyWindow(m_hwnd);
        return false;
    }
    m_targetId = created["targetId"].get<std::string>();
    Json attached = rt->DevTools().CallSync("Target.attachToTarget", {{"targetId", m_targetId}, {"flatten", true}}, "",
                                            kCallTimeoutMs);
    if (!attached.is_object() || !attached.contains("sessionId")) {
        rt->DevTools().Call("Target.closeTarget", {{"targetId", m_targetId}}, "");
        DestroyWindow(m_hwnd);
        return false;
    }
    m_sessionId = attached["sessionId"].get<std::string>();
    rt->SetBrowserSession(this, m_targetId, m_sessionId);

    SendSync("Page.enable");
    Json tree = SendSync("Page.getFrameTree");
    {
        std::lock_guard<std::mutex> lock(m_lock);
        if (tree.is_object() && tree.contains("frameTree"))
            m_mainFrameId = tree["frameTree"]["frame"].value("id", m_targetId);
        else
            m_mainFrameId = m_targetId;
        m_state = State::Open;
    }
    FrameFor(m_mainFrameId, "", true);
    Send("Page.setLifecycleEventsEnabled", {{"enabled", true}});
    Send("Network.enable");
    // Contexts that exist already (the blank page the target starts with)
    // are replayed before this returns; only the ones made afterwards are
    // new contexts of pages this browser loads.
    SendSync("Runtime.enable");
    {
        std::lock_guard<std::mutex> lock(m_lock);
        m_contextsLive = true;
    }
    Send("Emulation.setFocusEmulationEnabled", {{"enabled", true}});
    Send("Emulation.setDeviceMetricsOverride",
         {{"width", m_width}, {"height", m_height}, {"deviceScaleFactor", 1}, {"mobile", false}});
    if (m_visible) StartScreencast();
    if (!url.empty()) Send("Page.navigate", {{"url", url.ToString()}});
    return true;
}

void BrowserImpl::StartScreencast()
{
    Send("Page.startScreencast",
         {{"format", "jpeg"}, {"quality", 90}, {"maxWidth", m_width}, {"maxHeight", m_height}, {"everyNthFrame", 1}});
}

CefRefPtr<FrameImpl> BrowserImpl::FrameFor(const std::string& frameId, const std::string& parentId, bool create)
{
    std::lock_guard<std::mutex> lock(m_lock);
    auto it = m_frames.find(frameId);
    if (it != m_frames.end()) return it->second;
    if (!create) return nullptr;
    CefRefPtr<FrameImpl> f = new FrameImpl(this, frameId, frameId == m_mainFrameId);
    if (!parentId.empty()) {
        auto p = m_frames.find(parentId);
        if (p != m_frames.end()) f->SetParent(p->second);
    }
    m_frames[frameId] = f;
    return f;
}

void BrowserImpl::HandleEvent(const std::string& method, const Json& params)
{
    CefRefPtr<BrowserImpl> self(this);
    CefRefPtr<CefClient> client = m_client;
    if (method == "Page.screencastFrame") {
        // Acknowledge first, whatever happens to the picture, or the stream
        // stalls.
        Send("Page.screencastFrameAck", {{"sessionId", params.value("sessionId", 0)}});
        FrameImage image;
        if (params.contains("data") && params["data"].is_string() &&
            DecodeFrameImage(params["data"].get_ref<const std::string&>(), image))
            ShowImage(std::move(image));
        return;
    }
    if (method == "Network.requestWillBeSent") {
        if (params.value("type", "") != "Document") return;
        std::lock_guard<std::mutex> lock(m_lock);
        std::string rid = params.value("requestId", "");
        m_requestFrame[rid] = params.value("frameId", "");
        if (params.contains("request")) m_requestUrl[rid] = params["request"].value("url", "");
        return;
    }
    if (method == "Network.responseReceived") {
        if (params.value("type", "") != "Document") return;
        std::lock_guard<std::mutex> lock(m_lock);
        std::string frameId = params.value("frameId", "");
        if (frameId.empty()) frameId = m_requestFrame[params.value("requestId", "")];
        if (params.contains("response")) m_status[frameId] = params["response"].value("status", 0);
        return;
    }
    if (method == "Network.loadingFinished") {
        std::lock_guard<std::mutex> lock(m_lock);
        m_requestFrame.erase(params.value("requestId", ""));
        m_requestUrl.erase(params.value("requestId", ""));
        return;
    }
    if (method == "Network.loadingFailed") {
        if (params.value("type", "") != "Document") return;
        std::string rid = params.value("requestId", "");
        std::string frameId, url;
        {
            std::lock_guard<std::mutex> lock(m_lock);
            frameId = m_requestFrame[rid];
            url = m_requestUrl[rid];
            m_requestFrame.erase(rid);
            m_requestUrl.erase(rid);
        }
        std::string text = params.value("errorText", "net::ERR_FAILED");
        cef_errorcode_t code = params.value("canceled", false) ? ERR_ABORTED : NetErrorCode(text);
        CefRefPtr<FrameImpl> frame = FrameFor(frameId.empty() ? m_mainFrameId : frameId, "", true);
        Post([self, client, frame, code, text, url] {
            if (CefRefPtr<CefLoadHandler> h = client->GetLoadHandler())
                h->OnLoadError(self.get(), frame.get(), code, CefString(text), CefString(url));
        });
        return;
    }
    if (method == "Page.frameNavigated") {
        const Json& f = params["frame"];
        std::string frameId = f.value("id", "");
        std::string parentId = f.value("parentId", "");
        CefRefPtr<FrameImpl> frame = FrameFor(frameId, parentId, true);
        frame->SetUrl(f.value("url", ""));
        frame->SetName(f.value("name", ""));
        bool errorPage = f.contains("unreachableUrl");
        {
            std::lock_guard<std::mutex> lock(m_lock);
            if (errorPage) {
                m_errorPages.insert(frameId);
                m_loading.erase(frameId);
            } else {
                m_errorPages.erase(frameId);
                m_loading.insert(frameId);
            }
            if (frameId == m_mainFrameId) m_navigated = true;
        }
        if (errorPage) return;
        bool isMain = frame->IsMain();
        std::string url = f.value("url", "");
        Post([self, client, frame, isMain, url] {
            if (isMain)
                if (CefRefPtr<CefDisplayHandler> d = client->GetDisplayHandler())
                    d->OnAddressChange(self.get(), frame.get(), CefString(url));
            if (CefRefPtr<CefLoadHandler> h = client->GetLoadHandler()) h->OnLoadStart(self.get(), frame.get());
        });
        return;
    }
    if (method == "Page.lifecycleEvent") {
        if (params.value("name", "") != "load") return;
        std::string frameId = params.value("frameId", "");
        int status = 0;
        {
            std::lock_guard<std::mutex> lock(m_lock);
            if (!m_loading.erase(frameId)) return;
            auto st = m_status.find(frameId);
            if (st != m_status.end()) status = st->second;
        }
        CefRefPtr<FrameImpl> frame = FrameFor(frameId, "", true);
        if (frame->IsMain()) ScheduleScreenshot(kScreenshotDelayMs);
        Post([self, client, frame, status] {
            if (CefRefPtr<CefLoadHandler> h = client->GetLoadHandler()) h->OnLoadEnd(self.get(), frame.get(), status);
        });
        return;
    }
    if (method == "Page.frameStartedLoading" || method == "Page.frameStoppedLoading") {
        bool loading = method == "Page.frameStartedLoading";
        {
            std::lock_guard<std::mutex> lock(m_lock);
            if (params.value("frameId", "") != m_mainFrameId || m_isLoading == loading) return;
            m_isLoading = loading;
        }
        Post([self, client, loading] {
            if (CefRefPtr<CefLoadHandler> h = client->GetLoadHandler())
                h->OnLoadingStateChange(self.get(), loading, self->CanGoBack(), self->CanGoForward());
        });
        return;
    }
    if (method == "Page.frameDetached") {
        std::lock_guard<std::mutex> lock(m_lock);
        std::string frameId = params.value("frameId", "");
        auto it = m_frames.find(frameId);
        if (it != m_frames.end() && frameId != m_mainFrameId) {
            it->second->Detach();
            m_frames.erase(it);
        }
        return;
    }
    if (method == "Runtime.executionContextCreated") {
        const Json& ctx = params["context"];
        if (!ctx.contains("auxData") || !ctx["auxData"].value("isDefault", false)) return;
        {
            std::lock_guard<std::mutex> lock(m_lock);
            if (!m_contextsLive) return;
        }
        std::string frameId = ctx["auxData"].value("frameId", "");
        CefRefPtr<FrameImpl> frame = FrameFor(frameId, "", true);
        int contextId = ctx.value("id", 0);
        Post([self, frame, contextId] {
            Runtime* rt = Runtime::Get();
            if (!rt || !rt->App()) return;
            if (CefRefPtr<CefRenderProcessHandler> r = rt->App()->GetRenderProcessHandler())
                r->OnContextCreated(self.get(), frame.get(), new V8ContextImpl(self.get(), frame.get(), contextId));
        });
        return;
    }
    if (method == "Page.javascriptDialogOpening") {
        // No dialog can be shown for a headless page: accept it so the page
        // (and a close waiting on beforeunload) goes on.
        Send("Page.handleJavaScriptDialog", {{"accept", true}});
        return;
    }
}

void BrowserImpl::HandleTargetEvent(const std::string& method, const Json& params)
{
    CefRefPtr<BrowserImpl> self(this);
    CefRefPtr<CefClient> client = m_client;
    if (method == "Target.targetInfoChanged") {
        const Json& info = params["targetInfo"];
        TitleSeen(info.value("title", ""));
        return;
    }
    if (method == "Target.targetDestroyed" || method == "Target.detachedFromTarget" ||
        method == "Target.targetCrashed") {
        {
            std::lock_guard<std::mutex> lock(m_lock);
            if (m_state == State::EngineClosed || m_state == State::Destroyed) return;
            m_state = State::EngineClosed;
        }
        Post([self] { self->OnTargetClosed(); });
    }
}

void BrowserImpl::TitleSeen(const std::string& title)
{
    CefRefPtr<BrowserImpl> self(this);
    CefRefPtr<CefClient> client = m_client;
    {
        {
            std::lock_guard<std::mutex> lock(m_lock);
            if (!m_navigated || title.empty() || title == m_title) return;
            m_title = title;
        }
        Post([self, client, title] {
            if (CefRefPtr<CefDisplayHandler> d = client->GetDisplayHandler())
                d->OnTitleChange(self.get(), CefString(title));
        });
    }
}

void BrowserImpl::EngineGone()
{
    std::lock_guard<std::mutex> lock(m_lock);
    if (m_state != State::Destroyed) m_state = State::EngineClosed;
}

void BrowserImpl::OnTargetClosed()
{
    // The page has gone (its unload handlers have run). The client may keep
    // the window; otherwise the top-level window is asked to close, and its
    // destruction takes the browser window with it.
    if (!m_hwnd) return;
    bool keep = false;
    if (CefRefPtr<CefLifeSpanHandler> l = m_client->GetLifeSpanHandler()) keep = l->DoClose(this);
    if (keep) return;
    HWND top = GetAncestor(m_hwnd, GA_ROOT);
    if (top && top != m_hwnd)
        PostMessageW(top, WM_CLOSE, 0, 0);
    else
        DestroyWindow(m_hwnd);
}

void BrowserImpl::CloseBrowser(bool force_close)
{
    Runtime* rt = Runtime::Get();
    {
        std::lock_guard<std::mutex> lock(m_lock);
        if (m_state == State::Closing || m_state == State::Destroyed) return;
        if (m_state == State::EngineClosed) {
            // Nothing left to unload: go straight to the window step.
            CefRefPtr<BrowserImpl> self(this);
            if (rt) rt->Ui().Post([self] { self->OnTargetClosed(); });
            return;
        }
        m_state = State::Closing;
    }
    if (!rt) return;
    if (force_close) {
        rt->DevTools().Call("Target.closeTarget", {{"targetId", m_targetId}}, "");
        return;
    }
    // Page.close runs beforeunload and unload before the target goes away;
    // a page that never lets go is closed without its handlers.
    {
        std::lock_guard<std::mutex> lock(m_lock);
        m_closeDeadline = GetTickCount() + 5000;
    }
    Send("Page.close");
}

void BrowserImpl::OnWindowDestroyed()
{
    Runtime* rt = Runtime::Get();
    bool closeTarget;
    {
        std::lock_guard<std::mutex> lock(m_lock);
        closeTarget = m_state == State::Open || m_state == State::Creating || m_state == State::Closing;
        m_state = State::Destroyed;
    }
    if (closeTarget && rt) rt->DevTools().Call("Target.closeTarget", {{"targetId", m_targetId}}, "");
    {
        std::lock_guard<std::mutex> lock(m_lock);
        m_window = nullptr;
    }
    m_hwnd = nullptr;
    CefRefPtr<BrowserImpl> self(this);
    if (m_announced)
        if (CefRefPtr<CefLifeSpanHandler> l = m_client->GetLifeSpanHandler()) l->OnBeforeClose(this);
    std::map<std::string, CefRefPtr<FrameImpl>> frames;
    {
        std::lock_guard<std::mutex> lock(m_lock);
        frames.swap(m_frames);
    }
    for (auto& f : frames) f.second->Detach();
    if (rt) rt->RemoveBrowser(this);
}

void BrowserImpl::OnWindowResized(int width, int height)
{
    if (width <= 0 || height <= 0) return;
    {
        std::lock_guard<std::mutex> lock(m_lock);
        if (m_state != State::Open || (width == m_width && height == m_height)) return;
    }
    m_width = width;
    m_height = height;
    Send("Emulation.setDeviceMetricsOverride",
         {{"width", width}, {"height", height}, {"deviceScaleFactor", 1}, {"mobile", false}});
    if (m_visible) {
        Send("Page.stopScreencast");
        StartScreencast();
    }
    ScheduleScreenshot(kScreenshotDelayMs);
}

void BrowserImpl::OnWindowShown(bool visible)
{
    if (visible == m_visible) return;
    m_visible = visible;
    {
        std::lock_guard<std::mutex> lock(m_lock);
        if (m_state != State::Open) return;
    }
    if (visible) {
        StartScreencast();
        ScheduleScreenshot(kScreenshotDelayMs);
    } else {
        Send("Page.stopScreencast");
    }
}

void BrowserImpl::SendInput(const char* method, const Json& params, bool repaintAfter)
{
    {
        std::lock_guard<std::mutex> lock(m_lock);
        if (m_state != State::Open) return;
    }
    Send(method, params);
    if (repaintAfter) ScheduleScreenshot(kScreenshotDelayMs);
}

void BrowserImpl::UpdateCursor(int x, int y)
{
    // The engine reports no cursor changes in this mode, so the page is
    // asked what lies under the pointer.
    static const char kProbe[] =
        "(function(x,y){var e=document.elementFromPoint(x,y);if(!e)return 'default';"
        "var c=getComputedStyle(e).cursor;if(c&&c!=='auto')return c;"
        "if(e.closest&&e.closest('a[href]'))return 'pointer';"
        "if(e.isContentEditable||/^(INPUT|TEXTAREA)$/.test(e.tagName))return 'text';"
        // Over the glyphs of selectable text (not merely near it) the page
        // shows a text cursor.
        "var r=document.caretRangeFromPoint&&document.caretRangeFromPoint(x,y),n=r&&r.startContainer;"
        "if(n&&n.nodeType===3&&getComputedStyle(e).userSelect!=='none'){var t=document.createRange();"
        "t.selectNodeContents(n);var q=t.getClientRects();for(var i=0;i<q.length;i++)"
        "if(x>=q[i].left&&x<q[i].right&&y>=q[i].top&&y<q[i].bottom)return 'text';}"
        "return 'default';})";
    Runtime* rt = Runtime::Get();
    if (!rt || m_sessionId.empty()) return;
    CefRefPtr<BrowserImpl> self(this);
    std::string expr = std::string(kProbe) + "(" + std::to_string(x) + "," + std::to_string(y) + ")";
    rt->DevTools().Call("Runtime.evaluate", {{"expression", expr}, {"returnByValue", true}}, m_sessionId,
                        [self](const Json& r, const Json& e) {
                            if (!e.is_null() || !r.contains("result")) return;
                            std::string c = r["result"].value("value", "default");
                            LPCWSTR id = IDC_ARROW;
                            if (c == "pointer")
                                id = IDC_HAND;
                            else if (c == "text")
                                id = IDC_IBEAM;
                            else if (c == "wait" || c == "progress")
                                id = IDC_WAIT;
                            else if (c == "crosshair")
                                id = IDC_CROSS;
                            else if (c == "move" || c == "all-scroll")
                                id = IDC_SIZEALL;
                            else if (c == "not-allowed")
                                id = IDC_NO;
                            else if (c == "ew-resize" || c == "col-resize")
                                id = IDC_SIZEWE;
                            else if (c == "ns-resize" || c == "row-resize")
                                id = IDC_SIZENS;
                            std::lock_guard<std::mutex> lock(self->m_lock);
                            if (self->m_state != State::Destroyed && self->m_window) self->m_window->SetCursorId(id);
                        });
}

void BrowserImpl::ScheduleScreenshot(DWORD delayMs)
{
    std::lock_guard<std::mutex> lock(m_lock);
    DWORD due = GetTickCount() + delayMs;
    m_screenshotDue = due ? due : 1;
    m_screenshotRequested = GetTickCount();
}

void BrowserImpl::ShowImage(FrameImage&& image)
{
    // Under the lock: the window cannot be destroyed meanwhile.
    std::lock_guard<std::mutex> lock(m_lock);
    m_lastFrameTick = GetTickCount();
    if (m_state == State::Destroyed || !m_window) return;
    m_window->SetImage(std::move(image));
}

void BrowserImpl::Tick()
{
    DWORD now = GetTickCount();
    bool shoot = false, forceClose = false;
    {
        std::lock_guard<std::mutex> lock(m_lock);
        if (m_state == State::Closing && m_closeDeadline && static_cast<LONG>(now - m_closeDeadline) >= 0) {
            m_closeDeadline = 0;
            forceClose = true;
        }
        if (m_state == State::Open && m_visible && m_screenshotDue && !m_screenshotPending &&
            static_cast<LONG>(now - m_screenshotDue) >= 0) {
            m_screenshotDue = 0;
            // A frame that came after the change already shows it.
            bool fresh = m_lastFrameTick && static_cast<LONG>(m_lastFrameTick - m_screenshotRequested) > 0 &&
                         m_window && m_window->HasImage();
            if (!fresh) {
                shoot = true;
                m_screenshotPending = true;
            }
        }
    }
    Runtime* rt = Runtime::Get();
    if (!rt) return;
    // Title changes are not always announced by the engine; ask the page.
    bool askTitle = false;
    {
        std::lock_guard<std::mutex> lock(m_lock);
        if (m_state == State::Open && m_navigated && now - m_lastTitlePoll >= 250) {
            m_lastTitlePoll = now;
            askTitle = true;
        }
    }
    if (askTitle) {
        CefRefPtr<BrowserImpl> self(this);
        rt->DevTools().Call("Runtime.evaluate", {{"expression", "document.title"}, {"returnByValue", true}},
                            m_sessionId, [self](const Json& r, const Json& e) {
                                if (e.is_null() && r.contains("result") && r["result"].contains("value") &&
                                    r["result"]["value"].is_string())
                                    self->TitleSeen(r["result"]["value"].get<std::string>());
                            });
    }
    if (forceClose) rt->DevTools().Call("Target.closeTarget", {{"targetId", m_targetId}}, "");
    if (shoot) {
        CefRefPtr<BrowserImpl> self(this);
        rt->DevTools().Call("Page.captureScreenshot", {{"format", "png"}}, m_sessionId,
                            [self](const Json& r, const Json& e) {
                                {
                                    std::lock_guard<std::mutex> lock(self->m_lock);
                                    self->m_screenshotPending = false;
                                }
                                FrameImage image;
                                if (e.is_null() && r.contains("data") && r["data"].is_string() &&
                                    DecodeFrameImage(r["data"].get_ref<const std::string&>(), image))
                                    self->ShowImage(std::move(image));
                            });
    }
}

bool BrowserImpl::IsLoading()
{
    std::lock_guard<std::mutex> lock(m_lock);
    return m_isLoading;
}

bool BrowserImpl::HasDocument()
{
    std::lock_guard<std::mutex> lock(m_lock);
    return m_navigated;
}

CefRefPtr<CefFrame> BrowserImpl::GetMainFrame()
{
    std::lock_guard<std::mutex> lock(m_lock);
    auto it = m_frames.find(m_mainFrameId);
    return it != m_frames.end() ? it->second.get() : nullptr;
}

int BrowserImpl::HistoryOffsetAvailable(int delta)
{
    Json h = SendSync("Page.getNavigationHistory");
    if (!h.is_object()) return -1;
    const auto entries = h.find("entries");
    const auto current = h.find("currentIndex");
    if (entries == h.end() || !entries->is_array() || current == h.end() || !current->is_number_integer()) return -1;
    // The blank page every target starts with is not history the user made.
    int first = 0;
    if (!entries->empty() && (*entries)[0].is_object() && (*entries)[0].value("url", Json()) == "about:blank")
        first = 1;
    const int index = current->get<int>() + delta;
    if (index < first || index >= static_cast<int>(entries->size())) return -1;
    const Json& entry = (*entries)[static_cast<size_t>(index)];
    if (!entry.is_object()) return -1;
    const auto id = entry.find("id");
    return id != entry.end() && id->is_number_integer() ? id->get<int>() : -1;
}

bool BrowserImpl::CanGoBack() { return HistoryOffsetAvailable(-1) >= 0; }
bool BrowserImpl::CanGoForward() { return HistoryOffsetAvailable(1) >= 0; }

void BrowserImpl::GoBack()
{
    int entry = HistoryOffsetAvailable(-1);
    if (entry >= 0) Send("Page.navigateToHistoryEntry", {{"entryId", entry}});
}

void BrowserImpl::GoForward()
{
    int entry = HistoryOffsetAvailable(1);
    if (entry >= 0) Send("Page.navigateToHistoryEntry", {{"entryId", entry}});
}

void BrowserImpl::Reload() { Send("Page.reload"); }
void BrowserImpl::ReloadIgnoreCache() { Send("Page.reload", {{"ignoreCache", true}}); }
void BrowserImpl::StopLoad() { Send("Page.stopLoading"); }

void BrowserImpl::SetFocus(bool focus)
{
    if (focus && m_hwnd) ::SetFocus(m_hwnd);
}

void BrowserImpl::WasResized()
{
    if (!m_hwnd) return;
    RECT rc;
    GetClientRect(m_hwnd, &rc);
    OnWindowResized(rc.right, rc.bottom);
}

}  // namespace vxrt
