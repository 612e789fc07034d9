#pragma once
// The core's one UTF-8 decoder. Markup documents and every UTF-8 conversion
// through the platform header use it, so a byte sequence reads the same
// wherever it comes in, on Windows and natively.

#include <cstddef>
#include <string>

namespace SkinUI {

// Decodes `size` bytes into `out`, which has room for `size` characters (no
// sequence, valid or not, yields more characters than it has bytes).
// Returns the number of characters written. Each byte that does not start a
// valid sequence (a stray continuation byte, a truncated or overlong form, a
// surrogate, anything above U+10FFFF including the old 5- and 6-byte forms)
// becomes U+FFFD and decoding resumes at the next byte, so no input is
// skipped silently. Where wchar_t is 16 bits wide, characters beyond the
// basic plane become surrogate pairs; where it is 32 bits, code points.
size_t DecodeUtf8(const unsigned char* in, size_t size, wchar_t* out);

// The same into a string.
std::wstring Utf8ToWide(const char* bytes, size_t length);

}  // namespace SkinUI
