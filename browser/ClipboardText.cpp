#include "browser/ClipboardText.h"

#include <winsock2.h>  // must precede windows.h, which would pull in the old winsock
#include <windows.h>

#include <cstring>

namespace Vornex {

namespace {

// Open clipboard, closed on every way out.
class OpenedClipboard {
public:
    OpenedClipboard() : m_open(OpenClipboard(nullptr) != FALSE) {}
    ~OpenedClipboard()
    {
        if (m_open) CloseClipboard();
    }
    bool IsOpen() const { return m_open; }

private:
    OpenedClipboard(const OpenedClipboard&) = delete;
    OpenedClipboard& operator=(const OpenedClipboard&) = delete;
    bool m_open;
};

// Movable global memory, freed unless the clipboard took it.
class GlobalMemory {
public:
    explicit GlobalMemory(size_t bytes) : m_handle(GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, bytes)) {}
    ~GlobalMemory()
    {
        if (m_handle) GlobalFree(m_handle);
    }
    HGLOBAL Get() const { return m_handle; }
    HGLOBAL Release()
    {
        HGLOBAL h = m_handle;
        m_handle = nullptr;
        return h;
    }

private:
    GlobalMemory(const GlobalMemory&) = delete;
    GlobalMemory& operator=(const GlobalMemory&) = delete;
    HGLOBAL m_handle;
};

}  // namespace

bool CopyTextToClipboard(const std::wstring& text)
{
    OpenedClipboard clipboard;
    if (!clipboard.IsOpen() || !EmptyClipboard()) return false;
    // UTF-16 units and a terminating zero unit; the memory comes zeroed.
    const size_t units = text.size();
    GlobalMemory memory((units + 1) * sizeof(wchar_t));
    if (!memory.Get()) return false;
    void* bytes = GlobalLock(memory.Get());
    if (!bytes) return false;
    if (units) std::memcpy(bytes, text.data(), units * sizeof(wchar_t));
    GlobalUnlock(memory.Get());
    if (!SetClipboardData(CF_UNICODETEXT, memory.Get())) return false;
    // The clipboard owns the memory from here on.
    memory.Release();
    return true;
}

}  // namespace Vornex
