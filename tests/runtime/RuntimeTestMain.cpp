// Test programs of the runtime are also its sub-processes (the watchdog) and,
// for the test that kills a program, the program being killed.
#include <gtest/gtest.h>

#include "RuntimeTestSupport.h"
#include "runtime/engine/SubProcess.h"

namespace {

// A program that shows a page and waits to be killed.
int RunHoldingChild()
{
    std::wstring profile = vxrt::SwitchValue(GetCommandLineW(), L"vxrt-profile");
    std::wstring url = vxrt::SwitchValue(GetCommandLineW(), L"vxrt-url");
    CefSettings settings;
    settings.log_severity = LOGSEVERITY_DISABLE;
    cef_string_set(profile.c_str(), profile.size(), &settings.cache_path, 1);
    CefMainArgs args(GetModuleHandleW(nullptr));
    if (!cef_initialize(&args, &settings, nullptr)) return 3;
    vxtest::HostWindow host(640, 480);
    CefRefPtr<vxtest::RecordingClient> client = new vxtest::RecordingClient;
    RECT rc = {0, 0, 600, 400};
    vxtest::CreateBrowser(host.Handle(), rc, client.get(), CefString(url).ToString());
    cef_run_message_loop();
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    CefMainArgs args(GetModuleHandleW(nullptr));
    int code = cef_execute_process(&args, nullptr);
    if (code >= 0) return code;
    if (!vxrt::SwitchValue(GetCommandLineW(), L"vxrt-child").empty()) return RunHoldingChild();
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
