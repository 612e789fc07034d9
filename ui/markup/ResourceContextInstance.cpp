// The Windows side of the resource context: module instance, resource
// module, current directory and resource lookup.
#include "ui/markup/ResourceContextUI.h"
#include "ui/markup/SkinResourceReader.h"

#include <cstring>

namespace SkinUI {

void CResourceContextUI::SetInstance(HINSTANCE instance) { m_hInstance = instance; }

HINSTANCE CResourceContextUI::GetInstance() { return m_hInstance; }

CUiString CResourceContextUI::GetInstancePath()
{
    if (m_hInstance == nullptr) return CUiString();
    // Module paths can exceed MAX_PATH; grow until the whole path fits.
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = ::GetModuleFileNameW(m_hInstance, &path[0], static_cast<DWORD>(path.size()));
        if (n == 0) return CUiString();
        if (n < path.size()) {
            path.resize(n);
            break;
        }
        if (path.size() >= 32768) return CUiString();
        path.resize(path.size() * 2);
    }
    const size_t slash = path.rfind(L'\\');
    if (slash == std::wstring::npos) return CUiString();
    return CUiString(path.c_str(), static_cast<int>(slash + 1));
}

void CResourceContextUI::SetCurrentPath(LPCTSTR path)
{
    if (path != nullptr) ::SetCurrentDirectoryW(path);
}

void CResourceContextUI::SetResourceDll(HINSTANCE module) { m_hResourceInstance = module; }

HINSTANCE CResourceContextUI::GetResourceDll()
{
    return m_hResourceInstance != nullptr ? m_hResourceInstance : m_hInstance;
}

bool ReadSkinResource(LPCTSTR nameOrId, LPCTSTR type, std::vector<unsigned char>& out)
{
    out.clear();
    if (type == nullptr) return false;
    HMODULE module = CResourceContextUI::GetResourceDll();
    HRSRC resource = ::FindResourceW(module, nameOrId, type);
    if (resource == nullptr) return false;
    const DWORD size = ::SizeofResource(module, resource);
    HGLOBAL loaded = ::LoadResource(module, resource);
    if (loaded == nullptr || size == 0) return false;
    // Resource memory belongs to the module image; nothing to free.
    const void* bytes = ::LockResource(loaded);
    if (bytes == nullptr) return false;
    out.assign(static_cast<const unsigned char*>(bytes), static_cast<const unsigned char*>(bytes) + size);
    return true;
}

}  // namespace SkinUI
