#include "ui/controls/TextUI.h"

#include "ui/render/RenderEngine.h"

#include <algorithm>
#include <cwchar>

namespace SkinUI {

CTextUI::CTextUI()
{
    m_rcTextPadding = RECT{2, 0, 2, 0};
    m_uTextStyle = DT_WORDBREAK;
}

LPCTSTR CTextUI::GetClass() const { return L"TextUI"; }

LPVOID CTextUI::GetInterface(LPCTSTR pstrName)
{
    if (pstrName && std::wcscmp(pstrName, L"Text") == 0) return this;
    return CLabelUI::GetInterface(pstrName);
}

UINT CTextUI::GetControlFlags() const { return IsEnabled() && m_nLinks > 0 ? UIFLAG_SETCURSOR : 0; }

CUiString* CTextUI::GetLinkContent(int iIndex)
{
    if (iIndex < 0 || iIndex >= m_nLinks) return nullptr;
    return &m_sLinks[iIndex];
}

int CTextUI::LinkAt(POINT pt) const
{
    for (int i = 0; i < m_nLinks; ++i)
        if (::PtInRect(&m_rcLinks[i], pt)) return i;
    return -1;
}

void CTextUI::DoEvent(TEventUI& event)
{
    if (PassMouseEventOn(event)) return;
    switch (event.Type) {
    case UIEVENT_SETCURSOR:
        if (LinkAt(event.ptMouse) >= 0) {
            ::SetCursor(::LoadCursor(nullptr, IDC_HAND));
            return;
        }
        break;
    case UIEVENT_BUTTONDOWN:
    case UIEVENT_DBLCLICK:
        if ((event.Type == UIEVENT_BUTTONDOWN || IsEnabled()) && LinkAt(event.ptMouse) >= 0) {
            Invalidate();
            return;
        }
        break;
    case UIEVENT_BUTTONUP:
        if (IsEnabled()) {
            const int link = LinkAt(event.ptMouse);
            if (link >= 0) {
                if (m_pManager) m_pManager->SendNotify(this, L"link", static_cast<WPARAM>(link));
                return;
            }
        }
        break;
    case UIEVENT_CONTEXTMENU:
        return;
    case UIEVENT_MOUSEMOVE:
        if (IsEnabled() && m_nLinks > 0) {
            const int hover = LinkAt(event.ptMouse);
            if (hover != m_nHoverLink) {
                m_nHoverLink = hover;
                Invalidate();
            }
            return;
        }
        break;
    case UIEVENT_MOUSELEAVE:
        if (m_nHoverLink != -1) {
            m_nHoverLink = -1;
            Invalidate();
            return;
        }
        break;
    default:
        break;
    }
    CLabelUI::DoEvent(event);
}

SIZE CTextUI::EstimateSize(SIZE szAvailable)
{
    if (!m_pManager) return m_cxyFixed;
    HDC hDC = m_pManager->GetPaintDC();
    if (!hDC) return m_cxyFixed;
    RECT rcText = {m_rcTextPadding.left, 0, std::max<LONG>(m_cxyFixed.cx, szAvailable.cx) - m_rcTextPadding.right,
                   9999};
    if (m_bShowHtml) {
        int nLinks = 0;
        CRenderEngine::DrawHtmlText(hDC, m_pManager, rcText, m_sText, m_dwTextColor, nullptr, nullptr, nLinks,
                                    DT_CALCRECT | m_uTextStyle);
    } else {
        CRenderEngine::DrawText(hDC, m_pManager, rcText, m_sText, m_dwTextColor, m_iFont, DT_CALCRECT | m_uTextStyle);
    }
    SIZE size = {rcText.right - rcText.left + m_rcTextPadding.left + m_rcTextPadding.right,
                 rcText.bottom - rcText.top + m_rcTextPadding.top + m_rcTextPadding.bottom};
    if (m_cxyFixed.cy != 0) size.cy = m_cxyFixed.cy;
    return size;
}

void CTextUI::PaintText(HDC hDC)
{
    if (m_sText.IsEmpty()) {
        m_nLinks = 0;
        return;
    }
    ResolveDefaultColors();
    RECT rc = TextRect();
    const DWORD color = IsEnabled() ? m_dwTextColor : m_dwDisabledTextColor;
    if (m_bShowHtml) {
        m_nLinks = kMaxLinks;
        CRenderEngine::DrawHtmlText(hDC, m_pManager, rc, m_sText, color, m_rcLinks, m_sLinks, m_nLinks, m_uTextStyle);
    } else {
        CRenderEngine::DrawText(hDC, m_pManager, rc, m_sText, color, m_iFont, m_uTextStyle);
    }
}

}  // namespace SkinUI
