#pragma once
// The browser engine's profile folder (cookies, cache, local storage).
//
// An engine refuses a profile folder that another engine has open: it
// aborts at once. So each running instance of the program claims a folder
// for the whole run by holding its lock file open without sharing: the
// first instance gets "Cache" beside the executable, a second one running at
// the same time "Cache.2", and so on. A folder is only ever used by one
// engine at a time, so its cookies stay sound, and the same slot is reused
// by later runs, so they persist. The lock goes with the process however it
// ends, so a killed instance never blocks its folder.
//
// When the executable's folder is read-only, the folders are made under the
// user's local application data instead, so the page still shows.

#include <windows.h>

#include <string>

namespace Vornex {

class ProfileFolder {
public:
    static constexpr int kMaxInstances = 16;

    ProfileFolder() = default;
    ~ProfileFolder();
    ProfileFolder(const ProfileFolder&) = delete;
    ProfileFolder& operator=(const ProfileFolder&) = delete;

    // Claims the first free folder under `appDir` (then under the local
    // application data folder). Without any, Path() is appDir + "Cache",
    // unclaimed, and false is returned.
    bool Claim(const std::wstring& appDir);

    // Without a trailing backslash.
    const std::wstring& Path() const { return m_path; }
    bool IsClaimed() const { return m_lock != INVALID_HANDLE_VALUE; }

private:
    bool ClaimUnder(const std::wstring& base);
    bool TryFolder(const std::wstring& folder);

    std::wstring m_path;
    HANDLE m_lock = INVALID_HANDLE_VALUE;
};

}  // namespace Vornex
