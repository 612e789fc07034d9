#include "ui/base/AttributeValue.h"

#include <climits>

namespace SkinUI {
namespace AttributeValue {

namespace {

bool IsBlank(wchar_t ch) { return ch == L' ' || (ch >= L'\t' && ch <= L'\r'); }

int HexDigit(wchar_t ch)
{
    if (ch >= L'0' && ch <= L'9') return ch - L'0';
    if (ch >= L'a' && ch <= L'f') return ch - L'a' + 10;
    if (ch >= L'A' && ch <= L'F') return ch - L'A' + 10;
    return -1;
}

}  // namespace

int ParseInt(LPCTSTR text, LPCTSTR* end)
{
    if (end) *end = text;
    if (!text) return 0;
    LPCTSTR p = text;
    while (IsBlank(*p)) ++p;
    bool negative = false;
    if (*p == L'-' || *p == L'+') {
        negative = *p == L'-';
        ++p;
    }
    if (*p < L'0' || *p > L'9') return 0;
    // Accumulate the magnitude up to just past the int range, then saturate.
    const long long limit = negative ? -static_cast<long long>(INT_MIN) : INT_MAX;
    long long magnitude = 0;
    for (; *p >= L'0' && *p <= L'9'; ++p) {
        if (magnitude <= limit) magnitude = magnitude * 10 + (*p - L'0');
    }
    if (end) *end = p;
    if (magnitude > limit) magnitude = limit;
    return static_cast<int>(negative ? -magnitude : magnitude);
}

int ParseIntList(LPCTSTR text, int* values, int count)
{
    int present = 0;
    LPCTSTR p = text ? text : L"";
    for (int i = 0; i < count; ++i) {
        LPCTSTR end = p;
        values[i] = ParseInt(p, &end);
        if (end != p) ++present;
        p = end;
        // Exactly one separator; the terminator is never stepped over.
        if (*p != L'\0') ++p;
    }
    return present;
}

RECT ParseRect(LPCTSTR text)
{
    int v[4];
    ParseIntList(text, v, 4);
    RECT rc;
    rc.left = v[0];
    rc.top = v[1];
    rc.right = v[2];
    rc.bottom = v[3];
    return rc;
}

SIZE ParseSize(LPCTSTR text)
{
    int v[2];
    ParseIntList(text, v, 2);
    SIZE sz;
    sz.cx = v[0];
    sz.cy = v[1];
    return sz;
}

DWORD ParseColor(LPCTSTR text)
{
    if (!text) return 0;
    LPCTSTR p = text;
    while (*p != L'\0' && static_cast<unsigned>(*p) <= 32u) ++p;
    if (*p == L'#') ++p;
    unsigned long long value = 0;
    for (int digit; (digit = HexDigit(*p)) >= 0; ++p) {
        value = value * 16 + static_cast<unsigned>(digit);
        if (value > 0xFFFFFFFFull) value = 0x100000000ull;  // saturated; keep scanning
    }
    return value > 0xFFFFFFFFull ? 0xFFFFFFFFu : static_cast<DWORD>(value);
}

bool ParseBool(LPCTSTR text)
{
    if (!text) return false;
    const wchar_t* expected = L"true";
    for (; *expected; ++expected, ++text) {
        if (*text != *expected) return false;
    }
    return *text == L'\0';
}

bool ListReader::Next(CUiString& name, CUiString& value)
{
    if (m_done || !m_pos || *m_pos == L'\0') return false;
    m_done = true;  // until this pair proves well-formed
    LPCTSTR p = m_pos;
    LPCTSTR nameStart = p;
    while (*p != L'\0' && *p != L'=') ++p;
    if (*p != L'=') return false;
    name.Assign(nameStart, static_cast<int>(p - nameStart));
    ++p;
    if (*p != L'"') return false;
    ++p;
    LPCTSTR valueStart = p;
    while (*p != L'\0' && *p != L'"') ++p;
    if (*p != L'"') return false;
    value.Assign(valueStart, static_cast<int>(p - valueStart));
    ++p;
    // Exactly one blank separates pairs; anything else makes this the last.
    if (*p == L' ') {
        m_pos = p + 1;
        m_done = false;
    } else {
        m_pos = p;
    }
    return true;
}

bool DescriptionReader::Next(CUiString& key, CUiString& value)
{
    if (m_done || !m_pos) return false;
    m_done = true;  // until this item proves well-formed
    LPCTSTR p = m_pos;
    while (*p != L'\0' && *p <= L' ') ++p;
    if (*p == L'\0') return false;
    LPCTSTR keyStart = p;
    while (*p != L'\0' && *p != L'=' && *p > L' ') ++p;
    const int keyLength = static_cast<int>(p - keyStart);
    while (*p != L'\0' && *p <= L' ') ++p;
    if (*p != L'=') return false;
    ++p;
    while (*p != L'\0' && *p <= L' ') ++p;
    if (*p != L'\'') return false;
    ++p;
    LPCTSTR valueStart = p;
    while (*p != L'\0' && *p != L'\'') ++p;
    if (*p != L'\'') return false;
    key.Assign(keyStart, keyLength);
    value.Assign(valueStart, static_cast<int>(p - valueStart));
    ++p;
    // A blank separates items; anything else makes this the last.
    if (*p == L' ') {
        m_pos = p + 1;
        m_done = false;
    } else {
        m_pos = p;
    }
    return true;
}

int Clamp(int value, int minimum, int maximum)
{
    if (value < minimum) value = minimum;
    return value > maximum ? maximum : value;
}

int SaturatingAdd(int a, int b)
{
    const long long sum = static_cast<long long>(a) + b;
    if (sum > INT_MAX) return INT_MAX;
    return sum < INT_MIN ? INT_MIN : static_cast<int>(sum);
}

}  // namespace AttributeValue
}  // namespace SkinUI
