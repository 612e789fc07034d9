#include "runtime/engine/ContextMenuController.h"

#include "runtime/engine/BrowserImpl.h"
#include "runtime/engine/Clipboard.h"
#include "runtime/engine/DefaultContextMenu.h"
#include "runtime/engine/PopupController.h"

namespace vxrt {

namespace {

HMENU BuildPopupMenu(MenuModel& model)
{
    HMENU menu = CreatePopupMenu();
    if (!menu) return nullptr;
    for (const auto& item : model.Items()) {
        if (item.type == MENUITEMTYPE_SEPARATOR) {
            AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
            continue;
        }
        // Id 0 means "nothing chosen" to TrackPopupMenu; such an item could
        // never report its command.
        if (item.commandId <= 0 || item.commandId > 0xFFFF) continue;
        UINT flags = MF_STRING | (item.enabled ? MF_ENABLED : MF_GRAYED);
        AppendMenuW(menu, flags, static_cast<UINT_PTR>(item.commandId), item.label.c_str());
    }
    return menu;
}

int ShowPopupMenu(HWND owner, MenuModel& model, int x, int y)
{
    HMENU menu = BuildPopupMenu(model);
    if (!menu) return 0;
    POINT pt = {x, y};
    ClientToScreen(owner, &pt);
    int chosen = static_cast<int>(TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_NONOTIFY | TPM_LEFTALIGN,
                                                 pt.x, pt.y, 0, owner, nullptr));
    DestroyMenu(menu);
    return chosen;
}

int EventFlagsNow()
{
    int f = EVENTFLAG_NONE;
    if (GetKeyState(VK_SHIFT) < 0) f |= EVENTFLAG_SHIFT_DOWN;
    if (GetKeyState(VK_CONTROL) < 0) f |= EVENTFLAG_CONTROL_DOWN;
    if (GetKeyState(VK_MENU) < 0) f |= EVENTFLAG_ALT_DOWN;
    return f;
}

}  // namespace

void ContextMenuController::Run(int x, int y, bool fromKeyboard)
{
    CefRefPtr<BrowserImpl> browser(m_browser);
    HWND hwnd = browser->GetWindowHandle();
    if (!hwnd) return;
    // The page and the handler speak CSS pixels; the menu opens at the
    // window's pixels.
    const PageScale scale = browser->Scale();
    CefRefPtr<ContextMenuParams> params = new ContextMenuParams;
    params->x = static_cast<int>(scale.ToCss(x));
    params->y = static_cast<int>(scale.ToCss(y));
    std::string expr = std::string(HitTestScript()) + "(" + std::to_string(scale.ToCss(x)) + "," +
                       std::to_string(scale.ToCss(y)) + "," + (fromKeyboard ? "true" : "false") + ")";
    Json r = browser->SendSync("Runtime.evaluate", {{"expression", expr}, {"returnByValue", true}});
    Json value;
    if (r.is_object() && r.contains("result") && r["result"].is_object() && !r.contains("exceptionDetails"))
        value = r["result"].value("value", Json());
    ParseHitTest(value, *params);

    ContextMenuAbilities abilities;
    abilities.canGoBack = browser->CanGoBack();
    abilities.canGoForward = browser->CanGoForward();
    abilities.isLoading = browser->IsLoading();
    CefRefPtr<MenuModel> model = new MenuModel;
    BuildDefaultContextMenu(*model, *params, abilities);

    CefRefPtr<CefClient> client = browser->GetClient();
    CefRefPtr<CefContextMenuHandler> handler = client ? client->GetContextMenuHandler() : nullptr;
    CefRefPtr<CefFrame> frame = browser->GetMainFrame();
    if (handler) handler->OnBeforeContextMenu(browser.get(), frame, params.get(), model.get());

    // The browser may have been closed by the handler.
    if (!browser->GetWindowHandle()) return;
    int chosen = model->GetCount() > 0 ? ShowPopupMenu(hwnd, *model, scale.ToDevice(params->x), scale.ToDevice(params->y)) : 0;
    if (chosen != 0) {
        bool handled = handler && handler->OnContextMenuCommand(browser.get(), frame, params.get(), chosen,
                                                                static_cast<EventFlags>(EventFlagsNow()));
        if (!handled && browser->GetWindowHandle()) Execute(chosen, *params);
    }
    if (handler) handler->OnContextMenuDismissed(browser.get(), frame);
}

void ContextMenuController::CopySelection(ContextMenuParams& params, bool thenDelete)
{
    if (params.selectionText.empty()) return;
    if (!SetClipboardText(m_browser->GetWindowHandle(), params.selectionText)) return;
    if (thenDelete)
        m_browser->Send("Runtime.evaluate", {{"expression", "document.execCommand('delete')"}, {"userGesture", true}});
}

void ContextMenuController::Execute(int commandId, ContextMenuParams& params)
{
    CefRefPtr<CefFrame> frame = m_browser->GetMainFrame();
    switch (commandId) {
    case MENU_ID_BACK:
        m_browser->GoBack();
        break;
    case MENU_ID_FORWARD:
        m_browser->GoForward();
        break;
    case MENU_ID_RELOAD:
        m_browser->Reload();
        break;
    case MENU_ID_RELOAD_NOCACHE:
        m_browser->ReloadIgnoreCache();
        break;
    case MENU_ID_STOPLOAD:
        m_browser->StopLoad();
        break;
    case MENU_ID_UNDO:
        if (frame) frame->Undo();
        break;
    case MENU_ID_REDO:
        if (frame) frame->Redo();
        break;
    case MENU_ID_CUT:
        CopySelection(params, true);
        break;
    case MENU_ID_COPY:
        CopySelection(params, false);
        break;
    case MENU_ID_PASTE: {
        // The engine cannot read this clipboard: type its text instead.
        std::wstring text;
        if (GetClipboardText(m_browser->GetWindowHandle(), text) && !text.empty())
            m_browser->Send("Input.insertText", {{"text", CefString(text).ToString()}});
        break;
    }
    case MENU_ID_DELETE:
        if (frame) frame->Delete();
        break;
    case MENU_ID_SELECT_ALL:
        if (frame) frame->SelectAll();
        break;
    case MENU_ID_PRINT:
        m_browser->Send("Runtime.evaluate", {{"expression", "window.print()"}, {"userGesture", true}});
        break;
    case MENU_ID_VIEW_SOURCE:
        // The source opens as a pop-up, so the client's pop-up rule holds.
        if (!params.pageUrl.empty())
            PopupController::OfferPopup(m_browser, "view-source:" + params.pageUrl, std::string());
        break;
    default:
        break;  // the client's own commands have no default action
    }
}

}  // namespace vxrt
