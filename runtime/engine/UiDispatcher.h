#pragma once
// Hands work from the runtime thread to the UI thread (the thread that
// called cef_initialize and runs cef_run_message_loop) through a
// message-only window, so handlers always run where the windows live.

#include <windows.h>

#include <functional>
#include <mutex>

namespace vxrt {

class UiDispatcher {
public:
    UiDispatcher();
    ~UiDispatcher();
    UiDispatcher(const UiDispatcher&) = delete;
    UiDispatcher& operator=(const UiDispatcher&) = delete;

    // Creates the window on the calling thread, which becomes the UI thread.
    bool Create();
    // UI thread. Tasks still queued are dropped without running: the runtime
    // is stopping, and a handler called now would see a half-stopped
    // runtime. Dropping a task releases what it holds, on this thread.
    void Destroy();
    // Queues fn for the UI thread. Safe from any thread. After Destroy (or
    // before Create) fn is dropped at once, on the calling thread.
    void Post(std::function<void()> fn);
    bool OnUiThread() const { return GetCurrentThreadId() == m_threadId; }
    DWORD ThreadId() const { return m_threadId; }

private:
    static LRESULT CALLBACK WndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
    std::mutex m_lock;  // guards m_hwnd against a Post racing Destroy
    HWND m_hwnd;
    DWORD m_threadId;
};

}  // namespace vxrt
