// Read-only ZIP reader over a file or a memory block.
//
// Every number read from the archive is untrusted. The reader never allocates
// from a declared size: the central directory is read once (its size is
// bounded by the bytes that really precede the end record), names and extra
// fields are at most 64 KiB each, and extraction writes only into the
// caller's buffer. Entry sizes are checked for plausibility before they are
// reported, because callers size their buffers from them.
#include "ui/markup/ZipArchive.h"

#include <zlib.h>

#include <algorithm>
#include <cstring>
#include <new>
#include <string>

namespace SkinUI {
namespace {

const DWORD kEndSignature = 0x06054b50;
const DWORD kCentralSignature = 0x02014b50;
const DWORD kLocalSignature = 0x04034b50;
const size_t kEndRecordSize = 22;
const size_t kCentralRecordSize = 46;
const size_t kLocalHeaderSize = 30;

// The end record sits within the last 65,535 bytes (its comment is at most
// 65,535 - 22 bytes long). The backwards scan reads windows that overlap by
// four bytes so a signature split across a window edge is still seen.
const unsigned long long kEndScanSpan = 65535;
const size_t kScanWindow = 1028;
const size_t kScanStep = 1024;

const size_t kInputPiece = 16384;

// Deflate cannot expand better than about 1032:1 (a 258-byte match costs at
// least two bits); a declared size beyond that is a lie meant to make the
// caller allocate.
const unsigned long long kMaxDeflateRatio = 1032;
const unsigned long long kDeflateSlack = 258;

const WORD kFlagEncrypted = 0x0001;
const WORD kFlagDataDescriptor = 0x0008;
const WORD kFlagStrongEncryption = 0x0040;
const WORD kFlagUtf8Names = 0x0800;

const WORD kMethodStored = 0;
const WORD kMethodDeflated = 8;

const WORD kExtraTimestamp = 0x5455;  // "UT"

const unsigned kUtf8CodePage = 65001;

WORD Read16(const unsigned char* p) { return static_cast<WORD>(p[0] | (p[1] << 8)); }

DWORD Read32(const unsigned char* p)
{
    return static_cast<DWORD>(p[0]) | (static_cast<DWORD>(p[1]) << 8) | (static_cast<DWORD>(p[2]) << 16) |
           (static_cast<DWORD>(p[3]) << 24);
}

// Days from 1970-01-01 to the given civil date (proleptic Gregorian).
long long DaysFromCivil(long long y, unsigned m, unsigned d)
{
    y -= m <= 2;
    const long long era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<long long>(doe) - 719468;
}

const unsigned long long kTicksPerSecond = 10000000ULL;
const long long kSecondsFrom1601To1970 = 11644473600LL;

unsigned long long TicksFromUnixSeconds(long long seconds)
{
    return static_cast<unsigned long long>(seconds + kSecondsFrom1601To1970) * kTicksPerSecond;
}

// DOS stamps carry no time zone; they are taken as they stand.
unsigned long long TicksFromDos(WORD date, WORD time)
{
    unsigned month = (date >> 5) & 0x0f;
    unsigned day = date & 0x1f;
    if (month < 1 || month > 12) month = 1;
    if (day < 1) day = 1;
    const long long days = DaysFromCivil(1980 + (date >> 9), month, day);
    const long long seconds =
        days * 86400 + ((time >> 11) & 0x1f) * 3600LL + ((time >> 5) & 0x3f) * 60LL + (time & 0x1f) * 2LL;
    return TicksFromUnixSeconds(seconds);
}

unsigned char FoldAscii(unsigned char c)
{
    return (c >= 'a' && c <= 'z') ? static_cast<unsigned char>(c - 'a' + 'A') : c;
}

bool NamesEqual(const unsigned char* stored, size_t storedLength, const std::string& wanted, bool ignoreCase)
{
    if (storedLength != wanted.size()) return false;
    const unsigned char* w = reinterpret_cast<const unsigned char*>(wanted.data());
    if (!ignoreCase) return std::memcmp(stored, w, storedLength) == 0;
    for (size_t i = 0; i < storedLength; ++i) {
        if (FoldAscii(stored[i]) != FoldAscii(w[i])) return false;
    }
    return true;
}

struct InflateStream {
    z_stream stream;
    bool ready = false;

