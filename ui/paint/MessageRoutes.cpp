#include "ui/paint/MessageRoutes.h"

#include <iterator>

namespace SkinUI {

namespace {

using T = EventTarget;
using P = EventPoint;
using F = EventFields;

// clang-format off
const MessageRoute kMessageRoutes[] = {
    // message          event                  target             point         fields          steps
    {WM_SIZE,           UIEVENT_WINDOWSIZE,  T::Focus,          P::LastMousePos, F::None,        0},
    {WM_LBUTTONDOWN,    UIEVENT_BUTTONDOWN,  T::ControlAtPoint, P::Client,       F::Button,      kRoutePress | kRouteFocusTarget},
    {WM_RBUTTONDOWN,    UIEVENT_RBUTTONDOWN, T::ControlAtPoint, P::Client,       F::Button,      kRoutePress | kRouteFocusTarget},
    {WM_LBUTTONDBLCLK,  UIEVENT_DBLCLICK,    T::ControlAtPoint, P::Client,       F::ButtonFlags, kRoutePress},
    {WM_LBUTTONUP,      UIEVENT_BUTTONUP,    T::ClickControl,   P::Client,       F::Button,      kRouteReleaseFirst | kRouteEndClick},
    {WM_CONTEXTMENU,    UIEVENT_CONTEXTMENU, T::ClickControl,   P::Screen,       F::Sender,      kRouteReleaseForTarget | kRouteEndClick},
    {WM_MOUSEWHEEL,     UIEVENT_SCROLLWHEEL, T::ControlAtPoint, P::Screen,       F::Wheel,       kRouteMoveAfter},
    {WM_SETCURSOR,      UIEVENT_SETCURSOR,   T::ControlAtPoint, P::Cursor,       F::Cursor,      kRouteCursorControlsOnly},
    {WM_KEYDOWN,        UIEVENT_KEYDOWN,     T::Focus,          P::LastMousePos, F::Key,         kRouteTakeKey},
    {WM_KEYUP,          UIEVENT_KEYUP,       T::KeyControl,     P::LastMousePos, F::Key,         kRouteEndKey},
    {WM_CHAR,           UIEVENT_CHAR,        T::Focus,          P::LastMousePos, F::Key,         0},
    {WM_SYSKEYDOWN,     UIEVENT_SYSKEY,      T::Focus,          P::LastMousePos, F::Key,         0},
};
// clang-format on

}  // namespace

const MessageRoute* FindMessageRoute(UINT message)
{
    for (const MessageRoute& route : kMessageRoutes) {
        if (route.message == message) return &route;
    }
    return nullptr;
}

POINT PointFromLParam(LPARAM lParam)
{
    return POINT{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
}

void FillRoutedFields(TEventUI& event, EventFields fields, WPARAM wParam, LPARAM lParam, WORD keyState)
{
    switch (fields) {
    case EventFields::None:
        return;
    case EventFields::Key:
        event.chKey = static_cast<TCHAR>(wParam);
        event.wKeyState = keyState;
        event.wParam = wParam;
        event.lParam = lParam;
        return;
    case EventFields::Button:
        event.wKeyState = static_cast<WORD>(wParam);
        event.wParam = wParam;
        event.lParam = lParam;
        return;
    case EventFields::ButtonFlags:
        event.wKeyState = static_cast<WORD>(wParam);
        return;
    case EventFields::Wheel:
        // The delta is the high word, negative when turned towards the user
        // (the content scrolls down).
        event.wParam = static_cast<short>(HIWORD(wParam)) < 0 ? 1 : 0;
        event.lParam = lParam;
        event.wKeyState = keyState;
        return;
    case EventFields::Cursor:
        event.wParam = wParam;
        event.lParam = lParam;
        event.wKeyState = keyState;
        return;
    case EventFields::Sender:
        event.lParam = reinterpret_cast<LPARAM>(event.pSender);
        return;
    }
}

}  // namespace SkinUI
