#include "runtime/engine/BrowserWindow.h"

#include <windowsx.h>

#include <algorithm>
#include <atomic>

#include "runtime/engine/BrowserImpl.h"
#include "runtime/engine/ContextMenuController.h"

namespace vxrt {

namespace {

const wchar_t kClassName[] = L"CefBrowserWindow";
// Sent to child windows once their top-level window has moved to a screen
// of another density (named by later system headers only).
const UINT kDpiChangedAfterParent = 0x02E3;

int Modifiers()
{
    int m = 0;
    if (GetKeyState(VK_MENU) < 0) m |= 1;
    if (GetKeyState(VK_CONTROL) < 0) m |= 2;
    if (GetKeyState(VK_SHIFT) < 0) m |= 8;
    return m;
}

int Buttons(WPARAM wp)
{
    int b = 0;
    if (wp & MK_LBUTTON) b |= 1;
    if (wp & MK_RBUTTON) b |= 2;
    if (wp & MK_MBUTTON) b |= 4;
    return b;
}

std::string Utf8(const wchar_t* s, size_t n) { return cef_string_to_utf8_std(s, n); }

}  // namespace

namespace {
std::atomic<int> screenDpiOverride{0};
}  // namespace

void BrowserWindow::OverrideScreenDpi(int dpi) { screenDpiOverride = dpi; }

PageScale BrowserWindow::ScreenScale(HWND hwnd)
{
    if (const int dpi = screenDpiOverride.load()) return PageScale(dpi);
    // Per-window densities came with later systems: asked for by name.
    using DpiForWindow = UINT(WINAPI*)(HWND);
    static const DpiForWindow dpiForWindow = reinterpret_cast<DpiForWindow>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), "GetDpiForWindow")));
    int dpi = dpiForWindow ? static_cast<int>(dpiForWindow(hwnd)) : 0;
    if (dpi <= 0) {
        HDC dc = GetDC(hwnd);
        dpi = dc ? GetDeviceCaps(dc, LOGPIXELSX) : PageScale::kBaseDpi;
        if (dc) ReleaseDC(hwnd, dc);
    }
    return PageScale(dpi);
}

BrowserWindow* BrowserWindow::Create(BrowserImpl* browser, HWND parent, DWORD style, DWORD exStyle, int x, int y,
                                     int width, int height)
{
    static bool registered = false;
    HINSTANCE inst = GetModuleHandleW(nullptr);
    if (!registered) {
        WNDCLASSEXW wc = {};
        wc.cbSize = sizeof wc;
        wc.style = CS_DBLCLKS;
        wc.lpfnWndProc = WndProc;
        wc.hInstance = inst;
        wc.hCursor = nullptr;  // the page decides
        wc.lpszClassName = kClassName;
        registered = RegisterClassExW(&wc) != 0;
    }
    auto* w = new BrowserWindow(browser);
    if (parent && (style & WS_POPUP) == 0) style |= WS_CHILD;
    HWND h = CreateWindowExW(exStyle, kClassName, L"", style, x, y, width, height, parent, nullptr, inst, w);
    if (!h) {
        delete w;
        return nullptr;
    }
    return w;
}

void BrowserWindow::SetImage(FrameImage&& image)
{
    // A caret blink changes a few pixels of the whole picture: only they
    // are painted again.
    bool whole;
    PixelBox changed;
    {
        std::lock_guard<std::mutex> lock(m_lock);
        whole = image.width != m_image.width || image.height != m_image.height;
        if (!whole) changed = ChangedBox(m_image, image);
        m_image = std::move(image);
    }
    HWND h = m_hwnd;
    if (!h) return;
    if (whole) {
        InvalidateRect(h, nullptr, FALSE);
    } else if (!changed.Empty()) {
        RECT rc = {changed.left, changed.top, changed.right, changed.bottom};
        InvalidateRect(h, &rc, FALSE);
    }
}

bool BrowserWindow::PatchImage(int x, int y, const FrameImage& part)
{
    {
        std::lock_guard<std::mutex> lock(m_lock);
        if (!PastePart(m_image, x, y, part)) return false;
    }
    HWND h = m_hwnd;
    if (h) {
        RECT rc = {x, y, x + part.width, y + part.height};
        InvalidateRect(h, &rc, FALSE);
    }
    return true;
}

