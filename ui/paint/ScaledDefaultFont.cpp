#include "ui/paint/ScaledDefaultFont.h"

#include "ui/base/DpiScale.h"
#include "ui/paint/DefaultFont.h"

namespace SkinUI {

tagTFontInfo* ScaledDefaultFont::At(int dpi, HDC hdc)
{
    tagTFontInfo& shared = DefaultFont::Info();
    if (dpi == kBaseDpi || shared.hFont == nullptr) return &shared;
    if (m_dpi == dpi && m_revision == DefaultFont::Revision() && m_info.hFont != nullptr) return &m_info;

    HFONT font = FontTable::CreateFromStock(shared.sFontName, ScaleForDpi(shared.iSize, dpi), shared.bBold,
                                            shared.bUnderline, shared.bItalic);
    if (font == nullptr) return &shared;
    m_fonts.emplace_back(font);
    m_info = shared;  // the same description: iSize stays the 100 % size
    m_info.hFont = font;
    m_info.tm = TEXTMETRIC{};
    FontTable::ComputeMetrics(m_info, hdc);
    m_dpi = dpi;
    m_revision = DefaultFont::Revision();
    return &m_info;
}

}  // namespace SkinUI
