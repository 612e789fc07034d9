#include "runtime/engine/BrowserImpl.h"

#include <algorithm>
#include <cmath>

#include "runtime/engine/BrowserWindow.h"
#include "runtime/engine/EngineLoss.h"
#include "runtime/engine/FrameImpl.h"
#include "runtime/engine/NetError.h"
#include "runtime/engine/PageCaret.h"
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
// How often the window's metrics are sent again while the engine's pictures
// show another view (see OnScreencastFrame).
const DWORD kMetricsRetryMs = 1000;

bool Reached(DWORD now, DWORD due) { return static_cast<LONG>(now - due) >= 0; }

// The top document tells its title whenever it changes, through a function
// bound into the page, instead of being asked for it several times a
// second. It watches the title element and the head (a title added or
// replaced), not the whole document, so a busy page pays nothing for it.
const char kTitleBinding[] = "__vxrtTitle";
const char kTitleWatch[] =
    "(function(){if(window!==window.top||typeof __vxrtTitle!=='function')return;"
    "var tell=__vxrtTitle,last,watched=null;"
    "function report(){var t=document.title;if(t!==last){last=t;tell(t);}}"
    "var onTitle=new MutationObserver(report);"
    "function watch(){var e=document.querySelector('title');if(e!==watched){onTitle.disconnect();watched=e;"
    "if(e)onTitle.observe(e,{childList:true,characterData:true,subtree:true});}report();}"
    "var onHead=new MutationObserver(watch);"
    "function start(){onHead.observe(document.head||document.documentElement,{childList:true});watch();}"
    "if(document.readyState==='loading')document.addEventListener('DOMContentLoaded',start);else start();})();";

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
    Runtime* rt = Runtime::Get();
    if (!rt || !CreateWindowPart(info)) return false;
    {
        // The main frame exists from the start, as callers expect of a
        // browser they were handed.
        auto s = m_shared.Lock();
        s->startUrl = url.ToString();
        s->pendingMain = new FrameImpl(this, std::string(), true);
    }
    if (!rt->AwaitEngine(this)) ContinueCreate();
    return true;
}

void BrowserImpl::ContinueCreate()
{
    VXRT_ASSERT_UI_THREAD();
    // Closed or destroyed while the engine started: nothing to make.
    if (m_shared.Lock()->state != State::Creating) return;
    CreateTarget();
}

void BrowserImpl::CreationFailed()
{
    // Engine replies are untrusted: one of the wrong shape fails the
    // creation. What was made so far goes; the window stays with its owner
    // and the page is as good as closed.
    CloseTarget(m_targetId);
    EngineGone();
}

bool BrowserImpl::CreateWindowPart(const CefWindowInfo& info)
{
    BrowserWindow* window = BrowserWindow::Create(this, info.parent_window, info.style, info.ex_style, info.x, info.y,
                                                  info.width, info.height);
    if (!window) return false;
    m_hwnd = window->Handle();
    auto s = m_shared.Lock();
    s->window = window;
    s->visible = IsWindowVisible(window->Handle()) != FALSE;
    return true;
}

void BrowserImpl::NavigateMain(const std::string& url)
{
    {
        auto s = m_shared.Lock();
        if (s->state == State::Creating) {
            s->startUrl = url;
            return;
        }
    }
    Send("Page.navigate", {{"url", url}});
}

// The page target is made in steps, each waiting for the engine's answer
// to the one before without holding the UI thread: while the engine is busy
// starting (or a slow machine keeps it), the window goes on painting and
// answering. Every answer comes back to the UI thread and counts only for
// the attempt that asked: an engine lost meanwhile starts a new attempt,
// and a close ends the creation.
void BrowserImpl::CreateTarget()
{
    Runtime* rt = Runtime::Get();
    if (!rt || !m_hwnd.load()) return CreationFailed();
    const int attempt = ++m_createAttempt;
    m_sessionId.clear();
    m_targetId = rt->TakeSpareTarget();
    if (!m_targetId.empty()) return AttachTarget(attempt);
    CefRefPtr<BrowserImpl> self(this);
    rt->DevTools().Call("Target.createTarget", {{"url", "about:blank"}}, "", [self, attempt](const Json& r, const Json&) {
        const std::string targetId = json::String(r, "targetId");
        self->Post([self, attempt, targetId] {
            // Made for a creation that has ended: nobody shows it.
            if (!self->CreationCurrent(attempt)) return self->CloseTarget(targetId);
            self->m_targetId = targetId;
            if (targetId.empty()) return self->CreationFailed();
            self->AttachTarget(attempt);
        });
    });
}

