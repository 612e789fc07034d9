// The paint manager's shared resources: fonts, image cache, default
// attribute lists, language strings, colours, window properties, groups.
// Each table is a part of its own (FontTable, DefaultFont, ImageCache,
// NamedStrings, ControlGroups); this file walks the parent chain over them.
#include "ui/paint/PaintManagerUI.h"

#include <commctrl.h>
#include <cwchar>

namespace SkinUI {

bool CPaintManagerUI::m_bInitAtFirst = true;
short CPaintManagerUI::m_H = 180;
short CPaintManagerUI::m_S = 100;
short CPaintManagerUI::m_L = 100;
CStdPtrArray CPaintManagerUI::m_aPreMessages;

namespace {

// Face of the shared default font, chosen once per process.
wchar_t g_defaultFace[LF_FACESIZE] = {0};

int ScreenDpi()
{
    Gdi::WindowDC screen(nullptr);
    const int dpi = screen ? ::GetDeviceCaps(screen.Get(), LOGPIXELSY) : 0;
    return dpi > 0 ? dpi : kBaseDpi;
}

bool IsBefore6()
{
    OSVERSIONINFOW version = {};
    version.dwOSVersionInfoSize = sizeof(version);
#if defined(__GNUC__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
#endif
    if (!::GetVersionExW(&version)) return false;
#if defined(__GNUC__)
#pragma GCC diagnostic pop
#endif
    return version.dwMajorVersion < 6;
}

}  // namespace

CPaintManagerUI::CPaintManagerUI()
{
    if (m_bInitAtFirst) {
        std::wcscpy(g_defaultFace, IsBefore6() ? L"\u5B8B\u4F53" : L"\u5FAE\u8F6F\u96C5\u9ED1");
        m_bInitAtFirst = false;
        INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_WIN95_CLASSES};
        ::InitCommonControlsEx(&controls);
        ::LoadLibraryW(L"msimg32.dll");
    }

    // Every window builds the shared default font from the stock GUI font
    // with the chosen face. The same font as the current one is kept as it
    // is; another one replaces it, and windows alive now keep the old one
    // valid (DefaultFont).
    LOGFONTW lf = {};
    ::GetObjectW(::GetStockObject(DEFAULT_GUI_FONT), sizeof(lf), &lf);
    std::wcsncpy(lf.lfFaceName, g_defaultFace, LF_FACESIZE - 1);
    lf.lfCharSet = DEFAULT_CHARSET;
    // The stock font is made for the screen's density when the system
    // starts; the shared font is the 100 % one, which each window scales to
    // its own density.
    lf.lfHeight = UnscaleForDpi(lf.lfHeight, ScreenDpi());
    if (DefaultFont::IsCurrent(lf)) return;
    HFONT font = ::CreateFontIndirectW(&lf);
    if (font == nullptr) return;
    DefaultFont::Replace(font, lf.lfFaceName, -lf.lfHeight, lf.lfWeight >= FW_BOLD, lf.lfUnderline != 0,
                         lf.lfItalic != 0);
}

CStdPtrArray* CPaintManagerUI::GetPaintManagers() { return &m_aPreMessages; }

void CPaintManagerUI::ReloadSkin()
{
    for (int i = 0; i < m_aPreMessages.GetSize(); ++i)
        static_cast<CPaintManagerUI*>(m_aPreMessages.GetAt(i))->ReloadAllImages();
}

// ---- window properties ----------------------------------------------------

void CPaintManagerUI::SetInitSize(int cx, int cy)
{
    m_szInitWindowSize = CUiSize(cx, cy);
    const SIZE size = GetInitSize();
    if (!m_pRoot && m_hWndPaint)
        ::SetWindowPos(m_hWndPaint, nullptr, 0, 0, size.cx, size.cy, SWP_NOZORDER | SWP_NOMOVE | SWP_NOACTIVATE);
}

void CPaintManagerUI::SetSizeBox(const RECT& rcSizeBox)
{
    m_rcSizeBox = rcSizeBox;
    m_rcSizeBoxScaled = ScaleValue(m_rcSizeBox);
}

void CPaintManagerUI::SetCaptionRect(const RECT& rcCaption)
{
    m_rcCaption = rcCaption;
    m_rcCaptionScaled = ScaleValue(m_rcCaption);
}

