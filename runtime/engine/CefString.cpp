#include "runtime/CefString.h"

#include <stdlib.h>
#include <string.h>

#include "runtime/CefTypes.h"

namespace {

void FreeOwned(char16* s) { free(s); }

void AppendUtf8(std::string& out, unsigned cp)
{
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

void AppendUtf16(std::wstring& out, unsigned cp)
{
    if (cp >= 0x10000) {
        cp -= 0x10000;
        out += static_cast<wchar_t>(0xD800 + (cp >> 10));
        out += static_cast<wchar_t>(0xDC00 + (cp & 0x3FF));
    } else {
        out += static_cast<wchar_t>(cp);
    }
}

}  // namespace

int cef_string_set(const char16* src, size_t src_len, cef_string_t* output, int copy)
{
    if (!output) return 0;
    cef_string_clear(output);
    if (!src || src_len == 0) return 1;
    if (!copy) {
        output->str = const_cast<char16*>(src);
        output->length = src_len;
        return 1;
    }
    char16* buf = static_cast<char16*>(malloc((src_len + 1) * sizeof(char16)));
    if (!buf) return 0;
    memcpy(buf, src, src_len * sizeof(char16));
    buf[src_len] = 0;
    output->str = buf;
    output->length = src_len;
    output->dtor = FreeOwned;
    return 1;
}

void cef_string_clear(cef_string_t* str)
{
    if (!str) return;
    if (str->dtor && str->str) str->dtor(str->str);
    str->str = nullptr;
    str->length = 0;
    str->dtor = nullptr;
}

std::wstring cef_string_from_utf8_std(const char* src, size_t len)
{
    std::wstring out;
    if (!src) return out;
    out.reserve(len);
    const unsigned char* s = reinterpret_cast<const unsigned char*>(src);
    size_t i = 0;
    while (i < len) {
        unsigned c = s[i];
        int extra;
        unsigned cp, min;
        if (c < 0x80) {
            out += static_cast<wchar_t>(c);
            ++i;
            continue;
        } else if ((c & 0xE0) == 0xC0) {
            extra = 1;
            cp = c & 0x1F;
            min = 0x80;
        } else if ((c & 0xF0) == 0xE0) {
            extra = 2;
            cp = c & 0x0F;
            min = 0x800;
        } else if ((c & 0xF8) == 0xF0) {
            extra = 3;
            cp = c & 0x07;
            min = 0x10000;
        } else {
            out += L'\xFFFD';
            ++i;
            continue;
        }
        bool ok = (i + static_cast<size_t>(extra)) < len;
        for (int k = 1; ok && k <= extra; ++k) {
            if ((s[i + k] & 0xC0) != 0x80)
                ok = false;
            else
                cp = (cp << 6) | (s[i + k] & 0x3F);
        }
        if (!ok || cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
            out += L'\xFFFD';
            ++i;
            continue;
        }
        AppendUtf16(out, cp);
        i += extra + 1;
    }
    return out;
}

std::string cef_string_to_utf8_std(const char16* src, size_t len)
{
    std::string out;
    if (!src) return out;
    out.reserve(len);
    for (size_t i = 0; i < len; ++i) {
        unsigned c = static_cast<unsigned>(src[i]) & 0xFFFF;
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < len) {
            unsigned d = static_cast<unsigned>(src[i + 1]) & 0xFFFF;
            if (d >= 0xDC00 && d <= 0xDFFF) {
                AppendUtf8(out, 0x10000 + ((c - 0xD800) << 10) + (d - 0xDC00));
                ++i;
                continue;
            }
        }
        if (c >= 0xD800 && c <= 0xDFFF) c = 0xFFFD;
        AppendUtf8(out, c);
    }
    return out;
}

int cef_string_from_utf8(const char* src, size_t src_len, cef_string_t* output)
{
    std::wstring w = cef_string_from_utf8_std(src, src_len);
    return cef_string_set(w.data(), w.size(), output, 1);
}

void cef_settings_clear(cef_settings_t* s)
{
    if (!s) return;
    cef_string_t* fields[] = {
        &s->browser_subprocess_path, &s->engine_path, &s->cache_path, &s->user_data_path,   &s->user_agent,
        &s->product_version,         &s->locale,      &s->log_file,   &s->javascript_flags, &s->resources_dir_path};
    for (cef_string_t* f : fields) cef_string_clear(f);
}