bool BrowserImpl::CreationCurrent(int attempt)
{
    return attempt == m_createAttempt && m_shared.Lock()->state == State::Creating;
}

void BrowserImpl::CloseTarget(const std::string& targetId)
{
    if (Runtime* rt = Runtime::Get(); rt && !targetId.empty())
        rt->DevTools().Call("Target.closeTarget", {{"targetId", targetId}}, "");
}

void BrowserImpl::AbandonTarget(int attempt)
{
    // Closed while the target was being made: it goes with the creation.
    // A newer attempt (for a new engine) owns the ids now.
    if (attempt == m_createAttempt) CloseTarget(m_targetId);
}

void BrowserImpl::AttachTarget(int attempt)
{
    Runtime* rt = Runtime::Get();
    if (!rt) return;
    CefRefPtr<BrowserImpl> self(this);
    rt->DevTools().Call(
        "Target.attachToTarget", {{"targetId", m_targetId}, {"flatten", true}}, "",
        [self, attempt](const Json& r, const Json&) {
            const std::string sessionId = json::String(r, "sessionId");
            self->Post([self, attempt, sessionId] {
                if (!self->CreationCurrent(attempt)) return self->AbandonTarget(attempt);
                self->m_sessionId = sessionId;
                if (sessionId.empty()) return self->CreationFailed();
                self->Send("Page.enable");
                self->PreparePage(attempt);
            });
        });
}

void BrowserImpl::PreparePage(int attempt)
{
    Runtime* rt = Runtime::Get();
    if (!rt) return;
    // Contexts that exist already (the blank page the target starts with)
    // are replayed now, before the browser is published: they are not news.
    Send("Runtime.enable");
    Send("Page.setLifecycleEventsEnabled", {{"enabled", true}});
    Send("Network.enable");
    Send("Emulation.setFocusEmulationEnabled", {{"enabled", true}});
    Send("Runtime.addBinding", {{"name", kTitleBinding}});
    Send("Runtime.addBinding", {{"name", kCaretBinding}});
    Send("Page.addScriptToEvaluateOnNewDocument", {{"source", kCaretWatch}});
    // The engine takes a navigation in its own process at once, but these
    // settings go to the page's renderer, and a new renderer for the first
    // page starts from what the engine had heard back by then: the creation
    // goes on (and the first page is asked for) only once the renderer has
    // answered the last of them, or the first page's title could go unheard.
    CefRefPtr<BrowserImpl> self(this);
    rt->DevTools().Call("Page.addScriptToEvaluateOnNewDocument", {{"source", kTitleWatch}}, m_sessionId,
                        [self, attempt](const Json&, const Json&) {
                            self->Post([self, attempt] {
                                if (!self->CreationCurrent(attempt)) return self->AbandonTarget(attempt);
                                self->AskFrameTree(attempt);
                            });
                        });
}

void BrowserImpl::AskFrameTree(int attempt)
{
    Runtime* rt = Runtime::Get();
    if (!rt) return;
    CefRefPtr<BrowserImpl> self(this);
    rt->DevTools().Call("Page.getFrameTree", Json::object(), m_sessionId, [self, attempt](const Json& tree, const Json&) {
        const std::string mainFrameId = json::String(json::Object(json::Object(tree, "frameTree"), "frame"), "id");
        self->Post([self, attempt, mainFrameId] {
            if (!self->CreationCurrent(attempt)) return self->AbandonTarget(attempt);
            self->FinishCreate(mainFrameId);
        });
    });
}

