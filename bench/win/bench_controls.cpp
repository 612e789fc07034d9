// Control tree costs in a real 1200x720 window:
//  1. a full layout and paint of a tree of 501 controls (20 rows of 24
//     controls: opaque and translucent colours, images, borders), as a
//     ratio to one BitBlt of the window area in the same run. The layout
//     side includes the root's SetPos over the whole tree, DoPaint of the
//     whole tree into the off-screen bitmap and the BitBlt of that bitmap to
//     the window; the BitBlt side is that last BitBlt alone.
//     Also the paint alone of each look on all 480 leaves, into an
//     opaque window's compatible bitmap and a layered window's DIB section.
//  2. the same for a tree of 20 rows of labels and buttons whose captions
//     carry markup (bold, colour, links, line breaks), every fourth leaf a
//     button with a hover colour;
//  3. the main window's own tree as the program shows it at rest:
//     MainWnd.xml built from the linked skin archive by the dialog builder
//     (fonts, default lists and images of the skin), the browser page
//     selected (the browser draws in a window of its own, so a bare control
//     stands for it in the tree), the titles set and the bottom bar's
//     scrolling buttons holding their captions; a GDI+ session held, as the
//     program holds one;
//  4. hover across a row of 100 controls that change colour under the
//     mouse: WM_MOUSEMOVE through the paint manager (hit test, leave, enter
//     and move events), first without painting, then with the window
//     repainted after every move (only the two changed controls).
// Rounds alternate the two sides; the figures are the median and the range
// of the per-round values. Run under Wine:
//   tools/wine-run.sh build/win/bench/win/bench_controls.exe
#include "app/ScrollTextButtonUI.h"
#include "bench/win/BenchSkin.h"
#include "bench/win/WinBenchRounds.h"
#include "tests/ui/controls/TestWindow.h"
#include "ui/controls/ButtonUI.h"
#include "ui/controls/GdiplusSession.h"
#include "ui/controls/HorizontalLayoutUI.h"
#include "ui/controls/LabelUI.h"
#include "ui/controls/TabLayoutUI.h"
#include "ui/controls/VerticalLayoutUI.h"
#include "ui/builder/DialogBuilder.h"
#include "ui/images/GdiHandles.h"

#include <cstdio>
#include <cwchar>
#include <vector>

using namespace SkinUI;

