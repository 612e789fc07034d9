#pragma once
// Entry points of the runtime, in the order a program calls them.

#include <string.h>

#include "runtime/CefApp.h"
#include "runtime/CefTypes.h"

// Hash of the interface this program is compiled against.
#define CEF_API_HASH_PLATFORM "vx3-2024-1f6c0e8a51d94b27"

// Hash of the interface the runtime implements (entry 0: the platform hash).
const char* cef_api_hash(int entry);

// The checked entry points behind the inline calls below; expected_hash is
// the hash the caller was built against. On a mismatch the runtime is left
// untouched: execute_process yields 0 and initialize yields 0 (false).
int cef_execute_process_checked(const cef_main_args_t* args, CefApp* application, const char* expected_hash);
int cef_initialize_checked(const cef_main_args_t* args, const cef_settings_t* settings, CefApp* application,
                           const char* expected_hash);

// In a sub-process (command line with --type=) runs its role and returns its
// exit code (>= 0); in the browser process returns -1 at once.
inline int cef_execute_process(const cef_main_args_t* args, CefApp* application, void* windows_sandbox_info = nullptr)
{
    return cef_execute_process_checked(args, application, CEF_API_HASH_PLATFORM);
}

// Starts the engine of the browser process. Returns 1 on success.
inline int cef_initialize(const cef_main_args_t* args, const cef_settings_t* settings, CefApp* application,
                          void* windows_sandbox_info = nullptr)
{
    return cef_initialize_checked(args, settings, application, CEF_API_HASH_PLATFORM);
}

// Pumps Win32 messages and runtime work on the calling thread until
// cef_quit_message_loop.
void cef_run_message_loop();
void cef_quit_message_loop();
// Closes every browser and ends the engine; waits until it has gone.
void cef_shutdown();

inline int CefExecuteProcess(const CefMainArgs& args, CefRefPtr<CefApp> application, void* sandbox = nullptr)
{
    return cef_execute_process(&args, application.get(), sandbox);
}
inline bool CefInitialize(const CefMainArgs& args, const cef_settings_t& settings, CefRefPtr<CefApp> application,
                          void* sandbox = nullptr)
{
    return cef_initialize(&args, &settings, application.get(), sandbox) != 0;
}
inline void CefRunMessageLoop() { cef_run_message_loop(); }
inline void CefQuitMessageLoop() { cef_quit_message_loop(); }
inline void CefShutdown() { cef_shutdown(); }
