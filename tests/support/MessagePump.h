#pragma once
// Waiting in the window tests: pump this thread's messages until a condition
// holds or a deadline passes, never a fixed sleep.

#include <windows.h>

#include <functional>

namespace SkinUI {
namespace Test {

// Pumps this thread's messages until `done` holds or `timeoutMs` passes;
// false when the deadline came first.
inline bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs)
{
    const DWORD start = ::GetTickCount();
    for (;;) {
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
        if (done()) return true;
        if (::GetTickCount() - start > timeoutMs) return false;
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
}

// 0x00RRGGBB of a pixel of `hwnd`'s device context (null: the screen as
// composed, layered windows included); 0xFFFFFFFF where there is none.
inline DWORD PixelOf(HWND hwnd, int x, int y)
{
    HDC dc = ::GetDC(hwnd);
    const COLORREF c = ::GetPixel(dc, x, y);
    ::ReleaseDC(hwnd, dc);
    if (c == CLR_INVALID) return 0xFFFFFFFF;
    return (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c);
}

}  // namespace Test
}  // namespace SkinUI
