#include "ui/window/WorkArea.h"

namespace SkinUI {

namespace {

bool HasSize(const RECT& rc) { return rc.right > rc.left && rc.bottom > rc.top; }

}  // namespace

bool WorkAreaOfMonitor(HMONITOR monitor, RECT& area)
{
    MONITORINFO info = {};
    info.cbSize = sizeof(info);
    if (monitor && ::GetMonitorInfoW(monitor, &info) && HasSize(info.rcWork)) {
        area = info.rcWork;
        return true;
    }
    RECT rc = {};
    if (::SystemParametersInfoW(SPI_GETWORKAREA, 0, &rc, 0) && HasSize(rc)) {
        area = rc;
        return true;
    }
    rc = {0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
    if (!HasSize(rc)) return false;
    area = rc;
    return true;
}

bool WorkAreaNearWindow(HWND hWnd, RECT& area)
{
    const HMONITOR monitor = hWnd ? ::MonitorFromWindow(hWnd, MONITOR_DEFAULTTONEAREST)
                                  : ::MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY);
    return WorkAreaOfMonitor(monitor, area);
}

}  // namespace SkinUI
