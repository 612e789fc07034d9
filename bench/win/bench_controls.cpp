// Control tree costs in a real 1200x720 window:
//  1. a full layout and paint of a tree of 501 controls (20 rows of 24
//     controls: opaque and translucent colours, images, borders), as a
//     ratio to one BitBlt of the window area in the same run. The layout
//     side includes the root's SetPos over the whole tree, DoPaint of the
//     whole tree into the off-screen bitmap and the BitBlt of that bitmap to
//     the window; the BitBlt side is that last BitBlt alone.
//  2. hover across a row of 100 controls that change colour under the
//     mouse: WM_MOUSEMOVE through the paint manager (hit test, leave, enter
//     and move events), first without painting, then with the window
//     repainted after every move (only the two changed controls).
// Rounds alternate the two sides; the figures are the median and the range
// of the per-round values. Run under Wine:
//   tools/wine-run.sh build/win/bench/win/bench_controls.exe
#include "tests/ui/control/TestWindow.h"
#include "ui/control/HorizontalLayoutUI.h"
#include "ui/control/VerticalLayoutUI.h"
#include "ui/render/image/GdiHandles.h"

#include <algorithm>
#include <cstdio>
#include <vector>

using namespace SkinUI;

namespace {

double Now()
{
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        ::QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER t;
    ::QueryPerformanceCounter(&t);
    return static_cast<double>(t.QuadPart) / frequency.QuadPart;
}

struct Spread {
    double median, low, high;
};

Spread Summarize(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return Spread{values[values.size() / 2], values.front(), values.back()};
}

HBITMAP Icon()
{
    Gdi::Dib32 dib;
    dib.Create(16, 16);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) {
            const bool inside = (x - 8) * (x - 8) + (y - 8) * (y - 8) < 49;
            dib.bits[y * 16 + x] = inside ? 0xFF2080E0 : 0;  // a round icon, transparent corners
        }
    return dib.bitmap.Release();
}

const wchar_t* const kLooks[] = {
    L"bkcolor=\"#FF3E6EA8\"",
    L"bkcolor=\"#80E81123\"",
    L"bkimage=\"file='icon.png' dest='8,4,24,20'\"",
    L"bordercolor=\"#FF3E3E3E\" bordersize=\"1\" bkcolor=\"#FFFAFAFA\"",
    L"",
};
const char* const kLookNames[] = {"opaque colour", "translucent colour", "image", "border",
                                  "control with nothing to draw (the tree's own cost)"};

// look < 0: the four looks in turn; otherwise every control has that look.
CControlUI* BuildTree(CPaintManagerUI& pm, int look = -1)
{
    pm.AddImage(L"icon.png", Icon(), 16, 16, true);
    auto* root = new CVerticalLayoutUI;
    root->SetBkColor(0xFFFFFFFF);
    for (int row = 0; row < 20; ++row) {
        auto* line = new CHorizontalLayoutUI;
        line->ApplyAttributeList(L"inset=\"4,4,4,4\" childpadding=\"2\" bkcolor=\"#FFF0F0F0\"");
        root->Add(line);
        for (int i = 0; i < 24; ++i) {
            auto* c = new CControlUI;
            c->ApplyAttributeList(kLooks[look < 0 ? (row + i) % 4 : look]);
            line->Add(c);
        }
    }
    return root;
}

