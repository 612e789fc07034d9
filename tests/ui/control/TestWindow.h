#pragma once
// A real top-level window whose messages go through a paint manager, for
// tests that need painting, mouse input and the delayed cleanup. Waits are
// conditions with deadlines, pumping the window's messages meanwhile.

#include "ui/control/ControlUI.h"

#include <functional>

namespace SkinUI {
namespace Test {

class TestWindow {
public:
    TestWindow(int width, int height, CControlUI* root, int x = 0, int y = 0)
    {
        static const wchar_t* kClass = L"VornexControlTestWindow";
        static bool registered = false;
        if (!registered) {
            WNDCLASSW wc = {};
            wc.lpfnWndProc = &TestWindow::Proc;
            wc.hInstance = ::GetModuleHandleW(nullptr);
            wc.lpszClassName = kClass;
            wc.hCursor = ::LoadCursor(nullptr, IDC_ARROW);
            wc.style = CS_DBLCLKS;
            ::RegisterClassW(&wc);
            registered = true;
        }
        m_hwnd = ::CreateWindowExW(0, kClass, L"control test", WS_POPUP, x, y, width, height, nullptr, nullptr,
                                   ::GetModuleHandleW(nullptr), this);
        m_pm.Init(m_hwnd);
        if (root) m_pm.AttachDialog(root);
        ::ShowWindow(m_hwnd, SW_SHOWNOACTIVATE);
        ::UpdateWindow(m_hwnd);
    }
    ~TestWindow()
    {
        if (m_hwnd) ::DestroyWindow(m_hwnd);
    }
    TestWindow(const TestWindow&) = delete;
    TestWindow& operator=(const TestWindow&) = delete;

    HWND hwnd() const { return m_hwnd; }
    CPaintManagerUI& pm() { return m_pm; }

    // Handles pending messages until `done` holds or `ms` pass.
    bool PumpUntil(const std::function<bool()>& done, DWORD ms = 3000)
    {
        const DWORD start = ::GetTickCount();
        for (;;) {
            MSG msg;
            while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
                ::TranslateMessage(&msg);
                ::DispatchMessageW(&msg);
            }
            if (done()) return true;
            if (::GetTickCount() - start > ms) return false;
            ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
        }
    }
    void Pump()
    {
        PumpUntil([] { return false; }, 0);
    }

    // The window's own pixel, as painted (0x00RRGGBB).
    DWORD PixelAt(int x, int y) const
    {
        HDC dc = ::GetDC(m_hwnd);
        const COLORREF c = ::GetPixel(dc, x, y);
        ::ReleaseDC(m_hwnd, dc);
        return (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c);
    }

    void Click(int x, int y)
    {
        const LPARAM at = MAKELPARAM(x, y);
        ::PostMessageW(m_hwnd, WM_MOUSEMOVE, 0, at);
        ::PostMessageW(m_hwnd, WM_LBUTTONDOWN, MK_LBUTTON, at);
        ::PostMessageW(m_hwnd, WM_LBUTTONUP, 0, at);
    }

private:
    static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
    {
        if (msg == WM_NCCREATE) {
            auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
            ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
        }
        auto* self = reinterpret_cast<TestWindow*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
        if (self && self->m_pm.GetPaintWindow() == hwnd) {
            LRESULT result = 0;
            if (self->m_pm.MessageHandler(msg, wParam, lParam, result)) return result;
        }
        if (msg == WM_NCDESTROY && self) self->m_hwnd = nullptr;
        return ::DefWindowProcW(hwnd, msg, wParam, lParam);
    }

    HWND m_hwnd = nullptr;
    CPaintManagerUI m_pm;
};

}  // namespace Test
}  // namespace SkinUI
