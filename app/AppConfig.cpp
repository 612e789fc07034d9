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

bool WriteNoExitPrompt(const std::wstring& appDir)
{
    return ::WritePrivateProfileStringW(kSection, kExitKey, L"0", ConfigPath(appDir).c_str()) != FALSE;
}

}  // namespace Vornex
