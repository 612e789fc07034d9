#include "app/AppConfig.h"

#include <windows.h>

namespace Vornex {

namespace {

constexpr const wchar_t* kSection = L"App";
constexpr const wchar_t* kExitKey = L"exit";

}  // namespace

std::wstring ExecutableFolder()
{
    wchar_t path[MAX_PATH] = {};
    const DWORD length = ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder(path, length < MAX_PATH ? length : MAX_PATH - 1);
    const size_t slash = folder.find_last_of(L'\\');
    folder.resize(slash == std::wstring::npos ? 0 : slash + 1);
    return folder;
}

std::wstring ConfigPath(const std::wstring& appDir) { return appDir + L"Config.ini"; }

int ReadExitPrompt(const std::wstring& appDir)
{
    return static_cast<int>(::GetPrivateProfileIntW(kSection, kExitKey, 1, ConfigPath(appDir).c_str()));
}

std::wstring PendingConfigPath(const std::wstring& appDir) { return ConfigPath(appDir) + L".new"; }

bool WriteNoExitPrompt(const std::wstring& appDir)
{
    // The setting is written into a copy that then replaces the file in one
    // step: a program killed while writing leaves the old file or the new
    // one, never half of one.
    const std::wstring path = ConfigPath(appDir), pending = PendingConfigPath(appDir);
    if (!::CopyFileW(path.c_str(), pending.c_str(), FALSE)) {
        if (::GetLastError() != ERROR_FILE_NOT_FOUND) return false;
        ::DeleteFileW(pending.c_str());  // no file yet: the copy starts empty
    }
    const bool written =
        ::WritePrivateProfileStringW(kSection, kExitKey, L"0", pending.c_str()) != FALSE &&
        ::MoveFileExW(pending.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != FALSE;
    if (!written) ::DeleteFileW(pending.c_str());
    return written;
}

}  // namespace Vornex
