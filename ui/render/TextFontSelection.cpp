#include "ui/render/TextFontSelection.h"

#include "ui/render/PaintScratch.h"

namespace SkinUI {

TextFontSelection::TextFontSelection(HDC dc) : m_dc(dc), m_scratch(PaintScratch::Current()) {}

TextFontSelection::~TextFontSelection()
{
    if (m_original != nullptr) ::SelectObject(m_dc, m_original);
}

void TextFontSelection::Use(HFONT font)
{
    if (font == nullptr || font == m_current) return;
    m_current = font;
    if (m_scratch != nullptr) {
        m_scratch->SelectFont(m_dc, font);
        return;
    }
    HGDIOBJ previous = ::SelectObject(m_dc, font);
    if (m_original == nullptr) m_original = previous;
}

}  // namespace SkinUI
