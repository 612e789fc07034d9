#include "runtime/engine/Clipboard.h"

#include <string.h>

namespace vxrt {

namespace {

// Opens the clipboard for the scope; another program may hold it briefly.
class ClipboardLock {
public:
    explicit ClipboardLock(HWND owner)
    {
        for (int i = 0; i < 10 && !m_open; ++i) {
            m_open = OpenClipboard(owner) != FALSE;
            if (!m_open) Sleep(10);
        }
    }
    ~ClipboardLock()
    {
        if (m_open) CloseClipboard();
    }
    bool IsOpen() const { return m_open; }

private:
    bool m_open = false;
};

}  // namespace

bool SetClipboardText(HWND owner, const std::wstring& text)
{
    ClipboardLock lock(owner);
    if (!lock.IsOpen() || !EmptyClipboard()) return false;
    size_t bytes = (text.size() + 1) * sizeof(wchar_t);
    HGLOBAL mem = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, bytes);
    if (!mem) return false;
    void* p = GlobalLock(mem);
    if (!p) {
        GlobalFree(mem);
        return false;
    }
    memcpy(p, text.c_str(), bytes);
    GlobalUnlock(mem);
    // From here the clipboard owns the memory, unless it refuses it.
    if (!SetClipboardData(CF_UNICODETEXT, mem)) {
        GlobalFree(mem);
        return false;
    }
    return true;
}

bool GetClipboardText(HWND owner, std::wstring& text)
{
    text.clear();
    ClipboardLock lock(owner);
    if (!lock.IsOpen()) return false;
    HANDLE data = GetClipboardData(CF_UNICODETEXT);
    if (!data) return false;
    const wchar_t* p = static_cast<const wchar_t*>(GlobalLock(data));
    if (!p) return false;
    size_t max = GlobalSize(data) / sizeof(wchar_t);
    size_t n = 0;
    while (n < max && p[n]) ++n;
    text.assign(p, n);
    GlobalUnlock(data);
    return true;
}

}  // namespace vxrt
