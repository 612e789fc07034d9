#pragma once
// Laid-out marked-up text of one window, kept from paint to paint.
//
// Laying out marked-up text means tokenizing it and measuring every run,
// often twice (alignment measures first); a label's text rarely changes
// between paints. A layout is kept as what it drew: each run's font,
// colours, place and characters, the link rectangles and the measures, all
// relative to the top-left corner of the rectangle it was given. A later
// paint of the same text, style, size and colours draws the same runs again
// (the picture is the same: the same TextOutW calls in the same state).
//
// A kept layout holds while no font of any window changes (the font handles
// it names stay valid and measure the same); a layout that coloured links
// holds while the same links are under the mouse. Layouts with inline
// images are never kept: images can be reloaded or removed.

#include "ui/base/Platform.h"
#include "ui/base/UiString.h"
#include "ui/images/GdiHandles.h"

#include <string>
#include <unordered_map>
#include <vector>

namespace SkinUI {

// One TextOutW of a layout.
struct HtmlTextRun {
    HFONT font = nullptr;
    COLORREF color = 0;
    bool opaque = false;  // selected text: drawn on `background`
    COLORREF background = 0;
    int x = 0;
    int y = 0;
    size_t start = 0;  // into HtmlTextLayout::characters
    size_t length = 0;
};

struct HtmlTextLayout {
    struct Link {
        RECT rc;
        CUiString text;
    };
    // A link the layout coloured, and whether it was under the mouse then.
    struct Hover {
        CUiString text;
        bool underMouse;
    };

    std::vector<HtmlTextRun> runs;
    std::wstring characters;
    std::vector<Link> links;
    std::vector<Hover> hovers;
    int total = 0;       // the height DrawHtmlText answers
    int maxWidth = 0;    // widest line
    int lastBottom = 0;  // bottom of the last line
    bool keepable = true;
};

// What a layout depends on besides the fonts and the mouse.
struct HtmlTextKey {
    std::wstring text;
    UINT style = 0;
    int width = 0;
    int height = 0;
    DWORD textColor = 0;
    int linkCapacity = -1;  // -1: no link arrays
    DWORD linkColor = 0;
    DWORD linkHoverColor = 0;
    DWORD selectedColor = 0;

    bool operator==(const HtmlTextKey& other) const;
};

// One window's kept layouts (part of its RenderCache).
class HtmlTextCache {
public:
    HtmlTextCache();
    HtmlTextCache(const HtmlTextCache&) = delete;
    HtmlTextCache& operator=(const HtmlTextCache&) = delete;

    // The layout kept for `key` while the fonts are as they were; null
    // otherwise. The caller checks the hovers.
    const HtmlTextLayout* Find(const HtmlTextKey& key) const;
    void Keep(const HtmlTextKey& key, HtmlTextLayout layout);
    size_t Size() const { return m_entries.size(); }
    // A region to hold a device context's clip while a kept layout is drawn
    // (made with the cache, so that drawing makes no GDI object); null when
    // GDI refused it.
    HRGN ClipStore() const { return m_clipStore.Get(); }

private:
    struct KeyHash {
        size_t operator()(const HtmlTextKey& key) const;
    };
    struct Entry {
        HtmlTextLayout layout;
        unsigned long fontGeneration;
    };
    std::unordered_map<HtmlTextKey, Entry, KeyHash> m_entries;
    Gdi::Region m_clipStore;
};

}  // namespace SkinUI
