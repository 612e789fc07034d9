#include "runtime/UiDispatcher.h"

namespace vxrt {

namespace {
const wchar_t kClassName[] = L"VornexRuntimeDispatch";
const UINT kRunTask = WM_APP + 0x2F1;
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
    m_hwnd = CreateWindowExW(0, kClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
    m_threadId = GetCurrentThreadId();
    return m_hwnd != nullptr;
}

void UiDispatcher::Destroy()
{
    if (!m_hwnd) return;
    HWND h = m_hwnd;
    m_hwnd = nullptr;
    // Run what is still queued so that no task (and the references it holds)
    // is leaked.
    MSG msg;
    while (PeekMessageW(&msg, h, kRunTask, kRunTask, PM_REMOVE)) {
        auto* fn = reinterpret_cast<std::function<void()>*>(msg.lParam);
        delete fn;
    }
    DestroyWindow(h);
}

void UiDispatcher::Post(std::function<void()> fn)
{
    HWND h = m_hwnd;
    if (!h) return;
    auto* task = new std::function<void()>(std::move(fn));
    if (!PostMessageW(h, kRunTask, 0, reinterpret_cast<LPARAM>(task))) delete task;
}

LRESULT CALLBACK UiDispatcher::WndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp)
{
    if (msg == kRunTask) {
        auto* fn = reinterpret_cast<std::function<void()>*>(lp);
        (*fn)();
        delete fn;
        return 0;
    }
    return DefWindowProcW(hwnd, msg, wp, lp);
}

}  // namespace vxrt
