#include "ui/control/VerticalLayoutUI.h"

#include "ui/control/AttributeTable.h"
#include "ui/control/AttributeValue.h"
#include "ui/extra/ScrollBarUI.h"

namespace SkinUI {

namespace {

const AttributeEntry<CVerticalLayoutUI> kVerticalLayoutAttributes[] = {
    {L"sepheight", [](CVerticalLayoutUI& c, LPCTSTR v) { c.SetSepHeight(AttributeValue::ParseInt(v)); }},
    {L"sepimm", [](CVerticalLayoutUI& c, LPCTSTR v) { c.SetSepImmMode(AttributeValue::ParseBool(v)); }},
};

}  // namespace

CVerticalLayoutUI::CVerticalLayoutUI() : m_separator(true) {}

LPCTSTR CVerticalLayoutUI::GetClass() const { return L"VerticalLayoutUI"; }

LPVOID CVerticalLayoutUI::GetInterface(LPCTSTR pstrName)
{
    if (pstrName && std::wcscmp(pstrName, L"VerticalLayout") == 0) return this;
    return CContainerUI::GetInterface(pstrName);
}

UINT CVerticalLayoutUI::GetControlFlags() const
{
    return IsEnabled() && m_separator.GetSize() != 0 ? UIFLAG_SETCURSOR : 0;
}

void CVerticalLayoutUI::SetSepHeight(int iHeight) { m_separator.SetSize(iHeight); }
int CVerticalLayoutUI::GetSepHeight() const { return m_separator.GetSize(); }
void CVerticalLayoutUI::SetSepImmMode(bool bImmediately) { m_separator.SetImmMode(*this, bImmediately); }
bool CVerticalLayoutUI::IsSepImmMode() const { return m_separator.IsImmMode(); }
RECT CVerticalLayoutUI::GetThumbRect(bool bUseNew) const { return m_separator.ThumbRect(m_rcItem, bUseNew); }

void CVerticalLayoutUI::SetAttribute(LPCTSTR pstrName, LPCTSTR pstrValue)
{
    if (!ApplyAttributeFromTable(kVerticalLayoutAttributes, *this, pstrName, pstrValue))
        CContainerUI::SetAttribute(pstrName, pstrValue);
}

void CVerticalLayoutUI::DoEvent(TEventUI& event)
{
    if (m_separator.HandleEvent(*this, m_rcItem, event)) return;
    CContainerUI::DoEvent(event);
}

void CVerticalLayoutUI::DoPostPaint(HDC hDC, const RECT&) { m_separator.PostPaint(hDC); }

void CVerticalLayoutUI::SetPos(RECT rc)
{
    CControlUI::SetPos(rc);
    CoveredLayout covered(*this);
    const RECT client = GetClientRect();
    if (m_items.IsEmpty()) {
        ProcessScrollBar(client, 0, 0);
        return;
    }
    const int needed = StackChildren(true, client);
    ProcessScrollBar(client, 0, needed);
}

}  // namespace SkinUI
