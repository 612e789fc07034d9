// Building the main window's skin into a live window, against the least a
// window of that size costs.
//
// Side A: a skinned window over WindowImplBase whose creation parses
// MainWnd.xml from the linked skin archive, builds its control tree (with
// its fonts, default lists and images, decoded anew for every window since
// each window caches its own), then shows it and paints it once
// (UpdateWindow: layout and the whole tree's paint into the window), then
// destroys it (outside the timed part). The application's own tags are left out, and no shadow is
// registered, so neither side has a layered window.
// Side B: a minimal Win32 window of the same size (class registered once)
// created, shown and painted once with a FillRect (then destroyed, untimed).
// A GDI+ session is held for the whole run, as the program's main window
// holds one: otherwise every skinned window's last label would shut GDI+
// down (about 2 s under Wine) and start it again.
//
// Rounds interleave A and B (order alternating); the figure is the median
// and range of the per-round ratio A/B of wall time (the X server's work is
// part of both sides). Same compiler flags for both; run under Xvfb:
//   tools/wine-run.sh build/win/bench/win/bench_builder.exe

#include "ui/controls/GdiplusSession.h"
#include "ui/window/WindowImplBase.h"

#include <algorithm>
#include <cstdio>
#include <vector>

using namespace SkinUI;

namespace {

const int kWidth = 1200, kHeight = 720;

double Now()
{
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        ::QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER now;
    ::QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

void Pump()
{
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
}

class MainSkinWindow : public WindowImplBase {
protected:
    LPCTSTR GetWindowClassName() const override { return L"BenchSkinWnd"; }
    CUiString GetSkinFolder() override { return CUiString(); }
    CUiString GetSkinFile() override { return L"MainWnd.xml"; }
    UI_RESOURCETYPE GetResourceType() const override { return UI_RES_ZIPRESOURCE; }
    LPCTSTR GetResourceID() const override { return MAKEINTRESOURCEW(130); }
};

LRESULT CALLBACK PlainProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam)
{
    if (uMsg == WM_PAINT) {
        PAINTSTRUCT ps;
        HDC dc = ::BeginPaint(hWnd, &ps);
        ::FillRect(dc, &ps.rcPaint, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
        ::EndPaint(hWnd, &ps);
        return 0;
    }
    return ::DefWindowProcW(hWnd, uMsg, wParam, lParam);
}

// Destroying is outside the timed part on both sides.
double SkinnedWindow()
{
    const double start = Now();
    MainSkinWindow window;
    HWND hWnd = window.Create(nullptr, L"bench", WS_POPUP, 0, 0, 0, kWidth, kHeight);
    ::ShowWindow(hWnd, SW_SHOWNOACTIVATE);
    ::UpdateWindow(hWnd);
    const double elapsed = Now() - start;
    ::DestroyWindow(hWnd);
    Pump();
    return elapsed;
}

double PlainWindow()
{
    const double start = Now();
    HWND hWnd = ::CreateWindowExW(0, L"BenchPlainWnd", L"bench", WS_POPUP, 0, 0, kWidth, kHeight, nullptr, nullptr,
                                  ::GetModuleHandleW(nullptr), nullptr);
    ::ShowWindow(hWnd, SW_SHOWNOACTIVATE);
    ::UpdateWindow(hWnd);
    const double elapsed = Now() - start;
    ::DestroyWindow(hWnd);
    Pump();
    return elapsed;
}

}  // namespace

int main()
{
    HINSTANCE instance = ::GetModuleHandleW(nullptr);
    CPaintManagerUI::SetInstance(instance);
    GdiplusSession gdiplus;
    WNDCLASSW wc = {};
    wc.lpfnWndProc = PlainProc;
    wc.hInstance = instance;
    wc.lpszClassName = L"BenchPlainWnd";
    ::RegisterClassW(&wc);

    // One of each before timing: classes, fonts and the archive's index.
    SkinnedWindow();
    PlainWindow();

    const int rounds = 15;
    std::vector<double> skinned, plain, ratio;
    for (int r = 0; r < rounds; ++r) {
        double a, b;
        if (r % 2 == 0) {
            a = SkinnedWindow();
            b = PlainWindow();
        } else {
            b = PlainWindow();
            a = SkinnedWindow();
        }
        skinned.push_back(a);
        plain.push_back(b);
        ratio.push_back(a / b);
    }
    auto summary = [](std::vector<double> v, double scale, const char* what) {
        std::sort(v.begin(), v.end());
        std::printf("  %-44s %8.2f [%.2f .. %.2f]\n", what, v[v.size() / 2] * scale, v.front() * scale,
                    v.back() * scale);
    };
    std::printf("MainWnd.xml built live and painted once vs a minimal %dx%d window, %d rounds, median [range]\n",
                kWidth, kHeight, rounds);
    summary(skinned, 1000.0, "skinned window: create, build, paint (ms)");
    summary(plain, 1000.0, "minimal window: create, paint (ms)");
    summary(ratio, 1.0, "ratio skinned / minimal");
    return 0;
}
