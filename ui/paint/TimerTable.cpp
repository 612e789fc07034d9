#include "ui/paint/TimerTable.h"

namespace SkinUI {

namespace {
const UINT kWindowIdCount = 255;
}

TimerTable::~TimerTable()
{
    for (const Timer& timer : m_timers)
        if (!timer.killed) Stop(timer);
}

void TimerTable::Stop(const Timer& timer)
{
    // A window that is already gone took its timers with it.
    if (::IsWindow(timer.window)) ::KillTimer(timer.window, timer.windowId);
}

bool TimerTable::WindowIdInUse(HWND window, UINT id) const
{
    for (const Timer& timer : m_timers)
        if (timer.window == window && timer.windowId == id) return true;
    return false;
}

bool TimerTable::Set(HWND window, const ControlRef& control, UINT localId, UINT elapse)
{
    // Without a window the system would pick the id itself.
    if (window == nullptr || !control) return false;
    // The window ids of dead controls' timers are free again.
    DropGone();
    for (Timer& timer : m_timers) {
        if (!RefersTo(timer.control, control.Get()) || timer.window != window || timer.localId != localId) continue;
        if (!timer.killed) return false;
        if (::SetTimer(window, timer.windowId, elapse, nullptr) == 0) return false;
        timer.killed = false;
        return true;
    }
    // Skip ids that another record of this window still holds: two records
    // on one system timer would leave one control without its ticks.
    UINT id = m_counter;
    bool free = false;
    for (UINT tries = 0; tries < kWindowIdCount && !free; ++tries) {
        id = (id + 1) % kWindowIdCount;
        free = !WindowIdInUse(window, id);
    }
    if (!free) return false;
    m_counter = id;
    if (::SetTimer(window, id, elapse, nullptr) == 0) return false;
    m_timers.push_back(Timer{control, localId, window, id, false});
    return true;
}

bool TimerTable::Kill(HWND window, const CControlUI* control, UINT localId)
{
    for (Timer& timer : m_timers) {
        if (RefersTo(timer.control, control) && timer.window == window && timer.localId == localId && !timer.killed) {
            Stop(timer);
            timer.killed = true;
            return true;
        }
    }
    return false;
}

void TimerTable::KillAll(const CControlUI* control)
{
    for (size_t i = m_timers.size(); i-- > 0;) {
        if (!RefersTo(m_timers[i].control, control)) continue;
        if (!m_timers[i].killed) Stop(m_timers[i]);
        m_timers.erase(m_timers.begin() + static_cast<std::ptrdiff_t>(i));
    }
}

void TimerTable::DropGone()
{
    for (size_t i = m_timers.size(); i-- > 0;) {
        if (m_timers[i].control) continue;
        if (!m_timers[i].killed) Stop(m_timers[i]);
        m_timers.erase(m_timers.begin() + static_cast<std::ptrdiff_t>(i));
    }
}

void TimerTable::RemoveAll(HWND window)
{
    for (size_t i = m_timers.size(); i-- > 0;) {
        if (m_timers[i].window != window) continue;
        if (!m_timers[i].killed) Stop(m_timers[i]);
        m_timers.erase(m_timers.begin() + static_cast<std::ptrdiff_t>(i));
    }
}

bool TimerTable::FindRunning(HWND window, WPARAM windowId, Timer& found) const
{
    const UINT id = LOWORD(windowId);
    for (const Timer& timer : m_timers) {
        if (timer.window == window && timer.windowId == id && !timer.killed && timer.control) {
            found = timer;
            return true;
        }
    }
    return false;
}

}  // namespace SkinUI
