#pragma once
// Notifications on their way to listeners: the queue of asynchronous ones,
// and the synchronous ones being delivered right now. Both may outlive their
// sender (a control destroyed by a handler of its own "click"), so a dying
// control is forgotten as sender everywhere here.

#include "ui/paint/UiNotify.h"

#include <deque>
#include <vector>

namespace SkinUI {

class NotifyQueue {
public:
    void Push(const TNotifyUI& notify) { m_queued.push_back(notify); }
    // Takes the oldest queued notification; false when none is left.
    bool Pop(TNotifyUI& out);
    bool IsEmpty() const { return m_queued.empty(); }
    void Clear() { m_queued.clear(); }

    // Sets the sender of every queued and in-delivery notification from
    // `control` to null.
    void ForgetSender(CControlUI* control);

    // Marks `notify` as being delivered for the life of this object, so a
    // sender destroyed by one listener reaches the next ones as null.
    class Delivery {
    public:
        Delivery(NotifyQueue& queue, TNotifyUI& notify);
        ~Delivery();
        Delivery(const Delivery&) = delete;
        Delivery& operator=(const Delivery&) = delete;

    private:
        NotifyQueue& m_queue;
        TNotifyUI* m_notify;
    };

private:
    std::deque<TNotifyUI> m_queued;
    std::vector<TNotifyUI*> m_inDelivery;
};

}  // namespace SkinUI