void CPaintManagerUI::SetTransparent(int nOpacity)
{
    m_nOpacity = nOpacity < 0 ? 0 : (nOpacity > 255 ? 255 : nOpacity);
    if (!m_hWndPaint) return;
    typedef BOOL(WINAPI * SetLayeredFn)(HWND, COLORREF, BYTE, DWORD);
    static SetLayeredFn setLayered = reinterpret_cast<SetLayeredFn>(
        reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"user32.dll"), "SetLayeredWindowAttributes")));
    if (!setLayered) return;
    LONG exStyle = ::GetWindowLongW(m_hWndPaint, GWL_EXSTYLE);
    if (nOpacity >= 0 && nOpacity <= 255) {
        ::SetWindowLongW(m_hWndPaint, GWL_EXSTYLE, exStyle | WS_EX_LAYERED);
        setLayered(m_hWndPaint, 0, static_cast<BYTE>(nOpacity), LWA_ALPHA);
    } else {
        ::SetWindowLongW(m_hWndPaint, GWL_EXSTYLE, exStyle & ~WS_EX_LAYERED);
    }
}

void CPaintManagerUI::SetShadowImage(LPCTSTR pStrImage)
{
    CUiString image(pStrImage);
    m_sShadowImage = image.GetLength() > 260 ? image.Left(260) : image;
}

// ---- colours --------------------------------------------------------------

CPaintManagerUI* CPaintManagerUI::TopmostResourceManager()
{
    CPaintManagerUI* pm = this;
    while (pm->m_pParentResourcePM) pm = pm->m_pParentResourcePM;
    return pm;
}

const CPaintManagerUI* CPaintManagerUI::TopmostResourceManager() const
{
    return const_cast<CPaintManagerUI*>(this)->TopmostResourceManager();
}

DWORD CPaintManagerUI::GetDefaultDisabledColor() const { return TopmostResourceManager()->m_dwDefaultDisabledColor; }
DWORD CPaintManagerUI::GetDefaultFontColor() const { return TopmostResourceManager()->m_dwDefaultFontColor; }
DWORD CPaintManagerUI::GetDefaultLinkFontColor() const { return TopmostResourceManager()->m_dwDefaultLinkFontColor; }
DWORD CPaintManagerUI::GetDefaultLinkHoverFontColor() const
{
    return TopmostResourceManager()->m_dwDefaultLinkHoverFontColor;
}
DWORD CPaintManagerUI::GetDefaultSelectedBkColor() const
{
    return TopmostResourceManager()->m_dwDefaultSelectedBkColor;
}

void CPaintManagerUI::SetHSL(bool, short H, short S, short L)
{
    if (m_H == H && m_S == S && m_L == L) return;
    m_H = H < 0 ? 0 : (H > 360 ? 360 : H);
    m_S = S < 0 ? 0 : (S > 200 ? 200 : S);
    m_L = L < 0 ? 0 : (L > 200 ? 200 : L);
    for (int i = 0; i < m_aPreMessages.GetSize(); ++i)
        static_cast<CPaintManagerUI*>(m_aPreMessages.GetAt(i))->InvalidateRoot();
}

void CPaintManagerUI::GetHSL(short* H, short* S, short* L)
{
    if (H) *H = m_H;
    if (S) *S = m_S;
    if (L) *L = m_L;
}

// ---- fonts ----------------------------------------------------------------

TFontInfo* CPaintManagerUI::GetDefaultFontInfo()
{
    TFontInfo& info = DefaultFont::Info();
    if (info.tm.tmHeight == 0) FontTable::ComputeMetrics(info, TopmostResourceManager()->m_hDcPaint);
    return m_scaledDefaultFont.At(m_nDpi, m_hDcPaint);
}

void CPaintManagerUI::SetDefaultFont(LPCTSTR pStrFontName, int nSize, bool bBold, bool bUnderline, bool bItalic)
{
    HFONT font = FontTable::CreateFromStock(pStrFontName, nSize, bBold, bUnderline, bItalic);
    if (font == nullptr) return;
    DefaultFont::Replace(font, pStrFontName, nSize, bBold, bUnderline, bItalic);
    if (m_hDcPaint) FontTable::ComputeMetrics(DefaultFont::Info(), m_hDcPaint);
}

DWORD CPaintManagerUI::GetCustomFontCount() const { return static_cast<DWORD>(m_fonts.Count()); }

HFONT CPaintManagerUI::AddFont(LPCTSTR pStrFontName, int nSize, bool bBold, bool bUnderline, bool bItalic)
{
    return m_fonts.InsertAt(m_fonts.Count(), pStrFontName, nSize, bBold, bUnderline, bItalic, m_hDcPaint, m_nDpi);
}

HFONT CPaintManagerUI::AddFontAt(int index, LPCTSTR pStrFontName, int nSize, bool bBold, bool bUnderline, bool bItalic)
{
    return m_fonts.InsertAt(index, pStrFontName, nSize, bBold, bUnderline, bItalic, m_hDcPaint, m_nDpi);
}

