#pragma once
// The one place where the portable core meets the operating system.
//
// On Windows this is <windows.h>. Elsewhere (the native build used for
// sanitizers, fuzzing and benchmarks) it supplies the handful of Win32 records
// and integer types the core's interfaces use, plus the few services that need
// the OS: code-page conversion and whole-file reading.

#include <cstdarg>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#else
typedef int BOOL;
typedef unsigned char BYTE;
typedef unsigned short WORD;
typedef uint32_t DWORD;
typedef int32_t LONG;
typedef uint32_t UINT;
typedef wchar_t WCHAR;
typedef const wchar_t* LPCWSTR;
typedef wchar_t* LPWSTR;
typedef const wchar_t* LPCTSTR;
typedef wchar_t* LPTSTR;
typedef wchar_t TCHAR;
typedef void* LPVOID;
typedef const void* LPCVOID;
typedef uint8_t* LPBYTE;
typedef intptr_t LPARAM;
typedef uintptr_t WPARAM;
typedef void* HINSTANCE;
typedef void* HANDLE;
#ifndef TRUE
#define TRUE 1
#define FALSE 0
#endif
#ifndef _T
#define _T(x) L##x
#endif
#ifndef __cdecl
#define __cdecl
#endif
struct RECT {
    LONG left, top, right, bottom;
};
struct SIZE {
    LONG cx, cy;
};
struct POINT {
    LONG x, y;
};
typedef RECT* LPRECT;
typedef const RECT* LPCRECT;
#define LOWORD(l) ((WORD)(((uintptr_t)(l)) & 0xffff))
#define HIWORD(l) ((WORD)((((uintptr_t)(l)) >> 16) & 0xffff))
#endif

namespace SkinUI {
namespace Platform {

// Converts bytes in the given code page to wide text. codePage 0 means the
// system's active ANSI code page (CP_ACP); 65001 is UTF-8. Invalid sequences
// become U+FFFD rather than failing; UTF-8 is read by the core's decoder
// (Utf8Decoder.h) on every platform, so it agrees with the markup reader.
std::wstring MultiByteToWide(const char* bytes, size_t length, unsigned codePage = 0);

// Converts wide text to bytes in the given code page (0: ANSI, 65001: UTF-8).
std::string WideToMultiByte(const wchar_t* text, size_t length, unsigned codePage = 0);

// Memory for a large buffer that is filled once, front to back (the decoded
// text of a document). Null when out of memory; release it with std::free.
void* AllocateLargeBuffer(size_t bytes);

#ifndef _WIN32
// Native only: whether AllocateLargeBuffer asks for huge pages for blocks of
// 32 MB and more (on unless switched off). Windows hands out plain heap
// blocks; the markup benchmark switches this off to measure that, and on to
// show both parsers with huge pages.
void SetLargeBufferHugePages(bool enabled);
#endif

// Reads a whole file. Fails (false, `out` emptied) when the file cannot be
// opened or read, or is larger than maxBytes.
enum class ReadResult {
    Ok,
    NotFound,
    TooLarge,
    ReadError
};
ReadResult ReadWholeFile(const wchar_t* path, std::vector<unsigned char>& out, size_t maxBytes);

// Formats by the Win32 wvsprintfW rules into `buffer` (capacity units,
// always terminated, output cut to capacity - 1 units). Returns the number
// of units written, without the terminator (at most 1023, the system
// function's limit).
int FormatWideV(wchar_t* buffer, int capacity, const wchar_t* format, va_list args);

// A file opened for reading (other readers may share it) that serves reads at
// any offset, so a large file is never loaded whole. Closed by the destructor.
class ReadOnlyFile {
public:
    ReadOnlyFile() = default;
    ~ReadOnlyFile() { Close(); }
    ReadOnlyFile(const ReadOnlyFile&) = delete;
    ReadOnlyFile& operator=(const ReadOnlyFile&) = delete;

    bool Open(const wchar_t* path);
    void Close();
    bool IsOpen() const { return m_handle != nullptr; }
    unsigned long long Size() const { return m_size; }
    // Reads exactly `length` bytes at `offset`; false on any error or short read.
    bool ReadAt(unsigned long long offset, void* buffer, size_t length);

private:
    void* m_handle = nullptr;  // HANDLE on Windows, FILE* elsewhere
    unsigned long long m_size = 0;
};

// Win32-compatible rectangle helpers (UnionRect, InflateRect semantics).
BOOL UnionRects(RECT* dst, const RECT* a, const RECT* b);

}  // namespace Platform
}  // namespace SkinUI
