#include "ui/markup/MarkupNode.h"

#include "ui/markup/Markup.h"

#include <cstring>
#include <cwchar>

namespace SkinUI {
namespace {

const wchar_t kEmpty[] = L"";

bool CopyValue(LPCTSTR value, LPTSTR buffer, size_t capacity)
{
    if (buffer == nullptr) return true;
    const size_t length = std::wcslen(value);
    std::memcpy(buffer, value, (length < capacity ? length + 1 : capacity) * sizeof(wchar_t));
    return true;
}

}  // namespace

CMarkupNode::CMarkupNode() = default;

CMarkupNode::CMarkupNode(CMarkup* owner, uint32_t index) : m_iPos(index), m_pOwner(owner) {}

CMarkupNode::CMarkupNode(const CMarkupNode& other) { *this = other; }

CMarkupNode& CMarkupNode::operator=(const CMarkupNode& other)
{
    if (this == &other) return *this;
    m_iPos = other.m_iPos;
    m_pOwner = other.m_pOwner;
    m_bMapped = other.m_bMapped;
    m_nAttributes = other.m_nAttributes;
    std::memcpy(m_aAttributes, other.m_aAttributes, sizeof(Attribute) * static_cast<size_t>(m_nAttributes));
    return *this;
}

bool CMarkupNode::IsValid() const
{
    return m_pOwner != nullptr && m_pOwner->m_pElements != nullptr && m_iPos != 0 && m_iPos < m_pOwner->m_nElements;
}

CMarkupNode CMarkupNode::GetParent() const
{
    if (!IsValid()) return CMarkupNode();
    const uint32_t link = m_pOwner->m_pElements[m_iPos].iParent;
    return link == 0 ? CMarkupNode() : CMarkupNode(m_pOwner, link);
}

CMarkupNode CMarkupNode::GetSibling() const
{
    if (!IsValid()) return CMarkupNode();
    const uint32_t link = m_pOwner->m_pElements[m_iPos].iNext;
    return link == 0 ? CMarkupNode() : CMarkupNode(m_pOwner, link);
}

CMarkupNode CMarkupNode::GetChild() const
{
    if (!IsValid()) return CMarkupNode();
    const uint32_t link = m_pOwner->m_pElements[m_iPos].iChild;
    return link == 0 ? CMarkupNode() : CMarkupNode(m_pOwner, link);
}

CMarkupNode CMarkupNode::GetChild(LPCTSTR name) const
{
    if (!IsValid() || name == nullptr) return CMarkupNode();
    uint32_t link = m_pOwner->m_pElements[m_iPos].iChild;
    while (link != 0) {
        if (std::wcscmp(m_pOwner->m_pstrXML + m_pOwner->m_pElements[link].iStart, name) == 0) {
            return CMarkupNode(m_pOwner, link);
        }
        link = m_pOwner->m_pElements[link].iNext;
    }
    return CMarkupNode();
}

bool CMarkupNode::HasSiblings() const { return IsValid() && m_pOwner->m_pElements[m_iPos].iNext != 0; }

bool CMarkupNode::HasChildren() const { return IsValid() && m_pOwner->m_pElements[m_iPos].iChild != 0; }

LPCTSTR CMarkupNode::GetName() const
{
    if (!IsValid()) return nullptr;
    return m_pOwner->m_pstrXML + m_pOwner->m_pElements[m_iPos].iStart;
}

LPCTSTR CMarkupNode::GetValue() const
{
    if (!IsValid()) return nullptr;
    return m_pOwner->m_pstrXML + m_pOwner->m_pElements[m_iPos].iData;
}

void CMarkupNode::MapAttributes() const
{
    m_bMapped = true;
    m_nAttributes = 0;
    const wchar_t* const xml = m_pOwner->m_pstrXML;
    const tagXMLELEMENT& element = m_pOwner->m_pElements[m_iPos];
    // Attributes lie between the name and the element text as a sequence of
    // terminated strings: name, then '"' and value. Every step is bounded by
    // the element text, so a malformed gap can never be read past.
    const wchar_t* const end = xml + element.iData;
    const wchar_t* p = xml + element.iStart;
    auto stepOverString = [end](const wchar_t*& s) {
        while (s < end && *s != L'\0') ++s;
        ++s;  // the terminator
    };
    auto skipWhitespace = [end](const wchar_t*& s) {
        while (s < end && static_cast<uint32_t>(*s) - 1u < 32u) ++s;
    };
    stepOverString(p);
    while (p < end && m_nAttributes < kMaxAttributes) {
        skipWhitespace(p);
        if (p >= end) break;
        const wchar_t* name = p;
        stepOverString(p);
        skipWhitespace(p);  // the former '='
        if (p >= end || *p != L'"') break;
        ++p;
        m_aAttributes[m_nAttributes].iName = static_cast<uint32_t>(name - xml);
        m_aAttributes[m_nAttributes].iValue = static_cast<uint32_t>(p - xml);
        ++m_nAttributes;
        stepOverString(p);
    }
}

int CMarkupNode::GetAttributeCount() const
{
    if (!IsValid()) return 0;
    if (!m_bMapped) MapAttributes();
    return m_nAttributes;
}

bool CMarkupNode::HasAttributes() const { return GetAttributeCount() > 0; }

int CMarkupNode::FindAttribute(LPCTSTR name) const
{
    if (name == nullptr) return -1;
    const int count = GetAttributeCount();
    for (int i = 0; i < count; ++i) {
        if (std::wcscmp(m_pOwner->m_pstrXML + m_aAttributes[i].iName, name) == 0) return i;
    }
    return -1;
}

bool CMarkupNode::HasAttribute(LPCTSTR name) const { return FindAttribute(name) >= 0; }

LPCTSTR CMarkupNode::GetAttributeName(int index) const
{
    if (index < 0 || index >= GetAttributeCount()) return kEmpty;
    return m_pOwner->m_pstrXML + m_aAttributes[index].iName;
}

LPCTSTR CMarkupNode::GetAttributeValue(int index) const
{
    if (index < 0 || index >= GetAttributeCount()) return kEmpty;
    return m_pOwner->m_pstrXML + m_aAttributes[index].iValue;
}

LPCTSTR CMarkupNode::GetAttributeValue(LPCTSTR name) const
{
    const int index = FindAttribute(name);
    return index < 0 ? kEmpty : m_pOwner->m_pstrXML + m_aAttributes[index].iValue;
}

bool CMarkupNode::GetAttributeValue(int index, LPTSTR buffer, size_t capacity) const
{
    if (index < 0 || index >= GetAttributeCount()) return false;
    return CopyValue(m_pOwner->m_pstrXML + m_aAttributes[index].iValue, buffer, capacity);
}

bool CMarkupNode::GetAttributeValue(LPCTSTR name, LPTSTR buffer, size_t capacity) const
{
    const int index = FindAttribute(name);
    if (index < 0) return false;
    return CopyValue(m_pOwner->m_pstrXML + m_aAttributes[index].iValue, buffer, capacity);
}

}  // namespace SkinUI
