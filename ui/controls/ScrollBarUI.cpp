#include "ui/controls/ScrollBarUI.h"

#include "ui/base/AttributeValue.h"
#include "ui/controls/ContainerUI.h"
#include "ui/render/RenderEngine.h"

#include <cwchar>

namespace SkinUI {

namespace {

// Outline of a part that has no image, so that a bar without a skin still
// shows where to click.
constexpr DWORD kOutlineColor = 0xFF85E4FF;
// The background leaves the ends of the bar to the buttons.
constexpr int kBkInset = 11;

const wchar_t* const kPartNames[] = {L"button1", L"button2", L"thumb", L"rail", L"bk"};
const wchar_t* const kStateNames[] = {L"normalimage", L"hotimage", L"pushedimage", L"disabledimage"};


void SetBit(UINT& state, UINT bit, bool on)
{
    if (on)
        state |= bit;
    else
        state &= ~bit;
}

}  // namespace

CScrollBarUI::CScrollBarUI()
{
    m_cxyFixed.cx = 11;
    m_skin.fixed.cx = 11;
}

LPCTSTR CScrollBarUI::GetClass() const { return L"ScrollBarUI"; }

LPVOID CScrollBarUI::GetInterface(LPCTSTR pstrName)
{
    if (pstrName && std::wcscmp(pstrName, L"ScrollBar") == 0) return this;
    return CControlUI::GetInterface(pstrName);
}

void CScrollBarUI::SetVisible(bool bVisible)
{
    if (m_bVisible == bVisible) return;
    m_bVisible = bVisible;
    m_bFocused = false;
}

void CScrollBarUI::SetEnabled(bool bEnable)
{
    CControlUI::SetEnabled(bEnable);
    if (!IsEnabled()) m_uButton1State = m_uButton2State = m_uThumbState = 0;
}

void CScrollBarUI::SetFocus()
{
    if (m_pOwner)
        m_pOwner->SetFocus();
    else
        CControlUI::SetFocus();
}

CContainerUI* CScrollBarUI::GetOwner() const { return m_pOwner; }
void CScrollBarUI::SetOwner(CContainerUI* pOwner) { m_pOwner = pOwner; }
bool CScrollBarUI::IsHorizontal() const { return m_bHorizontal; }

void CScrollBarUI::SetHorizontal(bool bHorizontal)
{
    if (m_bHorizontal == bHorizontal) return;
    m_bHorizontal = bHorizontal;
    if (m_bHorizontal) {
        if (m_skin.fixed.cy == 0) m_skin.fixed = SIZE{0, 11};
    } else if (m_skin.fixed.cx == 0) {
        m_skin.fixed = SIZE{11, 0};
    }
    m_cxyFixed = Scaled(m_skin.fixed);
    if (m_pOwner)
        m_pOwner->NeedUpdate();
    else
        NeedParentUpdate();
}

int CScrollBarUI::GetScrollRange() const { return m_nRange; }

void CScrollBarUI::SetScrollRange(int nRange)
{
    if (m_nRange == nRange) return;
    m_nRange = nRange < 0 ? 0 : nRange;
    if (m_nScrollPos > m_nRange) m_nScrollPos = m_nRange;
    SetPos(m_rcItem);
}

int CScrollBarUI::GetScrollPos() const { return m_nScrollPos; }

void CScrollBarUI::SetScrollPos(int nPos)
{
    if (m_nScrollPos == nPos) return;
    m_nScrollPos = nPos < 0 ? 0 : (nPos > m_nRange ? m_nRange : nPos);
    SetPos(m_rcItem);
}

int CScrollBarUI::GetLineSize() const { return m_nLineSize; }
void CScrollBarUI::SetLineSize(int nSize) { m_nLineSize = nSize; }
bool CScrollBarUI::GetShowButton1() const { return m_bShowButton1; }
void CScrollBarUI::SetShowButton1(bool bShow)
{
    m_bShowButton1 = bShow;
    SetPos(m_rcItem);
}
bool CScrollBarUI::GetShowButton2() const { return m_bShowButton2; }
void CScrollBarUI::SetShowButton2(bool bShow)
{
    m_bShowButton2 = bShow;
    SetPos(m_rcItem);
}

void CScrollBarUI::SetPos(RECT rc)
{
    CControlUI::SetPos(rc);
    ScrollBarGeometry::Input in;
    in.item = m_rcItem;
    in.thickness = m_bHorizontal ? m_cxyFixed.cy : m_cxyFixed.cx;
    in.horizontal = m_bHorizontal;
    in.showButton1 = m_bShowButton1;
    in.showButton2 = m_bShowButton2;
    in.range = m_nRange;
    in.position = m_nScrollPos;
    m_parts = ScrollBarGeometry::Compute(in);
}

void CScrollBarUI::SetAttribute(LPCTSTR pstrName, LPCTSTR pstrValue)
{
    if (!pstrName) return;
    for (int part = 0; part < kPartCount; ++part) {
        const size_t prefix = std::wcslen(kPartNames[part]);
        if (std::wcsncmp(pstrName, kPartNames[part], prefix) != 0) continue;
        for (int state = 0; state < kStateCount; ++state) {
            if (std::wcscmp(pstrName + prefix, kStateNames[state]) == 0) {
                SetImage(static_cast<Part>(part), static_cast<ImageState>(state), pstrValue);
                return;
            }
        }
    }
    if (std::wcscmp(pstrName, L"hor") == 0)
        SetHorizontal(AttributeValue::ParseBool(pstrValue));
    else if (std::wcscmp(pstrName, L"linesize") == 0)
        SetLineSize(AttributeValue::ParseInt(pstrValue));
    else if (std::wcscmp(pstrName, L"range") == 0)
        SetScrollRange(AttributeValue::ParseInt(pstrValue));
    else if (std::wcscmp(pstrName, L"value") == 0)
        SetScrollPos(AttributeValue::ParseInt(pstrValue));
    else if (std::wcscmp(pstrName, L"showbutton1") == 0)
        SetShowButton1(AttributeValue::ParseBool(pstrValue));
    else if (std::wcscmp(pstrName, L"showbutton2") == 0)
        SetShowButton2(AttributeValue::ParseBool(pstrValue));
    else
        CControlUI::SetAttribute(pstrName, pstrValue);
}

// ---- steps -----------------------------------------------------------------------

void CScrollBarUI::LineBack()
{
    if (!m_pOwner)
        SetScrollPos(m_nScrollPos - m_nLineSize);
    else if (m_bHorizontal)
        m_pOwner->LineLeft();
    else
        m_pOwner->LineUp(8);
}

void CScrollBarUI::LineForward()
{
    if (!m_pOwner)
        SetScrollPos(m_nScrollPos + m_nLineSize);
    else if (m_bHorizontal)
        m_pOwner->LineRight();
    else
        m_pOwner->LineDown(8);
}

void CScrollBarUI::PageBack()
{
    if (!m_pOwner)
        SetScrollPos(m_nScrollPos - (m_bHorizontal ? GetWidth() : GetHeight()));
    else if (m_bHorizontal)
        m_pOwner->PageLeft();
    else
        m_pOwner->PageUp();
}

void CScrollBarUI::PageForward()
{
    if (!m_pOwner)
        SetScrollPos(m_nScrollPos + (m_bHorizontal ? GetWidth() : GetHeight()));
    else if (m_bHorizontal)
        m_pOwner->PageRight();
    else
        m_pOwner->PageDown();
}

void CScrollBarUI::PageTowards(POINT pt)
{
    const int direction = ScrollBarGeometry::PageDirection(m_parts, m_bHorizontal, pt);
    if (direction < 0)
        PageBack();
    else if (direction > 0)
        PageForward();
}

void CScrollBarUI::ApplyDrag()
{
    const int position = m_nLastScrollPos + m_nLastScrollOffset;
    if (m_pOwner) {
        const SIZE current = m_pOwner->GetScrollPos();
        m_pOwner->SetScrollPos(m_bHorizontal ? SIZE{position, current.cy} : SIZE{current.cx, position});
    } else {
        SetScrollPos(position);
    }
}

void CScrollBarUI::ReportScroll()
{
    if (!m_pOwner && m_pManager) m_pManager->SendNotify(this, L"scroll");
}

bool CScrollBarUI::IsPressed() const
{
    return (m_uThumbState & UISTATE_CAPTURED) || (m_uButton1State & UISTATE_PUSHED) ||
           (m_uButton2State & UISTATE_PUSHED);
}

// ---- events ------------------------------------------------------------------------

CControlUI* CScrollBarUI::MouseEventReceiver() const { return m_pOwner; }

void CScrollBarUI::DoEvent(TEventUI& event)
{
    if (PassMouseEventOn(event)) return;
    const int T = m_bHorizontal ? m_cxyFixed.cy : m_cxyFixed.cx;
    switch (event.Type) {
    case UIEVENT_MOUSEMOVE:
        if (m_uThumbState & UISTATE_CAPTURED) {
            // The timer moves the content to the new offset; moving on every
            // mouse message would re-lay out the owner far more often.
            const RECT& thumb = m_parts.thumb;
            if (m_bHorizontal)
                m_nLastScrollOffset = ScrollBarGeometry::DragOffset(event.ptMouse.x - m_ptLastMouse.x, m_nRange,
                                                                    GetWidth(), T, thumb.right - thumb.left);
            else
                m_nLastScrollOffset = ScrollBarGeometry::DragOffset(event.ptMouse.y - m_ptLastMouse.y, m_nRange,
                                                                    GetHeight(), T, thumb.bottom - thumb.top);
        } else {
            const bool inThumb = ::PtInRect(&m_parts.thumb, event.ptMouse) != FALSE;
            if ((m_uThumbState & UISTATE_HOT) && !inThumb) {
                m_uThumbState &= ~UISTATE_HOT;
                Invalidate();
            } else if (!(m_uThumbState & UISTATE_HOT) && IsEnabled() && inThumb) {
                m_uThumbState |= UISTATE_HOT;
                Invalidate();
            }
        }
        return;
    case UIEVENT_BUTTONDOWN:
    case UIEVENT_DBLCLICK:
        if (!IsEnabled()) return;
        m_nLastScrollOffset = 0;
        m_nScrollRepeatDelay = 0;
        if (m_pManager) m_pManager->SetTimer(this, kRepeatTimerId, kRepeatElapse);
        if (::PtInRect(&m_parts.button1, event.ptMouse)) {
            m_uButton1State |= UISTATE_PUSHED;
            LineBack();
        } else if (::PtInRect(&m_parts.button2, event.ptMouse)) {
            m_uButton2State |= UISTATE_PUSHED;
            LineForward();
        } else if (::PtInRect(&m_parts.thumb, event.ptMouse)) {
            m_uThumbState |= UISTATE_CAPTURED | UISTATE_PUSHED;
            m_ptLastMouse = event.ptMouse;
            m_nLastScrollPos = m_nScrollPos;
        } else {
            PageTowards(event.ptMouse);
        }
        Invalidate();
        ReportScroll();
        return;
    case UIEVENT_BUTTONUP:
        m_nScrollRepeatDelay = 0;
        if (m_pManager) m_pManager->KillTimer(this, kRepeatTimerId);
        if (m_uThumbState & UISTATE_CAPTURED) {
            // A release between two timer ticks still lands where the
            // thumb was dropped.
            if (m_nLastScrollPos + m_nLastScrollOffset != m_nScrollPos) {
                ApplyDrag();
                ReportScroll();
            }
            m_uThumbState &= ~(UISTATE_CAPTURED | UISTATE_PUSHED);
        } else if (m_uButton1State & UISTATE_PUSHED) {
            m_uButton1State &= ~UISTATE_PUSHED;
        } else if (m_uButton2State & UISTATE_PUSHED) {
            m_uButton2State &= ~UISTATE_PUSHED;
        } else {
            m_nLastScrollOffset = 0;
            return;
        }
        m_nLastScrollOffset = 0;
        Invalidate();
        return;
    case UIEVENT_CONTEXTMENU:
    case UIEVENT_KILLFOCUS:
    case UIEVENT_SETFOCUS:
        return;
    case UIEVENT_MOUSEENTER:
        if (IsEnabled()) {
            m_uButton1State |= UISTATE_HOT;
            m_uButton2State |= UISTATE_HOT;
            if (::PtInRect(&m_parts.thumb, event.ptMouse)) m_uThumbState |= UISTATE_HOT;
            Invalidate();
            return;
        }
        break;
    case UIEVENT_MOUSELEAVE:
        if (IsEnabled()) {
            m_uButton1State &= ~UISTATE_HOT;
            m_uButton2State &= ~UISTATE_HOT;
            m_uThumbState &= ~UISTATE_HOT;
            Invalidate();
            return;
        }
        break;
    case UIEVENT_TIMER:
        if (event.wParam != kRepeatTimerId) break;
        ++m_nScrollRepeatDelay;
        if (m_uThumbState & UISTATE_CAPTURED) {
            ApplyDrag();
            Invalidate();
            ReportScroll();
            return;
        }
        if (m_nScrollRepeatDelay <= kRepeatDelayTicks) return;
        if (m_uButton1State & UISTATE_PUSHED) {
            LineBack();
        } else if (m_uButton2State & UISTATE_PUSHED) {
            LineForward();
        } else if (m_pManager) {
            POINT pt = {0, 0};
            ::GetCursorPos(&pt);
            ::ScreenToClient(m_pManager->GetPaintWindow(), &pt);
            PageTowards(pt);
        }
        ReportScroll();
        return;
    default:
        break;
    }
    if (m_pOwner)
        m_pOwner->DoEvent(event);
    else
        CControlUI::DoEvent(event);
}

// ---- painting ------------------------------------------------------------------------

void CScrollBarUI::DoPaint(HDC hDC, const RECT& rcPaint)
{
    if (!::IntersectRect(&m_rcPaint, &rcPaint, &m_rcItem)) return;
    PaintBk(hDC);
    PaintButton1(hDC);
    PaintButton2(hDC);
    PaintThumb(hDC);
    PaintRail(hDC);
}

RECT CScrollBarUI::RelativeTo(const RECT& rc) const
{
    return RECT{rc.left - m_rcItem.left, rc.top - m_rcItem.top, rc.right - m_rcItem.left, rc.bottom - m_rcItem.top};
}

bool CScrollBarUI::PaintPartImage(Part part, UINT& state, HDC hDC, const RECT* rcBk)
{
    SetBit(state, UISTATE_DISABLED, !IsEnabled());
    auto draw = [&](ImageState which) {
        CUiString& image = m_images[part][which];
        if (image.IsEmpty()) return false;
        const bool ok = rcBk ? CRenderEngine::DrawImageString(hDC, m_pManager, *rcBk, m_rcPaint, image, nullptr)
                             : DrawImage(hDC, image, m_sImageModify);
        if (!ok) image.Empty();
        return ok;
    };
    ImageState preferred = kNormal;
    if (state & UISTATE_DISABLED)
        preferred = kDisabled;
    else if (state & UISTATE_PUSHED)
        preferred = kPushed;
    else if (state & UISTATE_HOT)
        preferred = kHot;
    if (preferred != kNormal && draw(preferred)) return true;
    return draw(kNormal);
}

bool CScrollBarUI::PaintPartAt(Part part, UINT& state, HDC hDC, const RECT& rc)
{
    const RECT rel = RelativeTo(rc);
    m_sImageModify.Format(L"dest='%d,%d,%d,%d'", rel.left, rel.top, rel.right, rel.bottom);
    return PaintPartImage(part, state, hDC, nullptr);
}

void CScrollBarUI::PaintBk(HDC hDC)
{
    RECT rc = m_rcItem;
    rc.top += kBkInset;
    rc.bottom -= kBkInset;
    if (rc.bottom < rc.top) rc.bottom = rc.top;
    PaintPartImage(kBk, m_uThumbState, hDC, &rc);
}

void CScrollBarUI::PaintButton1(HDC hDC)
{
    if (!m_bShowButton1) return;
    if (!PaintPartAt(kButton1, m_uButton1State, hDC, m_parts.button1))
        CRenderEngine::DrawRect(hDC, m_parts.button1, 2, kOutlineColor);
}

void CScrollBarUI::PaintButton2(HDC hDC)
{
    if (!m_bShowButton2) return;
    if (!PaintPartAt(kButton2, m_uButton2State, hDC, m_parts.button2))
        CRenderEngine::DrawRect(hDC, m_parts.button2, 2, kOutlineColor);
}

void CScrollBarUI::PaintThumb(HDC hDC)
{
    if (!ScrollBarGeometry::HasThumb(m_parts)) return;
    if (!PaintPartAt(kThumb, m_uThumbState, hDC, m_parts.thumb))
        CRenderEngine::DrawRect(hDC, m_parts.thumb, 2, kOutlineColor);
}

void CScrollBarUI::PaintRail(HDC hDC)
{
    if (!ScrollBarGeometry::HasThumb(m_parts)) return;
    const RECT& thumb = m_parts.thumb;
    const int T = m_bHorizontal ? m_cxyFixed.cy : m_cxyFixed.cx;
    RECT grip;
    if (m_bHorizontal) {
        const int centre = (thumb.left + thumb.right) / 2;
        grip = RECT{centre - T / 2, thumb.top, centre - T / 2 + T, thumb.bottom};
    } else {
        const int centre = (thumb.top + thumb.bottom) / 2;
        grip = RECT{thumb.left, centre - T / 2, thumb.right, centre - T / 2 + T};
    }
    PaintPartAt(kRail, m_uThumbState, hDC, grip);
}

// ---- images ----------------------------------------------------------------------------

void CScrollBarUI::SetImage(Part part, ImageState state, LPCTSTR pStrImage)
{
    m_images[part][state] = pStrImage;
    Invalidate();
}

#define VORNEX_SCROLLBAR_IMAGE(Name, part, state)                                                                      \
    LPCTSTR CScrollBarUI::Get##Name##Image() const { return Image(part, state); }                                      \
    void CScrollBarUI::Set##Name##Image(LPCTSTR pStrImage) { SetImage(part, state, pStrImage); }
VORNEX_SCROLLBAR_IMAGE(Button1Normal, kButton1, kNormal)
VORNEX_SCROLLBAR_IMAGE(Button1Hot, kButton1, kHot)
VORNEX_SCROLLBAR_IMAGE(Button1Pushed, kButton1, kPushed)
VORNEX_SCROLLBAR_IMAGE(Button1Disabled, kButton1, kDisabled)
VORNEX_SCROLLBAR_IMAGE(Button2Normal, kButton2, kNormal)
VORNEX_SCROLLBAR_IMAGE(Button2Hot, kButton2, kHot)
VORNEX_SCROLLBAR_IMAGE(Button2Pushed, kButton2, kPushed)
VORNEX_SCROLLBAR_IMAGE(Button2Disabled, kButton2, kDisabled)
VORNEX_SCROLLBAR_IMAGE(ThumbNormal, kThumb, kNormal)
VORNEX_SCROLLBAR_IMAGE(ThumbHot, kThumb, kHot)
VORNEX_SCROLLBAR_IMAGE(ThumbPushed, kThumb, kPushed)
VORNEX_SCROLLBAR_IMAGE(ThumbDisabled, kThumb, kDisabled)
VORNEX_SCROLLBAR_IMAGE(RailNormal, kRail, kNormal)
VORNEX_SCROLLBAR_IMAGE(RailHot, kRail, kHot)
VORNEX_SCROLLBAR_IMAGE(RailPushed, kRail, kPushed)
VORNEX_SCROLLBAR_IMAGE(RailDisabled, kRail, kDisabled)
VORNEX_SCROLLBAR_IMAGE(BkNormal, kBk, kNormal)
VORNEX_SCROLLBAR_IMAGE(BkHot, kBk, kHot)
VORNEX_SCROLLBAR_IMAGE(BkPushed, kBk, kPushed)
VORNEX_SCROLLBAR_IMAGE(BkDisabled, kBk, kDisabled)
#undef VORNEX_SCROLLBAR_IMAGE

}  // namespace SkinUI
