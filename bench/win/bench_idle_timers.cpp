// What a skinned window costs while it waits: the CPU time of the process
// over a period (10 s by default) for
//   idle     - a window with a tree and no timers,
//   ticks    - three controls with 60 ms paint-manager timers whose ticks do
//              nothing but arrive (timer lookup and event dispatch),
//   repaints - the same three timers, each tick repainting its control (what
//              the scrolling caption buttons of the bottom bar do).
// Each side runs the same message loop for the same time; the figure is the
// process's user + kernel time (GetProcessTimes) as a share of one core.
// Under Wine the wineserver's own time is not part of it.
//   tools/wine-run.sh build/win/bench/win/bench_idle_timers.exe [seconds]
#include "ui/controls/ContainerUI.h"
#include "ui/controls/ControlUI.h"
#include "ui/paint/PaintManagerUI.h"

#include <cstdio>
#include <cstdlib>

using namespace SkinUI;

namespace {

class TickingControl : public CControlUI {
public:
    explicit TickingControl(bool repaint) : m_repaint(repaint) {}
    void DoEvent(TEventUI& event) override
    {
        if (event.Type != UIEVENT_TIMER) return CControlUI::DoEvent(event);
        ++ticks;
        if (m_repaint) Invalidate();
    }
    int ticks = 0;

private:
    bool m_repaint;
};

LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    auto* manager = reinterpret_cast<CPaintManagerUI*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    LRESULT result = 0;
    if (manager != nullptr && manager->MessageHandler(msg, wParam, lParam, result)) return result;
    return ::DefWindowProcW(hwnd, msg, wParam, lParam);
}

double ProcessCpuSeconds()
{
    FILETIME created, exited, kernel, user;
    ::GetProcessTimes(::GetCurrentProcess(), &created, &exited, &kernel, &user);
    auto seconds = [](const FILETIME& t) {
        return (static_cast<ULONGLONG>(t.dwHighDateTime) << 32 | t.dwLowDateTime) / 1e7;
    };
    return seconds(kernel) + seconds(user);
}

struct Result {
    double cpuSeconds;
    int ticks;
};

Result Run(int timers, bool repaint, double seconds)
{
    HWND hwnd = ::CreateWindowExW(0, L"VornexIdleBench", L"idle", WS_POPUP, 100, 100, 1200, 720, nullptr, nullptr,
                                  ::GetModuleHandleW(nullptr), nullptr);
    auto* manager = new CPaintManagerUI;
    ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(manager));
    manager->Init(hwnd);
    auto* root = new CContainerUI;
    root->SetBkColor(0xFF202020);
    TickingControl* controls[3];
    for (int i = 0; i < 3; ++i) {
        controls[i] = new TickingControl(repaint);
        controls[i]->SetFloat(true);
        controls[i]->SetFixedXY(CUiSize(20 + 200 * i, 680));
        controls[i]->SetFixedWidth(180);
        controls[i]->SetFixedHeight(30);
        controls[i]->SetBkColor(0xFF3060A0);
        root->Add(controls[i]);
    }
    manager->AttachDialog(root);
    ::ShowWindow(hwnd, SW_SHOWNOACTIVATE);
    ::UpdateWindow(hwnd);
    for (int i = 0; i < timers; ++i) manager->SetTimer(controls[i], 1, 60);

    const double startCpu = ProcessCpuSeconds();
    const DWORD start = ::GetTickCount();
    const DWORD length = static_cast<DWORD>(seconds * 1000);
    for (DWORD now = start; now - start < length; now = ::GetTickCount()) {
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, length - (now - start), QS_ALLINPUT);
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
    }
    const double used = ProcessCpuSeconds() - startCpu;
    Result result = {used > 0 ? used : 0, 0};
    for (TickingControl* control : controls) result.ticks += control->ticks;
    ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
    ::DestroyWindow(hwnd);
    delete manager;
    return result;
}

}  // namespace

int main(int argc, char** argv)
{
    const double seconds = argc > 1 ? std::atof(argv[1]) : 10.0;
    WNDCLASSW wc = {};
    wc.lpfnWndProc = WindowProc;
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.lpszClassName = L"VornexIdleBench";
    ::RegisterClassW(&wc);

    std::printf("window 1200x720, 3 controls, %.0f s per side, CPU = process user+kernel time\n", seconds);
    const struct {
        const char* name;
        int timers;
        bool repaint;
    } sides[] = {{"idle (no timers)", 0, false}, {"3 timers x 60 ms", 3, false}, {"3 timers + repaint", 3, true}};
    for (const auto& side : sides) {
        const Result r = Run(side.timers, side.repaint, seconds);
        std::printf("%-20s ticks %5d (%.1f/s)  cpu %7.1f ms  = %.2f %% of one core\n", side.name, r.ticks,
                    r.ticks / seconds, r.cpuSeconds * 1000, 100.0 * r.cpuSeconds / seconds);
    }
    return 0;
}
