#pragma once
// Which control event a window message becomes: one row per message, read by
// the paint manager's dispatch, so that finding the target, building the
// event and the bookkeeping around it (click and key controls, capture,
// focus) are written once and each message only says which of them it takes.
//
// Messages whose handling is more than one event to one control (mouse
// tracking with hover and tooltips, timers, closing, painting) have no row;
// the manager handles them itself.

#include "ui/base/Platform.h"
#include "ui/paint/UiEvent.h"

namespace SkinUI {

// The control an event goes to.
enum class EventTarget : unsigned char {
    Focus,           // the focused control
    KeyControl,      // the control that got the last key down
    ClickControl,    // the control that got the last button down
    ControlAtPoint,  // the control of this window under the event's point
};

// Where the event's mouse point comes from.
enum class EventPoint : unsigned char {
    LastMousePos,  // the manager's last mouse position, left as it is
    Client,        // the message's lParam in client coordinates; becomes the last mouse position
    Screen,        // the message's lParam in screen coordinates; becomes the last mouse position
    Cursor,        // where the cursor is now; the last mouse position stays
};

// What the event carries besides its type, sender, time and point.
enum class EventFields : unsigned char {
    None,
    Key,          // chKey = wParam, key state now, wParam, lParam
    Button,       // key state = wParam (a mouse message's own MK_ flags), wParam, lParam
    ButtonFlags,  // key state = wParam; wParam and lParam stay 0
    Wheel,        // wParam = 1 when the wheel turned towards the user, else 0; lParam, key state now
    Cursor,       // wParam, lParam, key state now
    Sender,       // lParam = the control the event goes to
};

// Steps around the event, taken in the order they are listed.
enum RouteStep : unsigned {
    // A press: the window takes the system focus before anything else; the
    // target becomes the click control and the window captures the mouse.
    kRoutePress = 0x01,
    // The target takes the control focus before the event.
    kRouteFocusTarget = 0x02,
    // The capture ends before the target is looked for: a button going up
    // ends the press even when the pressed control is gone.
    kRouteReleaseFirst = 0x04,
    // The capture ends once there is a target; the target is looked for
    // again afterwards, as releasing runs handlers.
    kRouteReleaseForTarget = 0x08,
    // The click control is forgotten after the event.
    kRouteEndClick = 0x10,
    // The target becomes the key control before the event.
    kRouteTakeKey = 0x20,
    // The key control is forgotten after the event.
    kRouteEndKey = 0x40,
    // Only a control that asks for cursor events (UIFLAG_SETCURSOR) gets it.
    kRouteCursorControlsOnly = 0x80,
    // A mouse move at the last position follows the event, so that hover
    // follows content that moved under the mouse.
    kRouteMoveAfter = 0x100,
};

struct MessageRoute {
    UINT message;
    int eventType;
    EventTarget target;
    EventPoint point;
    EventFields fields;
    unsigned steps;  // RouteStep bits
};

// The row of `message`, or null when no row turns it into an event.
const MessageRoute* FindMessageRoute(UINT message);

// The signed 16-bit halves of a mouse message's lParam.
POINT PointFromLParam(LPARAM lParam);

// Sets the fields `fields` names on `event` from the message's parameters;
// `keyState` is the UIKEYSTATE_ bits held now. Type, sender, time and point
// are the caller's.
void FillRoutedFields(TEventUI& event, EventFields fields, WPARAM wParam, LPARAM lParam, WORD keyState);

}  // namespace SkinUI
