#pragma once
// A portable formatter with the Win32 wvsprintfW rules, for builds that have
// no user32: flags "-", "#", "0"; a width; a precision; the size prefixes
// "h", "l" and "I64"; the types c, C, d, i, u, x, X, s, S and p; "%%".
// No floating point and no "*" width, exactly like the system function.
// Output stops at 1023 characters, as the system function's does.

#include <cstdarg>

namespace SkinUI {

int WideFormatV(wchar_t* buffer, int capacity, const wchar_t* format, va_list args);

}  // namespace SkinUI
