#pragma once
// The child window of a browser: paints the latest picture of the page at
// the window's size and forwards mouse, wheel, keyboard and text input.

#include <windows.h>

#include <mutex>

#include "runtime/engine/FrameImage.h"
#include "runtime/protocol/CaretReport.h"
#include "runtime/protocol/PageScale.h"

namespace vxrt {

class BrowserImpl;

class BrowserWindow {
public:
    // UI thread. The window calls back into browser until it is destroyed.
    static BrowserWindow* Create(BrowserImpl* browser, HWND parent, DWORD style, DWORD exStyle, int x, int y, int width,
                                 int height);
    HWND Handle() const { return m_hwnd; }
    // The density of the screen the window is on, as the program sees it
    // (a program the system scales for it sees the base density).
    static PageScale ScreenScale(HWND hwnd);
    // Tests of dense screens: every window counts as being on a screen of
    // this density (0: the real one).
    static void OverrideScreenDpi(int dpi);

    // Any thread: keeps the picture and repaints what differs from the one
    // shown before.
    void SetImage(FrameImage&& image);
    // Any thread: puts a picture of part of the page at (x, y) of the one
    // shown and repaints that part only. False when it does not fit.
    bool PatchImage(int x, int y, const FrameImage& part);
    bool HasImage();
    // Any thread: whether the picture shown is exactly this one.
    bool Shows(const FrameImage& image);
    // Any thread: cursor the page asks for (a system cursor id).
    void SetCursorId(LPCWSTR id);
    // UI thread: where the page's text caret stands. The window draws it
    // as a system caret while it has the keyboard.
    void SetCaret(const CaretReport& caret);

private:
    BrowserWindow(BrowserImpl* browser) : m_browser(browser) {}
    static LRESULT CALLBACK WndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
    LRESULT Handle(UINT msg, WPARAM wp, LPARAM lp);
    void Paint();
    void Mouse(const char* type, LPARAM lp, const char* button, int clickCount, WPARAM wp);
    void Key(const char* type, WPARAM wp, LPARAM lp);
    void Char(wchar_t ch);
    void PlaceCaret();
    void DropCaret();

    BrowserImpl* m_browser;
    HWND m_hwnd = nullptr;
    std::mutex m_lock;
    FrameImage m_image;
    LPCWSTR m_cursor = IDC_ARROW;
    wchar_t m_highSurrogate = 0;
    CaretReport m_caret;  // in page pixels
    // The system caret this window made, and its size: one per thread,
    // made on taking the keyboard, destroyed on losing it.
    bool m_caretMade = false;
    int m_caretWidth = 0, m_caretHeight = 0;
    static const UINT_PTR kCursorTimer = 0x5643;
    static const DWORD kCursorProbeMs = 80;
    DWORD m_lastMove = 0;
    LPARAM m_cursorAt = 0;  // client position of the last mouse move
    bool m_tracking = false;
    // The last move passed on, to tell real moves from repeated ones.
    bool m_hasMoved = false;
    LPARAM m_lastMovePos = 0;
    WPARAM m_lastMoveKeys = 0;
};

}  // namespace vxrt
