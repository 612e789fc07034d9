#pragma once
// The order in which Tab and Shift+Tab move the keyboard focus.
//
// The tree is walked in order (a container before its children, visible
// and enabled controls only) and every control is shown to Visit. Forward,
// the search stops at the first tab stop after the focused control and
// wraps around to the first tab stop of the tree; backward, it stops at the
// last tab stop before the focused control and wraps around to the last
// one. Without a focus, forward and backward both stop at the first tab
// stop.

namespace SkinUI {

class TabStopSearch {
public:
    TabStopSearch(const void* focus, bool forward) : m_focus(focus), m_forward(forward) {}

    // Shows the next control of the walk; returns the control to stop at,
    // or null to go on.
    const void* Visit(const void* control, bool isTabStop)
    {
        if (control == nullptr) return nullptr;
        if (m_focus != nullptr && control == m_focus) {
            if (!m_forward) return m_lastTabStop;
            m_nextIsIt = true;
            return nullptr;
        }
        if (!isTabStop) return nullptr;
        if (!m_firstTabStop) m_firstTabStop = control;
        m_lastTabStop = control;
        if (m_nextIsIt || m_focus == nullptr) return control;
        return nullptr;
    }

    // After a walk that stopped nowhere: where the search wraps around to
    // (null when the tree has no tab stop).
    const void* WrapAround() const { return m_forward ? m_firstTabStop : m_lastTabStop; }

private:
    const void* m_focus;
    bool m_forward;
    bool m_nextIsIt = false;
    const void* m_lastTabStop = nullptr;
    const void* m_firstTabStop = nullptr;
};

}  // namespace SkinUI
