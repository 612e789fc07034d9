#include "runtime/CefRuntimeApi.h"

#include "runtime/engine/BrowserImpl.h"
#include "runtime/engine/Runtime.h"
#include "runtime/engine/SubProcess.h"

namespace {

DWORD g_loopThread = 0;
bool g_quitBeforeRun = false;

bool HashMatches(const char* expected) { return expected && strcmp(expected, cef_api_hash(0)) == 0; }

}  // namespace

const char* cef_api_hash(int entry)
{
    // 0: the platform interface; 1: the universal one (same here); 2: the
    // commit of the runtime.
    switch (entry) {
    case 0:
    case 1:
        return CEF_API_HASH_PLATFORM;
    default:
        return "vornex-runtime";
    }
}

int cef_execute_process_checked(const cef_main_args_t* args, CefApp* application, const char* expected_hash)
{
    if (!HashMatches(expected_hash)) return 0;
    const wchar_t* cmd = GetCommandLineW();
    std::wstring role = vxrt::ProcessRole(cmd);
    if (role.empty()) return -1;
    return vxrt::RunSubProcess(role, cmd);
}

int cef_initialize_checked(const cef_main_args_t* args, const cef_settings_t* settings, CefApp* application,
                           const char* expected_hash)
{
    if (!HashMatches(expected_hash)) return 0;
    if (!settings || settings->size != sizeof(cef_settings_t)) return 0;
    // The message loop of this runtime always runs on the caller's thread.
    if (settings->multi_threaded_message_loop) return 0;
    if (!vxrt::ProcessRole(GetCommandLineW()).empty()) return 0;
    return vxrt::Runtime::Initialize(*settings, application) ? 1 : 0;
}

void cef_run_message_loop()
{
    g_loopThread = GetCurrentThreadId();
    if (g_quitBeforeRun) {
        g_quitBeforeRun = false;
        g_loopThread = 0;
        return;
    }
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    g_loopThread = 0;
}

void cef_quit_message_loop()
{
    if (g_loopThread == 0) {
        g_quitBeforeRun = true;
        return;
    }
    if (g_loopThread == GetCurrentThreadId())
        PostQuitMessage(0);
    else
        PostThreadMessageW(g_loopThread, WM_QUIT, 0, 0);
}

void cef_shutdown() { vxrt::Runtime::Shutdown(); }

CefRefPtr<CefBrowser> CefBrowserHost::CreateBrowserSync(const CefWindowInfo& windowInfo, CefRefPtr<CefClient> client,
                                                        const CefString& url, const CefBrowserSettings& settings,
                                                        CefRefPtr<CefRequestContext> request_context)
{
    vxrt::Runtime* rt = vxrt::Runtime::Get();
    if (!rt || !client || !rt->Ui().OnUiThread()) return nullptr;
    CefRefPtr<vxrt::BrowserImpl> browser = new vxrt::BrowserImpl(rt->NextBrowserId(), client);
    rt->AddBrowser(browser.get());
    if (!browser->Create(windowInfo, url)) {
        rt->RemoveBrowser(browser.get());
        return nullptr;
    }
    browser->MarkAnnounced();
    if (CefRefPtr<CefLifeSpanHandler> l = client->GetLifeSpanHandler()) l->OnAfterCreated(browser.get());
    return browser.get();
}
