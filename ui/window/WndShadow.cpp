#include "ui/window/WndShadow.h"

#include "ui/paint/PaintManagerUI.h"
#include "ui/images/GdiHandles.h"
#include "ui/render/RenderEngine.h"
#include "ui/images/UiImage.h"
#include "ui/window/ShadowComposer.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <vector>

namespace SkinUI {

namespace {

typedef BOOL(WINAPI* UpdateLayeredWindowFn)(HWND, HDC, POINT*, SIZE*, HDC, POINT*, COLORREF, BLENDFUNCTION*, DWORD);

UpdateLayeredWindowFn g_updateLayeredWindow = nullptr;
HINSTANCE g_shadowInstance = nullptr;

const wchar_t kShadowClassName[] = L"UmbraShadowWnd";
// The parent's property that points to its shadow object.
const wchar_t kShadowProperty[] = L"CWndShadow-This";
// The parent's procedure before the hook. Kept on the window rather than
// only in the object, so that a hook that cannot be taken out (someone
// subclassed the parent after us) still passes every message on after the
// object is gone.
const wchar_t kPreviousProcProperty[] = L"CWndShadow-Proc";

const size_t kMaxImageText = 260;
const int kMaxOffset = 20;
const int kMaxSharpness = 20;

bool Maximised(HWND hWnd) { return hWnd && ::IsZoomed(hWnd); }
bool Minimised(HWND hWnd) { return hWnd && ::IsIconic(hWnd); }

// For each of the window's rows, the columns inside its region (window
// coordinates): from the first column inside to one past the last one.
std::vector<ShadowSpan> RegionRows(HWND hWnd, int width, int height)
{
    std::vector<ShadowSpan> rows(height, ShadowSpan{0, width});
    Gdi::Region region(::CreateRectRgn(0, 0, 0, 0));
    if (!region || ::GetWindowRgn(hWnd, region) == ERROR) return rows;
    const DWORD bytes = ::GetRegionData(region, 0, nullptr);
    if (bytes < sizeof(RGNDATAHEADER)) return rows;
    std::vector<DWORD> storage((bytes + sizeof(DWORD) - 1) / sizeof(DWORD));
    auto* data = reinterpret_cast<RGNDATA*>(storage.data());
    if (::GetRegionData(region, bytes, data) != bytes) return rows;
    std::fill(rows.begin(), rows.end(), ShadowSpan{width, 0});
    const RECT* rects = reinterpret_cast<const RECT*>(data->Buffer);
    for (DWORD i = 0; i < data->rdh.nCount; ++i) {
        const RECT& rc = rects[i];
        const int left = std::max<int>(rc.left, 0);
        const int right = std::min<int>(rc.right, width);
        if (left >= right) continue;
        for (int y = std::max<int>(rc.top, 0); y < std::min<int>(rc.bottom, height); ++y) {
            rows[y].left = std::min(rows[y].left, left);
            rows[y].right = std::max(rows[y].right, right);
        }
    }
    return rows;
}

// Draws the image description over `whole` but only onto the ring outside
// `hole`, in four disjoint strips. An owned window always lies above its
// owner, so the shadow covers the window it belongs to: its pixels over the
// window must stay transparent, or they would darken it. Drawing strip by
// strip (each one the paint rectangle and the clip) also skips stretching
// the image's middle over the whole window when it lies under the window.
bool DrawRing(HDC dc, CPaintManagerUI* manager, const RECT& whole, const RECT& hole, LPCTSTR image)
{
    const RECT strips[4] = {
        {whole.left, whole.top, whole.right, hole.top},
        {whole.left, hole.bottom, whole.right, whole.bottom},
        {whole.left, hole.top, hole.left, hole.bottom},
        {hole.right, hole.top, whole.right, hole.bottom},
    };
    for (const RECT& strip : strips) {
        if (strip.left >= strip.right || strip.top >= strip.bottom) continue;
        Gdi::SavedState saved(dc);
        ::IntersectClipRect(dc, strip.left, strip.top, strip.right, strip.bottom);
        if (!CRenderEngine::DrawImageString(dc, manager, whole, strip, image)) return false;
    }
    return true;
}

}  // namespace

CWndShadow::CWndShadow() = default;

CWndShadow::~CWndShadow()
{
    Detach();
    if (m_hWnd && ::IsWindow(m_hWnd)) ::DestroyWindow(m_hWnd);
    m_hWnd = nullptr;
}

bool CWndShadow::Initialize(HINSTANCE hInstance)
{
    if (g_updateLayeredWindow) return false;
    HMODULE user32 = ::LoadLibraryW(L"USER32.DLL");
    if (!user32) return false;
    // user32 stays mapped after FreeLibrary: the program links it.
    auto update = reinterpret_cast<UpdateLayeredWindowFn>(
        reinterpret_cast<void*>(::GetProcAddress(user32, "UpdateLayeredWindow")));
    ::FreeLibrary(user32);
    if (!update) return false;

    WNDCLASSEXW wc = {};
    wc.cbSize = sizeof(wc);
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = ::DefWindowProcW;
    wc.hInstance = hInstance;
    wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = kShadowClassName;
    if (!::RegisterClassExW(&wc) && ::GetLastError() != ERROR_CLASS_ALREADY_EXISTS) return false;
    g_updateLayeredWindow = update;
    g_shadowInstance = hInstance;
    return true;
}

HINSTANCE CWndShadow::GetInstance() { return g_shadowInstance; }

void CWndShadow::SetBkImage(LPCTSTR pstrImage)
{
    CUiString image(pstrImage ? pstrImage : L"");
    if (image.GetLength() > static_cast<int>(kMaxImageText)) image = image.Left(kMaxImageText);
    if (image != static_cast<LPCTSTR>(m_sBkImage)) m_bImageMissing = false;
    m_sBkImage = image;
}

void CWndShadow::SetBorder(int left, int top, int right, int bottom)
{
    m_rcShadowBorder = CUiRect(left, top, right, bottom);
}

bool CWndShadow::Create(HWND hParentWnd, CPaintManagerUI* pManager)
{
    if (m_hWnd) return false;
    m_hParent = hParentWnd;
    m_pManager = pManager;
    if (!g_updateLayeredWindow || !::IsWindow(hParentWnd)) return false;
    // Two hooks of the same kind would find each other's object and call
    // themselves forever: one shadow per window.
    if (::GetPropW(hParentWnd, kShadowProperty) || ::GetPropW(hParentWnd, kPreviousProcProperty)) return false;

    m_hWnd = ::CreateWindowExW(WS_EX_LAYERED | WS_EX_TRANSPARENT, kShadowClassName, nullptr, WS_POPUP, CW_USEDEFAULT, 0,
                               0, 0, hParentWnd, nullptr, g_shadowInstance, nullptr);
    if (!m_hWnd) return false;
    m_Status = kEnabled;
    Show(hParentWnd);

    // The previous procedure is on the window before the hook is: the hook
    // may run at once.
    const LONG_PTR previous = ::GetWindowLongPtrW(hParentWnd, GWLP_WNDPROC);
    const bool hooked =
        ::SetPropW(hParentWnd, kShadowProperty, static_cast<HANDLE>(this)) &&
        ::SetPropW(hParentWnd, kPreviousProcProperty, reinterpret_cast<HANDLE>(previous)) &&
        ::SetWindowLongPtrW(hParentWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CWndShadow::ParentProc)) != 0;
    if (!hooked) {
        // Nothing is left behind when the system refuses the hook.
        ::RemovePropW(hParentWnd, kShadowProperty);
        ::RemovePropW(hParentWnd, kPreviousProcProperty);
        ::DestroyWindow(m_hWnd);
        m_hWnd = nullptr;
        m_hParent = nullptr;
        return false;
    }
    m_OriParentProc = reinterpret_cast<WNDPROC>(previous);
    return true;
}

