#include "ui/paint/NotifyQueue.h"

#include <algorithm>
#include <iterator>

namespace SkinUI {

bool NotifyQueue::Pop(TNotifyUI& out)
{
    if (m_queued.empty()) return false;
    out = m_queued.front();
    m_queued.pop_front();
    return true;
}

void NotifyQueue::ForgetSender(CControlUI* control)
{
    if (control == nullptr) return;
    for (TNotifyUI& notify : m_queued)
        if (notify.pSender == control) notify.pSender = nullptr;
    for (TNotifyUI* notify : m_inDelivery)
        if (notify->pSender == control) notify->pSender = nullptr;
}

NotifyQueue::Delivery::Delivery(NotifyQueue& queue, TNotifyUI& notify) : m_queue(queue), m_notify(&notify)
{
    m_queue.m_inDelivery.push_back(m_notify);
}

NotifyQueue::Delivery::~Delivery()
{
    auto& list = m_queue.m_inDelivery;
    const auto it = std::find(list.rbegin(), list.rend(), m_notify);
    if (it != list.rend()) list.erase(std::next(it).base());
}

}  // namespace SkinUI
