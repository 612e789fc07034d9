#include "runtime/engine/Runtime.h"

#include <vector>

#include "runtime/engine/BrowserImpl.h"
#include "runtime/engine/EngineLoss.h"
#include "runtime/engine/SubProcess.h"
#include "runtime/engine/ThreadCheck.h"

#include <cstdlib>

namespace vxrt {

namespace {
Runtime* g_runtime = nullptr;
DevToolsEndpoint g_testEndpoint;
const DWORD kEngineStartMs = 30000;
}  // namespace

Runtime* Runtime::Get() { return g_runtime; }

void Runtime::SetTestEndpoint(const DevToolsEndpoint& endpoint) { g_testEndpoint = endpoint; }

void CheckUiThread(const char* file, int line)
{
    Runtime* rt = g_runtime;
    if (!rt || rt->Ui().OnUiThread()) return;
    char text[512];
    wsprintfA(text, "browser runtime: %s:%d runs on thread %lu, not on the UI thread %lu\n", file, line,
              GetCurrentThreadId(), rt->Ui().ThreadId());
    OutputDebugStringA(text);
    WriteFile(GetStdHandle(STD_ERROR_HANDLE), text, lstrlenA(text), nullptr, nullptr);
    abort();
}

Runtime::Runtime() {}
Runtime::~Runtime() {}

bool Runtime::Initialize(const cef_settings_t& settings, CefRefPtr<CefApp> app)
{
    if (g_runtime) return false;
    auto* rt = new Runtime();
    g_runtime = rt;
    if (!rt->Start(settings, app)) {
        g_runtime = nullptr;
        rt->Stop();
        delete rt;
        return false;
    }
    return true;
}

void Runtime::Shutdown()
{
    Runtime* rt = g_runtime;
    if (!rt) return;
    rt->Stop();
    g_runtime = nullptr;
    delete rt;
}

bool Runtime::Start(const cef_settings_t& settings, CefRefPtr<CefApp> app)
{
    m_app = app;
    if (!m_ui.Create()) return false;
    EngineOptions opt;
    opt.enginePath = CefString(&settings.engine_path).ToWString();
    opt.profileDir = CefString(&settings.cache_path).ToWString();
    while (!opt.profileDir.empty() && (opt.profileDir.back() == L'\\' || opt.profileDir.back() == L'/'))
        opt.profileDir.pop_back();
    if (opt.profileDir.empty()) {
        // Without a cache path nothing may persist: the engine gets a
        // private profile that goes with this run.
        if (!m_privateProfile.Create()) return false;
        opt.profileDir = m_privateProfile.Folder();
    }
    opt.logging = settings.log_severity != LOGSEVERITY_DISABLE;
    opt.logFile = CefString(&settings.log_file).ToWString();
    if (g_testEndpoint.port != 0) {
        // An engine that listens already: connected before this returns.
        if (!Connect(g_testEndpoint.port, g_testEndpoint.path)) return false;
        OnEngineStarted(true);
        return true;
    }
    if (EngineProcess::FindEngine(opt.enginePath).empty()) return false;
    m_engineOptions = opt;
    m_ownsEngine = true;
    StartEngine();
    return true;
}

void Runtime::StartEngine()
{
    // The engine takes most of a second to come up: the program's window
    // paints meanwhile, and its browser gets the page once the engine is
    // there. The thread that started the previous engine ended long ago.
    if (m_starter.joinable()) m_starter.join();
    m_starter = std::thread([this] {
        // What is left of a dead engine goes first: its connection, its
        // downloads and, through its guard, any helper still running.
        m_devtools.Close();
        m_engine.Stop(5000);
        m_downloads.Stop();
        const bool ok =
            m_engine.Start(m_engineOptions, kEngineStartMs) && Connect(m_engine.Port(), m_engine.BrowserPath());
        if (ok) StartWatchdog(m_engine.Port(), m_engine.BrowserPath());
        m_ui.Post([this, ok] { OnEngineStarted(ok); });
    });
}

bool Runtime::TakeLoss()
{
    std::lock_guard<std::mutex> lock(m_lock);
    return m_recovery.TakeLoss(GetTickCount());
}

bool Runtime::Connect(unsigned short port, const std::string& path)
{
    m_devtools.SetClosedSink([this] { OnConnectionLost(); });
    if (!m_devtools.Open(
            port, path, [this](const std::string& m, const Json& p, const std::string& s) { OnEvent(m, p, s); },
            [this] { OnTick(); }))
        return false;
    m_devtools.CallSync("Target.setDiscoverTargets", {{"discover", true}}, "", 10000);
    m_downloads.Start(m_devtools);
    const Json targets = m_devtools.CallSync("Target.getTargets", Json::object(), "", 10000);
    if (const Json* infos = json::Member(targets, "targetInfos"); infos && infos->is_array()) {
        for (const Json& info : *infos) {
            if (json::String(info, "type") != "page" || json::String(info, "url") != "about:blank") continue;
            std::lock_guard<std::mutex> lock(m_lock);
            m_spareTarget = json::String(info, "targetId");
            break;
        }
    }
    return true;
}

std::string Runtime::TakeSpareTarget()
{
    std::lock_guard<std::mutex> lock(m_lock);
    std::string spare;
    spare.swap(m_spareTarget);
    return spare;
}

void Runtime::OnEngineStarted(bool ok)
{
    std::vector<CefRefPtr<BrowserImpl>> awaiting;
    {
        std::lock_guard<std::mutex> lock(m_lock);
        if (m_engineState != EngineState::Starting) return;
        m_engineState = ok ? EngineState::Ready : EngineState::Failed;
        awaiting.swap(m_awaiting);
    }
    if (ok && m_app && !m_contextAnnounced) {
        m_contextAnnounced = true;
        if (CefRefPtr<CefBrowserProcessHandler> h = m_app->GetBrowserProcessHandler()) h->OnContextInitialized();
    }
    for (auto& b : awaiting) {
        if (ok) {
            b->ContinueCreate();
        } else {
            b->EngineGone();
            // A browser that had its page before hears why it is gone.
            ReportEngineLost(b);
        }
    }
}

bool Runtime::EngineReady()
{
    std::lock_guard<std::mutex> lock(m_lock);
    return m_engineState == EngineState::Ready;
}

bool Runtime::AwaitEngine(CefRefPtr<BrowserImpl> browser)
{
    {
        std::lock_guard<std::mutex> lock(m_lock);
        if (m_engineState == EngineState::Ready) return false;
        if (m_engineState == EngineState::Starting) {
            m_awaiting.push_back(browser);
            return true;
        }
    }
    browser->EngineGone();
    return true;
}

void Runtime::StartWatchdog(unsigned short port, const std::string& path)
{
    wchar_t exe[MAX_PATH];
    DWORD n = GetModuleFileNameW(nullptr, exe, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) return;
    // The watchdog waits on an inherited handle of this process rather than
    // on its id: ids are reused quickly, and a reused id would keep the
    // watchdog waiting on a stranger.
    HANDLE self = nullptr;
    if (!DuplicateHandle(GetCurrentProcess(), GetCurrentProcess(), GetCurrentProcess(), &self, SYNCHRONIZE, TRUE, 0))
        self = nullptr;
    std::wstring cmd = EngineProcess::QuoteArg(exe) + L" " + WatchdogArguments(GetCurrentProcessId(), self, port, path);
    std::vector<wchar_t> buf(cmd.begin(), cmd.end());
    buf.push_back(0);
    STARTUPINFOW si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    if (CreateProcessW(exe, buf.data(), nullptr, nullptr, self != nullptr, CREATE_NO_WINDOW, nullptr, nullptr, &si,
                       &pi)) {
        CloseHandle(pi.hThread);
        CloseHandle(pi.hProcess);
    }
    if (self) CloseHandle(self);
}

void Runtime::Stop()
{
    // A start still under way gives up; what it started is ended below.
    m_engine.Cancel();
    if (m_starter.joinable()) m_starter.join();
    {
        std::lock_guard<std::mutex> lock(m_lock);
        m_engineState = EngineState::Failed;
        m_gaveUp = false;
        m_awaiting.clear();
    }
    // Close what is still open without unload handlers; the windows stay
    // with their owners.
    std::vector<CefRefPtr<BrowserImpl>> browsers;
    {
        std::lock_guard<std::mutex> lock(m_lock);
        for (auto& b : m_browsers) browsers.push_back(b.second);
    }
    for (auto& b : browsers) b->EngineGone();
    if (m_devtools.IsOpen()) {
        m_devtools.Call("Browser.close", Json::object(), "");
        m_devtools.WaitClosed(10000);
    }
    m_devtools.Close();
    m_engine.Stop(10000);
    m_privateProfile.Remove();
    m_downloads.Stop();
    m_ui.Destroy();
    {
        std::lock_guard<std::mutex> lock(m_lock);
        m_bySession.clear();
        m_byTarget.clear();
        m_browsers.clear();
    }
    m_app = nullptr;
}

int Runtime::NextBrowserId()
{
    std::lock_guard<std::mutex> lock(m_lock);
    return m_nextId++;
}

void Runtime::AddBrowser(BrowserImpl* browser)
{
    std::lock_guard<std::mutex> lock(m_lock);
    m_browsers[browser->GetIdentifier()] = browser;
}

void Runtime::SetBrowserSession(BrowserImpl* browser, const std::string& targetId, const std::string& sessionId)
{
    std::lock_guard<std::mutex> lock(m_lock);
    m_bySession[sessionId] = browser;
    m_byTarget[targetId] = browser;
}

void Runtime::RemoveBrowser(BrowserImpl* browser)
{
    CefRefPtr<BrowserImpl> keep;
    std::lock_guard<std::mutex> lock(m_lock);
    m_bySession.erase(browser->SessionId());
    m_byTarget.erase(browser->TargetId());
    auto it = m_browsers.find(browser->GetIdentifier());
    if (it != m_browsers.end()) {
        keep = it->second;  // released after the lock is dropped
        m_browsers.erase(it);
    }
}

void Runtime::OnEvent(const std::string& method, const Json& params, const std::string& sessionId)
{
    // Every handler below reads its fields with checked access: a message
    // of the wrong shape is dropped by the handler it reaches.
    // Pop-ups and downloads span targets: they see every event.
    m_popups.OnEvent(method, params, sessionId);
    m_downloads.OnEvent(method, params, sessionId);
    CefRefPtr<BrowserImpl> browser;
    bool targetEvent = false;
    {
        std::lock_guard<std::mutex> lock(m_lock);
        if (!sessionId.empty()) {
            auto it = m_bySession.find(sessionId);
            if (it != m_bySession.end()) browser = it->second;
        } else if (method.compare(0, 7, "Target.") == 0) {
            targetEvent = true;
            const Json* info = json::Member(params, "targetInfo");
            const std::string targetId = info ? json::String(*info, "targetId") : json::String(params, "targetId");
            if (method == "Target.detachedFromTarget") {
                auto it = m_bySession.find(json::String(params, "sessionId"));
                if (it != m_bySession.end()) browser = it->second;
            } else {
                auto it = m_byTarget.find(targetId);
                if (it != m_byTarget.end()) browser = it->second;
            }
        }
    }
    if (!browser) return;
    if (targetEvent)
        browser->HandleTargetEvent(method, params);
    else
        browser->HandleEvent(method, params);
}

void Runtime::OnTick()
{
    std::vector<CefRefPtr<BrowserImpl>> browsers;
    {
        std::lock_guard<std::mutex> lock(m_lock);
        for (auto& b : m_browsers) browsers.push_back(b.second);
    }
    for (auto& b : browsers) b->Tick();
    m_popups.Tick();
}

CefRefPtr<BrowserImpl> Runtime::BrowserBySession(const std::string& sessionId)
{
    std::lock_guard<std::mutex> lock(m_lock);
    auto it = m_bySession.find(sessionId);
    return it != m_bySession.end() ? it->second : nullptr;
}

CefRefPtr<BrowserImpl> Runtime::BrowserByTarget(const std::string& targetId)
{
    std::lock_guard<std::mutex> lock(m_lock);
    auto it = m_byTarget.find(targetId);
    return it != m_byTarget.end() ? it->second : nullptr;
}

CefRefPtr<BrowserImpl> Runtime::BrowserOfWindow(HWND hwnd)
{
    HWND top = hwnd ? GetAncestor(hwnd, GA_ROOT) : nullptr;
    std::lock_guard<std::mutex> lock(m_lock);
    CefRefPtr<BrowserImpl> first;
    for (auto& b : m_browsers) {
        HWND h = b.second->GetWindowHandle();
        if (!h) continue;
        if (top && GetAncestor(h, GA_ROOT) == top) return b.second;
        if (!first) first = b.second;
    }
    return first;
}

void Runtime::OnConnectionLost()
{
    // An engine of our own is started again, and the pages come back in
    // their windows.
    if (m_ownsEngine) {
        m_ui.Post([this] { OnEngineLost(); });
        return;
    }
    // An endpoint we did not start went away (or broke): every page still
    // shown reports a failed load of its main frame, so the host shows its
    // error instead of waiting for events that will never come.
    std::vector<CefRefPtr<BrowserImpl>> browsers;
    {
        std::lock_guard<std::mutex> lock(m_lock);
        for (auto& b : m_browsers) browsers.push_back(b.second);
    }
    for (auto& b : browsers) {
        b->EngineGone();
        m_ui.Post([b] { ReportEngineLost(b); });
    }
}

void Runtime::OnEngineLost()
{
    VXRT_ASSERT_UI_THREAD();
    std::vector<CefRefPtr<BrowserImpl>> browsers;
    bool recover;
    {
        std::lock_guard<std::mutex> lock(m_lock);
        // Shutting down (Stop marks the engine failed first), or already
        // starting another one.
        if (m_engineState != EngineState::Ready) return;
        recover = m_recovery.TakeLoss(GetTickCount());
        m_engineState = recover ? EngineState::Starting : EngineState::Failed;
        m_gaveUp = !recover;
        for (auto& b : m_browsers) browsers.push_back(b.second);
        // The old engine's ids mean nothing to the new one.
        m_bySession.clear();
        m_byTarget.clear();
        m_spareTarget.clear();
    }
    // Given up on, the browsers still wait: a reload starts the engine again.
    for (auto& b : browsers) {
        if (!b->AwaitNewEngine()) continue;
        {
            std::lock_guard<std::mutex> lock(m_lock);
            m_awaiting.push_back(b);
        }
        if (!recover) ReportRecoveryAbandoned(b);
    }
    if (recover)
        StartEngine();
    else
        m_devtools.Close();
}

bool Runtime::RetryAfterLosses()
{
    VXRT_ASSERT_UI_THREAD();
    {
        std::lock_guard<std::mutex> lock(m_lock);
        m_recovery.Reset();
        if (!m_gaveUp || m_engineState != EngineState::Failed) return false;
        m_gaveUp = false;
        m_engineState = EngineState::Starting;
    }
    StartEngine();
    return true;
}

}  // namespace vxrt
