#include "app/feed/FeedEntities.h"

#include <cwchar>

namespace Vornex {

namespace FeedDoc {
namespace {

constexpr size_t kMaxReferenceDigits = 7;

int DigitValue(wchar_t c, bool hex)
{
    if (c >= L'0' && c <= L'9') return c - L'0';
    if (hex && c >= L'a' && c <= L'f') return c - L'a' + 10;
    if (hex && c >= L'A' && c <= L'F') return c - L'A' + 10;
    return -1;
}

// Decodes the numeric reference at value[i] ("&#..."); returns the units it
// spans, or 0 when it is not a usable reference.
size_t NumericReference(const wchar_t* value, size_t length, size_t i, wchar_t& unit)
{
    size_t p = i + 2;
    const bool hex = p < length && value[p] == L'x';
    if (hex) ++p;
    const size_t digitsStart = p;
    uint32_t number = 0;
    while (p < length && p - digitsStart < kMaxReferenceDigits) {
        const int digit = DigitValue(value[p], hex);
        if (digit < 0) break;
        number = number * (hex ? 16 : 10) + static_cast<uint32_t>(digit);
        ++p;
    }
    if (p == digitsStart || p >= length || value[p] != L';') return 0;
    // Only the low 16 bits are kept, so the zero test comes after the cut:
    // &#65536; must not smuggle a NUL into a caption or an address.
    unit = static_cast<wchar_t>(number & 0xFFFF);
    if (unit == L'\0') return 0;
    return p + 1 - i;
}

struct NamedEntity {
    const wchar_t* name;  // including "&" and ";"
    wchar_t character;
};

constexpr NamedEntity kNamedEntities[] = {
    {L"&lt;", L'<'}, {L"&amp;", L'&'}, {L"&gt;", L'>'}, {L"&apos;", L'\''}, {L"&quot;", L'"'},
};

}  // namespace

std::wstring DecodeFeedEntities(const wchar_t* value, size_t length)
{
    std::wstring out;
    out.reserve(length);
    size_t i = 0;
    while (i < length) {
        const wchar_t c = value[i];
        if (c != L'&') {
            out.push_back(c);
            ++i;
            continue;
        }
        if (i + 1 < length && value[i + 1] == L'#') {
            wchar_t unit = 0;
            if (const size_t used = NumericReference(value, length, i, unit)) {
                out.push_back(unit);
                i += used;
                continue;
            }
        } else {
            bool replaced = false;
            for (const NamedEntity& entity : kNamedEntities) {
                const size_t nameLength = std::wcslen(entity.name);
                if (i + nameLength <= length && std::wmemcmp(value + i, entity.name, nameLength) == 0) {
                    out.push_back(entity.character);
                    i += nameLength;
                    replaced = true;
                    break;
                }
            }
            if (replaced) continue;
        }
        out.push_back(c);
        ++i;
    }
    return out;
}

}  // namespace FeedDoc

}  // namespace Vornex
