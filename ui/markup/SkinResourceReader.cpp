#include "ui/markup/SkinResourceReader.h"

#include "ui/markup/ResourceContextUI.h"
#include "ui/markup/ZipArchive.h"

#include <cwchar>
#include <memory>
#include <string>

namespace SkinUI {
namespace {

SkinReadResult ReadFromArchive(LPCTSTR name, size_t maxBytes, std::vector<unsigned char>& out)
{
    // A cached archive stays open for the process; otherwise the archive is
    // opened for this read only and closed on every path.
    std::unique_ptr<ZipArchive> owned;
    ZipArchive* archive = nullptr;
    if (CResourceContextUI::IsCachedResourceZip()) {
        archive = CResourceContextUI::GetResourceZipHandle();
    } else {
        const std::wstring path =
            std::wstring(CResourceContextUI::GetResourcePath()) + CResourceContextUI::GetResourceZip();
        owned = ZipArchive::OpenFile(path.c_str());
        archive = owned.get();
    }
    if (archive == nullptr) return SkinReadResult::ArchiveUnavailable;

    int index = -1;
    ZipEntryInfo info = {};
    if (archive->FindEntry(name, index, info, true) != ZIP_RESULT_OK) return SkinReadResult::EntryNotFound;
    if (info.uncompressedSize <= 0) return SkinReadResult::Empty;
    if (static_cast<unsigned long>(info.uncompressedSize) > maxBytes) return SkinReadResult::TooLarge;
    out.resize(static_cast<size_t>(info.uncompressedSize));
    const unsigned result = archive->ExtractToMemory(index, out.data(), out.size());
    if (result != ZIP_RESULT_OK && result != ZIP_RESULT_MORE) {
        out.clear();
        return SkinReadResult::UnzipFailed;
    }
    return SkinReadResult::Ok;
}

SkinReadResult ReadFromFolder(LPCTSTR name, size_t maxBytes, std::vector<unsigned char>& out)
{
    const std::wstring path = std::wstring(CResourceContextUI::GetResourcePath()) + name;
    switch (Platform::ReadWholeFile(path.c_str(), out, maxBytes)) {
    case Platform::ReadResult::Ok:
        return out.empty() ? SkinReadResult::Empty : SkinReadResult::Ok;
    case Platform::ReadResult::NotFound:
        return SkinReadResult::OpenFailed;
    case Platform::ReadResult::TooLarge:
        return SkinReadResult::TooLarge;
    case Platform::ReadResult::ReadError:
    default:
        return SkinReadResult::ReadFailed;
    }
}

}  // namespace

SkinReadResult ReadSkinFile(LPCTSTR name, size_t maxBytes, std::vector<unsigned char>& out)
{
    out.clear();
    if (name == nullptr) name = L"";
    const SkinReadResult result = CResourceContextUI::GetResourceZip()[0] != L'\0'
                                      ? ReadFromArchive(name, maxBytes, out)
                                      : ReadFromFolder(name, maxBytes, out);
    if (result != SkinReadResult::Ok) out.clear();
    return result;
}

bool LoadSkinImageBytes(LPCTSTR nameOrId, LPCTSTR type, std::vector<unsigned char>& out)
{
    out.clear();
    if (type != nullptr) {
        // A typed image is a module resource; the skin archive and folder
        // are not consulted for it.
#ifdef _WIN32
        if (ReadSkinResource(nameOrId, type, out)) return true;
#endif
    } else if (!IsSkinResourceId(nameOrId)) {
        if (ReadSkinFile(nameOrId, kMaxSkinImageBytes, out) == SkinReadResult::Ok) return true;
    }
    // Last resort, whatever was asked first: the name as a path of its own
    // (absolute, or relative to the current directory), for images that
    // are not part of the skin. An id has no path.
    if (IsSkinResourceId(nameOrId)) return false;
    if (Platform::ReadWholeFile(nameOrId, out, kMaxSkinImageBytes) == Platform::ReadResult::Ok && !out.empty()) {
        return true;
    }
    out.clear();
    return false;
}

}  // namespace SkinUI
