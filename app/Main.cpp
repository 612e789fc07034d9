// The program's entry point. The same executable is also every sub-process
// the browser runtime starts: those end in cef_execute_process with the
// runtime's code before anything of the program is touched.

#include "app/AppConfig.h"
#include "app/AppGlobals.h"
#include "app/FeedThread.h"
#include "app/MainWnd.h"
#include "app/ProfileFolder.h"
#include "browser/CefAppEx.h"
#include "runtime/CefRuntimeApi.h"
#include "runtime/CefString.h"
#include "ui/window/WndShadow.h"

#include <objbase.h>

#include <cstring>

namespace {

using namespace Vornex;

// Runtime settings: everything zero (the runtime's defaults, its message
// loop on this thread), then the size, no log, and the profile folder.
class RuntimeSettings {
public:
    explicit RuntimeSettings(const std::wstring& cachePath)
    {
        std::memset(&m_settings, 0, sizeof(m_settings));
        m_settings.size = sizeof(m_settings);
        m_settings.log_severity = LOGSEVERITY_DISABLE;
        cef_string_set(cachePath.c_str(), cachePath.size(), &m_settings.cache_path, 1);
    }
    ~RuntimeSettings() { cef_string_clear(&m_settings.cache_path); }
    RuntimeSettings(const RuntimeSettings&) = delete;
    RuntimeSettings& operator=(const RuntimeSettings&) = delete;

    const cef_settings_t* get() const { return &m_settings; }

private:
    cef_settings_t m_settings;
};

class ComApartment {
public:
    ComApartment() { ::CoInitialize(nullptr); }
    ~ComApartment() { ::CoUninitialize(); }
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;
};

int RunBrowserProcess(HINSTANCE instance, const CefMainArgs& args, const CefRefPtr<CCefAppEx>& app)
{
    ComApartment com;
    g_strAppDir = ExecutableFolder();
    g_nExitPrompt = ReadExitPrompt(g_strAppDir);

    // Held for the whole run: the folder is this instance's alone.
    ProfileFolder profile;
    profile.Claim(g_strAppDir);
    RuntimeSettings settings(profile.Path());
    // Without a browser engine the window still comes up; its content
    // stays on the loading panel.
    cef_initialize(&args, settings.get(), app.get());

    SkinUI::CPaintManagerUI::SetInstance(instance);
    SkinUI::CWndShadow::Initialize(instance);

    auto* mainWnd = new CMainWnd;
    if (mainWnd->Create(nullptr, L"Vornex短网址", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0) == nullptr) {
        delete mainWnd;
        cef_shutdown();
        return 1;
    }
    mainWnd->CenterWindow();
    StartFeedThread(mainWnd->GetHWND());
    mainWnd->ShowWindow(true, true);

    cef_run_message_loop();
    cef_shutdown();
    return 0;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int)
{
    CefRefPtr<CCefAppEx> app(new CCefAppEx);
    CefMainArgs args(instance);
    const int subprocessCode = cef_execute_process(&args, app.get());
    if (subprocessCode >= 0) return subprocessCode;
    return RunBrowserProcess(instance, args, app);
}
