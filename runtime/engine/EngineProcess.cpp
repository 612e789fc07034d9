#include "runtime/engine/EngineProcess.h"

#include <vector>

#include "runtime/CefString.h"

namespace vxrt {

namespace {

bool FileExists(const std::wstring& p) { return GetFileAttributesW(p.c_str()) != INVALID_FILE_ATTRIBUTES; }

std::wstring Widen(const std::string& s) { return cef_string_from_utf8_std(s.data(), s.size()); }

// Flags that keep a headless engine quiet on a machine without a network
// and without a sandbox-capable kernel setup.
const wchar_t* const kEngineFlags[] = {
    L"--headless",
    L"--no-sandbox",
    L"--disable-gpu",
    L"--no-first-run",
    L"--disable-background-networking",
    L"--disable-component-update",
    L"--disable-sync",
    L"--disable-quic",
    L"--remote-debugging-port=0",
    L"--no-default-browser-check",
    L"--disable-default-apps",
    L"--hide-scrollbars=false",
    L"--password-store=basic",
    L"--use-mock-keychain",
    // Nothing is drawn on a graphics processor here: without the software
    // stand-in for one, the engine composites in its own process, which
    // costs less memory and less time at rest.
    L"--disable-software-rasterizer",
    // Parts of a desktop browser that a page shown in a program never uses.
    L"--disable-extensions",
    L"--disable-features=Translate,MediaRouter,OptimizationHints,AutofillServerCommunication",
};

// The guard: runs the engine in its own session and ends the whole session
// when the program's life token is no longer held open by any process, or
// when the engine has gone (removing the running marker either way). The
// descriptor last found holding the token is checked first, with the
// shell's own file comparison; only when it no longer does are all
// processes searched, which is costly on a busy machine and would otherwise
// run three times a second.
const char kGuardScript[] =
    "tok=$(readlink -f \"$1\"); run=$2; log=$3; shift 3; "
    "setsid \"$@\" </dev/null >>\"$log\" 2>&1 & c=$!; h=; "
    "held() { [ -n \"$h\" ] && [ \"$h\" -ef \"$tok\" ] && return 0; "
    "h=$(find /proc/[0-9]*/fd -maxdepth 1 -lname \"$tok\" -print -quit 2>/dev/null); [ -n \"$h\" ]; }; "
    "while kill -0 $c 2>/dev/null; do sleep 0.3; "
    "if ! held; then kill -TERM -$c 2>/dev/null; i=0; "
    "while kill -0 $c 2>/dev/null && [ $i -lt 10 ]; do sleep 0.3; i=$((i+1)); done; break; fi; done; "
    "kill -KILL -$c 2>/dev/null; rm -f \"$run\" \"$tok\"";

}  // namespace

std::string UnixPathOf(const std::wstring& windowsPath)
{
    typedef char*(CDECL * UnixNameFn)(LPCWSTR);
    static UnixNameFn fn = reinterpret_cast<UnixNameFn>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
    if (!fn) return std::string();
    char* p = fn(windowsPath.c_str());
    if (!p) return std::string();
    std::string out(p);
    HeapFree(GetProcessHeap(), 0, p);
    return out;
}

EngineProcess::EngineProcess() : m_port(0), m_token(INVALID_HANDLE_VALUE), m_job(nullptr), m_process(nullptr) {}

EngineProcess::~EngineProcess() { Stop(0); }

bool EngineProcess::RunningUnderWine()
{
    HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    return ntdll && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

std::wstring EngineProcess::FindEngine(const std::wstring& configured)
{
    if (!configured.empty()) return FileExists(configured) ? configured : std::wstring();
    std::vector<std::wstring> candidates;
    if (RunningUnderWine()) {
        candidates = {L"Z:\\usr\\bin\\chromium", L"Z:\\usr\\bin\\chromium-browser", L"Z:\\usr\\bin\\google-chrome"};
    } else {
        const wchar_t* vars[] = {L"ProgramFiles(x86)", L"ProgramFiles", L"LOCALAPPDATA"};
        const wchar_t* rel[] = {L"\\Microsoft\\Edge\\Application\\msedge.exe",
                                L"\\Google\\Chrome\\Application\\chrome.exe", L"\\Chromium\\Application\\chrome.exe"};
        for (const wchar_t* v : vars) {
            wchar_t buf[MAX_PATH];
            DWORD n = GetEnvironmentVariableW(v, buf, MAX_PATH);
            if (n == 0 || n >= MAX_PATH) continue;
            for (const wchar_t* r : rel) candidates.push_back(std::wstring(buf) + r);
        }
    }
    for (const auto& c : candidates)
        if (FileExists(c)) return c;
    return std::wstring();
}

std::wstring EngineProcess::QuoteArg(const std::wstring& arg)
{
    if (!arg.empty() && arg.find_first_of(L" \t\n\v\"") == std::wstring::npos) return arg;
    std::wstring out = L"\"";
    for (size_t i = 0;; ++i) {
        size_t slashes = 0;
        while (i < arg.size() && arg[i] == L'\\') {
            ++i;
            ++slashes;
        }
        if (i == arg.size()) {
            out.append(slashes * 2, L'\\');
            break;
        }
        if (arg[i] == L'"') {
            out.append(slashes * 2 + 1, L'\\');
            out += L'"';
        } else {
            out.append(slashes, L'\\');
            out += arg[i];
        }
    }
    out += L'"';
    return out;
}

bool EngineProcess::Start(const EngineOptions& options, DWORD timeoutMs)
{
    std::wstring engine = FindEngine(options.enginePath);
    if (engine.empty() || options.profileDir.empty()) return false;
    CreateDirectoryW(options.profileDir.c_str(), nullptr);
    std::wstring portFile = options.profileDir + L"\\DevToolsActivePort";
    DeleteFileW(portFile.c_str());

    bool wine = RunningUnderWine();
    std::wstring profileArg = wine ? Widen(UnixPathOf(options.profileDir)) : options.profileDir;
    if (profileArg.empty()) return false;
    std::wstring args;
    for (const wchar_t* f : kEngineFlags) args += L" " + std::wstring(f);
    args += L" " + QuoteArg(L"--user-data-dir=" + profileArg);
    if (!options.logging) args += L" --disable-logging --log-level=3";
    args += L" about:blank";

    bool started = wine ? StartUnderWine(options, engine, args) : StartNative(engine, args);
    if (!started) return false;
    if (!ReadActivePort(portFile, timeoutMs)) {
        Stop(0);
        return false;
    }
    return true;
}

bool EngineProcess::StartUnderWine(const EngineOptions& options, const std::wstring& engine, const std::wstring& args)
{
    // The life token: a file this process keeps open. Its unix descriptor
    // lives in this process and in the wine server, both of which let go of
    // it when the program ends, however it ends.
    wchar_t tokenName[64];
    wsprintfW(tokenName, L"\\.vxrt-life-%lu-%lu", GetCurrentProcessId(), GetTickCount());
    std::wstring tokenPath = options.profileDir + tokenName;
    m_token = CreateFileW(tokenPath.c_str(), GENERIC_READ | GENERIC_WRITE,
                          FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, CREATE_ALWAYS,
                          FILE_ATTRIBUTE_HIDDEN, nullptr);
    if (m_token == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    WriteFile(m_token, "1", 1, &written, nullptr);
    m_runningMarker = options.profileDir + L"\\.vxrt-running";
    HANDLE marker = CreateFileW(m_runningMarker.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (marker != INVALID_HANDLE_VALUE) CloseHandle(marker);

    std::string logUnix = "/dev/null";
    if (options.logging) {
        std::wstring lf = options.logFile.empty() ? options.profileDir + L"\\engine.log" : options.logFile;
        std::string u = UnixPathOf(lf);
        if (!u.empty()) logUnix = u;
    }
    std::wstring cmd = L"/bin/sh -c " + QuoteArg(Widen(kGuardScript)) + L" vxrt-guard " +
                       QuoteArg(Widen(UnixPathOf(tokenPath))) + L" " + QuoteArg(Widen(UnixPathOf(m_runningMarker))) +
                       L" " + QuoteArg(Widen(logUnix)) + L" " + QuoteArg(Widen(UnixPathOf(engine))) + args;
    std::vector<wchar_t> buf(cmd.begin(), cmd.end());
    buf.push_back(0);
    STARTUPINFOW si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    if (!CreateProcessW(L"Z:\\bin\\sh", buf.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
        return false;
    if (pi.hProcess) CloseHandle(pi.hProcess);
    if (pi.hThread) CloseHandle(pi.hThread);
    return true;
}

bool EngineProcess::StartNative(const std::wstring& engine, const std::wstring& args)
{
    std::wstring cmd = QuoteArg(engine) + args;
    std::vector<wchar_t> buf(cmd.begin(), cmd.end());
    buf.push_back(0);
    m_job = CreateJobObjectW(nullptr, nullptr);
    if (m_job) {
        JOBOBJECT_EXTENDED_LIMIT_INFORMATION info = {};
        info.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
        SetInformationJobObject(m_job, JobObjectExtendedLimitInformation, &info, sizeof info);
    }
    STARTUPINFOW si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    if (!CreateProcessW(engine.c_str(), buf.data(), nullptr, nullptr, FALSE, CREATE_SUSPENDED | CREATE_NO_WINDOW,
                        nullptr, nullptr, &si, &pi))
        return false;
    if (m_job) AssignProcessToJobObject(m_job, pi.hProcess);
    ResumeThread(pi.hThread);
    CloseHandle(pi.hThread);
    m_process = pi.hProcess;
    return true;
}

bool EngineProcess::ReadActivePort(const std::wstring& file, DWORD timeoutMs)
{
    DWORD start = GetTickCount();
    while (GetTickCount() - start < timeoutMs && !m_cancelled) {
        HANDLE h = CreateFileW(file.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                               nullptr, OPEN_EXISTING, 0, nullptr);
        if (h != INVALID_HANDLE_VALUE) {
            char buf[512] = {0};
            DWORD n = 0;
            ReadFile(h, buf, sizeof buf - 1, &n, nullptr);
            CloseHandle(h);
            std::string text(buf, n);
            size_t nl = text.find('\n');
            if (nl != std::string::npos) {
                int port = atoi(text.substr(0, nl).c_str());
                std::string path = text.substr(nl + 1);
                while (!path.empty() && (path.back() == '\n' || path.back() == '\r')) path.pop_back();
                if (port > 0 && port < 65536 && path.compare(0, 10, "/devtools/") == 0) {
                    m_port = static_cast<unsigned short>(port);
                    m_browserPath = path;
                    return true;
                }
            }
        }
        if (m_process && WaitForSingleObject(m_process, 0) == WAIT_OBJECT_0) return false;
        Sleep(50);
    }
    return false;
}

void EngineProcess::Stop(DWORD graceMs)
{
    DWORD start = GetTickCount();
    if (!m_runningMarker.empty()) {
        while (FileExists(m_runningMarker) && GetTickCount() - start < graceMs) Sleep(50);
    }
    if (m_process) {
        if (WaitForSingleObject(m_process, graceMs) != WAIT_OBJECT_0) TerminateProcess(m_process, 1);
        CloseHandle(m_process);
        m_process = nullptr;
    }
    if (m_job) {
        CloseHandle(m_job);
        m_job = nullptr;
    }
    if (m_token != INVALID_HANDLE_VALUE) {
        // Letting go of the token makes the guard end what is left.
        CloseHandle(m_token);
        m_token = INVALID_HANDLE_VALUE;
        if (!m_runningMarker.empty()) {
            DWORD t = GetTickCount();
            while (FileExists(m_runningMarker) && GetTickCount() - t < 5000) Sleep(50);
        }
    }
    m_runningMarker.clear();
    m_port = 0;
}

}  // namespace vxrt
