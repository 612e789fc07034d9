// End-to-end test driver: acts on the Windows desktop as a person would, on
// behalf of the Linux-side harness (harness.py), one command per run.
//
//   UiDriver find <class|*> <title|*>        -> "hwnd left top right bottom" (screen)
//   UiDriver client <hwnd>                   -> client rectangle in screen coordinates
//   UiDriver click <x> <y> [left|right|double]
//   UiDriver move <x> <y>
//   UiDriver type <text>                     (Unicode characters, as typed)
//   UiDriver key <virtual-key> [down|up]     (decimal or 0x.. code)
//   UiDriver pixel <x> <y>                   -> "RRGGBB" of the screen
//   UiDriver visible <hwnd>                  -> "1" or "0"
//   UiDriver state <hwnd>                    -> "minimised", "maximised" or "normal"
//   UiDriver close <hwnd>                    (posts WM_CLOSE)
//
// Exit code 0 on success, 1 when the window or pixel is not there, 2 on a
// usage error. Waiting with deadlines is the harness's job, not ours.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <string>
#include <vector>

namespace {

HWND ParseHandle(const wchar_t* text)
{
    return reinterpret_cast<HWND>(static_cast<uintptr_t>(std::wcstoull(text, nullptr, 0)));
}

struct FindRequest {
    const wchar_t* className;
    const wchar_t* title;
    HWND found;
};

BOOL CALLBACK MatchWindow(HWND hwnd, LPARAM lParam)
{
    FindRequest* request = reinterpret_cast<FindRequest*>(lParam);
    wchar_t className[256] = L"";
    wchar_t title[512] = L"";
    ::GetClassNameW(hwnd, className, 256);
    ::GetWindowTextW(hwnd, title, 512);
    const bool classMatches =
        std::wcscmp(request->className, L"*") == 0 || std::wcscmp(request->className, className) == 0;
    const bool titleMatches = std::wcscmp(request->title, L"*") == 0 || std::wcscmp(request->title, title) == 0;
    if (classMatches && titleMatches && ::IsWindowVisible(hwnd)) {
        request->found = hwnd;
        return FALSE;
    }
    return TRUE;
}

int Find(const wchar_t* className, const wchar_t* title)
{
    FindRequest request{className, title, nullptr};
    ::EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&request));
    if (request.found == nullptr) return 1;
    RECT rc;
    ::GetWindowRect(request.found, &rc);
    std::printf("%llu %ld %ld %ld %ld\n", static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(request.found)),
                rc.left, rc.top, rc.right, rc.bottom);
    return 0;
}

int Client(HWND hwnd)
{
    if (!::IsWindow(hwnd)) return 1;
    RECT rc;
    ::GetClientRect(hwnd, &rc);
    POINT origin{0, 0};
    ::ClientToScreen(hwnd, &origin);
    std::printf("%ld %ld %ld %ld\n", origin.x, origin.y, origin.x + rc.right, origin.y + rc.bottom);
    return 0;
}

void SendMouse(DWORD flags)
{
    INPUT input = {};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = flags;
    ::SendInput(1, &input, sizeof(INPUT));
}

int Move(int x, int y)
{
    ::SetCursorPos(x, y);
    // A real absolute move too, so the window under the cursor sees WM_MOUSEMOVE.
    INPUT input = {};
    input.type = INPUT_MOUSE;
    input.mi.dx = static_cast<LONG>((x * 65535.0) / (::GetSystemMetrics(SM_CXSCREEN) - 1));
    input.mi.dy = static_cast<LONG>((y * 65535.0) / (::GetSystemMetrics(SM_CYSCREEN) - 1));
    input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    ::SendInput(1, &input, sizeof(INPUT));
    ::Sleep(30);
    return 0;
}

int Click(int x, int y, const wchar_t* button)
{
    Move(x, y);
    const bool right = std::wcscmp(button, L"right") == 0;
    const int times = std::wcscmp(button, L"double") == 0 ? 2 : 1;
    for (int i = 0; i < times; ++i) {
        SendMouse(right ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_LEFTDOWN);
        ::Sleep(20);
        SendMouse(right ? MOUSEEVENTF_RIGHTUP : MOUSEEVENTF_LEFTUP);
        ::Sleep(20);
    }
    return 0;
}

int Type(const wchar_t* text)
{
    for (const wchar_t* p = text; *p != L'\0'; ++p) {
        INPUT inputs[2] = {};
        for (int i = 0; i < 2; ++i) {
            inputs[i].type = INPUT_KEYBOARD;
            inputs[i].ki.wScan = *p;
            inputs[i].ki.dwFlags = KEYEVENTF_UNICODE | (i == 1 ? KEYEVENTF_KEYUP : 0);
        }
        ::SendInput(2, inputs, sizeof(INPUT));
        ::Sleep(10);
    }
    return 0;
}

int Key(WORD vk, const wchar_t* phase)
{
    INPUT input = {};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = vk;
    const bool down = std::wcscmp(phase, L"up") != 0;
    const bool up = std::wcscmp(phase, L"down") != 0;
    if (down) ::SendInput(1, &input, sizeof(INPUT));
    input.ki.dwFlags = KEYEVENTF_KEYUP;
    if (up) ::SendInput(1, &input, sizeof(INPUT));
    ::Sleep(20);
    return 0;
}

int Pixel(int x, int y)
{
    HDC screen = ::GetDC(nullptr);
    if (screen == nullptr) return 1;
    const COLORREF color = ::GetPixel(screen, x, y);
    ::ReleaseDC(nullptr, screen);
    if (color == CLR_INVALID) return 1;
    std::printf("%02X%02X%02X\n", GetRValue(color), GetGValue(color), GetBValue(color));
    return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc < 2) return 2;
    const std::wstring command = argv[1];
    if (command == L"find" && argc == 4) return Find(argv[2], argv[3]);
    if (command == L"client" && argc == 3) return Client(ParseHandle(argv[2]));
    if (command == L"click" && argc >= 4) return Click(_wtoi(argv[2]), _wtoi(argv[3]), argc > 4 ? argv[4] : L"left");
    if (command == L"move" && argc == 4) return Move(_wtoi(argv[2]), _wtoi(argv[3]));
    if (command == L"type" && argc == 3) return Type(argv[2]);
    if (command == L"key" && argc >= 3)
        return Key(static_cast<WORD>(std::wcstoul(argv[2], nullptr, 0)), argc > 3 ? argv[3] : L"press");
    if (command == L"pixel" && argc == 4) return Pixel(_wtoi(argv[2]), _wtoi(argv[3]));
    if (command == L"visible" && argc == 3) {
        std::printf("%d\n", ::IsWindowVisible(ParseHandle(argv[2])) ? 1 : 0);
        return 0;
    }
    if (command == L"state" && argc == 3) {
        const HWND hwnd = ParseHandle(argv[2]);
        if (!::IsWindow(hwnd)) return 1;
        std::printf("%s\n", ::IsIconic(hwnd) ? "minimised" : ::IsZoomed(hwnd) ? "maximised" : "normal");
        return 0;
    }
    if (command == L"close" && argc == 3) return ::PostMessageW(ParseHandle(argv[2]), WM_CLOSE, 0, 0) ? 0 : 1;
    return 2;
}
