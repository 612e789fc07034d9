#pragma once
// Where the bytes behind a skin file name come from, as configured in the
// resource context of CResourceContextUI: the skin archive when one is named,
// otherwise the skin folder.

#include "ui/base/Platform.h"

#include <cstddef>
#include <vector>

namespace SkinUI {

enum class SkinReadResult {
    Ok,
    ArchiveUnavailable,  // an archive is named but cannot be opened
    EntryNotFound,       // the archive has no entry of that name
    Empty,               // the entry or file has no bytes
    TooLarge,            // larger than the caller's limit
    UnzipFailed,         // the entry could not be extracted
    OpenFailed,          // the file in the skin folder cannot be opened
    ReadFailed,          // the file could not be read completely
};

// Reads the skin file `name` into `out`: from the archive when an archive
// name is set (matching the entry name without regard to ASCII letter case,
// with backslashes taken as slashes; the skin folder is then not consulted),
// otherwise from skin folder + `name`. Anything larger than `maxBytes` is
// refused before it is read. `out` is emptied on failure.
SkinReadResult ReadSkinFile(LPCTSTR name, size_t maxBytes, std::vector<unsigned char>& out);

// Image files are far smaller than this; the bound only keeps a damaged
// archive entry or a stray huge file from claiming the address space.
const size_t kMaxSkinImageBytes = 64u * 1024u * 1024u;

// The bytes of a skin image, for the image decoders. `nameOrId` is a name,
// or a resource id below 0x10000 carried as a pointer value (Windows
// resource ids). With `type` given, the resource (`nameOrId`, `type`) of
// CResourceContextUI::GetResourceDll() is read (Windows only). Otherwise the
// skin file is read as ReadSkinFile does (up to kMaxSkinImageBytes). When
// either yields nothing (missing, empty, unreadable), a name is finally
// opened as a path of its own. False, with `out` empty, when no source has
// the bytes.
bool LoadSkinImageBytes(LPCTSTR nameOrId, LPCTSTR type, std::vector<unsigned char>& out);

// True when `nameOrId` carries a resource id rather than a name.
inline bool IsSkinResourceId(LPCTSTR nameOrId) { return reinterpret_cast<uintptr_t>(nameOrId) < 0x10000; }

#ifdef _WIN32
// Copies the resource (`nameOrId`, `type`) of CResourceContextUI::GetResourceDll().
// False, with `out` empty, when there is no such resource or it has no bytes.
bool ReadSkinResource(LPCTSTR nameOrId, LPCTSTR type, std::vector<unsigned char>& out);
#endif

}  // namespace SkinUI
