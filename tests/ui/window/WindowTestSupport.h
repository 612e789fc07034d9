#pragma once
// Helpers of the window tests under Wine: plain windows that paint one
// colour, waiting on a condition while pumping messages, reading composed
// screen pixels, and checking that windows and GDI objects are gone.

#include "tests/support/MessagePump.h"
#include "ui/paint/PaintManagerUI.h"
#include "ui/window/WindowWnd.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace SkinUI {
namespace WindowTest {

// Pumps this thread's messages until `done` holds or `timeoutMs` passes.
inline bool WaitFor(const std::function<bool()>& done, DWORD timeoutMs = 5000)
{
    return Test::PumpUntil(done, timeoutMs);
}

// 0x00RRGGBB of a screen pixel as composed (layered windows included).
inline DWORD ScreenPixel(int x, int y) { return Test::PixelOf(nullptr, x, y); }

inline int Red(DWORD rgb) { return (rgb >> 16) & 0xFF; }
inline int Green(DWORD rgb) { return (rgb >> 8) & 0xFF; }
inline int Blue(DWORD rgb) { return rgb & 0xFF; }

// A top-level window of CWindowWnd that paints itself in one colour and
// counts what it was told.
class ColourWindow : public CWindowWnd {
public:
    explicit ColourWindow(COLORREF colour = RGB(40, 120, 200)) : m_colour(colour) {}
    ~ColourWindow()
    {
        if (::IsWindow(m_hWnd)) ::DestroyWindow(m_hWnd);
    }

    HWND CreatePopup(HWND owner, int x, int y, int cx, int cy, DWORD exStyle = 0)
    {
        return Create(owner, L"test", WS_POPUP, exStyle, x, y, cx, cy);
    }

    int finalMessages = 0;
    int clicks = 0;
    std::function<void()> onFinal;
    std::function<LRESULT(UINT, WPARAM, LPARAM, bool&)> onMessage;

protected:
    LPCTSTR GetWindowClassName() const override { return L"VornexTestColourWindow"; }
    LRESULT HandleMessage(UINT uMsg, WPARAM wParam, LPARAM lParam) override
    {
        if (onMessage) {
            bool handled = false;
            const LRESULT result = onMessage(uMsg, wParam, lParam, handled);
            if (handled) return result;
        }
        switch (uMsg) {
        case WM_ERASEBKGND:
            return 1;
        case WM_LBUTTONDOWN:
            ++clicks;
            return 0;
        case WM_PAINT: {
            PAINTSTRUCT ps;
            HDC dc = ::BeginPaint(m_hWnd, &ps);
            HBRUSH brush = ::CreateSolidBrush(m_colour);
            RECT rc;
            ::GetClientRect(m_hWnd, &rc);
            ::FillRect(dc, &rc, brush);
            ::DeleteObject(brush);
            ::EndPaint(m_hWnd, &ps);
            return 0;
        }
        default:
            return CWindowWnd::HandleMessage(uMsg, wParam, lParam);
        }
    }
    void OnFinalMessage(HWND) override
    {
        ++finalMessages;
        if (onFinal) onFinal();
    }

private:
    COLORREF m_colour;
};

// Installs this executable as the framework's module instance once.
inline void UseThisModule()
{
    if (!CPaintManagerUI::GetInstance()) CPaintManagerUI::SetInstance(::GetModuleHandleW(nullptr));
}

// GDI objects of this process (Wine answers 0 here: then only the window
// checks below carry the test).
inline DWORD GdiObjectCount() { return ::GetGuiResources(::GetCurrentProcess(), GR_GDIOBJECTS); }

// Top-level windows of this thread made by the framework or the tests (the
// system keeps windows of its own on the thread, such as the input method's).
inline BOOL CALLBACK CollectOwnWindow(HWND hWnd, LPARAM out)
{
    wchar_t name[64] = {};
    ::GetClassNameW(hWnd, name, 64);
    const std::wstring cls(name);
    if (cls.rfind(L"Vornex", 0) == 0 || cls == L"UmbraShadowWnd" || cls == L"Edit" || cls == L"EDIT")
        reinterpret_cast<std::vector<HWND>*>(out)->push_back(hWnd);
    return TRUE;
}
inline std::vector<HWND> ThreadWindows()
{
    std::vector<HWND> windows;
    ::EnumThreadWindows(::GetCurrentThreadId(), CollectOwnWindow, reinterpret_cast<LPARAM>(&windows));
    return windows;
}

}  // namespace WindowTest
}  // namespace SkinUI
