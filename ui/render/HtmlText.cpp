// Layout and drawing of marked-up label text.
#include "ui/render/RenderEngine.h"

#include "ui/base/AttributeValue.h"
#include "ui/paint/PaintManagerUI.h"
#include "ui/images/GdiHandles.h"
#include "ui/render/RenderCache.h"
#include "ui/render/HtmlTokenizer.h"
#include "ui/render/TextFontSelection.h"

#include <algorithm>
#include <cwchar>
#include <cwctype>

namespace SkinUI {

namespace {

int FontHeight(const TFontInfo* font) { return font->tm.tmHeight + font->tm.tmExternalLeading; }

bool IsAsciiLetter(wchar_t c) { return (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z'); }

bool ContainsPoint(const RECT& rc, POINT pt)
{
    return pt.x >= rc.left && pt.x < rc.right && pt.y >= rc.top && pt.y < rc.bottom;
}

// Splits "logo.png 2 1" or "file='a.png' restype='PNG' 2 1" into the image
// description, the frame count and the frame index.
struct InlineImage {
    CUiString name;
    CUiString type;
    int frames = 1;
    int frame = 0;
};

InlineImage ParseInlineImage(const std::wstring& args)
{
    using namespace AttributeValue;
    InlineImage image;
    LPCTSTR rest = args.c_str();
    if (args.find(L"file='") != std::wstring::npos || args.find(L"res='") != std::wstring::npos) {
        DescriptionReader reader(args.c_str());
        CUiString key, value, res;
        while (reader.Next(key, value)) {
            if (key == L"file")
                image.name = value;
            else if (key == L"res")
                res = value;
            else if (key == L"restype")
                image.type = value;
        }
        if (image.name.IsEmpty()) image.name = res;
        rest = reader.Rest();
    } else {
        size_t end = args.find(L' ');
        if (end == std::wstring::npos) end = args.size();
        image.name = CUiString(args.c_str(), static_cast<int>(end));
        rest += end;
    }
    LPCTSTR end = rest;
    const int frames = ParseInt(rest, &end);
    if (end != rest) {
        image.frames = frames >= 1 ? frames : 1;
        rest = end;
        const int frame = ParseInt(rest, &end);
        if (end != rest) image.frame = frame >= 0 && frame < image.frames ? frame : 0;
    }
    return image;
}

// The link rectangles of the previous paint: they decide which link is
// under the mouse.
struct PreviousLink {
    RECT rc;
    CUiString text;
};

std::vector<PreviousLink> PreviousLinks(const RECT* links, const CUiString* linkTexts, int capacity)
{
    std::vector<PreviousLink> previous;
    if (links && linkTexts) {
        for (int i = 0; i < capacity; ++i) previous.push_back({links[i], linkTexts[i]});
    }
    return previous;
}

bool UnderMouse(const std::vector<PreviousLink>& previous, POINT mouse, const CUiString& text)
{
    for (const auto& link : previous) {
        if (link.text == text.GetData() && ContainsPoint(link.rc, mouse)) return true;
    }
    return false;
}

class HtmlLayout {
public:
    // What the layout draws is also written to `record` (when given), placed
    // relative to `origin`.
    HtmlLayout(HDC hdc, CPaintManagerUI* pm, const RECT& rc, DWORD textColor, RECT* links, CUiString* linkTexts,
               int linkCapacity, UINT style, HtmlTextLayout* record, POINT origin)
        : m_hdc(hdc), m_pm(pm), m_rc(rc), m_textColor(textColor), m_links(links), m_linkTexts(linkTexts),
          m_linkCapacity(linkCapacity), m_style(style), m_record(record), m_origin(origin),
          // Read before drawing overwrites them.
          m_previousLinks(PreviousLinks(links, linkTexts, linkCapacity))
    {}

    // Lays out and (unless measuring) draws; returns the total line height.
    int Run(const std::vector<HtmlToken>& tokens)
    {
        m_tokens = &tokens;
        State state;
        state.fonts.push_back(m_pm->GetDefaultFontInfo());
        int y = m_rc.top;
        int total = 0;
        while (state.token < tokens.size() && !state.stopped) {
            if (y >= m_rc.bottom && y > m_rc.top) break;
            // First pass: measure the line; second pass: draw it.
            State probe = state;
            LineResult measured = RunLine(probe, y, 0, false);
            const int height = measured.height;
            LineResult drawn = RunLine(state, y, height, true);
            m_maxWidth = std::max(m_maxWidth, drawn.width);
            y += height;
            total += height;
            m_lastBottom = y;
            m_ranLines = true;
            if (!drawn.progressed) break;
            if (m_style & DT_SINGLELINE) break;
        }
        return total;
    }

    int MaxWidth() const { return m_maxWidth; }
    int LastBottom() const { return m_lastBottom; }
    int LinkCount() const { return m_linkCount; }
    bool RanLines() const { return m_ranLines; }

private:
    struct State {
        size_t token = 0;
        size_t offset = 0;  // into the current text token
        std::vector<TFontInfo*> fonts;
        std::vector<DWORD> colors;
        bool inLink = false;
        CUiString linkText;
        int linkStartX = 0;
        bool selected = false;
        int paragraphMin = 0;
        bool stopped = false;  // an ellipsis ended the text
    };
    struct LineResult {
        int height = 0;
        int width = 0;
        bool progressed = false;
    };

    TFontInfo* CurrentFont(const State& s) const { return s.fonts.back(); }
    DWORD CurrentColor(const State& s) const { return s.colors.empty() ? m_textColor : s.colors.back(); }
    bool Painting(bool draw) const { return draw && !(m_style & DT_CALCRECT); }

    TFontInfo* Variant(const TFontInfo* base, LPCTSTR face, int size, bool bold, bool underline, bool italic)
    {
        HFONT font = m_pm->GetFont(face ? face : base->sFontName.GetData(), size, bold, underline, italic);
        if (!font) font = m_pm->AddFont(face ? face : base->sFontName.GetData(), size, bold, underline, italic);
        if (!font) return const_cast<TFontInfo*>(base);
        return m_pm->GetFontInfo(font);
    }

    TFontInfo* FontFromArguments(const TFontInfo* base, const std::wstring& args)
    {
        if (!args.empty() && args[0] >= L'0' && args[0] <= L'9') {
            return m_pm->GetFontInfo(AttributeValue::ParseInt(args.c_str()));
        }
        // face [size] [bold] [underline] [italic]
        std::vector<std::wstring> words;
        size_t i = 0;
        while (i < args.size()) {
            while (i < args.size() && args[i] == L' ') ++i;
            size_t start = i;
            while (i < args.size() && args[i] != L' ') ++i;
            if (i > start) words.push_back(args.substr(start, i - start));
        }
        if (words.empty()) return const_cast<TFontInfo*>(base);
        int size = 10;
        bool bold = false, underline = false, italic = false;
        for (size_t w = 1; w < words.size(); ++w) {
            std::wstring word = words[w];
            for (auto& c : word) c = static_cast<wchar_t>(std::towlower(c));
            if (!word.empty() && word[0] >= L'0' && word[0] <= L'9')
                size = AttributeValue::ParseInt(word.c_str());
            else if (word == L"bold")
                bold = true;
            else if (word == L"underline")
                underline = true;
            else if (word == L"italic")
                italic = true;
        }
        return Variant(base, words[0].c_str(), size, bold, underline, italic);
    }

    void RecordLink(State& s, int x, int lineTop, int lineHeight)
    {
        if (!m_links || !m_linkTexts || m_linkCount >= m_linkCapacity) return;
        RECT rc = {s.linkStartX, lineTop, x, lineTop + lineHeight};
        m_links[m_linkCount] = rc;
        m_linkTexts[m_linkCount] = s.linkText;
        ++m_linkCount;
        if (m_record) {
            ::OffsetRect(&rc, -m_origin.x, -m_origin.y);
            m_record->links.push_back({rc, s.linkText});
        }
    }

    bool LinkUnderMouse(const CUiString& text)
    {
        const bool under = UnderMouse(m_previousLinks, m_pm->GetMousePos(), text);
        if (m_record) m_record->hovers.push_back({text, under});
        return under;
    }

    void PopFont(State& s, int& x)
    {
        if (s.fonts.size() <= 1) return;
        TFontInfo* popped = s.fonts.back();
        s.fonts.pop_back();
        if (popped->bItalic && !CurrentFont(s)->bItalic) {
            Gdi::Select sel(m_hdc, popped->hFont);
            SIZE blank = {0, 0};
            ::GetTextExtentPoint32W(m_hdc, L" ", 1, &blank);
            x += blank.cx / 2;
        }
    }

    void DrawRun(const State& s, const wchar_t* text, int length, int x, int lineTop, int lineHeight)
    {
        TFontInfo* font = CurrentFont(s);
        Gdi::Select sel(m_hdc, font->hFont);
        const int top = lineTop + lineHeight - FontHeight(font);
        const COLORREF color = CRenderEngine::ToPenColor(CurrentColor(s));
        COLORREF background = 0;
        ::SetTextColor(m_hdc, color);
        if (s.selected) {
            DWORD bk = m_pm->GetDefaultSelectedBkColor();
            background = RGB((bk >> 16) & 0xFF, (bk >> 8) & 0xFF, bk & 0xFF);
            ::SetBkMode(m_hdc, OPAQUE);
            ::SetBkColor(m_hdc, background);
        } else {
            ::SetBkMode(m_hdc, TRANSPARENT);
        }
        ::TextOutW(m_hdc, x, top, text, length);
        if (m_record) {
            HtmlTextRun run;
            run.font = font->hFont;
            run.color = color;
            run.opaque = s.selected;
            run.background = background;
            run.x = x - m_origin.x;
            run.y = top - m_origin.y;
            run.start = m_record->characters.size();
            run.length = static_cast<size_t>(length);
            m_record->characters.append(text, static_cast<size_t>(length));
            m_record->runs.push_back(run);
        }
    }

    // One line from the state's position. With `draw`, lineHeight is the
    // measured height and the line is painted; without, only measured.
    LineResult RunLine(State& s, int lineTop, int lineHeight, bool draw)
    {
        const std::vector<HtmlToken>& tokens = *m_tokens;
        LineResult result;
        int x = m_rc.left;
        int height = 0;
        bool content = false;
        const size_t startToken = s.token, startOffset = s.offset;
        if (s.inLink) s.linkStartX = x;
        m_lineMin = s.paragraphMin;
        auto grow = [&](int h) { height = std::max(height, h); };

        bool lineEnded = false;
        while (s.token < tokens.size() && !lineEnded && !s.stopped) {
            const HtmlToken& t = tokens[s.token];
            switch (t.kind) {
            case HtmlToken::LineFeed:
                ++s.token;
                lineEnded = true;
                break;
            case HtmlToken::Text: {
                TFontInfo* font = CurrentFont(s);
                const wchar_t* run = t.text.c_str() + s.offset;
                const int length = static_cast<int>(t.text.size() - s.offset);
                Gdi::Select sel(m_hdc, font->hFont);
                SIZE extent = {0, 0};
                int fit = length;
                const int available = m_rc.right - x;
                // Cheap estimate first: only a run that might reach the
                // right edge is measured character by character.
                bool fits = static_cast<long long>(length) * font->tm.tmMaxCharWidth <= available;
                if (!fits) {
                    // No more characters than pixels can fit, so a long run
                    // costs one line's worth of measuring per line, not the
                    // whole rest of the run each time.
                    const int probe = std::min(length, std::max(available, 0) + 1);
                    ::GetTextExtentExPointW(m_hdc, run, probe, std::max(available, 0), &fit, nullptr, &extent);
                    fits = fit >= length;
                }
                if (fits) {
                    ::GetTextExtentPoint32W(m_hdc, run, length, &extent);
                    grow(FontHeight(font));
                    if (Painting(draw)) DrawRun(s, run, length, x, lineTop, lineHeight);
                    x += extent.cx;
                    content = true;
                    ++s.token;
                    s.offset = 0;
                    break;
                }
                int cut = fit;
                bool skipBlank = false;
                if (m_style & DT_WORDBREAK) {
                    // Break after the last non-letter that fits, or right
                    // before a non-letter that does not; a word never splits
                    // unless it alone is wider than the line.
                    int breakAt = -1;
                    if (fit < length && !IsAsciiLetter(run[fit])) {
                        breakAt = fit;
                        skipBlank = run[fit] == L' ';
                    } else {
                        for (int i = fit - 1; i >= 0; --i) {
                            if (!IsAsciiLetter(run[i])) {
                                breakAt = i + 1;
                                break;
                            }
                        }
                    }
                    if (breakAt > 0)
                        cut = breakAt;
                    else if (content)
                        cut = 0;  // the word moves to the next line
                }
                const bool lastLine = (m_style & DT_SINGLELINE) ||
                                      lineTop + std::max(height, FontHeight(font)) + FontHeight(font) > m_rc.bottom;
                if ((m_style & DT_END_ELLIPSIS) && lastLine) {
                    cut = std::max(0, fit - 2);
                    grow(FontHeight(font));
                    if (Painting(draw)) {
                        DrawRun(s, run, cut, x, lineTop, lineHeight);
                        SIZE w = {0, 0};
                        ::GetTextExtentPoint32W(m_hdc, run, cut, &w);
                        DrawRun(s, L"...", 3, x + w.cx, lineTop, lineHeight);
                    }
                    SIZE w = {0, 0};
                    ::GetTextExtentPoint32W(m_hdc, run, cut, &w);
                    SIZE dots = {0, 0};
                    ::GetTextExtentPoint32W(m_hdc, L"...", 3, &dots);
                    x += w.cx + dots.cx;
                    content = true;
                    s.stopped = true;
                    lineEnded = true;
                    break;
                }
                if (cut <= 0 && !content) cut = std::max(1, fit);
                if (cut > 0) {
                    ::GetTextExtentPoint32W(m_hdc, run, cut, &extent);
                    grow(FontHeight(font));
                    if (Painting(draw)) DrawRun(s, run, cut, x, lineTop, lineHeight);
                    x += extent.cx;
                    content = true;
                    s.offset += cut;
                    if (skipBlank && cut == fit) ++s.offset;  // the wrapped line starts at the word
                    if (s.offset >= t.text.size()) {
                        ++s.token;
                        s.offset = 0;
                    }
                }
                lineEnded = true;
                break;
            }
            case HtmlToken::Open:
                lineEnded = OpenTag(s, t, x, height, content, lineTop, lineHeight, draw);
                break;
            case HtmlToken::Close:
                CloseTag(s, t.letter, x, lineTop, lineHeight, draw);
                ++s.token;
                break;
            }
        }

        if (!content) grow(FontHeight(CurrentFont(s)));
        height = std::max(height, m_lineMin);
        if (draw && s.inLink) RecordLink(s, x, lineTop, lineHeight);
        result.height = height;
        result.width = x - m_rc.left;
        result.progressed = s.token != startToken || s.offset != startOffset;
        return result;
    }

    // Returns true when the tag ends the line.
    bool OpenTag(State& s, const HtmlToken& t, int& x, int& height, bool& content, int lineTop, int lineHeight,
                 bool draw)
    {
        TFontInfo* font = CurrentFont(s);
        switch (t.letter) {
        case L'a': {
            s.inLink = true;
            s.linkText = t.text.c_str();
            s.linkStartX = x;
            s.colors.push_back(LinkUnderMouse(s.linkText) ? m_pm->GetDefaultLinkHoverFontColor()
                                                          : m_pm->GetDefaultLinkFontColor());
            s.fonts.push_back(Variant(font, nullptr, font->iSize, font->bBold, true, font->bItalic));
            break;
        }
        case L'b':
            s.fonts.push_back(Variant(font, nullptr, font->iSize, true, font->bUnderline, font->bItalic));
            break;
        case L'u':
            s.fonts.push_back(Variant(font, nullptr, font->iSize, font->bBold, true, font->bItalic));
            break;
        case L'c': {
            s.colors.push_back(AttributeValue::ParseColor(t.text.c_str()));
            break;
        }
        case L'f':
            s.fonts.push_back(FontFromArguments(font, t.text));
            break;
        case L'i':
            if (t.text.empty()) {
                s.fonts.push_back(Variant(font, nullptr, font->iSize, font->bBold, font->bUnderline, true));
            } else {
                if (m_record) m_record->keepable = false;  // the image may be reloaded or removed
                InlineImage inlineImage = ParseInlineImage(t.text);
                LPCTSTR type = inlineImage.type.IsEmpty() ? nullptr : inlineImage.type.GetData();
                const TImageInfo* base =
                    inlineImage.name.IsEmpty() ? nullptr : m_pm->GetImageEx(inlineImage.name, type, 0);
                if (base) {
                    // The frames are cut from the 100 % picture; the one
                    // drawn is the density's picture, its frame edges
                    // scaled like every other skin length.
                    const int frameWidth = base->nX / inlineImage.frames;
                    const int w = m_pm->ScaleValue(frameWidth);
                    const int h = m_pm->ScaleValue(base->nY);
                    if (content && x + w > m_rc.right) return true;  // starts the next line
                    if (Painting(draw)) {
                        const TImageInfo* image = m_pm->GetImageForDpi(inlineImage.name, type, 0);
                        const int frameLeft = frameWidth * inlineImage.frame;
                        RECT source = {frameLeft, 0, frameLeft + frameWidth, base->nY};
                        if (image != base) source = m_pm->ScaleValue(source);
                        const int top = lineTop + (h < lineHeight ? (lineHeight - h) / 2 : 0);
                        RECT dest = {x, top, x + w, top + h};
                        RECT corners = {0, 0, 0, 0};
                        CRenderEngine::DrawImage(m_hdc, image->hBitmap, dest, m_rc, source, corners,
                                                 image->alphaChannel, 255);
                    }
                    x += w;
                    height = std::max(height, h);
                    content = true;
                }
            }
            break;
        case L'n':
            if (!(m_style & DT_SINGLELINE)) {
                ++s.token;
                return true;
            }
            break;
        case L'p':
            s.paragraphMin = AttributeValue::SaturatingAdd(m_pm->ScaleValue(AttributeValue::ParseInt(t.text.c_str())),
                                                           FontHeight(font));
            if (content) {
                ++s.token;
                return true;  // the paragraph starts on the next line
            }
            m_lineMin = std::max(m_lineMin, s.paragraphMin);
            break;
        case L's':
            s.selected = !s.selected;
            break;
        case L'x':
            x = AttributeValue::SaturatingAdd(x, m_pm->ScaleValue(AttributeValue::ParseInt(t.text.c_str())));
            break;
        case L'y':
            m_lineMin = std::max(m_lineMin, m_pm->ScaleValue(AttributeValue::ParseInt(t.text.c_str())));
            break;
        default:
            break;  // <r> is handled by the tokenizer; unknown tags do nothing
        }
        ++s.token;
        return false;
    }

    void CloseTag(State& s, wchar_t letter, int& x, int lineTop, int lineHeight, bool draw)
    {
        switch (letter) {
        case L'a':
            if (draw && s.inLink) RecordLink(s, x, lineTop, lineHeight);
            s.inLink = false;
            if (!s.colors.empty()) s.colors.pop_back();
            PopFont(s, x);
            break;
        case L'b':
        case L'f':
        case L'i':
        case L'u':
            PopFont(s, x);
            break;
        case L'c':
            if (!s.colors.empty()) s.colors.pop_back();
            break;
        case L'p':
            s.paragraphMin = 0;
            break;
        default:
            break;
        }
    }

    HDC m_hdc;
    CPaintManagerUI* m_pm;
    RECT m_rc;
    DWORD m_textColor;
    RECT* m_links;
    CUiString* m_linkTexts;
    int m_linkCapacity;
    UINT m_style;
    HtmlTextLayout* m_record;
    POINT m_origin;
    std::vector<PreviousLink> m_previousLinks;
    const std::vector<HtmlToken>* m_tokens = nullptr;
    int m_linkCount = 0;
    int m_maxWidth = 0;
    int m_lastBottom = 0;
    bool m_ranLines = false;
    int m_lineMin = 0;  // paragraph minimum and <y> of the current line
};

void DrawRuns(HDC hDC, const RECT& rc, const HtmlTextLayout& layout)
{
    TextFontSelection fonts(hDC);
    for (const HtmlTextRun& run : layout.runs) {
        fonts.Use(run.font);
        ::SetTextColor(hDC, run.color);
        if (run.opaque) {
            ::SetBkMode(hDC, OPAQUE);
            ::SetBkColor(hDC, run.background);
        } else {
            ::SetBkMode(hDC, TRANSPARENT);
        }
        ::TextOutW(hDC, rc.left + run.x, rc.top + run.y, layout.characters.c_str() + run.start,
                   static_cast<int>(run.length));
    }
}

// Draws a kept layout into `rc` as the layout that made it did: the same
// runs with the same clip. `clipStore` (may be null) holds the caller's
// clip meanwhile.
int Replay(HDC hDC, RECT& rc, const HtmlTextLayout& layout, HRGN clipStore, RECT* pLinks, CUiString* sLinks,
           int& nLinkRects, UINT uStyle)
{
    if (!layout.runs.empty()) {
        const int hadClip = clipStore ? ::GetClipRgn(hDC, clipStore) : -1;
        if (hadClip >= 0) {
            // What drawing changes is put back by hand rather than by saving
            // and restoring the whole device context.
            const COLORREF textColor = ::GetTextColor(hDC);
            const COLORREF bkColor = ::GetBkColor(hDC);
            const int bkMode = ::GetBkMode(hDC);
            if (!(uStyle & DT_CALCRECT)) ::IntersectClipRect(hDC, rc.left, rc.top, rc.right, rc.bottom);
            DrawRuns(hDC, rc, layout);
            ::SelectClipRgn(hDC, hadClip == 1 ? clipStore : nullptr);
            ::SetBkMode(hDC, bkMode);
            ::SetBkColor(hDC, bkColor);
            ::SetTextColor(hDC, textColor);
        } else {
            Gdi::SavedState saved(hDC);
            CRenderClip clip;
            if (!(uStyle & DT_CALCRECT)) {
                RECT clipRect = rc;
                CRenderClip::GenerateClip(hDC, clipRect, clip);
            }
            DrawRuns(hDC, rc, layout);
        }
    }
    // Kept only with the same link capacity, so every link fits.
    nLinkRects = 0;
    if (pLinks && sLinks) {
        for (const HtmlTextLayout::Link& link : layout.links) {
            pLinks[nLinkRects] = link.rc;
            ::OffsetRect(&pLinks[nLinkRects], rc.left, rc.top);
            sLinks[nLinkRects] = link.text;
            ++nLinkRects;
        }
    }
    if (uStyle & DT_CALCRECT) {
        rc.right = rc.left + layout.maxWidth;
        rc.bottom = rc.top + std::max(0, layout.lastBottom);
    }
    return layout.total;
}

// Whether every link the layout coloured is under the mouse now exactly
// when it was then.
bool SameLinksUnderMouse(const HtmlTextLayout& layout, CPaintManagerUI* pManager, const RECT* pLinks,
                         const CUiString* sLinks, int capacity)
{
    if (layout.hovers.empty()) return true;
    const std::vector<PreviousLink> previous = PreviousLinks(pLinks, sLinks, capacity);
    const POINT mouse = pManager->GetMousePos();
    for (const HtmlTextLayout::Hover& hover : layout.hovers) {
        if (UnderMouse(previous, mouse, hover.text) != hover.underMouse) return false;
    }
    return true;
}

}  // namespace

int CRenderEngine::DrawHtmlText(HDC hDC, CPaintManagerUI* pManager, RECT& rc, LPCTSTR pstrText, DWORD dwTextColor,
                                RECT* pLinks, CUiString* sLinks, int& nLinkRects, UINT uStyle)
{
    const int capacity = std::max(0, nLinkRects);
    nLinkRects = 0;
    if (!hDC || !pManager || !pstrText || !*pstrText) return 0;

    if (std::wcsstr(pstrText, L"ID")) {
        LPCTSTR replacement = pManager->GetLanguageAttributeList(pstrText);
        if (replacement && *replacement) pstrText = replacement;
    }

    HtmlTextKey key;
    key.text = pstrText;
    key.style = uStyle;
    key.width = rc.right - rc.left;
    key.height = rc.bottom - rc.top;
    key.textColor = dwTextColor;
    key.linkCapacity = pLinks && sLinks ? capacity : -1;
    key.linkColor = pManager->GetDefaultLinkFontColor();
    key.linkHoverColor = pManager->GetDefaultLinkHoverFontColor();
    key.selectedColor = pManager->GetDefaultSelectedBkColor();
    HtmlTextCache& cache = RenderCache::Of(*pManager).texts;
    if (const HtmlTextLayout* kept = cache.Find(key)) {
        if (SameLinksUnderMouse(*kept, pManager, pLinks, sLinks, capacity))
            return Replay(hDC, rc, *kept, cache.ClipStore(), pLinks, sLinks, nLinkRects, uStyle);
    }

    RECT area = rc;
    if (!(uStyle & DT_CALCRECT) && (uStyle & (DT_CENTER | DT_RIGHT | DT_VCENTER | DT_BOTTOM))) {
        RECT measure = {0, 0, 9999, 100};
        int none = 0;
        DrawHtmlText(hDC, pManager, measure, pstrText, dwTextColor, nullptr, nullptr, none,
                     (uStyle & ~(DT_CENTER | DT_RIGHT | DT_VCENTER | DT_BOTTOM)) | DT_CALCRECT);
        const int mw = measure.right - measure.left;
        const int mh = measure.bottom - measure.top;
        if (uStyle & DT_SINGLELINE) {
            const int w = area.right - area.left;
            if (mw < w) {
                if (uStyle & DT_CENTER) {
                    area.left += (w - mw) / 2;
                    area.right = area.left + mw;
                } else if (uStyle & DT_RIGHT) {
                    area.left = area.right - mw;
                }
            }
        }
        const int h = area.bottom - area.top;
        if (mh < h) {
            if (uStyle & DT_VCENTER) {
                area.top += (h - mh) / 2;
                area.bottom = area.top + mh;
            } else if (uStyle & DT_BOTTOM) {
                area.top = area.bottom - mh;
            }
        }
    }

    std::vector<HtmlToken> tokens = TokenizeHtml(pstrText);
    Gdi::SavedState saved(hDC);
    CRenderClip clip;
    if (!(uStyle & DT_CALCRECT)) {
        RECT clipRect = rc;
        CRenderClip::GenerateClip(hDC, clipRect, clip);
    }

    HtmlTextLayout record;
    const POINT origin = {rc.left, rc.top};
    HtmlLayout layout(hDC, pManager, area, dwTextColor, pLinks, sLinks, capacity, uStyle, &record, origin);
    const int total = layout.Run(tokens);
    nLinkRects = layout.LinkCount();
    if (uStyle & DT_CALCRECT) {
        rc.right = rc.left + layout.MaxWidth();
        rc.bottom = std::max<LONG>(rc.top, layout.LastBottom());
    }
    // A layout that drew no line has no bottom of its own to keep.
    if (record.keepable && layout.RanLines()) {
        record.total = total;
        record.maxWidth = layout.MaxWidth();
        record.lastBottom = layout.LastBottom() - origin.y;
        cache.Keep(key, std::move(record));
    }
    return total;
}

}  // namespace SkinUI
