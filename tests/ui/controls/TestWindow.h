#pragma once
// A real top-level window whose messages go through a paint manager, for
// tests that need painting, text measurement, mouse input, notifications and
// the delayed cleanup. Waits are conditions with deadlines, pumping the
// window's messages meanwhile.

#include "tests/support/MessagePump.h"
#include "ui/controls/ControlUI.h"

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
        m_pm.AddNotifier(&log);
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
    bool PumpUntil(const std::function<bool()>& done, DWORD ms = 3000) { return Test::PumpUntil(done, ms); }
    void Pump()
    {
        PumpUntil([] { return false; }, 0);
    }
    // Lays out and paints everything that is pending.
    void Settle()
    {
        ::RedrawWindow(m_hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        Pump();
        ::UpdateWindow(m_hwnd);
    }

    // The window's own pixel, as painted (0x00RRGGBB).
    DWORD PixelAt(int x, int y) const { return PixelOf(m_hwnd, x, y); }

    // Mouse messages as the window would get them from a person.
    void Mouse(UINT msg, int x, int y, WPARAM keys = 0) { ::SendMessageW(m_hwnd, msg, keys, MAKELPARAM(x, y)); }
    void Wheel(int x, int y, int delta)
    {
        POINT screen = {x, y};
        ::ClientToScreen(m_hwnd, &screen);
        ::SendMessageW(m_hwnd, WM_MOUSEWHEEL, MAKEWPARAM(0, delta), MAKELPARAM(screen.x, screen.y));
    }
    void Click(int x, int y)
    {
        const LPARAM at = MAKELPARAM(x, y);
        ::PostMessageW(m_hwnd, WM_MOUSEMOVE, 0, at);
        ::PostMessageW(m_hwnd, WM_LBUTTONDOWN, MK_LBUTTON, at);
        ::PostMessageW(m_hwnd, WM_LBUTTONUP, 0, at);
    }

    NotifyLog log;

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