void BrowserImpl::FinishCreate(const std::string& treeMainFrameId)
{
    Runtime* rt = Runtime::Get();
    const HWND hwnd = m_hwnd.load();
    if (!rt || !hwnd) return CreationFailed();
    // The window may have changed while the target was made.
    RECT rc;
    GetClientRect(hwnd, &rc);
    const int width = rc.right > 0 ? rc.right : 1;
    const int height = rc.bottom > 0 ? rc.bottom : 1;
    const bool visible = IsWindowVisible(hwnd) != FALSE;
    const PageScale scale = BrowserWindow::ScreenScale(hwnd);
    const std::string mainFrameId = treeMainFrameId.empty() ? m_targetId : treeMainFrameId;
    std::string url;
    {
        auto s = m_shared.Lock();
        s->width = width;
        s->height = height;
        s->scale = scale;
        s->visible = visible;
        s->mainFrameId = mainFrameId;
        if (s->pendingMain) {
            s->pendingMain->SetId(mainFrameId);
            s->frames[mainFrameId] = s->pendingMain;
            s->pendingMain = nullptr;
        }
        url = s->startUrl;
        s->state = State::Open;
    }
    // Published only now: the runtime thread routes events by these ids.
    rt->SetBrowserSession(this, m_targetId, m_sessionId);
    FrameFor(mainFrameId, "", true);
    // Every context made from here on belongs to a page this browser loads.
    m_shared.Lock()->contextsLive = true;
    SendMetrics(width, height, scale);
    if (visible) StartScreencast(width, height, Stream::Live);
    if (!url.empty()) Send("Page.navigate", {{"url", url}});
}

void BrowserImpl::SendMetrics(int width, int height, const PageScale& scale)
{
    // The page is laid out at the window's size in CSS pixels and drawn at
    // the screen's density: its pictures come at the window's size in
    // device pixels.
    Send("Emulation.setDeviceMetricsOverride", {{"width", scale.CssLength(width)},
                                                {"height", scale.CssLength(height)},
                                                {"deviceScaleFactor", scale.Factor()},
                                                {"mobile", false}});
}

PageScale BrowserImpl::Scale() { return m_shared.Lock()->scale; }

void BrowserImpl::StartScreencast(int width, int height, Stream stream)
{
    if (stream == Stream::Live) {
        m_shared.Lock()->liveSince = GetTickCount();
        Send("Page.startScreencast",
             {{"format", "jpeg"}, {"quality", 90}, {"maxWidth", width}, {"maxHeight", height}, {"everyNthFrame", 1}});
        return;
    }
    // Lossless, so that equal pictures of the probe mean an unchanged page
    // and the parts that differ are exactly where it changed.
    const int w = std::max(1, width / kProbeScale), h = std::max(1, height / kProbeScale);
    {
        auto s = m_shared.Lock();
        s->probeWidth = w;
        s->probeHeight = h;
        s->probe = FrameImage();
        s->dirty = PixelBox();
    }
    Send("Page.startScreencast", {{"format", "png"}, {"maxWidth", w}, {"maxHeight", h}, {"everyNthFrame", 1}});
}

void BrowserImpl::GoLive()
{
    int width, height;
    {
        auto s = m_shared.Lock();
        if (s->stream == Stream::Live) return;
        s->stream = Stream::Live;
        s->probe = FrameImage();
        s->dirty = PixelBox();
        if (s->state != State::Open || !s->visible) return;
        width = s->width;
        height = s->height;
        // The stream's frames are news, not echoes of a screenshot.
        s->live = true;
        s->echoUntil = 0;
        s->echoSuppressed = false;
    }
    Send("Page.stopScreencast");
    StartScreencast(width, height, Stream::Live);
}

