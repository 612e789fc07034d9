// How the browser runtime feels: time to the first painted frame, click to
// repaint, frames per second of a CSS animation and CPU on a static page.
// Prints figures next to their targets; never fails on time.
//
// Run: tools/wine-run.sh build/win/bench/win/bench_runtime.exe (inside a
// test session for a shared X server, see tools/test-session.sh).
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "tests/runtime/RuntimeTestSupport.h"

using namespace vxtest;

namespace {

double NowMs()
{
    static LARGE_INTEGER freq = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER c;
    QueryPerformanceCounter(&c);
    return c.QuadPart * 1000.0 / freq.QuadPart;
}

double Median(std::vector<double> v)
{
    if (v.empty()) return -1;
    std::sort(v.begin(), v.end());
    size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

bool Near(COLORREF a, COLORREF b)
{
    return abs(GetRValue(a) - GetRValue(b)) <= 8 && abs(GetGValue(a) - GetGValue(b)) <= 8 &&
           abs(GetBValue(a) - GetBValue(b)) <= 8;
}

void PumpPending()
{
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

// Pumps messages and checks the child window's pixel until it shows the
// colour; returns the time it did, or a negative value on timeout. The wait
// wakes for every message (paints included), so the figure is as fine as the
// message loop itself.
double WaitForColour(HWND w, int x, int y, COLORREF want, double timeoutMs)
{
    double start = NowMs();
    for (;;) {
        PumpPending();
        if (Near(PixelOf(w, x, y), want)) return NowMs();
        if (NowMs() - start > timeoutMs) return -1;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 2, QS_ALLINPUT);
    }
}

// Pumps messages for a while without waking up on its own.
void RunLoopFor(double ms)
{
    double end = NowMs() + ms;
    for (;;) {
        PumpPending();
        double left = end - NowMs();
        if (left <= 0) return;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(left) + 1, QS_ALLINPUT);
    }
}

// Counts WM_PAINT of one window through a subclass.
int g_paints = 0;
WNDPROC g_previous = nullptr;
LRESULT CALLBACK CountingProc(HWND h, UINT m, WPARAM w, LPARAM l)
{
    if (m == WM_PAINT) ++g_paints;
    return CallWindowProcW(g_previous, h, m, w, l);
}

// One browser in its own host window, closed with the host.
struct Page {
    std::unique_ptr<HostWindow> host;
    CefRefPtr<RecordingClient> client;
    HWND child = nullptr;

    bool Open(const std::string& url)
    {
        host.reset(new HostWindow(820, 640));
        client = new RecordingClient;
        RECT rc = {0, 0, 800, 600};
        CefRefPtr<CefBrowser> b = CreateBrowser(host->Handle(), rc, client.get(), url);
        if (!b) return false;
        child = b->GetHost()->GetWindowHandle();
        return true;
    }
    void Close()
    {
        if (client && client->browser && host && host->Handle()) {
            client->browser->GetHost()->CloseBrowser(true);
            PumpUntil([&] { return client->Has("BeforeClose") || !host->Handle(); }, 5000);
        }
        host.reset();
        if (client) client->browser = nullptr;
        client = nullptr;
    }
    ~Page() { Close(); }
};

// ---- CPU time from the Linux side, through Wine's Z: drive ----------------

std::string ReadFileText(const std::wstring& path)
{
    HANDLE h = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) return std::string();
    std::string text;
    char buf[4096];
    DWORD n;
    while (ReadFile(h, buf, sizeof buf, &n, nullptr) && n > 0) text.append(buf, n);
    CloseHandle(h);
    return text;
}

struct ProcStat {
    int ppid = 0;
    unsigned long long ticks = 0;  // utime + stime + cutime + cstime
    bool ok = false;
};

