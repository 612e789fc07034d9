#include "ui/controls/TabLayoutUI.h"

#include "ui/base/AttributeValue.h"
#include "ui/controls/LayoutArithmetic.h"

#include <cwchar>

namespace SkinUI {

CTabLayoutUI::CTabLayoutUI() = default;

LPCTSTR CTabLayoutUI::GetClass() const { return L"TabLayoutUI"; }

LPVOID CTabLayoutUI::GetInterface(LPCTSTR pstrName)
{
    if (pstrName && std::wcscmp(pstrName, L"TabLayout") == 0) return static_cast<CTabLayoutUI*>(this);
    return CContainerUI::GetInterface(pstrName);
}

bool CTabLayoutUI::Add(CControlUI* pControl)
{
    if (!CContainerUI::Add(pControl)) return false;
    if (m_iCurSel == -1 && pControl->IsVisible())
        m_iCurSel = GetItemIndex(pControl);
    else
        pControl->SetVisible(false);
    return true;
}

bool CTabLayoutUI::AddAt(CControlUI* pControl, int iIndex)
{
    if (!CContainerUI::AddAt(pControl, iIndex)) return false;
    if (m_iCurSel == -1 && pControl->IsVisible()) {
        m_iCurSel = GetItemIndex(pControl);
    } else if (m_iCurSel == -1 || iIndex > m_iCurSel) {
        pControl->SetVisible(false);
    } else {
        // Inserted before (or at) the selection, which moves up by one.
        ++m_iCurSel;
        pControl->SetVisible(false);
    }
    return true;
}

bool CTabLayoutUI::Remove(CControlUI* pControl)
{
    const int index = GetItemIndex(pControl);
    if (!CContainerUI::Remove(pControl)) return false;
    if (index == m_iCurSel) {
        if (GetCount() > 0) {
            m_iCurSel = 0;
            GetItemAt(0)->SetVisible(true);
        } else {
            m_iCurSel = -1;
        }
        NeedParentUpdate();
    } else if (index < m_iCurSel) {
        --m_iCurSel;
    }
    return true;
}

void CTabLayoutUI::RemoveAll()
{
    m_iCurSel = -1;
    CContainerUI::RemoveAll();
    NeedParentUpdate();
}

int CTabLayoutUI::GetCurSel() const { return m_iCurSel; }

bool CTabLayoutUI::SelectItem(int iIndex, bool bSetFocus)
{
    if (iIndex < 0 || iIndex >= GetCount()) return false;
    if (iIndex == m_iCurSel) return true;
    const int previous = m_iCurSel;
    m_iCurSel = iIndex;
    for (int i = 0; i < GetCount(); ++i) {
        CControlUI* child = GetItemAt(i);
        if (i == iIndex) {
            child->SetVisible(true);
            if (bSetFocus) child->SetFocus();
        } else {
            child->SetVisible(false);
        }
    }
    NeedParentUpdate();
    if (m_pManager) {
        m_pManager->SetNextTabControl();
        m_pManager->SendNotify(this, L"tabselect", static_cast<WPARAM>(m_iCurSel), static_cast<LPARAM>(previous));
    }
    return true;
}

bool CTabLayoutUI::SelectItem(CControlUI* pControl, bool bSetFocus)
{
    const int index = GetItemIndex(pControl);
    return index >= 0 && SelectItem(index, bSetFocus);
}

void CTabLayoutUI::SetPos(RECT rc)
{
    CControlUI::SetPos(rc);
    CoveredLayout covered(*this);
    RECT inner = m_rcItem;
    inner.left += m_rcInset.left;
    inner.top += m_rcInset.top;
    inner.right -= m_rcInset.right;
    inner.bottom -= m_rcInset.bottom;
    for (int i = 0; i < GetCount(); ++i) {
        CControlUI* child = GetItemAt(i);
        if (!child || !child->IsVisible()) continue;
        if (child->IsFloat()) {
            SetFloatPos(i);
            continue;
        }
        if (i != m_iCurSel) continue;
        Layout::ChildLimits limits = {};
        limits.padding = child->GetPadding();
        limits.minWidth = child->GetMinWidth();
        limits.maxWidth = child->GetMaxWidth();
        limits.minHeight = child->GetMinHeight();
        limits.maxHeight = child->GetMaxHeight();
        SIZE available = {Layout::ClampCoord(static_cast<long long>(inner.right) - inner.left - limits.padding.left -
                                             limits.padding.right),
                          Layout::ClampCoord(static_cast<long long>(inner.bottom) - inner.top - limits.padding.top -
                                             limits.padding.bottom)};
        child->SetPos(Layout::TabChildRect(inner, limits, child->EstimateSize(available)));
    }
}

void CTabLayoutUI::SetAttribute(LPCTSTR pstrName, LPCTSTR pstrValue)
{
    if (pstrName && std::wcscmp(pstrName, L"selectedid") == 0) SelectItem(AttributeValue::ParseInt(pstrValue));
    CContainerUI::SetAttribute(pstrName, pstrValue);
}

}  // namespace SkinUI
