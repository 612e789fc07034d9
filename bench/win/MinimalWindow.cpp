// The peer of the program's start-up benchmark: the least a Win32 program
// does to show a window of the main window's size, 1200 x 720 without a
// frame, centred, filled with the title bar's colour.
#include <windows.h>

namespace {

LRESULT CALLBACK Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = ::BeginPaint(hwnd, &ps);
        HBRUSH brush = ::CreateSolidBrush(RGB(0x25, 0x1F, 0x29));
        ::FillRect(dc, &ps.rcPaint, brush);
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

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int)
{
    WNDCLASSW wc = {};
    wc.lpfnWndProc = Proc;
    wc.hInstance = instance;
    wc.lpszClassName = L"VornexMinimalWindow";
    ::RegisterClassW(&wc);
    const int w = 1200, h = 720;
    const int x = (::GetSystemMetrics(SM_CXSCREEN) - w) / 2, y = (::GetSystemMetrics(SM_CYSCREEN) - h) / 2;
    HWND hwnd = ::CreateWindowExW(0, wc.lpszClassName, L"Minimal", WS_POPUP | WS_VISIBLE, x, y, w, h, nullptr,
                                  nullptr, instance, nullptr);
    if (!hwnd) return 1;
    MSG msg;
    while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
    return 0;
}
