#pragma once

#include <string>

namespace vxtest {

// A folder of the test's own under the system's temporary folder, made
// empty and removed with everything in it when the object goes. Named after
// the test and this process, so tests running side by side never share one.
class TempFolder {
public:
    explicit TempFolder(const wchar_t* name);
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    // The folder's path, with a trailing backslash.
    const std::wstring& Path() const { return m_path; }
    // Writes `bytes` into the file `name` in the folder; whether it worked.
    bool Write(const std::wstring& name, const std::string& bytes) const;

private:
    std::wstring m_path;
};

}  // namespace vxtest
