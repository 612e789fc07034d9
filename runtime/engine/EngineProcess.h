#pragma once
// Starts and ends the headless browser engine. Under Wine the engine is a
// Linux program: it runs under a small shell guard that ends it as soon as
// no process holds this program's life token open any more, so a killed
// program never leaves an engine behind. On Windows the engine runs in a
// job object that dies with the program.

#include <atomic>
#include <windows.h>

#include <string>

namespace vxrt {

struct EngineOptions {
    std::wstring enginePath;  // empty: the usual places
    std::wstring profileDir;  // user data folder (Windows path)
    bool logging = false;
    std::wstring logFile;
};

class EngineProcess {
public:
    EngineProcess();
    ~EngineProcess();
    EngineProcess(const EngineProcess&) = delete;
    EngineProcess& operator=(const EngineProcess&) = delete;

    // Starts the engine and waits until its DevTools endpoint is announced.
    bool Start(const EngineOptions& options, DWORD timeoutMs);
    unsigned short Port() const { return m_port; }
    const std::string& BrowserPath() const { return m_browserPath; }
    // Waits for the engine to exit by itself; then, or after the timeout,
    // ends whatever is left of it.
    void Stop(DWORD graceMs);
    // Any thread: a Start still waiting for the endpoint gives up at once.
    void Cancel() { m_cancelled = true; }

    static bool RunningUnderWine();
    // The engine executable to use (Windows path), or empty when none.
    static std::wstring FindEngine(const std::wstring& configured);
    // Quotes one argument for a Windows command line.
    static std::wstring QuoteArg(const std::wstring& arg);

private:
    bool StartUnderWine(const EngineOptions& options, const std::wstring& engine, const std::wstring& args);
    bool StartNative(const std::wstring& engine, const std::wstring& args);
    bool ReadActivePort(const std::wstring& file, DWORD timeoutMs);

    std::atomic<bool> m_cancelled{false};
    unsigned short m_port;
    std::string m_browserPath;
    HANDLE m_token;                // life token held open while the program runs (Wine)
    std::wstring m_runningMarker;  // exists while the engine runs (Wine)
    HANDLE m_job;                  // Windows: job that ends the engine with us
    HANDLE m_process;              // Windows: the engine process
};

// Unix path of a Windows path under Wine; empty elsewhere or on failure.
std::string UnixPathOf(const std::wstring& windowsPath);

}  // namespace vxrt
