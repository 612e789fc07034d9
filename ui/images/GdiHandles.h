#pragma once
// Scoped owners for GDI objects and device contexts.
//
// Every drawing routine of the framework creates short-lived pens, brushes,
// regions, bitmaps and memory device contexts; one forgotten DeleteObject per
// paint exhausts the process's GDI quota after a few hours. These owners make
// the release automatic.

#include "ui/base/Platform.h"
#include "ui/base/UniqueHandle.h"

#include <utility>

namespace SkinUI {
namespace Gdi {

// A GDI object (HBITMAP, HFONT, HBRUSH, HPEN, HRGN), deleted with DeleteObject.
template <typename Handle_>
struct ObjectTraits {
    using Handle = Handle_;
    static bool IsValid(Handle handle) { return handle != nullptr; }
    static void Close(Handle handle) { ::DeleteObject(handle); }
};

template <typename Handle>
using Object = UniqueHandle<ObjectTraits<Handle>>;
using Bitmap = Object<HBITMAP>;
using Font = Object<HFONT>;
using Brush = Object<HBRUSH>;
using Pen = Object<HPEN>;
using Region = Object<HRGN>;

// A device context made with CreateCompatibleDC or CreateDC: DeleteDC.
struct CreatedDCTraits {
    using Handle = HDC;
    static bool IsValid(HDC hdc) { return hdc != nullptr; }
    static void Close(HDC hdc) { ::DeleteDC(hdc); }
};

// A window's device context from GetDC: ReleaseDC with the same window.
struct WindowDCTraits {
    using Handle = HDC;
    HWND hwnd = nullptr;
    static bool IsValid(HDC hdc) { return hdc != nullptr; }
    void Close(HDC hdc) const { ::ReleaseDC(hwnd, hdc); }
};

using CreatedDC = UniqueHandle<CreatedDCTraits>;
using OwnedWindowDC = UniqueHandle<WindowDCTraits>;

// A memory device context compatible with `compatibleWith` (null: the screen).
class MemoryDC : public CreatedDC {
public:
    explicit MemoryDC(HDC compatibleWith) : CreatedDC(::CreateCompatibleDC(compatibleWith)) {}
};

// The device context of a window (null: the screen), released on scope exit.
class WindowDC : public OwnedWindowDC {
public:
    explicit WindowDC(HWND hwnd) : OwnedWindowDC(::GetDC(hwnd), WindowDCTraits{hwnd}) {}
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
        Bitmap handle(::CreateDIBSection(nullptr, &bmi, DIB_RGB_COLORS, &pixels, nullptr, 0));
        if (!handle || !pixels) return false;
        bitmap = std::move(handle);
        bits = static_cast<DWORD*>(pixels);
        width = cx;
        height = cy;
        return true;
    }
};

}  // namespace Gdi
}  // namespace SkinUI