void CWndShadow::Detach()
{
    const HWND parent = m_hParent;
    m_hParent = nullptr;
    if (!parent || !::IsWindow(parent) || ::GetPropW(parent, kShadowProperty) != this) return;
    ::RemovePropW(parent, kShadowProperty);
    const auto hook = reinterpret_cast<LONG_PTR>(&CWndShadow::ParentProc);
    if (::GetWindowLongPtrW(parent, GWLP_WNDPROC) == hook) {
        const HANDLE previous = ::RemovePropW(parent, kPreviousProcProperty);
        ::SetWindowLongPtrW(parent, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous));
    }
    m_OriParentProc = nullptr;
}

LRESULT CALLBACK CWndShadow::ParentProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam)
{
    const auto next = reinterpret_cast<WNDPROC>(::GetPropW(hWnd, kPreviousProcProperty));
    auto* pThis = static_cast<CWndShadow*>(::GetPropW(hWnd, kShadowProperty));
    if (pThis) pThis->OnParentMessage(hWnd, uMsg, wParam, lParam);
    if (uMsg == WM_NCDESTROY) {
        // Properties must be gone before the window is: the previous
        // procedure may end the object (the window base deletes its shadow
        // in its final message), so the hook is taken out first.
        if (pThis) {
            pThis->Detach();
        } else {
            ::RemovePropW(hWnd, kPreviousProcProperty);
            if (::GetWindowLongPtrW(hWnd, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(&CWndShadow::ParentProc))
                ::SetWindowLongPtrW(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(next));
        }
        ::RemovePropW(hWnd, kPreviousProcProperty);
    }
    if (!next) return ::DefWindowProcW(hWnd, uMsg, wParam, lParam);
    return ::CallWindowProcW(next, hWnd, uMsg, wParam, lParam);
}

void CWndShadow::OnParentMessage(HWND hParent, UINT uMsg, WPARAM wParam, LPARAM lParam)
{
    switch (uMsg) {
    case WM_DESTROY:
        if (m_hWnd) ::DestroyWindow(m_hWnd);
        m_hWnd = nullptr;
        break;
    case WM_MOVE:
        if (m_hWnd && ::IsWindowVisible(m_hWnd) && !Maximised(hParent)) {
            RECT rc;
            if (!ShadowRect(hParent, rc)) {
                Hide();
                break;
            }
            // Only the position: the pixels keep their size until a size
            // message brings new ones. The shadow is visible already, and is
            // never activated: it must not take the focus from the window
            // being dragged.
            UINT flags = SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE;
            if (!m_bIsImagePrepared) flags |= SWP_NOREDRAW;
            ::SetWindowPos(m_hWnd, nullptr, rc.left, rc.top, 0, 0, flags);
        }
        break;
    case WM_SIZE:
        if (wParam == SIZE_RESTORED) {
            m_bIsImagePrepared = false;
            SetPrepared();
        } else if (wParam == SIZE_MINIMIZED || wParam == SIZE_MAXIMIZED) {
            Hide();
        }
        break;
    case WM_SHOWWINDOW:
        if (wParam)
            Update(hParent);
        else
            Hide();
        break;
    case WM_SIZING:
        Update(hParent);
        break;
    case WM_EXITSIZEMOVE:
        if (m_bIsImagePrepared && m_hWnd && ::IsWindowVisible(m_hWnd)) Update(hParent);
        break;
    default:
        break;
    }
}

void CWndShadow::Hide()
{
    if (m_hWnd) ::ShowWindow(m_hWnd, SW_HIDE);
}

bool CWndShadow::SetSize(int nSize)
{
    if (nSize < -kMaxOffset || nSize > kMaxOffset) return false;
    m_nSize = static_cast<signed char>(nSize);
    if (m_Status & kShadowVisible) Update(::GetWindow(m_hWnd, GW_OWNER));
    return true;
}

bool CWndShadow::SetSharpness(unsigned int nSharpness)
{
    if (nSharpness > static_cast<unsigned>(kMaxSharpness)) return false;
    m_nSharpness = static_cast<BYTE>(nSharpness);
    if (m_Status & kShadowVisible) Update(m_hParent);
    return true;
}

bool CWndShadow::SetDarkness(unsigned int nDarkness)
{
    if (nDarkness > 255) return false;
    m_nDarkness = static_cast<BYTE>(nDarkness);
    if (m_Status & kShadowVisible) Update(m_hParent);
    return true;
}

bool CWndShadow::SetPosition(int x, int y)
{
    if (x < -kMaxOffset || x > kMaxOffset || y < -kMaxOffset || y > kMaxOffset) return false;
    m_nxOffset = static_cast<signed char>(x);
    m_nyOffset = static_cast<signed char>(y);
    if (m_Status & kShadowVisible) Update(m_hParent);
    return true;
}

bool CWndShadow::SetColor(COLORREF color)
{
    m_Color = color;
    if (m_Status & kShadowVisible) Update(m_hParent);
    return true;
}

void CWndShadow::Show(HWND hParentWnd)
{
    m_Status &= kEnabled | kSuppressed;
    if ((m_Status & kEnabled) && !(m_Status & kSuppressed)) {
        const LONG_PTR style = ::GetWindowLongPtrW(hParentWnd, GWL_STYLE);
        if (style & WS_VISIBLE) {
            m_Status |= kParentVisible;
            if (!(style & (WS_MAXIMIZE | WS_MINIMIZE))) m_Status |= kShadowVisible;
        }
    }
    if (m_Status & kShadowVisible) {
        if (m_bIsImagePrepared && m_hWnd) ::ShowWindow(m_hWnd, SW_SHOWNA);
        Update(hParentWnd);
    } else {
        Hide();
    }
}

void CWndShadow::SetPrepared()
{
    if (!m_hWnd || !::IsWindow(m_hParent)) return;
    // A maximised window has no room for a shadow; it comes back with the
    // restore (WM_SIZE clears the prepared mark).
    if (Maximised(m_hParent)) {
        Hide();
        return;
    }
    if (m_bIsImagePrepared) return;
    // Painting can reach here while the window is hidden or minimised: no
    // shadow for a window that is not on the screen.
    if (!::IsWindowVisible(m_hParent) || Minimised(m_hParent)) return;
    RECT rc;
    if (!ShadowRect(m_hParent, rc)) {
        Hide();
        return;
    }
    m_bIsImagePrepared = true;
    if (m_szContent.cx == rc.right - rc.left && m_szContent.cy == rc.bottom - rc.top)
        ::MoveWindow(m_hWnd, rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top, TRUE);
    else
        // The window changed size since the pixels were made (a resize by
        // the program rather than by the user's sizing border): new pixels,
        // placed with them.
        Update(m_hParent);
    if (m_szContent.cx > 0) ::ShowWindow(m_hWnd, SW_SHOWNA);
}

void CWndShadow::Update(HWND hParentWnd)
{
    if (!m_hWnd || !::IsWindow(hParentWnd)) return;
    if (Maximised(m_hParent) || Minimised(m_hParent)) return;
    const bool drawn = IsImageMode() ? UpdateFromImage(hParentWnd) : UpdateComputed(hParentWnd);
    if (!drawn) {
        m_szContent = SIZE{0, 0};
        Hide();
    }
}

bool CWndShadow::ShadowRect(HWND hParent, RECT& rc) const
{
    RECT parent;
    if (!::GetWindowRect(hParent, &parent)) return false;
    long long left, top, right, bottom;
    if (IsImageMode()) {
        left = static_cast<long long>(parent.left) - m_rcShadowBorder.left;
        top = static_cast<long long>(parent.top) - m_rcShadowBorder.top;
        right = static_cast<long long>(parent.right) + m_rcShadowBorder.right;
        bottom = static_cast<long long>(parent.bottom) + m_rcShadowBorder.bottom;
    } else {
        left = static_cast<long long>(parent.left) + m_nxOffset - m_nSize;
        top = static_cast<long long>(parent.top) + m_nyOffset - m_nSize;
        right = static_cast<long long>(parent.right) + m_nxOffset + m_nSize;
        bottom = static_cast<long long>(parent.bottom) + m_nyOffset + m_nSize;
    }
    // A border wider than the whole screen is a skin error, not a shadow:
    // none is drawn rather than a surface of hundreds of megabytes.
    long long maxWidth = ::GetSystemMetrics(SM_CXVIRTUALSCREEN);
    long long maxHeight = ::GetSystemMetrics(SM_CYVIRTUALSCREEN);
    if (maxWidth <= 0) maxWidth = ShadowComposer::kMaxExtent;
    if (maxHeight <= 0) maxHeight = ShadowComposer::kMaxExtent;
    maxWidth =
        std::min<long long>(std::max<long long>(maxWidth, parent.right - parent.left) * 2, ShadowComposer::kMaxExtent);
    maxHeight =
        std::min<long long>(std::max<long long>(maxHeight, parent.bottom - parent.top) * 2, ShadowComposer::kMaxExtent);
    if (right - left <= 0 || bottom - top <= 0 || right - left > maxWidth || bottom - top > maxHeight) return false;
    if (left < INT_MIN || top < INT_MIN || right > INT_MAX || bottom > INT_MAX) return false;
    rc = RECT{static_cast<LONG>(left), static_cast<LONG>(top), static_cast<LONG>(right), static_cast<LONG>(bottom)};
    return true;
}

void CWndShadow::Present(const RECT& rc, HDC dc)
{
    // UpdateLayeredWindow moves and sizes the window itself; a separate
    // move would resize the window once more before its pixels arrive.
    SIZE size = {rc.right - rc.left, rc.bottom - rc.top};
    POINT destination = {rc.left, rc.top};
    POINT source = {0, 0};
    BLENDFUNCTION blend = {AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    g_updateLayeredWindow(m_hWnd, nullptr, &destination, &size, dc, &source, 0, &blend, ULW_ALPHA);
    m_szContent = size;
}

bool CWndShadow::UpdateFromImage(HWND hParent)
{
    RECT rc;
    if (m_bImageMissing || !ShadowRect(hParent, rc)) return false;
    const int width = rc.right - rc.left;
    const int height = rc.bottom - rc.top;
    CUiImage image;
    if (!image.CreateEmptyImage(width, -height, 32)) return false;
    std::memset(image.GetBits(), 0, static_cast<size_t>(image.GetPitch()) * height);
    const HDC dc = image.GetDC();
    const RECT whole = {0, 0, width, height};
    // The window's place in the shadow, limited to the shadow (a negative
    // border puts the window's edge outside it).
    const RECT hole = {std::clamp<LONG>(m_rcShadowBorder.left, 0, width),
                       std::clamp<LONG>(m_rcShadowBorder.top, 0, height),
                       std::clamp<LONG>(width - m_rcShadowBorder.right, 0, width),
                       std::clamp<LONG>(height - m_rcShadowBorder.bottom, 0, height)};
    // The nine-grid "corner" of the description keeps the shadow's corners
    // unscaled while its edges stretch along the window.
    const bool drawn = DrawRing(dc, m_pManager, whole, hole, m_sBkImage);
    if (drawn) Present(rc, dc);
    image.ReleaseDC();
    if (!drawn) {
        // A missing image stays missing: not looked up again on every move.
        m_bImageMissing = true;
        return false;
    }
    ::ShowWindow(m_hWnd, SW_SHOWNOACTIVATE);
    return true;
}

bool CWndShadow::UpdateComputed(HWND hParent)
{
    RECT parent, rc;
    if (!::GetWindowRect(hParent, &parent) || !ShadowRect(hParent, rc)) return false;
    const int width = parent.right - parent.left;
    const int height = parent.bottom - parent.top;
    ShadowParams params;
    params.size = m_nSize;
    params.sharpness = m_nSharpness;
    params.darkness = m_nDarkness;
    params.xOffset = m_nxOffset;
    params.yOffset = m_nyOffset;
    params.color = m_Color;
    const ShadowComposer composer(params);
    Gdi::Dib32 pixels;
    if (!pixels.Create(composer.ShadowWidth(width), composer.ShadowHeight(height))) return false;
    ::GdiFlush();
    if (!composer.Compose(width, height, RegionRows(hParent, width, height), reinterpret_cast<uint32_t*>(pixels.bits)))
        return false;
    Gdi::MemoryDC dc(nullptr);
    if (!dc) return false;
    Gdi::Select select(dc, pixels.bitmap);
    Present(rc, dc);
    return true;
}

}  // namespace SkinUI
