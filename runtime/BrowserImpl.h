#pragma once
// One browser: a page target of the engine shown in a child window. The
// runtime thread feeds it protocol events; every client handler call is
// handed to the UI thread.

#include <map>
#include <mutex>
#include <set>
#include <string>

#include "runtime/CefApp.h"
#include "runtime/DevToolsConnection.h"
#include "runtime/FrameImage.h"

namespace vxrt {

class BrowserWindow;
class FrameImpl;

class BrowserImpl : public CefBrowser, public CefBrowserHost {
public:
    BrowserImpl(int id, CefRefPtr<CefClient> client);
    ~BrowserImpl() override;

    // UI thread: creates the window and the page target, starts loading.
    bool Create(const CefWindowInfo& info, const CefString& url);

    // Runtime thread.
    void HandleEvent(const std::string& method, const Json& params);
    void HandleTargetEvent(const std::string& method, const Json& params);
    void Tick();
    // Engine gone (shutdown): the page cannot be closed any more.
    void EngineGone();

    // UI thread, from the window.
    void OnWindowResized(int width, int height);
    void OnWindowShown(bool visible);
    void OnWindowDestroyed();
    void SendInput(const char* method, const Json& params, bool repaintAfter);
    void UpdateCursor(int x, int y);

    void MarkAnnounced() { m_announced = true; }
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
    HWND GetWindowHandle() override { return m_hwnd; }
    HWND GetOpenerWindowHandle() override { return nullptr; }
    CefRefPtr<CefClient> GetClient() override { return m_client; }
    CefRefPtr<CefRequestContext> GetRequestContext() override { return nullptr; }
    void WasResized() override;

    // Protocol helpers for frames.
    void Send(const std::string& method, const Json& params = Json::object());
    Json SendSync(const std::string& method, const Json& params = Json::object());

    IMPLEMENT_REFCOUNTING(BrowserImpl);

private:
    bool CreateChecked(const CefWindowInfo& info, const CefString& url);
    enum class State {
        Creating,
        Open,
        Closing,
        EngineClosed,
        Destroyed
    };

    CefRefPtr<FrameImpl> FrameFor(const std::string& frameId, const std::string& parentId, bool create);
    void Post(std::function<void()> fn);
    void OnTargetClosed();
    void TitleSeen(const std::string& title);
    void StartScreencast();
    void ScheduleScreenshot(DWORD delayMs);
    void ShowImage(FrameImage&& image);
    int HistoryOffsetAvailable(int delta);

    const int m_id;
    CefRefPtr<CefClient> m_client;
    HWND m_hwnd = nullptr;
    BrowserWindow* m_window = nullptr;
    std::string m_targetId;
    std::string m_sessionId;

    std::mutex m_lock;  // guards everything below
    State m_state = State::Creating;
    std::string m_mainFrameId;
    std::map<std::string, CefRefPtr<FrameImpl>> m_frames;
    std::map<std::string, std::string> m_requestFrame;  // document request -> frame
    std::map<std::string, std::string> m_requestUrl;
    std::map<std::string, int> m_status;  // frame -> HTTP status
    std::set<std::string> m_loading;      // frames between start and end
    std::set<std::string> m_errorPages;   // frames showing an error page
    std::string m_title;
    bool m_navigated = false;
    bool m_isLoading = false;
    int m_width = 0, m_height = 0;
    bool m_visible = true;
    DWORD m_lastFrameTick = 0;
    DWORD m_screenshotDue = 0;
    bool m_screenshotPending = false;
    DWORD m_screenshotRequested = 0;
    DWORD m_closeDeadline = 0;
    bool m_announced = false;
    DWORD m_lastTitlePoll = 0;    // OnAfterCreated has run
    bool m_contextsLive = false;  // script contexts from now on are new ones
};

}  // namespace vxrt
