#include "ui/controls/ButtonUI.h"

#include "ui/controls/AttributeTable.h"
#include "ui/base/AttributeValue.h"
#include "ui/render/RenderEngine.h"

#include <cwchar>

namespace SkinUI {

namespace {

using AttributeValue::ParseBool;
using AttributeValue::ParseColor;

const AttributeEntry<CButtonUI> kButtonAttributes[] = {
    {L"normalimage", [](CButtonUI& c, LPCTSTR v) { c.SetNormalImage(v); }},
    {L"hotimage", [](CButtonUI& c, LPCTSTR v) { c.SetHotImage(v); }},
    {L"pushedimage", [](CButtonUI& c, LPCTSTR v) { c.SetPushedImage(v); }},
    {L"focusedimage", [](CButtonUI& c, LPCTSTR v) { c.SetFocusedImage(v); }},
    {L"disabledimage", [](CButtonUI& c, LPCTSTR v) { c.SetDisabledImage(v); }},
    {L"hotforeimage", [](CButtonUI& c, LPCTSTR v) { c.SetHotForeImage(v); }},
    {L"hotbkcolor", [](CButtonUI& c, LPCTSTR v) { c.SetHotBkColor(ParseColor(v)); }},
    {L"hottextcolor", [](CButtonUI& c, LPCTSTR v) { c.SetHotTextColor(ParseColor(v)); }},
    {L"pushedtextcolor", [](CButtonUI& c, LPCTSTR v) { c.SetPushedTextColor(ParseColor(v)); }},
    {L"focusedtextcolor", [](CButtonUI& c, LPCTSTR v) { c.SetFocusedTextColor(ParseColor(v)); }},
    {L"adaptive", [](CButtonUI& c, LPCTSTR v) { c.SetAdaptive(ParseBool(v)); }},
};


}  // namespace

CButtonUI::CButtonUI() { m_uTextStyle = DT_SINGLELINE | DT_VCENTER | DT_CENTER; }

LPCTSTR CButtonUI::GetClass() const { return L"ButtonUI"; }

LPVOID CButtonUI::GetInterface(LPCTSTR pstrName)
{
    if (pstrName && std::wcscmp(pstrName, L"Button") == 0) return this;
    return CLabelUI::GetInterface(pstrName);
}

UINT CButtonUI::GetControlFlags() const
{
    return (IsKeyboardEnabled() ? UIFLAG_TABSTOP : 0) | (IsEnabled() ? UIFLAG_SETCURSOR : 0);
}

bool CButtonUI::Activate()
{
    if (!CControlUI::Activate()) return false;
    if (m_pManager) m_pManager->SendNotify(this, L"click");
    return true;
}

void CButtonUI::SetEnabled(bool bEnable)
{
    CControlUI::SetEnabled(bEnable);
    if (!IsEnabled()) m_uButtonState = 0;
}

void CButtonUI::DoEvent(TEventUI& event)
{
    if (PassMouseEventOn(event)) return;
    switch (event.Type) {
    case UIEVENT_KEYDOWN:
        if (IsKeyboardEnabled() && (event.chKey == VK_SPACE || event.chKey == VK_RETURN)) {
            Activate();
            return;
        }
        break;
    case UIEVENT_BUTTONDOWN:
    case UIEVENT_DBLCLICK:
        if (::PtInRect(&m_rcItem, event.ptMouse) && IsEnabled()) {
            m_uButtonState |= UISTATE_PUSHED | UISTATE_CAPTURED;
            Invalidate();
        }
        return;
    case UIEVENT_MOUSEMOVE:
        if (m_uButtonState & UISTATE_CAPTURED) {
            if (::PtInRect(&m_rcItem, event.ptMouse))
                m_uButtonState |= UISTATE_PUSHED;
            else
                m_uButtonState &= ~UISTATE_PUSHED;
            Invalidate();
        }
        return;
    case UIEVENT_BUTTONUP:
        if (m_uButtonState & UISTATE_CAPTURED) {
            const bool inside = ::PtInRect(&m_rcItem, event.ptMouse) != FALSE;
            // The state is settled before "click": its handler may remove
            // the button.
            m_uButtonState &= ~(UISTATE_PUSHED | UISTATE_CAPTURED);
            Invalidate();
            if (inside) Activate();
        }
        return;
    case UIEVENT_MOUSEENTER:
    case UIEVENT_MOUSELEAVE:
        if (IsEnabled()) {
            const bool enter = event.Type == UIEVENT_MOUSEENTER;
            if (enter)
                m_uButtonState |= UISTATE_HOT;
            else
                m_uButtonState &= ~UISTATE_HOT;
            Invalidate();
            if (m_pManager)
                m_pManager->SendNotify(this, enter ? L"mouseenter" : L"mouseleave", event.wParam, event.lParam);
            return;
        }
        break;
    case UIEVENT_CONTEXTMENU:
        if (IsContextMenuUsed() && m_pManager) m_pManager->SendNotify(this, L"menu", event.wParam, event.lParam);
        return;
    case UIEVENT_SETFOCUS:
    case UIEVENT_KILLFOCUS:
        Invalidate();
        break;
    case UIEVENT_SETCURSOR:
        if (m_bShowHand) {
            ::SetCursor(::LoadCursor(nullptr, IDC_HAND));
            return;
        }
        CControlUI::DoEvent(event);
        return;
    default:
        break;
    }
    CLabelUI::DoEvent(event);
}

void CButtonUI::SetAttribute(LPCTSTR pstrName, LPCTSTR pstrValue)
{
    if (ApplyAttributeFromTable(kButtonAttributes, *this, pstrName, pstrValue)) return;
    if (pstrName && std::wcscmp(pstrName, L"showhand") == 0) {
        // Only "true" changes it: a later "false" leaves the hand on.
        if (ParseBool(pstrValue)) m_bShowHand = true;
        return;
    }
    CLabelUI::SetAttribute(pstrName, pstrValue);
}

SIZE CButtonUI::EstimateSize(SIZE)
{
    if (m_cxyFixed.cy != 0 || !m_pManager) return m_cxyFixed;
    return SIZE{m_cxyFixed.cx, m_pManager->GetFontInfo(m_iFont)->tm.tmHeight + Scaled(8)};
}

// ---- images and colours --------------------------------------------------------

LPCTSTR CButtonUI::GetNormalImage() const { return m_sNormalImage; }
void CButtonUI::SetNormalImage(LPCTSTR pStrImage)
{
    m_sNormalImage = pStrImage;
    Invalidate();
}
LPCTSTR CButtonUI::GetHotImage() const { return m_sHotImage; }
void CButtonUI::SetHotImage(LPCTSTR pStrImage)
{
    m_sHotImage = pStrImage;
    Invalidate();
}
LPCTSTR CButtonUI::GetPushedImage() const { return m_sPushedImage; }
void CButtonUI::SetPushedImage(LPCTSTR pStrImage)
{
    m_sPushedImage = pStrImage;
    Invalidate();
}
LPCTSTR CButtonUI::GetFocusedImage() const { return m_sFocusedImage; }
void CButtonUI::SetFocusedImage(LPCTSTR pStrImage)
{
    m_sFocusedImage = pStrImage;
    Invalidate();
}
LPCTSTR CButtonUI::GetDisabledImage() const { return m_sDisabledImage; }
void CButtonUI::SetDisabledImage(LPCTSTR pStrImage)
{
    m_sDisabledImage = pStrImage;
    Invalidate();
}
LPCTSTR CButtonUI::GetHotForeImage() const { return m_sHotForeImage; }
void CButtonUI::SetHotForeImage(LPCTSTR pStrImage)
{
    m_sHotForeImage = pStrImage;
    Invalidate();
}

void CButtonUI::SetHotBkColor(DWORD dwColor) { m_dwHotBkColor = dwColor; }
DWORD CButtonUI::GetHotBkColor() const { return m_dwHotBkColor; }
void CButtonUI::SetHotTextColor(DWORD dwColor) { m_dwHotTextColor = dwColor; }
DWORD CButtonUI::GetHotTextColor() const { return m_dwHotTextColor; }
void CButtonUI::SetPushedTextColor(DWORD dwColor) { m_dwPushedTextColor = dwColor; }
DWORD CButtonUI::GetPushedTextColor() const { return m_dwPushedTextColor; }
void CButtonUI::SetFocusedTextColor(DWORD dwColor) { m_dwFocusedTextColor = dwColor; }
DWORD CButtonUI::GetFocusedTextColor() const { return m_dwFocusedTextColor; }
void CButtonUI::SetAdaptive(bool bAdaptive) { m_bAdaptive = bAdaptive; }
bool CButtonUI::GetAdaptive() const { return m_bAdaptive; }
void CButtonUI::SetHtmlTextHeight(int nHeight) { m_nHtmlTextHeight = nHeight; }
int CButtonUI::GetHtmlTextHeight() const { return m_nHtmlTextHeight; }

// ---- painting --------------------------------------------------------------------

void CButtonUI::UpdateStateBits()
{
    if (IsFocused())
        m_uButtonState |= UISTATE_FOCUSED;
    else
        m_uButtonState &= ~UISTATE_FOCUSED;
    if (!IsEnabled())
        m_uButtonState |= UISTATE_DISABLED;
    else
        m_uButtonState &= ~UISTATE_DISABLED;
}

bool CButtonUI::DrawStateImage(HDC hDC, CUiString& image)
{
    if (image.IsEmpty()) return false;
    if (DrawImage(hDC, image)) return true;
    image.Empty();
    return false;
}

void CButtonUI::PaintStatusImage(HDC hDC)
{
    UpdateStateBits();
    bool drawNormal = true;
    if ((m_uButtonState & UISTATE_DISABLED) && !m_sDisabledImage.IsEmpty()) {
        drawNormal = !DrawStateImage(hDC, m_sDisabledImage);
    } else if ((m_uButtonState & UISTATE_PUSHED) && !m_sPushedImage.IsEmpty()) {
        DrawStateImage(hDC, m_sPushedImage);
        drawNormal = false;
    } else if ((m_uButtonState & UISTATE_HOT) && !m_sHotImage.IsEmpty()) {
        DrawStateImage(hDC, m_sHotImage);
        if (!m_sHotForeImage.IsEmpty()) {
            DrawStateImage(hDC, m_sHotForeImage);
            return;
        }
        drawNormal = false;
    } else if ((m_uButtonState & UISTATE_HOT) && m_dwHotBkColor != 0) {
        CRenderEngine::DrawColor(hDC, m_rcPaint, GetAdjustColor(m_dwHotBkColor));
        return;
    } else if ((m_uButtonState & UISTATE_FOCUSED) && !m_sFocusedImage.IsEmpty()) {
        drawNormal = !DrawStateImage(hDC, m_sFocusedImage);
    }
    if (drawNormal) DrawStateImage(hDC, m_sNormalImage);
    DrawStateImage(hDC, m_sForeImage);
}

DWORD CButtonUI::StateTextColor() const
{
    const DWORD base = IsEnabled() ? m_dwTextColor : m_dwDisabledTextColor;
    if ((m_uButtonState & UISTATE_PUSHED) && m_dwPushedTextColor != 0) return m_dwPushedTextColor;
    if ((m_uButtonState & UISTATE_HOT) && m_dwHotTextColor != 0) return m_dwHotTextColor;
    if ((m_uButtonState & UISTATE_FOCUSED) && m_dwFocusedTextColor != 0) return m_dwFocusedTextColor;
    return base;
}

void CButtonUI::PaintText(HDC hDC)
{
    if (m_bEnableEffect) {
        CLabelUI::PaintText(hDC);
        return;
    }
    UpdateStateBits();
    ResolveDefaultColors();
    if (m_sText.IsEmpty()) return;
    RECT rc = TextRect();
    const DWORD color = StateTextColor();
    int drawnHeight = 0;
    if (m_bShowHtml) {
        int nLinks = 0;
        drawnHeight =
            CRenderEngine::DrawHtmlText(hDC, m_pManager, rc, m_sText, color, nullptr, nullptr, nLinks, m_uTextStyle);
    } else {
        CRenderEngine::DrawText(hDC, m_pManager, rc, m_sText, color, m_iFont, m_uTextStyle);
    }
    if (m_bAdaptive) AdaptToText(hDC, drawnHeight);
}

void CButtonUI::AdaptToText(HDC hDC, int drawnHeight)
{
    RECT rc = m_rcItem;
    if (m_bShowHtml) {
        if (m_nHtmlTextHeight < 1) return;
        int height = m_nHtmlTextHeight;
        if (drawnHeight > 0 && drawnHeight <= height) height = drawnHeight;
        rc.bottom = rc.top + height;
        if (!::EqualRect(&rc, &m_rcItem)) SetPos(rc);
        return;
    }
    const SIZE extent = CRenderEngine::GetTextSize(hDC, m_pManager, m_sText, m_iFont, m_uTextStyle);
    if (extent.cx > 0 && extent.cx != m_rcItem.right - m_rcItem.left) {
        rc.right = rc.left + extent.cx;
        SetPos(rc);
    }
}

}  // namespace SkinUI
