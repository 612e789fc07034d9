#include "ui/window/WindowImplBase.h"

#include "ui/controls/ControlUI.h"
#include "ui/base/WideFormat.h"
#include "ui/window/UnmanagedDisplay.h"
#include "ui/window/WndShadow.h"

#include <cstdlib>

namespace SkinUI {

LPBYTE WindowImplBase::m_lpResourceZIPBuffer = nullptr;

UI_BEGIN_MESSAGE_MAP(WindowImplBase, CNotifyPump)
UI_ON_MSGTYPE(L"click", OnClick)
UI_ON_MSGTYPE(L"selectchanged", OnSelectChanged)
UI_END_MESSAGE_MAP()

namespace {

// WM_DPICHANGED, named here because older headers lack it.
const UINT kDpiChangedMessage = 0x02E0;

bool IsMaximized(HWND hWnd) { return ::IsZoomed(hWnd) != FALSE; }

void ShowControl(CControlUI* control, bool show)
{
    if (control) control->SetVisible(show);
}

// The work area of the monitor nearest to the window, relative to that
// monitor's origin.
RECT RelativeWorkArea(HWND hWnd)
{
    MONITORINFO info = {};
    info.cbSize = sizeof(info);
    ::GetMonitorInfoW(::MonitorFromWindow(hWnd, MONITOR_DEFAULTTONEAREST), &info);
    RECT rc = info.rcWork;
    ::OffsetRect(&rc, -info.rcMonitor.left, -info.rcMonitor.top);
    return rc;
}

// Points the resource context at the archive resource "DAT" `id` of the
// resource module. The archive stays locked for the life of the process.
bool UseArchiveResource(LPCTSTR id, LPBYTE& buffer)
{
    HINSTANCE module = CPaintManagerUI::GetResourceDll();
    HRSRC resource = ::FindResourceW(module, id, L"DAT");
    if (!resource) return false;
    HGLOBAL loaded = ::LoadResource(module, resource);
    if (!loaded) return false;
    DWORD size = ::SizeofResource(module, resource);
    if (size == 0) return false;
    buffer = static_cast<LPBYTE>(::LockResource(loaded));
    if (!buffer) return false;
    CPaintManagerUI::SetResourceZip(buffer, size);
    return true;
}

}  // namespace

WindowImplBase::WindowImplBase() = default;

WindowImplBase::~WindowImplBase() { delete m_pWndShadow; }

void WindowImplBase::OnCloseWnd() { Close(IDOK); }
HDC WindowImplBase::GetPaintDC() { return m_PaintManager.GetPaintDC(); }
void WindowImplBase::SetCanDraw(bool bCanDraw) { m_PaintManager.SetCanDraw(bCanDraw); }
bool WindowImplBase::IsCanDraw() { return m_PaintManager.IsCanDraw(); }
void WindowImplBase::ReDraw() { m_PaintManager.ReDraw(); }

UINT WindowImplBase::GetClassStyle() const { return CS_DBLCLKS; }

LONG WindowImplBase::GetStyle()
{
    LONG style = ::GetWindowLongW(m_hWnd, GWL_STYLE);
    return style & ~WS_CAPTION;
}

CControlUI* WindowImplBase::CreateControl(LPCTSTR pstrClass) { return nullptr; }

bool WindowImplBase::HitTestControl(CControlUI* pControl)
{
    LPCTSTR cls = pControl->GetClass();
    return _wcsicmp(cls, L"ButtonUI") == 0 || _wcsicmp(cls, L"OptionUI") == 0 || _wcsicmp(cls, L"EditUI") == 0;
}

void WindowImplBase::Notify(TNotifyUI& msg)
{
    if (msg.sType == L"windowinit") OnPrepare(msg);
    NotifyPump(msg);
}

void WindowImplBase::OnClick(TNotifyUI& msg)
{
    CControlUI* sender = msg.pSender;
    if (!sender) return;
    if (sender == m_pbtnClose) {
        OnCloseWnd();
    } else if (sender == m_pbtnMin) {
        SendMessage(WM_SYSCOMMAND, SC_MINIMIZE, 0);
    } else if (sender == m_pbtnMax) {
        SendMessage(WM_SYSCOMMAND, SC_MAXIMIZE, 0);
        ShowControl(m_pbtnMax, false);
        ShowControl(m_pbtnRestore, true);
    } else if (sender == m_pbtnRestore) {
        SendMessage(WM_SYSCOMMAND, SC_RESTORE, 0);
        ShowControl(m_pbtnMax, true);
        ShowControl(m_pbtnRestore, false);
    }
}

LRESULT WindowImplBase::MessageHandler(UINT uMsg, WPARAM wParam, LPARAM lParam, bool& bHandled)
{
    if (uMsg == WM_SYSKEYDOWN && wParam == VK_F4) {
        if (m_pbtnClose)
            m_PaintManager.SendNotify(m_pbtnClose, L"click");
        else
            bHandled = true;
        return 1;
    }
    return 0;
}

// ---- message handlers -------------------------------------------------------

LRESULT WindowImplBase::OnClose(UINT, WPARAM, LPARAM, BOOL& bHandled)
{
    bHandled = FALSE;
    return 0;
}

LRESULT WindowImplBase::OnDestroy(UINT, WPARAM, LPARAM, BOOL& bHandled)
{
    bHandled = FALSE;
    return 0;
}

LRESULT WindowImplBase::OnNcActivate(UINT, WPARAM wParam, LPARAM, BOOL& bHandled)
{
    if (::IsIconic(m_hWnd)) bHandled = FALSE;
    return wParam == 0 ? TRUE : FALSE;
}

LRESULT WindowImplBase::OnNcCalcSize(UINT, WPARAM, LPARAM lParam, BOOL&)
{
    if (!IsMaximized(m_hWnd) || !lParam) return 0;
    auto* rc = reinterpret_cast<LPRECT>(lParam);
    RECT work = RelativeWorkArea(m_hWnd);
    rc->right = rc->left + (work.right - work.left);
    rc->bottom = rc->top + (work.bottom - work.top);
    return WVR_REDRAW;
}

LRESULT WindowImplBase::OnNcPaint(UINT, WPARAM, LPARAM, BOOL&) { return 0; }

LRESULT WindowImplBase::OnNcHitTest(UINT, WPARAM, LPARAM lParam, BOOL&)
{
    POINT pt = {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
    ::ScreenToClient(m_hWnd, &pt);
    RECT client;
    ::GetClientRect(m_hWnd, &client);

    if (!IsMaximized(m_hWnd)) {
        const RECT& box = m_PaintManager.GetSizeBox();
        const bool left = pt.x < client.left + box.left;
        const bool right = pt.x > client.right - box.right;
        if (pt.y < client.top + box.top) return left ? HTTOPLEFT : (right ? HTTOPRIGHT : HTTOP);
        if (pt.y > client.bottom - box.bottom) return left ? HTBOTTOMLEFT : (right ? HTBOTTOMRIGHT : HTBOTTOM);
        if (left) return HTLEFT;
        if (right) return HTRIGHT;
    }

    const RECT& caption = m_PaintManager.GetCaptionRect();
    if (pt.x >= client.left + caption.left && pt.x < client.right - caption.right && pt.y >= caption.top &&
        pt.y < caption.bottom) {
        CControlUI* control = m_PaintManager.FindControl(pt);
        if (control) return HitTestControl(control) ? HTCLIENT : HTCAPTION;
    }
    return HTCLIENT;
}

LRESULT WindowImplBase::OnGetMinMaxInfo(UINT, WPARAM, LPARAM lParam, BOOL& bHandled)
{
    auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
    RECT work = RelativeWorkArea(m_hWnd);
    info->ptMaxPosition.x = work.left;
    info->ptMaxPosition.y = work.top;
    info->ptMaxTrackSize.x = work.right - work.left;
    info->ptMaxTrackSize.y = work.bottom - work.top;
    SIZE minimum = m_PaintManager.GetMinInfo();
    info->ptMinTrackSize.x = minimum.cx;
    info->ptMinTrackSize.y = minimum.cy;
    bHandled = FALSE;
    return 0;
}

LRESULT WindowImplBase::OnSize(UINT, WPARAM, LPARAM, BOOL& bHandled)
{
    SIZE corner = m_PaintManager.GetRoundCorner();
    if ((corner.cx != 0 || corner.cy != 0) && !m_bRegionPending) {
        // Installed (or, maximised, taken away) once the size change is
        // over, at the size it ended with: several changes in a row make
        // one region.
        m_bRegionPending = ::PostMessageW(m_hWnd, RegionMessage(), 0, 0) != FALSE;
    }
    bHandled = FALSE;
    return 0;
}

LRESULT WindowImplBase::OnDpiChanged(UINT, WPARAM wParam, LPARAM lParam, BOOL&)
{
    // The vertical density is what fonts and the skin's sizes follow; the
    // two are the same on every monitor the system supports.
    m_PaintManager.SetDpi(HIWORD(wParam));
    if (m_pWndShadow != nullptr) {
        const RECT border = m_PaintManager.GetShadowBorder();
        m_pWndShadow->SetBorder(border.left, border.top, border.right, border.bottom);
    }
    const RECT* suggested = reinterpret_cast<const RECT*>(lParam);
    if (suggested != nullptr) {
        ::SetWindowPos(m_hWnd, nullptr, suggested->left, suggested->top, suggested->right - suggested->left,
                       suggested->bottom - suggested->top, SWP_NOZORDER | SWP_NOACTIVATE);
    }
    // The round corners' region takes the new corner size even when the
    // window's size did not change.
    if (!m_bRegionPending) m_bRegionPending = ::PostMessageW(m_hWnd, RegionMessage(), 0, 0) != FALSE;
    return 0;
}

UINT WindowImplBase::RegionMessage()
{
    static const UINT message = ::RegisterWindowMessageW(L"SkinUI.WindowRegion");
    return message;
}

void WindowImplBase::UpdateRegion()
{
    m_bRegionPending = false;
    SIZE corner = m_PaintManager.GetRoundCorner();
    if (::IsIconic(m_hWnd) || (corner.cx == 0 && corner.cy == 0)) return;
    if (IsMaximized(m_hWnd)) {
        // A maximised window fills the work area: square, no region.
        RECT box;
        if (::GetWindowRgnBox(m_hWnd, &box) != ERROR) ::SetWindowRgn(m_hWnd, nullptr, TRUE);
        return;
    }
    RECT rc;
    ::GetWindowRect(m_hWnd, &rc);
    ::OffsetRect(&rc, -rc.left, -rc.top);
    rc.right++;
    rc.bottom++;
    HRGN region = ::CreateRoundRectRgn(rc.left, rc.top, rc.right, rc.bottom, corner.cx, corner.cy);
    // The system owns the region once it is installed.
    if (region && !::SetWindowRgn(m_hWnd, region, TRUE)) ::DeleteObject(region);
}

LRESULT WindowImplBase::OnSysCommand(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled)
{
    if (wParam == SC_CLOSE) {
        bHandled = TRUE;
        OnCloseWnd();
        return 1;
    }
    const bool wasMaximized = IsMaximized(m_hWnd);
    // A maximised window fills the work area and needs no rounded corners:
    // the region goes once the size has changed (OnSize), and comes back
    // with the restored size. Where Wine maximises windows itself, a window
    // that still has a region when it maximises keeps its old size: there
    // it goes first. Under a window manager it must not: changing a region
    // sets the window's position again, and that position, arriving during
    // the manager's maximising, undid it (the window took the screen's size
    // but stayed in the normal state).
    if ((wParam & 0xFFF0) == SC_MAXIMIZE && IsUnmanagedDisplay()) ::SetWindowRgn(m_hWnd, nullptr, FALSE);
    LRESULT result = CWindowWnd::HandleMessage(uMsg, wParam, lParam);
    if (::IsWindow(m_hWnd) && wasMaximized != IsMaximized(m_hWnd)) {
        ShowControl(m_pbtnMax, wasMaximized);
        ShowControl(m_pbtnRestore, !wasMaximized);
    }
    return result;
}

LRESULT WindowImplBase::OnCreate(UINT, WPARAM, LPARAM, BOOL&)
{
    ModifyStyle(WS_CAPTION, WS_CLIPSIBLINGS | WS_CLIPCHILDREN);
    RECT rc;
    ::GetClientRect(m_hWnd, &rc);
    ::SetWindowPos(m_hWnd, nullptr, rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top, SWP_FRAMECHANGED);

    m_PaintManager.Init(m_hWnd);
    m_PaintManager.AddPreMessageFilter(this);

    CUiString resourcePath = CPaintManagerUI::GetInstancePath();
    resourcePath += GetSkinFolder();
    CPaintManagerUI::SetResourcePath(resourcePath);

    switch (GetResourceType()) {
    case UI_RES_ZIP:
        CPaintManagerUI::SetResourceZip(GetZIPFileName(), true);
        break;
    case UI_RES_ZIPRESOURCE:
        if (!UseArchiveResource(GetResourceID(), m_lpResourceZIPBuffer)) return 0;
        break;
    default:
        break;
    }

    CControlUI* root = nullptr;
    CDialogBuilder builder;
    CUiString skinFile = GetSkinFile();
    if (GetResourceType() == UI_RES_RESOURCE)
        root = builder.Create(static_cast<UINT>(_wtoi(skinFile)), L"xml", this, &m_PaintManager);
    else
        root = builder.Create(static_cast<LPCTSTR>(skinFile), nullptr, this, &m_PaintManager);
    if (!root) {
        ::MessageBoxW(nullptr, L"加载资源文件失败", L"SkinUI", MB_OK | MB_ICONERROR);
        ::ExitProcess(1);
    }

    m_PaintManager.AttachDialog(root);
    m_PaintManager.AddNotifier(this);
    m_pbtnClose = m_PaintManager.FindControl(L"btn_sys_close");
    m_pbtnMax = m_PaintManager.FindControl(L"btn_sys_max");
    m_pbtnRestore = m_PaintManager.FindControl(L"btn_sys_restore");
    m_pbtnMin = m_PaintManager.FindControl(L"btn_sys_min");
    ShowControl(m_pbtnRestore, false);

    InitWindow();
    return 0;
}

LRESULT WindowImplBase::OnCommand(UINT, WPARAM wParam, LPARAM, BOOL& bHandled)
{
    LRESULT result = 0;
    if (HIWORD(wParam) == 0) result = OnMenuClick(LOWORD(wParam), bHandled);
    bHandled = FALSE;
    return result;
}

#define WINDOWIMPL_UNHANDLED(name)                                                                                     \
    LRESULT WindowImplBase::name(UINT, WPARAM, LPARAM, BOOL& bHandled)                                                 \
    {                                                                                                                  \
        bHandled = FALSE;                                                                                              \
        return 0;                                                                                                      \
    }
WINDOWIMPL_UNHANDLED(OnMouseWheel)
WINDOWIMPL_UNHANDLED(OnMouseHover)
WINDOWIMPL_UNHANDLED(OnChar)
WINDOWIMPL_UNHANDLED(OnKeyDown)
WINDOWIMPL_UNHANDLED(OnKillFocus)
WINDOWIMPL_UNHANDLED(OnSetFocus)
WINDOWIMPL_UNHANDLED(OnLButtonDown)
WINDOWIMPL_UNHANDLED(OnLButtonUp)
WINDOWIMPL_UNHANDLED(OnMouseMove)
WINDOWIMPL_UNHANDLED(HandleCustomMessage)
#undef WINDOWIMPL_UNHANDLED

// ---- dispatch -----------------------------------------------------------------

LRESULT WindowImplBase::HandleMessage(UINT uMsg, WPARAM wParam, LPARAM lParam)
{
    if (uMsg == RegionMessage()) {
        UpdateRegion();
        return 0;
    }
    LRESULT result = 0;
    BOOL handled = TRUE;
    switch (uMsg) {
    case WM_CREATE:
        result = OnCreate(uMsg, wParam, lParam, handled);
        break;
    case WM_CLOSE:
        result = OnClose(uMsg, wParam, lParam, handled);
        break;
    case WM_DESTROY:
        result = OnDestroy(uMsg, wParam, lParam, handled);
        break;
    case WM_NCACTIVATE:
        result = OnNcActivate(uMsg, wParam, lParam, handled);
        break;
    case WM_NCCALCSIZE:
        result = OnNcCalcSize(uMsg, wParam, lParam, handled);
        break;
    case WM_NCPAINT:
        result = OnNcPaint(uMsg, wParam, lParam, handled);
        break;
    case WM_NCHITTEST:
        result = OnNcHitTest(uMsg, wParam, lParam, handled);
        break;
    case WM_GETMINMAXINFO:
        result = OnGetMinMaxInfo(uMsg, wParam, lParam, handled);
        break;
    case WM_MOUSEWHEEL:
        result = OnMouseWheel(uMsg, wParam, lParam, handled);
        break;
    case WM_SIZE:
        result = OnSize(uMsg, wParam, lParam, handled);
        break;
    case kDpiChangedMessage:
        result = OnDpiChanged(uMsg, wParam, lParam, handled);
        break;
    case WM_CHAR:
        result = OnChar(uMsg, wParam, lParam, handled);
        break;
    case WM_SYSCOMMAND:
        result = OnSysCommand(uMsg, wParam, lParam, handled);
        break;
    case WM_KEYDOWN:
        result = OnKeyDown(uMsg, wParam, lParam, handled);
        break;
    case WM_KILLFOCUS:
        result = OnKillFocus(uMsg, wParam, lParam, handled);
        break;
    case WM_SETFOCUS:
        result = OnSetFocus(uMsg, wParam, lParam, handled);
        break;
    case WM_LBUTTONUP:
        result = OnLButtonUp(uMsg, wParam, lParam, handled);
        break;
    case WM_LBUTTONDOWN:
        result = OnLButtonDown(uMsg, wParam, lParam, handled);
        break;
    case WM_MOUSEMOVE:
        result = OnMouseMove(uMsg, wParam, lParam, handled);
        break;
    case WM_MOUSEHOVER:
        result = OnMouseHover(uMsg, wParam, lParam, handled);
        break;
    case WM_COMMAND:
        result = OnCommand(uMsg, wParam, lParam, handled);
        break;
    default:
        handled = FALSE;
        break;
    }
    if (handled) return result;

    result = HandleCustomMessage(uMsg, wParam, lParam, handled);
    if (handled) return result;

    if (!m_PaintManager.MessageHandler(uMsg, wParam, lParam, result))
        return CWindowWnd::HandleMessage(uMsg, wParam, lParam);

    if (uMsg == WM_PAINT) {
        if (CWndShadow::GetInstance() && m_PaintManager.IsShadow() && !m_pWndShadow) {
            m_pWndShadow = new CWndShadow;
            m_pWndShadow->SetBkImage(m_PaintManager.GetShadowImage());
            RECT border = m_PaintManager.GetShadowBorder();
            m_pWndShadow->SetBorder(border.left, border.top, border.right, border.bottom);
            m_pWndShadow->Create(m_hWnd, &m_PaintManager);
        }
        if (m_pWndShadow && (!::IsIconic(m_hWnd) || ::IsWindowVisible(m_hWnd))) m_pWndShadow->SetPrepared();
    }
    return result;
}

void WindowImplBase::OnFinalMessage(HWND hWnd)
{
    delete m_pWndShadow;
    m_pWndShadow = nullptr;
    m_PaintManager.RemovePreMessageFilter(this);
    m_PaintManager.RemoveNotifier(this);
    m_PaintManager.ReapObjects(m_PaintManager.GetRoot());
    m_PaintManager.WindowGone();
}

}  // namespace SkinUI
