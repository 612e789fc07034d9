#pragma once
// The running runtime of the browser process: the engine, its DevTools
// connection, the UI-thread dispatcher and the browsers.

#include <map>
#include <mutex>
#include <string>

#include "runtime/CefApp.h"
#include "runtime/DevToolsConnection.h"
#include "runtime/EngineProcess.h"
#include "runtime/UiDispatcher.h"

namespace vxrt {

class BrowserImpl;

class Runtime {
public:
    // Null unless cef_initialize succeeded and cef_shutdown has not run.
    static Runtime* Get();
    static bool Initialize(const cef_settings_t& settings, CefRefPtr<CefApp> app);
    static void Shutdown();

    UiDispatcher& Ui() { return m_ui; }
    DevToolsConnection& DevTools() { return m_devtools; }
    CefRefPtr<CefApp> App() { return m_app; }
    int NextBrowserId();

    void AddBrowser(BrowserImpl* browser);
    void RemoveBrowser(BrowserImpl* browser);
    void SetBrowserSession(BrowserImpl* browser, const std::string& targetId, const std::string& sessionId);

private:
    Runtime();
    ~Runtime();
    bool Start(const cef_settings_t& settings, CefRefPtr<CefApp> app);
    void Stop();
    void OnEvent(const std::string& method, const Json& params, const std::string& sessionId);
    void OnTick();
    void StartWatchdog(unsigned short port, const std::string& path);

    UiDispatcher m_ui;
    DevToolsConnection m_devtools;
    EngineProcess m_engine;
    CefRefPtr<CefApp> m_app;
    std::mutex m_lock;
    std::map<int, CefRefPtr<BrowserImpl>> m_browsers;
    std::map<std::string, BrowserImpl*> m_bySession;
    std::map<std::string, BrowserImpl*> m_byTarget;
    int m_nextId = 1;
};

}  // namespace vxrt
