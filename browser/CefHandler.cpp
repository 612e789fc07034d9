#include "browser/CefHandler.h"

#include <cassert>

#include "browser/ClipboardText.h"

namespace Vornex {

namespace {

enum MenuGroup {
    kPageGroup,
    kEditGroup
};

struct MenuLabel {
    MenuGroup group;
    int commandId;
    const wchar_t* label;
};

// The runtime's own commands, in Chinese. Relabelling a command the runtime
// left out of a menu changes nothing.
const MenuLabel kMenuLabels[] = {
    {kPageGroup, MENU_ID_BACK, L"后退"},
    {kPageGroup, MENU_ID_FORWARD, L"前进"},
    {kPageGroup, MENU_ID_VIEW_SOURCE, L"查看源代码"},
    {kPageGroup, MENU_ID_PRINT, L"打印"},
    {kPageGroup, MENU_ID_RELOAD, L"刷新"},
    {kPageGroup, MENU_ID_RELOAD_NOCACHE, L"强制刷新"},
    {kPageGroup, MENU_ID_STOPLOAD, L"停止加载"},
    {kPageGroup, MENU_ID_REDO, L"重复"},
    {kEditGroup, MENU_ID_UNDO, L"撤销"},
    {kEditGroup, MENU_ID_CUT, L"剪切"},
    {kEditGroup, MENU_ID_COPY, L"复制"},
    {kEditGroup, MENU_ID_PASTE, L"粘贴"},
    {kEditGroup, MENU_ID_DELETE, L"删除"},
    {kEditGroup, MENU_ID_SELECT_ALL, L"全选"},
};

void Relabel(CefMenuModel& model, MenuGroup group)
{
    for (const MenuLabel& item : kMenuLabels)
        if (item.group == group) model.SetLabel(item.commandId, item.label);
}

void TraceLine(const CefString& text) { OutputDebugStringW((text.ToWString() + L"\n").c_str()); }

// Titles and addresses go to the window as characters, or null for none.
const wchar_t* CharsOrNull(const CefString& text) { return text.empty() ? nullptr : text.c_str(); }

}  // namespace

CCefHandler::CCefHandler(BrowserOwner* owner)
    : m_nCallbackTag(0), m_pLoadCallback(nullptr), m_pOwner(owner), m_bBrowserHanded(false),
      m_ownerThread(GetCurrentThreadId())
{}

CCefHandler::~CCefHandler() {}

bool CCefHandler::OnOwnerThread() const { return GetCurrentThreadId() == m_ownerThread; }

void CCefHandler::SetLoadCallback(CCefWebLoadCallback* callback, int tag)
{
    assert(OnOwnerThread());
    m_pLoadCallback = callback;
    m_nCallbackTag = tag;
}

void CCefHandler::Detach()
{
    assert(OnOwnerThread());
    m_pOwner = nullptr;
    m_pLoadCallback = nullptr;
}

CefRefPtr<CefContextMenuHandler> CCefHandler::GetContextMenuHandler() { return this; }
CefRefPtr<CefDisplayHandler> CCefHandler::GetDisplayHandler() { return this; }
CefRefPtr<CefDownloadHandler> CCefHandler::GetDownloadHandler() { return this; }
CefRefPtr<CefLifeSpanHandler> CCefHandler::GetLifeSpanHandler() { return this; }
CefRefPtr<CefLoadHandler> CCefHandler::GetLoadHandler() { return this; }

void CCefHandler::OnTitleChange(CefRefPtr<CefBrowser> browser, const CefString& title)
{
    assert(OnOwnerThread());
    if (m_pLoadCallback) m_pLoadCallback->OnWebTitleChange(this, m_nCallbackTag, CharsOrNull(title));
}

bool CCefHandler::OnBeforePopup(CefRefPtr<CefBrowser> browser, CefRefPtr<CefFrame> frame, const CefString& target_url,
                                const CefString& target_frame_name, const CefPopupFeatures& popupFeatures,
                                CefWindowInfo& windowInfo, CefRefPtr<CefClient>& client, CefBrowserSettings& settings,
                                bool* no_javascript_access)
{
    assert(OnOwnerThread());
    // Without a window to ask, nothing is opened.
    if (!m_pLoadCallback) return true;
    return m_pLoadCallback->OnWebBeforePopup(this, m_nCallbackTag, CharsOrNull(target_url));
}

void CCefHandler::OnAfterCreated(CefRefPtr<CefBrowser> browser)
{
    assert(OnOwnerThread());
    // Only the control's own browser is handed over, once: a pop-up the
    // window let through shares this client but is a top-level browser of
    // its own, and must not take the control's place.
    if (m_bBrowserHanded || !browser) return;
    m_bBrowserHanded = true;
    if (m_pOwner) m_pOwner->SetBrowser(browser);
}

void CCefHandler::OnLoadStart(CefRefPtr<CefBrowser> browser, CefRefPtr<CefFrame> frame)
{
    assert(OnOwnerThread());
    if (frame && frame->IsMain()) m_lastLoadError = ERR_NONE;
    if (m_pLoadCallback && frame && frame->IsMain()) m_pLoadCallback->OnWebLoadStart(this, m_nCallbackTag);
}

void CCefHandler::OnLoadEnd(CefRefPtr<CefBrowser> browser, CefRefPtr<CefFrame> frame, int httpStatusCode)
{
    assert(OnOwnerThread());
    if (m_pLoadCallback && frame && frame->IsMain()) m_pLoadCallback->OnWebLoadEnd(this, m_nCallbackTag, browser);
}

void CCefHandler::OnLoadError(CefRefPtr<CefBrowser> browser, CefRefPtr<CefFrame> frame, ErrorCode errorCode,
                              const CefString& errorText, const CefString& failedUrl)
{
    assert(OnOwnerThread());
    // An aborted load (the user stopped it, or a new one replaced it) is no error.
    if (errorCode == ERR_ABORTED) return;
    if (frame && frame->IsMain()) m_lastLoadError = errorCode;
    if (m_pLoadCallback && frame && frame->IsMain()) m_pLoadCallback->OnWebLoadError(this, m_nCallbackTag, frame);
}

void CCefHandler::OnBeforeContextMenu(CefRefPtr<CefBrowser> browser, CefRefPtr<CefFrame> frame,
                                      CefRefPtr<CefContextMenuParams> params, CefRefPtr<CefMenuModel> model)
{
    assert(OnOwnerThread());
    if (!params || !model) return;
    const int flags = params->GetTypeFlags();
    if (flags & CM_TYPEFLAG_PAGE) Relabel(*model, kPageGroup);
    if (flags & (CM_TYPEFLAG_SELECTION | CM_TYPEFLAG_EDITABLE)) Relabel(*model, kEditGroup);
    if (flags & CM_TYPEFLAG_LINK) model->AddItem(kCopyLinkCommand, L"复制链接地址");
    if (model->GetCount() > 0 && model->GetTypeAt(0) == MENUITEMTYPE_SEPARATOR) model->RemoveAt(0);
    model->AddItem(MENU_ID_RELOAD, L"刷新");
    if ((flags & CM_TYPEFLAG_MEDIA) && params->GetMediaType() == CM_MEDIATYPE_IMAGE) {
        TraceLine(params->GetLinkUrl());
        TraceLine(params->GetSourceUrl());
        // Copies the link address too: for an image outside a link that is empty.
        model->AddItem(kCopyLinkCommand, L"复制图片");
    }
}

bool CCefHandler::OnContextMenuCommand(CefRefPtr<CefBrowser> browser, CefRefPtr<CefFrame> frame,
                                       CefRefPtr<CefContextMenuParams> params, int command_id, EventFlags event_flags)
{
    assert(OnOwnerThread());
    // Every other command is the runtime's to carry out.
    if (command_id != kCopyLinkCommand) return false;
    // A busy clipboard loses the copy, but the command is still ours.
    CopyTextToClipboard(params ? params->GetLinkUrl().ToWString() : std::wstring());
    return true;
}

void CCefHandler::OnBeforeDownload(CefRefPtr<CefBrowser> browser, CefRefPtr<CefDownloadItem> download_item,
                                   const CefString& suggested_name, CefRefPtr<CefBeforeDownloadCallback> callback)
{
    assert(OnOwnerThread());
    // The user picks the place of every download; the dialog proposes the
    // suggested name.
    if (callback) callback->Continue(CefString(), true);
}

}  // namespace Vornex
