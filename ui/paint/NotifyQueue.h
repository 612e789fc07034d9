#pragma once
// Asynchronous notifications waiting for the next message of their window.
// A record may outlive its sender (a control destroyed before the queue is
// delivered), so the sender is held weakly and handed out as null once it
// is gone.

#include "ui/paint/ControlRef.h"
#include "ui/paint/UiNotify.h"

#include <deque>

namespace SkinUI {

class NotifyQueue {
public:
    // `sender` stands for notify.pSender.
    void Push(const TNotifyUI& notify, const ControlRef& sender);
    // Takes the oldest queued notification, with its sender if that still
    // lives; false when none is left.
    bool Pop(TNotifyUI& out);
    bool IsEmpty() const { return m_queued.empty(); }
    void Clear() { m_queued.clear(); }

private:
    struct Queued {
        TNotifyUI notify;
        ControlRef sender;
    };
    std::deque<Queued> m_queued;
};

}  // namespace SkinUI
