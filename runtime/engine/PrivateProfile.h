#pragma once
// The engine's profile when the program gives no cache path: a folder of its
// own under %TEMP% that nothing else ever opens and nothing outlives. It is
// removed at shutdown; a run that was killed leaves it behind, and the next
// start removes it. Each folder holds a lock file its run keeps open without
// sharing, so a folder whose lock can be deleted belongs to a run that has
// ended, and one whose lock cannot belongs to a run still going.

#include <windows.h>

#include <string>

namespace vxrt {

class PrivateProfile {
public:
    PrivateProfile() = default;
    ~PrivateProfile() { Remove(); }
    PrivateProfile(const PrivateProfile&) = delete;
    PrivateProfile& operator=(const PrivateProfile&) = delete;

    // Removes the folders of ended runs, then makes a new folder (a name no
    // earlier run had, so an id reused by the system never finds one's
    // cookies) and locks it. False when no folder could be made.
    bool Create();
    const std::wstring& Folder() const { return m_folder; }
    // Deletes the folder with everything in it; call once the engine that
    // used it has ended.
    void Remove();

    // Folder names start with this, in the temporary folder.
    static const wchar_t kPrefix[];
    static void RemoveAbandoned(const std::wstring& tempDir);

private:
    std::wstring m_folder;
    HANDLE m_lock = INVALID_HANDLE_VALUE;
};

// Deletes a folder and everything below it; false when anything is left.
bool RemoveTree(const std::wstring& folder);

}  // namespace vxrt
