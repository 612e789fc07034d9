// Parses hostile bytes as a feed document, then walks the whole element tree
// with the cursor and reads attributes of every element.
//
// Input: the first byte chooses the options (bit 0: ignore case) and how the
// rest becomes text (bit 1: one byte per unit, else pairs of bytes as 16-bit
// units, which reach surrogates and other non-ASCII values).

#include <cstddef>
#include <cstdint>
#include <string>

#include "app/feed/FeedDocument.h"
#include "app/feed/FeedTypes.h"

using namespace Vornex;

namespace {

const wchar_t* const kNames[] = {L"config", L"StaticAd", L"ScrollAd", L"item", L"ad", L"a", L""};
const wchar_t* const kAttributes[] = {L"text", L"url", L"a", L"x=", L""};

void CheckRecord(const CFeedDocument& doc, uint32_t index)
{
    const FeedDoc::ElementRecord* record = doc.GetRecord(index);
    if (record == nullptr) __builtin_trap();
    if (index != 0 && (record->start >= doc.GetText().size() || record->length == 0 ||
                       uint64_t(record->start) + record->length > doc.GetText().size()))
        __builtin_trap();
}

// The element name as FindElement reads it: after "<" and blanks, up to the
// first unit that ends a name.
std::wstring NameOf(const CFeedDocument& doc, uint32_t index)
{
    const std::wstring& text = doc.GetText();
    size_t i = doc.GetRecord(index)->start + 1;
    while (i < text.size() && FeedDoc::IsBlank(text[i])) ++i;
    const size_t begin = i;
    while (i < text.size() && !FeedDoc::IsBlank(text[i]) &&
           std::wstring(L"<>=\\/?!").find(text[i]) == std::wstring::npos)
        ++i;
    return text.substr(begin, i - begin);
}

// Moves the cursor to the element after the current one (or to the first
// child when there is no current one) by searching for its name, and checks
// that the search lands exactly there.
bool StepTo(CFeedDocument& doc)
{
    const uint32_t current = doc.GetCurrentIndex();
    const uint32_t next =
        current != 0 ? doc.GetRecord(current)->nextSibling : doc.GetRecord(doc.GetParentIndex())->firstChild;
    if (next == 0) return false;
    const std::wstring name = NameOf(doc, next);
    const bool found = doc.FindElement(name.c_str());
    if (name.find(L'\0') == std::wstring::npos && (!found || doc.GetCurrentIndex() != next)) __builtin_trap();
    return found && doc.GetCurrentIndex() == next;
}

// Depth-first over every element, iteratively: Enter goes down, Leave comes
// back up and the search moves on to the next sibling.
void WalkAll(CFeedDocument& doc)
{
    size_t steps = 0;
    const size_t limit = 4 * (size_t(doc.GetRecordCount()) + 2);
    bool descend = StepTo(doc);
    while (++steps < limit) {
        if (descend) {
            CheckRecord(doc, doc.GetCurrentIndex());
            for (const wchar_t* attribute : kAttributes) doc.GetAttribute(attribute);
            doc.EnterElement();
            descend = StepTo(doc);
            continue;
        }
        if (!doc.LeaveElement()) return;
        descend = StepTo(doc);
    }
    __builtin_trap();  // the walk must end: the tree has no cycles
}

// The feed's own searches by fixed names.
void SearchNames(CFeedDocument& doc)
{
    const std::wstring text = doc.GetText();
    for (const wchar_t* name : kNames) {
        doc.Parse(text);
        size_t guard = 0;
        while (doc.FindElement(name) && ++guard < 64) {
            doc.GetAttribute(L"text");
            doc.EnterElement();
        }
        while (doc.LeaveElement()) {}
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0) return 0;
    const uint8_t mode = data[0];
    ++data;
    --size;
    std::wstring text;
    if (mode & 2) {
        text.assign(data, data + size);
    } else {
        for (size_t i = 0; i + 1 < size; i += 2) text.push_back(static_cast<wchar_t>(data[i] | (data[i + 1] << 8)));
    }
    CFeedDocument doc;
    doc.SetOptions((mode & 1) ? FeedDoc::DOC_IGNORE_CASE : 0);
    const bool wellFormed = doc.Parse(text);
    if (wellFormed != doc.GetErrorText().empty()) __builtin_trap();
    for (uint32_t i = 0; i < doc.GetRecordCount(); ++i) CheckRecord(doc, i);
    WalkAll(doc);
    SearchNames(doc);
    CFeedDocument::DecodeEntities(text);
    return 0;
}
