// Windows side of the platform header: kernel32 does the work.
#include "ui/base/Platform.h"
#include "ui/base/Utf8Decoder.h"

#include "ui/base/KernelHandle.h"

#include <cstdlib>

namespace SkinUI {
namespace Platform {

void* AllocateLargeBuffer(size_t bytes) { return std::malloc(bytes); }

std::wstring MultiByteToWide(const char* bytes, size_t length, unsigned codePage)
{
    if (bytes == nullptr || length == 0 || length > 0x7fffffff) return std::wstring();
    // UTF-8 goes through the core's own decoder, so that malformed input
    // reads the same here, natively and in markup documents.
    if (codePage == CP_UTF8) return Utf8ToWide(bytes, length);
    const UINT cp = codePage == 0 ? CP_ACP : codePage;
    const int n = ::MultiByteToWideChar(cp, 0, bytes, static_cast<int>(length), nullptr, 0);
    if (n <= 0) return std::wstring();
    std::wstring out(static_cast<size_t>(n), L'\0');
    ::MultiByteToWideChar(cp, 0, bytes, static_cast<int>(length), &out[0], n);
    return out;
}

std::string WideToMultiByte(const wchar_t* text, size_t length, unsigned codePage)
{
    if (text == nullptr || length == 0 || length > 0x7fffffff) return std::string();
    const UINT cp = codePage == 0 ? CP_ACP : codePage;
    const int n = ::WideCharToMultiByte(cp, 0, text, static_cast<int>(length), nullptr, 0, nullptr, nullptr);
    if (n <= 0) return std::string();
    std::string out(static_cast<size_t>(n), '\0');
    ::WideCharToMultiByte(cp, 0, text, static_cast<int>(length), &out[0], n, nullptr, nullptr);
    return out;
}

ReadResult ReadWholeFile(const wchar_t* path, std::vector<unsigned char>& out, size_t maxBytes)
{
    out.clear();
    const KernelHandle file(
        ::CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return ReadResult::NotFound;
    LARGE_INTEGER size;
    if (!::GetFileSizeEx(file, &size)) return ReadResult::ReadError;
    if (size.QuadPart < 0 || static_cast<unsigned long long>(size.QuadPart) > maxBytes) return ReadResult::TooLarge;
    out.resize(static_cast<size_t>(size.QuadPart));
    DWORD done = 0;
    if (!out.empty() &&
        (!::ReadFile(file, out.data(), static_cast<DWORD>(out.size()), &done, nullptr) || done != out.size())) {
        out.clear();
        return ReadResult::ReadError;
    }
    return ReadResult::Ok;
}

int FormatWideV(wchar_t* buffer, int capacity, const wchar_t* format, va_list args)
{
    if (buffer == nullptr || capacity <= 0) return 0;
    // wvsprintfW takes no buffer size and writes up to 1024 units with the
    // terminator, so format into a full-size buffer and cut to the caller's
    // capacity: a short buffer (SmallFormat) is never overrun.
    wchar_t full[1025];
    full[0] = L'\0';
    ::wvsprintfW(full, format == nullptr ? L"" : format, args);
    full[1024] = L'\0';
    int written = static_cast<int>(::wcslen(full));
    if (written > capacity - 1) written = capacity - 1;
    ::memcpy(buffer, full, written * sizeof(wchar_t));
    buffer[written] = L'\0';
    return written;
}

bool ReadOnlyFile::Open(const wchar_t* path)
{
    Close();
    if (path == nullptr) return false;
    KernelHandle file(
        ::CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return false;
    LARGE_INTEGER size;
    if (!::GetFileSizeEx(file, &size) || size.QuadPart < 0) return false;
    m_handle = file.Release();
    m_size = static_cast<unsigned long long>(size.QuadPart);
    return true;
}

void ReadOnlyFile::Close()
{
    // The handle is kept untyped in the portable header; ownership returns
    // to a KernelHandle just long enough to close it.
    const KernelHandle closing(static_cast<HANDLE>(m_handle));
    m_handle = nullptr;
    m_size = 0;
}

bool ReadOnlyFile::ReadAt(unsigned long long offset, void* buffer, size_t length)
{
    if (m_handle == nullptr) return false;
    if (offset > m_size || length > m_size - offset) return false;
    unsigned char* out = static_cast<unsigned char*>(buffer);
    while (length > 0) {
        // ReadFile takes a 32-bit count; the OVERLAPPED offset makes each
        // read positioned, independent of the handle's file pointer.
        const DWORD piece = length > 0x40000000u ? 0x40000000u : static_cast<DWORD>(length);
        OVERLAPPED at = {};
        at.Offset = static_cast<DWORD>(offset & 0xffffffffu);
        at.OffsetHigh = static_cast<DWORD>(offset >> 32);
        DWORD done = 0;
        if (!::ReadFile(static_cast<HANDLE>(m_handle), out, piece, &done, &at) || done != piece) return false;
        out += piece;
        offset += piece;
        length -= piece;
    }
    return true;
}

BOOL UnionRects(RECT* dst, const RECT* a, const RECT* b) { return ::UnionRect(dst, a, b); }

}  // namespace Platform
}  // namespace SkinUI
