// CMarkup::LoadFromFile lives apart from the parser so that programs which
// parse markup from memory do not pull in the archive reader.
#include "ui/markup/Markup.h"

#include "ui/markup/SkinResourceReader.h"

#include <vector>

namespace SkinUI {

bool CMarkup::LoadFromFile(LPCTSTR name, int encoding)
{
    Release();
    std::vector<unsigned char> bytes;
    switch (ReadSkinFile(name, kMaxDocumentBytes, bytes)) {
    case SkinReadResult::Ok:
        return LoadFromMem(bytes.data(), static_cast<DWORD>(bytes.size()), encoding);
    case SkinReadResult::ArchiveUnavailable:
        SetError(L"Error opening zip file");
        return false;
    case SkinReadResult::EntryNotFound:
        SetError(L"Could not find ziped file");
        return false;
    case SkinReadResult::Empty:
        SetError(L"File is empty");
        return false;
    case SkinReadResult::TooLarge:
        SetError(L"File too large");
        return false;
    case SkinReadResult::UnzipFailed:
        SetError(L"Could not unzip file");
        return false;
    case SkinReadResult::OpenFailed:
        SetError(L"Error opening file");
        return false;
    case SkinReadResult::ReadFailed:
    default:
        SetError(L"Could not read file");
        return false;
    }
}

}  // namespace SkinUI
