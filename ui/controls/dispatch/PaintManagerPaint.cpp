// Painting: the layout pass, the off-screen and per-pixel-alpha paths, and
// the invalidation entry points.
#include "ui/controls/ControlUI.h"
#include "ui/paint/PaintManagerUI.h"
#include "ui/images/GdiHandles.h"

#include <algorithm>

namespace SkinUI {

namespace {

CControlUI* CALLBACK NeedsUpdate(CControlUI* control, LPVOID) { return control->IsUpdateNeeded() ? control : nullptr; }

typedef BOOL(WINAPI* UpdateLayeredWindowFn)(HWND, HDC, POINT*, SIZE*, HDC, POINT*, COLORREF, BLENDFUNCTION*, DWORD);

typedef BOOL(WINAPI* UpdateLayeredWindowIndirectFn)(HWND, const UPDATELAYEREDWINDOWINFO*);

// Looked up at run time: the functions are missing from older systems.
UpdateLayeredWindowFn UpdateLayeredWindowEntry()
{
    static const auto entry = reinterpret_cast<UpdateLayeredWindowFn>(
        reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"user32.dll"), "UpdateLayeredWindow")));
    return entry;
}

UpdateLayeredWindowIndirectFn UpdateLayeredWindowIndirectEntry()
{
    static const auto entry = reinterpret_cast<UpdateLayeredWindowIndirectFn>(reinterpret_cast<void*>(
        ::GetProcAddress(::GetModuleHandleW(L"user32.dll"), "UpdateLayeredWindowIndirect")));
    return entry;
}

// Beyond this many rectangles an invalid area is painted as its bounding
// box: each rectangle costs a walk of the tree and a blit of its own.
constexpr DWORD kMostPaintRects = 8;

