#pragma once
// Read-only ZIP archive over a file or a caller-owned memory block.
//
// The skin archive normally comes from the executable's own resources, but
// the same reader opens archive files named by a skin, so every structure in
// the archive is treated as untrusted: offsets, sizes and counts are checked
// against the source before they are used.

#include "ui/core/Platform.h"

namespace SkinUI {

// Result codes of FindEntry and ExtractToMemory. Only ZIP_RESULT_OK and
// ZIP_RESULT_MORE (the buffer is full; more data may follow) mean success.
enum : unsigned {
    ZIP_RESULT_OK = 0,
    ZIP_RESULT_MORE = 0x600,
};

struct ZipEntryInfo {
    int index;                       // position in the central directory
    wchar_t name[260];               // entry name, at most 259 characters
    DWORD attributes;                // external file attributes (low word)
    unsigned long long accessTime;   // FILETIME-style values (100 ns since 1601)
    unsigned long long creationTime;
    unsigned long long modificationTime;
    long compressedSize;
    long uncompressedSize;
};

class ZipArchive {
public:
    // Null when the source cannot be opened or is not a readable single-disk
    // ZIP archive. A memory block is not copied and must outlive the archive.
    static ZipArchive* OpenFile(LPCTSTR path);
    static ZipArchive* OpenMemory(const void* data, size_t length);

    unsigned FindEntry(LPCTSTR name, int& index, ZipEntryInfo& info, bool ignoreCase = true);
    unsigned ExtractToMemory(int index, void* buffer, size_t capacity);

    // Closes the source and deletes the archive object.
    void Close();

    // (implementation members are private)
};

} // namespace SkinUI
