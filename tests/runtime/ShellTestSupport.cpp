#include "ShellTestSupport.h"

#include "runtime/engine/Runtime.h"

namespace vxtest {

void ShellClient::OnBeforeContextMenu(CefRefPtr<CefBrowser> browser, CefRefPtr<CefFrame> frame,
                                      CefRefPtr<CefContextMenuParams> params, CefRefPtr<CefMenuModel> model)
{
    ContextSeen c;
    c.flags = params->GetTypeFlags();
    c.link = params->GetLinkUrl().ToString();
    c.source = params->GetSourceUrl().ToString();
    c.selection = params->GetSelectionText().ToString();
    c.media = params->GetMediaType();
    c.editable = params->IsEditable();
    for (int i = 0; i < model->GetCount(); ++i) {
        // Separators carry no id of their own.
        int type = model->GetTypeAt(i);
        c.items.push_back({type, type == MENUITEMTYPE_SEPARATOR ? -1 : model->GetCommandIdAt(i),
                           model->GetLabelAt(i).ToWString(), model->IsEnabled(model->GetCommandIdAt(i))});
    }
    contexts.push_back(c);
    if (rewriteMenu) rewriteMenu(params, model);
}

bool ShellClient::OnContextMenuCommand(CefRefPtr<CefBrowser> browser, CefRefPtr<CefFrame> frame,
                                       CefRefPtr<CefContextMenuParams> params, int command_id, EventFlags event_flags)
{
    commands.push_back(command_id);
    return handleCommand(command_id);
}

bool ShellClient::OnBeforePopup(CefRefPtr<CefBrowser> browser, CefRefPtr<CefFrame> frame, const CefString& target_url,
                                const CefString& target_frame_name, const CefPopupFeatures& popupFeatures,
                                CefWindowInfo& windowInfo, CefRefPtr<CefClient>& client, CefBrowserSettings& settings,
                                bool* no_javascript_access)
{
    popups.emplace_back(target_url.ToString(), target_frame_name.ToString());
    return cancelPopups;
}

namespace {
DownloadSeen Seen(CefRefPtr<CefDownloadItem> item)
{
    DownloadSeen d;
    d.url = item->GetURL().ToString();
    d.name = item->GetSuggestedFileName().ToString();
    d.mime = item->GetMimeType().ToString();
    d.total = item->GetTotalBytes();
    d.received = item->GetReceivedBytes();
    d.complete = item->IsComplete();
    d.canceled = item->IsCanceled();
    d.inProgress = item->IsInProgress();
    d.path = item->GetFullPath().ToWString();
    return d;
}
}  // namespace

void ShellClient::OnBeforeDownload(CefRefPtr<CefBrowser> browser, CefRefPtr<CefDownloadItem> item,
                                   const CefString& suggested_name, CefRefPtr<CefBeforeDownloadCallback> callback)
{
    DownloadSeen d = Seen(item);
    d.name = suggested_name.ToString();
    beforeDownloads.push_back(d);
    if (answerDownload) answerDownload(callback);
}

void ShellClient::OnDownloadUpdated(CefRefPtr<CefBrowser> browser, CefRefPtr<CefDownloadItem> item,
                                    CefRefPtr<CefDownloadItemCallback> callback)
{
    updates.push_back(Seen(item));
}

namespace {

HWND FindVisible(const wchar_t* cls)
{
    HWND h = nullptr;
    while ((h = FindWindowExW(nullptr, h, cls, nullptr)) != nullptr) {
        DWORD pid = 0;
        GetWindowThreadProcessId(h, &pid);
        if (pid == GetCurrentProcessId() && IsWindowVisible(h)) return h;
    }
    return nullptr;
}

HWND WaitVisible(const wchar_t* cls, DWORD ms)
{
    DWORD start = GetTickCount();
    while (GetTickCount() - start < ms) {
        if (HWND h = FindVisible(cls)) return h;
        Sleep(50);
    }
    return nullptr;
}

const UINT kGetMenuHandle = 0x01E1;  // MN_GETHMENU

}  // namespace

MenuDriver::MenuDriver(int downs)
{
    m_thread = std::thread([this, downs] {
        HWND menu = WaitVisible(L"#32768", 30000);
        if (menu) {
            m_appeared = true;
            HMENU h = reinterpret_cast<HMENU>(SendMessageW(menu, kGetMenuHandle, 0, 0));
            int n = h ? GetMenuItemCount(h) : 0;
            for (int i = 0; i < n; ++i) {
                wchar_t text[256] = {0};
                GetMenuStringW(h, i, text, 255, MF_BYPOSITION);
                UINT id = GetMenuItemID(h, i);
                shown.emplace_back(id == static_cast<UINT>(-1) ? 0 : static_cast<int>(id), text);
            }
            Sleep(200);
            for (int i = 0; i < downs; ++i) {
                PostMessageW(menu, WM_KEYDOWN, VK_DOWN, 0);
                Sleep(100);
            }
            PostMessageW(menu, WM_KEYDOWN, downs < 0 ? VK_ESCAPE : VK_RETURN, 0);
        }
        m_done = true;
    });
}

MenuDriver::~MenuDriver()
{
    if (m_thread.joinable()) m_thread.join();
}

SaveDialogDriver::SaveDialogDriver(const std::wstring& path)
    : SaveDialogDriver([path](const std::wstring&) { return path; })
{}

SaveDialogDriver::SaveDialogDriver(const std::function<std::wstring(const std::wstring& proposed)>& choose)
{
    m_thread = std::thread([this, choose] {
        HWND dlg = WaitVisible(L"#32770", 30000);
        if (dlg) {
            // The explorer-style dialog names the file in a combo box
            // (cmb13), the older one in an edit (edt1); either is filled
            // once the dialog has set itself up.
            int nameId = 0x480;
            wchar_t text[1024] = {0};
            const DWORD start = GetTickCount();
            do {
                nameId = GetDlgItem(dlg, 0x47c) ? 0x47c : 0x480;
                GetDlgItemTextW(dlg, nameId, text, 1023);
                if (text[0]) break;
                Sleep(20);
            } while (GetTickCount() - start < 5000);
            proposed = text;
            const std::wstring path = choose(proposed);
            if (path.empty()) {
                PostMessageW(dlg, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED),
                             reinterpret_cast<LPARAM>(GetDlgItem(dlg, IDCANCEL)));
            } else {
                SetDlgItemTextW(dlg, nameId, path.c_str());
                Sleep(100);
                PostMessageW(dlg, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                             reinterpret_cast<LPARAM>(GetDlgItem(dlg, IDOK)));
                // A dialog that refuses the name stays open (often behind a
                // message box) and would hold the UI thread for good: close
                // whatever it shows, then the dialog itself.
                DWORD start = GetTickCount();
                while (IsWindow(dlg) && IsWindowVisible(dlg) && GetTickCount() - start < 10000) Sleep(50);
                if (IsWindow(dlg) && IsWindowVisible(dlg)) {
                    m_refused = true;
                    for (int round = 0; round < 20 && IsWindow(dlg); ++round) {
                        HWND top = FindVisible(L"#32770");
                        if (top) PostMessageW(top, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
                        Sleep(250);
                    }
                }
            }
        }
        m_done = true;
    });
}

SaveDialogDriver::~SaveDialogDriver()
{
    if (m_thread.joinable()) m_thread.join();
}

int PageTargetCount()
{
    vxrt::Runtime* rt = vxrt::Runtime::Get();
    if (!rt) return -1;
    vxrt::Json r = rt->DevTools().CallSync("Target.getTargets", vxrt::Json::object(), "", 10000);
    if (!r.is_object() || !r.contains("targetInfos")) return -1;
    int n = 0;
    for (const auto& t : r["targetInfos"])
        if (t.value("type", "") == "page" && t.value("url", "") != "about:blank") ++n;
    return n;
}

int TopLevelBrowserWindows()
{
    int n = 0;
    HWND h = nullptr;
    while ((h = FindWindowExW(nullptr, h, L"CefBrowserWindow", nullptr)) != nullptr) {
        DWORD pid = 0;
        GetWindowThreadProcessId(h, &pid);
        if (pid == GetCurrentProcessId()) ++n;
    }
    return n;
}

std::string ReadWholeFile(const std::wstring& path)
{
    HANDLE h = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) return std::string();
    std::string out;
    char buf[65536];
    DWORD n;
    while (ReadFile(h, buf, sizeof buf, &n, nullptr) && n > 0) out.append(buf, n);
    CloseHandle(h);
    return out;
}

bool FileExists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

int FilesIn(const std::wstring& folder)
{
    int n = 0;
    WIN32_FIND_DATAW fd;
    HANDLE f = FindFirstFileW((folder + L"\\*").c_str(), &fd);
    if (f == INVALID_HANDLE_VALUE) return 0;
    do {
        if (!(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) ++n;
    } while (FindNextFileW(f, &fd));
    FindClose(f);
    return n;
}

}  // namespace vxtest
