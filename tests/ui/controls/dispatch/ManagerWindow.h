#pragma once
// A real top-level window driven by a paint manager, for tests: messages go
// through CPaintManagerUI::MessageHandler, and the test's message loop
// through CPaintManagerUI::TranslateMessage, as in the framework's own loops.

#include "ui/paint/PaintManagerUI.h"

#include <functional>

namespace SkinUI {

class ManagerWindow {
public:
    // A popup window of the given client size at (left, top) on the screen,
    // shown without being activated.
    ManagerWindow(int width, int height, int left = 100, int top = 100, DWORD exStyle = 0);
    ~ManagerWindow();
    ManagerWindow(const ManagerWindow&) = delete;
    ManagerWindow& operator=(const ManagerWindow&) = delete;

    CPaintManagerUI& Manager() { return *m_manager; }
    HWND Handle() const { return m_hwnd; }
    // Destroys the window and its manager now (with the tree).
    void Destroy();

    // Runs the message loop until `done` holds or `timeoutMs` passed; the
    // result is `done()` at the end.
    bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs = 5000);
    // Handles every message that is already queued.
    void PumpPending();
    // Paints every invalid part of the window now.
    void PaintNow();

    POINT ToScreen(int x, int y) const;
    // Moves the real mouse to the client point and waits until the manager
    // has seen the move.
    bool MoveMouse(int x, int y);
    // Presses or releases mouse buttons where the mouse is (MOUSEEVENTF_ flags).
    void MouseButtons(DWORD flags);

private:
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

    HWND m_hwnd = nullptr;
    CPaintManagerUI* m_manager = nullptr;
};

}  // namespace SkinUI
