#include "ui/markup/MarkupTextDecoder.h"

#include "ui/markup/Markup.h"
#include "ui/base/Utf8Decoder.h"

#include <cstdint>
#include <cstring>

namespace SkinUI {
namespace {

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
