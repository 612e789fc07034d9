#pragma once
// The promotion feed's document: a small non-validating XML parser with a
// cursor. Parse scans the whole text once into a table of element records
// (offsets into the text, no copies), tells whether the document is
// well-formed, and keeps a descriptive error text. The caller then walks the
// elements level by level and reads attribute values; text, comments, CDATA,
// processing instructions and the DOCTYPE are recognised only to be skipped.
//
// Hostile input is expected (the feed arrives over plain HTTP): parsing is
// linear in the text, needs no stack depth that follows the nesting, and
// recovers from missing and mismatched end tags (the document is then
// reported as not well-formed). Used by one thread.

#include <cstdint>
#include <string>

#include "app/feed/FeedElementTable.h"
#include "app/feed/FeedTypes.h"

namespace Vornex {

class CFeedDocument {
public:
    CFeedDocument() = default;
    CFeedDocument(const CFeedDocument&) = delete;
    CFeedDocument& operator=(const CFeedDocument&) = delete;

    // Replaces the text, rebuilds the element table and puts the cursor before
    // the first top-level element. True exactly when the document is
    // well-formed: nothing malformed and exactly one top-level element.
    bool Parse(const wchar_t* text, size_t length);
    bool Parse(const std::wstring& text) { return Parse(text.data(), text.size()); }
    bool Parse(std::wstring&& text);

    // Finds the next element named `name` on the cursor's level, after the
    // current element (or from the first one when there is none) and makes it
    // current. Nothing changes when there is none.
    bool FindElement(const wchar_t* name);
    // Moves into the current element: FindElement then searches its children.
    bool EnterElement();
    // Moves back out: the enclosing element becomes current again.
    bool LeaveElement();
    // Decoded value of the current element's attribute `name`; empty when
    // there is no current element or no such attribute.
    std::wstring GetAttribute(const wchar_t* name) const;

    const std::wstring& GetErrorText() const { return m_error; }

    // FeedDoc::DOC_IGNORE_CASE compares names without regard to ASCII case.
    void SetOptions(unsigned options) { m_options = options; }
    unsigned GetOptions() const { return m_options; }

    // Replaces character references and the five predefined entities.
    static std::wstring DecodeEntities(const wchar_t* value, size_t length);
    static std::wstring DecodeEntities(const std::wstring& value) { return DecodeEntities(value.data(), value.size()); }

    // The cursor and the table, for inspection.
    uint32_t GetParentIndex() const { return m_parent; }
    uint32_t GetCurrentIndex() const { return m_current; }
    uint32_t GetChildIndex() const { return m_child; }
    int GetNodeKind() const { return m_kind; }
    uint32_t GetRecordCount() const { return m_table.Used(); }
    // Record `index`, or null when it is not in use.
    const FeedDoc::ElementRecord* GetRecord(uint32_t index) const;
    const std::wstring& GetText() const { return m_text; }

private:
    bool Rebuild();
    void ResetCursor();
    bool ElementNameMatches(uint32_t index, const wchar_t* name, size_t nameLength) const;
    bool IgnoreCase() const { return (m_options & FeedDoc::DOC_IGNORE_CASE) != 0; }

    std::wstring m_text;
    std::wstring m_error;
    FeedDoc::CFeedElementTable m_table;
    uint32_t m_parent = 0;
    uint32_t m_current = 0;
    uint32_t m_child = 0;
    int m_kind = 0;
    unsigned m_options = 0;
};

}  // namespace Vornex
