// A tiny window for proving the end-to-end harness: its client area is red
// and turns green when clicked (and back on the next click). Test
// infrastructure only; not part of the product.
#include <windows.h>

namespace {

const wchar_t kClassName[] = L"VornexHarnessTarget";
const COLORREF kIdle = RGB(220, 30, 30);
const COLORREF kClicked = RGB(30, 200, 60);
bool g_clicked = false;

LRESULT CALLBACK TargetProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_LBUTTONUP:
        g_clicked = !g_clicked;
        ::InvalidateRect(hwnd, nullptr, FALSE);
        return 0;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = ::BeginPaint(hwnd, &ps);
        HBRUSH brush = ::CreateSolidBrush(g_clicked ? kClicked : kIdle);
        RECT rc;
        ::GetClientRect(hwnd, &rc);
        ::FillRect(dc, &rc, brush);
        ::DeleteObject(brush);
        ::EndPaint(hwnd, &ps);
        return 0;
    }
    case WM_DESTROY:
        ::PostQuitMessage(0);
        return 0;
    }
    return ::DefWindowProcW(hwnd, message, wParam, lParam);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int show)
{
    WNDCLASSEXW wc = {};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = TargetProc;
    wc.hInstance = instance;
    wc.hCursor = ::LoadCursor(nullptr, IDC_ARROW);
    wc.lpszClassName = kClassName;
    ::RegisterClassExW(&wc);
    HWND hwnd = ::CreateWindowExW(0, kClassName, L"Harness Target", WS_OVERLAPPEDWINDOW, 100, 100, 320, 240, nullptr,
                                  nullptr, instance, nullptr);
    ::ShowWindow(hwnd, show);
    ::UpdateWindow(hwnd);
    MSG msg;
    while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
    return static_cast<int>(msg.wParam);
}