HFONT CPaintManagerUI::GetFont(int index) { return GetFontInfo(index)->hFont; }

TFontInfo* CPaintManagerUI::GetFontInfo(int index)
{
    TFontInfo* info = m_fonts.At(index);
    if (info == nullptr) return GetDefaultFontInfo();
    if (info->tm.tmHeight == 0) FontTable::ComputeMetrics(*info, m_hDcPaint);
    return info;
}

TFontInfo* CPaintManagerUI::FindFontInfo(LPCTSTR face, int size, bool bold, bool underline, bool italic) const
{
    for (const CPaintManagerUI* pm = this; pm; pm = pm->m_pParentResourcePM)
        if (TFontInfo* info = pm->m_fonts.Find(face, size, bold, underline, italic)) return info;
    return nullptr;
}

HFONT CPaintManagerUI::GetFont(LPCTSTR pStrFontName, int nSize, bool bBold, bool bUnderline, bool bItalic)
{
    TFontInfo* info = FindFontInfo(pStrFontName, nSize, bBold, bUnderline, bItalic);
    return info ? info->hFont : nullptr;
}

bool CPaintManagerUI::FindFont(LPCTSTR pStrFontName, int nSize, bool bBold, bool bUnderline, bool bItalic)
{
    return FindFontInfo(pStrFontName, nSize, bBold, bUnderline, bItalic) != nullptr;
}

bool CPaintManagerUI::FindFont(HFONT hFont)
{
    for (CPaintManagerUI* pm = this; pm; pm = pm->m_pParentResourcePM)
        if (pm->m_fonts.Find(hFont) != nullptr) return true;
    return false;
}

TFontInfo* CPaintManagerUI::GetFontInfo(HFONT hFont)
{
    for (CPaintManagerUI* pm = this; pm; pm = pm->m_pParentResourcePM) {
        if (TFontInfo* info = pm->m_fonts.Find(hFont)) {
            if (info->tm.tmHeight == 0) FontTable::ComputeMetrics(*info, pm->m_hDcPaint);
            return info;
        }
    }
    return GetDefaultFontInfo();
}

int CPaintManagerUI::GetFontIndex(HFONT hFont) { return m_fonts.IndexOf(hFont); }

int CPaintManagerUI::GetFontIndex(LPCTSTR pStrFontName, int nSize, bool bBold, bool bUnderline, bool bItalic)
{
    return m_fonts.IndexOf(pStrFontName, nSize, bBold, bUnderline, bItalic);
}

bool CPaintManagerUI::RemoveFont(HFONT hFont) { return m_fonts.RemoveAt(m_fonts.IndexOf(hFont)); }

bool CPaintManagerUI::RemoveFontAt(int index) { return m_fonts.RemoveAt(index); }

void CPaintManagerUI::RemoveAllFonts() { m_fonts.Clear(); }

// ---- images ---------------------------------------------------------------

const TImageInfo* CPaintManagerUI::GetImage(LPCTSTR bitmap)
{
    for (CPaintManagerUI* pm = this; pm; pm = pm->m_pParentResourcePM)
        if (TImageInfo* image = pm->m_images.Find(bitmap)) return image;
    return nullptr;
}

const TImageInfo* CPaintManagerUI::GetImageEx(LPCTSTR bitmap, LPCTSTR type, DWORD mask)
{
    if (TImageInfo* image = m_images.Find(bitmap)) return image;
    return AddImage(bitmap, type, mask);
}

const TImageInfo* CPaintManagerUI::GetImageForDpi(LPCTSTR bitmap, LPCTSTR type, DWORD mask)
{
    const TImageInfo* base = GetImageEx(bitmap, type, mask);
    if (base == nullptr || m_nDpi == kBaseDpi) return base;
    const TImageInfo* scaled = m_images.Scaled(bitmap, type, mask, *base, m_nDpi);
    return scaled != nullptr ? scaled : base;
}

const TImageInfo* CPaintManagerUI::AddImage(LPCTSTR bitmap, LPCTSTR type, DWORD mask)
{
    return m_images.Load(bitmap, type, mask);
}

const TImageInfo* CPaintManagerUI::AddImage(LPCTSTR bitmap, HBITMAP hBitmap, int iWidth, int iHeight, bool bAlpha)
{
    return m_images.Adopt(bitmap, hBitmap, iWidth, iHeight, bAlpha);
}

bool CPaintManagerUI::RemoveImage(LPCTSTR bitmap)
{
    // The image may live in a parent's cache; remove it from the owner.
    for (CPaintManagerUI* pm = this; pm; pm = pm->m_pParentResourcePM)
        if (pm->m_images.Find(bitmap) != nullptr) return pm->m_images.Remove(bitmap);
    return false;
}

