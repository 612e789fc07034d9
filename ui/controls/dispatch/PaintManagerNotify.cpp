// Notifications to listeners, message filters and accelerators.
#include "ui/controls/ControlUI.h"
#include "ui/paint/PaintManagerUI.h"

namespace SkinUI {

namespace {

bool RemoveFirst(CStdPtrArray& list, void* item)
{
    const int index = list.Find(item);
    return index >= 0 && list.Remove(index);
}

}  // namespace

void CPaintManagerUI::SendNotify(CControlUI* pControl, LPCTSTR pstrMessage, WPARAM wParam, LPARAM lParam, bool bAsync)
{
    TNotifyUI notify;
    notify.sType = pstrMessage;
    notify.pSender = pControl;
    notify.wParam = wParam;
    notify.lParam = lParam;
    SendNotify(notify, bAsync);
}

void CPaintManagerUI::SendNotify(TNotifyUI& Msg, bool bAsync)
{
    Msg.ptMouse = m_ptLastMousePos;
    Msg.dwTimestamp = ::GetTickCount();
    if (m_bUsedVirtualWnd && Msg.pSender != nullptr) Msg.sVirtualWnd = Msg.pSender->GetVirtualWnd();
    if (bAsync)
        m_notifications.Push(Msg, WeakRefTo(Msg.pSender));
    else
        DeliverNotification(Msg);
}

void CPaintManagerUI::DeliverNotification(TNotifyUI& Msg)
{
    const WeakRef<CPaintManagerUI> alive = HandlerRef();
    // Listeners of a window that is gone are not called any more.
    if (!alive) return;
    // A listener may destroy the sender: the ones after it get null.
    const ControlRef sender = WeakRefTo(Msg.pSender);
    if (Msg.pSender != nullptr && Msg.pSender->OnNotify) {
        Msg.pSender->OnNotify(&Msg);
        if (!alive) return;
    }
    // By index over the live list: a listener may add or remove listeners,
    // and one that was removed must not be called.
    for (int i = 0; i < m_aNotifiers.GetSize(); ++i) {
        if (Msg.pSender != nullptr) Msg.pSender = sender.Get();
        static_cast<INotifyUI*>(m_aNotifiers.GetAt(i))->Notify(Msg);
        if (!alive) return;
    }
}

void CPaintManagerUI::DeliverQueuedNotifications()
{
    const WeakRef<CPaintManagerUI> alive = HandlerRef();
    TNotifyUI notify;
    while (alive && m_notifications.Pop(notify)) DeliverNotification(notify);
}

bool CPaintManagerUI::AddNotifier(INotifyUI* pNotifier) { return m_aNotifiers.Add(pNotifier); }
bool CPaintManagerUI::RemoveNotifier(INotifyUI* pNotifier) { return RemoveFirst(m_aNotifiers, pNotifier); }

bool CPaintManagerUI::AddPreMessageFilter(IMessageFilterUI* pFilter) { return m_aPreMessageFilters.Add(pFilter); }
bool CPaintManagerUI::RemovePreMessageFilter(IMessageFilterUI* pFilter)
{
    return RemoveFirst(m_aPreMessageFilters, pFilter);
}

bool CPaintManagerUI::AddMessageFilter(IMessageFilterUI* pFilter) { return m_aMessageFilters.Add(pFilter); }
bool CPaintManagerUI::RemoveMessageFilter(IMessageFilterUI* pFilter) { return RemoveFirst(m_aMessageFilters, pFilter); }

bool CPaintManagerUI::AddTranslateAccelerator(ITranslateAccelerator* pTranslateAccelerator)
{
    return m_aTranslateAccelerator.Add(pTranslateAccelerator);
}

bool CPaintManagerUI::RemoveTranslateAccelerator(ITranslateAccelerator* pTranslateAccelerator)
{
    return RemoveFirst(m_aTranslateAccelerator, pTranslateAccelerator);
}

bool CPaintManagerUI::TranslateAccelerator(LPMSG pMsg)
{
    const WeakRef<CPaintManagerUI> alive = HandlerRef();
    for (int i = 0; alive && i < m_aTranslateAccelerator.GetSize(); ++i) {
        auto* translator = static_cast<ITranslateAccelerator*>(m_aTranslateAccelerator.GetAt(i));
        if (translator->TranslateAccelerator(pMsg) == S_OK) return true;
    }
    return false;
}

}  // namespace SkinUI
