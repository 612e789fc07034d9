#pragma once
// One window's copy of the process-wide default font at the window's
// density. The shared default font is kept at 100 % (it serves every window,
// and windows on different monitors draw at different densities), so a
// window drawn at another density makes its own font of the scaled height
// from the shared description, again whenever that description or the
// density changes.
//
// A copy that is replaced stays alive with the window: native children may
// have been handed it (WM_SETFONT) and keep the handle without owning it.

#include "ui/paint/FontTable.h"

#include <vector>

namespace SkinUI {

class ScaledDefaultFont {
public:
    ScaledDefaultFont() = default;
    ScaledDefaultFont(const ScaledDefaultFont&) = delete;
    ScaledDefaultFont& operator=(const ScaledDefaultFont&) = delete;

    // The default font's record at `dpi`: the shared one itself at 100 %,
    // else this window's copy, made with its metrics from `hdc` (the
    // screen's when null). When the copy cannot be made, the shared one.
    tagTFontInfo* At(int dpi, HDC hdc);

private:
    tagTFontInfo m_info;
    int m_dpi = 0;
    unsigned long m_revision = 0;
    std::vector<Gdi::Font> m_fonts;  // the current copy last
};

}  // namespace SkinUI
