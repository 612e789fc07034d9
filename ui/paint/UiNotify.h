#pragma once
// Notifications: what controls tell the window about ("click",
// "windowinit", "setfocus", "timer", ...), and who listens.

#include "ui/base/Platform.h"
#include "ui/base/UiString.h"

namespace SkinUI {

class CControlUI;

struct tagTNotifyUI {
    CUiString sType;                // notification name
    CUiString sVirtualWnd;          // the sender's virtual window, when the manager routes by them
    CControlUI* pSender = nullptr;  // null once the sender was destroyed while the record waited
    DWORD dwTimestamp = 0;          // GetTickCount() when sent
    POINT ptMouse = {0, 0};         // the manager's last mouse position
    WPARAM wParam = 0;
    LPARAM lParam = 0;
};
typedef tagTNotifyUI TNotifyUI;

class INotifyUI {
public:
    virtual void Notify(TNotifyUI& msg) = 0;

protected:
    ~INotifyUI() = default;
};

}  // namespace SkinUI
