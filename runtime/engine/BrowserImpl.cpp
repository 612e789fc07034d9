#include "runtime/engine/BrowserImpl.h"

#include "runtime/engine/BrowserWindow.h"
#include "runtime/engine/FrameImpl.h"
#include "runtime/engine/NetError.h"
#include "runtime/engine/Runtime.h"

namespace vxrt {

namespace {

const DWORD kCallTimeoutMs = 10000;
// A picture is taken when the stream stays quiet this long after a change.
const DWORD kScreenshotDelayMs = 200;
// A page that never lets go of a close is closed without its handlers.
const DWORD kCloseGraceMs = 5000;
// How long after a screenshot the screencast's frames are taken for its echo.
const DWORD kEchoMs = 150;

bool Reached(DWORD now, DWORD due) { return static_cast<LONG>(now - due) >= 0; }

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
    VXRT_ASSERT_UI_THREAD();
    if (CreateChecked(info, url)) return true;
    // Engine replies are untrusted: one of the wrong shape fails the
    // creation, and what was made so far goes.
    if (Runtime* rt = Runtime::Get(); rt && !m_targetId.empty())
        rt->DevTools().Call("Target.closeTarget", {{"targetId", m_targetId}}, "");
    HWND h = m_hwnd.load();
    if (h && IsWindow(h)) DestroyWindow(h);
    return false;
}

bool BrowserImpl::CreateChecked(const CefWindowInfo& info, const CefString& url)
{
    Runtime* rt = Runtime::Get();
    if (!rt) return false;
    BrowserWindow* window = BrowserWindow::Create(this, info.parent_window, info.style, info.ex_style, info.x, info.y,
                                                  info.width, info.height);
    if (!window) return false;
    const HWND hwnd = window->Handle();
    m_hwnd = hwnd;
    RECT rc;
    GetClientRect(hwnd, &rc);
    const int width = rc.right > 0 ? rc.right : 1;
    const int height = rc.bottom > 0 ? rc.bottom : 1;
    const bool visible = IsWindowVisible(hwnd) != FALSE;
    {
        auto s = m_shared.Lock();
        s->window = window;
        s->width = width;
        s->height = height;
        s->visible = visible;
    }

    Json created = rt->DevTools().CallSync("Target.createTarget", {{"url", "about:blank"}}, "", kCallTimeoutMs);
    m_targetId = json::String(created, "targetId");
    if (m_targetId.empty()) return false;
    Json attached = rt->DevTools().CallSync("Target.attachToTarget", {{"targetId", m_targetId}, {"flatten", true}}, "",
                                            kCallTimeoutMs);
    m_sessionId = json::String(attached, "sessionId");
    if (m_sessionId.empty()) return false;

    SendSync("Page.enable");
    Json tree = SendSync("Page.getFrameTree");
    const std::string mainFrameId =
        json::String(json::Object(json::Object(tree, "frameTree"), "frame"), "id", m_targetId);
    {
        auto s = m_shared.Lock();
        s->mainFrameId = mainFrameId;
        s->state = State::Open;
    }
    // Published only now: the runtime thread routes events by these ids.
    rt->SetBrowserSession(this, m_targetId, m_sessionId);
    FrameFor(mainFrameId, "", true);
    Send("Page.setLifecycleEventsEnabled", {{"enabled", true}});
    Send("Network.enable");
    // Contexts that exist already (the blank page the target starts with)
    // are replayed before this returns; only the ones made afterwards are
    // new contexts of pages this browser loads.
    SendSync("Runtime.enable");
    m_shared.Lock()->contextsLive = true;
    Send("Emulation.setFocusEmulationEnabled", {{"enabled", true}});
    Send("Emulation.setDeviceMetricsOverride",
         {{"width", width}, {"height", height}, {"deviceScaleFactor", 1}, {"mobile", false}});
    if (visible) StartScreencast(width, height);
    if (!url.empty()) Send("Page.navigate", {{"url", url.ToString()}});
    return true;
}

void BrowserImpl::StartScreencast(int width, int height)
{
    Send("Page.startScreencast",
         {{"format", "jpeg"}, {"quality", 90}, {"maxWidth", width}, {"maxHeight", height}, {"everyNthFrame", 1}});
}

CefRefPtr<FrameImpl> BrowserImpl::FrameFor(const std::string& frameId, const std::string& parentId, bool create)
{
    auto s = m_shared.Lock();
    auto it = s->frames.find(frameId);
    if (it != s->frames.end()) return it->second;
    if (!create || s->state == State::Destroyed) return nullptr;
    CefRefPtr<FrameImpl> f = new FrameImpl(this, frameId, frameId == s->mainFrameId);
    if (!parentId.empty()) {
        auto p = s->frames.find(parentId);
        if (p != s->frames.end()) f->SetParent(p->second);
    }
    s->frames[frameId] = f;
    return f;
}

void BrowserImpl::HandleEvent(const std::string& method, const Json& params)
{
    CefRefPtr<BrowserImpl> keep(this);
    page::Dispatch(method, params, *this);
}

void BrowserImpl::HandleTargetEvent(const std::string& method, const Json& params)
{
    CefRefPtr<BrowserImpl> keep(this);
    target::Dispatch(method, params, *this);
}

void BrowserImpl::OnScreencastFrame(const page::ScreencastFrame& e)
{
    // Acknowledge first, whatever happens to the picture, or the stream
    // stalls.
    Send("Page.screencastFrameAck", {{"sessionId", e.ackId}});
    FrameImage image;
    if (!e.data || !DecodeFrameImage(*e.data, image)) return;
    {
        auto s = m_shared.Lock();
        const DWORD now = GetTickCount();
        if (!s->live && (s->screenshotPending || (s->echoUntil && !Reached(now, s->echoUntil)))) {
            s->echoSuppressed = true;
            return;
        }
        s->lastFrameTick = now;
        s->restShown = false;
        s->settled = false;
    }
    ShowImage(std::move(image));
}

void BrowserImpl::OnRequestWillBeSent(const page::RequestWillBeSent& e)
{
    if (!e.document) return;
    auto s = m_shared.Lock();
    s->requestFrame[e.requestId] = e.frameId;
    s->requestUrl[e.requestId] = e.url;
}

void BrowserImpl::OnResponseReceived(const page::ResponseReceived& e)
{
    if (!e.document) return;
    auto s = m_shared.Lock();
    std::string frameId = e.frameId;
    if (frameId.empty()) {
        auto it = s->requestFrame.find(e.requestId);
        if (it == s->requestFrame.end()) return;
        frameId = it->second;
    }
    s->status[frameId] = e.status;
}

void BrowserImpl::OnLoadingFinished(const page::LoadingFinished& e)
{
    auto s = m_shared.Lock();
    s->requestFrame.erase(e.requestId);
    s->requestUrl.erase(e.requestId);
}

void BrowserImpl::OnLoadingFailed(const page::LoadingFailed& e)
{
    if (!e.document) return;
    std::string frameId, url, mainFrameId;
    {
        auto s = m_shared.Lock();
        auto f = s->requestFrame.find(e.requestId);
        if (f != s->requestFrame.end()) frameId = f->second;
        auto u = s->requestUrl.find(e.requestId);
        if (u != s->requestUrl.end()) url = u->second;
        s->requestFrame.erase(e.requestId);
        s->requestUrl.erase(e.requestId);
        mainFrameId = s->mainFrameId;
    }
    const cef_errorcode_t code = e.canceled ? ERR_ABORTED : NetErrorCode(e.errorText);
    CefRefPtr<FrameImpl> frame = FrameFor(frameId.empty() ? mainFrameId : frameId, "", true);
    if (!frame) return;
    CefRefPtr<BrowserImpl> self(this);
    CefRefPtr<CefClient> client = m_client;
    const std::string text = e.errorText;
    Post([self, client, frame, code, text, url] {
        if (CefRefPtr<CefLoadHandler> h = client->GetLoadHandler())
            h->OnLoadError(self.get(), frame.get(), code, CefString(text), CefString(url));
    });
}

void BrowserImpl::OnFrameNavigated(const page::FrameNavigated& e)
{
    CefRefPtr<FrameImpl> frame = FrameFor(e.frameId, e.parentId, true);
    if (!frame) return;
    frame->SetUrl(e.url);
    frame->SetName(e.name);
    {
        auto s = m_shared.Lock();
        if (e.errorPage)
            s->loading.erase(e.frameId);
        else
            s->loading.insert(e.frameId);
        if (e.frameId == s->mainFrameId) s->navigated = true;
    }
    if (e.errorPage) return;
    const bool isMain = frame->IsMain();
    CefRefPtr<BrowserImpl> self(this);
    CefRefPtr<CefClient> client = m_client;
    const std::string url = e.url;
    Post([self, client, frame, isMain, url] {
        if (isMain)
            if (CefRefPtr<CefDisplayHandler> d = client->GetDisplayHandler())
                d->OnAddressChange(self.get(), frame.get(), CefString(url));
        if (CefRefPtr<CefLoadHandler> h = client->GetLoadHandler()) h->OnLoadStart(self.get(), frame.get());
    });
}

void BrowserImpl::OnNavigatedWithinDocument(const page::NavigatedWithinDocument& e)
{
    // The address changed without a new document (a fragment, pushState):
    // no load, but the frame's address is the new one.
    CefRefPtr<FrameImpl> frame = FrameFor(e.frameId, "", false);
    if (!frame) return;
    frame->SetUrl(e.url);
    if (!frame->IsMain()) return;
    CefRefPtr<BrowserImpl> self(this);
    CefRefPtr<CefClient> client = m_client;
    const std::string url = e.url;
    Post([self, client, frame, url] {
        if (CefRefPtr<CefDisplayHandler> d = client->GetDisplayHandler())
            d->OnAddressChange(self.get(), frame.get(), CefString(url));
    });
}

void BrowserImpl::OnLifecycleEvent(const page::LifecycleEvent& e)
{
    if (e.name != "load") return;
    int status = 0;
    {
        auto s = m_shared.Lock();
        if (!s->loading.erase(e.frameId)) return;
        auto st = s->status.find(e.frameId);
        if (st != s->status.end()) status = st->second;
    }
    CefRefPtr<FrameImpl> frame = FrameFor(e.frameId, "", true);
    if (!frame) return;
    const bool isMain = frame->IsMain();
    if (isMain) ScheduleScreenshot(kScreenshotDelayMs);
    CefRefPtr<BrowserImpl> self(this);
    CefRefPtr<CefClient> client = m_client;
    Post([self, client, frame, status, isMain] {
        if (isMain) self->OnMainFrameLoaded();
        if (CefRefPtr<CefLoadHandler> h = client->GetLoadHandler()) h->OnLoadEnd(self.get(), frame.get(), status);
    });
}

void BrowserImpl::OnFrameLoading(const page::FrameLoading& e)
{
    {
        auto s = m_shared.Lock();
        if (e.frameId != s->mainFrameId || s->isLoading == e.started) return;
        s->isLoading = e.started;
    }
    CefRefPtr<BrowserImpl> self(this);
    CefRefPtr<CefClient> client = m_client;
    const bool loading = e.started;
    Post([self, client, loading] {
        if (CefRefPtr<CefLoadHandler> h = client->GetLoadHandler())
            h->OnLoadingStateChange(self.get(), loading, self->CanGoBack(), self->CanGoForward());
    });
}

void BrowserImpl::OnFrameDetached(const page::FrameDetached& e)
{
    CefRefPtr<FrameImpl> gone;
    {
        auto s = m_shared.Lock();
        auto it = s->frames.find(e.frameId);
        if (it == s->frames.end() || e.frameId == s->mainFrameId) return;
        gone = it->second;
        s->frames.erase(it);
    }
    gone->Detach();
}

void BrowserImpl::OnExecutionContextCreated(const page::ExecutionContextCreated& e)
{
    if (!e.isDefault || !m_shared.Lock()->contextsLive) return;
    CefRefPtr<FrameImpl> frame = FrameFor(e.frameId, "", true);
    if (!frame) return;
    CefRefPtr<BrowserImpl> self(this);
    const int contextId = e.contextId;
    Post([self, frame, contextId] {
        Runtime* rt = Runtime::Get();
        if (!rt || !rt->App()) return;
        if (CefRefPtr<CefRenderProcessHandler> r = rt->App()->GetRenderProcessHandler())
            r->OnContextCreated(self.get(), frame.get(), new V8ContextImpl(self.get(), frame.get(), contextId));
    });
}

void BrowserImpl::OnJavascriptDialogOpening(const page::JavascriptDialogOpening&)
{
    // No dialog can be shown for a headless page: accept it so the page
    // (and a close waiting on beforeunload) goes on.
    Send("Page.handleJavaScriptDialog", {{"accept", true}});
}

void BrowserImpl::OnTargetInfoChanged(const target::InfoChanged& e) { TitleSeen(e.title); }

void BrowserImpl::OnTargetGone(const target::Gone&)
{
    {
        auto s = m_shared.Lock();
        if (s->state == State::EngineClosed || s->state == State::Destroyed) return;
        s->state = State::EngineClosed;
    }
    CefRefPtr<BrowserImpl> self(this);
    Post([self] { self->OnTargetClosed(); });
}

void BrowserImpl::TitleSeen(const std::string& title)
{
    {
        auto s = m_shared.Lock();
        if (!s->navigated || title.empty() || title == s->title) return;
        s->title = title;
    }
    CefRefPtr<BrowserImpl> self(this);
    CefRefPtr<CefClient> client = m_client;
    Post([self, client, title] {
        if (CefRefPtr<CefDisplayHandler> d = client->GetDisplayHandler())
            d->OnTitleChange(self.get(), CefString(title));
    });
}

void BrowserImpl::EngineGone()
{
    auto s = m_shared.Lock();
    if (s->state != State::Destroyed) s->state = State::EngineClosed;
}

void BrowserImpl::OnMainFrameLoaded()
{
    VXRT_ASSERT_UI_THREAD();
    // The first page takes the keyboard when the window it lives in has it
    // and nothing else in that window does, as a browser does: typing right
    // after the load reaches the page's autofocused field.
    UiOnly& ui = Ui();
    const HWND hwnd = m_hwnd.load();
    if (ui.focusedAfterLoad || !hwnd || !IsWindowVisible(hwnd)) return;
    ui.focusedAfterLoad = true;
    const HWND top = GetAncestor(hwnd, GA_ROOT);
    const HWND focus = GetFocus();
    if (top && GetActiveWindow() == top && (focus == nullptr || focus == top)) ::SetFocus(hwnd);
}

void BrowserImpl::OnTargetClosed()
{
    VXRT_ASSERT_UI_THREAD();
    // The page has gone (its unload handlers have run). The client may keep
    // the window; otherwise the top-level window is asked to close, and its
    // destruction takes the browser window with it.
    const HWND hwnd = m_hwnd.load();
    if (!hwnd) return;
    bool keep = false;
    if (CefRefPtr<CefLifeSpanHandler> l = m_client->GetLifeSpanHandler()) keep = l->DoClose(this);
    if (keep) return;
    HWND top = GetAncestor(hwnd, GA_ROOT);
    if (top && top != hwnd)
        PostMessageW(top, WM_CLOSE, 0, 0);
    else
        DestroyWindow(hwnd);
}

void BrowserImpl::CloseBrowser(bool force_close)
{
    Runtime* rt = Runtime::Get();
    {
        auto s = m_shared.Lock();
        if (s->state == State::Closing || s->state == State::Destroyed || s->state == State::Creating) return;
        if (s->state == State::EngineClosed) {
            // Nothing left to unload: go straight to the window step.
            CefRefPtr<BrowserImpl> self(this);
            if (rt) rt->Ui().Post([self] { self->OnTargetClosed(); });
            return;
        }
        s->state = State::Closing;
        // Page.close runs beforeunload and unload before the target goes
        // away; a page that never lets go is closed without its handlers.
        if (!force_close) s->closeDeadline = GetTickCount() + kCloseGraceMs;
    }
    if (!rt) return;
    if (force_close)
        rt->DevTools().Call("Target.closeTarget", {{"targetId", m_targetId}}, "");
    else
        Send("Page.close");
}

void BrowserImpl::OnWindowDestroyed()
{
    VXRT_ASSERT_UI_THREAD();
    Runtime* rt = Runtime::Get();
    bool closeTarget;
    std::map<std::string, CefRefPtr<FrameImpl>> frames;
    {
        auto s = m_shared.Lock();
        closeTarget = s->state == State::Open || s->state == State::Closing;
        s->state = State::Destroyed;
        // From here the runtime thread finds no window to paint into.
        s->window = nullptr;
        frames.swap(s->frames);
    }
    if (closeTarget && rt) rt->DevTools().Call("Target.closeTarget", {{"targetId", m_targetId}}, "");
    m_hwnd = nullptr;
    CefRefPtr<BrowserImpl> self(this);
    if (Ui().announced)
        if (CefRefPtr<CefLifeSpanHandler> l = m_client->GetLifeSpanHandler()) l->OnBeforeClose(this);
    for (auto& f : frames) f.second->Detach();
    frames.clear();
    if (rt) rt->RemoveBrowser(this);
}

void BrowserImpl::OnWindowResized(int width, int height)
{
    VXRT_ASSERT_UI_THREAD();
    if (width <= 0 || height <= 0) return;
    bool visible;
    {
        auto s = m_shared.Lock();
        if (s->state != State::Open || (width == s->width && height == s->height)) return;
        s->width = width;
        s->height = height;
        visible = s->visible;
    }
    Send("Emulation.setDeviceMetricsOverride",
         {{"width", width}, {"height", height}, {"deviceScaleFactor", 1}, {"mobile", false}});
    if (visible) {
        Send("Page.stopScreencast");
        StartScreencast(width, height);
    }
    ScheduleScreenshot(kScreenshotDelayMs);
}

void BrowserImpl::OnWindowShown(bool visible)
{
    VXRT_ASSERT_UI_THREAD();
    int width, height;
    {
        auto s = m_shared.Lock();
        if (visible == s->visible) return;
        s->visible = visible;
        if (s->state != State::Open) return;
        width = s->width;
        height = s->height;
    }
    if (visible) {
        StartScreencast(width, height);
        ScheduleScreenshot(kScreenshotDelayMs);
    } else {
        Send("Page.stopScreencast");
    }
}

void BrowserImpl::SendInput(const char* method, const Json& params, bool repaintAfter)
{
    VXRT_ASSERT_UI_THREAD();
    {
        auto s = m_shared.Lock();
        if (s->state != State::Open) return;
        // What the page paints after input is its answer, not an echo.
        s->live = true;
        s->echoUntil = 0;
        s->echoSuppressed = false;
    }
    Send(method, params);
    if (repaintAfter) ScheduleScreenshot(kScreenshotDelayMs);
}

void BrowserImpl::UpdateCursor(int x, int y)
{
    VXRT_ASSERT_UI_THREAD();
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
                            if (!e.is_null()) return;
                            const std::string c = json::String(json::Object(r, "result"), "value", "default");
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
                            auto s = self->m_shared.Lock();
                            if (s->window) s->window->SetCursorId(id);
                        });
}