// /proc/<pid>/stat: the name in parentheses may hold blanks, so fields are
// counted after its closing parenthesis.
ProcStat ReadStat(const std::wstring& pid)
{
    ProcStat s;
    std::string t = ReadFileText(L"Z:\\proc\\" + pid + L"\\stat");
    size_t close = t.rfind(')');
    if (close == std::string::npos) return s;
    std::vector<std::string> f;
    size_t i = close + 2;
    while (i < t.size()) {
        size_t j = t.find(' ', i);
        if (j == std::string::npos) j = t.size();
        f.push_back(t.substr(i, j - i));
        i = j + 1;
    }
    // f[0] is field 3 (state): ppid 4, utime 14, stime 15, cutime 16, cstime 17.
    if (f.size() < 15) return s;
    s.ppid = atoi(f[1].c_str());
    for (int k = 11; k <= 14; ++k) s.ticks += strtoull(f[k].c_str(), nullptr, 10);
    s.ok = true;
    return s;
}

std::vector<int> AllPids()
{
    std::vector<int> pids;
    WIN32_FIND_DATAW fd;
    HANDLE f = FindFirstFileW(L"Z:\\proc\\*", &fd);
    if (f == INVALID_HANDLE_VALUE) return pids;
    do {
        if (fd.cFileName[0] >= L'0' && fd.cFileName[0] <= L'9') pids.push_back(_wtoi(fd.cFileName));
    } while (FindNextFileW(f, &fd));
    FindClose(f);
    return pids;
}

std::string CmdLine(int pid)
{
    std::string t = ReadFileText(L"Z:\\proc\\" + std::to_wstring(pid) + L"\\cmdline");
    for (auto& c : t)
        if (c == 0) c = ' ';
    return t;
}

// Total ticks of the engine: every process whose command line names the
// profile folder (the guard shell and the engine) and all their descendants.
// Dead children that were waited for count through cutime/cstime.
// What an engine process is, for the breakdown: the guard shell (with the
// commands it runs), the browser process, or the --type of a child.
std::string KindOf(const std::string& cmdline)
{
    if (cmdline.find("vxrt-guard") != std::string::npos) return "guard shell";
    if (cmdline.find("chrom") == std::string::npos) return "commands of the guard";
    size_t t = cmdline.find("--type=");
    if (t == std::string::npos) return "browser";
    size_t end = cmdline.find(' ', t);
    return cmdline.substr(t + 7, end == std::string::npos ? std::string::npos : end - t - 7);
}

typedef std::map<std::string, unsigned long long> TicksByKind;

unsigned long long EngineTicks(const std::string& needle, int* processes, TicksByKind* byKind = nullptr)
{
    std::map<int, ProcStat> all;
    for (int pid : AllPids()) {
        ProcStat s = ReadStat(std::to_wstring(pid));
        if (s.ok) all[pid] = s;
    }
    std::set<int> tree;
    for (auto& p : all)
        if (CmdLine(p.first).find(needle) != std::string::npos) tree.insert(p.first);
    for (bool grew = true; grew;) {
        grew = false;
        for (auto& p : all)
            if (!tree.count(p.first) && tree.count(p.second.ppid)) {
                tree.insert(p.first);
                grew = true;
            }
    }
    unsigned long long ticks = 0;
    for (int pid : tree) {
        ticks += all[pid].ticks;
        if (byKind) (*byKind)[KindOf(CmdLine(pid))] += all[pid].ticks;
    }
    if (processes) *processes = static_cast<int>(tree.size());
    return ticks;
}

// The wine server of this prefix: a "wineserver" whose environment names the
// same WINEPREFIX (other people's servers run on this machine too).
int OurWineServer()
{
    wchar_t prefix[1024];
    DWORD n = GetEnvironmentVariableW(L"WINEPREFIX", prefix, 1024);
    if (n == 0 || n >= 1024) return 0;
    std::string want = "WINEPREFIX=" + cef_string_to_utf8_std(prefix, n);
    for (int pid : AllPids()) {
        if (CmdLine(pid).find("wineserver") == std::string::npos) continue;
        std::string env = ReadFileText(L"Z:\\proc\\" + std::to_wstring(pid) + L"\\environ");
        size_t at = 0;
        while (at < env.size()) {
            size_t end = env.find('\0', at);
            if (end == std::string::npos) end = env.size();
            if (env.compare(at, end - at, want) == 0) return pid;
            at = end + 1;
        }
    }
    return 0;
}

