#pragma once
// Read-only ZIP archive over a file or a caller-owned memory block.
//
// The skin archive normally comes from the executable's own resources, but
// the same reader opens archive files named by a skin, so every structure in
// the archive is treated as untrusted: offsets, sizes and counts are checked
// against the source before they are used.

#include "ui/base/Platform.h"

#include <memory>
#include <vector>

namespace SkinUI {

// Result codes of FindEntry and ExtractToMemory. Only ZIP_RESULT_OK and
// ZIP_RESULT_MORE (the buffer is full; more data may follow) mean success.
enum : unsigned {
    ZIP_RESULT_OK = 0,
    ZIP_RESULT_MORE = 0x600,
    ZIP_RESULT_NOT_FOUND = 0x601,      // no entry has the wanted name
    ZIP_RESULT_BAD_ARGUMENT = 0x602,   // null or over-long name, null buffer
    ZIP_RESULT_BAD_INDEX = 0x603,      // index outside the central directory
    ZIP_RESULT_READ_ERROR = 0x604,     // the source could not be read
    ZIP_RESULT_CORRUPT = 0x605,        // headers disagree or point outside the entry's bytes
    ZIP_RESULT_UNSUPPORTED = 0x606,    // encrypted, or neither stored nor deflated
    ZIP_RESULT_INFLATE_ERROR = 0x607,  // the deflate stream is damaged
    ZIP_RESULT_CRC_MISMATCH = 0x608,   // the whole entry was read and its CRC-32 differs
};

struct ZipEntryInfo {
    int index;                      // position in the central directory
    wchar_t name[260];              // entry name, at most 259 characters
    DWORD attributes;               // external file attributes (low word)
    unsigned long long accessTime;  // FILETIME-style values (100 ns since 1601)
    unsigned long long creationTime;
    unsigned long long modificationTime;
    long compressedSize;
    long uncompressedSize;
};

class ZipArchive {
public:
    // Null when the source cannot be opened or is not a readable single-disk
    // ZIP archive. A memory block is not copied and must outlive the archive.
    static std::unique_ptr<ZipArchive> OpenFile(LPCTSTR path);
    static std::unique_ptr<ZipArchive> OpenMemory(const void* data, size_t length);

    ~ZipArchive();  // closes the source
    ZipArchive(const ZipArchive&) = delete;
    ZipArchive& operator=(const ZipArchive&) = delete;

    unsigned FindEntry(LPCTSTR name, int& index, ZipEntryInfo& info, bool ignoreCase = true);
    // Fills `buffer` from the start of the entry. When the buffer holds the
    // whole entry, its CRC-32 is checked against the central record and a
    // mismatch fails; a shorter buffer gets ZIP_RESULT_MORE unchecked.
    unsigned ExtractToMemory(int index, void* buffer, size_t capacity);

private:
    struct EntryLocation;
    class Source;
    class MemorySource;
    class FileSource;

    explicit ZipArchive(std::unique_ptr<Source> source);

    static std::unique_ptr<ZipArchive> Open(std::unique_ptr<Source> source);
    bool ReadDirectory();
    unsigned LocateEntry(int index, EntryLocation& where);
    void FillInfo(int index, const EntryLocation& where, ZipEntryInfo& info) const;
    unsigned CopyStored(const EntryLocation& where, unsigned char* out, size_t capacity);
    unsigned Inflate(const EntryLocation& where, unsigned char* out, size_t capacity);

    std::unique_ptr<Source> m_source;
    unsigned long long m_prefix = 0;                // bytes in front of the archive (a stub)
    unsigned long long m_directoryStart = 0;        // absolute position of the central directory
    std::vector<unsigned char> m_directory;         // the central directory, read once
    std::vector<size_t> m_records;                  // offset of each central record in m_directory
    std::vector<unsigned long long> m_localStarts;  // absolute local header positions, sorted
    std::vector<unsigned char> m_input;             // compressed input piece
    unsigned long m_crc = 0;                        // CRC-32 of the output of the last extraction
};

}  // namespace SkinUI
