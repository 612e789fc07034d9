// The paint manager's window: binding, client size, repainting the whole
// window, and the manager's end. (The tree side lives with the controls,
// ui/controls/dispatch.)
#include "ui/paint/PaintManagerUI.h"

namespace SkinUI {

void CPaintManagerUI::Init(HWND hWnd)
{
    // A second Init gives the device context of the first window back.
    m_surface.Drop();
    m_hWndPaint = hWnd;
    if (m_handlerAnchor.IsRetired()) m_handlerAnchor.Renew();
    m_hDcPaint = Gdi::OwnedWindowDC(hWnd != nullptr ? ::GetDC(hWnd) : nullptr, Gdi::WindowDCTraits{hWnd});
    if (m_aPreMessages.Find(this) < 0) m_aPreMessages.Add(this);
}

SIZE CPaintManagerUI::GetClientSize() const
{
    RECT client = {0, 0, 0, 0};
    if (m_hWndPaint) ::GetClientRect(m_hWndPaint, &client);
    return CUiSize(client.right - client.left, client.bottom - client.top);
}

void CPaintManagerUI::InvalidateRoot()
{
    // The root always covers the client area.
    if (m_hWndPaint != nullptr) ::InvalidateRect(m_hWndPaint, nullptr, FALSE);
}

void CPaintManagerUI::WindowGone() { m_handlerAnchor.Retire(); }

CPaintManagerUI::~CPaintManagerUI()
{
    // Handlers still running on the stack below this destructor stop at
    // their next check.
    m_handlerAnchor.Retire();
    m_objectAnchor.Retire();
    // Controls are deleted by the side of the manager that knows them; it
    // handed itself over (ControlTreeSide) when it attached the first one.
    if (m_treeSide != nullptr) m_treeSide->DeleteAllControls(*this);
    m_notifications.Clear();
    m_mNameHash.RemoveAll();
    m_timers.RemoveAll(m_hWndPaint);
    m_tooltip.Destroy();
    m_surface.Drop();

    RemoveAllFonts();
    RemoveAllImages();
    RemoveAllDefaultAttributeList();
    RemoveAllOptionGroups();
    RemoveAllHotKeyGroups();
    const int index = m_aPreMessages.Find(this);
    if (index >= 0) m_aPreMessages.Remove(index);
    m_hDcPaint.Reset();
}

}  // namespace SkinUI
