// Skin markup from untrusted bytes. The first byte picks the encoding and the
// whitespace mode; the rest is the document. Every element of a parsed
// document is visited and every attribute read, so the attribute maps and
// the in-place terminators are exercised as the dialog builder would.
#include "ui/markup/Markup.h"

#include <cstddef>
#include <cstdint>
#include <cwchar>
#include <vector>

using namespace SkinUI;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1) return 0;
    static const int kEncodings[] = {MARKUP_ENCODING_UTF8, MARKUP_ENCODING_UTF16, MARKUP_ENCODING_ANSI};
    const int encoding = kEncodings[data[0] % 3];
    CMarkup doc;
    doc.SetPreserveWhitespace((data[0] & 0x80) == 0);
    if (!doc.LoadFromMem(data + 1, static_cast<DWORD>(size - 1), encoding)) {
        wchar_t text[128];
        doc.GetLastErrorMessage(text, 128);
        doc.GetLastErrorLocation(text, 128);
        return 0;
    }
    size_t checksum = 0;
    std::vector<CMarkupNode> pending;
    pending.push_back(doc.GetRoot());
    while (!pending.empty()) {
        const CMarkupNode node = pending.back();
        pending.pop_back();
        if (!node.IsValid()) continue;
        checksum += std::wcslen(node.GetName()) + std::wcslen(node.GetValue());
        const int count = node.GetAttributeCount();
        for (int i = 0; i < count; ++i) {
            const wchar_t* name = node.GetAttributeName(i);
            checksum += std::wcslen(name) + std::wcslen(node.GetAttributeValue(i));
            checksum += std::wcslen(node.GetAttributeValue(name));
            wchar_t buffer[16];
            node.GetAttributeValue(i, buffer, 16);
        }
        checksum += node.GetChild(node.GetName()).IsValid();
        checksum += node.GetParent().IsValid();
        pending.push_back(node.GetSibling());
        pending.push_back(node.GetChild());
    }
    return checksum == static_cast<size_t>(-1);
}