bool BrowserWindow::HasImage()
{
    std::lock_guard<std::mutex> lock(m_lock);
    return m_image.width > 0;
}

bool BrowserWindow::Shows(const FrameImage& image)
{
    std::lock_guard<std::mutex> lock(m_lock);
    return image.width == m_image.width && image.height == m_image.height && image.pixels == m_image.pixels;
}

void BrowserWindow::SetCursorId(LPCWSTR id)
{
    std::lock_guard<std::mutex> lock(m_lock);
    m_cursor = id;
}

LRESULT CALLBACK BrowserWindow::WndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp)
{
    BrowserWindow* self;
    if (msg == WM_NCCREATE) {
        self = static_cast<BrowserWindow*>(reinterpret_cast<CREATESTRUCTW*>(lp)->lpCreateParams);
        self->m_hwnd = hwnd;
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    } else {
        self = reinterpret_cast<BrowserWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    }
    if (!self) return DefWindowProcW(hwnd, msg, wp, lp);
    if (msg == WM_NCDESTROY) {
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        LRESULT r = DefWindowProcW(hwnd, msg, wp, lp);
        delete self;
        return r;
    }
    return self->Handle(msg, wp, lp);
}

LRESULT BrowserWindow::Handle(UINT msg, WPARAM wp, LPARAM lp)
{
    switch (msg) {
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT:
        Paint();
        return 0;
    case WM_SIZE:
        if (wp != SIZE_MINIMIZED) m_browser->OnWindowResized(LOWORD(lp), HIWORD(lp));
        break;
    case kDpiChangedAfterParent: {
        // Moved to a screen of another density: the page is drawn anew at
        // it, even when the window keeps its size in pixels.
        RECT rc;
        GetClientRect(m_hwnd, &rc);
        m_browser->OnWindowResized(rc.right, rc.bottom);
        PlaceCaret();
        return 0;
    }
    case WM_SHOWWINDOW:
        m_browser->OnWindowShown(wp != 0);
        break;
    case WM_DESTROY: {
        DropCaret();
        m_browser->OnWindowDestroyed();
        return 0;
    }
    case WM_GETDLGCODE:
        return DLGC_WANTALLKEYS | DLGC_WANTCHARS | DLGC_WANTARROWS | DLGC_WANTTAB;
    case WM_MOUSEACTIVATE:
        ::SetFocus(m_hwnd);
        return MA_ACTIVATE;
    case WM_SETFOCUS:
        m_browser->SendInput("Emulation.setFocusEmulationEnabled", {{"enabled", true}}, false);
        PlaceCaret();
        return 0;
    case WM_KILLFOCUS:
        DropCaret();
        return 0;
    case WM_SETCURSOR:
        if (LOWORD(lp) == HTCLIENT) {
            LPCWSTR id;
            {
                std::lock_guard<std::mutex> lock(m_lock);
                id = m_cursor;
            }
            ::SetCursor(LoadCursorW(nullptr, id));
            return TRUE;
        }
        break;
    case WM_MOUSEMOVE:
        // The system also sends a move when windows above or around change
        // (a caption scrolling in the parent, a layered update) without the
        // pointer moving: that is no input for the page, and passing it on
        // would keep the page from ever coming to rest.
        if (m_hasMoved && lp == m_lastMovePos && wp == m_lastMoveKeys) return 0;
        m_hasMoved = true;
        m_lastMovePos = lp;
        m_lastMoveKeys = wp;
        if (!m_tracking) {
            TRACKMOUSEEVENT t = {};
            t.cbSize = sizeof t;
            t.dwFlags = TME_LEAVE;
            t.hwndTrack = m_hwnd;
            m_tracking = TrackMouseEvent(&t) != 0;
        }
        Mouse("mouseMoved", lp, (wp & MK_LBUTTON) ? "left" : "none", 0, wp);
        return 0;
    case WM_MOUSELEAVE:
        m_tracking = false;
        m_hasMoved = false;  // coming back in is a move again
        return 0;
    case WM_TIMER:
        if (wp != kCursorTimer) break;
        KillTimer(m_hwnd, kCursorTimer);
        m_lastMove = GetTickCount();
        m_browser->UpdateCursor(GET_X_LPARAM(m_cursorAt), GET_Y_LPARAM(m_cursorAt));
        return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        ::SetFocus(m_hwnd);
        SetCapture(m_hwnd);
        Mouse("mousePressed", lp, "left", msg == WM_LBUTTONDBLCLK ? 2 : 1, wp | MK_LBUTTON);
        return 0;
    case WM_LBUTTONUP:
        if (GetCapture() == m_hwnd) ReleaseCapture();
        Mouse("mouseReleased", lp, "left", 1, wp);
        return 0;
    case WM_RBUTTONDOWN:
        ::SetFocus(m_hwnd);
        Mouse("mousePressed", lp, "right", 1, wp | MK_RBUTTON);
        return 0;
    case WM_RBUTTONUP:
        Mouse("mouseReleased", lp, "right", 1, wp);
        ContextMenuController(m_browser).Run(GET_X_LPARAM(lp), GET_Y_LPARAM(lp), false);
        return 0;
    case WM_MBUTTONDOWN:
        Mouse("mousePressed", lp, "middle", 1, wp | MK_MBUTTON);
        return 0;
    case WM_MBUTTONUP:
        Mouse("mouseReleased", lp, "middle", 1, wp);
        return 0;
    case WM_MOUSEWHEEL:
    case WM_MOUSEHWHEEL: {
        POINT pt = {GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
        ScreenToClient(m_hwnd, &pt);
        int delta = GET_WHEEL_DELTA_WPARAM(wp);
        const PageScale scale = m_browser->Scale();
        Json p = {{"type", "mouseWheel"},
                  {"x", scale.ToCss(pt.x)},
                  {"y", scale.ToCss(pt.y)},
                  {"modifiers", Modifiers()},
                  {"deltaX", msg == WM_MOUSEHWHEEL ? delta * 100 / 120 : 0},
                  {"deltaY", msg == WM_MOUSEWHEEL ? -delta * 100 / 120 : 0}};
        m_browser->SendInput("Input.dispatchMouseEvent", p, true);
        return 0;
    }
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
        // The menu key and Shift+F10 open the context menu at the focus.
        if (wp == VK_APPS || (wp == VK_F10 && GetKeyState(VK_SHIFT) < 0)) {
            ContextMenuController(m_browser).Run(0, 0, true);
            return 0;
        }
        Key("rawKeyDown", wp, lp);
        if (msg == WM_SYSKEYDOWN) break;
        return 0;
    case WM_KEYUP:
    case WM_SYSKEYUP:
        Key("keyUp", wp, lp);
        if (msg == WM_SYSKEYUP) break;
        return 0;
    case WM_CHAR:
    case WM_IME_CHAR:
        // WM_IME_CHAR is taken here rather than turned into WM_CHAR by the
        // default procedure, so a character is never inserted twice.
        Char(static_cast<wchar_t>(wp));
        return 0;
    default:
        break;
    }
    return DefWindowProcW(m_hwnd, msg, wp, lp);
}

void BrowserWindow::SetCaret(const CaretReport& caret)
{
    m_caret = caret;
    PlaceCaret();
}

void BrowserWindow::PlaceCaret()
{
    // The system shows the caret of the window with the keyboard only.
    if (!m_caret.shown || GetFocus() != m_hwnd) return DropCaret();
    // The page reports CSS pixels; the caret is one CSS pixel wide.
    const PageScale scale = m_browser->Scale();
    const int width = std::max(1, scale.ToDevice(1)), height = std::max(1, scale.ToDevice(m_caret.height));
    const int x = scale.ToDevice(m_caret.x), y = scale.ToDevice(m_caret.y);
    if (!m_caretMade || width != m_caretWidth || height != m_caretHeight) {
        DropCaret();
        if (!CreateCaret(m_hwnd, nullptr, width, height)) return;
        m_caretMade = true;
        m_caretWidth = width;
        m_caretHeight = height;
        SetCaretPos(x, y);
        ShowCaret(m_hwnd);
        return;
    }
    SetCaretPos(x, y);
}

void BrowserWindow::DropCaret()
{
    if (!m_caretMade) return;
    DestroyCaret();
    m_caretMade = false;
}

void BrowserWindow::Paint()
{
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(m_hwnd, &ps);
    RECT rc;
    GetClientRect(m_hwnd, &rc);
    {
        std::lock_guard<std::mutex> lock(m_lock);
        if (m_image.width > 0) {
            BITMAPINFO bi = {};
            bi.bmiHeader.biSize = sizeof bi.bmiHeader;
            bi.bmiHeader.biWidth = m_image.width;
            bi.bmiHeader.biHeight = -m_image.height;
            bi.bmiHeader.biPlanes = 1;
            bi.bmiHeader.biBitCount = 32;
            bi.bmiHeader.biCompression = BI_RGB;
            // The paint's clip holds only what changed, so a blink copies
            // only its few pixels.
            SetStretchBltMode(dc, COLORONCOLOR);
            StretchDIBits(dc, 0, 0, rc.right, rc.bottom, 0, 0, m_image.width, m_image.height, m_image.pixels.data(),
                          &bi, DIB_RGB_COLORS, SRCCOPY);
        } else {
            FillRect(dc, &rc, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        }
    }
    EndPaint(m_hwnd, &ps);
}

void BrowserWindow::Mouse(const char* type, LPARAM lp, const char* button, int clickCount, WPARAM wp)
{
    bool move = strcmp(type, "mouseMoved") == 0;
    const PageScale scale = m_browser->Scale();
    Json p = {{"type", type},
              {"x", scale.ToCss(GET_X_LPARAM(lp))},
              {"y", scale.ToCss(GET_Y_LPARAM(lp))},
              {"modifiers", Modifiers()},
              {"button", button},
              {"buttons", Buttons(wp)},
              {"clickCount", clickCount}};
    m_browser->SendInput("Input.dispatchMouseEvent", p, !move);
    if (!move) return;
    // The page is asked at most every kCursorProbeMs; a move in between is
    // asked about when that time is up, so the pointer coming to rest never
    // keeps the cursor of a place it has left.
    m_cursorAt = lp;
    DWORD since = GetTickCount() - m_lastMove;
    if (since > kCursorProbeMs) {
        KillTimer(m_hwnd, kCursorTimer);
        m_lastMove = GetTickCount();
        m_browser->UpdateCursor(GET_X_LPARAM(lp), GET_Y_LPARAM(lp));
    } else {
        SetTimer(m_hwnd, kCursorTimer, kCursorProbeMs + 1 - since, nullptr);
    }
}

void BrowserWindow::Key(const char* type, WPARAM wp, LPARAM lp)
{
    Json p = {{"type", type},
              {"windowsVirtualKeyCode", static_cast<int>(wp)},
              {"nativeVirtualKeyCode", static_cast<int>(wp)},
              {"modifiers", Modifiers()},
              {"autoRepeat", strcmp(type, "rawKeyDown") == 0 && (lp & 0x40000000) != 0}};
    // Keys whose meaning is an editing command rather than a character.
    static const struct {
        WPARAM vk;
        const char* key;
    } names[] = {
        {VK_BACK, "Backspace"}, {VK_TAB, "Tab"},        {VK_RETURN, "Enter"},     {VK_ESCAPE, "Escape"},
        {VK_DELETE, "Delete"},  {VK_LEFT, "ArrowLeft"}, {VK_RIGHT, "ArrowRight"}, {VK_UP, "ArrowUp"},
        {VK_DOWN, "ArrowDown"}, {VK_HOME, "Home"},      {VK_END, "End"},          {VK_PRIOR, "PageUp"},
        {VK_NEXT, "PageDown"},
    };
    for (const auto& n : names)
        if (n.vk == wp) p["key"] = n.key;
    m_browser->SendInput("Input.dispatchKeyEvent", p, strcmp(type, "keyUp") == 0);
}

void BrowserWindow::Char(wchar_t ch)
{
    if (ch >= 0xD800 && ch <= 0xDBFF) {
        m_highSurrogate = ch;
        return;
    }
    wchar_t buf[2];
    size_t n = 0;
    if (ch >= 0xDC00 && ch <= 0xDFFF) {
        if (!m_highSurrogate) return;
        buf[n++] = m_highSurrogate;
    }
    m_highSurrogate = 0;
    buf[n++] = ch;
    // Control characters other than Enter act through their key events.
    if (n == 1 && ch < 0x20 && ch != L'\r') return;
    std::string text = Utf8(buf, n);
    Json p = {{"type", "char"}, {"text", text}, {"unmodifiedText", text}, {"modifiers", Modifiers()}};
    if (ch == L'\r') p["windowsVirtualKeyCode"] = 13;
    m_browser->SendInput("Input.dispatchKeyEvent", p, true);
}

}  // namespace vxrt