    InflateStream()
    {
        std::memset(&stream, 0, sizeof(stream));
        // Negative window bits: ZIP entries hold raw deflate data, no zlib header.
        ready = inflateInit2(&stream, -MAX_WBITS) == Z_OK;
    }
    ~InflateStream()
    {
        if (ready) inflateEnd(&stream);
    }
    InflateStream(const InflateStream&) = delete;
    InflateStream& operator=(const InflateStream&) = delete;
};

}  // namespace

class ZipArchive::Source {
public:
    virtual ~Source() = default;
    virtual unsigned long long Size() const = 0;
    // Exactly `length` bytes at `offset`, or false; never reads past the end.
    virtual bool ReadAt(unsigned long long offset, void* buffer, size_t length) = 0;
};

class ZipArchive::MemorySource : public Source {
public:
    MemorySource(const void* data, size_t length) : m_data(static_cast<const unsigned char*>(data)), m_length(length) {}
    unsigned long long Size() const override { return m_length; }
    bool ReadAt(unsigned long long offset, void* buffer, size_t length) override
    {
        if (offset > m_length || length > m_length - offset) return false;
        if (length > 0) std::memcpy(buffer, m_data + offset, length);
        return true;
    }

private:
    const unsigned char* m_data;
    size_t m_length;
};

// Positioned reads on an open handle: the archive file is never loaded whole,
// so a large archive costs only its central directory and one input piece.
class ZipArchive::FileSource : public Source {
public:
    bool Open(LPCTSTR path) { return m_file.Open(path); }
    unsigned long long Size() const override { return m_file.Size(); }
    bool ReadAt(unsigned long long offset, void* buffer, size_t length) override
    {
        return m_file.ReadAt(offset, buffer, length);
    }

private:
    Platform::ReadOnlyFile m_file;
};

// What LocateEntry learns about one entry from its central record and its
// local header.
struct ZipArchive::EntryLocation {
    WORD flags = 0;
    WORD method = 0;
    WORD dosTime = 0;
    WORD dosDate = 0;
    DWORD crc = 0;
    DWORD compressedSize = 0;
    DWORD uncompressedSize = 0;
    DWORD externalAttributes = 0;
    const unsigned char* name = nullptr;
    size_t nameLength = 0;
    unsigned long long dataStart = 0;
    bool hasModificationTime = false;
    bool hasAccessTime = false;
    bool hasCreationTime = false;
    unsigned long long modificationTime = 0;
    unsigned long long accessTime = 0;
    unsigned long long creationTime = 0;
};

ZipArchive::ZipArchive(std::unique_ptr<Source> source) : m_source(std::move(source)) {}

ZipArchive::~ZipArchive() = default;

std::unique_ptr<ZipArchive> ZipArchive::OpenFile(LPCTSTR path)
{
    if (path == nullptr || *path == 0) return nullptr;
    std::unique_ptr<FileSource> source(new (std::nothrow) FileSource());
    if (source == nullptr || !source->Open(path)) return nullptr;
    return Open(std::move(source));
}

std::unique_ptr<ZipArchive> ZipArchive::OpenMemory(const void* data, size_t length)
{
    if (data == nullptr || length == 0) return nullptr;
    return Open(std::unique_ptr<Source>(new (std::nothrow) MemorySource(data, length)));
}

std::unique_ptr<ZipArchive> ZipArchive::Open(std::unique_ptr<Source> source)
{
    if (source == nullptr) return nullptr;
    std::unique_ptr<ZipArchive> archive(new (std::nothrow) ZipArchive(std::move(source)));
    if (archive == nullptr || !archive->ReadDirectory()) return nullptr;
    return archive;
}

bool ZipArchive::ReadDirectory()
{
    const unsigned long long size = m_source->Size();
    if (size < kEndRecordSize) return false;

    // Find the end record nearest the end of the source.
    const unsigned long long scanStart = size > kEndScanSpan ? size - kEndScanSpan : 0;
    unsigned char window[kScanWindow];
    unsigned long long endRecord = 0;
    bool found = false;
    for (unsigned long long windowEnd = size; !found && windowEnd > scanStart;) {
        const unsigned long long windowStart =
            windowEnd - scanStart > kScanWindow ? windowEnd - kScanWindow : scanStart;
        const size_t length = static_cast<size_t>(windowEnd - windowStart);
        if (!m_source->ReadAt(windowStart, window, length)) return false;
        for (size_t i = length >= 4 ? length - 4 + 1 : 0; i-- > 0;) {
            // A signature too close to the end to hold a whole record is
            // comment bytes, not the record.
            if (Read32(window + i) == kEndSignature && windowStart + i + kEndRecordSize <= size) {
                endRecord = windowStart + i;
                found = true;
                break;
            }
        }
        if (windowStart == scanStart) break;
        windowEnd = windowEnd - kScanStep > scanStart ? windowEnd - kScanStep : scanStart;
    }
    if (!found) return false;

    unsigned char end[kEndRecordSize];
    if (!m_source->ReadAt(endRecord, end, sizeof(end))) return false;
    const WORD thisDisk = Read16(end + 4);
    const WORD directoryDisk = Read16(end + 6);
    const WORD entriesOnDisk = Read16(end + 8);
    const WORD entries = Read16(end + 10);
    const DWORD directorySize = Read32(end + 12);
    const DWORD directoryOffset = Read32(end + 16);
    if (thisDisk != 0 || directoryDisk != 0 || entriesOnDisk != entries) return false;
    if (static_cast<unsigned long long>(directoryOffset) + directorySize > endRecord) return false;
    if (static_cast<unsigned long long>(entries) * kCentralRecordSize > directorySize) return false;

    // Whatever precedes the archive (a self-extracting stub) shifts every
    // stored offset by the same amount; the directory ends at the end record.
    m_prefix = endRecord - directoryOffset - directorySize;
    m_directoryStart = m_prefix + directoryOffset;

    try {
        m_directory.resize(directorySize);
        m_records.reserve(entries);
        m_localStarts.reserve(entries);
        m_input.resize(kInputPiece);
    } catch (const std::bad_alloc&) {
        return false;
    }
    if (directorySize > 0 && !m_source->ReadAt(m_directoryStart, m_directory.data(), directorySize)) return false;

    size_t position = 0;
    for (unsigned i = 0; i < entries; ++i) {
        if (directorySize - position < kCentralRecordSize) return false;
        const unsigned char* record = m_directory.data() + position;
        if (Read32(record) != kCentralSignature) return false;
        const size_t variable = static_cast<size_t>(Read16(record + 28)) + Read16(record + 30) + Read16(record + 32);
        if (directorySize - position - kCentralRecordSize < variable) return false;
        const DWORD localOffset = Read32(record + 42);
        // Entries live in front of the directory, never inside or after it.
        if (static_cast<unsigned long long>(localOffset) + kLocalHeaderSize > directoryOffset) return false;
        m_records.push_back(position);
        m_localStarts.push_back(m_prefix + localOffset);
        position += kCentralRecordSize + variable;
    }

    // Two records sharing one local header would let a small archive expand
    // the same data many times over; no honest writer produces that.
    std::sort(m_localStarts.begin(), m_localStarts.end());
    if (std::adjacent_find(m_localStarts.begin(), m_localStarts.end()) != m_localStarts.end()) return false;
    return true;
}

unsigned ZipArchive::LocateEntry(int index, EntryLocation& where)
{
    if (index < 0 || static_cast<size_t>(index) >= m_records.size()) return ZIP_RESULT_BAD_INDEX;
    const unsigned char* record = m_directory.data() + m_records[static_cast<size_t>(index)];
    where.flags = Read16(record + 8);
    where.method = Read16(record + 10);
    where.dosTime = Read16(record + 12);
    where.dosDate = Read16(record + 14);
    where.crc = Read32(record + 16);
    where.compressedSize = Read32(record + 20);
    where.uncompressedSize = Read32(record + 24);
    where.nameLength = Read16(record + 28);
    where.externalAttributes = Read32(record + 38);
    where.name = record + kCentralRecordSize;
    const unsigned long long localStart = m_prefix + Read32(record + 42);

    if (where.flags & (kFlagEncrypted | kFlagStrongEncryption)) return ZIP_RESULT_UNSUPPORTED;
    if (where.method != kMethodStored && where.method != kMethodDeflated) return ZIP_RESULT_UNSUPPORTED;
    // Sizes must fit the info record's `long` on every target.
    if (where.compressedSize > 0x7fffffffu || where.uncompressedSize > 0x7fffffffu) return ZIP_RESULT_CORRUPT;
    if (where.method == kMethodStored && where.compressedSize != where.uncompressedSize) return ZIP_RESULT_CORRUPT;
    if (where.method == kMethodDeflated &&
        where.uncompressedSize > where.compressedSize * kMaxDeflateRatio + kDeflateSlack) {
        return ZIP_RESULT_CORRUPT;
    }

    unsigned char local[kLocalHeaderSize];
    if (!m_source->ReadAt(localStart, local, sizeof(local))) return ZIP_RESULT_READ_ERROR;
    const WORD localFlags = Read16(local + 6);
    if (Read32(local) != kLocalSignature) return ZIP_RESULT_CORRUPT;
    if (Read16(local + 8) != where.method) return ZIP_RESULT_CORRUPT;
    if (localFlags & (kFlagEncrypted | kFlagStrongEncryption)) return ZIP_RESULT_UNSUPPORTED;
    if (!(localFlags & kFlagDataDescriptor) &&
        (Read32(local + 14) != where.crc || Read32(local + 18) != where.compressedSize ||
         Read32(local + 22) != where.uncompressedSize)) {
        return ZIP_RESULT_CORRUPT;
    }
    const size_t localNameLength = Read16(local + 26);
    const size_t localExtraLength = Read16(local + 28);
    if (localNameLength != where.nameLength) return ZIP_RESULT_CORRUPT;

    // The entry's bytes end where the next entry (or the directory) begins,
    // which keeps entries from sharing or overlapping data.
    const auto next = std::upper_bound(m_localStarts.begin(), m_localStarts.end(), localStart);
    const unsigned long long limit = next != m_localStarts.end() ? *next : m_directoryStart;
    where.dataStart = localStart + kLocalHeaderSize + localNameLength + localExtraLength;
    if (where.dataStart > limit || where.compressedSize > limit - where.dataStart) return ZIP_RESULT_CORRUPT;

    std::vector<unsigned char> variable;
    try {
        variable.resize(localNameLength + localExtraLength);
    } catch (const std::bad_alloc&) {
        return ZIP_RESULT_READ_ERROR;
    }
    if (!variable.empty() && !m_source->ReadAt(localStart + kLocalHeaderSize, variable.data(), variable.size())) {
        return ZIP_RESULT_READ_ERROR;
    }
    if (localNameLength > 0 && std::memcmp(variable.data(), where.name, localNameLength) != 0) {
        return ZIP_RESULT_CORRUPT;
    }

    // The extended timestamp lists modification, access and creation times
    // (seconds since 1970) in that order, each present when its flag bit is.
    const unsigned char* extra = variable.data() + localNameLength;
    for (size_t at = 0; localExtraLength - at >= 4;) {
        const WORD id = Read16(extra + at);
        const size_t length = Read16(extra + at + 2);
        if (localExtraLength - at - 4 < length) break;
        const unsigned char* data = extra + at + 4;
        if (id == kExtraTimestamp && length >= 1) {
            const unsigned char present = data[0];
            size_t field = 1;
            bool* has[3] = {&where.hasModificationTime, &where.hasAccessTime, &where.hasCreationTime};
            unsigned long long* value[3] = {&where.modificationTime, &where.accessTime, &where.creationTime};
            for (int bit = 0; bit < 3; ++bit) {
                if (!(present & (1 << bit))) continue;
                if (length - field < 4) break;
                *has[bit] = true;
                *value[bit] = TicksFromUnixSeconds(static_cast<int32_t>(Read32(data + field)));
                field += 4;
            }
            break;
        }
        at += 4 + length;
    }
    return ZIP_RESULT_OK;
}

void ZipArchive::FillInfo(int index, const EntryLocation& where, ZipEntryInfo& info) const
{
    info.index = index;
    const std::wstring name = Platform::MultiByteToWide(reinterpret_cast<const char*>(where.name), where.nameLength,
                                                        (where.flags & kFlagUtf8Names) ? kUtf8CodePage : 0);
    const size_t copied = std::min(name.size(), sizeof(info.name) / sizeof(info.name[0]) - 1);
    std::copy(name.begin(), name.begin() + static_cast<std::ptrdiff_t>(copied), info.name);
    info.name[copied] = 0;
    info.attributes = where.externalAttributes & 0xffff;
    const unsigned long long dosTime = TicksFromDos(where.dosDate, where.dosTime);
    info.modificationTime = where.hasModificationTime ? where.modificationTime : dosTime;
    info.accessTime = where.hasAccessTime ? where.accessTime : info.modificationTime;
    info.creationTime = where.hasCreationTime ? where.creationTime : info.modificationTime;
    info.compressedSize = static_cast<long>(where.compressedSize);
    info.uncompressedSize = static_cast<long>(where.uncompressedSize);
}

unsigned ZipArchive::FindEntry(LPCTSTR name, int& index, ZipEntryInfo& info, bool ignoreCase)
{
    index = -1;
    std::memset(&info, 0, sizeof(info));
    info.index = -1;
    if (name == nullptr || *name == 0) return ZIP_RESULT_BAD_ARGUMENT;

    // Backslashes become slashes before the conversion: in double-byte code
    // pages a trail byte may equal the backslash and must stay as it is.
    std::wstring wanted(name);
    std::replace(wanted.begin(), wanted.end(), L'\\', L'/');
    const std::string ansi = Platform::WideToMultiByte(wanted.data(), wanted.size(), 0);
    if (ansi.empty() || ansi.size() > 255) return ZIP_RESULT_BAD_ARGUMENT;
    // Entries flagged as UTF-8 store their names in UTF-8, whatever the
    // system's code page; they are compared with the name in that form.
    std::string utf8;
    bool utf8Ready = false;

    for (size_t i = 0; i < m_records.size(); ++i) {
        const unsigned char* record = m_directory.data() + m_records[i];
        const WORD flags = Read16(record + 8);
        const std::string* form = &ansi;
        if (flags & kFlagUtf8Names) {
            if (!utf8Ready) {
                utf8 = Platform::WideToMultiByte(wanted.data(), wanted.size(), kUtf8CodePage);
                utf8Ready = true;
            }
            form = &utf8;
        }
        if (!NamesEqual(record + kCentralRecordSize, Read16(record + 28), *form, ignoreCase)) continue;

        EntryLocation where;
        const unsigned result = LocateEntry(static_cast<int>(i), where);
        if (result != ZIP_RESULT_OK) return result;
        FillInfo(static_cast<int>(i), where, info);
        index = static_cast<int>(i);
        return ZIP_RESULT_OK;
    }
    return ZIP_RESULT_NOT_FOUND;
}

unsigned ZipArchive::ExtractToMemory(int index, void* buffer, size_t capacity)
{
    if (buffer == nullptr && capacity > 0) return ZIP_RESULT_BAD_ARGUMENT;
    EntryLocation where;
    const unsigned result = LocateEntry(index, where);
    if (result != ZIP_RESULT_OK) return result;
    // Every call reads the entry from its start, so extracting the same entry
    // twice through a kept archive gives the same bytes both times.
    m_crc = crc32(0L, Z_NULL, 0);
    unsigned char* out = static_cast<unsigned char*>(buffer);
    return where.method == kMethodStored ? CopyStored(where, out, capacity) : Inflate(where, out, capacity);
}

unsigned ZipArchive::CopyStored(const EntryLocation& where, unsigned char* out, size_t capacity)
{
    const size_t total = std::min<size_t>(capacity, where.uncompressedSize);
    for (size_t produced = 0; produced < total;) {
        const size_t piece = std::min(kInputPiece, total - produced);
        if (!m_source->ReadAt(where.dataStart + produced, out + produced, piece)) return ZIP_RESULT_READ_ERROR;
        m_crc = crc32(m_crc, out + produced, static_cast<uInt>(piece));
        produced += piece;
    }
    if (total < where.uncompressedSize) return ZIP_RESULT_MORE;
    // The headers can agree with each other and still place the data wrongly
    // (a damaged extra-field length shifts it); only the CRC tells.
    if (m_crc != where.crc) return ZIP_RESULT_CRC_MISMATCH;
    return capacity > 0 && total == capacity ? ZIP_RESULT_MORE : ZIP_RESULT_OK;
}

unsigned ZipArchive::Inflate(const EntryLocation& where, unsigned char* out, size_t capacity)
{
    InflateStream inflater;
    if (!inflater.ready) return ZIP_RESULT_INFLATE_ERROR;
    z_stream& stream = inflater.stream;

    unsigned long long inputAt = where.dataStart;
    size_t inputLeft = where.compressedSize;
    size_t produced = 0;
    // Once the whole entry is out and the caller's buffer is full, the stream
    // is read on into this byte to its end, so that the CRC can be checked
    // and any output beyond the declared size is seen.
    unsigned char beyond = 0;
    for (;;) {
        unsigned char* target = &beyond;
        size_t room = 1;
        if (produced < capacity) {
            target = out + produced;
            room = std::min<size_t>(capacity - produced, 0x40000000u);
        } else if (produced < where.uncompressedSize) {
            return ZIP_RESULT_MORE;
        }
        if (stream.avail_in == 0 && inputLeft > 0) {
            const size_t piece = std::min(kInputPiece, inputLeft);
            if (!m_source->ReadAt(inputAt, m_input.data(), piece)) return ZIP_RESULT_READ_ERROR;
            stream.next_in = m_input.data();
            stream.avail_in = static_cast<uInt>(piece);
            inputAt += piece;
            inputLeft -= piece;
        }
        stream.next_out = target;
        stream.avail_out = static_cast<uInt>(room);
        const int status = inflate(&stream, Z_NO_FLUSH);
        const size_t wrote = room - stream.avail_out;
        produced += wrote;
        // The data may not say more than the headers declared.
        if (produced > where.uncompressedSize) return ZIP_RESULT_CORRUPT;
        if (wrote > 0) m_crc = crc32(m_crc, target, static_cast<uInt>(wrote));
        if (status == Z_STREAM_END) {
            if (produced != where.uncompressedSize) return ZIP_RESULT_CORRUPT;
            if (m_crc != where.crc) return ZIP_RESULT_CRC_MISMATCH;
            return capacity > 0 && produced == capacity ? ZIP_RESULT_MORE : ZIP_RESULT_OK;
        }
        if (status == Z_OK) continue;
        if (status == Z_BUF_ERROR && stream.avail_in == 0) {
            if (inputLeft == 0) return ZIP_RESULT_CORRUPT;  // the stream stops short
            continue;
        }
        return ZIP_RESULT_INFLATE_ERROR;
    }
}

}  // namespace SkinUI
