#pragma once
// The custom fonts of one window, indexed from 0 in the order added (the
// "font" attribute of controls holds such an index). The table owns every
// font and its record: a record and its font go together.

#include "ui/base/Platform.h"
#include "ui/base/UiString.h"
#include "ui/images/GdiHandles.h"

#include <memory>
#include <vector>

namespace SkinUI {

// One font of a window (or the process-wide default font). `hFont` is a view:
// whoever keeps the record owns the font.
struct tagTFontInfo {
    HFONT hFont = nullptr;
    CUiString sFontName;  // face as requested (at most 31 units reach GDI)
    int iSize = 0;        // pixels at 100 %; the font's height is -iSize scaled to the window
    bool bBold = false;
    bool bUnderline = false;
    bool bItalic = false;
    TEXTMETRIC tm = {};  // tmHeight 0 until computed
};
typedef tagTFontInfo TFontInfo;

class FontTable {
public:
    FontTable() = default;
    ~FontTable();
    FontTable(const FontTable&) = delete;
    FontTable& operator=(const FontTable&) = delete;

    // A font from the stock GUI font's description with `face`, the height
    // -`size`, 700 more weight when bold, and the given underline and italic;
    // null when GDI refuses.
    static HFONT CreateFromStock(LPCTSTR face, int size, bool bold, bool underline, bool italic);
    // Fills the record's text metrics with `hdc` (the screen's when null).
    static void ComputeMetrics(tagTFontInfo& info, HDC hdc);
    static bool Matches(const tagTFontInfo& info, LPCTSTR face, int size, bool bold, bool underline, bool italic);

    // Creates a font and inserts it at `index` (0 to Count(); other indices
    // are refused), computing its metrics when `hdc` is given. `size` is
    // the 100 % size; the font is made `dpi`'s scale of it. The font, or
    // null when it could not be made or placed (nothing is kept then).
    HFONT InsertAt(int index, LPCTSTR face, int size, bool bold, bool underline, bool italic, HDC hdc,
                   int dpi = 96);
    // Makes every font again at `dpi` from its 100 % size. The records stay
    // where they are; a font that cannot be made again keeps the old one.
    void Rescale(int dpi, HDC hdc);
    // The record at `index`, or null outside the table.
    tagTFontInfo* At(int index) const;
    tagTFontInfo* Find(LPCTSTR face, int size, bool bold, bool underline, bool italic) const;
    tagTFontInfo* Find(HFONT font) const;
    int IndexOf(HFONT font) const;
    int IndexOf(LPCTSTR face, int size, bool bold, bool underline, bool italic) const;
    // Deletes the font at `index` with its record; false outside the table.
    bool RemoveAt(int index);
    void Clear();
    int Count() const { return static_cast<int>(m_fonts.size()); }

    // Counts every change of any window's fonts, of the default font and of
    // the links between windows' resources: what was worked out with fonts
    // (a font handle, a text's measured layout) holds while it stays the same.
    static unsigned long Generation();
    static void NoteChange();

private:
    struct Entry {
        Gdi::Font font;
        tagTFontInfo info;
    };
    std::vector<std::unique_ptr<Entry>> m_fonts;
};

}  // namespace SkinUI
