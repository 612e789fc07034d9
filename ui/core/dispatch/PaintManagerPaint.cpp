// Painting: the layout pass, the off-screen and per-pixel-alpha paths, and
// the invalidation entry points.
#include "ui/control/ControlUI.h"
#include "ui/core/paint/PaintManagerUI.h"
#include "ui/render/image/GdiHandles.h"

namespace SkinUI {

namespace {

CControlUI* CALLBACK NeedsUpdate(CControlUI* control, LPVOID) { return control->IsUpdateNeeded() ? control : nullptr; }

typedef BOOL(WINAPI* UpdateLayeredWindowFn)(HWND, HDC, POINT*, SIZE*, HDC, POINT*, COLORREF, BLENDFUNCTION*, DWORD);

// Looked up at run time: the function is missing from older systems.
UpdateLayeredWindowFn UpdateLayeredWindowEntry()
{
    static const auto entry = reinterpret_cast<UpdateLayeredWindowFn>(
        reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"user32.dll"), "UpdateLayeredWindow")));
    return entry;
}

// Drawing that does not write alpha (GDI text and lines) leaves alpha 0 on
// coloured pixels; those become opaque. Pure black with alpha 0 stays
// transparent.
void OpaqueUnwrittenAlpha(DWORD* bits, int stride, const RECT& rc)
{
    for (LONG y = rc.top; y < rc.bottom; ++y) {
        DWORD* row = bits + static_cast<size_t>(y) * stride;
        for (LONG x = rc.left; x < rc.right; ++x) {
            if ((row[x] & 0xFF000000) == 0 && (row[x] & 0x00FFFFFF) != 0) row[x] |= 0xFF000000;
        }
    }
}

void ClearPixels(DWORD* bits, int stride, const RECT& rc)
{
    for (LONG y = rc.top; y < rc.bottom; ++y) {
        DWORD* row = bits + static_cast<size_t>(y) * stride;
        for (LONG x = rc.left; x < rc.right; ++x) row[x] = 0;
    }
}

}  // namespace

void CPaintManagerUI::Invalidate(RECT& rcItem)
{
    if (m_hWndPaint != nullptr) ::InvalidateRect(m_hWndPaint, &rcItem, FALSE);
}

