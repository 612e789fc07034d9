#include "tests/support/TempFolder.h"

#include <windows.h>

namespace vxtest {

namespace {

// Removes `folder` (trailing backslash) and what it holds.
void RemoveTree(const std::wstring& folder)
{
    WIN32_FIND_DATAW found;
    HANDLE search = ::FindFirstFileW((folder + L"*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            const std::wstring name = found.cFileName;
            if (name == L"." || name == L"..") continue;
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveTree(folder + name + L"\\");
            else
                ::DeleteFileW((folder + name).c_str());
        } while (::FindNextFileW(search, &found));
        ::FindClose(search);
    }
    ::RemoveDirectoryW(folder.c_str());
}

}  // namespace

TempFolder::TempFolder(const wchar_t* name)
{
    wchar_t temp[MAX_PATH];
    const DWORD n = ::GetTempPathW(MAX_PATH, temp);
    m_path = std::wstring(temp, n > 0 && n < MAX_PATH ? n : 0) + name + L"-" + std::to_wstring(::GetCurrentProcessId()) +
             L"\\";
    RemoveTree(m_path);  // left by a run that was killed
    ::CreateDirectoryW(m_path.c_str(), nullptr);
}

TempFolder::~TempFolder() { RemoveTree(m_path); }

bool TempFolder::Write(const std::wstring& name, const std::string& bytes) const
{
    HANDLE file = ::CreateFileW((m_path + name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    const bool ok = bytes.empty() || (::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written,
                                                  nullptr) &&
                                      written == bytes.size());
    ::CloseHandle(file);
    return ok;
}

}  // namespace vxtest
