#pragma once
// Handle of one element of a CMarkup document: the document and the element's
// index, plus the element's attribute map, computed the first time an
// attribute is asked for and kept in the handle. Copy it freely; it is valid
// while its document lives and is not reloaded.

#include "ui/base/Platform.h"

#include <cstddef>
#include <cstdint>

namespace SkinUI {

class CMarkup;

class CMarkupNode {
public:
    // Attributes behind the 64th of an element are not visible.
    static const int kMaxAttributes = 64;

    CMarkupNode();
    CMarkupNode(CMarkup* owner, uint32_t index);
    // Copies carry only the attributes mapped so far, not the whole map.
    CMarkupNode(const CMarkupNode& other);
    CMarkupNode& operator=(const CMarkupNode& other);

    // Every query on an invalid node returns an invalid node, null, 0 or false.
    bool IsValid() const;

    CMarkupNode GetParent() const;
    CMarkupNode GetSibling() const;
    CMarkupNode GetChild() const;
    CMarkupNode GetChild(LPCTSTR name) const;  // first child named exactly `name`

    bool HasSiblings() const;
    bool HasChildren() const;
    LPCTSTR GetName() const;
    LPCTSTR GetValue() const;

    bool HasAttributes() const;
    bool HasAttribute(LPCTSTR name) const;
    int GetAttributeCount() const;
    // An empty text (never null) for an index out of range or an absent name.
    LPCTSTR GetAttributeName(int index) const;
    LPCTSTR GetAttributeValue(int index) const;
    LPCTSTR GetAttributeValue(LPCTSTR name) const;
    // Copy at most `capacity` characters (no terminator when cut); false for
    // an index out of range or an absent name.
    bool GetAttributeValue(int index, LPTSTR buffer, size_t capacity) const;
    bool GetAttributeValue(LPCTSTR name, LPTSTR buffer, size_t capacity) const;

private:
    struct Attribute {
        uint32_t iName;
        uint32_t iValue;
    };

    void MapAttributes() const;
    int FindAttribute(LPCTSTR name) const;

    uint32_t m_iPos = 0;
    mutable bool m_bMapped = false;
    mutable int m_nAttributes = 0;
    mutable Attribute m_aAttributes[kMaxAttributes];
    CMarkup* m_pOwner = nullptr;
};

}  // namespace SkinUI
