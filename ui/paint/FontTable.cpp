#include "ui/paint/FontTable.h"

#include "ui/base/DpiScale.h"

#include <cwchar>

namespace SkinUI {

HFONT FontTable::CreateFromStock(LPCTSTR face, int size, bool bold, bool underline, bool italic)
{
    LOGFONTW lf = {};
    ::GetObjectW(::GetStockObject(DEFAULT_GUI_FONT), sizeof(lf), &lf);
    std::wcsncpy(lf.lfFaceName, face != nullptr ? face : L"", LF_FACESIZE - 1);
    lf.lfFaceName[LF_FACESIZE - 1] = L'\0';
    lf.lfCharSet = DEFAULT_CHARSET;
    lf.lfHeight = -size;
    if (bold) lf.lfWeight += FW_BOLD;
    if (underline) lf.lfUnderline = TRUE;
    if (italic) lf.lfItalic = TRUE;
    return ::CreateFontIndirectW(&lf);
}

void FontTable::ComputeMetrics(tagTFontInfo& info, HDC hdc)
{
    if (info.hFont == nullptr) return;
    if (hdc == nullptr) {
        Gdi::WindowDC screen(nullptr);
        ComputeMetrics(info, screen.Get());
        return;
    }
    Gdi::Select select(hdc, info.hFont);
    ::GetTextMetricsW(hdc, &info.tm);
}

bool FontTable::Matches(const tagTFontInfo& info, LPCTSTR face, int size, bool bold, bool underline, bool italic)
{
    return info.sFontName == (face != nullptr ? face : L"") && info.iSize == size && info.bBold == bold &&
           info.bUnderline == underline && info.bItalic == italic;
}

HFONT FontTable::InsertAt(int index, LPCTSTR face, int size, bool bold, bool underline, bool italic, HDC hdc,
                          int dpi)
{
    if (index < 0 || index > Count()) return nullptr;
    auto entry = std::make_unique<Entry>();
    entry->font.Reset(CreateFromStock(face, ScaleForDpi(size, dpi), bold, underline, italic));
    if (!entry->font) return nullptr;
    tagTFontInfo& info = entry->info;
    info.hFont = entry->font.Get();
    info.sFontName = face;
    info.iSize = size;
    info.bBold = bold;
    info.bUnderline = underline;
    info.bItalic = italic;
    if (hdc != nullptr) ComputeMetrics(info, hdc);
    m_fonts.insert(m_fonts.begin() + index, std::move(entry));
    NoteChange();
    return info.hFont;
}

void FontTable::Rescale(int dpi, HDC hdc)
{
    for (auto& entry : m_fonts) {
        tagTFontInfo& info = entry->info;
        HFONT font = CreateFromStock(info.sFontName, ScaleForDpi(info.iSize, dpi), info.bBold, info.bUnderline,
                                     info.bItalic);
        if (font == nullptr) continue;
        entry->font.Reset(font);
        info.hFont = font;
        info.tm = TEXTMETRIC{};
        if (hdc != nullptr) ComputeMetrics(info, hdc);
    }
    NoteChange();
}

tagTFontInfo* FontTable::At(int index) const
{
    return index >= 0 && index < Count() ? &m_fonts[static_cast<size_t>(index)]->info : nullptr;
}

tagTFontInfo* FontTable::Find(LPCTSTR face, int size, bool bold, bool underline, bool italic) const
{
    const int index = IndexOf(face, size, bold, underline, italic);
    return index >= 0 ? At(index) : nullptr;
}

tagTFontInfo* FontTable::Find(HFONT font) const
{
    const int index = IndexOf(font);
    return index >= 0 ? At(index) : nullptr;
}

int FontTable::IndexOf(HFONT font) const
{
    if (font == nullptr) return -1;
    for (size_t i = 0; i < m_fonts.size(); ++i)
        if (m_fonts[i]->info.hFont == font) return static_cast<int>(i);
    return -1;
}

int FontTable::IndexOf(LPCTSTR face, int size, bool bold, bool underline, bool italic) const
{
    for (size_t i = 0; i < m_fonts.size(); ++i)
        if (Matches(m_fonts[i]->info, face, size, bold, underline, italic)) return static_cast<int>(i);
    return -1;
}

bool FontTable::RemoveAt(int index)
{
    if (index < 0 || index >= Count()) return false;
    m_fonts.erase(m_fonts.begin() + index);
    NoteChange();
    return true;
}

void FontTable::Clear()
{
    if (m_fonts.empty()) return;
    m_fonts.clear();
    NoteChange();
}

FontTable::~FontTable() { Clear(); }

namespace {
unsigned long g_fontGeneration = 0;
}

unsigned long FontTable::Generation() { return g_fontGeneration; }

void FontTable::NoteChange() { ++g_fontGeneration; }

}  // namespace SkinUI
