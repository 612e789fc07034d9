#pragma once
// Turns the bytes of a markup document into the zero-terminated wide text
// that CMarkup parses in place.

#include "ui/base/Platform.h"

#include <cstddef>
#include <cstdlib>
#include <memory>

namespace SkinUI {

// Owner of a text from AllocateMarkupText.
struct MarkupTextFree {
    void operator()(wchar_t* text) const { std::free(text); }
};
using MarkupTextPtr = std::unique_ptr<wchar_t, MarkupTextFree>;

enum class MarkupDecodeResult {
    Ok,
    MissingByteOrderMark,  // UTF-16 without FF FE / FE FF, or under 2 bytes
    UnknownEncoding,
    OutOfMemory,
};

// `encoding` is one of the MARKUP_ENCODING_ values of Markup.h.
// UTF-8: a leading EF BB BF is skipped; malformed sequences become U+FFFD.
// ANSI: the system's ANSI code page. UTF-16: the byte-order mark decides the
// byte order; it is not part of the text. A trailing odd byte is ignored.
// Where wchar_t is 32 bits wide, text is stored as code points (UTF-16
// surrogate pairs are joined); where it is 16 bits, as UTF-16 units.
MarkupDecodeResult DecodeMarkupText(const unsigned char* data, size_t size, int encoding, MarkupTextPtr& text);

// The parser scans text several characters at a time and may read up to
// this many characters past the terminator; every text it parses is
// allocated with that much zeroed room behind the terminator.
const size_t kMarkupTextPadding = 16;

// Room for `length` characters, the terminator and the padding, or null;
// release it with std::free. Nothing is initialised; TerminateMarkupText
// writes the end.
wchar_t* AllocateMarkupText(size_t length);
// Writes the terminator at `length` and zeroes the padding behind it.
void TerminateMarkupText(wchar_t* text, size_t length);

}  // namespace SkinUI
