#include "ui/controls/ControlUI.h"

#include "ui/controls/AttributeTable.h"
#include "ui/base/AttributeValue.h"
#include "ui/base/DpiScale.h"
#include "ui/base/UiRect.h"
#include "ui/images/GdiHandles.h"
#include "ui/images/DensityGif.h"
#include "ui/images/GifHandler.h"
#include "ui/render/PaintScratch.h"
#include "ui/render/RenderEngine.h"

#include <cstring>
#include <cwctype>
#include <vector>

namespace SkinUI {

namespace {

// The paint-manager timer that advances an animated background.
const UINT kGifTimerId = 1;

bool EndsWithGif(const CUiString& s)
{
    const int n = s.GetLength();
    if (n < 3) return false;
    return std::towlower(s[n - 3]) == L'g' && std::towlower(s[n - 2]) == L'i' && std::towlower(s[n - 1]) == L'f';
}

void ApplyPos(CControlUI& c, LPCTSTR v)
{
    const RECT rc = AttributeValue::ParseRect(v);
    SIZE xy = {rc.left >= 0 ? rc.left : rc.right, rc.top >= 0 ? rc.top : rc.bottom};
    c.SetFixedXY(xy);
    // The setters ignore negative sizes (pos="272,0,0,0" sets only x).
    const long long width = static_cast<long long>(rc.right) - rc.left;
    const long long height = static_cast<long long>(rc.bottom) - rc.top;
    if (width >= 0 && width <= 0x7FFFFFFF) c.SetFixedWidth(static_cast<int>(width));
    if (height >= 0 && height <= 0x7FFFFFFF) c.SetFixedHeight(static_cast<int>(height));
}

void ApplyBorderSize(CControlUI& c, LPCTSTR v)
{
    if (std::wcschr(v, L',') == nullptr) {
        c.SetBorderSize(AttributeValue::ParseInt(v));
        RECT none = {0, 0, 0, 0};
        c.SetBorderSize(none);
    } else {
        c.SetBorderSize(AttributeValue::ParseRect(v));
    }
}

const AttributeEntry<CControlUI> kControlAttributes[] = {
    {L"pos", ApplyPos},
    {L"relativepos",
     [](CControlUI& c, LPCTSTR v) {
         const RECT rc = AttributeValue::ParseRect(v);
         c.SetRelativePos(SIZE{rc.left, rc.top}, SIZE{rc.right, rc.bottom});
     }},
    {L"padding", [](CControlUI& c, LPCTSTR v) { c.SetPadding(AttributeValue::ParseRect(v)); }},
    {L"bkcolor", [](CControlUI& c, LPCTSTR v) { c.SetBkColor(AttributeValue::ParseColor(v)); }},
    {L"bkcolor1", [](CControlUI& c, LPCTSTR v) { c.SetBkColor(AttributeValue::ParseColor(v)); }},
    {L"bkcolor2", [](CControlUI& c, LPCTSTR v) { c.SetBkColor2(AttributeValue::ParseColor(v)); }},
    {L"bkcolor3", [](CControlUI& c, LPCTSTR v) { c.SetBkColor3(AttributeValue::ParseColor(v)); }},
    {L"bordercolor", [](CControlUI& c, LPCTSTR v) { c.SetBorderColor(AttributeValue::ParseColor(v)); }},
    {L"focusbordercolor", [](CControlUI& c, LPCTSTR v) { c.SetFocusBorderColor(AttributeValue::ParseColor(v)); }},
    {L"colorhsl", [](CControlUI& c, LPCTSTR v) { c.SetColorHSL(AttributeValue::ParseBool(v)); }},
    {L"bordersize", ApplyBorderSize},
    {L"leftbordersize", [](CControlUI& c, LPCTSTR v) { c.SetLeftBorderSize(AttributeValue::ParseInt(v)); }},
    {L"topbordersize", [](CControlUI& c, LPCTSTR v) { c.SetTopBorderSize(AttributeValue::ParseInt(v)); }},
    {L"rightbordersize", [](CControlUI& c, LPCTSTR v) { c.SetRightBorderSize(AttributeValue::ParseInt(v)); }},
    {L"bottombordersize", [](CControlUI& c, LPCTSTR v) { c.SetBottomBorderSize(AttributeValue::ParseInt(v)); }},
    {L"borderstyle", [](CControlUI& c, LPCTSTR v) { c.SetBorderStyle(AttributeValue::ParseInt(v)); }},
    {L"borderround", [](CControlUI& c, LPCTSTR v) { c.SetBorderRound(AttributeValue::ParseSize(v)); }},
    {L"bkimage", [](CControlUI& c, LPCTSTR v) { c.SetBkImage(v); }},
    {L"foreimage", [](CControlUI& c, LPCTSTR v) { c.SetForeImage(v); }},
    {L"width", [](CControlUI& c, LPCTSTR v) { c.SetFixedWidth(AttributeValue::ParseInt(v)); }},
    {L"height", [](CControlUI& c, LPCTSTR v) { c.SetFixedHeight(AttributeValue::ParseInt(v)); }},
    {L"minwidth", [](CControlUI& c, LPCTSTR v) { c.SetMinWidth(AttributeValue::ParseInt(v)); }},
    {L"minheight", [](CControlUI& c, LPCTSTR v) { c.SetMinHeight(AttributeValue::ParseInt(v)); }},
    {L"maxwidth", [](CControlUI& c, LPCTSTR v) { c.SetMaxWidth(AttributeValue::ParseInt(v)); }},
    {L"maxheight", [](CControlUI& c, LPCTSTR v) { c.SetMaxHeight(AttributeValue::ParseInt(v)); }},
    {L"name", [](CControlUI& c, LPCTSTR v) { c.SetName(v); }},
    {L"text", [](CControlUI& c, LPCTSTR v) { c.SetText(v); }},
    {L"tooltip", [](CControlUI& c, LPCTSTR v) { c.SetToolTip(v); }},
    {L"userdata", [](CControlUI& c, LPCTSTR v) { c.SetUserData(v); }},
    {L"enabled", [](CControlUI& c, LPCTSTR v) { c.SetEnabled(AttributeValue::ParseBool(v)); }},
    {L"mouse", [](CControlUI& c, LPCTSTR v) { c.SetMouseEnabled(AttributeValue::ParseBool(v)); }},
    {L"keyboard", [](CControlUI& c, LPCTSTR v) { c.SetKeyboardEnabled(AttributeValue::ParseBool(v)); }},
    {L"visible", [](CControlUI& c, LPCTSTR v) { c.SetVisible(AttributeValue::ParseBool(v)); }},
    {L"float", [](CControlUI& c, LPCTSTR v) { c.SetFloat(AttributeValue::ParseBool(v)); }},
    {L"shortcut", [](CControlUI& c, LPCTSTR v) { c.SetShortcut(v[0]); }},
    {L"menu", [](CControlUI& c, LPCTSTR v) { c.SetContextMenuUsed(AttributeValue::ParseBool(v)); }},
    {L"virtualwnd", [](CControlUI& c, LPCTSTR v) { c.SetVirtualWnd(v); }},
    {L"random", [](CControlUI& c, LPCTSTR v) { c.SetRandom(AttributeValue::ParseBool(v)); }},
    {L"default",
     [](CControlUI& c, LPCTSTR v) {
         CPaintManagerUI* manager = c.GetManager();
         if (manager) c.ApplyAttributeList(manager->GetDefaultAttributeList(v));
     }},
};

}  // namespace

CControlUI::CControlUI() = default;

CControlUI::~CControlUI()
{
    ReleaseRegion();
    ReleaseGif();
    if (OnDestroy) OnDestroy(this);
    // From here on every reference to this control reads as null: the
    // manager's hover, click, focus, timers, groups, post-paint list and
    // notification senders forget it by themselves.
    m_lifeAnchor.Retire();
    if (m_pManager) m_pManager->ReapObjects(this);
}

void CControlUI::DropWeakRefs()
{
    if (!m_lifeAnchor.IsRetired()) m_lifeAnchor.Invalidate();
}

CUiString CControlUI::GetName() const { return m_sName; }
void CControlUI::SetName(LPCTSTR pstrName) { m_sName = pstrName; }
LPCTSTR CControlUI::GetClass() const { return L"ControlUI"; }

LPVOID CControlUI::GetInterface(LPCTSTR pstrName)
{
    if (pstrName && std::wcscmp(pstrName, L"Control") == 0) return this;
    return nullptr;
}

UINT CControlUI::GetControlFlags() const { return 0; }
bool CControlUI::Activate() { return IsVisible() && IsEnabled(); }
CPaintManagerUI* CControlUI::GetManager() const { return m_pManager; }

void CControlUI::SetManager(CPaintManagerUI* pManager, CControlUI* pParent, bool bInit)
{
    m_pManager = pManager;
    // The density stays when the manager goes (the builder lets go of a
    // control between its attributes and its attachment).
    if (pManager != nullptr && pManager->GetDpi() != m_nMetricsDpi) RescaleMetrics();
    m_pParent = pParent;
    if (bInit && m_pParent) Init();
}

CControlUI* CControlUI::GetParent() const { return m_pParent; }
CUiString CControlUI::GetText() const { return m_sText; }

void CControlUI::SetText(LPCTSTR pstrText)
{
    if (m_sText == (pstrText ? pstrText : L"")) return;
    m_sText = pstrText;
    Invalidate();
}

const RECT& CControlUI::GetPos() const { return m_rcItem; }

bool CControlUI::ClipToAncestors(RECT& rc) const
{
    for (CControlUI* parent = m_pParent; parent; parent = parent->GetParent()) {
        if (!::IntersectRect(&rc, &rc, &parent->GetPos())) return false;
    }
    return true;
}

void CControlUI::SetPos(RECT rc)
{
    if (rc.right < rc.left) rc.right = rc.left;
    if (rc.bottom < rc.top) rc.bottom = rc.top;

    CUiRect invalidate = ::IsRectEmpty(&m_rcItem) ? rc : m_rcItem;
    // The hit region of a "random" control is in window coordinates.
    if (m_hRgn && (rc.left != m_rcItem.left || rc.top != m_rcItem.top)) m_bRegionStale = true;
    m_rcItem = rc;
    if (!m_pManager) return;

    if (!m_bSetPos) {
        m_bSetPos = true;
        if (OnSize) OnSize(this);
        m_bSetPos = false;
    }

    if (m_bFloat && m_pParent) {
        const RECT& parent = m_pParent->GetPos();
        m_cXY.cx = m_cXY.cx >= 0 ? m_rcItem.left - parent.left : m_rcItem.right - parent.right;
        m_cXY.cy = m_cXY.cy >= 0 ? m_rcItem.top - parent.top : m_rcItem.bottom - parent.bottom;
        m_cxyFixed.cx = m_rcItem.right - m_rcItem.left;
        m_cxyFixed.cy = m_rcItem.bottom - m_rcItem.top;
    }

    m_bUpdateNeeded = false;
    invalidate.Join(m_rcItem);
    if (!ClipToAncestors(invalidate)) return;
    if (CoveredLayout::Covers(m_pManager, invalidate)) return;
    m_pManager->Invalidate(invalidate);
}

const CControlUI::CoveredLayout* CControlUI::CoveredLayout::s_innermost = nullptr;

CControlUI::CoveredLayout::CoveredLayout(const CControlUI& container)
    : m_manager(container.m_pManager), m_rect(container.m_rcItem), m_previous(s_innermost)
{
    // The container has just invalidated its rectangle as far as its
    // ancestors show it; nothing outside that can be covered.
    if (!m_manager || !container.ClipToAncestors(m_rect)) return;
    s_innermost = this;
}

CControlUI::CoveredLayout::~CoveredLayout()
{
    if (s_innermost == this) s_innermost = m_previous;
}

bool CControlUI::CoveredLayout::Covers(const CPaintManagerUI* manager, const RECT& rc)
{
    const CoveredLayout* cover = s_innermost;
    return cover && cover->m_manager == manager && rc.left >= cover->m_rect.left && rc.top >= cover->m_rect.top &&
           rc.right <= cover->m_rect.right && rc.bottom <= cover->m_rect.bottom;
}

int CControlUI::GetWidth() const { return m_rcItem.right - m_rcItem.left; }
int CControlUI::GetHeight() const { return m_rcItem.bottom - m_rcItem.top; }
int CControlUI::GetX() const { return m_rcItem.left; }
int CControlUI::GetY() const { return m_rcItem.top; }
RECT CControlUI::GetPadding() const { return m_rcPadding; }

int CControlUI::Scaled(int value) const { return ScaleForDpi(value, m_nMetricsDpi); }

RECT CControlUI::Scaled(const RECT& rc) const { return ScaleForDpi(rc, m_nMetricsDpi); }

SIZE CControlUI::Scaled(const SIZE& sz) const { return ScaleForDpi(sz, m_nMetricsDpi); }

void CControlUI::RescaleMetrics()
{
    const int oldDpi = m_nMetricsDpi;
    if (m_pManager != nullptr) m_nMetricsDpi = m_pManager->GetDpi();
    // An animation's frames were made for the old density; the next paint
    // loads them for the new one.
    if (m_nMetricsDpi != oldDpi) ReleaseGif();
    m_rcPadding = Scaled(m_skin.padding);
    m_cXY = Scaled(m_skin.xy);
    m_cxyFixed = Scaled(m_skin.fixed);
    m_cxyMin = Scaled(m_skin.min);
    m_cxyMax = Scaled(m_skin.max);
    m_nBorderSize = Scaled(m_skin.borderSize);
    m_rcBorderSize = Scaled(m_skin.borderSizes);
    m_cxyBorderRound = Scaled(m_skin.borderRound);
    // The hit region of a "random" control was cut at the old size.
    if (m_hRgn) m_bRegionStale = true;
}

void CControlUI::SetPadding(RECT rcPadding)
{
    m_skin.padding = rcPadding;
    m_rcPadding = Scaled(rcPadding);
    NeedParentUpdate();
}

SIZE CControlUI::GetFixedXY() const { return m_cXY; }

void CControlUI::AfterSizeChange()
{
    if (m_bFloat)
        NeedUpdate();
    else
        NeedParentUpdate();
}

void CControlUI::SetFixedXY(SIZE szXY)
{
    // A negative coordinate is meaningful here: it anchors to the far edge.
    m_skin.xy = szXY;
    m_cXY = Scaled(szXY);
    AfterSizeChange();
}

int CControlUI::GetFixedWidth() const { return m_cxyFixed.cx; }

void CControlUI::SetFixedWidth(int cx)
{
    if (cx < 0) return;
    m_skin.fixed.cx = cx;
    m_cxyFixed.cx = Scaled(cx);
    AfterSizeChange();
}

int CControlUI::GetFixedHeight() const { return m_cxyFixed.cy; }

void CControlUI::SetFixedHeight(int cy)
{
    if (cy < 0) return;
    m_skin.fixed.cy = cy;
    m_cxyFixed.cy = Scaled(cy);
    AfterSizeChange();
}

int CControlUI::GetMinWidth() const { return m_cxyMin.cx; }

void CControlUI::SetMinWidth(int cx)
{
    if (m_skin.min.cx == cx || cx < 0) return;
    m_skin.min.cx = cx;
    m_cxyMin.cx = Scaled(cx);
    AfterSizeChange();
}

int CControlUI::GetMaxWidth() const { return m_cxyMax.cx; }

void CControlUI::SetMaxWidth(int cx)
{
    if (m_skin.max.cx == cx || cx < 0) return;
    m_skin.max.cx = cx;
    m_cxyMax.cx = Scaled(cx);
    AfterSizeChange();
}

int CControlUI::GetMinHeight() const { return m_cxyMin.cy; }

void CControlUI::SetMinHeight(int cy)
{
    if (m_skin.min.cy == cy || cy < 0) return;
    m_skin.min.cy = cy;
    m_cxyMin.cy = Scaled(cy);
    AfterSizeChange();
}

int CControlUI::GetMaxHeight() const { return m_cxyMax.cy; }

void CControlUI::SetMaxHeight(int cy)
{
    if (m_skin.max.cy == cy || cy < 0) return;
    m_skin.max.cy = cy;
    m_cxyMax.cy = Scaled(cy);
    AfterSizeChange();
}

void CControlUI::SetRelativePos(SIZE szMove, SIZE szZoom)
{
    m_tRelativePos.bRelative = true;
    m_tRelativePos.nMoveXPercent = szMove.cx;
    m_tRelativePos.nMoveYPercent = szMove.cy;
    m_tRelativePos.nZoomXPercent = szZoom.cx;
    m_tRelativePos.nZoomYPercent = szZoom.cy;
}

void CControlUI::SetRelativeParentSize(SIZE sz) { m_tRelativePos.szParent = sz; }
TRelativePosUI CControlUI::GetRelativePos() const { return m_tRelativePos; }
bool CControlUI::IsRelativePos() const { return m_tRelativePos.bRelative; }

CUiString CControlUI::GetToolTip() const { return m_sToolTip; }

void CControlUI::SetToolTip(LPCTSTR pstrText)
{
    CUiString text(pstrText);
    text.Replace(L"<n>", L"\r\n");
    m_sToolTip = text;
}

void CControlUI::SetToolTipWidth(int nWidth) { m_nTooltipWidth = nWidth; }
int CControlUI::GetToolTipWidth() const { return m_nTooltipWidth; }
TCHAR CControlUI::GetShortcut() const { return m_chShortcut; }
void CControlUI::SetShortcut(TCHAR ch) { m_chShortcut = ch; }
bool CControlUI::IsContextMenuUsed() const { return m_bMenuUsed; }
void CControlUI::SetContextMenuUsed(bool bMenuUsed) { m_bMenuUsed = bMenuUsed; }

void CControlUI::SetGifed(bool bGifed)
{
    m_bGifAdvance = bGifed;
    Invalidate();
}

const CUiString& CControlUI::GetUserData() const { return m_sUserData; }
void CControlUI::SetUserData(LPCTSTR pstrText) { m_sUserData = pstrText; }
UINT_PTR CControlUI::GetTag() const { return m_pTag; }
void CControlUI::SetTag(UINT_PTR pTag) { m_pTag = pTag; }
void CControlUI::SetUserValue(UINT uValue) { m_uUserValue = uValue; }
UINT CControlUI::GetUserValue() const { return m_uUserValue; }

bool CControlUI::IsVisible() const { return m_bVisible && m_bInternVisible; }

void CControlUI::SetVisible(bool bVisible)
{
    if (m_bVisible == bVisible) return;
    if (!bVisible && m_pGifHandler) KillGifTimer();
    const bool wasVisible = IsVisible();
    m_bVisible = bVisible;
    m_bFocused = false;
    if (!bVisible && m_pManager && m_pManager->GetFocus() == this) m_pManager->SetFocus(nullptr);
    if (IsVisible() != wasVisible) NeedParentUpdate();
}

void CControlUI::SetInternVisible(bool bVisible)
{
    m_bInternVisible = bVisible;
    if (!bVisible && m_pManager && m_pManager->GetFocus() == this) m_pManager->SetFocus(nullptr);
}

bool CControlUI::IsEnabled() const { return m_bEnabled; }

void CControlUI::SetEnabled(bool bEnable)
{
    if (m_bEnabled == bEnable) return;
    m_bEnabled = bEnable;
    Invalidate();
}

bool CControlUI::IsMouseEnabled() const { return m_bMouseEnabled; }
void CControlUI::SetMouseEnabled(bool bEnable) { m_bMouseEnabled = bEnable; }
bool CControlUI::IsKeyboardEnabled() const { return m_bKeyboardEnabled; }
void CControlUI::SetKeyboardEnabled(bool bEnable) { m_bKeyboardEnabled = bEnable; }
bool CControlUI::IsFocused() const { return m_bFocused; }

void CControlUI::SetFocus()
{
    if (m_pManager) m_pManager->SetFocus(this);
}

bool CControlUI::IsFloat() const { return m_bFloat; }

void CControlUI::SetFloat(bool bFloat)
{
    if (m_bFloat == bFloat) return;
    m_bFloat = bFloat;
    NeedParentUpdate();
}

bool CControlUI::IsRandom() const { return m_bRandom; }
void CControlUI::SetRandom(bool bRandom) { m_bRandom = bRandom; }

CControlUI* CControlUI::FindControl(FINDCONTROLPROC Proc, LPVOID pData, UINT uFlags)
{
    if ((uFlags & UIFIND_VISIBLE) != 0 && !IsVisible()) return nullptr;
    if ((uFlags & UIFIND_ENABLED) != 0 && !IsEnabled()) return nullptr;
    if ((uFlags & UIFIND_HITTEST) != 0) {
        if (!m_bMouseEnabled || !pData) return nullptr;
        const POINT pt = *static_cast<const POINT*>(pData);
        if (m_bRandom && m_hRgn) {
            if (!::PtInRegion(m_hRgn, pt.x, pt.y)) return nullptr;
        } else if (!::PtInRect(&m_rcItem, pt)) {
            return nullptr;
        }
    }
    return Proc ? Proc(this, pData) : nullptr;
}

void CControlUI::Init()
{
    DoInit();
    if (OnInit) OnInit(this);
}

void CControlUI::DoInit() {}

void CControlUI::Event(TEventUI& event)
{
    if (OnEvent(&event)) DoEvent(event);
}

bool CControlUI::PassMouseEventOn(TEventUI& event)
{
    if (IsMouseEnabled() || !IsMouseEvent(event.Type)) return false;
    if (CControlUI* receiver = MouseEventReceiver())
        receiver->DoEvent(event);
    else
        CControlUI::DoEvent(event);
    return true;
}

void CControlUI::DoEvent(TEventUI& event)
{
    switch (event.Type) {
    case UIEVENT_SETCURSOR:
        ::SetCursor(::LoadCursor(nullptr, IDC_ARROW));
        return;
    case UIEVENT_SETFOCUS:
        m_bFocused = true;
        Invalidate();
        return;
    case UIEVENT_KILLFOCUS:
        m_bFocused = false;
        Invalidate();
        return;
    case UIEVENT_TIMER:
        if (m_pGifHandler && event.wParam == kGifTimerId) {
            m_bGifAdvance = true;
            NeedUpdate();
        }
        if (m_pManager) m_pManager->SendNotify(this, L"timer", event.wParam, event.lParam);
        return;
    case UIEVENT_CONTEXTMENU:
        if (IsContextMenuUsed()) {
            if (m_pManager) m_pManager->SendNotify(this, L"menu", event.wParam, event.lParam);
            return;
        }
        break;
    default:
        break;
    }
    if (m_pParent) m_pParent->DoEvent(event);
}

void CControlUI::SetAttribute(LPCTSTR pstrName, LPCTSTR pstrValue)
{
    ApplyAttributeFromTable(kControlAttributes, *this, pstrName, pstrValue);
}

SIZE CControlUI::EstimateSize(SIZE) { return m_cxyFixed; }

void CControlUI::DoPaint(HDC hDC, const RECT& rcPaint)
{
    if (!m_bCanDraw) return;
    if (!::IntersectRect(&m_rcPaint, &rcPaint, &m_rcItem)) return;

    // The drawing of a whole tree shares its window's scratch GDI objects.
    PaintScratch::Use scratch(m_pManager);
    CRenderClip roundClip;
    if (m_cxyBorderRound.cx > 0 || m_cxyBorderRound.cy > 0)
        CRenderClip::GenerateRoundClip(hDC, m_rcPaint, m_rcItem, m_cxyBorderRound.cx, m_cxyBorderRound.cy, roundClip);
    PaintBkColor(hDC);
    PaintBkImage(hDC);
    PaintStatusImage(hDC);
    PaintText(hDC);
    PaintBorder(hDC);
}

void CControlUI::PaintBkColor(HDC hDC)
{
    if (m_dwBackColor == 0) return;
    if (m_dwBackColor2 == 0) {
        const DWORD color = GetAdjustColor(m_dwBackColor);
        // A translucent colour blends over the whole control so that partial
        // repaints do not stack blends of different areas.
        CRenderEngine::DrawColor(hDC, m_dwBackColor >= 0xFF000000 ? m_rcPaint : m_rcItem, color);
        return;
    }
    if (m_dwBackColor3 == 0) {
        CRenderEngine::DrawGradient(hDC, m_rcItem, GetAdjustColor(m_dwBackColor), GetAdjustColor(m_dwBackColor2), true,
                                    16);
        return;
    }
    RECT upper = m_rcItem;
    upper.bottom = (m_rcItem.top + m_rcItem.bottom) / 2;
    RECT lower = m_rcItem;
    lower.top = upper.bottom;
    CRenderEngine::DrawGradient(hDC, upper, GetAdjustColor(m_dwBackColor), GetAdjustColor(m_dwBackColor2), true, 8);
    CRenderEngine::DrawGradient(hDC, lower, GetAdjustColor(m_dwBackColor2), GetAdjustColor(m_dwBackColor3), true, 8);
}

void CControlUI::PaintBkImage(HDC hDC)
{
    if (m_sBkImage.IsEmpty()) return;
    if (EndsWithGif(m_sBkImage)) {
        if (!m_pGifHandler) m_pGifHandler = LoadGifForDpi(m_sBkImage, m_nMetricsDpi);
        if (m_pGifHandler) {
            tagTImageInfo* frame = nullptr;
            if (m_bGifAdvance) {
                m_bGifAdvance = false;
                frame = m_pGifHandler->GetNextFrameInfo();
            } else {
                frame = m_pGifHandler->GetCurrentFrameInfo();
            }
            if (!frame) return;
            const RECT source = {0, 0, frame->nX, frame->nY};
            const RECT corners = {0, 0, 0, 0};
            CRenderEngine::DrawImage(hDC, frame->hBitmap, m_rcItem, m_rcPaint, source, corners, frame->alphaChannel,
                                     255, false, false, false);
            if (frame->delay != m_nGifDelay && m_pManager) {
                m_pManager->KillTimer(this, kGifTimerId);
                m_pManager->SetTimer(this, kGifTimerId, static_cast<UINT>(frame->delay));
                m_nGifDelay = frame->delay;
            }
            return;
        }
    }
    if (m_bRandom && m_bRegionStale) {
        // The image is drawn from the control's top-left corner, so its
        // region is placed there too (not at the corner of a partial repaint).
        HRGN region = GetRegion(m_sBkImage, 0, 0, m_rcItem.left, m_rcItem.top);
        m_hRgn.Reset(region ? region : ::CreateRectRgnIndirect(&m_rcItem));
        m_bRegionStale = false;
    }
    if (!DrawImage(hDC, m_sBkImage)) m_sBkImage.Empty();

    if (!m_sForeImage.IsEmpty() && m_pManager) {
        const TImageInfo* fore = m_pManager->GetImageEx(m_sForeImage, nullptr, 0);
        if (fore && fore->hBitmap) {
            if (PaintScratch* scratch = PaintScratch::Current()) scratch->ReleaseImage();
            Gdi::MemoryDC memory(hDC);
            Gdi::Select selected(memory, fore->hBitmap);
            BLENDFUNCTION blend = {AC_SRC_OVER, 0, m_nForeAlpha, AC_SRC_ALPHA};
            CRenderEngine::AlphaBlendCall(hDC, m_rcItem.left, m_rcItem.top, m_rcItem.right - m_rcItem.left,
                                          m_rcItem.bottom - m_rcItem.top, memory, 0, 0, fore->nX, fore->nY, blend);
        }
    }
}

void CControlUI::PaintStatusImage(HDC) {}
void CControlUI::PaintText(HDC) {}

void CControlUI::PaintBorder(HDC hDC)
{
    if (m_dwBorderColor == 0 && m_dwFocusBorderColor == 0) return;
    const bool focusColored = m_bFocused && m_dwFocusBorderColor != 0;
    if (m_nBorderSize > 0 && (m_cxyBorderRound.cx > 0 || m_cxyBorderRound.cy > 0)) {
        CRenderEngine::DrawRoundRect(hDC, m_rcItem, m_nBorderSize, m_cxyBorderRound.cx, m_cxyBorderRound.cy,
                                     GetAdjustColor(focusColored ? m_dwFocusBorderColor : m_dwBorderColor));
        return;
    }
    if (focusColored && m_nBorderSize > 0) {
        CRenderEngine::DrawRect(hDC, m_rcItem, m_nBorderSize, GetAdjustColor(m_dwFocusBorderColor));
        return;
    }
    const RECT& sides = m_rcBorderSize;
    if (sides.left > 0 || sides.top > 0 || sides.right > 0 || sides.bottom > 0) {
        const DWORD color = GetAdjustColor(m_dwBorderColor);
        RECT line;
        if (sides.left > 0) {
            line = m_rcItem;
            line.right = line.left;
            CRenderEngine::DrawLine(hDC, line, sides.left, color, m_nBorderStyle);
        }
        if (sides.top > 0) {
            line = m_rcItem;
            line.bottom = line.top;
            CRenderEngine::DrawLine(hDC, line, sides.top, color, m_nBorderStyle);
        }
        if (sides.right > 0) {
            line = m_rcItem;
            line.left = line.right;
            CRenderEngine::DrawLine(hDC, line, sides.right, color, m_nBorderStyle);
        }
        if (sides.bottom > 0) {
            line = m_rcItem;
            line.top = line.bottom;
            CRenderEngine::DrawLine(hDC, line, sides.bottom, color, m_nBorderStyle);
        }
        return;
    }
    if (m_nBorderSize > 0) CRenderEngine::DrawRect(hDC, m_rcItem, m_nBorderSize, GetAdjustColor(m_dwBorderColor));
}

void CControlUI::DoPostPaint(HDC, const RECT&) {}

// ---- colours ---------------------------------------------------------------

DWORD CControlUI::GetBkColor() const { return m_dwBackColor; }

void CControlUI::SetBkColor(DWORD dwBackColor)
{
    if (m_dwBackColor == dwBackColor) return;
    m_dwBackColor = dwBackColor;
    Invalidate();
}

DWORD CControlUI::GetBkColor2() const { return m_dwBackColor2; }

void CControlUI::SetBkColor2(DWORD dwBackColor)
{
    if (m_dwBackColor2 == dwBackColor) return;
    m_dwBackColor2 = dwBackColor;
    Invalidate();
}

DWORD CControlUI::GetBkColor3() const { return m_dwBackColor3; }

void CControlUI::SetBkColor3(DWORD dwBackColor)
{
    if (m_dwBackColor3 == dwBackColor) return;
    m_dwBackColor3 = dwBackColor;
    Invalidate();
}

DWORD CControlUI::GetBorderColor() const { return m_dwBorderColor; }

void CControlUI::SetBorderColor(DWORD dwBorderColor)
{
    if (m_dwBorderColor == dwBorderColor) return;
    m_dwBorderColor = dwBorderColor;
    Invalidate();
}

DWORD CControlUI::GetFocusBorderColor() const { return m_dwFocusBorderColor; }

void CControlUI::SetFocusBorderColor(DWORD dwBorderColor)
{
    if (m_dwFocusBorderColor == dwBorderColor) return;
    m_dwFocusBorderColor = dwBorderColor;
    Invalidate();
}

bool CControlUI::IsColorHSL() const { return m_bColorHSL; }

void CControlUI::SetColorHSL(bool bColorHSL)
{
    if (m_bColorHSL == bColorHSL) return;
    m_bColorHSL = bColorHSL;
    Invalidate();
}

DWORD CControlUI::GetAdjustColor(DWORD dwColor) const
{
    if (!m_bColorHSL) return dwColor;
    short H, S, L;
    CPaintManagerUI::GetHSL(&H, &S, &L);
    return CRenderEngine::AdjustColor(dwColor, H, S, L);
}

// ---- images ----------------------------------------------------------------

LPCTSTR CControlUI::GetBkImage() const { return m_sBkImage; }

void CControlUI::SetBkImage(LPCTSTR pStrImage)
{
    if (m_sBkImage == (pStrImage ? pStrImage : L"")) return;
    ReleaseGif();
    ReleaseRegion();
    m_sBkImage = pStrImage;
    m_bRegionStale = true;
    Invalidate();
}

LPCTSTR CControlUI::GetForeImage() const { return m_sForeImage; }

void CControlUI::SetForeImage(LPCTSTR pStrImage)
{
    m_sForeImage = pStrImage;
    Invalidate();
}

BYTE CControlUI::GetForeAlpha() const { return m_nForeAlpha; }

void CControlUI::SetForeAlpha(BYTE alpha)
{
    m_nForeAlpha = alpha;
    Invalidate();
}

void CControlUI::SetImage(LPCTSTR pStrBkImage, LPCTSTR pStrForeImage, BYTE alpha)
{
    SetBkImage(pStrBkImage);
    m_sForeImage = pStrForeImage;
    m_nForeAlpha = alpha;
    Invalidate();
}

bool CControlUI::DrawImage(HDC hDC, LPCTSTR pStrImage, LPCTSTR pStrModify)
{
    return CRenderEngine::DrawImageString(hDC, m_pManager, m_rcItem, m_rcPaint, pStrImage, pStrModify);
}

// ---- border ----------------------------------------------------------------

int CControlUI::GetBorderSize() const { return m_nBorderSize; }

void CControlUI::SetBorderSize(int nSize)
{
    if (m_skin.borderSize == nSize) return;
    m_skin.borderSize = nSize;
    m_nBorderSize = Scaled(nSize);
    Invalidate();
}

void CControlUI::SetBorderSize(RECT rc)
{
    m_skin.borderSizes = rc;
    m_rcBorderSize = Scaled(rc);
    Invalidate();
}

int CControlUI::GetLeftBorderSize() const { return m_rcBorderSize.left; }

void CControlUI::SetLeftBorderSize(int nSize)
{
    m_skin.borderSizes.left = nSize;
    m_rcBorderSize.left = Scaled(nSize);
    Invalidate();
}

int CControlUI::GetTopBorderSize() const { return m_rcBorderSize.top; }

void CControlUI::SetTopBorderSize(int nSize)
{
    m_skin.borderSizes.top = nSize;
    m_rcBorderSize.top = Scaled(nSize);
    Invalidate();
}

int CControlUI::GetRightBorderSize() const { return m_rcBorderSize.right; }

void CControlUI::SetRightBorderSize(int nSize)
{
    m_skin.borderSizes.right = nSize;
    m_rcBorderSize.right = Scaled(nSize);
    Invalidate();
}

int CControlUI::GetBottomBorderSize() const { return m_rcBorderSize.bottom; }

void CControlUI::SetBottomBorderSize(int nSize)
{
    m_skin.borderSizes.bottom = nSize;
    m_rcBorderSize.bottom = Scaled(nSize);
    Invalidate();
}

int CControlUI::GetBorderStyle() const { return m_nBorderStyle; }

void CControlUI::SetBorderStyle(int nStyle)
{
    m_nBorderStyle = nStyle;
    Invalidate();
}

SIZE CControlUI::GetBorderRound() const { return m_cxyBorderRound; }

void CControlUI::SetBorderRound(SIZE cxyRound)
{
    m_skin.borderRound = cxyRound;
    m_cxyBorderRound = Scaled(cxyRound);
    Invalidate();
}

// ---- updating --------------------------------------------------------------

void CControlUI::Invalidate()
{
    if (!IsVisible() || !m_pManager) return;
    RECT rc = m_rcItem;
    if (!ClipToAncestors(rc)) return;
    m_pManager->Invalidate(rc);
}

bool CControlUI::IsUpdateNeeded() const { return m_bUpdateNeeded; }

void CControlUI::NeedUpdate()
{
    if (!IsVisible()) return;
    m_bUpdateNeeded = true;
    Invalidate();
    if (m_pManager) m_pManager->NeedUpdate();
}

void CControlUI::NeedParentUpdate()
{
    if (m_pParent) {
        m_pParent->NeedUpdate();
        m_pParent->Invalidate();
    } else {
        NeedUpdate();
    }
    if (m_pManager) m_pManager->NeedUpdate();
}

// ---- misc ------------------------------------------------------------------

void CControlUI::SetVirtualWnd(LPCTSTR pstrValue)
{
    m_sVirtualWnd = pstrValue;
    if (m_pManager) m_pManager->UsedVirtualWnd(true);
}

CUiString CControlUI::GetVirtualWnd() const
{
    if (!m_sVirtualWnd.IsEmpty()) return m_sVirtualWnd;
    if (m_pParent) return m_pParent->GetVirtualWnd();
    return CUiString();
}

CControlUI* CControlUI::ApplyAttributeList(LPCTSTR pstrList)
{
    AttributeValue::ListReader reader(pstrList);
    CUiString name, value;
    while (reader.Next(name, value)) SetAttribute(name, value);
    return this;
}

bool CControlUI::IsCanDraw() const { return m_bCanDraw; }
void CControlUI::SetCanDraw(bool bCanDraw) { m_bCanDraw = bCanDraw; }

HRGN CControlUI::GetRegion(HBITMAP hBitmap, DWORD dwColor, DWORD dwTolerance, int xOffset, int yOffset)
{
    if (!hBitmap) return nullptr;
    BITMAP info = {};
    if (!::GetObject(hBitmap, sizeof(info), &info) || info.bmWidth <= 0 || info.bmHeight <= 0) return nullptr;
    const int width = info.bmWidth, height = info.bmHeight;

    // The image may be held by the scratch context of a paint in progress.
    if (PaintScratch* scratch = PaintScratch::Current()) scratch->ReleaseImage();
    Gdi::MemoryDC memory(nullptr);
    if (!memory) return nullptr;
    Gdi::Dib32 pixels;
    if (!pixels.Create(width, height)) return nullptr;
    {
        Gdi::MemoryDC source(nullptr);
        if (!source) return nullptr;
        Gdi::Select selectSource(source, hBitmap);
        Gdi::Select selectTarget(memory, pixels.bitmap);
        ::BitBlt(memory, 0, 0, width, height, source, 0, 0, SRCCOPY);
    }
    ::GdiFlush();

    // Per-channel transparent range [low, low + tolerance], limited to 255.
    BYTE low[3], high[3];
    for (int channel = 0; channel < 3; ++channel) {
        const int shift = channel * 8;
        const int c = (dwColor >> shift) & 0xFF;
        const int t = (dwTolerance >> shift) & 0xFF;
        low[channel] = static_cast<BYTE>(c);
        high[channel] = static_cast<BYTE>(c + t > 255 ? 255 : c + t);
    }
    auto transparent = [&](DWORD px) {
        for (int channel = 0; channel < 3; ++channel) {
            const BYTE v = static_cast<BYTE>(px >> (channel * 8));
            if (v < low[channel] || v > high[channel]) return false;
        }
        return true;
    };

    const size_t kBatch = 2000;
    std::vector<RECT> rects;
    rects.reserve(100);
    HRGN result = nullptr;
    auto flush = [&]() {
        if (rects.empty()) return;
        std::vector<BYTE> buffer(sizeof(RGNDATAHEADER) + rects.size() * sizeof(RECT));
        RGNDATA* data = reinterpret_cast<RGNDATA*>(buffer.data());
        data->rdh.dwSize = sizeof(RGNDATAHEADER);
        data->rdh.iType = RDH_RECTANGLES;
        data->rdh.nCount = static_cast<DWORD>(rects.size());
        data->rdh.nRgnSize = static_cast<DWORD>(rects.size() * sizeof(RECT));
        RECT bound = rects[0];
        for (const RECT& r : rects) ::UnionRect(&bound, &bound, &r);
        data->rdh.rcBound = bound;
        std::memcpy(data->Buffer, rects.data(), rects.size() * sizeof(RECT));
        Gdi::Region batch(::ExtCreateRegion(nullptr, static_cast<DWORD>(buffer.size()), data));
        rects.clear();
        if (!batch) return;
        if (!result) {
            result = batch.Release();
        } else {
            ::CombineRgn(result, result, batch, RGN_OR);
        }
    };

    for (int y = 0; y < height; ++y) {
        const DWORD* row = pixels.bits + static_cast<size_t>(y) * width;
        int x = 0;
        while (x < width) {
            while (x < width && transparent(row[x])) ++x;
            const int start = x;
            while (x < width && !transparent(row[x])) ++x;
            if (x > start) {
                rects.push_back(RECT{xOffset + start, yOffset + y, xOffset + x, yOffset + y + 1});
                if (rects.size() >= kBatch) flush();
            }
        }
    }
    flush();
    // An image without a single opaque pixel is hit nowhere.
    if (!result) result = ::CreateRectRgn(0, 0, 0, 0);
    return result;
}

HRGN CControlUI::GetRegion(CUiString sImageName, DWORD dwColor, DWORD dwTolerance, int xOffset, int yOffset)
{
    if (!m_pManager || sImageName.IsEmpty()) return nullptr;
    const TImageInfo* image = m_pManager->GetImageEx(sImageName, nullptr, 0);
    if (!image) return nullptr;
    return GetRegion(image->hBitmap, dwColor, dwTolerance, xOffset, yOffset);
}

// ---- private ---------------------------------------------------------------

void CControlUI::KillGifTimer()
{
    if (m_pManager) m_pManager->KillTimer(this, kGifTimerId);
    m_nGifDelay = 0;
}

void CControlUI::ReleaseGif()
{
    if (!m_pGifHandler) return;
    KillGifTimer();
    delete m_pGifHandler;
    m_pGifHandler = nullptr;
}

void CControlUI::ReleaseRegion() { m_hRgn.Reset(); }

}  // namespace SkinUI
