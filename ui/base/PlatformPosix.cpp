// Native (Linux) side of the platform header, for the portable core's tests,
// fuzzers and benchmarks. The "ANSI code page" here is UTF-8 unless a test
// selects 936 (GBK) or 1252, which iconv provides.
#include "ui/base/Platform.h"
#include "ui/base/Utf8Decoder.h"
#include "ui/base/WideFormat.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iconv.h>
#include <sys/mman.h>
#include <sys/stat.h>

namespace SkinUI {
namespace Platform {
namespace {

const char* CodePageName(unsigned codePage)
{
    switch (codePage) {
    case 936:
        return "GBK";
    case 1252:
        return "CP1252";
    case 0:
    case 65001:
    default:
        return "UTF-8";
    }
}

struct IconvHandle {
    iconv_t cd;
    IconvHandle(const char* to, const char* from) : cd(iconv_open(to, from)) {}
    ~IconvHandle()
    {
        if (cd != reinterpret_cast<iconv_t>(-1)) iconv_close(cd);
    }
    bool ok() const { return cd != reinterpret_cast<iconv_t>(-1); }
};

// Blocks this large are mapped afresh by the C library on every
// allocation, so a document loaded again faults every 4 KB page in again;
// in 2 MB pages that is a few dozen faults instead of thousands.
const size_t kHugePageBytes = size_t(2) << 20;
const size_t kHugePageThreshold = size_t(32) << 20;

bool g_hugePages = true;

}  // namespace

void SetLargeBufferHugePages(bool enabled) { g_hugePages = enabled; }

void* AllocateLargeBuffer(size_t bytes)
{
    if (!g_hugePages || bytes < kHugePageThreshold) return std::malloc(bytes);
    if (bytes > SIZE_MAX - kHugePageBytes) return nullptr;
    const size_t rounded = (bytes + kHugePageBytes - 1) & ~(kHugePageBytes - 1);
    void* block = nullptr;
    if (posix_memalign(&block, kHugePageBytes, rounded) != 0) return nullptr;
    // Only advice: without huge pages the buffer works the same, just slower.
    madvise(block, rounded, MADV_HUGEPAGE);
    return block;
}

std::wstring MultiByteToWide(const char* bytes, size_t length, unsigned codePage)
{
    std::wstring out;
    if (bytes == nullptr || length == 0) return out;
    // iconv's UTF-8 reader accepts forms above U+10FFFF; the core's own
    // decoder gives U+FFFD for them, as the markup reader does.
    if (std::strcmp(CodePageName(codePage), "UTF-8") == 0) return Utf8ToWide(bytes, length);
    IconvHandle conv("WCHAR_T", CodePageName(codePage));
    if (!conv.ok()) return out;
    char* in = const_cast<char*>(bytes);
    size_t inLeft = length;
    std::vector<wchar_t> buffer(length + 1);
    while (inLeft > 0) {
        char* outPtr = reinterpret_cast<char*>(buffer.data());
        size_t outLeft = buffer.size() * sizeof(wchar_t);
        size_t r = iconv(conv.cd, &in, &inLeft, &outPtr, &outLeft);
        out.append(buffer.data(), (buffer.size() * sizeof(wchar_t) - outLeft) / sizeof(wchar_t));
        if (r == static_cast<size_t>(-1) && errno != E2BIG) {
            // Invalid or truncated sequence: substitute and skip one byte.
            out.push_back(L'\xFFFD');
            ++in;
            --inLeft;
        }
    }
    return out;
}

std::string WideToMultiByte(const wchar_t* text, size_t length, unsigned codePage)
{
    std::string out;
    if (text == nullptr || length == 0) return out;
    IconvHandle conv(CodePageName(codePage), "WCHAR_T");
    if (!conv.ok()) return out;
    char* in = reinterpret_cast<char*>(const_cast<wchar_t*>(text));
    size_t inLeft = length * sizeof(wchar_t);
    std::vector<char> buffer(length * 4 + 4);
    while (inLeft > 0) {
        char* outPtr = buffer.data();
        size_t outLeft = buffer.size();
        size_t r = iconv(conv.cd, &in, &inLeft, &outPtr, &outLeft);
        out.append(buffer.data(), buffer.size() - outLeft);
        if (r == static_cast<size_t>(-1) && errno != E2BIG) {
            out.push_back('?');
            in += sizeof(wchar_t);
            inLeft -= sizeof(wchar_t);
        }
    }
    return out;
}

ReadResult ReadWholeFile(const wchar_t* path, std::vector<unsigned char>& out, size_t maxBytes)
{
    out.clear();
    if (path == nullptr) return ReadResult::NotFound;
    std::wstring wide(path);
    for (wchar_t& c : wide)
        if (c == L'\\') c = L'/';
    const std::string narrow = WideToMultiByte(wide.c_str(), wide.size(), 65001);
    FILE* f = std::fopen(narrow.c_str(), "rb");
    if (f == nullptr) return ReadResult::NotFound;
    struct Closer {
        FILE* f;
        ~Closer() { std::fclose(f); }
    } closer{f};
    struct stat st;
    if (fstat(fileno(f), &st) != 0) return ReadResult::ReadError;
    if (st.st_size < 0 || static_cast<unsigned long long>(st.st_size) > maxBytes) return ReadResult::TooLarge;
    out.resize(static_cast<size_t>(st.st_size));
    if (!out.empty() && std::fread(out.data(), 1, out.size(), f) != out.size()) {
        out.clear();
        return ReadResult::ReadError;
    }
    return ReadResult::Ok;
}

int FormatWideV(wchar_t* buffer, int capacity, const wchar_t* format, va_list args)
{
    return WideFormatV(buffer, capacity, format, args);
}

bool ReadOnlyFile::Open(const wchar_t* path)
{
    Close();
    if (path == nullptr) return false;
    std::wstring wide(path);
    for (wchar_t& c : wide)
        if (c == L'\\') c = L'/';
    const std::string narrow = WideToMultiByte(wide.c_str(), wide.size(), 65001);
    FILE* f = std::fopen(narrow.c_str(), "rb");
    if (f == nullptr) return false;
    struct stat st;
    if (fstat(fileno(f), &st) != 0 || st.st_size < 0 || !S_ISREG(st.st_mode)) {
        std::fclose(f);
        return false;
    }
    m_handle = f;
    m_size = static_cast<unsigned long long>(st.st_size);
    return true;
}

void ReadOnlyFile::Close()
{
    if (m_handle != nullptr) std::fclose(static_cast<FILE*>(m_handle));
    m_handle = nullptr;
    m_size = 0;
}

bool ReadOnlyFile::ReadAt(unsigned long long offset, void* buffer, size_t length)
{
    if (m_handle == nullptr) return false;
    if (length == 0) return true;
    if (offset > m_size || length > m_size - offset) return false;
    FILE* f = static_cast<FILE*>(m_handle);
    if (fseeko(f, static_cast<off_t>(offset), SEEK_SET) != 0) return false;
    return std::fread(buffer, 1, length, f) == length;
}

BOOL UnionRects(RECT* dst, const RECT* a, const RECT* b)
{
    // Win32 UnionRect: empty rectangles do not contribute.
    auto empty = [](const RECT* r) { return r->left >= r->right || r->top >= r->bottom; };
    if (empty(a)) {
        if (empty(b)) {
            *dst = RECT{0, 0, 0, 0};
            return FALSE;
        }
        *dst = *b;
        return TRUE;
    }
    if (empty(b)) {
        *dst = *a;
        return TRUE;
    }
    dst->left = a->left < b->left ? a->left : b->left;
    dst->top = a->top < b->top ? a->top : b->top;
    dst->right = a->right > b->right ? a->right : b->right;
    dst->bottom = a->bottom > b->bottom ? a->bottom : b->bottom;
    return TRUE;
}

}  // namespace Platform
}  // namespace SkinUI
