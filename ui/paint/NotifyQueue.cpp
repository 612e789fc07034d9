#include "ui/paint/NotifyQueue.h"

namespace SkinUI {

void NotifyQueue::Push(const TNotifyUI& notify, const ControlRef& sender)
{
    m_queued.push_back(Queued{notify, sender});
}

bool NotifyQueue::Pop(TNotifyUI& out)
{
    if (m_queued.empty()) return false;
    out = m_queued.front().notify;
    out.pSender = m_queued.front().sender.Get();
    m_queued.pop_front();
    return true;
}

}  // namespace SkinUI