void BrowserImpl::OnProbeFrame(FrameImage&& image, const page::ScreencastFrame& e)
{
    bool live = false;
    {
        auto s = m_shared.Lock();
        if (s->stream != Stream::Probe || s->width <= 0 || s->height <= 0) return;
        // The drawing made for a picture of a part has that part's size:
        // not the page as it stands.
        if (e.viewWidth > 0 && e.viewHeight > 0 &&
            (e.viewWidth != s->scale.CssLength(s->width) || e.viewHeight != s->scale.CssLength(s->height)))
            return;
        const bool first = s->probe.width != image.width || s->probe.height != image.height;
        const PixelBox changed = first ? PixelBox() : ChangedBox(s->probe, image);
        s->probe = std::move(image);
        s->scrollX = e.scrollX;
        s->scrollY = e.scrollY;
        PixelBox page;
        if (first) {
            // What changed between the last full-size picture and the
            // probe's first one cannot be told: the whole page is taken once.
            page.right = s->width;
            page.bottom = s->height;
        } else if (!changed.Empty()) {
            // A changed pixel of the probe stands for a block of the page,
            // and the engine's scaling reaches one block further.
            const double sx = static_cast<double>(s->width) / s->probe.width;
            const double sy = static_cast<double>(s->height) / s->probe.height;
            const int padX = 2 * static_cast<int>(std::ceil(sx)), padY = 2 * static_cast<int>(std::ceil(sy));
            page.left = std::max(0, static_cast<int>(std::floor(changed.left * sx)) - padX);
            page.top = std::max(0, static_cast<int>(std::floor(changed.top * sy)) - padY);
            page.right = std::min(s->width, static_cast<int>(std::ceil(changed.right * sx)) + padX);
            page.bottom = std::min(s->height, static_cast<int>(std::ceil(changed.bottom * sy)) + padY);
            // A large change is the page moving (a scroll, an animation, a
            // new document): the full-size stream shows that best.
            if (static_cast<long long>(page.Width()) * page.Height() * 3 > static_cast<long long>(s->width) * s->height)
                live = true;
        }
        if (!live) s->dirty = Union(s->dirty, page);
    }
    if (live)
        GoLive();
    else
        TakePartPicture();
}

