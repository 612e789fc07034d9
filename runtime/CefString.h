#pragma once
// UTF-16 strings of the runtime: the C record that crosses the boundary
// (cef_string_t) and the owning C++ string over it (CefString).

#include <stddef.h>
#include <string>

typedef wchar_t char16;

typedef struct _cef_string_utf16_t {
    char16* str;
    size_t length;
    void (*dtor)(char16* str);
} cef_string_t;

typedef cef_string_t* cef_string_userfree_t;

// Sets *output to a copy of the first src_len units of src (copy != 0) or
// to src itself (copy == 0, not owned). Returns 1 on success.
int cef_string_set(const char16* src, size_t src_len, cef_string_t* output, int copy);
// Frees an owned value and leaves the record empty.
void cef_string_clear(cef_string_t* str);
// UTF-8 to UTF-16; invalid sequences become U+FFFD. Returns 1 on success.
int cef_string_from_utf8(const char* src, size_t src_len, cef_string_t* output);
// UTF-16 to UTF-8 into a std::string; unpaired surrogates become U+FFFD.
std::string cef_string_to_utf8_std(const char16* src, size_t src_len);
std::wstring cef_string_from_utf8_std(const char* src, size_t src_len);

class CefString {
public:
    CefString() {}
    CefString(const wchar_t* s) : m_str(s ? s : L"") {}
    CefString(const std::wstring& s) : m_str(s) {}
    CefString(const char* utf8) : m_str(utf8 ? cef_string_from_utf8_std(utf8, strlen8(utf8)) : std::wstring()) {}
    CefString(const std::string& utf8) : m_str(cef_string_from_utf8_std(utf8.data(), utf8.size())) {}
    CefString(const cef_string_t* s) : m_str(s && s->str ? std::wstring(s->str, s->length) : std::wstring()) {}

    const wchar_t* c_str() const { return m_str.c_str(); }
    size_t length() const { return m_str.length(); }
    size_t size() const { return m_str.size(); }
    bool empty() const { return m_str.empty(); }
    void clear() { m_str.clear(); }
    std::wstring ToWString() const { return m_str; }
    std::string ToString() const { return cef_string_to_utf8_std(m_str.data(), m_str.size()); }
    operator std::wstring() const { return m_str; }

    // Copies the value into a C record (owned by the record).
    void CopyTo(cef_string_t* out) const { cef_string_set(m_str.data(), m_str.size(), out, 1); }

    bool operator==(const CefString& o) const { return m_str == o.m_str; }
    bool operator!=(const CefString& o) const { return m_str != o.m_str; }
    bool operator<(const CefString& o) const { return m_str < o.m_str; }

private:
    static size_t strlen8(const char* s)
    {
        size_t n = 0;
        while (s[n]) ++n;
        return n;
    }
    std::wstring m_str;
};
