// The runtime against a DevTools endpoint that misbehaves (fake_devtools.py):
// malformed, mistyped, out-of-order, truncated and oversized messages and a
// dropped connection. The runtime goes on where it can, reports a lost
// connection as a failed main-frame load (ERR_CONNECTION_CLOSED), and never
// hangs or crashes.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "RuntimeTestSupport.h"
#include "runtime/EngineProcess.h"

using namespace vxtest;

namespace {

// Starts the fake endpoint for one scenario; returns its port or 0.
int StartFakeEndpoint(const char* scenario)
{
    std::wstring dir = UniqueTempDir(L"vxrt-fake");
    std::wstring portFile = dir + L"\\port";
    std::string unixPort = UnixPath(portFile);
    std::wstring cmd = L"python3 " + vxrt::EngineProcess::QuoteArg(VXRT_FAKE_DEVTOOLS_W) + L" " +
                       vxrt::EngineProcess::QuoteArg(cef_string_from_utf8_std(unixPort.c_str(), unixPort.size())) +
                       L" " + CefString(scenario).ToWString();
    std::vector<wchar_t> buf(cmd.begin(), cmd.end());
    buf.push_back(0);
    STARTUPINFOW si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    if (!CreateProcessW(L"Z:\\usr\\bin\\python3", buf.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
        return 0;
    CloseHandle(pi.hProcess);
    CloseHandle(pi.hThread);
    DWORD start = GetTickCount();
    while (GetTickCount() - start < 15000) {
        HANDLE h = CreateFileW(portFile.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
        if (h != INVALID_HANDLE_VALUE) {
            char b[32] = {0};
            DWORD n = 0;
            ReadFile(h, b, 31, &n, nullptr);
            CloseHandle(h);
            if (atoi(b) > 0) return atoi(b);
        }
        Sleep(50);
    }
    return 0;
}

struct Scenario {
    const char* name;
    bool loadEnds;        // the valid load after the noise still arrives
    bool connectionLost;  // reported as a failed main-frame load
};

class DevToolsRobustnessTest : public testing::TestWithParam<Scenario> {};

TEST_P(DevToolsRobustnessTest, RuntimeSurvivesAndReports)
{
    const Scenario& s = GetParam();
    int port = StartFakeEndpoint(s.name);
    ASSERT_GT(port, 0);
    std::string endpoint = std::to_string(port) + "/devtools/browser/fake";
    SetEnvironmentVariableA("VXRT_DEVTOOLS_ENDPOINT", endpoint.c_str());
    std::unique_ptr<RuntimeSession> session(new RuntimeSession(UniqueTempDir(L"vxrt-fake-profile")));
    ASSERT_TRUE(session->ok);
    std::unique_ptr<HostWindow> host(new HostWindow(640, 480));
    CefRefPtr<RecordingClient> client = new RecordingClient;
    {
        RECT rc = {0, 0, 600, 400};
        CefRefPtr<CefBrowser> browser = CreateBrowser(host->Handle(), rc, client.get(), "http://fake/");
        ASSERT_TRUE(browser.get() != nullptr);
        if (s.loadEnds) {
            EXPECT_TRUE(PumpUntil([&] { return client->Has("LoadEnd"); }, 30000));
            // The noise before it produced no load of its own.
            int ends = 0;
            for (const auto& e : client->events) ends += e.name == "LoadEnd" ? 1 : 0;
            EXPECT_EQ(ends, 1);
        }
        if (s.connectionLost) {
            ASSERT_TRUE(PumpUntil([&] { return client->Has("LoadError"); }, 45000));
            EXPECT_EQ(client->Find("LoadError")->code, ERR_CONNECTION_CLOSED);
            // Calls on a browser whose engine is gone return at once.
            DWORD start = GetTickCount();
            browser->GetHost()->CloseBrowser(false);
            EXPECT_FALSE(browser->CanGoBack());
            EXPECT_LT(GetTickCount() - start, 2000u);
        } else {
            Sleep(500);
            PumpUntil([] { return false; }, 500);
            EXPECT_FALSE(client->Has("LoadError"));
        }
        client->browser = nullptr;
    }
    host.reset();
    // Shutting down must not wait out a dead or broken endpoint.
    DWORD start = GetTickCount();
    session.reset();
    EXPECT_LT(GetTickCount() - start, 15000u);
    SetEnvironmentVariableA("VXRT_DEVTOOLS_ENDPOINT", nullptr);
}

INSTANTIATE_TEST_SUITE_P(Scenarios, DevToolsRobustnessTest,
                         testing::Values(Scenario{"garbage", true, false}, Scenario{"disorder", true, false},
                                         Scenario{"truncated", false, true}, Scenario{"oversized", false, true},
                                         Scenario{"drop", false, true}),
                         [](const testing::TestParamInfo<Scenario>& info) { return std::string(info.param.name); });

}  // namespace

namespace {

// Process id of the engine's browser process for a profile (not its
// helpers, which carry --type=, nor the guard shell).
int EnginePid(const std::wstring& profile)
{
    const std::string needle = "--user-data-dir=" + UnixPath(profile);
    int pid = 0;
    ForEachLinuxProcess([&](int candidate, const std::string& text) {
        if (text.find(needle) != std::string::npos && text.find("vxrt-guard") == std::string::npos &&
            text.find("--type=") == std::string::npos)
            pid = candidate;
        return pid == 0;
    });
    return pid;
}

TEST(EngineLossTest, KilledEngineIsReportedAsAFailedLoadAndNothingHangs)
{
    PageServer server;
    ASSERT_TRUE(server.Start());
    std::wstring profile = UniqueTempDir(L"vxrt-killed");
    std::unique_ptr<RuntimeSession> session(new RuntimeSession(profile));
    ASSERT_TRUE(session->ok);
    std::unique_ptr<HostWindow> host(new HostWindow(640, 480));
    CefRefPtr<RecordingClient> client = new RecordingClient;
    RECT rc = {0, 0, 600, 400};
    CefRefPtr<CefBrowser> browser = CreateBrowser(host->Handle(), rc, client.get(), server.Url("/title"));
    ASSERT_TRUE(browser.get() != nullptr);
    ASSERT_TRUE(PumpUntil([&] { return client->Has("LoadEnd"); }, 30000));
    int pid = EnginePid(profile);
    ASSERT_GT(pid, 0);
    std::wstring cmd = L"kill -9 " + std::to_wstring(pid);
    std::vector<wchar_t> buf(cmd.begin(), cmd.end());
    buf.push_back(0);
    STARTUPINFOW si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    ASSERT_TRUE(CreateProcessW(L"Z:\\bin\\kill", buf.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi));
    CloseHandle(pi.hProcess);
    CloseHandle(pi.hThread);
    ASSERT_TRUE(PumpUntil([&] { return client->Has("LoadError"); }, 30000));
    EXPECT_EQ(client->Find("LoadError")->code, ERR_CONNECTION_CLOSED);
    // The window stays, showing the last picture, until its host closes.
    EXPECT_TRUE(IsWindow(browser->GetHost()->GetWindowHandle()));
    browser = nullptr;
    client->browser = nullptr;
    host.reset();
    DWORD start = GetTickCount();
    session.reset();
    EXPECT_LT(GetTickCount() - start, 15000u);
    EXPECT_TRUE(PumpUntil([&] { return EngineProcessCount(profile) == 0; }, 10000));
}

}  // namespace
