#include "ui/paint/TooltipWindow.h"

namespace SkinUI {

TooltipWindow::~TooltipWindow() { Destroy(); }

void TooltipWindow::Destroy()
{
    // The owner's destruction takes an owned popup with it; only a live
    // handle is ours to destroy.
    if (Exists()) ::DestroyWindow(m_hwnd);
    m_hwnd = nullptr;
}

void TooltipWindow::Show(HWND owner, HINSTANCE instance, LPCTSTR text, const RECT& rc, int maxWidth)
{
    if (text == nullptr || text[0] == L'\0' || owner == nullptr) return;
    m_tool = TOOLINFOW{};
    // The record without the field that only version 6 of the common
    // controls knows: every version of the tooltip class accepts it.
    m_tool.cbSize = TTTOOLINFOW_V2_SIZE;
    m_tool.uFlags = TTF_IDISHWND;
    m_tool.hwnd = owner;
    m_tool.uId = reinterpret_cast<UINT_PTR>(owner);
    m_tool.hinst = instance;
    m_tool.lpszText = const_cast<LPWSTR>(text);
    m_tool.rect = rc;
    if (!Exists() || ::GetWindow(m_hwnd, GW_OWNER) != owner) {
        Destroy();
        m_hwnd = ::CreateWindowExW(0, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP, CW_USEDEFAULT,
                                   CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, owner, nullptr, instance, nullptr);
        if (m_hwnd == nullptr) return;
        ::SendMessageW(m_hwnd, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&m_tool));
    }
    ::SendMessageW(m_hwnd, TTM_SETMAXTIPWIDTH, 0, maxWidth);
    ::SendMessageW(m_hwnd, TTM_SETTOOLINFOW, 0, reinterpret_cast<LPARAM>(&m_tool));
    ::SendMessageW(m_hwnd, TTM_TRACKACTIVATE, TRUE, reinterpret_cast<LPARAM>(&m_tool));
}

void TooltipWindow::Hide()
{
    if (Exists()) ::SendMessageW(m_hwnd, TTM_TRACKACTIVATE, FALSE, reinterpret_cast<LPARAM>(&m_tool));
}

UINT TooltipWindow::HoverTime() const
{
    if (!Exists()) return 400;
    return static_cast<UINT>(::SendMessageW(m_hwnd, TTM_GETDELAYTIME, TTDT_INITIAL, 0));
}

}  // namespace SkinUI
