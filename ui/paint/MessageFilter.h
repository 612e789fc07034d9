#pragma once
// Hooks into a paint manager's message handling.

#include "ui/base/Platform.h"

namespace SkinUI {

// A filter sees a message before the manager does. It sets `bHandled` to
// claim the message; its return value is then the message's result.
class IMessageFilterUI {
public:
    virtual LRESULT MessageHandler(UINT uMsg, WPARAM wParam, LPARAM lParam, bool& bHandled) = 0;

protected:
    ~IMessageFilterUI() = default;
};

// Keyboard accelerators of a window: a translator that returns S_OK (0)
// has consumed the message.
class ITranslateAccelerator {
public:
    virtual LRESULT TranslateAccelerator(MSG* pMsg) = 0;

protected:
    ~ITranslateAccelerator() = default;
};

}  // namespace SkinUI
