#include "ui/control/ScrollBarUI.h"

#include "ui/control/AttributeValue.h"
#include "ui/control/ContainerUI.h"

#include <cwchar>

namespace SkinUI {

CScrollBarUI::CScrollBarUI() { m_cxyFixed.cx = 11; }

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

void CScrollBarUI::DoEvent(TEventUI& event)
{
    if (m_pOwner)
        m_pOwner->DoEvent(event);
    else
        CControlUI::DoEvent(event);
}

void CScrollBarUI::SetAttribute(LPCTSTR pstrName, LPCTSTR pstrValue)
{
    if (!pstrName) return;
    if (std::wcscmp(pstrName, L"hor") == 0)
        SetHorizontal(AttributeValue::ParseBool(pstrValue));
    else if (std::wcscmp(pstrName, L"linesize") == 0)
        SetLineSize(AttributeValue::ParseInt(pstrValue));
    else if (std::wcscmp(pstrName, L"range") == 0)
        SetScrollRange(AttributeValue::ParseInt(pstrValue));
    else if (std::wcscmp(pstrName, L"value") == 0)
        SetScrollPos(AttributeValue::ParseInt(pstrValue));
    else
        CControlUI::SetAttribute(pstrName, pstrValue);
}

CContainerUI* CScrollBarUI::GetOwner() const { return m_pOwner; }
void CScrollBarUI::SetOwner(CContainerUI* pOwner) { m_pOwner = pOwner; }
bool CScrollBarUI::IsHorizontal() const { return m_bHorizontal; }

void CScrollBarUI::SetHorizontal(bool bHorizontal)
{
    if (m_bHorizontal == bHorizontal) return;
    m_bHorizontal = bHorizontal;
    if (m_bHorizontal) {
        if (m_cxyFixed.cy == 0) {
            m_cxyFixed.cx = 0;
            m_cxyFixed.cy = 11;
        }
    } else if (m_cxyFixed.cx == 0) {
        m_cxyFixed.cx = 11;
        m_cxyFixed.cy = 0;
    }
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

}  // namespace SkinUI
