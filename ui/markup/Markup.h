#pragma once
// Skin markup document: a small XML dialect parsed in one pass, in place.
//
// The whole text is copied once into a wide-character buffer that the
// document owns. Parsing writes terminators into that buffer, so element
// names, attribute names and values and element text are handed out as plain
// pointers into it, and the tree is kept in a flat table of fixed-size
// records instead of node objects. CMarkupNode is the handle for walking it.
//
// Supported: elements, double-quoted attributes, the five named entities,
// comments (<!-- ... -->) and processing instructions (<? ... ?>). Not
// supported: DTDs, CDATA, namespaces, numeric character references and
// single-quoted attribute values. A document using a DOCTYPE, CDATA or any
// other declaration, an unterminated comment or instruction, a nameless
// element, or holding no element at all, fails to load with a message.

#include "ui/markup/MarkupNode.h"
#include "ui/base/Platform.h"

#include <cstddef>
#include <cstdint>

namespace SkinUI {

enum {
    MARKUP_ENCODING_UTF8 = 0,
    MARKUP_ENCODING_UTF16 = 1,  // must start with a byte-order mark (FF FE or FE FF)
    MARKUP_ENCODING_ANSI = 2,   // the system's ANSI code page
};

// One element of the table. Positions index wide characters of the document
// text; links index the table, 0 meaning "none" (record 0 is a placeholder,
// the root is record 1).
struct tagXMLELEMENT {
    uint32_t iStart;   // first character of the element name
    uint32_t iChild;   // first child
    uint32_t iNext;    // next sibling
    uint32_t iParent;  // parent, 0 for a top-level element
    uint32_t iData;    // element text (empty for an empty element)
};

class CMarkup {
public:
    // Loads `xml` with Load when it is given.
    explicit CMarkup(LPCTSTR xml = nullptr);
    ~CMarkup();
    CMarkup(const CMarkup&) = delete;
    CMarkup& operator=(const CMarkup&) = delete;

    // Every load releases the previous document first and releases the new
    // one again when it fails; the error texts then say why.
    bool Load(LPCTSTR xml);
    bool LoadFromMem(const BYTE* data, DWORD size, int encoding = MARKUP_ENCODING_UTF8);
    // Reads `name` from the skin archive or the skin folder of the resource
    // context (CPaintManagerUI). Documents are limited to 4,194,304 bytes.
    bool LoadFromFile(LPCTSTR name, int encoding = MARKUP_ENCODING_UTF8);
    void Release();
    bool IsValid() const;

    // True after construction: spaces in values and text stay as written.
    // When false, a run of whitespace behind a space collapses into it.
    void SetPreserveWhitespace(bool preserve = true);

    // Copy at most `capacity` characters of the last error message / the
    // text found at the failure point; no terminator is added when cut.
    void GetLastErrorMessage(LPTSTR buffer, size_t capacity) const;
    void GetLastErrorLocation(LPTSTR buffer, size_t capacity) const;

    // Record 1, or an invalid node when the document holds no element.
    CMarkupNode GetRoot();

    // Number of element records currently reserved (diagnostics and tests).
    uint32_t GetReservedElementCount() const { return m_nReservedElements; }

    static const size_t kMaxDocumentBytes = 4194304;

private:
    friend class CMarkupNode;

    bool AdoptText(wchar_t* text);
    bool _Parse();
    bool _Parse(LPTSTR& text, uint32_t parent, uint32_t depth);
    bool SkipCommentOrInstruction(LPTSTR& text);
    bool _ParseAttributes(LPTSTR& text);
    void _ParseData(LPTSTR& text, LPTSTR& dest, wchar_t end);
    uint32_t _ReserveElement();
    bool _Failed(LPCTSTR message, LPCTSTR location = nullptr);
    void SetError(LPCTSTR message);
    static void SkipWhitespace(LPTSTR& text);
    static void SkipWhitespace(LPCTSTR& text);
    static void SkipIdentifier(LPTSTR& text);
    static void SkipIdentifier(LPCTSTR& text);

    wchar_t* m_pstrXML = nullptr;
    tagXMLELEMENT* m_pElements = nullptr;
    uint32_t m_nElements = 0;
    uint32_t m_nReservedElements = 0;
    bool m_bPreserveWhitespace = true;
    wchar_t m_szErrorMsg[100];
    wchar_t m_szErrorXML[50];
};

}  // namespace SkinUI
