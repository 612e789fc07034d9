#pragma once
// One context menu of a browser, on the UI thread: asks the page what lies
// at the point, builds the default menu, lets the client rewrite it, shows
// it as a Win32 popup menu and carries out the chosen command.

#include <windows.h>

#include "runtime/engine/ContextMenuParams.h"

namespace vxrt {

class BrowserImpl;

class ContextMenuController {
public:
    explicit ContextMenuController(BrowserImpl* browser) : m_browser(browser) {}
    // x, y in the browser window's client coordinates; fromKeyboard takes
    // the point from the page's focus or selection instead.
    void Run(int x, int y, bool fromKeyboard);

private:
    void Execute(int commandId, ContextMenuParams& params);
    void CopySelection(ContextMenuParams& params, bool thenDelete);

    BrowserImpl* m_browser;
};

}  // namespace vxrt
