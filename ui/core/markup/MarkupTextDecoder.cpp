#include "ui/core/markup/MarkupTextDecoder.h"

#include "ui/core/markup/Markup.h"

#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace SkinUI {
namespace {

const wchar_t kReplacement = static_cast<wchar_t>(0xFFFD);

inline wchar_t* PutCodePoint(wchar_t* out, uint32_t cp)
{
    if (sizeof(wchar_t) == 2 && cp > 0xFFFF) {
        cp -= 0x10000;
        *out++ = static_cast<wchar_t>(0xD800 + (cp >> 10));
        *out++ = static_cast<wchar_t>(0xDC00 + (cp & 0x3FF));
    } else {
        *out++ = static_cast<wchar_t>(cp);
    }
    return out;
}

inline bool IsContinuation(unsigned char b) { return (b & 0xC0) == 0x80; }

// Widens 16 bytes into 16 characters when all of them are ASCII; false (and
// nothing written) otherwise.
inline bool WidenAsciiRun16(const unsigned char* in, wchar_t* out)
{
#if defined(__SSE2__)
    const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in));
    if (_mm_movemask_epi8(bytes) != 0) return false;
    const __m128i zero = _mm_setzero_si128();
    const __m128i low = _mm_unpacklo_epi8(bytes, zero);
    const __m128i high = _mm_unpackhi_epi8(bytes, zero);
    __m128i* dst = reinterpret_cast<__m128i*>(out);
    if (sizeof(wchar_t) == 2) {
        _mm_storeu_si128(dst, low);
        _mm_storeu_si128(dst + 1, high);
    } else {
        _mm_storeu_si128(dst, _mm_unpacklo_epi16(low, zero));
        _mm_storeu_si128(dst + 1, _mm_unpackhi_epi16(low, zero));
        _mm_storeu_si128(dst + 2, _mm_unpacklo_epi16(high, zero));
        _mm_storeu_si128(dst + 3, _mm_unpackhi_epi16(high, zero));
    }
    return true;
#else
    uint64_t low, high;
    std::memcpy(&low, in, 8);
    std::memcpy(&high, in + 8, 8);
    if ((low | high) & 0x8080808080808080ull) return false;
    for (int i = 0; i < 16; ++i) out[i] = static_cast<wchar_t>(in[i]);
    return true;
#endif
}

// Decodes UTF-8 into `out`, which has room for `size` characters (no valid
// or invalid sequence yields more characters than it has bytes). Returns the
// number of characters written. A malformed byte becomes U+FFFD and decoding
// resumes at the next byte, so no input is ever skipped silently.
size_t DecodeUtf8(const unsigned char* in, size_t size, wchar_t* out)
{
    wchar_t* const start = out;
    const unsigned char* const end = in + size;
    while (in < end) {
        // Markup is mostly ASCII: widen runs of it 16 bytes at a time.
        while (end - in >= 16 && WidenAsciiRun16(in, out)) {
            in += 16;
            out += 16;
        }
        if (in >= end) break;
        const unsigned char b = *in;
        if (b < 0x80) {
            *out++ = b;
            ++in;
            continue;
        }
        const size_t left = static_cast<size_t>(end - in);
        if (b >= 0xC2 && b <= 0xDF && left >= 2 && IsContinuation(in[1])) {
            out = PutCodePoint(out, ((b & 0x1Fu) << 6) | (in[1] & 0x3Fu));
            in += 2;
            continue;
        }
        if (b >= 0xE0 && b <= 0xEF && left >= 3 && IsContinuation(in[1]) && IsContinuation(in[2])) {
            const uint32_t cp = ((b & 0x0Fu) << 12) | ((in[1] & 0x3Fu) << 6) | (in[2] & 0x3Fu);
            if (cp >= 0x800 && (cp < 0xD800 || cp > 0xDFFF)) {
                out = PutCodePoint(out, cp);
                in += 3;
                continue;
            }
        }
        if (b >= 0xF0 && b <= 0xF4 && left >= 4 && IsContinuation(in[1]) && IsContinuation(in[2]) &&
            IsContinuation(in[3])) {
            const uint32_t cp =
                ((b & 0x07u) << 18) | ((in[1] & 0x3Fu) << 12) | ((in[2] & 0x3Fu) << 6) | (in[3] & 0x3Fu);
            if (cp >= 0x10000 && cp <= 0x10FFFF) {
                out = PutCodePoint(out, cp);
                in += 4;
                continue;
            }
        }
        *out++ = kReplacement;
        ++in;
    }
    return static_cast<size_t>(out - start);
}

