// Notifications to listeners, message filters and accelerators.
#include "ui/controls/ControlUI.h"
#include "ui/paint/PaintManagerUI.h"

namespace SkinUI {

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
    if (Msg.pSender != nullptr && Msg.pSender->OnNotify) Msg.pSender->OnNotify(&Msg);
    m_aNotifiers.OfferWhileAlive(alive, [&](INotifyUI* notifier) {
        if (Msg.pSender != nullptr) Msg.pSender = sender.Get();
        notifier->Notify(Msg);
        return false;
    });
}

void CPaintManagerUI::DeliverQueuedNotifications()
{
    const WeakRef<CPaintManagerUI> alive = HandlerRef();
    TNotifyUI notify;
    while (alive && m_notifications.Pop(notify)) DeliverNotification(notify);
}

bool CPaintManagerUI::AddNotifier(INotifyUI* pNotifier) { return m_aNotifiers.Add(pNotifier); }
bool CPaintManagerUI::RemoveNotifier(INotifyUI* pNotifier) { return m_aNotifiers.Remove(pNotifier); }

bool CPaintManagerUI::AddPreMessageFilter(IMessageFilterUI* pFilter) { return m_aPreMessageFilters.Add(pFilter); }
bool CPaintManagerUI::RemovePreMessageFilter(IMessageFilterUI* pFilter)
{
    return m_aPreMessageFilters.Remove(pFilter);
}

bool CPaintManagerUI::AddMessageFilter(IMessageFilterUI* pFilter) { return m_aMessageFilters.Add(pFilter); }
bool CPaintManagerUI::RemoveMessageFilter(IMessageFilterUI* pFilter) { return m_aMessageFilters.Remove(pFilter); }

bool CPaintManagerUI::AddTranslateAccelerator(ITranslateAccelerator* pTranslateAccelerator)
{
    return m_aTranslateAccelerator.Add(pTranslateAccelerator);
}

bool CPaintManagerUI::RemoveTranslateAccelerator(ITranslateAccelerator* pTranslateAccelerator)
{
    return m_aTranslateAccelerator.Remove(pTranslateAccelerator);
}

bool CPaintManagerUI::TranslateAccelerator(LPMSG pMsg)
{
    return m_aTranslateAccelerator.OfferWhileAlive(HandlerRef(), [pMsg](ITranslateAccelerator* translator) {
        return translator->TranslateAccelerator(pMsg) == S_OK;
    });
}

}  // namespace SkinUI