void LayoutAndPaintBenchmark()
{
    CControlUI* root = nullptr;
    Test::TestWindow window(1200, 720, nullptr);
    root = BuildTree(window.pm());
    window.pm().AttachDialog(root);
    window.PumpUntil([] { return false; }, 200);

    const RECT area = {0, 0, 1200, 720};
    HDC windowDC = ::GetDC(window.hwnd());
    HDC offscreen = ::CreateCompatibleDC(windowDC);
    HBITMAP bitmap = ::CreateCompatibleBitmap(windowDC, 1200, 720);
    HGDIOBJ old = ::SelectObject(offscreen, bitmap);

    auto layoutAndPaint = [&] {
        root->SetPos(area);
        root->DoPaint(offscreen, area);
        ::BitBlt(windowDC, 0, 0, 1200, 720, offscreen, 0, 0, SRCCOPY);
        ::GdiFlush();
    };
    auto blit = [&] {
        ::BitBlt(windowDC, 0, 0, 1200, 720, offscreen, 0, 0, SRCCOPY);
        ::GdiFlush();
    };
    layoutAndPaint();  // images into the cache, first allocations

    const int rounds = 21, perRound = 20;
    std::vector<double> ratios, layoutMs, blitMs;
    for (int r = 0; r < rounds; ++r) {
        double t0 = Now();
        for (int i = 0; i < perRound; ++i) layoutAndPaint();
        const double a = (Now() - t0) / perRound;
        t0 = Now();
        for (int i = 0; i < perRound; ++i) blit();
        const double b = (Now() - t0) / perRound;
        ratios.push_back(a / b);
        layoutMs.push_back(a * 1e3);
        blitMs.push_back(b * 1e3);
    }
    // Where the time goes: layout alone (the same rectangles again) and paint alone.
    std::vector<double> layoutOnly, paintOnly;
    for (int r = 0; r < rounds; ++r) {
        double t0 = Now();
        for (int i = 0; i < perRound; ++i) root->SetPos(area);
        layoutOnly.push_back((Now() - t0) / perRound * 1e3);
        t0 = Now();
        for (int i = 0; i < perRound; ++i) root->DoPaint(offscreen, area);
        ::GdiFlush();
        paintOnly.push_back((Now() - t0) / perRound * 1e3);
    }
    const Spread layoutPart = Summarize(layoutOnly), paintPart = Summarize(paintOnly);
    std::printf("  of which layout %.2f ms (%.2f..%.2f), paint %.2f ms (%.2f..%.2f)\n", layoutPart.median,
                layoutPart.low, layoutPart.high, paintPart.median, paintPart.low, paintPart.high);
    // And what each look costs when all 480 leaves have it.
    for (int look = 0; look < 5; ++look) {
        CPaintManagerUI pm;
        CControlUI* tree = BuildTree(pm, look);
        tree->SetManager(&pm, nullptr, true);
        tree->SetPos(area);
        tree->DoPaint(offscreen, area);
        std::vector<double> times;
        for (int r = 0; r < 11; ++r) {
            const double t0 = Now();
            for (int i = 0; i < perRound; ++i) tree->DoPaint(offscreen, area);
            ::GdiFlush();
            times.push_back((Now() - t0) / perRound * 1e3);
        }
        const Spread t = Summarize(times);
        std::printf("  paint with every leaf a %s: %.2f ms (%.2f..%.2f)\n", kLookNames[look], t.median, t.low, t.high);
        delete tree;
    }
    const Spread ratio = Summarize(ratios), layout = Summarize(layoutMs), copy = Summarize(blitMs);
    std::printf("layout + paint of 501 controls, 1200x720: %.2f ms (%.2f..%.2f); one BitBlt of the window: %.3f ms "
                "(%.3f..%.3f)\n",
                layout.median, layout.low, layout.high, copy.median, copy.low, copy.high);
    std::printf("  ratio layout+paint / BitBlt: median %.1f, range %.1f..%.1f (%d rounds of %d)\n", ratio.median,
                ratio.low, ratio.high, rounds, perRound);

    ::SelectObject(offscreen, old);
    ::DeleteObject(bitmap);
    ::DeleteDC(offscreen);
    ::ReleaseDC(window.hwnd(), windowDC);
}

// Changes colour under the mouse, as a button's hot state does.
class HoverUI : public CControlUI {
public:
    static long long s_events;
    void DoEvent(TEventUI& event) override
    {
        ++s_events;
        if (event.Type == UIEVENT_MOUSEENTER) SetBkColor(0xFFFFC040);
        if (event.Type == UIEVENT_MOUSELEAVE) SetBkColor(0xFF3E6EA8);
        if (event.Type == UIEVENT_MOUSEENTER || event.Type == UIEVENT_MOUSELEAVE || event.Type == UIEVENT_MOUSEMOVE)
            return;
        CControlUI::DoEvent(event);
    }
};
long long HoverUI::s_events = 0;

void HoverBenchmark()
{
    auto* root = new CHorizontalLayoutUI;
    root->SetBkColor(0xFFFFFFFF);
    for (int i = 0; i < 100; ++i) {
        auto* c = new HoverUI;
        c->SetBkColor(0xFF3E6EA8);
        c->SetBorderColor(0xFFFFFFFF);
        c->SetBorderSize(1);
        root->Add(c);
    }
    Test::TestWindow window(1200, 720, root);
    window.PumpUntil([] { return false; }, 200);

    auto sweep = [&](bool repaint) {
        for (int i = 0; i < 100; ++i) {
            ::SendMessageW(window.hwnd(), WM_MOUSEMOVE, 0, MAKELPARAM(i * 12 + 6, 300));
            if (repaint) ::UpdateWindow(window.hwnd());
        }
    };
    sweep(true);
    for (bool repaint : {false, true}) {
        std::vector<double> movesPerSecond, eventsPerSecond;
        for (int r = 0; r < 11; ++r) {
            const long long events0 = HoverUI::s_events;
            const double t0 = Now();
            for (int s = 0; s < 10; ++s) sweep(repaint);
            const double seconds = Now() - t0;
            movesPerSecond.push_back(1000 / seconds);
            eventsPerSecond.push_back((HoverUI::s_events - events0) / seconds);
            window.Pump();
        }
        const Spread moves = Summarize(movesPerSecond), events = Summarize(eventsPerSecond);
        std::printf("hover across 100 controls%s: %.0f moves/s (%.0f..%.0f), %.0f control events/s (%.0f..%.0f)\n",
                    repaint ? ", repainting after every move" : ", dispatch only", moves.median, moves.low, moves.high,
                    events.median, events.low, events.high);
    }
}

}  // namespace

int main()
{
    LayoutAndPaintBenchmark();
    HoverBenchmark();
    return 0;
}
