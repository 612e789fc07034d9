#pragma once
// One browser: a page target of the engine shown in a child window. The
// runtime thread feeds it protocol events; every client handler call is
// handed to the UI thread.
//
// Threads. State both threads touch lives in m_shared and is reached only
// under its lock. State of the UI thread alone lives in m_ui and is reached
// through Ui(), which checks the thread in debug builds. The target and
// session ids are written by the creation steps on the UI thread while the
// browser is Creating (at its start, and again for a new engine once the old
// engine's connection and its thread have ended), before they are published
// to the runtime thread; the runtime thread reads them only while the state
// is past Creating.

#include <atomic>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "runtime/CefApp.h"
#include "runtime/engine/DevToolsConnection.h"
#include "runtime/engine/FrameImage.h"
#include "runtime/engine/Guarded.h"
#include "runtime/engine/ThreadCheck.h"
#include "runtime/protocol/PageScale.h"
#include "runtime/protocol/ProtocolEvents.h"

namespace vxrt {

class BrowserWindow;
class FrameImpl;

class BrowserImpl : public CefBrowser, public CefBrowserHost, private page::EventSink, private target::EventSink {
public:
    BrowserImpl(int id, CefRefPtr<CefClient> client);
    ~BrowserImpl() override;

    // UI thread: creates the window and the page target, starts loading.
    // While the engine still starts, only the window is made, and the page
    // follows in ContinueCreate.
    bool Create(const CefWindowInfo& info, const CefString& url);
    // UI thread: the engine has come; makes the page target and loads.
    void ContinueCreate();

    // Runtime thread.
    void HandleEvent(const std::string& method, const Json& params);
    void HandleTargetEvent(const std::string& method, const Json& params);
    void Tick();
    // Engine gone (shutdown): the page cannot be closed any more.
    void EngineGone();
    // UI thread: the engine died and a new one is on its way. The window
    // stays; the browser waits for the new engine as at its start and then
    // loads the address it showed. False when it has nothing to come back
    // to (closed, or being closed: that close is then finished).
    bool AwaitNewEngine();
    // The address the page showed last (its start address before any).
    std::string LastUrl();

    // UI thread, from the window.
    void OnWindowResized(int width, int height);
    void OnWindowShown(bool visible);
    void OnWindowDestroyed();
    void SendInput(const char* method, const Json& params, bool repaintAfter);
    void UpdateCursor(int x, int y);

    void MarkAnnounced() { Ui().announced = true; }
    const std::string& TargetId() const { return m_targetId; }
    const std::string& SessionId() const { return m_sessionId; }

    // CefBrowser
    CefRefPtr<CefBrowserHost> GetHost() override { return this; }
    bool CanGoBack() override;
    void GoBack() override;
    bool CanGoForward() override;
    void GoForward() override;
    bool IsLoading() override;
    void Reload() override;
    void ReloadIgnoreCache() override;
    void StopLoad() override;
    int GetIdentifier() override { return m_id; }
    bool IsSame(CefRefPtr<CefBrowser> that) override { return that.get() == static_cast<CefBrowser*>(this); }
    bool IsPopup() override { return false; }
    bool HasDocument() override;
    CefRefPtr<CefFrame> GetMainFrame() override;

    // CefBrowserHost
    CefRefPtr<CefBrowser> GetBrowser() override { return this; }
    void CloseBrowser(bool force_close) override;
    void SetFocus(bool focus) override;
    HWND GetWindowHandle() override { return m_hwnd.load(); }
    HWND GetOpenerWindowHandle() override { return nullptr; }
    CefRefPtr<CefClient> GetClient() override { return m_client; }
    CefRefPtr<CefRequestContext> GetRequestContext() override { return nullptr; }
    void WasResized() override;

    // The main frame loads url; before the page exists (the engine still
    // starts), url becomes the page it loads first.
    void NavigateMain(const std::string& url);

    // Protocol helpers for frames.
    void Send(const std::string& method, const Json& params = Json::object());
    Json SendSync(const std::string& method, const Json& params = Json::object());

    // Screenshots asked of the engine so far (a still page must not keep
    // asking).
    unsigned ScreenshotCount() { return m_shared.Lock()->screenshots; }
    // Pixels those screenshots covered, in all.
    unsigned long long ScreenshotPixels() { return m_shared.Lock()->screenshotPixels; }