void BrowserImpl::ScheduleScreenshot(DWORD delayMs)
{
    auto s = m_shared.Lock();
    const DWORD now = GetTickCount();
    const DWORD due = now + delayMs;
    s->screenshotDue = due ? due : 1;
    s->screenshotRequested = now;
}

void BrowserImpl::ShowImage(FrameImage&& image)
{
    // Under the lock: the window cannot be destroyed meanwhile.
    auto s = m_shared.Lock();
    if (!s->window) return;
    s->window->SetImage(std::move(image));
}

void BrowserImpl::TakeScreenshot()
{
    Runtime* rt = Runtime::Get();
    if (!rt) return;
    CefRefPtr<BrowserImpl> self(this);
    const DWORD requested = GetTickCount();
    rt->DevTools().Call(
        "Page.captureScreenshot", {{"format", "png"}}, m_sessionId, [self, requested](const Json& r, const Json& e) {
            FrameImage image;
            const std::string* data = json::StringRef(r, "data");
            const bool decoded = e.is_null() && data && DecodeFrameImage(*data, image);
            {
                auto s = self->m_shared.Lock();
                s->screenshotPending = false;
                const bool wasCheck = s->verifying;
                s->verifying = false;
                // A frame shown since the request is newer
                // than this picture: the page is moving.
                if (s->lastFrameTick && static_cast<LONG>(s->lastFrameTick - requested) > 0) {
                    s->restShown = false;
                    return;
                }
                if (!s->live) {
                    const DWORD until = GetTickCount() + kEchoMs;
                    s->echoUntil = until ? until : 1;
                }
                if (!decoded) return;
                const bool same = image.width == s->lossless.width && image.height == s->lossless.height &&
                                  image.pixels == s->lossless.pixels;
                if (wasCheck) {
                    if (same) {
                        s->settled = true;  // nothing changed under the echoes
                        return;
                    }
                    // The page changed under them: its frames
                    // are real from now on.
                    s->live = true;
                    s->echoUntil = 0;
                    s->echoSuppressed = false;
                }
                s->lossless = image;
            }
            self->ShowImage(std::move(image));
        });
}

