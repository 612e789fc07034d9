#pragma once
// Process-wide values of the shell. They are written once on the UI thread
// before the main window exists (g_hMainWnd: when it is initialised) and
// read later on the UI thread only.

#include <windows.h>

#include <string>

namespace Vornex {

// Folder of the executable, with its trailing backslash.
extern std::wstring g_strAppDir;
// Non-zero: closing the main window asks first (key "exit" of Config.ini).
extern int g_nExitPrompt;
// The main window, for the exit dialog's confirmation.
extern HWND g_hMainWnd;

}  // namespace Vornex
