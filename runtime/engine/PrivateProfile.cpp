#include "runtime/engine/PrivateProfile.h"

#include <random>
#include <vector>

#include "runtime/CefString.h"
#include "runtime/engine/EngineProcess.h"

namespace vxrt {

namespace {

const wchar_t kLockName[] = L"\\.vxrt-owner";

std::wstring TempDir()
{
    wchar_t tmp[MAX_PATH];
    DWORD n = GetTempPathW(MAX_PATH, tmp);
    if (n == 0 || n >= MAX_PATH) return std::wstring();
    std::wstring dir(tmp, n);
    while (!dir.empty() && (dir.back() == L'\\' || dir.back() == L'/')) dir.pop_back();
    return dir;
}

// An engine that was killed leaves dangling links in its profile (its
// singleton lock, socket and cookie), which Wine can neither read nor
// delete; the Linux side removes what is left.
bool RemoveTreeOnHost(const std::wstring& folder)
{
    if (!EngineProcess::RunningUnderWine()) return false;
    const std::string unixPath = UnixPathOf(folder);
    if (unixPath.empty() || unixPath == "/") return false;
    std::wstring cmd =
        L"/bin/rm -rf -- " + EngineProcess::QuoteArg(cef_string_from_utf8_std(unixPath.data(), unixPath.size()));
    std::vector<wchar_t> buf(cmd.begin(), cmd.end());
    buf.push_back(0);
    STARTUPINFOW si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    if (!CreateProcessW(L"Z:\\bin\\rm", buf.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, nullptr, &si,
                        &pi))
        return false;
    WaitForSingleObject(pi.hProcess, 10000);
    CloseHandle(pi.hProcess);
    CloseHandle(pi.hThread);
    return GetFileAttributesW(folder.c_str()) == INVALID_FILE_ATTRIBUTES;
}

bool RemoveFolder(const std::wstring& folder) { return RemoveTree(folder) || RemoveTreeOnHost(folder); }

}  // namespace

const wchar_t PrivateProfile::kPrefix[] = L"vxrt-private-";

bool RemoveTree(const std::wstring& folder)
{
    WIN32_FIND_DATAW fd;
    HANDLE f = FindFirstFileW((folder + L"\\*").c_str(), &fd);
    if (f != INVALID_HANDLE_VALUE) {
        do {
            const std::wstring name = fd.cFileName;
            if (name == L"." || name == L"..") continue;
            const std::wstring path = folder + L"\\" + name;
            // A link to elsewhere is removed, never followed.
            if ((fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) &&
                !(fd.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
                RemoveTree(path);
            } else {
                SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
                if (!DeleteFileW(path.c_str())) RemoveDirectoryW(path.c_str());
            }
        } while (FindNextFileW(f, &fd));
        FindClose(f);
    }
    return RemoveDirectoryW(folder.c_str()) != FALSE || GetFileAttributesW(folder.c_str()) == INVALID_FILE_ATTRIBUTES;
}

void PrivateProfile::RemoveAbandoned(const std::wstring& tempDir)
{
    WIN32_FIND_DATAW fd;
    HANDLE f = FindFirstFileW((tempDir + L"\\" + kPrefix + L"*").c_str(), &fd);
    if (f == INVALID_HANDLE_VALUE) return;
    do {
        if (!(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) continue;
        const std::wstring folder = tempDir + L"\\" + fd.cFileName;
        // A live run holds its lock open unshared: deleting it fails.
        const std::wstring lock = folder + kLockName;
        if (GetFileAttributesW(lock.c_str()) != INVALID_FILE_ATTRIBUTES && !DeleteFileW(lock.c_str())) continue;
        RemoveFolder(folder);
    } while (FindNextFileW(f, &fd));
    FindClose(f);
}

bool PrivateProfile::Create()
{
    Remove();
    const std::wstring temp = TempDir();
    if (temp.empty()) return false;
    RemoveAbandoned(temp);
    std::random_device rd;
    for (int attempt = 0; attempt < 16; ++attempt) {
        wchar_t name[96];
        wsprintfW(name, L"%s%lu-%08x%08x", kPrefix, GetCurrentProcessId(), static_cast<unsigned>(rd()),
                  static_cast<unsigned>(rd()));
        const std::wstring folder = temp + L"\\" + name;
        // Fails when the name exists: a folder is never shared with a run
        // that made it before.
        if (!CreateDirectoryW(folder.c_str(), nullptr)) continue;
        m_lock = CreateFileW((folder + kLockName).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_HIDDEN,
                             nullptr);
        if (m_lock == INVALID_HANDLE_VALUE) {
            RemoveTree(folder);
            return false;
        }
        m_folder = folder;
        return true;
    }
    return false;
}

void PrivateProfile::Remove()
{
    if (m_lock != INVALID_HANDLE_VALUE) {
        CloseHandle(m_lock);
        m_lock = INVALID_HANDLE_VALUE;
    }
    if (!m_folder.empty()) RemoveFolder(m_folder);
    m_folder.clear();
}

}  // namespace vxrt
