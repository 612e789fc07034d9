#include "ui/window/WindowWnd.h"

#include "ui/paint/PaintManagerUI.h"
#include "ui/window/WindowPlacement.h"
#include "ui/window/WorkArea.h"

namespace SkinUI {

namespace {

// Window property holding the object of a superclassed window.
const wchar_t kControlObjectProperty[] = L"WndX";

HWND OwnerOf(HWND hWnd) { return ::GetWindow(hWnd, GW_OWNER); }

void EnableAndFocusOwner(HWND owner)
{
    if (!owner || !::IsWindow(owner)) return;
    ::EnableWindow(owner, TRUE);
    ::SetFocus(owner);
}

}  // namespace

CWindowWnd::CWindowWnd() : m_OldWndProc(::DefWindowProcW) {}

CWindowWnd::~CWindowWnd() { ReplaceIcons(nullptr, nullptr); }

CWindowWnd::HandlingScope::HandlingScope(CWindowWnd& window) : m_window(window) { ++m_window.m_handlingDepth; }

CWindowWnd::HandlingScope::~HandlingScope()
{
    if (--m_window.m_handlingDepth == 0 && m_window.m_deleteWhenUnwound) delete &m_window;
}

void CWindowWnd::DeleteWhenUnwound()
{
    if (m_handlingDepth == 0) {
        delete this;
        return;
    }
    m_deleteWhenUnwound = true;
}

void CWindowWnd::BindWindow(HWND hWnd)
{
    m_hWnd = hWnd;
    if (m_windowAnchor.IsRetired()) m_windowAnchor.Renew();
}

void CWindowWnd::FinishWindow(HWND hWnd)
{
    m_windowAnchor.Retire();
    m_hWnd = nullptr;
    ReplaceIcons(nullptr, nullptr);
    OnFinalMessage(hWnd);
}

LPCTSTR CWindowWnd::GetSuperClassName() const { return nullptr; }

UINT CWindowWnd::GetClassStyle() const { return 0; }

bool CWindowWnd::RegisterWindowClass()
{
    WNDCLASSW wc = {};
    wc.style = GetClassStyle();
    wc.lpfnWndProc = CWindowWnd::__WndProc;
    wc.hInstance = CPaintManagerUI::GetInstance();
    wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = static_cast<HBRUSH>(::GetStockObject(LTGRAY_BRUSH));
    wc.lpszClassName = GetWindowClassName();
    if (::RegisterClassW(&wc)) return true;
    return ::GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

bool CWindowWnd::RegisterSuperclass()
{
    const HINSTANCE instance = CPaintManagerUI::GetInstance();
    WNDCLASSEXW wc = {};
    wc.cbSize = sizeof(wc);
    if (!::GetClassInfoExW(nullptr, GetSuperClassName(), &wc) && !::GetClassInfoExW(instance, GetSuperClassName(), &wc))
        return false;
    m_OldWndProc = wc.lpfnWndProc;
    wc.lpfnWndProc = CWindowWnd::__ControlProc;
    wc.hInstance = instance;
    wc.lpszClassName = GetWindowClassName();
    if (::RegisterClassExW(&wc)) return true;
    return ::GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

HWND CWindowWnd::Create(HWND hwndParent, LPCTSTR pstrName, DWORD dwStyle, DWORD dwExStyle, const RECT& rc, HMENU hMenu)
{
    return Create(hwndParent, pstrName, dwStyle, dwExStyle, rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top,
                  hMenu);
}

HWND CWindowWnd::Create(HWND hwndParent, LPCTSTR pstrName, DWORD dwStyle, DWORD dwExStyle, int x, int y, int cx, int cy,
                        HMENU hMenu)
{
    // One object, one window: a second one would receive the first one's
    // messages under the wrong handle.
    if (m_hWnd && ::IsWindow(m_hWnd)) return nullptr;
    const bool registered = GetSuperClassName() != nullptr ? RegisterSuperclass() : RegisterWindowClass();
    if (!registered) return nullptr;
    // The handle is bound at WM_NCCREATE. It is not stored again here: a
    // window that fails after WM_NCCREATE has already had its final message,
    // and OnFinalMessage may have deleted this object.
    return ::CreateWindowExW(dwExStyle, GetWindowClassName(), pstrName, dwStyle, x, y, cx, cy, hwndParent, hMenu,
                             CPaintManagerUI::GetInstance(), this);
}

HWND CWindowWnd::CreateUiWindow(HWND hwndParent, LPCTSTR pstrWindowName, DWORD dwStyle, DWORD dwExStyle)
{
    return Create(hwndParent, pstrWindowName, dwStyle, dwExStyle, 0, 0, 0, 0, nullptr);
}

HWND CWindowWnd::Subclass(HWND hWnd)
{
    if (!::IsWindow(hWnd) || (m_hWnd && ::IsWindow(m_hWnd))) return nullptr;
    // A window that already runs this procedure would have it as its own
    // "previous" procedure and call itself forever.
    if (::GetWindowLongPtrW(hWnd, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(CWindowWnd::__WndProc)) return nullptr;
    const LONG_PTR userData = ::GetWindowLongPtrW(hWnd, GWLP_USERDATA);
    const WNDPROC previous = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrW(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(CWindowWnd::__WndProc)));
    if (!previous) return nullptr;
    m_OldWndProc = previous;
    m_bSubclassed = true;
    BindWindow(hWnd);
    m_previousUserData = userData;
    ::SetWindowLongPtrW(hWnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    return m_hWnd;
}

void CWindowWnd::Unsubclass()
{
    if (!::IsWindow(m_hWnd) || !m_bSubclassed) return;
    ::SetWindowLongPtrW(m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_OldWndProc));
    if (::GetWindowLongPtrW(m_hWnd, GWLP_USERDATA) == reinterpret_cast<LONG_PTR>(this))
        ::SetWindowLongPtrW(m_hWnd, GWLP_USERDATA, m_previousUserData);
    m_OldWndProc = ::DefWindowProcW;
    m_bSubclassed = false;
}

void CWindowWnd::ShowWindow(bool bShow, bool bTakeFocus)
{
    if (!::IsWindow(m_hWnd)) return;
    ::ShowWindow(m_hWnd, bShow ? (bTakeFocus ? SW_SHOWNORMAL : SW_SHOWNOACTIVATE) : SW_HIDE);
    if (bShow) ::UpdateWindow(m_hWnd);
}

UINT CWindowWnd::ShowModal()
{
    // Only locals from here on: the window is gone before the loop ends.
    const HWND hWnd = m_hWnd;
    if (!::IsWindow(hWnd)) return 0;
    // The loop is this window's message handling: its object outlives it.
    HandlingScope handling(*this);
    UINT result = 0;
    const HWND owner = OwnerOf(hWnd);
    ::ShowWindow(hWnd, SW_SHOWNORMAL);
    if (owner) ::EnableWindow(owner, FALSE);
    MSG msg = {};
    bool quit = false;
    while (::IsWindow(hWnd)) {
        const BOOL got = ::GetMessageW(&msg, nullptr, 0, 0);
        if (got == -1) break;
        if (got == 0) {
            quit = true;
            break;
        }
        if (msg.message == WM_CLOSE && msg.hwnd == hWnd) {
            result = static_cast<UINT>(msg.wParam);
            // Before the window goes: with the owner still disabled the
            // system would activate some other program's window.
            EnableAndFocusOwner(owner);
        }
        // Skinned windows see their keys first (accelerators, the Tab
        // order, the filters of Escape and Return).
        if (!CPaintManagerUI::TranslateMessage(&msg)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
    }
    EnableAndFocusOwner(owner);
    if (quit) ::PostQuitMessage(static_cast<int>(msg.wParam));
    return result;
}

void CWindowWnd::Close(UINT nRet)
{
    if (::IsWindow(m_hWnd)) ::PostMessageW(m_hWnd, WM_CLOSE, static_cast<WPARAM>(nRet), 0L);
}

void CWindowWnd::CenterWindow()
{
    RECT rcDlg;
    if (!::GetWindowRect(m_hWnd, &rcDlg)) return;
    const HWND owner = OwnerOf(m_hWnd);
    HWND centre = owner;
    if (!centre || !::IsWindowVisible(centre) || ::IsIconic(centre)) centre = OwnerOf(::GetDesktopWindow());
    HWND nearWindow = centre ? centre : (owner ? owner : m_hWnd);
    RECT area;
    if (!WorkAreaNearWindow(nearWindow, area)) return;
    RECT rcCentre = area;
    if (centre && !::GetWindowRect(centre, &rcCentre)) rcCentre = area;
    const int width = rcDlg.right - rcDlg.left;
    const int height = rcDlg.bottom - rcDlg.top;
    const POINT at = CenteredPosition(width, height, rcCentre, area);
    ::MoveWindow(m_hWnd, at.x, at.y, width, height, FALSE);
}

void CWindowWnd::SetIcon(UINT nRes)
{
    if (!::IsWindow(m_hWnd)) return;
    const int cx = (::GetSystemMetrics(SM_CXICON) + 15) & ~15;
    const int cy = (::GetSystemMetrics(SM_CYICON) + 15) & ~15;
    const HINSTANCE instance = CPaintManagerUI::GetInstance();
    auto load = [&] {
        return static_cast<HICON>(::LoadImageW(instance, MAKEINTRESOURCEW(nRes), IMAGE_ICON, cx, cy, LR_DEFAULTCOLOR));
    };
    const HICON big = load();
    const HICON small = load();
    ::SendMessageW(m_hWnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big));
    ::SendMessageW(m_hWnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small));
    // The window does not own its icons: the previous pair is freed here,
    // the last one with the window.
    ReplaceIcons(big, small);
}

void CWindowWnd::ReplaceIcons(HICON hBig, HICON hSmall)
{
    if (m_hIconBig) ::DestroyIcon(m_hIconBig);
    if (m_hIconSmall) ::DestroyIcon(m_hIconSmall);
    m_hIconBig = hBig;
    m_hIconSmall = hSmall;
}

LRESULT CWindowWnd::SendMessage(UINT uMsg, WPARAM wParam, LPARAM lParam)
{
    return ::SendMessageW(m_hWnd, uMsg, wParam, lParam);
}

LRESULT CWindowWnd::PostMessage(UINT uMsg, WPARAM wParam, LPARAM lParam)
{
    return ::PostMessageW(m_hWnd, uMsg, wParam, lParam);
}

void CWindowWnd::ResizeClient(int cx, int cy)
{
    RECT rc = {};
    if (!::GetClientRect(m_hWnd, &rc)) return;
    if (cx != -1) rc.right = cx;
    if (cy != -1) rc.bottom = cy;
    const DWORD style = static_cast<DWORD>(::GetWindowLongPtrW(m_hWnd, GWL_STYLE));
    const DWORD exStyle = static_cast<DWORD>(::GetWindowLongPtrW(m_hWnd, GWL_EXSTYLE));
    const BOOL hasMenu = !(style & WS_CHILD) && ::GetMenu(m_hWnd) != nullptr;
    if (!::AdjustWindowRectEx(&rc, style, hasMenu, exStyle)) return;
    ::SetWindowPos(m_hWnd, nullptr, 0, 0, rc.right - rc.left, rc.bottom - rc.top,
                   SWP_NOZORDER | SWP_NOMOVE | SWP_NOACTIVATE);
}

namespace {

bool ModifyLong(HWND hWnd, int index, DWORD remove, DWORD add, UINT flags)
{
    const DWORD old = static_cast<DWORD>(::GetWindowLongPtrW(hWnd, index));
    const DWORD updated = (old & ~remove) | add;
    if (updated == old) return false;
    ::SetWindowLongPtrW(hWnd, index, static_cast<LONG_PTR>(updated));
    if (flags != 0)
        ::SetWindowPos(hWnd, nullptr, 0, 0, 0, 0, flags | SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    return true;
}

}  // namespace

bool CWindowWnd::ModifyStyle(DWORD dwRemove, DWORD dwAdd, UINT nFlags)
{
    return ModifyLong(m_hWnd, GWL_STYLE, dwRemove, dwAdd, nFlags);
}

bool CWindowWnd::ModifyStyleEx(DWORD dwRemove, DWORD dwAdd, UINT nFlags)
{
    return ModifyLong(m_hWnd, GWL_EXSTYLE, dwRemove, dwAdd, nFlags);
}

void CWindowWnd::MoveWindow(int x, int y, int cx, int cy, bool bRepaint)
{
    ::MoveWindow(m_hWnd, x, y, cx, cy, bRepaint ? TRUE : FALSE);
}

void CWindowWnd::MoveWindow(const RECT& rc, bool bRepaint)
{
    POINT topLeft = {rc.left, rc.top};
    if (!::ClientToScreen(m_hWnd, &topLeft)) return;
    ::MoveWindow(m_hWnd, topLeft.x, topLeft.y, rc.right - rc.left, rc.bottom - rc.top, bRepaint ? TRUE : FALSE);
}

void CWindowWnd::FullScreen()
{
    RECT area;
    // The whole window rectangle is kept (for these frameless windows the
    // same as the client area): restoring a framed window to its client
    // rectangle would shrink it by its frame every time.
    if (!::GetWindowRect(m_hWnd, &m_rcRestore) || !WorkAreaNearWindow(m_hWnd, area)) return;
    ::SetWindowPos(m_hWnd, nullptr, area.left, area.top, area.right - area.left, area.bottom - area.top,
                   SWP_SHOWWINDOW | SWP_NOZORDER);
}

void CWindowWnd::RestoreScreen()
{
    if (m_rcRestore.GetWidth() <= 0 || m_rcRestore.GetHeight() <= 0) return;
    ::SetWindowPos(m_hWnd, nullptr, m_rcRestore.left, m_rcRestore.top, m_rcRestore.GetWidth(), m_rcRestore.GetHeight(),
                   SWP_SHOWWINDOW | SWP_NOZORDER);
}

LRESULT CWindowWnd::HandleMessage(UINT uMsg, WPARAM wParam, LPARAM lParam)
{
    return ::CallWindowProcW(m_OldWndProc, m_hWnd, uMsg, wParam, lParam);
}

void CWindowWnd::OnFinalMessage(HWND) {}

// A window of the framework's own class keeps its object in its user data;
// a superclassed control keeps it in a property, since the class it is
// made from may use the user data itself. Clearing leaves a slot alone that
// no longer holds the object (a subclassed window's own data given back).
struct CWindowWnd::ObjectSlot {
    CWindowWnd* (*get)(HWND);
    void (*set)(HWND, CWindowWnd*);
    void (*clear)(HWND, CWindowWnd*);
};

const CWindowWnd::ObjectSlot CWindowWnd::kUserDataSlot = {
    [](HWND h) { return reinterpret_cast<CWindowWnd*>(::GetWindowLongPtrW(h, GWLP_USERDATA)); },
    [](HWND h, CWindowWnd* object) { ::SetWindowLongPtrW(h, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(object)); },
    [](HWND h, CWindowWnd* object) {
        if (::GetWindowLongPtrW(h, GWLP_USERDATA) == reinterpret_cast<LONG_PTR>(object))
            ::SetWindowLongPtrW(h, GWLP_USERDATA, 0);
    },
};

const CWindowWnd::ObjectSlot CWindowWnd::kPropertySlot = {
    [](HWND h) { return static_cast<CWindowWnd*>(::GetPropW(h, kControlObjectProperty)); },
    [](HWND h, CWindowWnd* object) { ::SetPropW(h, kControlObjectProperty, static_cast<HANDLE>(object)); },
    [](HWND h, CWindowWnd* object) {
        if (::GetPropW(h, kControlObjectProperty) == static_cast<HANDLE>(object))
            ::RemovePropW(h, kControlObjectProperty);
    },
};

LRESULT CWindowWnd::RouteMessage(const ObjectSlot& slot, HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam)
{
    CWindowWnd* pThis = nullptr;
    if (uMsg == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        pThis = static_cast<CWindowWnd*>(create->lpCreateParams);
        // A window of this class made without an object (CreateWindowEx
        // called directly) is left to the default procedure.
        if (!pThis) return ::DefWindowProcW(hWnd, uMsg, wParam, lParam);
        pThis->BindWindow(hWnd);
        slot.set(hWnd, pThis);
    } else {
        pThis = slot.get(hWnd);
        if (uMsg == WM_NCDESTROY && pThis) {
            HandlingScope handling(*pThis);
            const LRESULT result = ::CallWindowProcW(pThis->m_OldWndProc, hWnd, uMsg, wParam, lParam);
            if (pThis->m_bSubclassed) pThis->Unsubclass();
            slot.clear(hWnd, pThis);
            pThis->FinishWindow(hWnd);
            return result;
        }
    }
    if (pThis && pThis->m_hWnd && ::IsWindow(pThis->m_hWnd)) {
        HandlingScope handling(*pThis);
        return pThis->HandleMessage(uMsg, wParam, lParam);
    }
    return ::DefWindowProcW(hWnd, uMsg, wParam, lParam);
}

LRESULT CALLBACK CWindowWnd::__WndProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam)
{
    return RouteMessage(kUserDataSlot, hWnd, uMsg, wParam, lParam);
}

LRESULT CALLBACK CWindowWnd::__ControlProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam)
{
    return RouteMessage(kPropertySlot, hWnd, uMsg, wParam, lParam);
}

}  // namespace SkinUI
