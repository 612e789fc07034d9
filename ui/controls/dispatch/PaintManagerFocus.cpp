// Keyboard focus: focus changes, the Tab order and shortcut characters.
#include "ui/controls/ControlUI.h"
#include "ui/base/TabStopSearch.h"
#include "ui/paint/PaintManagerUI.h"

#include <cwchar>

namespace SkinUI {

namespace {

// Shows every control of a Tab walk to the portable search.
CControlUI* CALLBACK VisitTabStop(CControlUI* control, LPVOID data)
{
    auto* search = static_cast<TabStopSearch*>(data);
    const bool isTabStop = (control->GetControlFlags() & UIFLAG_TABSTOP) != 0;
    return static_cast<CControlUI*>(const_cast<void*>(search->Visit(control, isTabStop)));
}

struct tagTFindShortcut {
    TCHAR ch;
    bool bPickNext;
};

TCHAR UpperCase(TCHAR ch)
{
    return static_cast<TCHAR>(
        reinterpret_cast<UINT_PTR>(::CharUpperW(reinterpret_cast<LPWSTR>(static_cast<UINT_PTR>(ch)))));
}

CControlUI* CALLBACK FindShortcut(CControlUI* control, LPVOID data)
{
    auto* find = static_cast<tagTFindShortcut*>(data);
    if (!control->IsVisible()) return nullptr;
    const TCHAR shortcut = control->GetShortcut();
    if (shortcut != 0 && UpperCase(shortcut) == find->ch) find->bPickNext = true;
    // A label's shortcut selects the control that follows it.
    if (std::wcsstr(control->GetClass(), L"LabelUI") != nullptr) return nullptr;
    return find->bPickNext ? control : nullptr;
}

const UINT kTabSearch = UIFIND_VISIBLE | UIFIND_ENABLED | UIFIND_ME_FIRST;

}  // namespace

void CPaintManagerUI::KillFocusOf(CControlUI* pControl, CControlUI* pNewFocus)
{
    const ControlRef old = WeakRefTo(pControl);
    TEventUI event = MakeEvent(UIEVENT_KILLFOCUS, pNewFocus);
    pControl->Event(event);
    if (old != nullptr) SendNotify(old.Get(), L"killfocus");
    m_pFocus = ControlRef();
}

void CPaintManagerUI::SetFocus(CControlUI* pControl)
{
    if (m_hWndPaint != nullptr && ::GetFocus() != m_hWndPaint && pControl != m_pFocus.Get()) ::SetFocus(m_hWndPaint);
    if (pControl == m_pFocus.Get()) return;
    // The old focus's handlers may destroy the new one, or the window.
    const ControlRef next = WeakRefTo(pControl);
    if (m_pFocus != nullptr) KillFocusOf(m_pFocus.Get(), pControl);
    pControl = next.Get();
    if (pControl == nullptr || pControl->GetManager() != this || !pControl->IsVisible() || !pControl->IsEnabled())
        return;
    m_pFocus = next;
    TEventUI event = MakeEvent(UIEVENT_SETFOCUS, pControl);
    pControl->Event(event);
    if (next != nullptr) SendNotify(pControl, L"setfocus");
}

void CPaintManagerUI::SetFocusNeeded(CControlUI* pControl)
{
    if (m_hWndPaint != nullptr) ::SetFocus(m_hWndPaint);
    if (pControl == nullptr) return;
    const ControlRef target = WeakRefTo(pControl);
    if (m_pFocus != nullptr) KillFocusOf(m_pFocus.Get(), pControl);
    if (target == nullptr) return;
    // Remember the tab stop before `pControl`: the search after the next
    // layout then moves forward onto `pControl` itself.
    if (m_pRoot != nullptr) {
        TabStopSearch search(pControl, false);
        m_pFocus = WeakRefTo(m_pRoot->FindControl(VisitTabStop, &search, kTabSearch));
    }
    m_bFocusNeeded = true;
    if (m_pRoot != nullptr) m_pRoot->NeedUpdate();
}

bool CPaintManagerUI::SetNextTabControl(bool bForward)
{
    if (m_bUpdateNeeded && bForward) {
        // The tree is about to be laid out again; search after the layout.
        m_bFocusNeeded = true;
        if (m_hWndPaint != nullptr) ::InvalidateRect(m_hWndPaint, nullptr, FALSE);
        return true;
    }
    m_bFocusNeeded = false;
    if (m_pRoot == nullptr) return true;
    TabStopSearch search(m_pFocus.Get(), bForward);
    CControlUI* next = m_pRoot->FindControl(VisitTabStop, &search, kTabSearch);
    // Past either end the search wraps around.
    if (next == nullptr) next = static_cast<CControlUI*>(const_cast<void*>(search.WrapAround()));
    if (next != nullptr) SetFocus(next);
    return true;
}

bool CPaintManagerUI::FocusShortcut(TCHAR ch)
{
    if (m_pRoot == nullptr || ch == 0) return false;
    tagTFindShortcut find = {UpperCase(ch), false};
    // In markup order, so that the control after a label is the one the
    // label stands before (its field).
    CControlUI* control = m_pRoot->FindControl(FindShortcut, &find, UIFIND_ENABLED | UIFIND_ME_FIRST);
    if (control == nullptr) return false;
    const ControlRef found = WeakRefTo(control);
    control->SetFocus();
    // Focus handlers may have destroyed the control or the window.
    if (found != nullptr) found->Activate();
    return true;
}

}  // namespace SkinUI
