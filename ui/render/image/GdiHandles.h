#pragma once
// Scoped owners for GDI objects and device contexts.
//
// Every drawing routine of the framework creates short-lived pens, brushes,
// regions, bitmaps and memory device contexts; one forgotten DeleteObject per
// paint exhausts the process's GDI quota after a few hours. These wrappers
// make the release automatic and count the objects they hold, so a test can
// prove that a stress loop leaves nothing behind (Wine's GetGuiResources
// always answers 0, so the count has to be ours).

#include "ui/core/base/Platform.h"

#include <atomic>
#include <utility>

namespace SkinUI {
namespace Gdi {

// Number of GDI objects and device contexts currently held by the wrappers
// below (process-wide).
inline std::atomic<int>& LiveObjectCounter()
{
    static std::atomic<int> counter{0};
    return counter;
}
inline int LiveObjects() { return LiveObjectCounter().load(); }

// Owns one GDI object (HBITMAP, HFONT, HBRUSH, HPEN, HRGN) and deletes it.
template <typename Handle>
class Object {
public:
    Object() = default;
    explicit Object(Handle handle) { Reset(handle); }
    ~Object() { Reset(); }
    Object(const Object&) = delete;
    Object& operator=(const Object&) = delete;
    Object(Object&& other) noexcept : m_handle(other.Release()) {}
    Object& operator=(Object&& other) noexcept
    {
        if (this != &other) {
            Reset();
            m_handle = other.Release();
        }
        return *this;
    }

    void Reset(Handle handle = nullptr)
    {
        if (m_handle) {
            ::DeleteObject(m_handle);
            --LiveObjectCounter();
        }
        m_handle = handle;
        if (m_handle) ++LiveObjectCounter();
    }
    // Gives up ownership; the caller deletes the handle.
    Handle Release()
    {
        Handle handle = m_handle;
        if (handle) --LiveObjectCounter();
        m_handle = nullptr;
        return handle;
    }
    Handle Get() const { return m_handle; }
    operator Handle() const { return m_handle; }
    explicit operator bool() const { return m_handle != nullptr; }

private:
    Handle m_handle = nullptr;
};

using Bitmap = Object<HBITMAP>;
using Font = Object<HFONT>;
using Brush = Object<HBRUSH>;
using Pen = Object<HPEN>;
using Region = Object<HRGN>;

// A memory device context (CreateCompatibleDC), deleted on scope exit.
class MemoryDC {
public:
    explicit MemoryDC(HDC compatibleWith) : m_hdc(::CreateCompatibleDC(compatibleWith))
    {
        if (m_hdc) ++LiveObjectCounter();
    }
    ~MemoryDC()
    {
        if (m_hdc) {
            ::DeleteDC(m_hdc);
            --LiveObjectCounter();
        }
    }
    MemoryDC(const MemoryDC&) = delete;
    MemoryDC& operator=(const MemoryDC&) = delete;
    HDC Get() const { return m_hdc; }
    operator HDC() const { return m_hdc; }
    explicit operator bool() const { return m_hdc != nullptr; }

private:
    HDC m_hdc;
};

// A window or screen device context (GetDC), released on scope exit.
class WindowDC {
public:
    explicit WindowDC(HWND hwnd) : m_hwnd(hwnd), m_hdc(::GetDC(hwnd))
    {
        if (m_hdc) ++LiveObjectCounter();
    }
    ~WindowDC()
    {
        if (m_hdc) {
            ::ReleaseDC(m_hwnd, m_hdc);
            --LiveObjectCounter();
        }
    }
    WindowDC(const WindowDC&) = delete;
    WindowDC& operator=(const WindowDC&) = delete;
    HDC Get() const { return m_hdc; }
    operator HDC() const { return m_hdc; }

private:
    HWND m_hwnd;
    HDC m_hdc;
};

// Selects an object into a device context and always selects the previous
// one back, so that the object can be deleted afterwards.
class Select {
public:
    Select(HDC hdc, HGDIOBJ object) : m_hdc(hdc), m_previous(hdc && object ? ::SelectObject(hdc, object) : nullptr) {}
    ~Select()
    {
        if (m_previous) ::SelectObject(m_hdc, m_previous);
    }
    Select(const Select&) = delete;
    Select& operator=(const Select&) = delete;

private:
    HDC m_hdc;
    HGDIOBJ m_previous;
};

// Saves the whole device-context state (clip, colours, modes, selections)
// and restores it on scope exit.
class SavedState {
public:
    explicit SavedState(HDC hdc) : m_hdc(hdc), m_id(hdc ? ::SaveDC(hdc) : 0) {}
    ~SavedState()
    {
        if (m_id) ::RestoreDC(m_hdc, m_id);
    }
    SavedState(const SavedState&) = delete;
    SavedState& operator=(const SavedState&) = delete;

private:
    HDC m_hdc;
    int m_id;
};

// A top-down 32-bit DIB section with direct access to its pixels
// (premultiplied BGRA, row 0 at the top).
struct Dib32 {
    Bitmap bitmap;
    DWORD* bits = nullptr;
    int width = 0;
    int height = 0;

    bool Create(int cx, int cy)
    {
        bitmap.Reset();
        bits = nullptr;
        width = height = 0;
        if (cx <= 0 || cy <= 0) return false;
        BITMAPINFO bmi = {};
        bmi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        bmi.bmiHeader.biWidth = cx;
        bmi.bmiHeader.biHeight = -cy;
        bmi.bmiHeader.biPlanes = 1;
        bmi.bmiHeader.biBitCount = 32;
        bmi.bmiHeader.biCompression = BI_RGB;
        void* pixels = nullptr;
        HBITMAP handle = ::CreateDIBSection(nullptr, &bmi, DIB_RGB_COLORS, &pixels, nullptr, 0);
        if (!handle || !pixels) {
            if (handle) ::DeleteObject(handle);
            return false;
        }
        bitmap.Reset(handle);
        bits = static_cast<DWORD*>(pixels);
        width = cx;
        height = cy;
        return true;
    }
};

}  // namespace Gdi
}  // namespace SkinUI
