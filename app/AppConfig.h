#pragma once
// Config.ini beside the executable: section "App", key "exit" (default 1;
// 0 closes the main window without asking). Never the current directory.

#include <string>

namespace Vornex {

// The folder of the running executable, up to and including its last
// backslash.
std::wstring ExecutableFolder();
// The configuration file in `appDir`.
std::wstring ConfigPath(const std::wstring& appDir);
// The exit-prompt setting of `appDir`'s Config.ini; 1 when the file, the
// section or the key is missing or unreadable.
int ReadExitPrompt(const std::wstring& appDir);
// Where a new Config.ini is written before it replaces the old one.
std::wstring PendingConfigPath(const std::wstring& appDir);
// Stores "do not ask again" (exit=0), keeping the rest of the file. False,
// and the file as it was, when it cannot be written.
bool WriteNoExitPrompt(const std::wstring& appDir);

}  // namespace Vornex
