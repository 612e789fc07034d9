#pragma once
// Helpers shared by the runtime's tests: the page server, a host window, a
// recording client, message pumping and a census of engine processes.

#include <functional>
#include <string>
#include <vector>

#include "runtime/Cef.h"

namespace vxtest {

std::wstring UniqueTempDir(const wchar_t* stem);
// The first line of a small text file, or empty.
std::string ReadFirstLine(const std::wstring& path);
std::string UnixPath(const std::wstring& windowsPath);
// Engine processes whose command line names this profile folder.
// Calls visit(pid, command line with NULs as blanks) for every Linux process
// until it returns false; false when /proc cannot be listed.
bool ForEachLinuxProcess(const std::function<bool(int pid, const std::string& commandLine)>& visit);
int EngineProcessCount(const std::wstring& profileDir);
// Ids of the engine's processes for a profile: with type "renderer" its
// renderers (--type=renderer), with an empty type its main process (the one
// without --type=); never the guard shell.
std::vector<int> EnginePids(const std::wstring& profileDir, const std::string& type);
// Sends SIGKILL to these Linux processes; false when kill could not run.
bool KillLinuxProcesses(const std::vector<int>& pids);
// Pumps UI messages until pred() or the timeout; returns pred().
bool PumpUntil(const std::function<bool()>& pred, DWORD timeoutMs);
// Starts a Python server (a script of this folder by name, or any script by
// absolute Linux path; its arguments follow the port file it is given
// first) and waits until it listens; returns its loopback port, or 0.
int StartLoopbackServer(const wchar_t* script, const std::wstring& arguments = std::wstring());
// Points the next runtime start at a fake DevTools endpoint on this port
// instead of an engine; 0 goes back to starting the engine.
void UseFakeEndpoint(int port);

class PageServer {
public:
    explicit PageServer(const wchar_t* script = L"page_server.py") : m_script(script) {}
    bool Start();
    void Stop();
    ~PageServer() { Stop(); }
    std::string Url(const std::string& path) const { return "http://127.0.0.1:" + std::to_string(m_port) + path; }
    std::string Get(const std::string& path) const;
    int Port() const { return m_port; }

private:
    const wchar_t* m_script;
    int m_port = 0;
};

struct Event {
    std::string name;
    bool isMain = false;
    int code = 0;
    std::string text;
    bool onUiThread = false;
};

class RecordingClient : public CefClient, public CefLifeSpanHandler, public CefLoadHandler, public CefDisplayHandler {
public:
    CefRefPtr<CefLifeSpanHandler> GetLifeSpanHandler() override { return this; }
    CefRefPtr<CefLoadHandler> GetLoadHandler() override { return this; }
    CefRefPtr<CefDisplayHandler> GetDisplayHandler() override { return this; }

    void OnAfterCreated(CefRefPtr<CefBrowser> b) override
    {
        Add("AfterCreated", true, 0, "");
        browser = b;
    }
    void OnBeforeClose(CefRefPtr<CefBrowser> b) override { Add("BeforeClose", true, 0, ""); }
    bool DoClose(CefRefPtr<CefBrowser> b) override
    {
        Add("DoClose", true, 0, "");
        return false;
    }
    void OnLoadStart(CefRefPtr<CefBrowser> b, CefRefPtr<CefFrame> f) override
    {
        Add("LoadStart", f->IsMain(), 0, f->GetURL().ToString());
    }
    void OnLoadEnd(CefRefPtr<CefBrowser> b, CefRefPtr<CefFrame> f, int status) override
    {
        Add("LoadEnd", f->IsMain(), status, f->GetURL().ToString());
    }
    void OnLoadError(CefRefPtr<CefBrowser> b, CefRefPtr<CefFrame> f, ErrorCode code, const CefString& text,
                     const CefString& url) override
    {
        Add("LoadError", f->IsMain(), code, text.ToString() + " " + url.ToString());
    }
    void OnAddressChange(CefRefPtr<CefBrowser> b, CefRefPtr<CefFrame> f, const CefString& url) override
    {
        Add("Address", f->IsMain(), 0, url.ToString());
        lastAddress = url.ToString();
    }
    void OnTitleChange(CefRefPtr<CefBrowser> b, const CefString& title) override
    {
        Add("Title", true, 0, title.ToString());
        lastTitle = title.ToString();
    }

    bool Has(const std::string& name, bool main = true) const;
    const Event* Find(const std::string& name, bool main = true) const;
    int IndexOf(const std::string& name, bool main = true) const;

    DWORD uiThread = GetCurrentThreadId();
    std::vector<Event> events;
    std::string lastTitle;
    std::string lastAddress;
    CefRefPtr<CefBrowser> browser;

    IMPLEMENT_REFCOUNTING(RecordingClient);

private:
    void Add(const char* n, bool main, int code, const std::string& text)
    {
        events.push_back({n, main, code, text, GetCurrentThreadId() == uiThread});
    }
};

// A plain top-level window that hosts a browser and notes WM_CLOSE.
class HostWindow {
public:
    HostWindow(int width, int height);
    ~HostWindow();
    HWND Handle() const { return m_hwnd; }
    bool closeReceived = false;

private:
    static LRESULT CALLBACK WndProc(HWND, UINT, WPARAM, LPARAM);
    HWND m_hwnd = nullptr;
};

// Starts the runtime with its own profile folder; shuts it down on exit.
class RuntimeSession {
public:
    explicit RuntimeSession(const std::wstring& profileDir, CefRefPtr<CefApp> app = nullptr);
    ~RuntimeSession();
    bool ok = false;
};

CefRefPtr<CefBrowser> CreateBrowser(HWND parent, const RECT& rc, CefRefPtr<CefClient> client, const std::string& url);
COLORREF PixelOf(HWND hwnd, int x, int y);

// A picture as 0x00RRGGBB pixels, top-down.
struct Picture {
    int width = 0, height = 0;
    std::vector<uint32_t> pixels;
};
// What the window shows on screen now.
Picture CaptureWindow(HWND hwnd);
// The engine's own lossless screenshot of the browser's page.
Picture EngineScreenshot(CefRefPtr<CefBrowser> browser);
// Peak signal-to-noise ratio over the colour channels of two pictures of
// one size, in dB (1000 for identical pictures, 0 for different sizes).
double Psnr(const Picture& a, const Picture& b);
// Folders of private profiles in the temporary folder.
std::vector<std::wstring> PrivateProfileFolders();
// A loopback port with no listener.
int FreePort();

}  // namespace vxtest
