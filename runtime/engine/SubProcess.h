#pragma once
// Roles of the program's own sub-processes (command lines with --type=).

#include <windows.h>

#include <string>

namespace vxrt {

// The role named by --type= on the command line; empty in the browser
// process.
std::wstring ProcessRole(const wchar_t* commandLine);
// Value of --name=value on the command line, or empty.
std::wstring SwitchValue(const wchar_t* commandLine, const wchar_t* name);
// Runs the role and returns the process exit code; 1 for an unknown role.
int RunSubProcess(const std::wstring& role, const wchar_t* commandLine);
// Command-line switches that start the watchdog of a browser process.
std::wstring WatchdogArguments(DWORD parentPid, HANDLE parentHandle, unsigned short port, const std::string& path);

}  // namespace vxrt
