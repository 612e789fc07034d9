#include "ui/render/ImageBytes.h"

#include "ui/core/PaintManagerUI.h"
#include "ui/core/ZipArchive.h"

#include <cstring>
#include <limits>

namespace SkinUI {

namespace {

bool ReadResource(STRINGorID name, LPCTSTR type, std::vector<unsigned char>& out)
{
    HINSTANCE module = CPaintManagerUI::GetResourceDll();
    HRSRC resource = ::FindResourceW(module, name.m_lpstr, type);
    if (!resource) return false;
    DWORD size = ::SizeofResource(module, resource);
    HGLOBAL loaded = ::LoadResource(module, resource);
    if (!loaded || size == 0) return false;
    const void* bytes = ::LockResource(loaded);
    if (!bytes) return false;
    out.assign(static_cast<const unsigned char*>(bytes), static_cast<const unsigned char*>(bytes) + size);
    return true;
}

bool ReadArchiveEntry(LPCTSTR name, std::vector<unsigned char>& out)
{
    const bool cached = CPaintManagerUI::IsCachedResourceZip();
    ZipArchive* archive = nullptr;
    if (cached) {
        archive = CPaintManagerUI::GetResourceZipHandle();
    } else {
        CUiString path = CPaintManagerUI::GetResourcePath();
        path += CPaintManagerUI::GetResourceZip();
        archive = ZipArchive::OpenFile(path);
    }
    if (!archive) return false;

    bool ok = false;
    int index = -1;
    ZipEntryInfo info;
    if (archive->FindEntry(name, index, info, true) == ZIP_RESULT_OK && info.uncompressedSize > 0) {
        out.resize(static_cast<size_t>(info.uncompressedSize));
        unsigned result = archive->ExtractToMemory(index, out.data(), out.size());
        ok = result == ZIP_RESULT_OK || result == ZIP_RESULT_MORE;
    }
    if (!cached) archive->Close();
    if (!ok) out.clear();
    return ok;
}

bool ReadFile(LPCTSTR path, std::vector<unsigned char>& out)
{
    // Images have no size limit of their own; the decoder refuses oversized
    // dimensions, and a 32-bit process cannot hold more than this anyway.
    const size_t limit = static_cast<size_t>(std::numeric_limits<long>::max());
    if (Platform::ReadWholeFile(path, out, limit) != Platform::ReadResult::Ok) {
        out.clear();
        return false;
    }
    return !out.empty();
}

} // namespace

bool ReadImageBytes(STRINGorID name, LPCTSTR type, std::vector<unsigned char>& out)
{
    out.clear();
    if (!name.m_lpstr) return false;
    if (type && *type) {
        if (ReadResource(name, type, out)) return true;
        out.clear();
    } else if (!name.IsId()) {
        if (!CUiString(CPaintManagerUI::GetResourceZip()).IsEmpty()) {
            if (ReadArchiveEntry(name.m_lpstr, out)) return true;
        } else {
            CUiString path = CPaintManagerUI::GetResourcePath();
            path += name.m_lpstr;
            if (ReadFile(path, out)) return true;
        }
    }
    if (name.IsId()) return false;
    return ReadFile(name.m_lpstr, out);
}

} // namespace SkinUI
