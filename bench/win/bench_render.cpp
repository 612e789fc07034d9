// Render engine costs under the conditions of the main window:
//  1. the title bar (background, logo, title, caption buttons and the two
//     link buttons with their icons and captions) drawn 1,000 times into a
//     1200x36 DIB section, against a plain BitBlt of the same area;
//  2. DrawHtmlText on about 10 KB of marked-up text against DrawTextW of the
//     same text without its tags.
// The skin comes from the archive resource linked into this executable.
#include "bench/win/BenchSkin.h"
#include "bench/win/WinBenchRounds.h"
#include "ui/paint/PaintManagerUI.h"
#include "ui/images/GdiHandles.h"
#include "ui/render/RenderEngine.h"

#include <cstdio>
#include <string>

using namespace SkinUI;
using Bench::InstallSkin;
using Bench::Now;

namespace {

void DrawTitleBar(HDC dc, CPaintManagerUI& pm)
{
    RECT bar = {0, 0, 1200, 36};
    CRenderEngine::DrawColor(dc, bar, 0xFF251F29);
    RECT logo = {4, 6, 28, 30};
    CRenderEngine::DrawImageString(dc, &pm, logo, bar, L"logo.png");
    RECT title = {32, 0, 900, 36};
    CRenderEngine::DrawText(dc, &pm, title, L"Vornex\u77ED\u7F51\u5740 v1.0", 0xFFFFFFFF, 1,
                            DT_SINGLELINE | DT_VCENTER | DT_LEFT);
    const struct {
        int x;
        const wchar_t* image;
    } buttons[] = {{1172, L"btn_close_nor.png"}, {1144, L"btn_max_nor.png"}, {1116, L"btn_min_nor.png"}};
    for (const auto& b : buttons) {
        RECT rc = {b.x, 0, b.x + 28, 30};
        CRenderEngine::DrawImageString(dc, &pm, rc, bar, b.image);
    }
    const struct {
        int x, width;
        const wchar_t* icon;
        const wchar_t* text;
    } links[] = {{908, 60, L"file='home.png' dest='0,6,18,24'", L"\u4E3B\u9875"},
                 {978, 100, L"file='call.png' dest='0,6,18,24'", L"\u8054\u7CFB\u6211\u4EEC"}};
    for (const auto& l : links) {
        RECT rc = {l.x, 0, l.x + l.width, 30};
        CRenderEngine::DrawImageString(dc, &pm, rc, bar, l.icon);
        RECT text = {l.x + 24, 0, l.x + l.width, 30};
        CRenderEngine::DrawText(dc, &pm, text, l.text, 0xFFF9F9F9, 0, DT_SINGLELINE | DT_VCENTER | DT_LEFT);
    }
}

}  // namespace

int main()
{
    if (!InstallSkin()) {
        std::printf("no skin archive resource\n");
        return 1;
    }
    CPaintManagerUI pm;
    pm.AddFont(L"\u5FAE\u8F6F\u96C5\u9ED1", 12, false, false, false);
    pm.AddFont(L"\u5FAE\u8F6F\u96C5\u9ED1", 14, false, false, false);

    Gdi::MemoryDC dc(nullptr), source(nullptr);
    Gdi::Dib32 target, copy;
    if (!target.Create(1200, 36) || !copy.Create(1200, 36)) return 1;
    Gdi::Select selTarget(dc, target.bitmap);
    Gdi::Select selCopy(source, copy.bitmap);

    const int frames = 1000;
    DrawTitleBar(dc, pm);  // loads the images into the cache
    double t0 = Now();
    for (int i = 0; i < frames; ++i) DrawTitleBar(dc, pm);
    ::GdiFlush();
    double titleBar = Now() - t0;
    t0 = Now();
    for (int i = 0; i < frames; ++i) ::BitBlt(dc, 0, 0, 1200, 36, source, 0, 0, SRCCOPY);
    ::GdiFlush();
    double blit = Now() - t0;
    std::printf("title bar x%d: %.1f ms (%.1f us/frame); BitBlt 1200x36 x%d: %.1f ms; ratio %.1f\n", frames,
                titleBar * 1e3, titleBar * 1e6 / frames, frames, blit * 1e3, titleBar / blit);

    // About 10 KB of marked-up text and the same text without tags.
    std::wstring html, plain;
    while (html.size() * sizeof(wchar_t) < 10 * 1024) {
        html += L"Plain words <b>bold words</b> and <c #FFFF0000>red words</c> with a <a http://x/>link</a> "
                L"and <u>underlined</u> text.<n>";
        plain += L"Plain words bold words and red words with a link and underlined text.\n";
    }
    Gdi::MemoryDC textDC(nullptr);
    Gdi::Dib32 page;
    if (!page.Create(1200, 4000)) return 1;
    Gdi::Select selPage(textDC, page.bitmap);
    const int rounds = 50;
    RECT links[16];
    CUiString linkTexts[16];
    t0 = Now();
    for (int i = 0; i < rounds; ++i) {
        RECT rc = {0, 0, 1200, 4000};
        int count = 16;
        CRenderEngine::DrawHtmlText(textDC, &pm, rc, html.c_str(), 0xFF000000, links, linkTexts, count, DT_WORDBREAK);
    }
    double htmlTime = Now() - t0;
    t0 = Now();
    for (int i = 0; i < rounds; ++i) {
        RECT rc = {0, 0, 1200, 4000};
        Gdi::Select font(textDC, pm.GetDefaultFontInfo()->hFont);
        ::DrawTextW(textDC, plain.c_str(), -1, &rc, DT_WORDBREAK | DT_NOPREFIX);
    }
    double plainTime = Now() - t0;
    std::printf("DrawHtmlText %u chars x%d: %.1f ms (%.2f ms each); DrawTextW x%d: %.1f ms; ratio %.1f\n",
                static_cast<unsigned>(html.size()), rounds, htmlTime * 1e3, htmlTime * 1e3 / rounds, rounds,
                plainTime * 1e3, htmlTime / plainTime);
    return 0;
}
