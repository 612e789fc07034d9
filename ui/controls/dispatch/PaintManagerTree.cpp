// The paint manager and its control tree: binding the window and the root,
// the name map, searches, and controls that leave the tree.
#include "ui/controls/ControlUI.h"
#include "ui/paint/PaintManagerUI.h"

#include <cwchar>

namespace SkinUI {

namespace {

CControlUI* CALLBACK RescaleOne(CControlUI* control, LPVOID)
{
    control->RescaleMetrics();
    return nullptr;
}

CControlUI* CALLBACK RegisterName(CControlUI* control, LPVOID data)
{
    auto* names = static_cast<CStdStringPtrMap*>(data);
    const CUiString name = control->GetName();
    // A later control of the same name replaces the earlier one.
    if (!name.IsEmpty()) names->Set(name, control);
    return nullptr;
}

CControlUI* CALLBACK HitAny(CControlUI* control, LPVOID) { return control; }

CControlUI* CALLBACK MatchNameNoCase(CControlUI* control, LPVOID data)
{
    return control->GetName().CompareNoCase(static_cast<LPCTSTR>(data)) == 0 ? control : nullptr;
}

// Sub-control searches walk the tree in order, each container before its
// children (UIFIND_ME_FIRST).
struct ClassSearch {
    LPCTSTR className;
    int remaining;  // matches still to skip; -1 collects every match
    CStdPtrArray* found;
};

bool ClassMatches(CControlUI* control, LPCTSTR className)
{
    return (className[0] == L'*' && className[1] == L'\0') || std::wcscmp(control->GetClass(), className) == 0;
}

CControlUI* CALLBACK MatchClass(CControlUI* control, LPVOID data)
{
    auto* search = static_cast<ClassSearch*>(data);
    if (!ClassMatches(control, search->className)) return nullptr;
    if (search->remaining < 0) {
        search->found->Add(control);
        return nullptr;
    }
    return search->remaining-- == 0 ? control : nullptr;
}

}  // namespace

bool CPaintManagerUI::AttachDialog(CControlUI* pControl)
{
    SetFocus(nullptr);
    m_pEventKey = m_pEventHover = m_pEventClick = nullptr;
    if (m_pRoot != nullptr) {
        m_aPostPaintControls.Empty();
        AddDelayedCleanup(m_pRoot);
    }
    m_pRoot = pControl;
    m_bUpdateNeeded = true;
    m_bFirstLayout = true;
    // A new tree starts with no control focused: the keyboard stays where
    // the window's owner put it (a browser child, for one) until the user
    // clicks or tabs.
    m_bFocusNeeded = false;
    return InitControls(pControl);
}

bool CPaintManagerUI::InitControls(CControlUI* pControl, CControlUI* pParent)
{
    if (pControl == nullptr) return false;
    m_pfnDeleteControls = &CPaintManagerUI::DeleteAllControls;
    m_pfnRescaleControls = &CPaintManagerUI::RescaleAllControls;
    pControl->SetManager(this, pParent != nullptr ? pParent : pControl->GetParent(), true);
    pControl->FindControl(RegisterName, &m_mNameHash, UIFIND_ALL);
    return true;
}

void CPaintManagerUI::ReapObjects(CControlUI* pControl)
{
    if (pControl == nullptr) return;
    for (CControlUI** watched : m_watchedControls)
        if (*watched == pControl) *watched = nullptr;
    if (pControl == m_pEventKey) m_pEventKey = nullptr;
    if (pControl == m_pEventHover) {
        m_pEventHover = nullptr;
        m_tooltip.Hide();
    }
    if (pControl == m_pEventClick) m_pEventClick = nullptr;
    if (pControl == m_pFocus) m_pFocus = nullptr;
    if (pControl == m_pRoot) m_pRoot = nullptr;
    m_timers.KillAll(pControl);
    const CUiString name = pControl->GetName();
    if (!name.IsEmpty() && m_mNameHash.Find(name, false) == pControl) m_mNameHash.Remove(name);
    m_notifications.ForgetSender(pControl);
    // A control that goes without unregistering must not be painted or
    // grouped after its death.
    int index;
    while ((index = m_aPostPaintControls.Find(pControl)) >= 0) m_aPostPaintControls.Remove(index);
    m_optionGroups.RemoveEverywhere(pControl);
    m_hotKeyGroups.RemoveEverywhere(pControl);
}

CControlUI* CPaintManagerUI::FindControl(POINT pt) const
{
    if (m_pRoot == nullptr) return nullptr;
    return m_pRoot->FindControl(HitAny, &pt, UIFIND_VISIBLE | UIFIND_HITTEST | UIFIND_TOP_FIRST);
}

CControlUI* CPaintManagerUI::FindControl(LPCTSTR pstrName) const
{
    return pstrName ? static_cast<CControlUI*>(m_mNameHash.Find(pstrName)) : nullptr;
}

CControlUI* CPaintManagerUI::OwnControlAt(POINT pt) const
{
    CControlUI* control = FindControl(pt);
    return control != nullptr && control->GetManager() == this ? control : nullptr;
}

CControlUI* CPaintManagerUI::FindSubControlByPoint(CControlUI* pParent, POINT pt) const
{
    if (pParent == nullptr) pParent = m_pRoot;
    if (pParent == nullptr) return nullptr;
    return pParent->FindControl(HitAny, &pt, UIFIND_VISIBLE | UIFIND_HITTEST | UIFIND_TOP_FIRST);
}

CControlUI* CPaintManagerUI::FindSubControlByName(CControlUI* pParent, LPCTSTR pstrName) const
{
    if (pParent == nullptr) pParent = m_pRoot;
    if (pParent == nullptr || pstrName == nullptr) return nullptr;
    return pParent->FindControl(MatchNameNoCase, const_cast<LPTSTR>(pstrName), UIFIND_ME_FIRST);
}

CControlUI* CPaintManagerUI::FindSubControlByClass(CControlUI* pParent, LPCTSTR pstrClass, int iIndex)
{
    if (pParent == nullptr) pParent = m_pRoot;
    if (pParent == nullptr || pstrClass == nullptr || iIndex < 0) return nullptr;
    ClassSearch search = {pstrClass, iIndex, nullptr};
    return pParent->FindControl(MatchClass, &search, UIFIND_ME_FIRST);
}

CStdPtrArray* CPaintManagerUI::FindSubControlsByClass(CControlUI* pParent, LPCTSTR pstrClass)
{
    m_aFoundControls.Empty();
    if (pParent == nullptr) pParent = m_pRoot;
    if (pParent == nullptr || pstrClass == nullptr) return &m_aFoundControls;
    ClassSearch search = {pstrClass, -1, &m_aFoundControls};
    pParent->FindControl(MatchClass, &search, UIFIND_ME_FIRST);
    return &m_aFoundControls;
}

CStdPtrArray* CPaintManagerUI::GetSubControlsByClass() { return &m_aFoundControls; }

void CPaintManagerUI::AddDelayedCleanup(CControlUI* pControl)
{
    if (pControl == nullptr) return;
    pControl->SetManager(this, nullptr, false);
    m_pfnDeleteControls = &CPaintManagerUI::DeleteAllControls;
    m_aDelayedCleanup.Add(pControl);
    if (m_hWndPaint) ::PostMessageW(m_hWndPaint, WM_APP + 1, 0, 0);
}

void CPaintManagerUI::RescaleAllControls(CPaintManagerUI& manager)
{
    if (manager.m_pRoot == nullptr) return;
    // Every control, shown or not: a hidden one may be shown at the new
    // density later.
    manager.m_pRoot->FindControl(RescaleOne, nullptr, UIFIND_ALL);
    manager.m_pRoot->NeedUpdate();
}

void CPaintManagerUI::DeleteAllControls(CPaintManagerUI& manager)
{
    manager.DeleteDelayedCleanup();
    CControlUI* root = manager.m_pRoot;
    manager.m_pRoot = nullptr;
    delete root;
    manager.DeleteDelayedCleanup();
}

void CPaintManagerUI::DeleteDelayedCleanup()
{
    // A destructor may queue more controls; take them one at a time.
    while (!m_aDelayedCleanup.IsEmpty()) {
        auto* control = static_cast<CControlUI*>(m_aDelayedCleanup.GetAt(0));
        m_aDelayedCleanup.Remove(0);
        delete control;
    }
}

}  // namespace SkinUI