void BrowserImpl::TakePartPicture()
{
    Runtime* rt = Runtime::Get();
    if (!rt) return;
    PixelBox box, asked;
    PageScale scale;
    double x = 0, y = 0;
    unsigned serial = 0;
    {
        auto s = m_shared.Lock();
        if (s->stream != Stream::Probe || s->partPending || s->dirty.Empty() || s->state != State::Open) return;
        box = s->dirty;
        s->dirty = PixelBox();
        // The engine is asked for whole CSS pixels: the part is widened to
        // where device and CSS pixels meet, or, where that passes the
        // window's edge, the full-size stream shows the change instead.
        scale = s->scale;
        asked = box;
        if (!scale.AlignToGrid(asked.left, asked.right, s->width) ||
            !scale.AlignToGrid(asked.top, asked.bottom, s->height))
            return;
        // What lies past the window's edge is cut off the picture.
        box = asked;
        box.right = std::min(box.right, s->width);
        box.bottom = std::min(box.bottom, s->height);
        s->partPending = true;
        serial = ++s->pictureSerial;
        s->pictureAsked = GetTickCount();
        ++s->screenshots;
        s->screenshotPixels += static_cast<unsigned long long>(asked.Width()) * asked.Height();
        // The engine places a part by document coordinates.
        x = scale.ToCss(asked.left) + s->scrollX;
        y = scale.ToCss(asked.top) + s->scrollY;
    }
    CefRefPtr<BrowserImpl> self(this);
    const Json clip = {{"x", x},
                       {"y", y},
                       {"width", scale.ToCss(asked.Width())},
                       {"height", scale.ToCss(asked.Height())},
                       {"scale", 1}};
    rt->DevTools().Call(
        "Page.captureScreenshot", {{"format", "png"}, {"clip", clip}}, m_sessionId,
        [self, box, asked, serial](const Json& r, const Json& e) {
            // Last, on every way out: input held meanwhile goes on.
            struct Ended {
                CefRefPtr<BrowserImpl> browser;
                ~Ended() { browser->PictureEnded(); }
            } ended{self};
            FrameImage part;
            const std::string* data = json::StringRef(r, "data");
            const bool decoded = e.is_null() && data && DecodeFrameImage(*data, part) &&
                                 part.width == asked.Width() && part.height == asked.Height();
            if (decoded) KeepTopLeft(part, box.Width(), box.Height());
            bool again = false, live = false;
            {
                auto s = self->m_shared.Lock();
                if (s->pictureSerial != serial) return;  // given up on, or from before a reload
                s->partPending = false;
                if (s->stream != Stream::Probe) return;  // the full-size stream shows it all again
                if (decoded && s->window && s->window->PatchImage(box.left, box.top, part)) {
                    again = !s->dirty.Empty();
                } else {
                    // No picture of the part: the full-size stream takes over
                    // rather than asking again and again.
                    live = true;
                }
            }
            if (live)
                self->GoLive();
            else if (again)
                self->TakePartPicture();
        });
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
    bool probeFrame, drop;
    int width = 0, height = 0;
    PageScale scale;
    bool askView = false;
    {
        auto s = m_shared.Lock();
        // A picture of another view than the window's, with none of our
        // pictures of parts on its way to explain it, means the engine lost
        // the window's metrics: a renderer made for a new site can start
        // from the engine's default view, and the page would then stay laid
        // out at that size, stretched over the window. They are sent again.
        const DWORD now = GetTickCount();
        if (e.viewWidth > 0 && e.viewHeight > 0 && s->state == State::Open && !s->partPending &&
            !s->screenshotPending && s->width > 0 && s->height > 0 &&
            (e.viewWidth != s->scale.CssLength(s->width) || e.viewHeight != s->scale.CssLength(s->height)) &&
            (!s->metricsAsked || Reached(now, s->metricsAsked + kMetricsRetryMs))) {
            s->metricsAsked = now ? now : 1;
            askView = true;
            width = s->width;
            height = s->height;
            scale = s->scale;
        }
        // Each stream's frames have their own size: a frame still on its way
        // from the stream just stopped is dropped.
        const bool small = s->probeWidth > 0 && image.width <= s->probeWidth && image.height <= s->probeHeight;
        probeFrame = s->stream == Stream::Probe;
        drop = small != probeFrame;
    }
    if (askView) SendMetrics(width, height, scale);
    if (drop) return;
    if (probeFrame) {
        OnProbeFrame(std::move(image), e);
        return;
    }
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
        if (e.frameId == s->mainFrameId) {
            s->navigated = true;
            s->recovering = false;
        }
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

void BrowserImpl::OnTargetInfoChanged(const target::InfoChanged& e)
{
    // Before a document has its title the engine names it by its address;
    // such a stand-in arriving late must not replace the title the page
    // itself reported.
    if (!e.title.empty() && e.url.size() >= e.title.size() &&
        e.url.compare(e.url.size() - e.title.size(), e.title.size(), e.title) == 0)
        return;
    TitleSeen(e.title);
}

void BrowserImpl::OnBindingCalled(const page::BindingCalled& e)
{
    if (e.name == kTitleBinding)
        TitleSeen(e.payload);
    else if (e.name == kCaretBinding)
        CaretSeen(e.payload);
}

void BrowserImpl::CaretSeen(const std::string& payload)
{
    CaretReport caret;
    if (!ReadCaretReport(payload, caret)) return;
    CefRefPtr<BrowserImpl> self(this);
    Post([self, caret] {
        // The window is destroyed on this thread only: it cannot go while
        // it is told.
        BrowserWindow* window = self->m_shared.Lock()->window;
        if (window) window->SetCaret(caret);
    });
}

void BrowserImpl::OnRendererGone(const page::RendererGone&)
{
    std::string url;
    {
        auto s = m_shared.Lock();
        if (s->state != State::Open || s->recovering) return;
        s->recovering = true;
        s->loading.clear();
        s->isLoading = false;
    }
    url = LastUrl();
    CefRefPtr<BrowserImpl> self(this);
    Post([self, url] { self->RecoverPage(url); });
}

std::string BrowserImpl::LastUrl()
{
    CefRefPtr<FrameImpl> main;
    std::string start;
    {
        auto s = m_shared.Lock();
        if (s->pendingMain)
            main = s->pendingMain;
        else if (auto it = s->frames.find(s->mainFrameId); it != s->frames.end())
            main = it->second;
        start = s->startUrl;
    }
    // The frame has a lock of its own: asked outside the browser's.
    std::string url = main ? main->GetURL().ToString() : std::string();
    return url.empty() || url == "about:blank" ? start : url;
}

void BrowserImpl::RecoverPage(const std::string& url)
{
    VXRT_ASSERT_UI_THREAD();
    Runtime* rt = Runtime::Get();
    int width, height;
    bool visible;
    {
        auto s = m_shared.Lock();
        if (s->state != State::Open) return;
        width = s->width;
        height = s->height;
        visible = s->visible;
        // The new renderer paints from scratch: its frames are news.
        s->stream = Stream::Live;
        s->probe = FrameImage();
        s->dirty = PixelBox();
        s->screenshotPending = false;
        s->partPending = false;
        ++s->pictureSerial;
        s->live = true;
        s->echoUntil = 0;
        s->echoSuppressed = false;
    }
    if (!rt || !rt->TakeLoss()) {
        ReportRecoveryAbandoned(this);
        return;
    }
    Send("Page.navigate", {{"url", url.empty() ? std::string("about:blank") : url}});
    // The stream of the dead renderer's view does not carry over.
    if (visible) {
        Send("Page.stopScreencast");
        StartScreencast(width, height, Stream::Live);
    }
    ScheduleScreenshot(kScreenshotDelayMs);
}

bool BrowserImpl::AwaitNewEngine()
{
    VXRT_ASSERT_UI_THREAD();
    CefRefPtr<FrameImpl> main;
    bool finishClose = false;
    {
        auto s = m_shared.Lock();
        if (s->state == State::Destroyed || s->state == State::EngineClosed) return false;
        if (s->state == State::Closing) {
            // The user asked to close: the dead engine cannot run the
            // page's handlers any more, so the close goes on without them.
            s->state = State::EngineClosed;
            finishClose = true;
        } else if (s->state == State::Open) {
            if (auto it = s->frames.find(s->mainFrameId); it != s->frames.end()) main = it->second;
        }
    }
    if (finishClose) {
        CefRefPtr<BrowserImpl> self(this);
        Post([self] { self->OnTargetClosed(); });
        return false;
    }
    const std::string url = LastUrl();
    std::map<std::string, CefRefPtr<FrameImpl>> frames;
    {
        auto s = m_shared.Lock();
        if (s->state != State::Open && s->state != State::Creating) return false;
        s->state = State::Creating;
        s->startUrl = url;
        // The client's main frame stays the same object across engines;
        // the sub-frames died with the old one.
        if (main) s->pendingMain = main;
        frames.swap(s->frames);
        if (main) frames.erase(s->mainFrameId);
        s->mainFrameId.clear();
        s->requestFrame.clear();
        s->requestUrl.clear();
        s->status.clear();
        s->loading.clear();
        s->isLoading = false;
        s->recovering = false;
        s->stream = Stream::Live;
        s->probe = FrameImage();
        s->dirty = PixelBox();
        s->screenshotPending = false;
        s->screenshotDue = 0;
        s->partPending = false;
        ++s->pictureSerial;
        s->verifying = false;
        s->live = true;
        s->echoUntil = 0;
        s->echoSuppressed = false;
        s->contextsLive = false;
    }
    for (auto& f : frames) f.second->Detach();
    return true;
}

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
        if (s->state == State::Closing || s->state == State::Destroyed) return;
        // Still waiting for the engine: there is no page to unload yet.
        if (s->state == State::Creating) s->state = State::EngineClosed;
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
        if (s->pendingMain) frames[std::string()] = s->pendingMain;
        s->pendingMain = nullptr;
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
    const HWND hwnd = m_hwnd.load();
    const PageScale scale = hwnd ? BrowserWindow::ScreenScale(hwnd) : PageScale();
    bool visible;
    {
        auto s = m_shared.Lock();
        if (s->state != State::Open || (width == s->width && height == s->height && scale == s->scale)) return;
        s->width = width;
        s->height = height;
        s->scale = scale;
        visible = s->visible;
        s->stream = Stream::Live;
        s->live = true;
    }
    SendMetrics(width, height, scale);
    if (visible) {
        Send("Page.stopScreencast");
        StartScreencast(width, height, Stream::Live);
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
        s->stream = Stream::Live;
        if (s->state != State::Open) return;
        width = s->width;
        height = s->height;
    }
    if (visible) {
        StartScreencast(width, height, Stream::Live);
        ScheduleScreenshot(kScreenshotDelayMs);
    } else {
        Send("Page.stopScreencast");
    }
}

