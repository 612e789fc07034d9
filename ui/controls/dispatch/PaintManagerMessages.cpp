// Window messages turned into control events: the messages of the route
// table, mouse tracking with hover and tooltips, the other messages the
// manager answers, pre-translation and the message loop.
#include "ui/controls/ControlUI.h"
#include "ui/paint/MessageRoutes.h"
#include "ui/paint/PaintManagerUI.h"

#include <cwchar>

namespace SkinUI {

namespace {

// Controls see the modifier keys and mouse buttons held at the time of the
// event, as the MK_ bits of mouse messages carry them.
WORD CurrentKeyState()
{
    WORD state = 0;
    if (::GetKeyState(VK_LBUTTON) < 0) state |= UIKEYSTATE_LBUTTON;
    if (::GetKeyState(VK_RBUTTON) < 0) state |= UIKEYSTATE_RBUTTON;
    if (::GetKeyState(VK_SHIFT) < 0) state |= UIKEYSTATE_SHIFT;
    if (::GetKeyState(VK_CONTROL) < 0) state |= UIKEYSTATE_CONTROL;
    if (::GetKeyState(VK_MENU) < 0) state |= UIKEYSTATE_ALT;
    return state;
}

// Reflected messages of child windows: the message number plus 0x2000.
const UINT kReflectBase = 0x2000;

}  // namespace

TEventUI CPaintManagerUI::MakeEvent(int type, CControlUI* pSender) const
{
    TEventUI event;
    event.Type = type;
    event.pSender = pSender;
    event.dwTimestamp = ::GetTickCount();
    event.ptMouse = m_ptLastMousePos;
    return event;
}

void CPaintManagerUI::SendEventTo(CControlUI* control, int type)
{
    if (control == nullptr) return;
    TEventUI event = MakeEvent(type, control);
    control->Event(event);
}

void CPaintManagerUI::TrackMouse(UINT uMsg, LPARAM lParam)
{
    if (!m_bMouseTracking) {
        TRACKMOUSEEVENT track = {};
        track.cbSize = sizeof(track);
        track.dwFlags = TME_HOVER | TME_LEAVE;
        track.hwndTrack = m_hWndPaint;
        track.dwHoverTime = m_tooltip.HoverTime();
        ::TrackMouseEvent(&track);
        m_bMouseTracking = true;
    }
    POINT pt = PointFromLParam(lParam);
    // Non-client moves carry screen coordinates.
    if (uMsg == WM_NCMOUSEMOVE) ::ScreenToClient(m_hWndPaint, &pt);
    m_ptLastMousePos = pt;
    CControlUI* under = FindControl(pt);
    if (under != nullptr && under->GetManager() != this) return;
    // The leave handler may destroy the control under the mouse, or the
    // window (whose tree then reads as gone).
    const ControlRef target = WeakRefTo(under);
    if (under != m_pEventHover.Get()) {
        if (CControlUI* left = m_pEventHover.Get()) {
            m_pEventHover = ControlRef();
            m_tooltip.Hide();
            SendEventTo(left, UIEVENT_MOUSELEAVE);
        }
        if (CControlUI* entered = target.Get()) {
            m_pEventHover = target;
            SendEventTo(entered, UIEVENT_MOUSEENTER);
        }
    }
    // A drag stays with the control that got the button down.
    SendEventTo(m_pEventClick != nullptr ? m_pEventClick.Get() : target.Get(), UIEVENT_MOUSEMOVE);
}

void CPaintManagerUI::ShowToolTip(CControlUI* pControl)
{
    const CUiString text = pControl->GetToolTip();
    if (text.IsEmpty()) return;
    m_tooltip.Show(m_hWndPaint, GetInstance(), text, pControl->GetPos(), pControl->GetToolTipWidth());
}

POINT CPaintManagerUI::RoutedPoint(EventPoint source, LPARAM lParam)
{
    POINT pt = m_ptLastMousePos;
    switch (source) {
    case EventPoint::LastMousePos:
        return pt;
    case EventPoint::Client:
        pt = PointFromLParam(lParam);
        break;
    case EventPoint::Screen:
        pt = PointFromLParam(lParam);
        ::ScreenToClient(m_hWndPaint, &pt);
        break;
    case EventPoint::Cursor:
        pt = POINT{0, 0};
        ::GetCursorPos(&pt);
        ::ScreenToClient(m_hWndPaint, &pt);
        return pt;
    }
    m_ptLastMousePos = pt;
    return pt;
}

CControlUI* CPaintManagerUI::RoutedTarget(EventTarget target, POINT pt) const
{
    switch (target) {
    case EventTarget::Focus:
        return m_pFocus.Get();
    case EventTarget::KeyControl:
        return m_pEventKey.Get();
    case EventTarget::ClickControl:
        return m_pEventClick.Get();
    case EventTarget::ControlAtPoint:
        return OwnControlAt(pt);
    }
    return nullptr;
}

bool CPaintManagerUI::RouteMessage(UINT uMsg, WPARAM wParam, LPARAM lParam)
{
    const MessageRoute* route = FindMessageRoute(uMsg);
    if (route == nullptr) return false;
    const unsigned steps = route->steps;
    if (steps & kRoutePress) ::SetFocus(m_hWndPaint);
    const POINT pt = RoutedPoint(route->point, lParam);
    if ((steps & kRouteReleaseFirst) && m_bMouseCapture) ReleaseCapture();
    // Held weakly: the steps below run handlers, which may destroy the
    // target or the window (whose tree then reads as gone).
    ControlRef target = WeakRefTo(RoutedTarget(route->target, pt));
    if (target == nullptr) return false;
    if ((steps & kRouteCursorControlsOnly) && (target->GetControlFlags() & UIFLAG_SETCURSOR) == 0) return false;
    if (steps & kRoutePress) m_pEventClick = target;
    if (steps & kRouteTakeKey) m_pEventKey = target;
    if (steps & kRouteFocusTarget) target->SetFocus();
    if (steps & kRouteReleaseForTarget) {
        if (m_bMouseCapture) ReleaseCapture();
        target = WeakRefTo(RoutedTarget(route->target, pt));
    }
    // The focus and release handlers may have ended the target.
    if (target == nullptr) return false;
    if (steps & kRoutePress) SetCapture();
    CControlUI* control = target.Get();
    if (control == nullptr) return false;
    TEventUI event = MakeEvent(route->eventType, control);
    event.ptMouse = pt;
    FillRoutedFields(event, route->fields, wParam, lParam, CurrentKeyState());
    control->Event(event);
    if (steps & kRouteEndClick) m_pEventClick = ControlRef();
    if (steps & kRouteEndKey) m_pEventKey = ControlRef();
    if (steps & kRouteMoveAfter)
        ::SendMessageW(m_hWndPaint, WM_MOUSEMOVE, 0, MAKELPARAM(m_ptLastMousePos.x, m_ptLastMousePos.y));
    return true;
}

bool CPaintManagerUI::OfferToFilters(const ListenerList<IMessageFilterUI>& filters, UINT uMsg, WPARAM wParam,
                                     LPARAM lParam, LRESULT& lRes)
{
    return filters.OfferWhileAlive(HandlerRef(), [&](IMessageFilterUI* filter) {
        bool handled = false;
        const LRESULT result = filter->MessageHandler(uMsg, wParam, lParam, handled);
        if (handled) lRes = result;
        return handled;
    });
}

bool CPaintManagerUI::MessageHandler(UINT uMsg, WPARAM wParam, LPARAM lParam, LRESULT& lRes)
{
    if (m_hWndPaint == nullptr) return false;
    const WeakRef<CPaintManagerUI> alive = HandlerRef();
    DeliverQueuedNotifications();
    if (OfferToFilters(m_aMessageFilters, uMsg, wParam, lParam, lRes)) return true;
    // A notification or filter that ended the window ends the message.
    if (!alive) return false;

    switch (uMsg) {
    case WM_APP + 1:
        DeleteDelayedCleanup();
        break;
    case WM_CLOSE: {
        SendEventTo(m_pEventHover.Get(), UIEVENT_MOUSELEAVE);
        SendEventTo(m_pEventClick.Get(), UIEVENT_BUTTONUP);
        SetFocus(nullptr);
        HWND owner = ::GetWindow(m_hWndPaint, GW_OWNER);
        if (owner != nullptr) ::SetFocus(owner);
        break;
    }
    case WM_ERASEBKGND:
        lRes = 1;
        return true;
    case WM_PAINT:
        if (::IsIconic(m_hWndPaint)) break;
        Paint();
        return true;
    case WM_PRINTCLIENT:
        PrintClient(reinterpret_cast<HDC>(wParam), lParam);
        break;
    case WM_GETMINMAXINFO: {
        auto* info = reinterpret_cast<LPMINMAXINFO>(lParam);
        if (info == nullptr) break;
        const SIZE minimum = GetMinInfo();
        const SIZE maximum = GetMaxInfo();
        if (minimum.cx > 0) info->ptMinTrackSize.x = minimum.cx;
        if (minimum.cy > 0) info->ptMinTrackSize.y = minimum.cy;
        if (maximum.cx > 0) info->ptMaxTrackSize.x = maximum.cx;
        if (maximum.cy > 0) info->ptMaxTrackSize.y = maximum.cy;
        break;
    }
    case WM_SIZE:
        RouteMessage(uMsg, wParam, lParam);
        if (m_pRoot != nullptr) m_pRoot->NeedUpdate();
        return true;
    case WM_TIMER:
        HandleTimer(wParam);
        break;
    case WM_MOUSEHOVER: {
        m_bMouseTracking = false;
        const POINT pt = PointFromLParam(lParam);
        CControlUI* under = OwnControlAt(pt);
        if (under == nullptr) break;
        if (CControlUI* hover = m_pEventHover.Get()) {
            TEventUI event = MakeEvent(UIEVENT_MOUSEHOVER, hover);
            event.ptMouse = pt;
            hover->Event(event);
            // The hover handler may have changed the tree.
            under = OwnControlAt(pt);
        }
        if (under != nullptr) ShowToolTip(under);
        return true;
    }
    case WM_MOUSELEAVE:
        m_tooltip.Hide();
        if (m_bMouseTracking) ::SendMessageW(m_hWndPaint, WM_MOUSEMOVE, 0, MAKELPARAM(-1, -1));
        m_bMouseTracking = false;
        break;
    case WM_MOUSEMOVE:
    case WM_NCMOUSEMOVE:
        TrackMouse(uMsg, lParam);
        break;
    case WM_CAPTURECHANGED: {
        // Another window took the mouse in the middle of a press (a message
        // box, a drag of another program): the press ends without a click.
        if (!m_bMouseCapture || reinterpret_cast<HWND>(lParam) == m_hWndPaint) break;
        m_bMouseCapture = false;
        CControlUI* click = m_pEventClick.Get();
        if (click == nullptr) break;
        m_pEventClick = ControlRef();
        TEventUI event = MakeEvent(UIEVENT_BUTTONUP, click);
        event.ptMouse = POINT{-1, -1};
        click->Event(event);
        break;
    }
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_CONTEXTMENU:
    case WM_MOUSEWHEEL:
    case WM_KEYDOWN:
    case WM_KEYUP:
    case WM_CHAR:
        RouteMessage(uMsg, wParam, lParam);
        break;
    case WM_SETCURSOR:
        if (LOWORD(lParam) != HTCLIENT) break;
        // While captured the cursor stays as the pressed control set it.
        if (m_bMouseCapture || RouteMessage(uMsg, wParam, lParam)) {
            lRes = TRUE;
            return true;
        }
        break;
    case WM_COMMAND:
        if (lParam == 0) break;
        lRes = ::SendMessageW(reinterpret_cast<HWND>(lParam), kReflectBase + uMsg, wParam, lParam);
        return true;
    case WM_NOTIFY: {
        auto* header = reinterpret_cast<LPNMHDR>(lParam);
        if (header != nullptr) lRes = ::SendMessageW(header->hwndFrom, kReflectBase + uMsg, wParam, lParam);
        return true;
    }
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC:
        if (lParam == 0) break;
        lRes = ::SendMessageW(reinterpret_cast<HWND>(lParam), kReflectBase + uMsg, wParam, lParam);
        return true;
    default:
        break;
    }

    DeliverQueuedNotifications();
    return false;
}

bool CPaintManagerUI::PreMessageHandler(UINT uMsg, WPARAM wParam, LPARAM lParam, LRESULT& lRes)
{
    const WeakRef<CPaintManagerUI> alive = HandlerRef();
    if (OfferToFilters(m_aPreMessageFilters, uMsg, wParam, lParam, lRes)) return true;
    if (!alive) return false;
    switch (uMsg) {
    case WM_KEYDOWN:
        if (wParam != VK_TAB) return false;
        // A rich edit that wants tab characters gets the key itself.
        if (m_pFocus != nullptr && m_pFocus->IsVisible() && m_pFocus->IsEnabled() &&
            std::wcsstr(m_pFocus->GetClass(), L"RichEditUI") != nullptr)
            return false;
        SetNextTabControl(::GetKeyState(VK_SHIFT) >= 0);
        return true;
    case WM_SYSCHAR:
        return FocusShortcut(static_cast<TCHAR>(wParam));
    case WM_SYSKEYDOWN:
        RouteMessage(uMsg, wParam, lParam);
        return false;
    default:
        return false;
    }
}

bool CPaintManagerUI::TranslateMessage(const LPMSG pMsg)
{
    if (pMsg == nullptr || pMsg->hwnd == nullptr) return false;
    // A child window's keys belong to the nearest skinned window above it.
    const bool child = (::GetWindowLongW(pMsg->hwnd, GWL_STYLE) & WS_CHILD) != 0;
    for (HWND hwnd = pMsg->hwnd; hwnd != nullptr; hwnd = child ? ::GetParent(hwnd) : nullptr) {
        for (int i = 0; i < m_aPreMessages.GetSize(); ++i) {
            auto* manager = static_cast<CPaintManagerUI*>(m_aPreMessages.GetAt(i));
            if (manager->GetPaintWindow() != hwnd) continue;
            if (manager->TranslateAccelerator(pMsg)) return true;
            LRESULT result = 0;
            return manager->PreMessageHandler(pMsg->message, pMsg->wParam, pMsg->lParam, result);
        }
    }
    return false;
}

void CPaintManagerUI::MessageLoop()
{
    MSG msg = {};
    while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (!CPaintManagerUI::TranslateMessage(&msg)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
    }
}

}  // namespace SkinUI
