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
    if (hWnd != nullptr) SetDpi(DpiOfWindow(hWnd));
}

namespace {
int g_dpiOverride = 0;
}

void CPaintManagerUI::OverrideDpi(int dpi) { g_dpiOverride = dpi > 0 ? dpi : 0; }

int CPaintManagerUI::DpiOfWindow(HWND hWnd)
{
    if (g_dpiOverride > 0) return g_dpiOverride;
    // Systems before per-monitor awareness have no per-window answer; the
    // screen's density is then the one for every window.
    typedef UINT(WINAPI * DpiForWindowFn)(HWND);
    static const DpiForWindowFn dpiForWindow = reinterpret_cast<DpiForWindowFn>(
        reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"user32.dll"), "GetDpiForWindow")));
    int dpi = 0;
    if (dpiForWindow != nullptr && hWnd != nullptr) dpi = static_cast<int>(dpiForWindow(hWnd));
    if (dpi <= 0) {
        Gdi::WindowDC screen(nullptr);
        if (screen) dpi = ::GetDeviceCaps(screen.Get(), LOGPIXELSY);
    }
    return dpi > 0 ? dpi : kBaseDpi;
}

void CPaintManagerUI::SetDpi(int dpi)
{
    if (dpi < 1) dpi = kBaseDpi;
    if (dpi == m_nDpi) return;
    m_nDpi = dpi;
    m_rcSizeBoxScaled = ScaleValue(m_rcSizeBox);
    m_rcCaptionScaled = ScaleValue(m_rcCaption);
    m_fonts.Rescale(m_nDpi, m_hDcPaint.Get());
    // Text laid out and images scaled for the old density are stale.
    m_renderCache.reset();
    m_images.DropScaled();
    if (m_treeSide != nullptr) m_treeSide->RescaleAllControls(*this);
    m_bUpdateNeeded = true;
    InvalidateRoot();
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