void BrowserImpl::SendInput(const char* method, const Json& params, bool repaintAfter)
{
    VXRT_ASSERT_UI_THREAD();
    bool probing, hold;
    {
        auto s = m_shared.Lock();
        if (s->state != State::Open) return;
        // What the page paints after input is its answer, not an echo.
        s->live = true;
        s->echoUntil = 0;
        s->echoSuppressed = false;
        s->lastInputTick = GetTickCount();
        probing = s->stream == Stream::Probe;
        // At a density other than the base one, the engine reads input that
        // arrives while it draws a picture against the picture's own view
        // (at 200 % a press lands half as far from the corner): such input
        // waits until the picture is back, in the order it came.
        hold = s->scale.Dpi() != PageScale::kBaseDpi &&
               (s->partPending || s->screenshotPending || !s->heldInput.empty());
        if (hold) s->heldInput.push_back({method, params, repaintAfter});
    }
    // The user acts: the page's answer comes at once and in full.
    if (probing) GoLive();
    if (hold) return;
    Send(method, params);
    if (repaintAfter) ScheduleScreenshot(kScreenshotDelayMs);
}

void BrowserImpl::ReleaseHeldInput()
{
    VXRT_ASSERT_UI_THREAD();
    std::vector<Shared::HeldInput> held;
    {
        auto s = m_shared.Lock();
        if (s->partPending || s->screenshotPending) return;  // the next picture's end releases it
        held.swap(s->heldInput);
        if (s->state != State::Open) return;
    }
    bool repaint = false;
    for (const auto& input : held) {
        Send(input.method, input.params);
        repaint = repaint || input.repaintAfter;
    }
    if (repaint) ScheduleScreenshot(kScreenshotDelayMs);
}