void CPaintManagerUI::RemoveAllImages() { m_images.Clear(); }

void CPaintManagerUI::ReloadAllImages()
{
    if (m_images.ReloadAll()) InvalidateRoot();
}

// ---- default attribute lists ------------------------------------------------

void CPaintManagerUI::AddDefaultAttributeList(LPCTSTR pStrControlName, LPCTSTR pStrControlAttrList)
{
    m_defaultAttributes.Add(pStrControlName, pStrControlAttrList);
}

LPCTSTR CPaintManagerUI::GetDefaultAttributeList(LPCTSTR pStrControlName) const
{
    for (const CPaintManagerUI* pm = this; pm; pm = pm->m_pParentResourcePM)
        if (LPCTSTR list = pm->m_defaultAttributes.Find(pStrControlName)) return list;
    return nullptr;
}

bool CPaintManagerUI::RemoveDefaultAttributeList(LPCTSTR pStrControlName)
{
    return m_defaultAttributes.Remove(pStrControlName);
}

void CPaintManagerUI::RemoveAllDefaultAttributeList() { m_defaultAttributes.Clear(); }

// ---- language strings -------------------------------------------------------

NamedStrings& CPaintManagerUI::LanguageStrings()
{
    // Process-wide and built on first use, so no other static's order matters.
    static NamedStrings* strings = new NamedStrings;
    return *strings;
}

void CPaintManagerUI::AddLanguageAttributeList(LPCTSTR pStrName, LPCTSTR pStrAttrList)
{
    LanguageStrings().Add(pStrName, pStrAttrList);
}

LPCTSTR CPaintManagerUI::GetLanguageAttributeList(LPCTSTR pStrName) { return LanguageStrings().Find(pStrName); }

bool CPaintManagerUI::RemoveLanguageAttributeList(LPCTSTR pStrName) { return LanguageStrings().Remove(pStrName); }

const CStdStringPtrMap& CPaintManagerUI::GetLanguagetAttribultes() { return LanguageStrings().Map(); }

void CPaintManagerUI::RemoveAllLanguageAttributeList() { LanguageStrings().Clear(); }

void CPaintManagerUI::ReLoadLanguage(STRINGorID xml)
{
    if (m_aPreMessages.GetSize() == 0) return;
    auto* first = static_cast<CPaintManagerUI*>(m_aPreMessages.GetAt(0));
    // Without a reader the strings in hand are better than none.
    if (first->m_languageReader == nullptr) return;
    RemoveAllLanguageAttributeList();
    first->m_languageReader->ReadLanguage(xml, *first);
    for (int i = 0; i < m_aPreMessages.GetSize(); ++i)
        static_cast<CPaintManagerUI*>(m_aPreMessages.GetAt(i))->InvalidateRoot();
}

// ---- groups -----------------------------------------------------------------

// AddOptionGroup and AddHotKeyGroup take the control's weak reference, so
// they live with the controls (ui/controls/dispatch/PaintManagerGroups.cpp).
CStdPtrArray* CPaintManagerUI::GetOptionGroup(LPCTSTR pStrGroupName) { return m_optionGroups.Find(pStrGroupName); }
void CPaintManagerUI::RemoveOptionGroup(LPCTSTR pStrGroupName, CControlUI* pControl)
{
    m_optionGroups.Remove(pStrGroupName, pControl);
}
void CPaintManagerUI::RemoveAllOptionGroups() { m_optionGroups.Clear(); }

CStdPtrArray* CPaintManagerUI::GetHotKeyGroup(LPCTSTR pStrGroupName) { return m_hotKeyGroups.Find(pStrGroupName); }
void CPaintManagerUI::RemoveHotKeyGroup(LPCTSTR pStrGroupName, CControlUI* pControl)
{
    m_hotKeyGroups.Remove(pStrGroupName, pControl);
}
void CPaintManagerUI::RemoveAllHotKeyGroups() { m_hotKeyGroups.Clear(); }

// ---- resource sharing -------------------------------------------------------

bool CPaintManagerUI::UseParentResource(CPaintManagerUI* pm)
{
    // Fonts are looked up along the chain: what was found before may differ now.
    if (!pm) {
        if (m_pParentResourcePM) FontTable::NoteChange();
        m_pParentResourcePM = nullptr;
        return true;
    }
    for (CPaintManagerUI* p = pm; p; p = p->m_pParentResourcePM) {
        if (p == this) return false;
    }
    if (m_pParentResourcePM != pm) FontTable::NoteChange();
    m_pParentResourcePM = pm;
    return true;
}

}  // namespace SkinUI
