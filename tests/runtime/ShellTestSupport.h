#pragma once
// A client that records the context-menu, pop-up and download calls and
// answers as a test tells it, plus drivers for the modal UI (the popup menu
// and the save dialog) that run on a thread of their own while the UI
// thread sits in the modal loop.

#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "RuntimeTestSupport.h"

namespace vxtest {

struct MenuItemSeen {
    int type;
    int id;
    std::wstring label;
    bool enabled;
};

struct ContextSeen {
    int flags = 0;
    std::string link, source, selection;
    int media = 0;
    bool editable = false;
    std::vector<MenuItemSeen> items;  // the model as the runtime built it
};

struct DownloadSeen {
    std::string url, name, mime;
    long long total = 0, received = 0;
    bool complete = false, canceled = false, inProgress = false;
    std::wstring path;
};

class ShellClient : public CefClient,
                    public CefContextMenuHandler,
                    public CefLifeSpanHandler,
                    public CefLoadHandler,
                    public CefDownloadHandler {
public:
    CefRefPtr<CefContextMenuHandler> GetContextMenuHandler() override { return this; }
    CefRefPtr<CefLifeSpanHandler> GetLifeSpanHandler() override { return this; }
    CefRefPtr<CefLoadHandler> GetLoadHandler() override { return this; }
    CefRefPtr<CefDownloadHandler> GetDownloadHandler() override { return this; }

    void OnBeforeContextMenu(CefRefPtr<CefBrowser> browser, CefRefPtr<CefFrame> frame,
                             CefRefPtr<CefContextMenuParams> params, CefRefPtr<CefMenuModel> model) override;
    bool OnContextMenuCommand(CefRefPtr<CefBrowser> browser, CefRefPtr<CefFrame> frame,
                              CefRefPtr<CefContextMenuParams> params, int command_id, EventFlags event_flags) override;
    void OnContextMenuDismissed(CefRefPtr<CefBrowser> browser, CefRefPtr<CefFrame> frame) override { ++dismissed; }

    bool OnBeforePopup(CefRefPtr<CefBrowser> browser, CefRefPtr<CefFrame> frame, const CefString& target_url,
                       const CefString& target_frame_name, const CefPopupFeatures& popupFeatures,
                       CefWindowInfo& windowInfo, CefRefPtr<CefClient>& client, CefBrowserSettings& settings,
                       bool* no_javascript_access) override;
    void OnAfterCreated(CefRefPtr<CefBrowser> b) override { browsers.push_back(b); }
    void OnBeforeClose(CefRefPtr<CefBrowser> b) override { ++closed; }

    void OnLoadEnd(CefRefPtr<CefBrowser> b, CefRefPtr<CefFrame> f, int status) override
    {
        if (f->IsMain()) loadEnds.push_back(f->GetURL().ToString());
    }
    void OnLoadError(CefRefPtr<CefBrowser> b, CefRefPtr<CefFrame> f, ErrorCode code, const CefString& text,
                     const CefString& url) override
    {
        if (f->IsMain()) loadErrors.push_back(code);
    }

    void OnBeforeDownload(CefRefPtr<CefBrowser> browser, CefRefPtr<CefDownloadItem> item,
                          const CefString& suggested_name, CefRefPtr<CefBeforeDownloadCallback> callback) override;
    void OnDownloadUpdated(CefRefPtr<CefBrowser> browser, CefRefPtr<CefDownloadItem> item,
                           CefRefPtr<CefDownloadItemCallback> callback) override;

    // Answers.
    std::function<void(CefRefPtr<CefContextMenuParams>, CefRefPtr<CefMenuModel>)> rewriteMenu;
    std::function<bool(int)> handleCommand = [](int) { return false; };
    bool cancelPopups = true;
    std::function<void(CefRefPtr<CefBeforeDownloadCallback>)> answerDownload;

    // Records.
    std::vector<ContextSeen> contexts;
    std::vector<int> commands;
    int dismissed = 0;
    std::vector<std::pair<std::string, std::string>> popups;  // address, name
    std::vector<CefRefPtr<CefBrowser>> browsers;
    int closed = 0;
    std::vector<std::string> loadEnds;
    std::vector<int> loadErrors;
    std::vector<DownloadSeen> beforeDownloads;
    std::vector<DownloadSeen> updates;

    IMPLEMENT_REFCOUNTING(ShellClient);
};

// Waits on a thread of its own for a visible popup menu of this process,
// notes its items, then presses Down `downs` times and Enter, or Escape when
// downs < 0.
class MenuDriver {
public:
    explicit MenuDriver(int downs);
    ~MenuDriver();
    bool Done() const { return m_done; }
    bool Appeared() const { return m_appeared; }
    // The shown menu's items (id 0 for separators) and labels.
    std::vector<std::pair<int, std::wstring>> shown;

private:
    std::thread m_thread;
    std::atomic<bool> m_done{false}, m_appeared{false};
};

// Waits for the save dialog, reads its proposed file name, then types
// `path` and confirms, or cancels when path is empty.
class SaveDialogDriver {
public:
    explicit SaveDialogDriver(const std::wstring& path);
    // The path to type is chosen from the proposed name.
    explicit SaveDialogDriver(const std::function<std::wstring(const std::wstring& proposed)>& choose);
    ~SaveDialogDriver();
    bool Done() const { return m_done; }
    // The dialog did not accept the typed path and had to be cancelled.
    bool Refused() const { return m_refused; }
    std::wstring proposed;

private:
    std::thread m_thread;
    std::atomic<bool> m_done{false}, m_refused{false};
};

// Page targets the engine has open, asked of the running runtime.
int PageTargetCount();
// Top-level windows of the browser window class (pop-up browsers).
int TopLevelBrowserWindows();
std::string ReadWholeFile(const std::wstring& path);
bool FileExists(const std::wstring& path);
// Files in a folder (not recursing).
int FilesIn(const std::wstring& folder);

}  // namespace vxtest