unsigned long long ProcessTime100ns()
{
    FILETIME c, e, k, u;
    GetProcessTimes(GetCurrentProcess(), &c, &e, &k, &u);
    ULARGE_INTEGER kk, uu;
    kk.LowPart = k.dwLowDateTime;
    kk.HighPart = k.dwHighDateTime;
    uu.LowPart = u.dwLowDateTime;
    uu.HighPart = u.dwHighDateTime;
    return kk.QuadPart + uu.QuadPart;
}

// Linux clock ticks per second of /proc/<pid>/stat (USER_HZ).
const double kTicksPerSecond = 100.0;

void PrintTarget(const char* what, double value, const char* unit, const char* target, bool met)
{
    printf("  %-44s %9.1f %-4s target %-10s %s\n", what, value, unit, target, met ? "met" : "MISSED");
}

}  // namespace

int main()
{
    CefMainArgs args(GetModuleHandleW(nullptr));
    int code = cef_execute_process(&args, nullptr);
    if (code >= 0) return code;
    setvbuf(stdout, nullptr, _IONBF, 0);

    PageServer server;
    if (!server.Start()) {
        printf("page server did not start\n");
        return 1;
    }

    // 1. First frame. Each session starts the engine anew ("ready" is when
    // cef_initialize returns with the engine answering); each browser shows a
    // page of its own colour, and the frame counts once the child window's
    // pixels show it.
    const int kSessions = 3, kBrowsersPerSession = 3;
    std::vector<double> ready, firstAfterReady, createToFrame;
    const COLORREF colours[] = {RGB(0x20, 0x60, 0xc0), RGB(0xc0, 0x40, 0x20), RGB(0x30, 0xa0, 0x50)};
    const char* hex[] = {"2060c0", "c04020", "30a050"};
    std::wstring profile;
    std::unique_ptr<RuntimeSession> session;  // the last one stays for the other figures
    for (int s = 0; s < kSessions; ++s) {
        session.reset();
        profile = UniqueTempDir(L"vxrt-bench");
        double t0 = NowMs();
        session.reset(new RuntimeSession(profile));
        double tReady = NowMs();
        if (!session->ok) {
            printf("runtime did not start\n");
            return 1;
        }
        ready.push_back(tReady - t0);
        for (int b = 0; b < kBrowsersPerSession; ++b) {
            Page page;
            double tCreate = NowMs();
            if (!page.Open(server.Url(std::string("/solid/") + hex[b]))) {
                printf("browser not created\n");
                return 1;
            }
            double tFrame = WaitForColour(page.child, 400, 300, colours[b], 15000);
            if (tFrame < 0) {
                printf("  session %d browser %d: no frame within 15 s\n", s, b);
                continue;
            }
            createToFrame.push_back(tFrame - tCreate);
            if (b == 0) firstAfterReady.push_back(tFrame - tReady);
            printf("  session %d browser %d: create->frame %.0f ms%s\n", s, b, tFrame - tCreate,
                   b == 0 ? (" (ready->frame " + std::to_string(static_cast<int>(tFrame - tReady)) + " ms)").c_str()
                          : "");
        }
    }

    // 2. Click to repaint: a press turns the page green<->red; time
    // from posting the press to the child window's pixel changing.
    Page page;
    page.Open(server.Url("/clickcolour"));
    const COLORREF green = RGB(0, 0xff, 0), red = RGB(0xff, 0, 0);
    std::vector<double> clicks;
    if (WaitForColour(page.child, 400, 300, green, 15000) >= 0) {
        RunLoopFor(500);
        COLORREF want = red;
        for (int i = 0; i < 21; ++i) {
            double t = NowMs();
            PostMessageW(page.child, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(400, 300));
            PostMessageW(page.child, WM_LBUTTONUP, 0, MAKELPARAM(400, 300));
            double done = WaitForColour(page.child, 400, 300, want, 3000);
            if (done < 0) {
                printf("  click %d: no repaint within 3 s\n", i);
                break;
            }
            if (i > 0) clicks.push_back(done - t);  // the first press also focuses the page
            want = want == red ? green : red;
            RunLoopFor(150);
        }
    } else {
        printf("  click page never painted\n");
    }
    page.Close();

    // 3. Animation: paints of the child window over 5 s.
    Page anim;
    anim.Open(server.Url("/anim"));
    PumpUntil([&] { return anim.client->Has("LoadEnd"); }, 15000);
    RunLoopFor(1000);
    g_previous = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(anim.child, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(CountingProc)));
    g_paints = 0;
    double a0 = NowMs();
    RunLoopFor(5000);
    double fps = g_paints * 1000.0 / (NowMs() - a0);
    SetWindowLongPtrW(anim.child, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(g_previous));
    anim.Close();

    // 4. CPU on a static page over 10 s, idling in the message loop.
    Page still;
    still.Open(server.Url("/title"));
    PumpUntil([&] { return still.client->Has("LoadEnd"); }, 15000);
    RunLoopFor(2000);
    std::string needle = "--user-data-dir=" + UnixPath(profile);
    int wineServer = OurWineServer();
    int engineProcs = 0;
    TicksByKind k0, k1;
    unsigned long long e0 = EngineTicks(needle, &engineProcs, &k0);
    ProcStat self0 = ReadStat(L"self");
    ProcStat ws0 = wineServer ? ReadStat(std::to_wstring(wineServer)) : ProcStat();
    unsigned long long p0 = ProcessTime100ns();
    double c0 = NowMs();
    RunLoopFor(10000);
    double wall = NowMs() - c0;
    unsigned long long p1 = ProcessTime100ns();
    ProcStat self1 = ReadStat(L"self");
    ProcStat ws1 = wineServer ? ReadStat(std::to_wstring(wineServer)) : ProcStat();
    unsigned long long e1 = EngineTicks(needle, nullptr, &k1);
    still.Close();
    session.reset();

    auto pct = [&](double seconds) { return seconds * 100000.0 / wall; };
    double progWin = pct((p1 - p0) / 1e7);
    double progLinux = self0.ok && self1.ok ? pct((self1.ticks - self0.ticks) / kTicksPerSecond) : -1;
    double engine = pct((e1 - e0) / kTicksPerSecond);
    double wsCpu = ws0.ok && ws1.ok ? pct((ws1.ticks - ws0.ticks) / kTicksPerSecond) : -1;

    printf("\nBrowser runtime (headless engine under Wine; %d sessions x %d browsers)\n", kSessions,
           kBrowsersPerSession);
    printf("  engine ready (cef_initialize), median        %9.1f ms\n", Median(ready));
    printf("  CreateBrowserSync -> first frame, median      %9.1f ms (n=%zu)\n", Median(createToFrame),
           createToFrame.size());
    PrintTarget("first frame after engine ready, median", Median(firstAfterReady), "ms", "< 1500",
                Median(firstAfterReady) >= 0 && Median(firstAfterReady) < 1500);
    PrintTarget(("click -> repaint, median of " + std::to_string(clicks.size())).c_str(), Median(clicks), "ms", "< 100",
                !clicks.empty() && Median(clicks) < 100);
    if (!clicks.empty()) {
        std::vector<double> c = clicks;
        std::sort(c.begin(), c.end());
        printf("    (min %.1f, max %.1f ms)\n", c.front(), c.back());
    }
    PrintTarget("CSS animation, child window paints per s", fps, "fps", ">= 25", fps >= 25);
    PrintTarget("static page, program CPU (GetProcessTimes)", progWin, "%", "< 2", progWin < 2);
    printf("    program CPU from /proc/self/stat                 %6.1f %%\n", progLinux);
    printf("    engine CPU, %d processes incl. guard shell       %6.1f %%\n", engineProcs, engine);
    for (auto& k : k1)
        printf("      %-24s %6.1f %%\n", k.first.c_str(),
               pct((double(k.second) - double(k0[k.first])) / kTicksPerSecond));
    printf("    wineserver CPU (shared by this prefix)           %6.1f %%\n", wsCpu);
    printf("    (%% of one core over %.1f s; /proc figures in %g Hz ticks)\n", wall / 1000, kTicksPerSecond);
    server.Stop();
    return 0;
}
