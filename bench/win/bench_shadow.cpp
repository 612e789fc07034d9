// Window shadow costs for the main window's size (1200 x 720), under Wine
// with a compositor:
//  1. one shadow Update in image mode (the skin's Aero.png nine-grid over
//     the window plus the main window's border 5,5,9,11) and in computed
//     mode (default kernel), each as a ratio to one BitBlt of the window:
//     a 1200x720 32-bit memory bitmap copied to the window's device context,
//     which is what every full repaint of the window costs at least.
//     An Update includes building the pixels and handing them to
//     UpdateLayeredWindow; the cost of that call alone, for ready pixels of
//     the same size, is printed as well (under Wine it sends every pixel to
//     the X server, while the BitBlt only reaches the window's surface).
//  2. the UI thread's CPU time while the window is moved every 16 ms for
//     2 s (the messages of a drag: one WM_MOVE per step), with a shadow and
//     without one; the difference is the shadow's (the thread clock ticks in
//     10 ms steps under Wine, hence five rounds). Also the wall time of one
//     move, which includes the shadow's reaction to it. Only this process
//     is measured: the X server's and the compositor's work is not included.
// Rounds interleave both sides; figures are the median and range of the
// per-round ratios.
//   tools/wine-run.sh build/win/bench/win/bench_shadow.exe  (with DISPLAY
//   set to a display that runs xcompmgr, e.g. inside a test session)
#include "bench/win/BenchSkin.h"
#include "bench/win/WinBenchRounds.h"
#include "ui/paint/PaintManagerUI.h"
#include "ui/images/GdiHandles.h"
#include "ui/window/WindowWnd.h"
#include "ui/window/WndShadow.h"

#include <cstdio>
#include <memory>
#include <vector>

using namespace SkinUI;
using Bench::InstallSkin;
using Bench::Now;
using Bench::Summarise;
using Bench::Summary;

namespace {

const int kWidth = 1200;
const int kHeight = 720;

double ThreadCpuSeconds()
{
    FILETIME created, exited, kernel, user;
    ::GetThreadTimes(::GetCurrentThread(), &created, &exited, &kernel, &user);
    auto seconds = [](const FILETIME& t) {
        return ((static_cast<unsigned long long>(t.dwHighDateTime) << 32) | t.dwLowDateTime) / 1e7;
    };
    return seconds(kernel) + seconds(user);
}

void Pump()
{
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
}

class PlainWindow final : public CWindowWnd {
public:
    ~PlainWindow()
    {
        if (::IsWindow(m_hWnd)) ::DestroyWindow(m_hWnd);
    }

protected:
    LPCTSTR GetWindowClassName() const override { return L"VornexBenchWindow"; }
    LRESULT HandleMessage(UINT uMsg, WPARAM wParam, LPARAM lParam) override
    {
        if (uMsg == WM_ERASEBKGND) return 1;
        if (uMsg == WM_PAINT) {
            PAINTSTRUCT ps;
            ::BeginPaint(m_hWnd, &ps);
            ::EndPaint(m_hWnd, &ps);
            return 0;
        }
        return CWindowWnd::HandleMessage(uMsg, wParam, lParam);
    }
};

// Moves the window along a path every 16 ms for `seconds`; returns the
// thread CPU seconds spent, the number of moves and the mean wall time of
// one move (the SetWindowPos call, which runs the shadow's reaction).
double Drag(HWND hWnd, double seconds, int& moves, double& moveSeconds)
{
    const double start = Now();
    const double cpu = ThreadCpuSeconds();
    moves = 0;
    moveSeconds = 0;
    while (Now() - start < seconds) {
        const int step = moves % 100;
        const int x = 100 + (step < 50 ? step : 100 - step) * 2;
        const double before = Now();
        ::SetWindowPos(hWnd, nullptr, x, 80 + (moves % 20), 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        moveSeconds += Now() - before;
        Pump();
        ++moves;
        const double next = start + moves * 0.016;
        while (Now() < next) ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 1, QS_ALLINPUT), Pump();
    }
    moveSeconds /= std::max(moves, 1);
    return ThreadCpuSeconds() - cpu;
}

}  // namespace

