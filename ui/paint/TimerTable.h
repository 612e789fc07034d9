#pragma once
// The control timers of one window. Every (control, local id) pair runs on a
// system timer of the window with an id of its own; a killed timer keeps its
// record and window id, so restarting it gives WM_TIMER the same id again.
// Controls are held weakly: the timers of a control that died are never
// found, and are stopped and forgotten by the next Set or DropGone.

#include "ui/base/Platform.h"
#include "ui/paint/ControlRef.h"

#include <vector>

namespace SkinUI {

class TimerTable {
public:
    struct Timer {
        ControlRef control;
        UINT localId;
        HWND window;
        UINT windowId;
        bool killed;
    };

    TimerTable() = default;
    ~TimerTable();
    TimerTable(const TimerTable&) = delete;
    TimerTable& operator=(const TimerTable&) = delete;

    // Starts the timer `localId` of `control` on `window`. False when it is
    // already running, when no window id is free, or when the system refuses.
    bool Set(HWND window, const ControlRef& control, UINT localId, UINT elapse);
    // Stops the running timer; its record stays for a restart. False when
    // there is no running timer of that id.
    bool Kill(HWND window, const CControlUI* control, UINT localId);
    // Stops and forgets every timer of `control`.
    void KillAll(const CControlUI* control);
    // Stops and forgets every timer whose control is gone.
    void DropGone();
    // Stops and forgets every timer of `window`.
    void RemoveAll(HWND window);

    // The running timer behind a WM_TIMER of `window` (ids are compared in
    // their low 16 bits, as the message carries them), or false.
    bool FindRunning(HWND window, WPARAM windowId, Timer& found) const;

    // Window ids are (previous + 1) modulo 255 from this start, so the first
    // one handed out is 17.
    static const UINT kFirstCounter = 4096;

private:
    bool WindowIdInUse(HWND window, UINT id) const;
    static void Stop(const Timer& timer);

    std::vector<Timer> m_timers;
    UINT m_counter = kFirstCounter;
};

}  // namespace SkinUI
