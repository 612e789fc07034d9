#include "app/feed/FeedDocument.h"

#include <cwchar>

#include "app/feed/FeedAttributeReader.h"
#include "app/feed/FeedEntities.h"
#include "app/feed/FeedNameMatch.h"
#include "app/feed/FeedTreeBuilder.h"

namespace Vornex {

using namespace FeedDoc;

namespace {
// Offsets are 32-bit; the limit keeps every end offset representable.
constexpr size_t kMaxDocumentLength = 0x7FFFFFFF;
}  // namespace

bool CFeedDocument::Parse(const wchar_t* text, size_t length)
{
    if (text == nullptr) length = 0;
    if (length > kMaxDocumentLength) {
        m_text.clear();
        m_table.Clear();
        ResetCursor();
        m_error = L"Document too large";
        return false;
    }
    if (text != m_text.data() || length != m_text.size())  // reparsing its own text keeps it
        m_text.assign(text ? text : L"", length);
    return Rebuild();
}

bool CFeedDocument::Parse(std::wstring&& text)
{
    if (text.size() > kMaxDocumentLength) return Parse(text.data(), text.size());
    m_text = std::move(text);
    return Rebuild();
}

bool CFeedDocument::Rebuild()
{
    // The error text describes this parse only: a document reused for a new
    // text must not carry the previous text's complaint.
    m_error.clear();
    ResetCursor();
    const uint32_t length = static_cast<uint32_t>(m_text.size());
    if (!m_table.Reset(length / 64 + 8)) {
        m_error = L"Out of memory";
        return false;
    }
    if (length == 0) {
        m_error = L"Empty document";
        return false;
    }
    CFeedTreeBuilder builder(m_text.data(), length, IgnoreCase(), m_table);
    const uint32_t firstTopLevel = builder.Build(m_error);
    ElementRecord& root = m_table[0];
    root.length = length;
    bool oneRoot = false;
    if (firstTopLevel == 0) {
        m_error = L"No root element";
    } else {
        root.firstChild = firstTopLevel;
        if (m_table[firstTopLevel].nextSibling != 0)
            m_error = L"Root element has sibling";
        else
            oneRoot = true;
    }
    ResetCursor();
    return oneRoot && (root.levelAndFlags & DOC_ILL_FORMED) == 0;
}

void CFeedDocument::ResetCursor()
{
    m_parent = 0;
    m_current = 0;
    m_child = 0;
    m_kind = 0;
}

bool CFeedDocument::FindElement(const wchar_t* name)
{
    if (m_table.Used() == 0 || name == nullptr) return false;
    const size_t nameLength = std::wcslen(name);
    uint32_t index = m_current != 0 ? m_table[m_current].nextSibling : m_table[m_parent].firstChild;
    for (; index != 0; index = m_table[index].nextSibling) {
        if (ElementNameMatches(index, name, nameLength)) {
            m_current = index;
            m_parent = m_table[index].parent;
            m_child = 0;
            m_kind = NODE_ELEMENT;
            return true;
        }
    }
    return false;
}

bool CFeedDocument::EnterElement()
{
    if (m_kind != NODE_ELEMENT || m_current == 0) return false;
    m_parent = m_current;
    m_current = m_child;
    m_child = 0;
    m_kind = m_current != 0 ? NODE_ELEMENT : 0;
    return true;
}

bool CFeedDocument::LeaveElement()
{
    if (m_parent == 0) return false;
    m_child = m_current;
    m_current = m_parent;
    m_parent = m_table[m_current].parent;
    m_kind = NODE_ELEMENT;
    return true;
}

std::wstring CFeedDocument::GetAttribute(const wchar_t* name) const
{
    if (m_kind != NODE_ELEMENT || m_current == 0 || name == nullptr) return std::wstring();
    const ElementRecord& record = m_table[m_current];
    const uint32_t end = record.start + StartTagLength(record);
    const FoundAttribute found =
        FindAttribute(m_text.data(), record.start + 1, end, name, std::wcslen(name), IgnoreCase());
    if (!found.found) return std::wstring();
    return DecodeEntities(m_text.data() + found.valueStart, found.valueLength);
}

std::wstring CFeedDocument::DecodeEntities(const wchar_t* value, size_t length)
{
    return DecodeFeedEntities(value, length);
}

const ElementRecord* CFeedDocument::GetRecord(uint32_t index) const
{
    if (index >= m_table.Used()) return nullptr;
    return &m_table[index];
}

bool CFeedDocument::ElementNameMatches(uint32_t index, const wchar_t* name, size_t nameLength) const
{
    // The name is read from the text: after "<" and any blanks, up to the
    // first unit that cannot be part of it.
    const uint32_t length = static_cast<uint32_t>(m_text.size());
    uint32_t i = m_table[index].start + 1;
    while (i < length && IsBlank(m_text[i])) ++i;
    const uint32_t start = i;
    while (i < length) {
        const wchar_t c = m_text[i];
        if (IsBlank(c) || c == L'<' || c == L'>' || c == L'=' || c == L'\\' || c == L'/' || c == L'?' || c == L'!')
            break;
        ++i;
    }
    return NameMatches(m_text.data() + start, i - start, name, nameLength, IgnoreCase());
}

}  // namespace Vornex
