#pragma once
// The font selection of one text drawing. Inside a tree's paint the fonts
// are selected through the window's PaintScratch, which leaves the last one
// selected for the next text (see there); outside a paint the context gets
// its own font back when the drawing ends.

#include "ui/base/Platform.h"

namespace SkinUI {

class PaintScratch;

class TextFontSelection {
public:
    explicit TextFontSelection(HDC dc);
    ~TextFontSelection();
    TextFontSelection(const TextFontSelection&) = delete;
    TextFontSelection& operator=(const TextFontSelection&) = delete;

    // Makes `font` the context's font.
    void Use(HFONT font);

private:
    HDC m_dc;
    PaintScratch* m_scratch;
    HFONT m_current = nullptr;
    HGDIOBJ m_original = nullptr;  // outside a paint: the font to put back
};

}  // namespace SkinUI
