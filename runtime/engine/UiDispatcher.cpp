#include "runtime/engine/UiDispatcher.h"

#include <memory>

namespace vxrt {

namespace {
const wchar_t kClassName[] = L"VornexRuntimeDispatch";
const UINT kRunTask = WM_APP + 0x2F1;
typedef std::function<void()> Task;
}  // namespace

UiDispatcher::UiDispatcher() : m_hwnd(nullptr), m_threadId(0) {}

UiDispatcher::~UiDispatcher() { Destroy(); }

bool UiDispatcher::Create()
{
    WNDCLASSEXW wc = {};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = WndProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = kClassName;
    RegisterClassExW(&wc);
    HWND h = CreateWindowExW(0, kClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
    std::lock_guard<std::mutex> lock(m_lock);
    m_hwnd = h;
    m_threadId = GetCurrentThreadId();
    return m_hwnd != nullptr;
}

void UiDispatcher::Destroy()
{
    HWND h;
    {
        // From here on no Post reaches the queue, so the drain below sees
        // every task that ever will.
        std::lock_guard<std::mutex> lock(m_lock);
        h = m_hwnd;
        m_hwnd = nullptr;
    }
    if (!h) return;
    MSG msg;
    while (PeekMessageW(&msg, h, kRunTask, kRunTask, PM_REMOVE))
        std::unique_ptr<Task> dropped(reinterpret_cast<Task*>(msg.lParam));
    DestroyWindow(h);
}

void UiDispatcher::Post(std::function<void()> fn)
{
    std::unique_ptr<Task> task(new Task(std::move(fn)));
    {
        std::lock_guard<std::mutex> lock(m_lock);
        if (m_hwnd && PostMessageW(m_hwnd, kRunTask, 0, reinterpret_cast<LPARAM>(task.get()))) {
            task.release();  // owned by the queue now
            return;
        }
    }
    // Not queued: the task (and what it holds) goes here, outside the lock.
}

LRESULT CALLBACK UiDispatcher::WndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp)
{
    if (msg == kRunTask) {
        std::unique_ptr<Task> task(reinterpret_cast<Task*>(lp));
        (*task)();
        return 0;
    }
    return DefWindowProcW(hwnd, msg, wp, lp);
}

}  // namespace vxrt
