// The paint manager's message side: the control tree, focus, timers,
// capture, painting and notifications.
#include "ui/core/PaintManagerUI.h"

namespace SkinUI {

namespace {

template <typename T>
bool RemoveFirst(CStdPtrArray& list, T* item)
{
    const int index = list.Find(item);
    return index >= 0 && list.Remove(index);
}

}  // namespace

SIZE CPaintManagerUI::GetClientSize() const
{
    RECT client = {0, 0, 0, 0};
    if (m_hWndPaint) ::GetClientRect(m_hWndPaint, &client);
    return CUiSize(client.right - client.left, client.bottom - client.top);
}

bool CPaintManagerUI::AttachDialog(CControlUI* pControl)
{
    m_pFocus = m_pEventHover = m_pEventClick = m_pEventKey = nullptr;
    m_pRoot = pControl;
    m_bUpdateNeeded = m_bFirstLayout = m_bFocusNeeded = true;
    return InitControls(pControl);
}

bool CPaintManagerUI::InitControls(CControlUI* pControl, CControlUI*) { return pControl != nullptr; }

void CPaintManagerUI::ReapObjects(CControlUI* pControl)
{
    if (pControl == m_pEventKey) m_pEventKey = nullptr;
    if (pControl == m_pEventHover) m_pEventHover = nullptr;
    if (pControl == m_pEventClick) m_pEventClick = nullptr;
    if (pControl == m_pFocus) m_pFocus = nullptr;
    KillTimer(pControl);
}

CControlUI* CPaintManagerUI::FindControl(POINT) const { return nullptr; }

CControlUI* CPaintManagerUI::FindControl(LPCTSTR pstrName) const
{
    return pstrName ? static_cast<CControlUI*>(m_mNameHash.Find(pstrName)) : nullptr;
}

CControlUI* CPaintManagerUI::FindSubControlByPoint(CControlUI*, POINT) const { return nullptr; }
CControlUI* CPaintManagerUI::FindSubControlByName(CControlUI*, LPCTSTR) const { return nullptr; }
CControlUI* CPaintManagerUI::FindSubControlByClass(CControlUI*, LPCTSTR, int) { return nullptr; }

CStdPtrArray* CPaintManagerUI::FindSubControlsByClass(CControlUI*, LPCTSTR)
{
    m_aFoundControls.Empty();
    return &m_aFoundControls;
}

CStdPtrArray* CPaintManagerUI::GetSubControlsByClass() { return &m_aFoundControls; }

void CPaintManagerUI::SetFocus(CControlUI* pControl) { m_pFocus = pControl; }
void CPaintManagerUI::SetFocusNeeded(CControlUI*) { m_bFocusNeeded = true; }
bool CPaintManagerUI::SetNextTabControl(bool) { return true; }

bool CPaintManagerUI::SetTimer(CControlUI*, UINT, UINT) { return false; }
bool CPaintManagerUI::KillTimer(CControlUI*, UINT) { return false; }
void CPaintManagerUI::KillTimer(CControlUI*) {}
void CPaintManagerUI::RemoveAllTimers() {}

void CPaintManagerUI::SetCapture()
{
    ::SetCapture(m_hWndPaint);
    m_bMouseCapture = true;
}

void CPaintManagerUI::ReleaseCapture()
{
    ::ReleaseCapture();
    m_bMouseCapture = false;
}

void CPaintManagerUI::Invalidate(RECT& rcItem)
{
    if (m_hWndPaint) ::InvalidateRect(m_hWndPaint, &rcItem, FALSE);
}

void CPaintManagerUI::ReDraw()
{
    if (m_hWndPaint)
        ::RedrawWindow(m_hWndPaint, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
}

bool CPaintManagerUI::AddPostPaint(CControlUI* pControl) { return m_aPostPaintControls.Add(pControl); }
bool CPaintManagerUI::RemovePostPaint(CControlUI* pControl) { return RemoveFirst(m_aPostPaintControls, pControl); }

bool CPaintManagerUI::SetPostPaintIndex(CControlUI* pControl, int iIndex)
{
    RemovePostPaint(pControl);
    return m_aPostPaintControls.InsertAt(iIndex, pControl);
}

void CPaintManagerUI::SendNotify(TNotifyUI&, bool) {}
void CPaintManagerUI::SendNotify(CControlUI*, LPCTSTR, WPARAM, LPARAM, bool) {}
void CPaintManagerUI::DeliverQueuedNotifications() {}
void CPaintManagerUI::DeliverNotification(TNotifyUI&) {}
void CPaintManagerUI::DeleteDelayedCleanup() {}

bool CPaintManagerUI::AddNotifier(INotifyUI* p) { return m_aNotifiers.Add(p); }
bool CPaintManagerUI::RemoveNotifier(INotifyUI* p) { return RemoveFirst(m_aNotifiers, p); }
bool CPaintManagerUI::AddPreMessageFilter(IMessageFilterUI* p) { return m_aPreMessageFilters.Add(p); }
bool CPaintManagerUI::RemovePreMessageFilter(IMessageFilterUI* p) { return RemoveFirst(m_aPreMessageFilters, p); }
bool CPaintManagerUI::AddMessageFilter(IMessageFilterUI* p) { return m_aMessageFilters.Add(p); }
bool CPaintManagerUI::RemoveMessageFilter(IMessageFilterUI* p) { return RemoveFirst(m_aMessageFilters, p); }
bool CPaintManagerUI::AddTranslateAccelerator(ITranslateAccelerator* p) { return m_aTranslateAccelerator.Add(p); }
bool CPaintManagerUI::RemoveTranslateAccelerator(ITranslateAccelerator* p)
{
    return RemoveFirst(m_aTranslateAccelerator, p);
}

bool CPaintManagerUI::TranslateAccelerator(LPMSG pMsg)
{
    for (int i = 0; i < m_aTranslateAccelerator.GetSize(); ++i) {
        auto* translator = static_cast<ITranslateAccelerator*>(m_aTranslateAccelerator.GetAt(i));
        if (translator->TranslateAccelerator(pMsg) == S_OK) return true;
    }
    return false;
}

void CPaintManagerUI::AddDelayedCleanup(CControlUI* pControl)
{
    m_aDelayedCleanup.Add(pControl);
    if (m_hWndPaint) ::PostMessageW(m_hWndPaint, WM_APP + 1, 0, 0);
}

bool CPaintManagerUI::PreMessageHandler(UINT, WPARAM, LPARAM, LRESULT&) { return false; }
bool CPaintManagerUI::MessageHandler(UINT, WPARAM, LPARAM, LRESULT&) { return false; }
bool CPaintManagerUI::TranslateMessage(const LPMSG) { return false; }

void CPaintManagerUI::MessageLoop()
{
    MSG msg = {};
    while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (!TranslateMessage(&msg)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
    }
}

}  // namespace SkinUI
