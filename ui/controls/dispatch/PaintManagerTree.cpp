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

CControlUI* CALLBACK DropWeakRefs(CControlUI* control, LPVOID)
{
    control->DropWeakRefs();
    return nullptr;
}

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
    m_pEventKey = m_pEventHover = m_pEventClick = ControlRef();
    if (m_pRoot != nullptr) {
        m_aPostPaintControls.Clear();
        AddDelayedCleanup(m_pRoot.Get());
    }
    m_pRoot = WeakRefTo(pControl);
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
    m_treeSide = &TreeSide();
    pControl->SetManager(this, pParent != nullptr ? pParent : pControl->GetParent(), true);
    pControl->FindControl(RegisterName, &m_mNameHash, UIFIND_ALL);
    return true;
}

void CPaintManagerUI::ReapObjects(CControlUI* pControl)
{
    if (pControl == nullptr) return;
    const bool hovered = m_pEventHover != nullptr;
    // Hover, click, key and focus control, root, timers, groups, the
    // post-paint list and notification senders hold weak references: they
    // read as null once these are dropped. A dying control has already
    // dropped its own (and its children are gone); a live one is a tree a
    // window is done with, and the whole tree goes: handlers still running
    // when the window went then find nothing more to send events to.
    pControl->FindControl(DropWeakRefs, nullptr, UIFIND_ALL);
    // The tooltip belongs to the hover control, and goes with it.
    if (m_pEventHover.Address() == pControl || (hovered && m_pEventHover == nullptr)) m_tooltip.Hide();
    const CUiString name = pControl->GetName();
    if (!name.IsEmpty() && m_mNameHash.Find(name, false) == pControl) m_mNameHash.Remove(name);
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
    if (pParent == nullptr) pParent = m_pRoot.Get();
    if (pParent == nullptr) return nullptr;
    return pParent->FindControl(HitAny, &pt, UIFIND_VISIBLE | UIFIND_HITTEST | UIFIND_TOP_FIRST);
}

CControlUI* CPaintManagerUI::FindSubControlByName(CControlUI* pParent, LPCTSTR pstrName) const
{
    if (pParent == nullptr) pParent = m_pRoot.Get();
    if (pParent == nullptr || pstrName == nullptr) return nullptr;
    return pParent->FindControl(MatchNameNoCase, const_cast<LPTSTR>(pstrName), UIFIND_ME_FIRST);
}

CControlUI* CPaintManagerUI::FindSubControlByClass(CControlUI* pParent, LPCTSTR pstrClass, int iIndex)
{
    if (pParent == nullptr) pParent = m_pRoot.Get();
    if (pParent == nullptr || pstrClass == nullptr || iIndex < 0) return nullptr;
    ClassSearch search = {pstrClass, iIndex, nullptr};
    return pParent->FindControl(MatchClass, &search, UIFIND_ME_FIRST);
}

CStdPtrArray* CPaintManagerUI::FindSubControlsByClass(CControlUI* pParent, LPCTSTR pstrClass)
{
    m_aFoundControls.Empty();
    if (pParent == nullptr) pParent = m_pRoot.Get();
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
    m_treeSide = &TreeSide();
    m_aDelayedCleanup.Add(pControl);
    if (m_hWndPaint) ::PostMessageW(m_hWndPaint, WM_APP + 1, 0, 0);
}

const ControlTreeSide& CPaintManagerUI::TreeSide()
{
    // A local class has the access of this member function.
    class Side final : public ControlTreeSide {
    public:
        void DeleteAllControls(CPaintManagerUI& manager) const override
        {
            manager.DeleteDelayedCleanup();
            CControlUI* root = manager.m_pRoot.Get();
            manager.m_pRoot = ControlRef();
            delete root;
            manager.DeleteDelayedCleanup();
        }
        void RescaleAllControls(CPaintManagerUI& manager) const override
        {
            CControlUI* root = manager.m_pRoot.Get();
            if (root == nullptr) return;
            // Every control, shown or not: a hidden one may be shown at the
            // new density later.
            root->FindControl(RescaleOne, nullptr, UIFIND_ALL);
            root->NeedUpdate();
        }
    };
    static const Side side;
    return side;
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