// Limits drawing on `dc` to `rc` (nothing before survives: the surfaces
// carry no clip of their own between paints).
void ClipTo(HDC dc, const RECT& rc)
{
    ::SelectClipRgn(dc, nullptr);
    ::IntersectClipRect(dc, rc.left, rc.top, rc.right, rc.bottom);
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

bool CPaintManagerUI::AddPostPaint(CControlUI* pControl) { return m_aPostPaintControls.Add(WeakRefTo(pControl)); }

bool CPaintManagerUI::RemovePostPaint(CControlUI* pControl) { return m_aPostPaintControls.Remove(pControl); }

bool CPaintManagerUI::SetPostPaintIndex(CControlUI* pControl, int iIndex)
{
    RemovePostPaint(pControl);
    return m_aPostPaintControls.InsertAt(iIndex, WeakRefTo(pControl));
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

bool CPaintManagerUI::InvalidRects(const RECT& client, std::vector<RECT>& rects, RECT& bounds)
{
    rects.clear();
    bounds = RECT{0, 0, 0, 0};
    RECT part = {0, 0, 0, 0};
    if (!m_updateRegion) m_updateRegion.Reset(::CreateRectRgn(0, 0, 0, 0));
    const int kind = m_updateRegion ? ::GetUpdateRgn(m_hWndPaint, m_updateRegion, FALSE) : ERROR;
    if (kind == NULLREGION) return false;
    if (kind != ERROR) ::GetRgnBox(m_updateRegion, &bounds);
    if (kind == COMPLEXREGION) {
        // Separate controls that changed together (the captions of the
        // bottom bar stepping in the same tick) are painted apart, without
        // the area between them.
        const DWORD size = ::GetRegionData(m_updateRegion, 0, nullptr);
        if (size >= sizeof(RGNDATAHEADER)) {
            if (m_updateRegionData.size() < size) m_updateRegionData.resize(size);
            auto* data = reinterpret_cast<RGNDATA*>(m_updateRegionData.data());
            if (::GetRegionData(m_updateRegion, size, data) == size && data->rdh.nCount <= kMostPaintRects) {
                const RECT* each = reinterpret_cast<const RECT*>(data->Buffer);
                for (DWORD i = 0; i < data->rdh.nCount; ++i) {
                    if (!::IntersectRect(&part, &each[i], &client)) continue;
                    // A region is kept in horizontal bands: a control that
                    // spans two bands becomes one rectangle again.
                    auto above = std::find_if(rects.begin(), rects.end(), [&](const RECT& r) {
                        return r.left == part.left && r.right == part.right && r.bottom == part.top;
                    });
                    if (above != rects.end())
                        above->bottom = part.bottom;
                    else
                        rects.push_back(part);
                }
                return true;
            }
        }
    }
    if (kind == ERROR && !::GetUpdateRect(m_hWndPaint, &bounds, FALSE)) return false;
    if (::IntersectRect(&part, &bounds, &client)) rects.push_back(part);
    return true;
}

void CPaintManagerUI::PushLayeredPixels(HDC source, const RECT& client, const RECT& dirty)
{
    RECT window = {0, 0, 0, 0};
    ::GetWindowRect(m_hWndPaint, &window);
    POINT dst = {window.left, window.top};
    SIZE size = {client.right, client.bottom};
    POINT src = {0, 0};
    BLENDFUNCTION blend = {AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    // The system keeps the pixels it was given last; while the size is the
    // same only the changed rectangle needs to travel.
    const bool holdsTheRest = m_layeredSize.cx == size.cx && m_layeredSize.cy == size.cy &&
                              window.right - window.left == size.cx && window.bottom - window.top == size.cy;
    if (holdsTheRest) {
        if (UpdateLayeredWindowIndirectFn indirect = UpdateLayeredWindowIndirectEntry()) {
            UPDATELAYEREDWINDOWINFO info = {sizeof(info), nullptr, &dst, &size, source, &src, 0, &blend, ULW_ALPHA,
                                            &dirty};
            if (indirect(m_hWndPaint, &info)) return;
        }
    }
    m_layeredSize = SIZE{0, 0};
    UpdateLayeredWindowFn update = UpdateLayeredWindowEntry();
    if (update != nullptr && update(m_hWndPaint, nullptr, &dst, &size, source, &src, 0, &blend, ULW_ALPHA))
        m_layeredSize = size;
}

void CPaintManagerUI::Paint()
{
    // Each question to the window system is a round trip under Wine: the
    // invalid area is asked for once, and again only when the layout or the
    // focus search may have invalidated more.
    RECT client = {0, 0, 0, 0};
    ::GetClientRect(m_hWndPaint, &client);
    std::vector<RECT> parts;
    RECT rcPaint = {0, 0, 0, 0};
    if (!InvalidRects(client, parts, rcPaint)) return;
    if (m_pRoot == nullptr) {
        PAINTSTRUCT ps;
        ::BeginPaint(m_hWndPaint, &ps);
        ::EndPaint(m_hWndPaint, &ps);
        return;
    }
    const bool mayInvalidate = m_bUpdateNeeded || m_bFocusNeeded;
    if (m_bUpdateNeeded) {
        LayOut();
        if (m_bFirstLayout && m_pRoot != nullptr) {
            m_bFirstLayout = false;
            SendNotify(m_pRoot.Get(), L"windowinit");
        }
    }
    if (m_bFocusNeeded) SetNextTabControl(true);
    if (m_pRoot == nullptr) {
        // A handler replaced or removed the tree (or closed the window,
        // whose tree then reads as gone); paint again next time.
        ::InvalidateRect(m_hWndPaint, nullptr, FALSE);
        return;
    }

    if (mayInvalidate) {
        ::GetClientRect(m_hWndPaint, &client);
        RECT bounds = {0, 0, 0, 0};
        InvalidRects(client, parts, bounds);
    }
    PAINTSTRUCT ps;
    HDC hdc = ::BeginPaint(m_hWndPaint, &ps);
    if (m_bAlphaBackground) {
        const LONG exStyle = ::GetWindowLongW(m_hWndPaint, GWL_EXSTYLE);
        if ((exStyle & WS_EX_LAYERED) == 0) {
            ::SetWindowLongW(m_hWndPaint, GWL_EXSTYLE, exStyle | WS_EX_LAYERED);
            m_layeredSize = SIZE{0, 0};  // a window made layered anew holds no pixels yet
        }
        HDC dc = m_surface.Prepare(PaintSurface::Kind::Alpha, m_hDcPaint, client.right, client.bottom);
        if (dc != nullptr && UpdateLayeredWindowEntry() != nullptr && !parts.empty()) {
            RECT dirty = {0, 0, 0, 0};
            for (const RECT& part : parts) {
                if (m_pRoot == nullptr) break;
                ClearPixels(m_surface.Bits(), m_surface.Width(), part);
                // The whole surface goes to the screen: nothing may reach
                // beyond the part that was cleared for this paint.
                ClipTo(dc, part);
                m_pRoot->DoPaint(dc, part);
                ::GdiFlush();
                OpaqueUnwrittenAlpha(m_surface.Bits(), m_surface.Width(), part);
                ::UnionRect(&dirty, &dirty, &part);
            }
            ::SelectClipRgn(dc, nullptr);
            PushLayeredPixels(dc, client, dirty);
        }
    } else if (m_bOffscreenPaint) {
        HDC dc = m_surface.Prepare(PaintSurface::Kind::Compatible, m_hDcPaint, client.right, client.bottom);
        if (dc != nullptr) {
            // Each part reaches the window as soon as it is painted.
            for (const RECT& part : parts) {
                if (m_pRoot == nullptr) break;
                ClipTo(dc, part);
                m_pRoot->DoPaint(dc, part);
                // A post-painter may change the list, or destroy controls.
                for (const ControlRef& post : m_aPostPaintControls.Snapshot())
                    if (m_pRoot != nullptr && post != nullptr) post->DoPostPaint(dc, part);
                ::BitBlt(hdc, part.left, part.top, part.right - part.left, part.bottom - part.top, dc, part.left,
                         part.top, SRCCOPY);
            }
            ::SelectClipRgn(dc, nullptr);
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
