#include "ui/controls/StackLayoutUI.h"

#include "ui/base/AttributeValue.h"
#include "ui/controls/ScrollBarUI.h"

#include <cwchar>

namespace SkinUI {

CStackLayoutUI::CStackLayoutUI(bool bVertical) : m_separator(bVertical), m_bVertical(bVertical) {}

UINT CStackLayoutUI::GetControlFlags() const
{
    return IsEnabled() && m_separator.GetSize() != 0 ? UIFLAG_SETCURSOR : 0;
}

void CStackLayoutUI::SetSepImmMode(bool bImmediately) { m_separator.SetImmMode(*this, bImmediately); }
bool CStackLayoutUI::IsSepImmMode() const { return m_separator.IsImmMode(); }
RECT CStackLayoutUI::GetThumbRect(bool bUseNew) const { return m_separator.ThumbRect(m_rcItem, bUseNew); }

void CStackLayoutUI::SetAttribute(LPCTSTR pstrName, LPCTSTR pstrValue)
{
    if (pstrName && std::wcscmp(pstrName, L"sepimm") == 0)
        SetSepImmMode(AttributeValue::ParseBool(pstrValue ? pstrValue : L""));
    else
        CContainerUI::SetAttribute(pstrName, pstrValue);
}

void CStackLayoutUI::DoEvent(TEventUI& event)
{
    if (m_separator.HandleEvent(*this, m_rcItem, event)) return;
    CContainerUI::DoEvent(event);
}

void CStackLayoutUI::DoPostPaint(HDC hDC, const RECT&) { m_separator.PostPaint(hDC); }

void CStackLayoutUI::RescaleMetrics()
{
    CContainerUI::RescaleMetrics();
    m_separator.SetSize(Scaled(m_skinSepSize));
}

void CStackLayoutUI::SetPos(RECT rc)
{
    CControlUI::SetPos(rc);
    CoveredLayout covered(*this);
    const RECT client = GetClientRect();
    const int needed = m_items.IsEmpty() ? 0 : StackChildren(m_bVertical, client);
    if (m_bVertical)
        ProcessScrollBar(client, 0, needed);
    else
        ProcessScrollBar(client, needed, 0);
}

}  // namespace SkinUI
