// The paint manager's shared resources: fonts, image cache, default
// attribute lists, language strings, colours, window properties, groups.
#include "ui/core/paint/PaintManagerUI.h"

#include "ui/render/image/ImageDecoder.h"

#include <commctrl.h>
#include <cwchar>
#include <utility>

namespace SkinUI {

TFontInfo CPaintManagerUI::m_DefaultFontInfo;
bool CPaintManagerUI::m_bInitAtFirst = true;
CStdStringPtrMap CPaintManagerUI::m_LanguageAttrHash(83);
short CPaintManagerUI::m_H = 180;
short CPaintManagerUI::m_S = 100;
short CPaintManagerUI::m_L = 100;
CStdPtrArray CPaintManagerUI::m_aPreMessages;

namespace {

// Face of the shared default font, chosen once per process.
wchar_t g_defaultFace[LF_FACESIZE] = {0};
CPaintManagerUI::LanguageLoader g_languageLoader = nullptr;

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

LOGFONTW StockGuiFont()
{
    LOGFONTW lf = {};
    ::GetObjectW(::GetStockObject(DEFAULT_GUI_FONT), sizeof(lf), &lf);
    return lf;
}

void CopyFace(LOGFONTW& lf, LPCTSTR face)
{
    std::wcsncpy(lf.lfFaceName, face ? face : L"", LF_FACESIZE - 1);
    lf.lfFaceName[LF_FACESIZE - 1] = 0;
}

bool StartsWithDigit(LPCTSTR text) { return text && *text >= L'0' && *text <= L'9'; }

UINT DecimalId(LPCTSTR text)
{
    UINT id = 0;
    for (; *text >= L'0' && *text <= L'9'; ++text) id = id * 10 + (*text - L'0');
    return id;
}

// Loads an image as AddImage and ReloadAllImages read a cache entry: with a
// type, a name starting with a digit is a resource id.
tagTImageInfo* LoadCacheEntry(LPCTSTR name, LPCTSTR type, DWORD mask)
{
    if (type && *type) {
        if (!StartsWithDigit(name)) return nullptr;
        return CImageDecoder::LoadImage(STRINGorID(DecimalId(name)), type, mask);
    }
    return CImageDecoder::LoadImage(STRINGorID(name), nullptr, mask);
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

    // Every window rebuilds the shared default font from the stock GUI font
    // with the chosen face. Controls ask for the font at each paint and
    // never keep the handle, so the previous one can go (otherwise every
    // window ever opened would leave one font behind).
    LOGFONTW lf = StockGuiFont();
    CopyFace(lf, g_defaultFace);
    lf.lfCharSet = DEFAULT_CHARSET;
    HFONT font = ::CreateFontIndirectW(&lf);
    if (font) {
        if (m_DefaultFontInfo.hFont) ::DeleteObject(m_DefaultFontInfo.hFont);
        m_DefaultFontInfo.hFont = font;
        m_DefaultFontInfo.sFontName = lf.lfFaceName;
        m_DefaultFontInfo.iSize = -lf.lfHeight;
        m_DefaultFontInfo.bBold = lf.lfWeight >= FW_BOLD;
        m_DefaultFontInfo.bUnderline = lf.lfUnderline == TRUE;
        m_DefaultFontInfo.bItalic = lf.lfItalic == TRUE;
        m_DefaultFontInfo.tm = TEXTMETRIC();
    }
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
    if (!m_pRoot && m_hWndPaint)
        ::SetWindowPos(m_hWndPaint, nullptr, 0, 0, cx, cy, SWP_NOZORDER | SWP_NOMOVE | SWP_NOACTIVATE);
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

HFONT CPaintManagerUI::CreateFontFromStock(LPCTSTR face, int size, bool bold, bool underline, bool italic) const
{
    LOGFONTW lf = StockGuiFont();
    CopyFace(lf, face);
    lf.lfCharSet = DEFAULT_CHARSET;
    lf.lfHeight = -size;
    if (bold) lf.lfWeight += FW_BOLD;
    if (underline) lf.lfUnderline = TRUE;
    if (italic) lf.lfItalic = TRUE;
    return ::CreateFontIndirectW(&lf);
}

void CPaintManagerUI::ComputeMetrics(TFontInfo* info, HDC hdc) const
{
    if (!info || !info->hFont) return;
    HDC dc = hdc;
    HDC screen = nullptr;
    if (!dc) dc = screen = ::GetDC(nullptr);
    HGDIOBJ old = ::SelectObject(dc, info->hFont);
    ::GetTextMetricsW(dc, &info->tm);
    ::SelectObject(dc, old);
    if (screen) ::ReleaseDC(nullptr, screen);
}

TFontInfo* CPaintManagerUI::GetDefaultFontInfo()
{
    if (m_DefaultFontInfo.tm.tmHeight == 0) ComputeMetrics(&m_DefaultFontInfo, TopmostResourceManager()->m_hDcPaint);
    return &m_DefaultFontInfo;
}

void CPaintManagerUI::SetDefaultFont(LPCTSTR pStrFontName, int nSize, bool bBold, bool bUnderline, bool bItalic)
{
    HFONT font = CreateFontFromStock(pStrFontName, nSize, bBold, bUnderline, bItalic);
    if (!font) return;
    if (m_DefaultFontInfo.hFont) ::DeleteObject(m_DefaultFontInfo.hFont);
    m_DefaultFontInfo.hFont = font;
    m_DefaultFontInfo.sFontName = pStrFontName;
    m_DefaultFontInfo.iSize = nSize;
    m_DefaultFontInfo.bBold = bBold;
    m_DefaultFontInfo.bUnderline = bUnderline;
    m_DefaultFontInfo.bItalic = bItalic;
    m_DefaultFontInfo.tm = TEXTMETRIC();
    if (m_hDcPaint) ComputeMetrics(&m_DefaultFontInfo, m_hDcPaint);
}

DWORD CPaintManagerUI::GetCustomFontCount() const { return static_cast<DWORD>(m_aCustomFonts.GetSize()); }

HFONT CPaintManagerUI::AddFont(LPCTSTR pStrFontName, int nSize, bool bBold, bool bUnderline, bool bItalic)
{
    return AddFontAt(m_aCustomFonts.GetSize(), pStrFontName, nSize, bBold, bUnderline, bItalic);
}

HFONT CPaintManagerUI::AddFontAt(int index, LPCTSTR pStrFontName, int nSize, bool bBold, bool bUnderline, bool bItalic)
{
    HFONT font = CreateFontFromStock(pStrFontName, nSize, bBold, bUnderline, bItalic);
    if (!font) return nullptr;
    auto* info = new TFontInfo;
    info->hFont = font;
    info->sFontName = pStrFontName;
    info->iSize = nSize;
    info->bBold = bBold;
    info->bUnderline = bUnderline;
    info->bItalic = bItalic;
    if (m_hDcPaint) ComputeMetrics(info, m_hDcPaint);
    if (!m_aCustomFonts.InsertAt(index, info)) {
        ::DeleteObject(font);
        delete info;
        return nullptr;
    }
    return font;
}

HFONT CPaintManagerUI::GetFont(int index) { return GetFontInfo(index)->hFont; }

TFontInfo* CPaintManagerUI::GetFontInfo(int index)
{
    auto* info = static_cast<TFontInfo*>(m_aCustomFonts.GetAt(index));
    if (!info) return GetDefaultFontInfo();
    if (info->tm.tmHeight == 0) ComputeMetrics(info, m_hDcPaint);
    return info;
}

TFontInfo* CPaintManagerUI::FindFontInfo(LPCTSTR face, int size, bool bold, bool underline, bool italic) const
{
    for (const CPaintManagerUI* pm = this; pm; pm = pm->m_pParentResourcePM) {
        for (int i = 0; i < pm->m_aCustomFonts.GetSize(); ++i) {
            auto* info = static_cast<TFontInfo*>(pm->m_aCustomFonts.GetAt(i));
            if (info->sFontName == face && info->iSize == size && info->bBold == bold &&
                info->bUnderline == underline && info->bItalic == italic)
                return info;
        }
    }
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
    for (CPaintManagerUI* pm = this; pm; pm = pm->m_pParentResourcePM) {
        for (int i = 0; i < pm->m_aCustomFonts.GetSize(); ++i)
            if (static_cast<TFontInfo*>(pm->m_aCustomFonts.GetAt(i))->hFont == hFont) return true;
    }
    return false;
}

TFontInfo* CPaintManagerUI::GetFontInfo(HFONT hFont)
{
    for (CPaintManagerUI* pm = this; pm; pm = pm->m_pParentResourcePM) {
        for (int i = 0; i < pm->m_aCustomFonts.GetSize(); ++i) {
            auto* info = static_cast<TFontInfo*>(pm->m_aCustomFonts.GetAt(i));
            if (info->hFont == hFont) {
                if (info->tm.tmHeight == 0) ComputeMetrics(info, pm->m_hDcPaint);
                return info;
            }
        }
    }
    return GetDefaultFontInfo();
}

int CPaintManagerUI::GetFontIndex(HFONT hFont)
{
    for (int i = 0; i < m_aCustomFonts.GetSize(); ++i)
        if (static_cast<TFontInfo*>(m_aCustomFonts.GetAt(i))->hFont == hFont) return i;
    return -1;
}

int CPaintManagerUI::GetFontIndex(LPCTSTR pStrFontName, int nSize, bool bBold, bool bUnderline, bool bItalic)
{
    for (int i = 0; i < m_aCustomFonts.GetSize(); ++i) {
        auto* info = static_cast<TFontInfo*>(m_aCustomFonts.GetAt(i));
        if (info->sFontName == pStrFontName && info->iSize == nSize && info->bBold == bBold &&
            info->bUnderline == bUnderline && info->bItalic == bItalic)
            return i;
    }
    return -1;
}

bool CPaintManagerUI::RemoveFont(HFONT hFont)
{
    int index = GetFontIndex(hFont);
    return index >= 0 && RemoveFontAt(index);
}

bool CPaintManagerUI::RemoveFontAt(int index)
{
    auto* info = static_cast<TFontInfo*>(m_aCustomFonts.GetAt(index));
    if (!info) return false;
    ::DeleteObject(info->hFont);
    delete info;
    return m_aCustomFonts.Remove(index);
}

void CPaintManagerUI::RemoveAllFonts()
{
    for (int i = 0; i < m_aCustomFonts.GetSize(); ++i) {
        auto* info = static_cast<TFontInfo*>(m_aCustomFonts.GetAt(i));
        ::DeleteObject(info->hFont);
        delete info;
    }
    m_aCustomFonts.Empty();
}

// ---- images ---------------------------------------------------------------

const TImageInfo* CPaintManagerUI::GetImage(LPCTSTR bitmap)
{
    if (!bitmap) return nullptr;
    for (CPaintManagerUI* pm = this; pm; pm = pm->m_pParentResourcePM) {
        if (auto* image = static_cast<TImageInfo*>(pm->m_mImageHash.Find(bitmap))) return image;
    }
    return nullptr;
}

const TImageInfo* CPaintManagerUI::GetImageEx(LPCTSTR bitmap, LPCTSTR type, DWORD mask)
{
    if (!bitmap) return nullptr;
    if (auto* image = static_cast<TImageInfo*>(m_mImageHash.Find(bitmap))) return image;
    return AddImage(bitmap, type, mask);
}

const TImageInfo* CPaintManagerUI::AddImage(LPCTSTR bitmap, LPCTSTR type, DWORD mask)
{
    if (!bitmap || !*bitmap) return nullptr;
    tagTImageInfo* image = LoadCacheEntry(bitmap, type, mask);
    if (!image) return nullptr;
    image->sResType = type;
    image->dwMask = mask;
    if (!m_mImageHash.Insert(bitmap, image)) {
        CImageDecoder::FreeImage(image);
        return nullptr;
    }
    return image;
}

const TImageInfo* CPaintManagerUI::AddImage(LPCTSTR bitmap, HBITMAP hBitmap, int iWidth, int iHeight, bool bAlpha)
{
    if (!hBitmap || iWidth <= 0 || iHeight <= 0 || !bitmap) return nullptr;
    auto* image = new TImageInfo;
    image->hBitmap.Reset(hBitmap);
    image->nX = iWidth;
    image->nY = iHeight;
    image->alphaChannel = bAlpha;
    if (!m_mImageHash.Insert(bitmap, image)) {
        CImageDecoder::FreeImage(image);
        return nullptr;
    }
    return image;
}

bool CPaintManagerUI::RemoveImage(LPCTSTR bitmap)
{
    if (!bitmap) return false;
    // The image may live in a parent's cache; remove it from the owner.
    for (CPaintManagerUI* pm = this; pm; pm = pm->m_pParentResourcePM) {
        auto* image = static_cast<TImageInfo*>(pm->m_mImageHash.Find(bitmap));
        if (image) {
            CImageDecoder::FreeImage(image);
            return pm->m_mImageHash.Remove(bitmap);
        }
    }
    return false;
}

void CPaintManagerUI::RemoveAllImages()
{
    for (int i = 0; i < m_mImageHash.GetSize(); ++i) {
        LPCTSTR key = m_mImageHash.GetAt(i);
        if (key) CImageDecoder::FreeImage(static_cast<TImageInfo*>(m_mImageHash.Find(key, false)));
    }
    m_mImageHash.RemoveAll();
}

void CPaintManagerUI::ReloadAllImages()
{
    bool replaced = false;
    for (int i = 0; i < m_mImageHash.GetSize(); ++i) {
        LPCTSTR key = m_mImageHash.GetAt(i);
        if (!key) continue;
        // No move-to-front here: the walk must visit every entry once.
        auto* image = static_cast<TImageInfo*>(m_mImageHash.Find(key, false));
        if (!image) continue;
        tagTImageInfo* fresh = nullptr;
        if (image->sResType.IsEmpty())
            fresh = CImageDecoder::LoadImage(STRINGorID(key), nullptr, image->dwMask);
        else if (StartsWithDigit(key))
            fresh = CImageDecoder::LoadImage(STRINGorID(DecimalId(key)), image->sResType, image->dwMask);
        if (!fresh) continue;
        image->hBitmap = std::move(fresh->hBitmap);
        image->nX = fresh->nX;
        image->nY = fresh->nY;
        image->alphaChannel = fresh->alphaChannel;
        CImageDecoder::FreeImage(fresh);
        replaced = true;
    }
    if (replaced) InvalidateRoot();
}

// ---- default attribute lists ------------------------------------------------

void CPaintManagerUI::AddDefaultAttributeList(LPCTSTR pStrControlName, LPCTSTR pStrControlAttrList)
{
    if (!pStrControlName) return;
    auto* list = new CUiString(pStrControlAttrList);
    if (!m_DefaultAttrHash.Insert(pStrControlName, list)) delete list;
}

LPCTSTR CPaintManagerUI::GetDefaultAttributeList(LPCTSTR pStrControlName) const
{
    if (!pStrControlName) return nullptr;
    for (const CPaintManagerUI* pm = this; pm; pm = pm->m_pParentResourcePM) {
        if (auto* list = static_cast<CUiString*>(pm->m_DefaultAttrHash.Find(pStrControlName))) return *list;
    }
    return nullptr;
}

bool CPaintManagerUI::RemoveDefaultAttributeList(LPCTSTR pStrControlName)
{
    if (!pStrControlName) return false;
    auto* list = static_cast<CUiString*>(m_DefaultAttrHash.Find(pStrControlName));
    if (!list) return false;
    delete list;
    return m_DefaultAttrHash.Remove(pStrControlName);
}

void CPaintManagerUI::RemoveAllDefaultAttributeList()
{
    for (int i = 0; i < m_DefaultAttrHash.GetSize(); ++i) {
        LPCTSTR key = m_DefaultAttrHash.GetAt(i);
        if (key) delete static_cast<CUiString*>(m_DefaultAttrHash.Find(key, false));
    }
    m_DefaultAttrHash.RemoveAll();
}

// ---- language strings -------------------------------------------------------

void CPaintManagerUI::AddLanguageAttributeList(LPCTSTR pStrName, LPCTSTR pStrAttrList)
{
    if (!pStrName) return;
    auto* text = new CUiString(pStrAttrList);
    if (!m_LanguageAttrHash.Insert(pStrName, text)) delete text;
}

LPCTSTR CPaintManagerUI::GetLanguageAttributeList(LPCTSTR pStrName)
{
    if (!pStrName) return nullptr;
    auto* text = static_cast<CUiString*>(m_LanguageAttrHash.Find(pStrName));
    return text ? static_cast<LPCTSTR>(*text) : nullptr;
}

bool CPaintManagerUI::RemoveLanguageAttributeList(LPCTSTR pStrName)
{
    if (!pStrName) return false;
    auto* text = static_cast<CUiString*>(m_LanguageAttrHash.Find(pStrName));
    if (!text) return false;
    delete text;
    return m_LanguageAttrHash.Remove(pStrName);
}

const CStdStringPtrMap& CPaintManagerUI::GetLanguagetAttribultes() { return m_LanguageAttrHash; }

void CPaintManagerUI::RemoveAllLanguageAttributeList()
{
    for (int i = 0; i < m_LanguageAttrHash.GetSize(); ++i) {
        LPCTSTR key = m_LanguageAttrHash.GetAt(i);
        if (key) delete static_cast<CUiString*>(m_LanguageAttrHash.Find(key, false));
    }
    m_LanguageAttrHash.RemoveAll();
}

void CPaintManagerUI::SetLanguageLoader(LanguageLoader loader) { g_languageLoader = loader; }

void CPaintManagerUI::ReLoadLanguage(STRINGorID xml)
{
    if (m_aPreMessages.GetSize() == 0) return;
    // Without a reader the strings in hand are better than none.
    if (!g_languageLoader) return;
    RemoveAllLanguageAttributeList();
    auto* first = static_cast<CPaintManagerUI*>(m_aPreMessages.GetAt(0));
    g_languageLoader(xml, first);
    for (int i = 0; i < m_aPreMessages.GetSize(); ++i)
        static_cast<CPaintManagerUI*>(m_aPreMessages.GetAt(i))->InvalidateRoot();
}

// ---- groups -----------------------------------------------------------------

bool CPaintManagerUI::AddToGroup(CStdStringPtrMap& groups, LPCTSTR name, CControlUI* control)
{
    if (!name) return false;
    auto* group = static_cast<CStdPtrArray*>(groups.Find(name));
    if (group) {
        if (group->Find(control) >= 0) return false;
        return group->Add(control);
    }
    group = new CStdPtrArray(6);
    group->Add(control);
    groups.Insert(name, group);
    return true;
}

void CPaintManagerUI::RemoveFromGroup(CStdStringPtrMap& groups, LPCTSTR name, CControlUI* control)
{
    if (!name) return;
    auto* group = static_cast<CStdPtrArray*>(groups.Find(name));
    if (!group) return;
    int index = group->Find(control);
    if (index >= 0) group->Remove(index);
    if (group->IsEmpty()) {
        delete group;
        groups.Remove(name);
    }
}

void CPaintManagerUI::RemoveAllGroups(CStdStringPtrMap& groups)
{
    for (int i = 0; i < groups.GetSize(); ++i) {
        LPCTSTR key = groups.GetAt(i);
        if (key) delete static_cast<CStdPtrArray*>(groups.Find(key, false));
    }
    groups.RemoveAll();
}

bool CPaintManagerUI::AddOptionGroup(LPCTSTR pStrGroupName, CControlUI* pControl)
{
    return AddToGroup(m_mOptionGroup, pStrGroupName, pControl);
}
CStdPtrArray* CPaintManagerUI::GetOptionGroup(LPCTSTR pStrGroupName)
{
    return pStrGroupName ? static_cast<CStdPtrArray*>(m_mOptionGroup.Find(pStrGroupName)) : nullptr;
}
void CPaintManagerUI::RemoveOptionGroup(LPCTSTR pStrGroupName, CControlUI* pControl)
{
    RemoveFromGroup(m_mOptionGroup, pStrGroupName, pControl);
}
void CPaintManagerUI::RemoveAllOptionGroups() { RemoveAllGroups(m_mOptionGroup); }

bool CPaintManagerUI::AddHotKeyGroup(LPCTSTR pStrGroupName, CControlUI* pControl)
{
    return AddToGroup(m_mHotKeyGroup, pStrGroupName, pControl);
}
CStdPtrArray* CPaintManagerUI::GetHotKeyGroup(LPCTSTR pStrGroupName)
{
    return pStrGroupName ? static_cast<CStdPtrArray*>(m_mHotKeyGroup.Find(pStrGroupName)) : nullptr;
}
void CPaintManagerUI::RemoveHotKeyGroup(LPCTSTR pStrGroupName, CControlUI* pControl)
{
    RemoveFromGroup(m_mHotKeyGroup, pStrGroupName, pControl);
}
void CPaintManagerUI::RemoveAllHotKeyGroups() { RemoveAllGroups(m_mHotKeyGroup); }

// ---- resource sharing -------------------------------------------------------

bool CPaintManagerUI::UseParentResource(CPaintManagerUI* pm)
{
    if (!pm) {
        m_pParentResourcePM = nullptr;
        return true;
    }
    for (CPaintManagerUI* p = pm; p; p = p->m_pParentResourcePM) {
        if (p == this) return false;
    }
    m_pParentResourcePM = pm;
    return true;
}

}  // namespace SkinUI
