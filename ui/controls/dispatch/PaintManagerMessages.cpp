// Window messages turned into control events: the message table, mouse
// tracking with hover and tooltips, pre-translation and the message loop.
#include "ui/controls/ControlUI.h"
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

POINT PointOf(LPARAM lParam)
{
    POINT pt = {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
    return pt;
}

// Key events carry the virtual key or character with the message's own
// parameters and the modifiers held at the time.
void FillKeyFields(TEventUI& event, WPARAM wParam, LPARAM lParam)
{
    event.chKey = static_cast<TCHAR>(wParam);
    event.wKeyState = CurrentKeyState();
    event.wParam = wParam;
    event.lParam = lParam;
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
    POINT pt = PointOf(lParam);
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
            TEventUI event = MakeEvent(UIEVENT_MOUSELEAVE, left);
            left->Event(event);
        }
        if (CControlUI* entered = target.Get()) {
            m_pEventHover = target;
            TEventUI event = MakeEvent(UIEVENT_MOUSEENTER, entered);
            entered->Event(event);
        }
    }
    // A drag stays with the control that got the button down.
    CControlUI* receiver = m_pEventClick != nullptr ? m_pEventClick.Get() : target.Get();
    if (receiver != nullptr) {
        TEventUI event = MakeEvent(UIEVENT_MOUSEMOVE, receiver);
        receiver->Event(event);
    }
}

void CPaintManagerUI::ShowToolTip(CControlUI* pControl)
{
    const CUiString text = pControl->GetToolTip();
    if (text.IsEmpty()) return;
    m_tooltip.Show(m_hWndPaint, GetInstance(), text, pControl->GetPos(), pControl->GetToolTipWidth());
}

