// Control timers and mouse capture.
#include "ui/controls/ControlUI.h"
#include "ui/paint/PaintManagerUI.h"

namespace SkinUI {

bool CPaintManagerUI::SetTimer(CControlUI* pControl, UINT nTimerID, UINT uElapse)
{
    if (pControl == nullptr || m_hWndPaint == nullptr) return false;
    return m_timers.Set(m_hWndPaint, pControl->GetWeakRef(), nTimerID, uElapse);
}

bool CPaintManagerUI::KillTimer(CControlUI* pControl, UINT nTimerID)
{
    return m_timers.Kill(m_hWndPaint, pControl, nTimerID);
}

void CPaintManagerUI::KillTimer(CControlUI* pControl) { m_timers.KillAll(pControl); }

void CPaintManagerUI::RemoveAllTimers() { m_timers.RemoveAll(m_hWndPaint); }

bool CPaintManagerUI::HandleTimer(WPARAM wParam)
{
    // The timers of controls that died since stop here.
    m_timers.DropGone();
    TimerTable::Timer timer;
    if (!m_timers.FindRunning(m_hWndPaint, wParam, timer)) return false;
    CControlUI* control = timer.control.Get();
    TEventUI event = MakeEvent(UIEVENT_TIMER, control);
    event.wParam = timer.localId;
    control->Event(event);
    return true;
}

void CPaintManagerUI::SetCapture()
{
    ::SetCapture(m_hWndPaint);
    m_bMouseCapture = true;
}

void CPaintManagerUI::ReleaseCapture()
{
    // Cleared first: releasing sends WM_CAPTURECHANGED, which must not read
    // as a capture lost to another window.
    m_bMouseCapture = false;
    ::ReleaseCapture();
}

}  // namespace SkinUI