void CPaintManagerUI::ReDraw()
{
    if (m_hWndPaint != nullptr)
        ::RedrawWindow(m_hWndPaint, nullptr, nullptr, RDW_ERASE | RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
}

bool CPaintManagerUI::AddPostPaint(CControlUI* pControl) { return m_aPostPaintControls.Add(pControl); }

bool CPaintManagerUI::RemovePostPaint(CControlUI* pControl)
{
    const int index = m_aPostPaintControls.Find(pControl);
    return index >= 0 && m_aPostPaintControls.Remove(index);
}

bool CPaintManagerUI::SetPostPaintIndex(CControlUI* pControl, int iIndex)
{
    RemovePostPaint(pControl);
    return m_aPostPaintControls.InsertAt(iIndex, pControl);
}

void CPaintManagerUI::LayOut()
{
    m_bUpdateNeeded = false;
    RECT client = {0, 0, 0, 0};
    ::GetClientRect(m_hWndPaint, &client);
    if (::IsRectEmpty(&client)) return;
    if (m_pRoot->IsUpdateNeeded()) {
        m_pRoot->SetPos(client);
        // The buffers follow the client size; they are made again below.
        m_surface.Drop();
        return;
    }
    // Only parts of the tree changed: give each such control its rectangle
    // again (a container lays out its children in SetPos). A control whose
    // SetPos does not clear its flag would be found forever; it is skipped
    // after one try.
    CControlUI* previous = nullptr;
    while (m_pRoot != nullptr) {
        CControlUI* control = m_pRoot->FindControl(NeedsUpdate, nullptr, UIFIND_VISIBLE | UIFIND_ME_FIRST);
        if (control == nullptr || control == previous) break;
        control->SetPos(control->GetPos());
        previous = control;
    }
}

void CPaintManagerUI::Paint()
{
    RECT rcPaint = {0, 0, 0, 0};
    if (!::GetUpdateRect(m_hWndPaint, &rcPaint, FALSE)) return;
    if (m_pRoot == nullptr) {
        PAINTSTRUCT ps;
        ::BeginPaint(m_hWndPaint, &ps);
        ::EndPaint(m_hWndPaint, &ps);
        return;
    }
    const WeakRef<CPaintManagerUI> alive = HandlerRef();
    if (m_bUpdateNeeded) {
        LayOut();
        if (m_bFirstLayout && m_pRoot != nullptr) {
            m_bFirstLayout = false;
            SendNotify(m_pRoot, L"windowinit");
            if (!alive) return;
        }
    }
    if (m_bFocusNeeded) SetNextTabControl(true);
    if (!alive) return;
    if (m_pRoot == nullptr) {
        // A handler replaced or removed the tree; paint again next time.
        ::InvalidateRect(m_hWndPaint, nullptr, FALSE);
        return;
    }

    RECT client = {0, 0, 0, 0};
    ::GetClientRect(m_hWndPaint, &client);
    PAINTSTRUCT ps;
    HDC hdc = ::BeginPaint(m_hWndPaint, &ps);
    if (m_bAlphaBackground) {
        const LONG exStyle = ::GetWindowLongW(m_hWndPaint, GWL_EXSTYLE);
        if ((exStyle & WS_EX_LAYERED) == 0) ::SetWindowLongW(m_hWndPaint, GWL_EXSTYLE, exStyle | WS_EX_LAYERED);
        HDC dc = m_surface.Prepare(PaintSurface::Kind::Alpha, m_hDcPaint, client.right, client.bottom);
        UpdateLayeredWindowFn update = UpdateLayeredWindowEntry();
        RECT area = {0, 0, 0, 0};
        if (dc != nullptr && update != nullptr && ::IntersectRect(&area, &rcPaint, &client)) {
            ClearPixels(m_surface.Bits(), m_surface.Width(), area);
            m_pRoot->DoPaint(dc, area);
            ::GdiFlush();
            OpaqueUnwrittenAlpha(m_surface.Bits(), m_surface.Width(), area);
            RECT window = {0, 0, 0, 0};
            ::GetWindowRect(m_hWndPaint, &window);
            POINT dst = {window.left, window.top};
            SIZE size = {client.right, client.bottom};
            POINT src = {0, 0};
            BLENDFUNCTION blend = {AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
            update(m_hWndPaint, nullptr, &dst, &size, dc, &src, 0, &blend, ULW_ALPHA);
        }
    } else if (m_bOffscreenPaint) {
        HDC dc = m_surface.Prepare(PaintSurface::Kind::Compatible, m_hDcPaint, client.right, client.bottom);
        if (dc != nullptr) {
            m_pRoot->DoPaint(dc, ps.rcPaint);
            for (int i = 0; m_pRoot != nullptr && i < m_aPostPaintControls.GetSize(); ++i)
                static_cast<CControlUI*>(m_aPostPaintControls.GetAt(i))->DoPostPaint(dc, ps.rcPaint);
            ::BitBlt(hdc, ps.rcPaint.left, ps.rcPaint.top, ps.rcPaint.right - ps.rcPaint.left,
                     ps.rcPaint.bottom - ps.rcPaint.top, dc, ps.rcPaint.left, ps.rcPaint.top, SRCCOPY);
        } else {
            m_pRoot->DoPaint(hdc, ps.rcPaint);
        }
    } else {
        m_pRoot->DoPaint(hdc, ps.rcPaint);
    }
    if (m_bShowUpdateRect && !m_bAlphaBackground) {
        Gdi::Pen pen(::CreatePen(PS_SOLID, 1, RGB(220, 0, 0)));
        Gdi::Select selectPen(hdc, pen);
        Gdi::Select selectBrush(hdc, ::GetStockObject(HOLLOW_BRUSH));
        ::Rectangle(hdc, rcPaint.left, rcPaint.top, rcPaint.right, rcPaint.bottom);
    }
    ::EndPaint(m_hWndPaint, &ps);
    // Painting asked for another layout (a control grew while painting).
    if (m_bUpdateNeeded) ::InvalidateRect(m_hWndPaint, nullptr, FALSE);
}

void CPaintManagerUI::PrintClient(HDC hDC, LPARAM lParam)
{
    if (m_pRoot == nullptr || hDC == nullptr) return;
    RECT client = {0, 0, 0, 0};
    ::GetClientRect(m_hWndPaint, &client);
    const int saved = ::SaveDC(hDC);
    m_pRoot->DoPaint(hDC, client);
    if ((lParam & PRF_CHILDREN) != 0) {
        for (HWND child = ::GetWindow(m_hWndPaint, GW_CHILD); child != nullptr;
             child = ::GetWindow(child, GW_HWNDNEXT)) {
            RECT pos = {0, 0, 0, 0};
            ::GetWindowRect(child, &pos);
            ::MapWindowPoints(HWND_DESKTOP, m_hWndPaint, reinterpret_cast<LPPOINT>(&pos), 2);
            ::SetWindowOrgEx(hDC, -pos.left, -pos.top, nullptr);
            ::SendMessageW(child, WM_PRINT, reinterpret_cast<WPARAM>(hDC), lParam | PRF_NONCLIENT);
        }
    }
    ::RestoreDC(hDC, saved);
}

}  // namespace SkinUI