    // How long the picture must stay unchanged before the lossless one is
    // taken: the screencast's JPEG is fine in motion, not on a still page.
    static const unsigned kRestMs = 150;
    // How long after the last input, with the page at rest, the full-size
    // stream gives way to the probe.
    static const unsigned kProbeAfterMs = 1000;
    // How long a picture may take: now and then the engine never answers
    // one, and the pictures (and at high density the input held for them)
    // must not wait for ever.
    static const unsigned kPictureDeadlineMs = 4000;
    // The probe's pictures are this many times smaller than the page.
    static const int kProbeScale = 4;

    // Any thread: the density the page is drawn at (what the engine was
    // last told).
    PageScale Scale();

    // Whether the page's pictures come from the probe (the page at rest).
    bool Probing() { return m_shared.Lock()->stream == Stream::Probe; }

    IMPLEMENT_REFCOUNTING(BrowserImpl);

private:
    // How pictures of the page come. Live: the screencast at the page's
    // size, each frame shown as it comes; for a page that moves or a user
    // who acts. Probe: the page at rest; a screencast a quarter of the
    // page's size only tells where the page changed, and lossless pictures
    // of just those parts are shown. A blinking caret then costs two small
    // pictures a second instead of two full-size frames and two full-size
    // lossless screenshots.
    enum class Stream {
        Live,
        Probe
    };

    enum class State {
        Creating,
        Open,
        Closing,
        EngineClosed,
        Destroyed
    };

    // Both threads, under the lock.
    struct Shared {
        State state = State::Creating;
        BrowserWindow* window = nullptr;  // null once the window is destroyed
        std::string mainFrameId;
        // Until the page exists: its main frame, and what it loads first.
        CefRefPtr<FrameImpl> pendingMain;
        std::string startUrl;
        std::map<std::string, CefRefPtr<FrameImpl>> frames;
        std::map<std::string, std::string> requestFrame;  // document request -> frame
        std::map<std::string, std::string> requestUrl;
        std::map<std::string, int> status;  // frame -> HTTP status
        std::set<std::string> loading;      // frames between start and end
        std::string title;
        bool navigated = false;
        bool isLoading = false;
        int width = 0, height = 0;  // the window's, in device pixels
        PageScale scale;
        bool visible = true;
        // Pictures: the last screencast frame and a requested screenshot
        // (the window keeps the picture shown, lossless at rest).
        DWORD lastFrameTick = 0;
        DWORD screenshotDue = 0;
        bool screenshotPending = false;
        DWORD screenshotRequested = 0;
        bool restShown = true;  // no frame since the last lossless picture
        unsigned screenshots = 0;
        unsigned long long screenshotPixels = 0;
        // A screenshot makes the engine paint, and the screencast sends that
        // paint as a frame of its own: frames that arrive while a picture
        // is taken, or just after, are such echoes and are not shown. One
        // more picture then checks that the page is really unchanged.
        DWORD echoUntil = 0;
        bool echoSuppressed = false;
        bool verifying = false;  // the picture being taken is such a check
        bool settled = false;    // a check found the page unchanged
        // Frames are real changes (input came, or a check found the page
        // changing): none is taken for an echo until the page rests again.
        bool live = false;
        Stream stream = Stream::Live;
        DWORD lastInputTick = 0;
        DWORD liveSince = 0;  // when the full-size stream last started
        int probeWidth = 0, probeHeight = 0;  // the probe's largest picture
        FrameImage probe;                     // the probe's last picture
        double scrollX = 0, scrollY = 0;      // where it saw the viewport
        PixelBox dirty;                       // changed parts no picture shows yet
        bool partPending = false;             // a picture of a part is on its way
        // The picture on its way (whole page or part): its number, and when
        // it was asked for. An answer of another number is dropped: it came
        // after its deadline or from before a reload.
        unsigned pictureSerial = 0;
        DWORD pictureAsked = 0;
        DWORD metricsAsked = 0;               // when the window's metrics were last sent again
        // Input held while the engine draws a picture (see SendInput).
        struct HeldInput {
            std::string method;
            Json params;
            bool repaintAfter;
        };
        std::vector<HeldInput> heldInput;
        bool probeSynced = false;             // the probe's first picture was matched by a full one
        DWORD closeDeadline = 0;
        bool contextsLive = false;  // script contexts from now on are new ones
        // The renderer died and the page is being loaded again: the second
        // report of the same death is not a new one.
        bool recovering = false;
    };