int main()
{
    CPaintManagerUI::SetInstance(::GetModuleHandleW(nullptr));
    if (!InstallSkin() || !CWndShadow::Initialize(::GetModuleHandleW(nullptr))) {
        std::printf("no skin archive resource or no layered windows\n");
        return 1;
    }
    PlainWindow parent;
    if (!parent.Create(nullptr, L"bench", WS_POPUP, 0, 100, 80, kWidth, kHeight)) return 1;
    parent.ShowWindow(true, false);
    Pump();

    CPaintManagerUI manager;
    // A window has at most one shadow: each phase attaches its own.
    auto attach = [&](bool image) {
        auto shadow = std::make_unique<CWndShadow>();
        if (image) {
            shadow->SetBkImage(L"file='Aero.png' corner='10,10,10,11'");
            shadow->SetBorder(5, 5, 9, 11);
        }
        shadow->Create(parent, &manager);
        shadow->SetPrepared();
        return shadow;
    };

    Gdi::Dib32 frame;
    frame.Create(kWidth, kHeight);
    Gdi::MemoryDC frameDc(nullptr);
    Gdi::Select selected(frameDc, frame.bitmap);
    Gdi::WindowDC windowDc(parent);
    auto blit = [&] {
        ::BitBlt(windowDc, 0, 0, kWidth, kHeight, frameDc, 0, 0, SRCCOPY);
        ::GdiFlush();
    };

    // 1. Update against BitBlt, interleaved round by round.
    const int rounds = 11, perRound = 20;
    std::printf("shadow Update of a %dx%d window, %d rounds of %d, median [range]\n", kWidth, kHeight, rounds,
                perRound);
    for (bool image : {true, false}) {
        std::unique_ptr<CWndShadow> shadow = attach(image);
        shadow->Update(parent);  // warm: the image is decoded and cached once
        const Bench::RoundsResult r = Bench::PairedRounds(
            rounds, perRound, [&] { shadow->Update(parent); }, blit);
        const Summary &us = r.a, &bs = r.b, &rs = r.ratio;
        std::printf(
            "  %-9s Update %7.3f ms [%.3f .. %.3f], BitBlt %6.3f ms [%.3f .. %.3f], ratio %.2f [%.2f .. %.2f]\n",
            image ? "image" : "computed", us.median, us.low, us.high, bs.median, bs.low, bs.high, rs.median, rs.low,
            rs.high);
    }

    // What the system's layered-window update costs alone: the same size of
    // ready pixels handed to another layered window, against BitBlt.
    {
        const int w = kWidth + 14, h = kHeight + 16;
        HWND layered = ::CreateWindowExW(WS_EX_LAYERED | WS_EX_TRANSPARENT, L"UmbraShadowWnd", nullptr, WS_POPUP, 95,
                                         75, w, h, parent, nullptr, ::GetModuleHandleW(nullptr), nullptr);
        Gdi::Dib32 pixels;
        pixels.Create(w, h);
        Gdi::MemoryDC pixelsDc(nullptr);
        Gdi::Select pixelsSelected(pixelsDc, pixels.bitmap);
        POINT at = {95, 75}, origin = {0, 0};
        SIZE size = {w, h};
        BLENDFUNCTION blend = {AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
        ::ShowWindow(layered, SW_SHOWNA);
        const Summary rs =
            Bench::PairedRounds(
                rounds, perRound,
                [&] { ::UpdateLayeredWindow(layered, nullptr, &at, &size, pixelsDc, &origin, 0, &blend, ULW_ALPHA); },
                blit)
                .ratio;
        ::DestroyWindow(layered);
        std::printf("  UpdateLayeredWindow alone, same size: ratio to BitBlt %.2f [%.2f .. %.2f]\n", rs.median, rs.low,
                    rs.high);
    }

    // 2. A 2 s drag with and without a shadow, interleaved.
    const int dragRounds = 5;
    std::vector<double> withShadow, without, share, moveWith, moveWithout;
    int moves = 0, movesWith = 0;
    for (int r = 0; r < dragRounds; ++r) {
        std::unique_ptr<CWndShadow> shadow = attach(true);
        double perMove = 0;
        const double w = Drag(parent, 2.0, movesWith, perMove);
        moveWith.push_back(perMove * 1e6);
        shadow.reset();
        const double n = Drag(parent, 2.0, moves, perMove);
        moveWithout.push_back(perMove * 1e6);
        withShadow.push_back(w * 1e3);
        without.push_back(n * 1e3);
        share.push_back((w - n) * 1e3);
    }
    const Summary ws = Summarise(withShadow), wo = Summarise(without), sh = Summarise(share);
    const Summary mw = Summarise(moveWith), mo = Summarise(moveWithout);
    std::printf("2 s drag (%d moves, one every 16 ms), image-mode shadow, %d rounds, median [range]\n", movesWith,
                dragRounds);
    std::printf("  UI thread CPU  with the shadow %6.1f ms [%.1f .. %.1f], without %6.1f ms [%.1f .. %.1f]\n",
                ws.median, ws.low, ws.high, wo.median, wo.low, wo.high);
    std::printf("  the shadow's share of it       %6.1f ms [%.1f .. %.1f] = %.2f%% of one core\n", sh.median, sh.low,
                sh.high, sh.median / 2000.0 * 100);
    std::printf("  one move        with the shadow %6.1f us [%.1f .. %.1f], without %6.1f us [%.1f .. %.1f]\n",
                mw.median, mw.low, mw.high, mo.median, mo.low, mo.high);
    return 0;
}
