#include "ui/base/Utf8Decoder.h"

#include "ui/base/VectorScan.h"

#include <cstdint>
#include <cstring>

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
#if VORNEX_VECTOR_SCAN
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

}  // namespace

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

std::wstring Utf8ToWide(const char* bytes, size_t length)
{
    std::wstring out;
    if (bytes == nullptr || length == 0) return out;
    out.resize(length);
    out.resize(DecodeUtf8(reinterpret_cast<const unsigned char*>(bytes), length, &out[0]));
    return out;
}

}  // namespace SkinUI
