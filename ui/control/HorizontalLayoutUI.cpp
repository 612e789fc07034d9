#include "ui/control/HorizontalLayoutUI.h"

#include "ui/control/AttributeTable.h"
#include "ui/control/AttributeValue.h"
#include "ui/extra/ScrollBarUI.h"

namespace SkinUI {

namespace {

const AttributeEntry<CHorizontalLayoutUI> kHorizontalLayoutAttributes[] = {
    {L"sepwidth", [](CHorizontalLayoutUI& c, LPCTSTR v) { c.SetSepWidth(AttributeValue::ParseInt(v)); }},
    {L"sepimm", [](CHorizontalLayoutUI& c, LPCTSTR v) { c.SetSepImmMode(AttributeValue::ParseBool(v)); }},
};

}  // namespace

CHorizontalLayoutUI::CHorizontalLayoutUI() : m_separator(false) {}

LPCTSTR CHorizontalLayoutUI::GetClass() const { return L"HorizontalLayoutUI"; }

LPVOID CHorizontalLayoutUI::GetInterface(LPCTSTR pstrName)
{
    if (pstrName && std::wcscmp(pstrName, L"HorizontalLayout") == 0) return this;
    return CContainerUI::GetInterface(pstrName);
}

UINT CHorizontalLayoutUI::GetControlFlags() const
{
    return IsEnabled() && m_separator.GetSize() != 0 ? UIFLAG_SETCURSOR : 0;
}

void CHorizontalLayoutUI::SetSepWidth(int iWidth) { m_separator.SetSize(iWidth); }
int CHorizontalLayoutUI::GetSepWidth() const { return m_separator.GetSize(); }
void CHorizontalLayoutUI::SetSepImmMode(bool bImmediately) { m_separator.SetImmMode(*this, bImmediately); }
bool CHorizontalLayoutUI::IsSepImmMode() const { return m_separator.IsImmMode(); }
RECT CHorizontalLayoutUI::GetThumbRect(bool bUseNew) const { return m_separator.ThumbRect(m_rcItem, bUseNew); }

void CHorizontalLayoutUI::SetAttribute(LPCTSTR pstrName, LPCTSTR pstrValue)
{
    if (!ApplyAttributeFromTable(kHorizontalLayoutAttributes, *this, pstrName, pstrValue))
        CContainerUI::SetAttribute(pstrName, pstrValue);
}

void CHorizontalLayoutUI::DoEvent(TEventUI& event)
{
    if (m_separator.HandleEvent(*this, m_rcItem, event)) return;
    CContainerUI::DoEvent(event);
}

void CHorizontalLayoutUI::DoPostPaint(HDC hDC, const RECT&) { m_separator.PostPaint(hDC); }

void CHorizontalLayoutUI::SetPos(RECT rc)
{
    CControlUI::SetPos(rc);
    CoveredLayout covered(*this);
    const RECT client = GetClientRect();
    if (m_items.IsEmpty()) {
        ProcessScrollBar(client, 0, 0);
        return;
    }
    const int needed = StackChildren(false, client);
    ProcessScrollBar(client, needed, 0);
}

}  // namespace SkinUI