namespace {

using Bench::Now;
using Bench::Summarise;
using Bench::Summary;

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

// A white column of 20 grey rows; `fillRow` adds each row's leaves.
template <typename FillRow>
CControlUI* BuildRows(FillRow&& fillRow)
{
    auto* root = new CVerticalLayoutUI;
    root->SetBkColor(0xFFFFFFFF);
    for (int row = 0; row < 20; ++row) {
        auto* line = new CHorizontalLayoutUI;
        line->ApplyAttributeList(L"inset=\"4,4,4,4\" childpadding=\"2\" bkcolor=\"#FFF0F0F0\"");
        root->Add(line);
        fillRow(*line, row);
    }
    return root;
}

// look < 0: the four looks in turn; otherwise every control has that look.
CControlUI* BuildTree(CPaintManagerUI& pm, int look = -1)
{
    pm.AddImage(L"icon.png", Icon(), 16, 16, true);
    return BuildRows([look](CHorizontalLayoutUI& line, int row) {
        for (int i = 0; i < 24; ++i) {
            auto* c = new CControlUI;
            c->ApplyAttributeList(kLooks[look < 0 ? (row + i) % 4 : look]);
            line.Add(c);
        }
    });
}

// 20 rows of 12 labels and buttons with marked-up captions.
CControlUI* BuildTextTree()
{
    return BuildRows([](CHorizontalLayoutUI& line, int) {
        for (int i = 0; i < 12; ++i) {
            const bool button = i % 4 == 3;
            CLabelUI* c = button ? new CButtonUI : new CLabelUI;
            c->ApplyAttributeList(button ? L"showhtml=\"true\" bkcolor=\"#FFDDE6F0\" hotbkcolor=\"#FFFFC040\" "
                                           L"text=\"<b>Open</b> <c #FF3E6EA8>link</c>\""
                                         : L"showhtml=\"true\" textcolor=\"#FF333333\" "
                                           L"text=\"Item <b>12</b>, <c #FFE81123>new</c><n><u>details</u>\"");
            line.Add(c);
        }
    });
}

// Layout + paint of the window's tree against one BitBlt of the window, in
// interleaved rounds; then layout alone and paint alone.
// A positive `goal` is the ratio the project aims at; it is printed, never
// enforced.
void MeasureAgainstBlit(const char* what, Test::TestWindow& window, CControlUI* root, double goal = 0)
{
    window.PumpUntil([] { return false; }, 200);

    const RECT area = {0, 0, 1200, 720};
    Gdi::WindowDC windowDC(window.hwnd());
    Gdi::MemoryDC offscreen(windowDC);
    Gdi::Bitmap bitmap(::CreateCompatibleBitmap(windowDC, 1200, 720));
    Gdi::Select selected(offscreen, bitmap);

    auto blit = [&] {
        ::BitBlt(windowDC, 0, 0, 1200, 720, offscreen, 0, 0, SRCCOPY);
        ::GdiFlush();
    };
    auto layoutAndPaint = [&] {
        root->SetPos(area);
        root->DoPaint(offscreen, area);
        blit();
    };
    layoutAndPaint();  // images into the cache, first allocations

    const int rounds = 21, perRound = 20;
    const Bench::RoundsResult r = Bench::PairedRounds(rounds, perRound, layoutAndPaint, blit);
    std::printf("layout + paint of %s, 1200x720: %.2f ms (%.2f..%.2f); one BitBlt of the window: %.3f ms "
                "(%.3f..%.3f)\n",
                what, r.a.median, r.a.low, r.a.high, r.b.median, r.b.low, r.b.high);
    std::printf("  ratio layout+paint / BitBlt: median %.1f, range %.1f..%.1f (%d rounds of %d)\n", r.ratio.median,
                r.ratio.low, r.ratio.high, rounds, perRound);
    if (goal > 0)
        std::printf("  goal: median at most %.0f (%s)\n", goal, r.ratio.median <= goal ? "met" : "not met");
    // Where the time goes: layout alone (the same rectangles again) and paint alone.
    const Summary layoutPart = Bench::Rounds(rounds, perRound, [&] { root->SetPos(area); });
    const Summary paintPart = Bench::Rounds(rounds, perRound, [&] {
        root->DoPaint(offscreen, area);
        ::GdiFlush();
    });
    std::printf("  of which layout %.2f ms (%.2f..%.2f), paint %.2f ms (%.2f..%.2f)\n", layoutPart.median,
                layoutPart.low, layoutPart.high, paintPart.median, paintPart.low, paintPart.high);
}

void LayoutAndPaintBenchmark()
{
    {
        Test::TestWindow window(1200, 720, nullptr);
        CControlUI* root = BuildTree(window.pm());
        window.pm().AttachDialog(root);
        MeasureAgainstBlit("501 controls", window, root);
    }

    // What each look costs when all 480 leaves have it, painted into the
    // same kind of off-screen bitmap as above (an opaque window's) and into
    // a 32-bit DIB section (a layered window's).
    Test::TestWindow window(1200, 720, nullptr);
    Gdi::WindowDC windowDC(window.hwnd());
    Gdi::MemoryDC compatibleDC(windowDC), dibDC(windowDC);
    Gdi::Bitmap bitmap(::CreateCompatibleBitmap(windowDC, 1200, 720));
    Gdi::Dib32 dib;
    dib.Create(1200, 720);
    Gdi::Select selectedCompatible(compatibleDC, bitmap), selectedDib(dibDC, dib.bitmap);
    const struct {
        HDC dc;
        const char* name;
    } targets[] = {{compatibleDC, "compatible bitmap"}, {dibDC, "32-bit DIB section"}};
    const RECT area = {0, 0, 1200, 720};
    for (int look = 0; look < 5; ++look) {
        CPaintManagerUI pm;
        CControlUI* tree = BuildTree(pm, look);
        tree->SetManager(&pm, nullptr, true);
        tree->SetPos(area);
        for (const auto& target : targets) {
            tree->DoPaint(target.dc, area);
            const Summary t = Bench::Rounds(11, 20, [&] {
                tree->DoPaint(target.dc, area);
                ::GdiFlush();
            });
            std::printf("  paint into a %s with every leaf a %s: %.2f ms (%.2f..%.2f)\n", target.name, kLookNames[look],
                        t.median, t.low, t.high);
        }
        delete tree;
    }

    CControlUI* text = BuildTextTree();
    window.pm().AttachDialog(text);
    MeasureAgainstBlit("261 controls: labels and buttons with marked-up text", window, text, 50);
}

// The application's own tags of MainWnd.xml.
class MainWindowTags : public IDialogBuilderCallback {
public:
    CControlUI* CreateControl(LPCTSTR tag) override
    {
        if (std::wcscmp(tag, L"ScrollTextButton") == 0) return new Vornex::CScrollTextButtonUI;
        if (std::wcscmp(tag, L"CefWeb") == 0) return new CControlUI;  // the browser has a window of its own
        return nullptr;
    }
};

void MainWindowBenchmark()
{
    if (!Bench::InstallSkin()) {
        std::printf("main window tree: the skin archive is not linked in\n");
        return;
    }
    GdiplusSession gdiplus;
    Test::TestWindow window(1200, 720, nullptr);
    MainWindowTags tags;
    CDialogBuilder builder;
    CControlUI* root = builder.Create(L"MainWnd.xml", nullptr, &tags, &window.pm());
    if (root == nullptr) {
        std::printf("main window tree: MainWnd.xml did not build\n");
        return;
    }
    window.pm().AttachDialog(root);
    const wchar_t* const title = L"Vornex\u77ed\u7f51\u5740  V1.0";
    for (const wchar_t* name : {L"lbl_title", L"lbl_bottom_title"})
        if (CControlUI* label = window.pm().FindControl(name)) label->SetText(title);
    if (auto* tab = dynamic_cast<CTabLayoutUI*>(window.pm().FindControl(L"tab_main"))) tab->SelectItem(1, false);
    // The demo service's captions.
    const wchar_t* const captions[3][2] = {
        {L"\u957f\u94fe\u63a5\u4e00\u952e\u53d8\u77ed\uff0c\u5206\u4eab\u66f4\u65b9\u4fbf",
         L"\u6bcf\u4e00\u6b21\u8bbf\u95ee\u90fd\u6709\u7edf\u8ba1"},
        {L"\u77ed\u94fe\u63a5\u6c38\u4e45\u6709\u6548\uff0c\u4e0d\u4f1a\u8fc7\u671f",
         L"\u652f\u6301 http \u4e0e https \u94fe\u63a5"},
        {L"\u6709\u95ee\u9898\uff1f\u6b22\u8fce\u8054\u7cfb\u6211\u4eec", nullptr},
    };
    const wchar_t* const buttons[3] = {L"stbtn_ad1", L"stbtn_ad2", L"stbtn_ad3"};
    for (int k = 0; k < 3; ++k) {
        auto* scroller = dynamic_cast<Vornex::CScrollTextButtonUI*>(window.pm().FindControl(buttons[k]));
        if (scroller == nullptr) continue;
        for (const wchar_t* caption : captions[k])
            if (caption != nullptr) scroller->AddItem(caption, L"http://127.0.0.1/");
    }
    MeasureAgainstBlit("the main window's tree from MainWnd.xml", window, root, 20);
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
        const Summary moves = Summarise(movesPerSecond), events = Summarise(eventsPerSecond);
        std::printf("hover across 100 controls%s: %.0f moves/s (%.0f..%.0f), %.0f control events/s (%.0f..%.0f)\n",
                    repaint ? ", repainting after every move" : ", dispatch only", moves.median, moves.low, moves.high,
                    events.median, events.low, events.high);
    }
}

}  // namespace

int main()
{
    LayoutAndPaintBenchmark();
    MainWindowBenchmark();
    HoverBenchmark();
    return 0;
}