void BrowserImpl::Tick()
{
    const DWORD now = GetTickCount();
    bool shoot = false, forceClose = false, askTitle = false;
    {
        auto s = m_shared.Lock();
        if (s->state == State::Creating) return;  // the ids are not ours to read yet
        if (s->state == State::Closing && s->closeDeadline && Reached(now, s->closeDeadline)) {
            s->closeDeadline = 0;
            forceClose = true;
        }
        if (s->echoUntil && Reached(now, s->echoUntil)) {
            s->echoUntil = 0;
            // Frames were held back as echoes: one more picture shows
            // whether the page changed meanwhile after all.
            if (s->echoSuppressed && !s->settled) s->verifying = true;
            s->echoSuppressed = false;
        }
        if (s->state == State::Open && s->visible && !s->screenshotPending && !s->echoUntil) {
            if (s->verifying) shoot = true;
            if (s->screenshotDue && Reached(now, s->screenshotDue)) {
                s->screenshotDue = 0;
                // A frame that came after the change already shows it.
                const bool fresh = s->lastFrameTick &&
                                   static_cast<LONG>(s->lastFrameTick - s->screenshotRequested) > 0 && s->window &&
                                   s->window->HasImage();
                if (!fresh) shoot = true;
            }
            // The page has stopped changing: replace the last JPEG frame by
            // a lossless picture, so still text and colours are exact.
            if (!s->restShown && now - s->lastFrameTick >= kRestMs) shoot = true;
            if (shoot) {
                s->screenshotPending = true;
                s->restShown = true;
                // Taken at rest: the frames this picture causes are echoes
                // again (a check keeps the mode the page was in).
                if (!s->verifying) s->live = false;
                ++s->screenshots;
            }
        }
        // Title changes are not always announced by the engine; ask the page.
        if (s->state == State::Open && s->navigated && now - s->lastTitlePoll >= 250) {
            s->lastTitlePoll = now;
            askTitle = true;
        }
    }
    Runtime* rt = Runtime::Get();
    if (!rt) return;
    if (askTitle) {
        CefRefPtr<BrowserImpl> self(this);
        rt->DevTools().Call("Runtime.evaluate", {{"expression", "document.title"}, {"returnByValue", true}},
                            m_sessionId, [self](const Json& r, const Json& e) {
                                const std::string* title = json::StringRef(json::Object(r, "result"), "value");
                                if (e.is_null() && title) self->TitleSeen(*title);
                            });
    }
    if (forceClose) rt->DevTools().Call("Target.closeTarget", {{"targetId", m_targetId}}, "");
    if (shoot) TakeScreenshot();
}

