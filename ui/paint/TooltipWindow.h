#pragma once
// The tooltip of a skinned window: one "tooltips_class32" window owned by
// it, created on first use, showing the text of the control under the mouse.

#include "ui/base/Platform.h"

#include <commctrl.h>

namespace SkinUI {

class TooltipWindow {
public:
    TooltipWindow() = default;
    ~TooltipWindow();
    TooltipWindow(const TooltipWindow&) = delete;
    TooltipWindow& operator=(const TooltipWindow&) = delete;

    // Shows `text` for the area `rc` of `owner` (client coordinates),
    // wrapping lines wider than `maxWidth` pixels.
    void Show(HWND owner, HINSTANCE instance, LPCTSTR text, const RECT& rc, int maxWidth);
    void Hide();
    void Destroy();

    // How long the mouse must rest before a tooltip shows: the tooltip
    // window's initial delay, or 400 ms before it exists.
    UINT HoverTime() const;
    HWND Handle() const { return m_hwnd; }

private:
    bool Exists() const { return m_hwnd != nullptr && ::IsWindow(m_hwnd); }

    HWND m_hwnd = nullptr;
    TOOLINFOW m_tool = {};
};

}  // namespace SkinUI
