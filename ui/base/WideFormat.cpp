#include "ui/base/WideFormat.h"

#include "ui/base/Platform.h"

#include <cstdint>
#include <cstring>
#include <cwchar>

namespace SkinUI {
namespace {

// The system function's buffer is 1024 units including the terminator.
const int kMaxOutput = 1023;

class Output {
public:
    Output(wchar_t* buffer, int capacity) : m_buffer(buffer), m_limit(capacity - 1)
    {
        if (m_limit > kMaxOutput) m_limit = kMaxOutput;
    }
    void Put(wchar_t ch)
    {
        if (m_length < m_limit) m_buffer[m_length++] = ch;
    }
    void Repeat(wchar_t ch, int count)
    {
        while (count-- > 0) Put(ch);
    }
    int Finish()
    {
        m_buffer[m_length] = L'\0';
        return m_length;
    }

private:
    wchar_t* m_buffer;
    int m_limit;
    int m_length = 0;
};

struct Conversion {
    bool left = false;
    bool alternate = false;
    bool zero = false;
    int width = 0;
    int precision = -1;
};

void PutPadded(Output& out, const Conversion& conv, const wchar_t* text, int length)
{
    const int pad = conv.width - length;
    if (!conv.left) out.Repeat(conv.zero ? L'0' : L' ', pad);
    for (int i = 0; i < length; ++i) out.Put(text[i]);
    if (conv.left) out.Repeat(L' ', pad);
}

void PutNumber(Output& out, Conversion conv, uint64_t magnitude, bool negative, unsigned base, bool upper)
{
    wchar_t digits[32];
    int count = 0;
    const wchar_t* table = upper ? L"0123456789ABCDEF" : L"0123456789abcdef";
    do {
        digits[count++] = table[magnitude % base];
        magnitude /= base;
    } while (magnitude != 0);
    // The system formatter counts the sign within the precision.
    while (count + (negative ? 1 : 0) < conv.precision && count < 30) digits[count++] = L'0';

    wchar_t text[40];
    int length = 0;
    const wchar_t* prefix = L"";
    if (negative)
        prefix = L"-";
    else if (conv.alternate && base == 16)
        prefix = upper ? L"0X" : L"0x";
    const int prefixLength = static_cast<int>(std::wcslen(prefix));
    if (conv.zero && !conv.left) {
        // Zero padding goes between the sign or prefix and the digits.
        for (int i = 0; i < prefixLength; ++i) out.Put(prefix[i]);
        conv.width -= prefixLength;
    } else {
        for (int i = 0; i < prefixLength; ++i) text[length++] = prefix[i];
    }
    while (count > 0) text[length++] = digits[--count];
    PutPadded(out, conv, text, length);
}

}  // namespace

int WideFormatV(wchar_t* buffer, int capacity, const wchar_t* format, va_list args)
{
    if (buffer == nullptr || capacity <= 0) return 0;
    Output out(buffer, capacity);
    if (format == nullptr) return out.Finish();

    for (const wchar_t* p = format; *p != L'\0'; ++p) {
        if (*p != L'%') {
            out.Put(*p);
            continue;
        }
        ++p;
        if (*p == L'%') {
            out.Put(L'%');
            continue;
        }
        Conversion conv;
        for (;; ++p) {
            if (*p == L'-')
                conv.left = true;
            else if (*p == L'#')
                conv.alternate = true;
            else if (*p == L'0')
                conv.zero = true;
            else
                break;
        }
        while (*p >= L'0' && *p <= L'9') conv.width = conv.width * 10 + (*p++ - L'0');
        if (*p == L'.') {
            ++p;
            conv.precision = 0;
            while (*p >= L'0' && *p <= L'9') conv.precision = conv.precision * 10 + (*p++ - L'0');
        }
        enum {
            kDefault,
            kShort,
            kLong,
            kInt64
        } size = kDefault;
        if (*p == L'h') {
            size = kShort;
            ++p;
        } else if (*p == L'l') {
            size = kLong;
            ++p;
        } else if (p[0] == L'I' && p[1] == L'6' && p[2] == L'4') {
            size = kInt64;
            p += 3;
        }
        if (conv.width > kMaxOutput) conv.width = kMaxOutput;
        if (conv.precision > kMaxOutput) conv.precision = kMaxOutput;

        switch (*p) {
        case L'\0':
            return out.Finish();
        case L'c':
        case L'C': {
            // In the wide function "c" is a wide character unless "h" says
            // narrow; "C" is the opposite.
            const bool narrow = (*p == L'C') ? size != kLong : size == kShort;
            const int value = va_arg(args, int);
            wchar_t ch = static_cast<wchar_t>(value);
            if (narrow) {
                const char byte = static_cast<char>(value);
                const std::wstring wide = Platform::MultiByteToWide(&byte, 1, 0);
                ch = wide.empty() ? L'?' : wide[0];
            }
            PutPadded(out, conv, &ch, 1);
            break;
        }
        case L's':
        case L'S': {
            const bool narrow = (*p == L'S') ? size != kLong : size == kShort;
            if (narrow) {
                const char* text = va_arg(args, const char*);
                if (text == nullptr) text = "(null)";
                size_t n = std::strlen(text);
                if (conv.precision >= 0 && n > static_cast<size_t>(conv.precision)) n = conv.precision;
                const std::wstring wide = Platform::MultiByteToWide(text, n, 0);
                PutPadded(out, conv, wide.c_str(), static_cast<int>(wide.size()));
            } else {
                const wchar_t* text = va_arg(args, const wchar_t*);
                if (text == nullptr) text = L"(null)";
                size_t n = std::wcslen(text);
                if (conv.precision >= 0 && n > static_cast<size_t>(conv.precision)) n = conv.precision;
                if (n > static_cast<size_t>(kMaxOutput)) n = kMaxOutput;
                PutPadded(out, conv, text, static_cast<int>(n));
            }
            break;
        }
        case L'd':
        case L'i': {
            int64_t value =
                size == kInt64 ? va_arg(args, int64_t) : static_cast<int64_t>(static_cast<int32_t>(va_arg(args, int)));
            // "h" does not narrow integers in the system formatter.
            const bool negative = value < 0;
            const uint64_t magnitude = negative ? (0 - static_cast<uint64_t>(value)) : static_cast<uint64_t>(value);
            PutNumber(out, conv, magnitude, negative, 10, false);
            break;
        }
        case L'u':
        case L'x':
        case L'X': {
            uint64_t value = size == kInt64 ? va_arg(args, uint64_t)
                                            : static_cast<uint64_t>(static_cast<uint32_t>(va_arg(args, unsigned)));
            PutNumber(out, conv, value, false, *p == L'u' ? 10 : 16, *p == L'X');
            break;
        }
        case L'p': {
            const uintptr_t value = reinterpret_cast<uintptr_t>(va_arg(args, void*));
            Conversion pointerConv;
            pointerConv.zero = true;
            pointerConv.width = static_cast<int>(sizeof(void*) * 2);
            PutNumber(out, pointerConv, value, false, 16, true);
            break;
        }
        default:
            // Unknown types print themselves.
            out.Put(*p);
            break;
        }
    }
    return out.Finish();
}

}  // namespace SkinUI
