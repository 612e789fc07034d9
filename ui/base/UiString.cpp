#include "ui/base/UiString.h"

#include <cstdarg>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <cwctype>

namespace SkinUI {
namespace {

int TextLength(LPCTSTR text) { return text == nullptr ? 0 : static_cast<int>(std::wcslen(text)); }

int WideCompareNoCase(LPCTSTR a, LPCTSTR b)
{
#ifdef _WIN32
    return ::_wcsicmp(a, b);
#else
    return ::wcscasecmp(a, b);
#endif
}

}  // namespace

CUiString::CUiString() : m_pstr(m_szBuffer) { m_szBuffer[0] = L'\0'; }

CUiString::CUiString(wchar_t ch) : m_pstr(m_szBuffer)
{
    m_szBuffer[0] = ch;
    m_szBuffer[1] = L'\0';
}

CUiString::CUiString(LPCTSTR text, int length) : m_pstr(m_szBuffer)
{
    m_szBuffer[0] = L'\0';
    Assign(text, length);
}

CUiString::CUiString(const CUiString& src) : m_pstr(m_szBuffer)
{
    m_szBuffer[0] = L'\0';
    Assign(src.m_pstr);
}

CUiString::~CUiString() { ReleaseHeap(); }

void CUiString::ReleaseHeap()
{
    if (!IsInline()) {
        std::free(m_pstr);
        m_pstr = m_szBuffer;
    }
}

int CUiString::GetLength() const { return static_cast<int>(std::wcslen(m_pstr)); }

CUiString::operator LPCTSTR() const { return m_pstr; }

void CUiString::Append(LPCTSTR text)
{
    if (text == nullptr) return;
    const int oldLength = GetLength();
    const int newLength = oldLength + TextLength(text);
    if (newLength >= MAX_LOCAL_STRING_LEN) {
        if (IsInline()) {
            LPTSTR block = static_cast<LPTSTR>(std::malloc((newLength + 1) * sizeof(wchar_t)));
            std::wmemcpy(block, m_szBuffer, oldLength + 1);
            m_pstr = block;
        } else {
            m_pstr = static_cast<LPTSTR>(std::realloc(m_pstr, (newLength + 1) * sizeof(wchar_t)));
        }
        std::wcscpy(m_pstr + oldLength, text);
    } else {
        // A short result may still sit in a heap block: SetAt can cut a long
        // text without moving it. Short text lives inline, so move it back.
        // The block is freed only after `text` is copied: it may point into it.
        if (!IsInline()) std::wmemcpy(m_szBuffer, m_pstr, oldLength);
        std::wcscpy(m_szBuffer + oldLength, text);
        if (!IsInline()) {
            std::free(m_pstr);
            m_pstr = m_szBuffer;
        }
    }
}

void CUiString::Assign(LPCTSTR text, int length)
{
    if (text == nullptr) text = L"";
    length = length < 0 ? TextLength(text) : length;
    if (length < MAX_LOCAL_STRING_LEN) {
        if (!IsInline()) {
            // The source may live in our own heap block (s.Assign(s + 2)).
            wchar_t copy[MAX_LOCAL_STRING_LEN];
            std::wmemcpy(copy, text, length);
            ReleaseHeap();
            std::wmemcpy(m_szBuffer, copy, length);
        } else {
            std::wmemmove(m_szBuffer, text, length);
        }
    } else if (!IsInline() && length <= GetLength()) {
        std::wmemmove(m_pstr, text, length);
    } else {
        // realloc could move the block a source inside it points into, so copy first.
        LPTSTR block = static_cast<LPTSTR>(std::malloc((length + 1) * sizeof(wchar_t)));
        std::wmemcpy(block, text, length);
        ReleaseHeap();
        m_pstr = block;
    }
    m_pstr[length] = L'\0';
}

bool CUiString::IsEmpty() const { return m_pstr[0] == L'\0'; }

void CUiString::Empty()
{
    ReleaseHeap();
    m_szBuffer[0] = L'\0';
}

LPCTSTR CUiString::GetData() const { return m_pstr; }

wchar_t CUiString::GetAt(int index) const { return m_pstr[index]; }

wchar_t CUiString::operator[](int index) const { return m_pstr[index]; }

void CUiString::SetAt(int index, wchar_t ch) { m_pstr[index] = ch; }

const CUiString& CUiString::operator=(const CUiString& src)
{
    if (this != &src) Assign(src.m_pstr);
    return *this;
}

const CUiString& CUiString::operator=(LPCTSTR text)
{
    Assign(text);
    return *this;
}

const CUiString& CUiString::operator=(wchar_t ch)
{
    Empty();
    m_szBuffer[0] = ch;
    m_szBuffer[1] = L'\0';
    return *this;
}

const CUiString& CUiString::operator=(const char* text)
{
    if (text == nullptr) {
        Empty();
        return *this;
    }
    const std::wstring wide = Platform::MultiByteToWide(text, std::strlen(text), 0);
    Assign(wide.c_str(), static_cast<int>(wide.size()));
    return *this;
}

const CUiString& CUiString::operator+=(const char* text)
{
    if (text != nullptr) {
        const std::wstring wide = Platform::MultiByteToWide(text, std::strlen(text), 0);
        Append(wide.c_str());
    }
    return *this;
}

CUiString CUiString::operator+(const CUiString& src) const
{
    CUiString result(*this);
    result.Append(src.m_pstr);
    return result;
}

CUiString CUiString::operator+(LPCTSTR text) const
{
    CUiString result(*this);
    result.Append(text);
    return result;
}

const CUiString& CUiString::operator+=(const CUiString& src)
{
    if (&src == this) {
        const CUiString copy(src);
        Append(copy.m_pstr);
    } else {
        Append(src.m_pstr);
    }
    return *this;
}

const CUiString& CUiString::operator+=(LPCTSTR text)
{
    if (text != nullptr && text >= m_pstr && text <= m_pstr + GetLength()) {
        // Appending part of ourselves: the block may move under the source.
        const CUiString copy(text);
        Append(copy.m_pstr);
    } else {
        Append(text);
    }
    return *this;
}

const CUiString& CUiString::operator+=(wchar_t ch)
{
    const wchar_t text[2] = {ch, L'\0'};
    Append(text);
    return *this;
}

bool CUiString::operator==(LPCTSTR text) const { return Compare(text) == 0; }
bool CUiString::operator!=(LPCTSTR text) const { return Compare(text) != 0; }
bool CUiString::operator<=(LPCTSTR text) const { return Compare(text) <= 0; }
bool CUiString::operator<(LPCTSTR text) const { return Compare(text) < 0; }
bool CUiString::operator>=(LPCTSTR text) const { return Compare(text) >= 0; }
bool CUiString::operator>(LPCTSTR text) const { return Compare(text) > 0; }

int CUiString::Compare(LPCTSTR text) const
{
    // Ordinal comparison of code units (wcscmp compares signed wchar_t on
    // some platforms, so compare as unsigned explicitly).
    if (text == nullptr) text = L"";
    const wchar_t* a = m_pstr;
    const wchar_t* b = text;
    while (*a != L'\0' && *a == *b) {
        ++a;
        ++b;
    }
    const unsigned long ca = static_cast<unsigned long>(*a);
    const unsigned long cb = static_cast<unsigned long>(*b);
    return ca < cb ? -1 : (ca > cb ? 1 : 0);
}

int CUiString::CompareNoCase(LPCTSTR text) const { return WideCompareNoCase(m_pstr, text == nullptr ? L"" : text); }

void CUiString::MakeUpper()
{
    for (wchar_t* p = m_pstr; *p != L'\0'; ++p) *p = static_cast<wchar_t>(std::towupper(*p));
}

void CUiString::MakeLower()
{
    for (wchar_t* p = m_pstr; *p != L'\0'; ++p) *p = static_cast<wchar_t>(std::towlower(*p));
}

CUiString CUiString::Left(int length) const
{
    if (length < 0) length = 0;
    const int total = GetLength();
    if (length > total) length = total;
    return CUiString(m_pstr, length);
}

CUiString CUiString::Mid(int pos, int length) const
{
    const int total = GetLength();
    if (pos < 0 || pos > total) return CUiString();
    if (length < 0) length = total - pos;
    if (pos + length > total) length = total - pos;
    if (length <= 0) return CUiString();
    return CUiString(m_pstr + pos, length);
}

CUiString CUiString::Right(int length) const
{
    const int total = GetLength();
    if (length < 0) length = 0;
    if (length > total) length = total;
    return CUiString(m_pstr + total - length, length);
}

int CUiString::Find(wchar_t ch, int start) const
{
    if (start != 0 && (start < 0 || start >= GetLength())) return -1;
    const wchar_t* p = std::wcschr(m_pstr + start, ch);
    // wcschr finds the terminator when asked for it; that is not a match.
    if (p == nullptr || (ch == L'\0')) return -1;
    return static_cast<int>(p - m_pstr);
}

int CUiString::Find(LPCTSTR text, int start) const
{
    if (start != 0 && (start < 0 || start > GetLength())) return -1;
    if (text == nullptr) return -1;
    if (text[0] == L'\0') return start;  // some C libraries answer null here
    const wchar_t* p = std::wcsstr(m_pstr + start, text);
    if (p == nullptr) return -1;
    return static_cast<int>(p - m_pstr);
}

int CUiString::ReverseFind(wchar_t ch) const
{
    if (ch == L'\0') return -1;
    const wchar_t* p = std::wcsrchr(m_pstr, ch);
    if (p == nullptr) return -1;
    return static_cast<int>(p - m_pstr);
}

int CUiString::Replace(LPCTSTR from, LPCTSTR to)
{
    // An empty pattern would match everywhere forever; there is nothing to replace.
    if (from == nullptr || from[0] == L'\0') return 0;
    if (to == nullptr) to = L"";
    const CUiString pattern(from);
    const CUiString replacement(to);
    const int fromLength = pattern.GetLength();
    const int toLength = replacement.GetLength();
    int count = 0;
    int pos = Find(pattern, 0);
    while (pos >= 0) {
        CUiString result = Left(pos);
        result.Append(replacement);
        result.Append(m_pstr + pos + fromLength);
        Assign(result);
        ++count;
        pos = Find(pattern, pos + toLength);
    }
    return count;
}

int CUiString::FormatV(int capacity, LPCTSTR format, va_list args)
{
    wchar_t buffer[1025];
    const int written = Platform::FormatWideV(buffer, capacity, format, args);
    Assign(buffer);
    return written;
}

int __cdecl CUiString::Format(LPCTSTR format, ...)
{
    va_list args;
    va_start(args, format);
    const int written = FormatV(1025, format, args);
    va_end(args);
    return written;
}

int __cdecl CUiString::SmallFormat(LPCTSTR format, ...)
{
    va_list args;
    va_start(args, format);
    const int written = FormatV(MAX_LOCAL_STRING_LEN + 1, format, args);
    va_end(args);
    return written;
}

}  // namespace SkinUI
