#pragma once
// The listeners of one window (notifiers, message filters, accelerator
// translators): not owned, called in the order they were added. A walk goes
// by index over the live list, so a listener may add or remove listeners
// (one that was removed is not called), and it ends as soon as the window
// is gone: the listeners of a window that is gone are not called any more.

#include "ui/base/StdPtrArray.h"
#include "ui/base/WeakRef.h"

namespace SkinUI {

template <class Listener>
class ListenerList {
public:
    // A listener may be added more than once.
    bool Add(Listener* listener) { return m_listeners.Add(listener); }
    // Removes the first occurrence; false when it is not listed.
    bool Remove(Listener* listener)
    {
        const int index = m_listeners.Find(listener);
        return index >= 0 && m_listeners.Remove(index);
    }

    // Hands the listeners to `offer` in turn while `window` lives. True as
    // soon as `offer` returns true (a listener took it), else false.
    template <class Window, class Offer>
    bool OfferWhileAlive(const WeakRef<Window>& window, Offer offer) const
    {
        for (int i = 0; window && i < m_listeners.GetSize(); ++i)
            if (offer(static_cast<Listener*>(m_listeners.GetAt(i)))) return true;
        return false;
    }

private:
    CStdPtrArray m_listeners;
};

}  // namespace SkinUI
