#pragma once
// Events the paint manager sends to controls, and the flags controls and the
// manager share when they search the tree.

#include "ui/base/Platform.h"

namespace SkinUI {

class CControlUI;

// Event types. The numbers are part of the framework's interface: controls
// test ranges of them (the mouse events run from UIEVENT_MOUSEMOVE to
// UIEVENT_SCROLLWHEEL).
enum UIEVENT_TYPE {
    UIEVENT_KEYDOWN = 3,
    UIEVENT_KEYUP = 4,
    UIEVENT_CHAR = 5,
    UIEVENT_SYSKEY = 6,
    UIEVENT_MOUSEMOVE = 9,
    UIEVENT_MOUSELEAVE = 10,
    UIEVENT_MOUSEENTER = 11,
    UIEVENT_MOUSEHOVER = 12,
    UIEVENT_BUTTONDOWN = 13,
    UIEVENT_BUTTONUP = 14,
    UIEVENT_RBUTTONDOWN = 15,
    UIEVENT_DBLCLICK = 16,
    UIEVENT_CONTEXTMENU = 17,
    UIEVENT_SCROLLWHEEL = 18,
    UIEVENT_KILLFOCUS = 20,
    UIEVENT_SETFOCUS = 21,
    UIEVENT_WINDOWSIZE = 22,
    UIEVENT_SETCURSOR = 23,
    UIEVENT_TIMER = 24,
};

// Tree search flags (CControlUI::FindControl).
constexpr UINT UIFIND_ALL = 0x00000000;
constexpr UINT UIFIND_VISIBLE = 0x00000001;
constexpr UINT UIFIND_ENABLED = 0x00000002;
constexpr UINT UIFIND_HITTEST = 0x00000004;
constexpr UINT UIFIND_TOP_FIRST = 0x00000008;
constexpr UINT UIFIND_ME_FIRST = 0x80000000;

// What a control asks of the manager (CControlUI::GetControlFlags).
constexpr UINT UIFLAG_TABSTOP = 0x00000001;
constexpr UINT UIFLAG_SETCURSOR = 0x00000002;
constexpr UINT UIFLAG_WANTRETURN = 0x00000004;

// Key state bits of keyboard, cursor and wheel events (the MK_ values).
constexpr WORD UIKEYSTATE_LBUTTON = 0x01;
constexpr WORD UIKEYSTATE_RBUTTON = 0x02;
constexpr WORD UIKEYSTATE_SHIFT = 0x04;
constexpr WORD UIKEYSTATE_CONTROL = 0x08;
constexpr WORD UIKEYSTATE_ALT = 0x20;

// Visitor of CControlUI::FindControl: returns the control that ends the
// search, or null to go on.
#ifdef _WIN32
typedef CControlUI*(CALLBACK* FINDCONTROLPROC)(CControlUI*, LPVOID);
#else
typedef CControlUI* (*FINDCONTROLPROC)(CControlUI*, LPVOID);
#endif

// One event, built on the stack for each delivery.
struct tagTEventUI {
    int Type = 0;
    CControlUI* pSender = nullptr;  // the control the event is about
    DWORD dwTimestamp = 0;          // GetTickCount() at creation
    POINT ptMouse = {0, 0};         // client coordinates
    TCHAR chKey = 0;                // character or virtual key
    WORD wKeyState = 0;             // UIKEYSTATE_ bits, or a mouse message's own flags
    WPARAM wParam = 0;
    LPARAM lParam = 0;
};
typedef tagTEventUI TEventUI;

}  // namespace SkinUI
