#pragma once
// Support for tests of labels, buttons and scroll bars: a notification log,
// events delivered straight to a control, and a real window whose messages
// go through a paint manager (painting, text measurement, mouse input).
// Waits are conditions with deadlines, pumping messages meanwhile.

#include "ui/control/ControlUI.h"

#include <functional>
#include <string>
#include <vector>

namespace SkinUI {
namespace Test {

// Every notification the manager sends, in order.
class NotifyLog : public INotifyUI {
public:
    struct Entry {
        std::wstring type;
        CControlUI* sender;
        WPARAM wParam;
    };
    void Notify(TNotifyUI& msg) override
    {
        entries.push_back({static_cast<LPCTSTR>(msg.sType), msg.pSender, msg.wParam});
    }
    int Count(const wchar_t* type) const
    {
        int n = 0;
        for (const Entry& e : entries) n += e.type == type;
        return n;
    }
    std::vector<std::wstring> Types() const
    {
        std::vector<std::wstring> types;
        for (const Entry& e : entries) types.push_back(e.type);
        return types;
    }
    std::vector<Entry> entries;
};

inline void Send(CControlUI& control, int type, POINT pt = {0, 0}, WPARAM wParam = 0, TCHAR key = 0)
{
    TEventUI event;
    event.Type = type;
    event.pSender = &control;
    event.ptMouse = pt;
    event.wParam = wParam;
    event.chKey = key;
    event.dwTimestamp = ::GetTickCount();
    control.Event(event);
}

class WidgetWindow {
public:
    WidgetWindow(int width, int height, CControlUI* root)
    {
        static const wchar_t* kClass = L"VornexWidgetTestWindow";
        static bool registered = false;
        if (!registered) {
            WNDCLASSW wc = {};
            wc.lpfnWndProc = &WidgetWindow::Proc;
            wc.hInstance = ::GetModuleHandleW(nullptr);
            wc.lpszClassName = kClass;
            wc.hCursor = ::LoadCursor(nullptr, IDC_ARROW);
            wc.style = CS_DBLCLKS;
            ::RegisterClassW(&wc);
            registered = true;
        }
        m_hwnd = ::CreateWindowExW(0, kClass, L"widget test", WS_POPUP, 0, 0, width, height, nullptr, nullptr,
                                   ::GetModuleHandleW(nullptr), this);
        m_pm.Init(m_hwnd);
        m_pm.AddNotifier(&log);
        if (root) m_pm.AttachDialog(root);
        ::ShowWindow(m_hwnd, SW_SHOWNOACTIVATE);
        ::UpdateWindow(m_hwnd);
    }
    ~WidgetWindow()
    {
        if (m_hwnd) ::DestroyWindow(m_hwnd);
    }
    WidgetWindow(const WidgetWindow&) = delete;
    WidgetWindow& operator=(const WidgetWindow&) = delete;

    HWND hwnd() const { return m_hwnd; }
    CPaintManagerUI& pm() { return m_pm; }

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
    // Lays out and paints everything that is pending.
    void Settle()
    {
        ::RedrawWindow(m_hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        PumpUntil([] { return false; }, 0);
        ::UpdateWindow(m_hwnd);
    }
    // The window's own pixel, as painted (0x00RRGGBB).
    DWORD PixelAt(int x, int y) const
    {
        HDC dc = ::GetDC(m_hwnd);
        const COLORREF c = ::GetPixel(dc, x, y);
        ::ReleaseDC(m_hwnd, dc);
        return (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c);
    }
    // Mouse messages as the window would get them from a person.
    void Mouse(UINT msg, int x, int y, WPARAM keys = 0) { ::SendMessageW(m_hwnd, msg, keys, MAKELPARAM(x, y)); }
    void Wheel(int x, int y, int delta)
    {
        POINT screen = {x, y};
        ::ClientToScreen(m_hwnd, &screen);
        ::SendMessageW(m_hwnd, WM_MOUSEWHEEL, MAKEWPARAM(0, delta), MAKELPARAM(screen.x, screen.y));
    }

    NotifyLog log;

private:
    static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
    {
        if (msg == WM_NCCREATE) {
            auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
            ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
        }
        auto* self = reinterpret_cast<WidgetWindow*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
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
