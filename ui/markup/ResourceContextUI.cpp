// The portable side of the process-wide resource context: the skin folder
// and the skin archive.
#include "ui/markup/ResourceContextUI.h"

#include "ui/markup/ZipArchive.h"

#include <cwchar>
#include <string>

namespace SkinUI {

const wchar_t CResourceContextUI::kMemoryArchiveName[] = L"membuffer";

HINSTANCE CResourceContextUI::m_hInstance = nullptr;
HINSTANCE CResourceContextUI::m_hResourceInstance = nullptr;
wchar_t CResourceContextUI::m_szResDirPath[CResourceContextUI::kMaxPath] = {0};
wchar_t CResourceContextUI::m_szResZipPath[CResourceContextUI::kMaxPath] = {0};
bool CResourceContextUI::m_bCachedResourceZip = false;
std::unique_ptr<ZipArchive> CResourceContextUI::m_hResourceZip;

namespace {

// Copies `text` when it fits with its terminator; otherwise leaves `dst` as
// it was, since a cut path would name a different place.
bool CopyWhole(wchar_t* dst, size_t capacity, const wchar_t* text)
{
    const size_t length = std::wcslen(text);
    if (length + 1 > capacity) return false;
    std::wmemcpy(dst, text, length + 1);
    return true;
}

}  // namespace

void CResourceContextUI::SetResourcePath(LPCTSTR path)
{
    if (path == nullptr || path[0] == L'\0') return;
    std::wstring folder(path);
    if (folder.back() != L'\\') folder.push_back(L'\\');
    CopyWhole(m_szResDirPath, kMaxPath, folder.c_str());
}

LPCTSTR CResourceContextUI::GetResourcePath() { return m_szResDirPath; }

void CResourceContextUI::SetResourceZip(LPCTSTR name, bool cached)
{
    if (std::wcscmp(m_szResZipPath, kMemoryArchiveName) == 0 && cached == m_bCachedResourceZip) return;
    if (m_bCachedResourceZip) m_hResourceZip.reset();
    if (name == nullptr) name = L"";
    if (!CopyWhole(m_szResZipPath, kMaxPath, name)) m_szResZipPath[0] = L'\0';
    m_bCachedResourceZip = cached;
    if (cached && m_szResZipPath[0] != L'\0') {
        const std::wstring path = std::wstring(m_szResDirPath) + m_szResZipPath;
        m_hResourceZip = ZipArchive::OpenFile(path.c_str());
    }
}

void CResourceContextUI::SetResourceZip(LPCVOID buffer, unsigned size)
{
    if (std::wcscmp(m_szResZipPath, kMemoryArchiveName) == 0) return;
    if (m_bCachedResourceZip) m_hResourceZip.reset();
    CopyWhole(m_szResZipPath, kMaxPath, kMemoryArchiveName);
    m_bCachedResourceZip = true;
    m_hResourceZip = buffer != nullptr ? ZipArchive::OpenMemory(buffer, size) : nullptr;
}

LPCTSTR CResourceContextUI::GetResourceZip() { return m_szResZipPath; }

bool CResourceContextUI::IsCachedResourceZip() { return m_bCachedResourceZip; }

ZipArchive* CResourceContextUI::GetResourceZipHandle() { return m_hResourceZip.get(); }

void CResourceContextUI::Term()
{
    if (m_bCachedResourceZip) m_hResourceZip.reset();
}

void CResourceContextUI::ResetResourceContext()
{
    m_hResourceZip.reset();
    m_hInstance = nullptr;
    m_hResourceInstance = nullptr;
    m_szResDirPath[0] = L'\0';
    m_szResZipPath[0] = L'\0';
    m_bCachedResourceZip = false;
}

}  // namespace SkinUI