void BrowserImpl::PictureEnded()
{
    CefRefPtr<BrowserImpl> self(this);
    if (!m_shared.Lock()->heldInput.empty()) Post([self] { self->ReleaseHeldInput(); });
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
    const PageScale scale = Scale();
    std::string expr =
        std::string(kProbe) + "(" + std::to_string(scale.ToCss(x)) + "," + std::to_string(scale.ToCss(y)) + ")";
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

void BrowserImpl::TakeScreenshot(unsigned serial)
{
    Runtime* rt = Runtime::Get();
    if (!rt) return;
    CefRefPtr<BrowserImpl> self(this);
    const DWORD requested = GetTickCount();
    rt->DevTools().Call(
        "Page.captureScreenshot", {{"format", "png"}}, m_sessionId,
        [self, requested, serial](const Json& r, const Json& e) {
            // Last, on every way out: input held meanwhile goes on.
            struct Ended {
                CefRefPtr<BrowserImpl> browser;
                ~Ended() { browser->PictureEnded(); }
            } ended{self};
            FrameImage image;
            const std::string* data = json::StringRef(r, "data");
            const bool decoded = e.is_null() && data && DecodeFrameImage(*data, image);
            {
                auto s = self->m_shared.Lock();
                if (s->pictureSerial != serial) return;  // given up on, or from before a reload
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
                if (wasCheck) {
                    // While frames are taken for echoes none is shown: the
                    // window still shows the last lossless picture.
                    if (s->window && s->window->Shows(image)) {
                        s->settled = true;  // nothing changed under the echoes
                        return;
                    }
                    // The page changed under them: its frames
                    // are real from now on.
                    s->live = true;
                    s->echoUntil = 0;
                    s->echoSuppressed = false;
                }
            }
            self->ShowImage(std::move(image));
        });
}

void BrowserImpl::Tick()
{
    const DWORD now = GetTickCount();
    bool shoot = false, forceClose = false, probe = false, lateEnded = false, latePart = false;
    unsigned shotSerial = 0;
    int width = 0, height = 0;
    {
        auto s = m_shared.Lock();
        if (s->state == State::Creating) return;  // the ids are not ours to read yet
        if (s->state == State::Closing && s->closeDeadline && Reached(now, s->closeDeadline)) {
            // The page has had its time for its handlers. The engine is asked
            // to close it without them, and the window goes now: an engine
            // that hangs may never answer that either.
            s->closeDeadline = 0;
            s->state = State::EngineClosed;
            forceClose = true;
        }
        if (s->echoUntil && Reached(now, s->echoUntil)) {
            s->echoUntil = 0;
            // Frames were held back as echoes: one more picture shows
            // whether the page changed meanwhile after all.
            if (s->echoSuppressed && !s->settled) s->verifying = true;
            s->echoSuppressed = false;
        }
        if ((s->screenshotPending || s->partPending) && Reached(now, s->pictureAsked + kPictureDeadlineMs)) {
            // The engine has not answered in time: the picture is given up
            // on (its answer, should it come, is dropped) and the page's
            // pictures go on as after a failed one.
            ++s->pictureSerial;
            lateEnded = true;
            if (s->screenshotPending) {
                s->screenshotPending = false;
                s->verifying = false;
                s->restShown = false;  // taken again once the page rests
            }
            if (s->partPending) {
                s->partPending = false;
                latePart = s->stream == Stream::Probe;
            }
        }
        if (s->stream == Stream::Probe) s->screenshotDue = 0;  // the probe sees what changes
        // One picture at a time: the engine draws a picture of a part by
        // resizing its view for it, so a whole-page picture taken meanwhile
        // (the full-size stream came back while a part was on its way)
        // could come out of that view. And none while input waits for one.
        if (s->stream == Stream::Live && s->state == State::Open && s->visible && !s->screenshotPending &&
            !s->partPending && s->heldInput.empty() && !s->echoUntil) {
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
                shotSerial = ++s->pictureSerial;
                s->pictureAsked = now;
                s->restShown = true;
                // Taken at rest: the frames this picture causes are echoes
                // again (a check keeps the mode the page was in).
                if (!s->verifying) s->live = false;
                ++s->screenshots;
                s->screenshotPixels += static_cast<unsigned long long>(s->width) * s->height;
            } else if (!s->verifying && !s->screenshotDue && now - s->lastInputTick >= kProbeAfterMs &&
                       now - s->liveSince >= kProbeAfterMs && s->width / kProbeScale >= 16 &&
                       s->height / kProbeScale >= 16 && s->window && s->window->HasImage()) {
                // No input for a while: the probe takes over from the
                // full-size stream. Its first picture brings a lossless one
                // of the whole page, so a blinking caret that never leaves
                // the stream a quiet moment does not keep it live.
                s->stream = Stream::Probe;
                probe = true;
                width = s->width;
                height = s->height;
            }
        }
    }
    Runtime* rt = Runtime::Get();
    if (!rt) return;
    if (forceClose) {
        rt->DevTools().Call("Target.closeTarget", {{"targetId", m_targetId}}, "");
        CefRefPtr<BrowserImpl> self(this);
        Post([self] { self->OnTargetClosed(); });
    }
    if (lateEnded) PictureEnded();
    if (latePart) GoLive();
    if (shoot) TakeScreenshot(shotSerial);
    if (probe) {
        Send("Page.stopScreencast");
        StartScreencast(width, height, Stream::Probe);
    }
}

bool BrowserImpl::IsLoading() { return m_shared.Lock()->isLoading; }

bool BrowserImpl::HasDocument() { return m_shared.Lock()->navigated; }

CefRefPtr<CefFrame> BrowserImpl::GetMainFrame()
{
    auto s = m_shared.Lock();
    if (s->pendingMain) return s->pendingMain.get();
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

void BrowserImpl::Reload()
{
    // After losses the runtime gave up on, a reload is the user's retry.
    if (Runtime* rt = Runtime::Get(); rt && rt->RetryAfterLosses()) return;
    Send("Page.reload");
}

void BrowserImpl::ReloadIgnoreCache()
{
    if (Runtime* rt = Runtime::Get(); rt && rt->RetryAfterLosses()) return;
    Send("Page.reload", {{"ignoreCache", true}});
}
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
