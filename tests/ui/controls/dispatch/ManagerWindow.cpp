#include "ManagerWindow.h"

namespace SkinUI {

namespace {
const wchar_t kClassName[] = L"VornexManagerTestWindow";
}

LRESULT CALLBACK ManagerWindow::WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    auto* self = reinterpret_cast<ManagerWindow*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (self != nullptr && self->m_manager != nullptr && msg != WM_NCDESTROY) {
        LRESULT result = 0;
        if (self->m_manager->MessageHandler(msg, wParam, lParam, result)) return result;
    }
    return ::DefWindowProcW(hwnd, msg, wParam, lParam);
}

ManagerWindow::ManagerWindow(int width, int height, int left, int top, DWORD exStyle)
{
    WNDCLASSEXW wc = {};
    wc.cbSize = sizeof(wc);
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = WindowProc;
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    wc.lpszClassName = kClassName;
    ::RegisterClassExW(&wc);  // fails harmlessly when already registered
    m_manager = new CPaintManagerUI;
    m_hwnd = ::CreateWindowExW(exStyle, kClassName, L"manager test", WS_POPUP, left, top, width, height, nullptr,
                               nullptr, wc.hInstance, nullptr);
    ::SetWindowLongPtrW(m_hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    m_manager->Init(m_hwnd);
    // Not activated: without a window manager, Wine waits two seconds for
    // focus events when an active window goes away.
    ::ShowWindow(m_hwnd, SW_SHOWNOACTIVATE);
}

ManagerWindow::~ManagerWindow() { Destroy(); }

void ManagerWindow::Destroy()
{
    if (m_hwnd != nullptr) {
        ::SetWindowLongPtrW(m_hwnd, GWLP_USERDATA, 0);
        ::DestroyWindow(m_hwnd);
        m_hwnd = nullptr;
    }
    delete m_manager;
    m_manager = nullptr;
}

bool ManagerWindow::PumpUntil(const std::function<bool()>& done, DWORD timeoutMs)
{
    const DWORD start = ::GetTickCount();
    while (!done()) {
        if (::GetTickCount() - start >= timeoutMs) return done();
        MSG msg;
        if (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (!CPaintManagerUI::TranslateMessage(&msg)) {
                ::TranslateMessage(&msg);
                ::DispatchMessageW(&msg);
            }
        } else {
            ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
        }
    }
    return true;
}

void ManagerWindow::PumpPending()
{
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (!CPaintManagerUI::TranslateMessage(&msg)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
    }
}

void ManagerWindow::PaintNow()
{
    if (m_hwnd != nullptr) ::UpdateWindow(m_hwnd);
}

POINT ManagerWindow::ToScreen(int x, int y) const
{
    POINT pt = {x, y};
    ::ClientToScreen(m_hwnd, &pt);
    return pt;
}

bool ManagerWindow::MoveMouse(int x, int y)
{
    const POINT screen = ToScreen(x, y);
    ::SetCursorPos(screen.x, screen.y);
    INPUT input = {};
    input.type = INPUT_MOUSE;
    input.mi.dx = static_cast<LONG>((screen.x * 65535.0) / (::GetSystemMetrics(SM_CXSCREEN) - 1));
    input.mi.dy = static_cast<LONG>((screen.y * 65535.0) / (::GetSystemMetrics(SM_CYSCREEN) - 1));
    input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    ::SendInput(1, &input, sizeof(INPUT));
    return PumpUntil([&] {
        const POINT seen = m_manager->GetMousePos();
        return seen.x == x && seen.y == y;
    });
}

void ManagerWindow::MouseButtons(DWORD flags)
{
    INPUT input = {};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = flags;
    ::SendInput(1, &input, sizeof(INPUT));
}

}  // namespace SkinUI