    // The UI thread alone.
    struct UiOnly {
        bool announced = false;  // OnAfterCreated has run
        bool focusedAfterLoad = false;
    };
    UiOnly& Ui()
    {
        VXRT_ASSERT_UI_THREAD();
        return m_ui;
    }

    bool CreateWindowPart(const CefWindowInfo& info);
    // UI thread: the steps that make the page target (see the .cpp).
    void CreateTarget();
    void AttachTarget(int attempt);
    void PreparePage(int attempt);
    void AskFrameTree(int attempt);
    void FinishCreate(const std::string& mainFrameId);
    bool CreationCurrent(int attempt);
    // Closes a page target of the engine that nobody shows (any more).
    void CloseTarget(const std::string& targetId);
    void AbandonTarget(int attempt);
    void CreationFailed();
    CefRefPtr<FrameImpl> FrameFor(const std::string& frameId, const std::string& parentId, bool create);
    void Post(std::function<void()> fn);
    void OnTargetClosed();
    // UI thread: the page's renderer died; the page loads url again, unless
    // losses came too often.
    void RecoverPage(const std::string& url);
    void OnMainFrameLoaded();
    void TitleSeen(const std::string& title);
    // The page's caret watch reported; the window draws the caret.
    void CaretSeen(const std::string& payload);
    void SendMetrics(int width, int height, const PageScale& scale);
    // UI thread: sends the input held while a picture was drawn, once none is.
    void ReleaseHeldInput();
    // Any thread: a picture of the engine has come back.
    void PictureEnded();
    void StartScreencast(int width, int height, Stream stream);
    // Runtime thread, lock not held: a frame of the probe.
    void OnProbeFrame(FrameImage&& image, const page::ScreencastFrame& e);
    // Any thread, lock not held: takes a lossless picture of the changed
    // parts, when one is not on its way already.
    void TakePartPicture();
    // Any thread, lock not held: back to the full-size stream.
    void GoLive();
    void ScheduleScreenshot(DWORD delayMs);
    void TakeScreenshot(unsigned serial);
    void ShowImage(FrameImage&& image);

    // page::EventSink, runtime thread: one function per event.
    void OnScreencastFrame(const page::ScreencastFrame& e) override;
    void OnRequestWillBeSent(const page::RequestWillBeSent& e) override;
    void OnResponseReceived(const page::ResponseReceived& e) override;
    void OnLoadingFinished(const page::LoadingFinished& e) override;
    void OnLoadingFailed(const page::LoadingFailed& e) override;
    void OnFrameNavigated(const page::FrameNavigated& e) override;
    void OnNavigatedWithinDocument(const page::NavigatedWithinDocument& e) override;
    void OnLifecycleEvent(const page::LifecycleEvent& e) override;
    void OnFrameLoading(const page::FrameLoading& e) override;
    void OnFrameDetached(const page::FrameDetached& e) override;
    void OnExecutionContextCreated(const page::ExecutionContextCreated& e) override;
    void OnJavascriptDialogOpening(const page::JavascriptDialogOpening& e) override;
    void OnBindingCalled(const page::BindingCalled& e) override;
    // Both sinks: the page tells it on its session, the engine on the target.
    void OnRendererGone(const page::RendererGone& e) override;
    // target::EventSink, runtime thread.
    void OnTargetInfoChanged(const target::InfoChanged& e) override;
    void OnTargetGone(const target::Gone& e) override;

    int HistoryOffsetAvailable(int delta);

    const int m_id;
    const CefRefPtr<CefClient> m_client;
    std::atomic<HWND> m_hwnd{nullptr};
    std::string m_targetId;   // written while Creating, before the browser is published
    std::string m_sessionId;  // likewise
    std::atomic<int> m_createAttempt{0};  // counts the creations begun: answers to an older one are stale
    Guarded<Shared> m_shared;
    UiOnly m_ui;
};

}  // namespace vxrt