bool BrowserImpl::IsLoading() { return m_shared.Lock()->isLoading; }

bool BrowserImpl::HasDocument() { return m_shared.Lock()->navigated; }

CefRefPtr<CefFrame> BrowserImpl::GetMainFrame()
{
    auto s = m_shared.Lock();
    auto it = s->frames.find(s->mainFrameId);
    return it != s->frames.end() ? it->second.get() : nullptr;
}

int BrowserImpl::HistoryOffsetAvailable(int delta)
{
    Json h = SendSync("Page.getNavigationHistory");
    const Json* entries = json::Member(h, "entries");
    const Json* current = json::Member(h, "currentIndex");
    if (!entries || !entries->is_array() || !current || !current->is_number_integer()) return -1;
    // The blank page every target starts with is not history the user made.
    int first = 0;
    if (!entries->empty() && json::String((*entries)[0], "url") == "about:blank") first = 1;
    const long long index = current->get<long long>() + delta;
    if (index < first || index >= static_cast<long long>(entries->size())) return -1;
    return json::Int((*entries)[static_cast<size_t>(index)], "id", -1);
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
    VXRT_ASSERT_UI_THREAD();
    const HWND hwnd = m_hwnd.load();
    if (focus && hwnd) ::SetFocus(hwnd);
}

void BrowserImpl::WasResized()
{
    VXRT_ASSERT_UI_THREAD();
    const HWND hwnd = m_hwnd.load();
    if (!hwnd) return;
    RECT rc;
    GetClientRect(hwnd, &rc);
    OnWindowResized(rc.right, rc.bottom);
}

}  // namespace vxrt
