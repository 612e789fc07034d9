#include "RuntimeTestSupport.h"

#include <winsock2.h>

#include <cmath>

#include "runtime/engine/BrowserImpl.h"
#include "runtime/engine/EngineProcess.h"
#include "runtime/engine/FrameImage.h"
#include "runtime/engine/PrivateProfile.h"
#include "runtime/engine/Runtime.h"

namespace vxtest {

std::wstring UniqueTempDir(const wchar_t* stem)
{
    wchar_t tmp[MAX_PATH];
    GetTempPathW(MAX_PATH, tmp);
    wchar_t name[128];
    static int counter = 0;
    wsprintfW(name, L"%s-%lu-%lu-%d", stem, GetCurrentProcessId(), GetTickCount(), ++counter);
    std::wstring dir = std::wstring(tmp) + name;
    CreateDirectoryW(dir.c_str(), nullptr);
    return dir;
}

std::string UnixPath(const std::wstring& p) { return vxrt::UnixPathOf(p); }

bool ForEachLinuxProcess(const std::function<bool(int pid, const std::string& commandLine)>& visit)
{
    WIN32_FIND_DATAW fd;
    HANDLE f = FindFirstFileW(L"Z:\\proc\\*", &fd);
    if (f == INVALID_HANDLE_VALUE) return false;
    do {
        if (fd.cFileName[0] < L'0' || fd.cFileName[0] > L'9') continue;
        std::wstring path = std::wstring(L"Z:\\proc\\") + fd.cFileName + L"\\cmdline";
        HANDLE h = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
        if (h == INVALID_HANDLE_VALUE) continue;
        std::string text;
        char buf[4096];
        DWORD n;
        while (ReadFile(h, buf, sizeof buf, &n, nullptr) && n > 0) text.append(buf, n);
        CloseHandle(h);
        for (auto& c : text)
            if (c == 0) c = ' ';
        if (!visit(_wtoi(fd.cFileName), text)) break;
    } while (FindNextFileW(f, &fd));
    FindClose(f);
    return true;
}

int EngineProcessCount(const std::wstring& profileDir)
{
    const std::string needle = "--user-data-dir=" + UnixPath(profileDir);
    int count = 0;
    const bool listed = ForEachLinuxProcess([&](int, const std::string& text) {
        // The guard shell names the folder too; count only the engine.
        if (text.find(needle) != std::string::npos && text.find("vxrt-guard") == std::string::npos) ++count;
        return true;
    });
    return listed ? count : -1;
}

std::vector<int> EnginePids(const std::wstring& profileDir, const std::string& type)
{
    const std::string needle = "--user-data-dir=" + UnixPath(profileDir);
    std::vector<int> pids;
    ForEachLinuxProcess([&](int pid, const std::string& text) {
        if (text.find(needle) == std::string::npos || text.find("vxrt-guard") != std::string::npos) return true;
        const bool typed = text.find("--type=") != std::string::npos;
        if (type.empty() ? !typed : text.find("--type=" + type + " ") != std::string::npos) pids.push_back(pid);
        return true;
    });
    return pids;
}

bool KillLinuxProcesses(const std::vector<int>& pids)
{
    if (pids.empty()) return true;
    std::wstring cmd = L"kill -9";
    for (int pid : pids) cmd += L" " + std::to_wstring(pid);
    std::vector<wchar_t> buf(cmd.begin(), cmd.end());
    buf.push_back(0);
    STARTUPINFOW si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    if (!CreateProcessW(L"Z:\\bin\\kill", buf.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
        return false;
    WaitForSingleObject(pi.hProcess, 10000);
    CloseHandle(pi.hProcess);
    CloseHandle(pi.hThread);
    return true;
}

std::string ReadFirstLine(const std::wstring& path)
{
    HANDLE h = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                           OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) return std::string();
    char b[256] = {0};
    DWORD n = 0;
    ReadFile(h, b, sizeof b - 1, &n, nullptr);
    CloseHandle(h);
    std::string text(b, n);
    return text.substr(0, text.find('\n'));
}

bool PumpUntil(const std::function<bool()>& pred, DWORD timeoutMs)
{
    DWORD start = GetTickCount();
    while (!pred()) {
        if (GetTickCount() - start > timeoutMs) return false;
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    }
    return true;
}

namespace {

std::string HttpRequest(int port, const std::string& path)
{
    WSADATA d;
    WSAStartup(MAKEWORD(2, 2), &d);
    SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in a = {};
    a.sin_family = AF_INET;
    a.sin_port = htons(static_cast<u_short>(port));
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    std::string out;
    if (connect(s, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0) {
        std::string req = "GET " + path + " HTTP/1.0\r\nHost: 127.0.0.1\r\n\r\n";
        send(s, req.data(), static_cast<int>(req.size()), 0);
        char buf[4096];
        int n;
        while ((n = recv(s, buf, sizeof buf, 0)) > 0) out.append(buf, n);
    }
    closesocket(s);
    size_t body = out.find("\r\n\r\n");
    return body == std::string::npos ? std::string() : out.substr(body + 4);
}

}  // namespace

int StartLoopbackServer(const wchar_t* script, const std::wstring& arguments)
{
    std::wstring dir = UniqueTempDir(L"vxrt-server");
    std::wstring portFile = dir + L"\\port";
    const std::string unixPortFile = UnixPath(portFile);
    const std::wstring scriptPath =
        script[0] == L'/' ? std::wstring(script) : std::wstring(VXRT_TEST_SCRIPTS_W) + L"/" + script;
    std::wstring cmd =
        L"python3 " + vxrt::EngineProcess::QuoteArg(scriptPath) + L" " +
        vxrt::EngineProcess::QuoteArg(cef_string_from_utf8_std(unixPortFile.data(), unixPortFile.size()));
    if (!arguments.empty()) cmd += L" " + arguments;
    std::vector<wchar_t> buf(cmd.begin(), cmd.end());
    buf.push_back(0);
    STARTUPINFOW si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    if (!CreateProcessW(L"Z:\\usr\\bin\\python3", buf.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
        return 0;
    CloseHandle(pi.hThread);
    // The server writes the file atomically once it listens.
    int port = 0;
    PumpUntil(
        [&] {
            port = atoi(ReadFirstLine(portFile).c_str());
            return port > 0 || WaitForSingleObject(pi.hProcess, 0) == WAIT_OBJECT_0;
        },
        15000);
    CloseHandle(pi.hProcess);
    return port;
}

void UseFakeEndpoint(int port)
{
    vxrt::DevToolsEndpoint endpoint;
    endpoint.port = static_cast<unsigned short>(port);
    if (port) endpoint.path = "/devtools/browser/fake";
    vxrt::Runtime::SetTestEndpoint(endpoint);
}

bool PageServer::Start()
{
    m_port = StartLoopbackServer(m_script);
    return m_port > 0;
}

void PageServer::Stop()
{
    if (m_port) HttpRequest(m_port, "/quit");
    m_port = 0;
}

std::string PageServer::Get(const std::string& path) const { return HttpRequest(m_port, path); }

bool RecordingClient::Has(const std::string& name, bool main) const { return Find(name, main) != nullptr; }

const Event* RecordingClient::Find(const std::string& name, bool main) const
{
    for (const auto& e : events)
        if (e.name == name && e.isMain == main) return &e;
    return nullptr;
}

int RecordingClient::IndexOf(const std::string& name, bool main) const
{
    for (size_t i = 0; i < events.size(); ++i)
        if (events[i].name == name && events[i].isMain == main) return static_cast<int>(i);
    return -1;
}

HostWindow::HostWindow(int width, int height)
{
    static bool reg = false;
    if (!reg) {
        WNDCLASSEXW wc = {};
        wc.cbSize = sizeof wc;
        wc.lpfnWndProc = WndProc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"VxrtTestHost";
        wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH));
        RegisterClassExW(&wc);
        reg = true;
    }
    m_hwnd = CreateWindowExW(0, L"VxrtTestHost", L"host", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 10, 10, width,
                             height, nullptr, nullptr, GetModuleHandleW(nullptr), this);
    // Activation is one for the whole test session: only a test that holds
    // the screen takes it, so a test beside it cannot steal its keyboard.
    const bool ownsScreen = GetEnvironmentVariableW(L"VORNEX_TEST_OWNS_SCREEN", nullptr, 0) != 0;
    ShowWindow(m_hwnd, ownsScreen ? SW_SHOW : SW_SHOWNOACTIVATE);
}

HostWindow::~HostWindow()
{
    if (m_hwnd && IsWindow(m_hwnd)) DestroyWindow(m_hwnd);
}

LRESULT CALLBACK HostWindow::WndProc(HWND h, UINT m, WPARAM w, LPARAM l)
{
    if (m == WM_NCCREATE)
        SetWindowLongPtrW(h, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTW*>(l)->lpCreateParams));
    auto* self = reinterpret_cast<HostWindow*>(GetWindowLongPtrW(h, GWLP_USERDATA));
    if (m == WM_CLOSE && self) {
        self->closeReceived = true;
        DestroyWindow(h);
        self->m_hwnd = nullptr;
        return 0;
    }
    return DefWindowProcW(h, m, w, l);
}

RuntimeSession::RuntimeSession(const std::wstring& profileDir, CefRefPtr<CefApp> app)
{
    CefSettings settings;
    settings.log_severity = LOGSEVERITY_DISABLE;
    cef_string_set(profileDir.c_str(), profileDir.size(), &settings.cache_path, 1);
    CefMainArgs args(GetModuleHandleW(nullptr));
    ok = cef_initialize(&args, &settings, app.get()) != 0;
}

RuntimeSession::~RuntimeSession()
{
    if (ok) cef_shutdown();
}

CefRefPtr<CefBrowser> CreateBrowser(HWND parent, const RECT& rc, CefRefPtr<CefClient> client, const std::string& url)
{
    CefWindowInfo info;
    info.SetAsChild(parent, rc);
    CefBrowserSettings settings;
    return CefBrowserHost::CreateBrowserSync(info, client, CefString(url), settings, nullptr);
}

int FreePort()
{
    WSADATA d;
    WSAStartup(MAKEWORD(2, 2), &d);
    SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in a = {};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bind(s, reinterpret_cast<sockaddr*>(&a), sizeof a);
    int len = sizeof a;
    getsockname(s, reinterpret_cast<sockaddr*>(&a), &len);
    closesocket(s);
    return ntohs(a.sin_port);
}

COLORREF PixelOf(HWND hwnd, int x, int y)
{
    UpdateWindow(hwnd);
    HDC dc = GetDC(hwnd);
    COLORREF c = GetPixel(dc, x, y);
    ReleaseDC(hwnd, dc);
    return c;
}

Picture CaptureWindow(HWND hwnd)
{
    Picture p;
    RECT rc;
    if (!GetClientRect(hwnd, &rc) || rc.right <= 0 || rc.bottom <= 0) return p;
    UpdateWindow(hwnd);
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = rc.right;
    bi.bmiHeader.biHeight = -rc.bottom;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HDC screen = GetDC(hwnd);
    HBITMAP dib = CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    HDC mem = CreateCompatibleDC(screen);
    HGDIOBJ old = SelectObject(mem, dib);
    BitBlt(mem, 0, 0, rc.right, rc.bottom, screen, 0, 0, SRCCOPY);
    GdiFlush();
    p.width = rc.right;
    p.height = rc.bottom;
    const uint32_t* px = static_cast<const uint32_t*>(bits);
    p.pixels.assign(px, px + static_cast<size_t>(p.width) * p.height);
    for (auto& v : p.pixels) v &= 0xFFFFFF;
    SelectObject(mem, old);
    DeleteDC(mem);
    DeleteObject(dib);
    ReleaseDC(hwnd, screen);
    return p;
}

Picture EngineScreenshot(CefRefPtr<CefBrowser> browser)
{
    Picture p;
    auto* impl = static_cast<vxrt::BrowserImpl*>(browser.get());
    vxrt::Json r = impl->SendSync("Page.captureScreenshot", {{"format", "png"}});
    vxrt::FrameImage image;
    if (r.is_object() && r.contains("data") && r["data"].is_string() &&
        vxrt::DecodeFrameImage(r["data"].get<std::string>(), image)) {
        p.width = image.width;
        p.height = image.height;
        p.pixels = std::move(image.pixels);
    }
    return p;
}

double Psnr(const Picture& a, const Picture& b)
{
    if (a.width != b.width || a.height != b.height || a.pixels.empty()) return 0;
    double sum = 0;
    for (size_t i = 0; i < a.pixels.size(); ++i)
        for (int shift : {0, 8, 16}) {
            const int d =
                static_cast<int>((a.pixels[i] >> shift) & 0xFF) - static_cast<int>((b.pixels[i] >> shift) & 0xFF);
            sum += d * d;
        }
    const double mse = sum / (a.pixels.size() * 3.0);
    return mse == 0 ? 1000 : 10 * std::log10(255.0 * 255.0 / mse);
}

std::vector<std::wstring> PrivateProfileFolders()
{
    wchar_t tmp[MAX_PATH];
    GetTempPathW(MAX_PATH, tmp);
    std::vector<std::wstring> out;
    WIN32_FIND_DATAW fd;
    HANDLE f = FindFirstFileW((std::wstring(tmp) + vxrt::PrivateProfile::kPrefix + L"*").c_str(), &fd);
    if (f == INVALID_HANDLE_VALUE) return out;
    do {
        if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) out.push_back(std::wstring(tmp) + fd.cFileName);
    } while (FindNextFileW(f, &fd));
    FindClose(f);
    return out;
}

}  // namespace vxtest
