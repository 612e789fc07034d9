#include "app/ProfileFolder.h"

#include <shlobj.h>

namespace Vornex {

namespace {

constexpr const wchar_t* kLockName = L"\\Vornex.lock";

std::wstring LocalAppDataFolder()
{
    wchar_t path[MAX_PATH] = {};
    if (FAILED(::SHGetFolderPathW(nullptr, CSIDL_LOCAL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, path))) return {};
    return std::wstring(path) + L"\\Vornex\\";
}

}  // namespace

ProfileFolder::~ProfileFolder()
{
    if (m_lock != INVALID_HANDLE_VALUE) ::CloseHandle(m_lock);
}

bool ProfileFolder::Claim(const std::wstring& appDir)
{
    if (ClaimUnder(appDir)) return true;
    const std::wstring fallback = LocalAppDataFolder();
    if (!fallback.empty() && ClaimUnder(fallback)) return true;
    m_path = appDir + L"Cache";
    return false;
}

bool ProfileFolder::ClaimUnder(const std::wstring& base)
{
    for (int slot = 1; slot <= kMaxInstances; ++slot) {
        std::wstring folder = base + L"Cache";
        if (slot > 1) folder += L"." + std::to_wstring(slot);
        if (TryFolder(folder)) return true;
        // A folder that cannot even be created means this base is unusable.
        if (::GetFileAttributesW(folder.c_str()) == INVALID_FILE_ATTRIBUTES) return false;
    }
    return false;
}

bool ProfileFolder::TryFolder(const std::wstring& folder)
{
    // Creates missing parents too; an existing folder is fine.
    ::SHCreateDirectoryExW(nullptr, folder.c_str(), nullptr);
    const std::wstring lockPath = folder + kLockName;
    // No sharing: a second open of the same lock fails while this one lives.
    HANDLE lock = ::CreateFileW(lockPath.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS,
                                FILE_ATTRIBUTE_HIDDEN, nullptr);
    if (lock == INVALID_HANDLE_VALUE) return false;
    m_lock = lock;
    m_path = folder;
    return true;
}

}  // namespace Vornex
