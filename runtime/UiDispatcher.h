#pragma once
// Hands work from the runtime thread to the UI thread (the thread that
// called cef_initialize and runs cef_run_message_loop) through a
// message-only window, so handlers always run where the windows live.

#include <winsock2.h>  // must precede windows.h, which would pull in the old winsock
#include <windows.h>

#include <functional>

namespace vxrt {

class UiDispatcher {
public:
    UiDispatcher();
    ~UiDispatcher();
    UiDispatcher(const UiDispatcher&) = delete;
    UiDispatcher& operator=(const UiDispatcher&) = delete;

    // Creates the window on the calling thread, which becomes the UI thread.
    bool Create();
    void Destroy();
    // Queues fn for the UI thread. Safe from any thread; dropped when the
    // window is gone.
    void Post(std::function<void()> fn);
    bool OnUiThread() const { return GetCurrentThreadId() == m_threadId; }
    DWORD ThreadId() const { return m_threadId; }

private:
    static LRESULT CALLBACK WndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
    HWND m_hwnd;
    DWORD m_threadId;
};

}  // namespace vxrt