void CPaintManagerUI::HandleMouseButton(UINT uMsg, WPARAM wParam, LPARAM lParam)
{
    ::SetFocus(m_hWndPaint);
    const POINT pt = PointOf(lParam);
    m_ptLastMousePos = pt;
    CControlUI* control = OwnControlAt(pt);
    if (control == nullptr) return;
    const ControlRef target = WeakRefTo(control);
    m_pEventClick = target;
    if (uMsg != WM_LBUTTONDBLCLK) {
        control->SetFocus();
        // The focus handlers may have destroyed it, or the window.
        if (target == nullptr) return;
    }
    SetCapture();
    int type = UIEVENT_BUTTONDOWN;
    if (uMsg == WM_LBUTTONDBLCLK)
        type = UIEVENT_DBLCLICK;
    else if (uMsg == WM_RBUTTONDOWN)
        type = UIEVENT_RBUTTONDOWN;
    TEventUI event = MakeEvent(type, control);
    event.ptMouse = pt;
    event.wKeyState = static_cast<WORD>(wParam);
    if (type != UIEVENT_DBLCLICK) {
        event.wParam = wParam;
        event.lParam = lParam;
    }
    control->Event(event);
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
        if (CControlUI* hover = m_pEventHover.Get()) {
            TEventUI event = MakeEvent(UIEVENT_MOUSELEAVE, hover);
            hover->Event(event);
        }
        if (CControlUI* click = m_pEventClick.Get()) {
            TEventUI event = MakeEvent(UIEVENT_BUTTONUP, click);
            click->Event(event);
        }
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
        if (CControlUI* focus = m_pFocus.Get()) {
            TEventUI event = MakeEvent(UIEVENT_WINDOWSIZE, focus);
            focus->Event(event);
        }
        if (m_pRoot != nullptr) m_pRoot->NeedUpdate();
        return true;
    case WM_TIMER:
        HandleTimer(wParam);
        break;
    case WM_MOUSEHOVER: {
        m_bMouseTracking = false;
        const POINT pt = PointOf(lParam);
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
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDOWN:
        HandleMouseButton(uMsg, wParam, lParam);
        break;
    case WM_LBUTTONUP: {
        m_ptLastMousePos = PointOf(lParam);
        // The capture goes with the button in any case: a click control
        // destroyed during the press must not leave the mouse captured.
        if (m_bMouseCapture) ReleaseCapture();
        CControlUI* click = m_pEventClick.Get();
        if (click == nullptr) break;
        TEventUI event = MakeEvent(UIEVENT_BUTTONUP, click);
        event.wParam = wParam;
        event.lParam = lParam;
        event.wKeyState = static_cast<WORD>(wParam);
        click->Event(event);
        m_pEventClick = ControlRef();
        break;
    }
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
    case WM_CONTEXTMENU: {
        POINT pt = PointOf(lParam);
        ::ScreenToClient(m_hWndPaint, &pt);
        m_ptLastMousePos = pt;
        if (m_pEventClick == nullptr) break;
        if (m_bMouseCapture) ReleaseCapture();
        // Releasing the capture runs handlers too.
        CControlUI* click = m_pEventClick.Get();
        if (click == nullptr) break;
        TEventUI event = MakeEvent(UIEVENT_CONTEXTMENU, click);
        event.lParam = reinterpret_cast<LPARAM>(click);
        click->Event(event);
        m_pEventClick = ControlRef();
        break;
    }
    case WM_MOUSEWHEEL: {
        POINT pt = PointOf(lParam);
        ::ScreenToClient(m_hWndPaint, &pt);
        m_ptLastMousePos = pt;
        CControlUI* control = OwnControlAt(pt);
        if (control == nullptr) break;
        const int delta = static_cast<short>(HIWORD(wParam));
        TEventUI event = MakeEvent(UIEVENT_SCROLLWHEEL, control);
        // 1 when the wheel turns towards the user (the content scrolls down).
        event.wParam = delta < 0 ? 1 : 0;
        event.lParam = lParam;
        event.wKeyState = CurrentKeyState();
        control->Event(event);
        ::SendMessageW(m_hWndPaint, WM_MOUSEMOVE, 0, MAKELPARAM(m_ptLastMousePos.x, m_ptLastMousePos.y));
        break;
    }
    case WM_KEYDOWN:
        if (CControlUI* focus = m_pFocus.Get()) {
            m_pEventKey = m_pFocus;
            TEventUI event = MakeEvent(UIEVENT_KEYDOWN, focus);
            FillKeyFields(event, wParam, lParam);
            focus->Event(event);
        }
        break;
    case WM_KEYUP:
        if (CControlUI* key = m_pEventKey.Get()) {
            TEventUI event = MakeEvent(UIEVENT_KEYUP, key);
            FillKeyFields(event, wParam, lParam);
            key->Event(event);
            m_pEventKey = ControlRef();
        }
        break;
    case WM_CHAR:
        if (CControlUI* focus = m_pFocus.Get()) {
            TEventUI event = MakeEvent(UIEVENT_CHAR, focus);
            FillKeyFields(event, wParam, lParam);
            focus->Event(event);
        }
        break;
    case WM_SETCURSOR: {
        if (LOWORD(lParam) != HTCLIENT) break;
        if (m_bMouseCapture) {
            lRes = TRUE;
            return true;
        }
        POINT pt = {0, 0};
        ::GetCursorPos(&pt);
        ::ScreenToClient(m_hWndPaint, &pt);
        CControlUI* control = OwnControlAt(pt);
        if (control == nullptr || (control->GetControlFlags() & UIFLAG_SETCURSOR) == 0) break;
        TEventUI event = MakeEvent(UIEVENT_SETCURSOR, control);
        event.ptMouse = pt;
        event.wParam = wParam;
        event.lParam = lParam;
        event.wKeyState = CurrentKeyState();
        control->Event(event);
        lRes = TRUE;
        return true;
    }
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
        if (CControlUI* focus = m_pFocus.Get()) {
            TEventUI event = MakeEvent(UIEVENT_SYSKEY, focus);
            FillKeyFields(event, wParam, lParam);
            focus->Event(event);
        }
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
