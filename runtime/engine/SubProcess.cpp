#include "runtime/engine/SubProcess.h"

#include <winsock2.h>
#include <shellapi.h>

#include <nlohmann/json.hpp>

#include "runtime/CefString.h"
#include "runtime/engine/LoopbackSocket.h"
#include "runtime/engine/WebSocketClient.h"

namespace vxrt {

namespace {

// Whether anything may still listen on the engine's DevTools port: only a
// refused connection says no. Bounded, so that an engine which has stopped
// accepting for a while (busy, or ending) cannot hold the watchdog.
bool EngineListening(unsigned short port)
{
    bool refused = false;
    SOCKET s = ConnectLoopback(port, 2000, &refused);
    if (s != INVALID_SOCKET) closesocket(s);
    return !refused;
}

// The browser process to watch: the handle it passed down when it started
// us (immune to process-id reuse, which is quick under Wine), else by id.
HANDLE OpenParent(const wchar_t* commandLine, DWORD parentPid)
{
    const std::wstring handleText = SwitchValue(commandLine, L"parent-handle");
    if (!handleText.empty()) {
        HANDLE inherited = reinterpret_cast<HANDLE>(static_cast<uintptr_t>(wcstoul(handleText.c_str(), nullptr, 10)));
        if (WaitForSingleObject(inherited, 0) != WAIT_FAILED) return inherited;
    }
    return OpenProcess(SYNCHRONIZE, FALSE, parentPid);
}

// The watchdog outlives the browser process by design: when that process
// ends without shutting the engine down (killed, crashed), the watchdog
// asks the engine to close, so no engine is left behind. It also ends on
// its own as soon as the engine has gone, so it never lingers.
int RunWatchdog(const wchar_t* commandLine)
{
    DWORD parent = wcstoul(SwitchValue(commandLine, L"parent-pid").c_str(), nullptr, 10);
    long port = wcstol(SwitchValue(commandLine, L"devtools-port").c_str(), nullptr, 10);
    std::wstring wpath = SwitchValue(commandLine, L"devtools-path");
    std::string path = cef_string_to_utf8_std(wpath.data(), wpath.size());
    if (parent == 0 || port <= 0 || port > 65535 || path.compare(0, 10, "/devtools/") != 0) return 2;
    WSADATA wsa;
    if (WSAStartup(MAKEWORD(2, 2), &wsa) != 0) return 0;
    struct WinsockScope {
        ~WinsockScope() { WSACleanup(); }
    } winsock;
    HANDLE h = OpenParent(commandLine, parent);
    if (h) {
        while (WaitForSingleObject(h, 1000) == WAIT_TIMEOUT) {
            if (!EngineListening(static_cast<unsigned short>(port))) {
                CloseHandle(h);
                return 0;  // the engine ended first: nothing left to guard
            }
        }
        CloseHandle(h);
    }
    WebSocketClient ws;
    if (!ws.Connect(static_cast<unsigned short>(port), path, 3000)) return 0;  // engine already gone
    nlohmann::json msg = {{"id", 1}, {"method", "Browser.close"}, {"params", nlohmann::json::object()}};
    ws.SendText(msg.dump());
    std::string reply;
    DWORD start = GetTickCount();
    while (GetTickCount() - start < 5000)
        if (ws.Read(reply, 200) == WebSocketClient::ReadResult::Closed) break;
    return 0;
}

}  // namespace

std::wstring SwitchValue(const wchar_t* commandLine, const wchar_t* name)
{
    if (!commandLine) return std::wstring();
    int argc = 0;
    LPWSTR* argv = CommandLineToArgvW(commandLine, &argc);
    if (!argv) return std::wstring();
    std::wstring prefix = std::wstring(L"--") + name + L"=";
    std::wstring value;
    for (int i = 1; i < argc; ++i) {
        std::wstring a = argv[i];
        if (a.compare(0, prefix.size(), prefix) == 0) {
            value = a.substr(prefix.size());
            break;
        }
    }
    LocalFree(argv);
    return value;
}

std::wstring ProcessRole(const wchar_t* commandLine) { return SwitchValue(commandLine, L"type"); }

int RunSubProcess(const std::wstring& role, const wchar_t* commandLine)
{
    if (role == L"watchdog") return RunWatchdog(commandLine);
    return 1;
}

std::wstring WatchdogArguments(DWORD parentPid, HANDLE parentHandle, unsigned short port, const std::string& path)
{
    return L"--type=watchdog --parent-pid=" + std::to_wstring(parentPid) + L" --parent-handle=" +
           std::to_wstring(static_cast<unsigned long>(reinterpret_cast<uintptr_t>(parentHandle))) +
           L" --devtools-port=" + std::to_wstring(port) + L" --devtools-path=" +
           cef_string_from_utf8_std(path.data(), path.size());
}

}  // namespace vxrt
