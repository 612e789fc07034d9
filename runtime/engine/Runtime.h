#pragma once
// The running runtime of the browser process: the engine, its DevTools
// connection, the UI-thread dispatcher and the browsers.

#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "runtime/CefApp.h"
#include "runtime/engine/DevToolsConnection.h"
#include "runtime/engine/DownloadController.h"
#include "runtime/engine/EngineProcess.h"
#include "runtime/engine/PopupController.h"
#include "runtime/engine/PrivateProfile.h"
#include "runtime/engine/RecoveryBudget.h"
#include "runtime/engine/UiDispatcher.h"

namespace vxrt {

class BrowserImpl;

// A DevTools endpoint that is already listening (port and browser path).
struct DevToolsEndpoint {
    unsigned short port = 0;
    std::string path;
};

class Runtime {
public:
    // Test seam: the next Initialize connects to this endpoint instead of
    // starting an engine (port 0 clears it). Only the tests' support
    // library calls it; the program never does, and reads no setting of
    // its own for it.
    static void SetTestEndpoint(const DevToolsEndpoint& endpoint);

    // Null unless cef_initialize succeeded and cef_shutdown has not run.
    // The engine starts in the background: Initialize returns at once, and
    // browsers created meanwhile get their page once it is connected.
    static Runtime* Get();
    static bool Initialize(const cef_settings_t& settings, CefRefPtr<CefApp> app);
    static void Shutdown();

    UiDispatcher& Ui() { return m_ui; }
    DevToolsConnection& DevTools() { return m_devtools; }
    CefRefPtr<CefApp> App() { return m_app; }
    int NextBrowserId();

    // Whether the engine is connected; false while it starts, and for good
    // once it failed to.
    bool EngineReady();
    // UI thread: while the engine starts, browser waits for it; its
    // ContinueCreate (or EngineGone, when the engine could not be started)
    // runs on the UI thread once that is decided. False when the engine is
    // ready already.
    bool AwaitEngine(CefRefPtr<BrowserImpl> browser);
    // The blank page the engine opened at its start, for the first browser
    // to take rather than have a second page (and its process) made beside
    // it; empty once taken, or when there is none.
    std::string TakeSpareTarget();

    // UI thread: notes a lost engine or page; false when losses came too
    // often and this one is not to be recovered from.
    bool TakeLoss();
    // UI thread: the user asks for the page again (a reload): earlier losses
    // no longer count, and an engine given up on is started again. True when
    // that start is under way and the browser comes back with it.
    bool RetryAfterLosses();

    void AddBrowser(BrowserImpl* browser);
    void RemoveBrowser(BrowserImpl* browser);
    void SetBrowserSession(BrowserImpl* browser, const std::string& targetId, const std::string& sessionId);

    // Lookups for the controllers that span browsers (pop-ups, downloads);
    // null when no browser matches.
    CefRefPtr<BrowserImpl> BrowserBySession(const std::string& sessionId);
    CefRefPtr<BrowserImpl> BrowserByTarget(const std::string& targetId);
    // The browser whose window is, or lies within, hwnd's top-level window.
    CefRefPtr<BrowserImpl> BrowserOfWindow(HWND hwnd);
    DownloadController& Downloads() { return m_downloads; }

private:
    Runtime();
    ~Runtime();
    bool Start(const cef_settings_t& settings, CefRefPtr<CefApp> app);
    // Opens the DevTools connection and prepares what spans browsers.
    bool Connect(unsigned short port, const std::string& path);
    // UI thread: the background start has ended.
    void OnEngineStarted(bool ok);
    void Stop();
    void OnEvent(const std::string& method, const Json& params, const std::string& sessionId);
    void OnTick();
    void OnConnectionLost();
    // UI thread: the engine this runtime started has died.
    void OnEngineLost();
    // UI thread: starts the engine in the background (again); each browser
    // in m_awaiting continues once it is there.
    void StartEngine();
    void StartWatchdog(unsigned short port, const std::string& path);

    UiDispatcher m_ui;
    DevToolsConnection m_devtools;
    EngineProcess m_engine;
    EngineOptions m_engineOptions;
    bool m_ownsEngine = false;      // false when connected to a test endpoint
    bool m_contextAnnounced = false;  // UI thread: OnContextInitialized has run
    PrivateProfile m_privateProfile;  // used when the settings name no cache path
    PopupController m_popups;
    DownloadController m_downloads;
    CefRefPtr<CefApp> m_app;
    std::mutex m_lock;
    std::map<int, CefRefPtr<BrowserImpl>> m_browsers;
    std::map<std::string, BrowserImpl*> m_bySession;
    std::map<std::string, BrowserImpl*> m_byTarget;
    int m_nextId = 1;
    enum class EngineState {
        Starting,
        Ready,
        Failed
    };
    EngineState m_engineState = EngineState::Starting;  // under m_lock
    std::vector<CefRefPtr<BrowserImpl>> m_awaiting;     // under m_lock
    std::thread m_starter;                              // the background start
    std::string m_spareTarget;                          // under m_lock
    RecoveryBudget m_recovery;                          // under m_lock
    bool m_gaveUp = false;                              // under m_lock: engine lost too often
};

}  // namespace vxrt
