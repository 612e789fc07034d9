#pragma once
// The framework's wide string: text shorter than 63 characters lives in an
// inline buffer, longer text in a heap block of exactly (length + 1) units.
// The length is not stored; it is counted when asked for.

#include "ui/base/Platform.h"

namespace SkinUI {

class CUiString {
public:
    enum {
        MAX_LOCAL_STRING_LEN = 63
    };

    CUiString();
    CUiString(wchar_t ch);
    CUiString(const CUiString& src);
    CUiString(LPCTSTR text, int length = -1);
    ~CUiString();

    void Empty();
    int GetLength() const;
    bool IsEmpty() const;
    wchar_t GetAt(int index) const;
    void Append(LPCTSTR text);
    void Assign(LPCTSTR text, int length = -1);
    LPCTSTR GetData() const;

    void SetAt(int index, wchar_t ch);
    operator LPCTSTR() const;

    wchar_t operator[](int index) const;
    const CUiString& operator=(const CUiString& src);
    const CUiString& operator=(wchar_t ch);
    const CUiString& operator=(LPCTSTR text);
    // Narrow text is taken to be in the system's active ANSI code page.
    const CUiString& operator=(const char* text);
    const CUiString& operator+=(const char* text);

    CUiString operator+(const CUiString& src) const;
    CUiString operator+(LPCTSTR text) const;
    const CUiString& operator+=(const CUiString& src);
    const CUiString& operator+=(LPCTSTR text);
    const CUiString& operator+=(wchar_t ch);

    bool operator==(LPCTSTR text) const;
    bool operator!=(LPCTSTR text) const;
    bool operator<=(LPCTSTR text) const;
    bool operator<(LPCTSTR text) const;
    bool operator>=(LPCTSTR text) const;
    bool operator>(LPCTSTR text) const;

    int Compare(LPCTSTR text) const;
    int CompareNoCase(LPCTSTR text) const;

    void MakeUpper();
    void MakeLower();

    CUiString Left(int length) const;
    CUiString Mid(int pos, int length = -1) const;
    CUiString Right(int length) const;

    int Find(wchar_t ch, int start = 0) const;
    int Find(LPCTSTR text, int start = 0) const;
    int ReverseFind(wchar_t ch) const;
    int Replace(LPCTSTR from, LPCTSTR to);

    // Formats by the Win32 wvsprintfW rules (a portable equivalent natively):
    // at most 1023 characters of output for Format (the system limit), 63 for
    // SmallFormat (cut, never overrun).
    int __cdecl Format(LPCTSTR format, ...);
    int __cdecl SmallFormat(LPCTSTR format, ...);

private:
    bool IsInline() const { return m_pstr == m_szBuffer; }
    void ReleaseHeap();
    // Formats into a buffer of `capacity` units (at most 1025) and assigns.
    int FormatV(int capacity, LPCTSTR format, va_list args);

    LPTSTR m_pstr;
    wchar_t m_szBuffer[MAX_LOCAL_STRING_LEN + 1];
};

}  // namespace SkinUI