size_t DecodeUtf16(const unsigned char* in, size_t units, bool bigEndian, wchar_t* out)
{
    wchar_t* const start = out;
    for (size_t i = 0; i < units; ++i) {
        const unsigned char* p = in + 2 * i;
        uint32_t unit = bigEndian ? (p[0] << 8 | p[1]) : (p[1] << 8 | p[0]);
        if (sizeof(wchar_t) == 4 && unit >= 0xD800 && unit <= 0xDBFF && i + 1 < units) {
            const unsigned char* q = p + 2;
            const uint32_t low = bigEndian ? (q[0] << 8 | q[1]) : (q[1] << 8 | q[0]);
            if (low >= 0xDC00 && low <= 0xDFFF) {
                unit = 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00);
                ++i;
            }
        }
        *out++ = static_cast<wchar_t>(unit);
    }
    return static_cast<size_t>(out - start);
}

}  // namespace

wchar_t* AllocateMarkupText(size_t length)
{
    if (length > SIZE_MAX / sizeof(wchar_t) - 1 - kMarkupTextPadding) return nullptr;
    // Uninitialised on purpose: every character up to the terminator is
    // written by the decoder, and clearing megabytes first would cost as
    // much as decoding them.
    return static_cast<wchar_t*>(Platform::AllocateLargeBuffer((length + 1 + kMarkupTextPadding) * sizeof(wchar_t)));
}

void TerminateMarkupText(wchar_t* text, size_t length)
{
    for (size_t i = 0; i <= kMarkupTextPadding; ++i) text[length + i] = L'\0';
}

MarkupDecodeResult DecodeMarkupText(const unsigned char* data, size_t size, int encoding, MarkupTextPtr& text)
{
    text.reset();
    if (data == nullptr) size = 0;
    switch (encoding) {
    case MARKUP_ENCODING_UTF8: {
        if (size > 2 && data[0] == 0xEF && data[1] == 0xBB && data[2] == 0xBF) {
            data += 3;
            size -= 3;
        }
        text.reset(AllocateMarkupText(size));
        if (!text) return MarkupDecodeResult::OutOfMemory;
        TerminateMarkupText(text.get(), DecodeUtf8(data, size, text.get()));
        return MarkupDecodeResult::Ok;
    }
    case MARKUP_ENCODING_ANSI: {
        const std::wstring wide = Platform::MultiByteToWide(reinterpret_cast<const char*>(data), size, 0);
        text.reset(AllocateMarkupText(wide.size()));
        if (!text) return MarkupDecodeResult::OutOfMemory;
        std::memcpy(text.get(), wide.data(), wide.size() * sizeof(wchar_t));
        TerminateMarkupText(text.get(), wide.size());
        return MarkupDecodeResult::Ok;
    }
    case MARKUP_ENCODING_UTF16: {
        if (size < 2) return MarkupDecodeResult::MissingByteOrderMark;
        const bool little = data[0] == 0xFF && data[1] == 0xFE;
        const bool big = data[0] == 0xFE && data[1] == 0xFF;
        if (!little && !big) return MarkupDecodeResult::MissingByteOrderMark;
        const size_t units = size / 2 - 1;
        text.reset(AllocateMarkupText(units));
        if (!text) return MarkupDecodeResult::OutOfMemory;
        TerminateMarkupText(text.get(), DecodeUtf16(data + 2, units, big, text.get()));
        return MarkupDecodeResult::Ok;
    }
    default:
        return MarkupDecodeResult::UnknownEncoding;
    }
}

}  // namespace SkinUI
