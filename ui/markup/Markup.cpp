#include "ui/markup/Markup.h"

#include "ui/base/VectorScan.h"
#include "ui/markup/MarkupTextDecoder.h"

#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <cwctype>

namespace SkinUI {
namespace {

const size_t kErrorMessageChars = 99;
const size_t kErrorLocationChars = 49;
// The parser descends one call per element level. Skins nest a few dozen
// levels; the bound keeps hostile input from exhausting the stack.
const uint32_t kMaxNestingDepth = 1000;

// Identifier characters: letters and digits, '_' and ':'. ASCII is answered
// from a table; only other characters pay for the library's wide test.
struct IdentifierTable {
    bool ascii[128];
    IdentifierTable()
    {
        for (int c = 0; c < 128; ++c) {
            ascii[c] =
                (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' || c == ':';
        }
    }
};
const IdentifierTable kIdentifier;

inline bool IsIdentifierChar(wchar_t c)
{
    const uint32_t u = static_cast<uint32_t>(c);
    if (u < 128) return kIdentifier.ascii[u];
    return std::iswalnum(static_cast<wint_t>(c)) != 0;
}

// Whitespace is every unit from 1 to 32: space and all control characters.
inline bool IsWhitespace(wchar_t c) { return static_cast<uint32_t>(c) - 1u < 32u; }

// The first of `text`'s characters that is `end`, '&' or the terminator.
// Values and element text are mostly plain, so they are scanned a vector at
// a time; the text's padding keeps the reads behind the terminator inside
// the buffer.
inline wchar_t* ScanToDataEnd(wchar_t* text, wchar_t end)
{
#if VORNEX_VECTOR_SCAN
    const size_t perVector = 16 / sizeof(wchar_t);
    static_assert(2 * perVector <= kMarkupTextPadding + 1, "scans must stay inside the padding");
    const bool narrow = sizeof(wchar_t) == 2;
    const __m128i wantEnd = narrow ? _mm_set1_epi16(static_cast<short>(end)) : _mm_set1_epi32(static_cast<int>(end));
    const __m128i wantAmp = narrow ? _mm_set1_epi16(L'&') : _mm_set1_epi32(L'&');
    const __m128i zero = _mm_setzero_si128();
    auto hits = [&](const wchar_t* at) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(at));
        const __m128i m = narrow ? _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi16(v, wantEnd), _mm_cmpeq_epi16(v, wantAmp)),
                                                _mm_cmpeq_epi16(v, zero))
                                 : _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi32(v, wantEnd), _mm_cmpeq_epi32(v, wantAmp)),
                                                _mm_cmpeq_epi32(v, zero));
        return static_cast<unsigned>(_mm_movemask_epi8(m));
    };
    for (;;) {
        const unsigned mask = hits(text) | hits(text + perVector) << 16;
        if (mask != 0) return text + static_cast<unsigned>(__builtin_ctz(mask)) / sizeof(wchar_t);
        text += 2 * perVector;
    }
#else
    for (wchar_t c = *text; c != end && c != L'&' && c != L'\0'; c = *++text) {}
    return text;
#endif
}

void CopyCut(wchar_t* dst, const wchar_t* src, size_t maxChars)
{
    size_t n = 0;
    if (src != nullptr) {
        while (n < maxChars && src[n] != L'\0') {
            dst[n] = src[n];
            ++n;
        }
    }
    dst[n] = L'\0';
}

// An entity's length in characters, from '&' to ';', and what it stands for.
struct Entity {
    size_t length;
    wchar_t value;
};
const Entity kAmp = {5, L'&'};
const Entity kLt = {4, L'<'};
const Entity kGt = {4, L'>'};
const Entity kQuot = {6, L'"'};
const Entity kApos = {6, L'\''};

// Whether `text` starts with the `length` characters of `prefix`. Inline
// rather than a library call: the texts compared are a few characters long.
inline bool SamePrefix(const wchar_t* text, const wchar_t* prefix, size_t length)
{
    for (size_t i = 0; i < length; ++i) {
        if (text[i] != prefix[i]) return false;  // also stops at text's terminator
    }
    return true;
}

// The entity that `text` (at an '&') starts with, or null. Spelled out
// character by character: skins are full of &quot; and &apos;, and each
// comparison stops at the first difference, so never reads past the
// text's terminator.
const Entity* MatchEntity(const wchar_t* text)
{
    switch (text[1]) {
    case L'a':
        if (text[2] == L'm') return text[3] == L'p' && text[4] == L';' ? &kAmp : nullptr;
        return text[2] == L'p' && text[3] == L'o' && text[4] == L's' && text[5] == L';' ? &kApos : nullptr;
    case L'q':
        return text[2] == L'u' && text[3] == L'o' && text[4] == L't' && text[5] == L';' ? &kQuot : nullptr;
    case L'l':
        return text[2] == L't' && text[3] == L';' ? &kLt : nullptr;
    case L'g':
        return text[2] == L't' && text[3] == L';' ? &kGt : nullptr;
    default:
        return nullptr;
    }
}

}  // namespace

CMarkup::CMarkup(LPCTSTR xml)
{
    m_szErrorMsg[0] = L'\0';
    m_szErrorXML[0] = L'\0';
    if (xml != nullptr) Load(xml);
}

CMarkup::~CMarkup() { Release(); }

bool CMarkup::IsValid() const { return m_pElements != nullptr; }

void CMarkup::SetPreserveWhitespace(bool preserve) { m_bPreserveWhitespace = preserve; }

void CMarkup::Release()
{
    std::free(m_pstrXML);
    m_pstrXML = nullptr;
    std::free(m_pElements);
    m_pElements = nullptr;
    m_nElements = 0;
    m_nReservedElements = 0;
}

bool CMarkup::Load(LPCTSTR xml)
{
    Release();
    if (xml == nullptr) {
        SetError(L"No document");
        return false;
    }
    const size_t length = std::wcslen(xml);
    wchar_t* copy = AllocateMarkupText(length);
    if (copy == nullptr) {
        SetError(L"Out of memory");
        return false;
    }
    std::memcpy(copy, xml, length * sizeof(wchar_t));
    TerminateMarkupText(copy, length);
    return AdoptText(copy);
}

bool CMarkup::LoadFromMem(const BYTE* data, DWORD size, int encoding)
{
    Release();
    MarkupTextPtr text;
    switch (DecodeMarkupText(data, size, encoding, text)) {
    case MarkupDecodeResult::Ok:
        return AdoptText(text.release());
    case MarkupDecodeResult::MissingByteOrderMark:
        SetError(L"Missing byte-order mark");
        return false;
    case MarkupDecodeResult::UnknownEncoding:
        SetError(L"Unknown encoding");
        return false;
    case MarkupDecodeResult::OutOfMemory:
    default:
        SetError(L"Out of memory");
        return false;
    }
}

bool CMarkup::AdoptText(wchar_t* text)
{
    m_pstrXML = text;
    if (!_Parse()) {
        Release();
        return false;
    }
    return true;
}

void CMarkup::SetError(LPCTSTR message)
{
    CopyCut(m_szErrorMsg, message, kErrorMessageChars);
    m_szErrorXML[0] = L'\0';
}

void CMarkup::GetLastErrorMessage(LPTSTR buffer, size_t capacity) const
{
    if (buffer == nullptr) return;
    const size_t length = std::wcslen(m_szErrorMsg);
    std::memcpy(buffer, m_szErrorMsg, (length < capacity ? length + 1 : capacity) * sizeof(wchar_t));
}

void CMarkup::GetLastErrorLocation(LPTSTR buffer, size_t capacity) const
{
    if (buffer == nullptr) return;
    const size_t length = std::wcslen(m_szErrorXML);
    std::memcpy(buffer, m_szErrorXML, (length < capacity ? length + 1 : capacity) * sizeof(wchar_t));
}

CMarkupNode CMarkup::GetRoot()
{
    if (m_nElements < 2) return CMarkupNode();
    return CMarkupNode(this, 1);
}

bool CMarkup::_Failed(LPCTSTR message, LPCTSTR location)
{
    CopyCut(m_szErrorMsg, message, kErrorMessageChars);
    CopyCut(m_szErrorXML, location, kErrorLocationChars);
    return false;
}

void CMarkup::SkipWhitespace(LPTSTR& text)
{
    while (IsWhitespace(*text)) ++text;
}

void CMarkup::SkipWhitespace(LPCTSTR& text)
{
    while (IsWhitespace(*text)) ++text;
}

void CMarkup::SkipIdentifier(LPTSTR& text)
{
    while (IsIdentifierChar(*text)) ++text;
}

void CMarkup::SkipIdentifier(LPCTSTR& text)
{
    while (IsIdentifierChar(*text)) ++text;
}

uint32_t CMarkup::_ReserveElement()
{
    if (m_pElements == nullptr) m_nReservedElements = 0;
    if (m_nElements >= m_nReservedElements) {
        // Grow by half plus 500 twice over (0 becomes 1250), so small skins
        // need one allocation and large documents few reallocations.
        const uint64_t c = m_nReservedElements;
        const uint64_t c1 = c + c / 2 + 500;
        const uint64_t grown = c1 + (c1 / 2 + 500);
        if (grown > UINT32_MAX || grown > SIZE_MAX / sizeof(tagXMLELEMENT)) return 0;
        void* block = std::realloc(m_pElements, static_cast<size_t>(grown) * sizeof(tagXMLELEMENT));
        if (block == nullptr) return 0;
        m_pElements = static_cast<tagXMLELEMENT*>(block);
        m_nReservedElements = static_cast<uint32_t>(grown);
    }
    // Records are cleared as they are handed out rather than when the table
    // grows: a small skin then pays for the few records it uses only.
    std::memset(&m_pElements[m_nElements], 0, sizeof(tagXMLELEMENT));
    return m_nElements++;
}

bool CMarkup::_Parse()
{
    m_nElements = 0;
    m_szErrorMsg[0] = L'\0';
    m_szErrorXML[0] = L'\0';
    // Record 0 is a placeholder, so that index 0 can mean "no element".
    if (_ReserveElement() != 0 || m_pElements == nullptr) return _Failed(L"Out of memory");
    LPTSTR text = m_pstrXML;
    if (!_Parse(text, 0, 0)) return false;
    // A document without any element has nothing to build a window from;
    // it fails here rather than loading as an empty tree.
    if (m_nElements < 2) return _Failed(L"No root element");
    return true;
}

bool CMarkup::SkipCommentOrInstruction(LPTSTR& textRef)
{
    // Comments and processing instructions are skipped, not recorded; a
    // comment ends at the first "->", an instruction at the first "?>".
    // Other declarations (DOCTYPE, CDATA, ENTITY, ...) are refused: skipped
    // to some "->" they would swallow or misplace the elements behind them.
    LPTSTR text = textRef;
    const bool comment = *text == L'!';
    if (comment && (text[1] != L'-' || text[2] != L'-')) return _Failed(L"Unsupported declaration", text);
    const wchar_t closer = comment ? L'-' : L'?';
    const LPTSTR start = text;
    while (*text != L'\0' && !(text[0] == closer && text[1] == L'>')) ++text;
    if (*text == L'\0') {
        return _Failed(comment ? L"Unterminated comment" : L"Unterminated processing instruction", start);
    }
    textRef = text + 2;
    return true;
}

bool CMarkup::_Parse(LPTSTR& textRef, uint32_t parent, uint32_t depth)
{
    LPTSTR text = textRef;  // a local copy, as in _ParseData
    if (depth > kMaxNestingDepth) return _Failed(L"Elements nested too deeply", text);
    uint32_t previous = 0;
    for (;;) {
        SkipWhitespace(text);
        // A missing end tag of the root or of its direct children is
        // tolerated at the end of the text.
        if (*text == L'\0' && parent <= 1) {
            textRef = text;
            return true;
        }
        if (*text != L'<') return _Failed(L"Expected start tag", text);
        if (text[1] == L'/') {  // the caller checks the end tag
            textRef = text;
            return true;
        }
        *text++ = L'\0';
        SkipWhitespace(text);
        if (*text == L'!' || *text == L'?') {
            if (!SkipCommentOrInstruction(text)) return false;
            continue;
        }
        SkipWhitespace(text);
        // An element needs a name; "<>" or "< />" would otherwise become a
        // nameless element that no consumer could tell apart from text.
        if (!IsIdentifierChar(*text)) return _Failed(L"Error parsing element name", text);
        const uint32_t pos = _ReserveElement();
        if (pos == 0) return _Failed(L"Out of memory");
        // The record comes cleared; only the links known now are set.
        tagXMLELEMENT& element = m_pElements[pos];
        element.iStart = static_cast<uint32_t>(text - m_pstrXML);
        element.iParent = parent;
        if (previous != 0) {
            m_pElements[previous].iNext = pos;
        } else if (parent != 0) {
            m_pElements[parent].iChild = pos;
        }
        previous = pos;

        const LPTSTR name = text;
        SkipIdentifier(text);
        const LPTSTR nameEnd = text;
        if (*text == L'\0') return _Failed(L"Error parsing element name", text);
        if (!_ParseAttributes(text)) return false;
        SkipWhitespace(text);
        if (text[0] == L'/' && text[1] == L'>') {
            // Empty element: its text is the terminator written on the '/'.
            m_pElements[pos].iData = static_cast<uint32_t>(text - m_pstrXML);
            *text = L'\0';
            text += 2;
        } else {
            if (*text != L'>') return _Failed(L"Expected start-tag closing", text);
            ++text;
            m_pElements[pos].iData = static_cast<uint32_t>(text - m_pstrXML);
            LPTSTR dest = text;
            _ParseData(text, dest, L'<');
            if (*text == L'\0') {
                *dest = L'\0';
                *nameEnd = L'\0';
                if (parent <= 1) {
                    textRef = text;
                    return true;
                }
                return _Failed(L"Expected end-tag start", text);
            }
            // The element's text ends where its decoded characters end.
            if (dest < text) *dest = L'\0';
            if (text[1] != L'/') {
                if (!_Parse(text, pos, depth + 1)) return false;
            }
            if (text[0] == L'<' && text[1] == L'/') {
                *dest = L'\0';
                *text = L'\0';
                text += 2;
                SkipWhitespace(text);
                const size_t nameLength = static_cast<size_t>(nameEnd - name);
                if (!SamePrefix(text, name, nameLength)) return _Failed(L"Unmatched closing tag", text);
                text += nameLength;
                SkipWhitespace(text);
                if (*text == L'\0') return _Failed(L"Unmatched closing tag", text);
                if (*text++ != L'>') return _Failed(L"Unmatched closing tag", text);
            }
        }
        *nameEnd = L'\0';
    }
}

bool CMarkup::_ParseAttributes(LPTSTR& textRef)
{
    LPTSTR text = textRef;  // a local copy, as in _ParseData
    if (*text == L'>') return true;
    // "<Name/>" is an empty element without attributes; the '/' is needed
    // by the caller to see that.
    if (text[0] == L'/' && text[1] == L'>') return true;
    *text++ = L'\0';  // ends the element name
    SkipWhitespace(text);
    while (*text != L'\0' && *text != L'>' && *text != L'/') {
        SkipIdentifier(text);
        const LPTSTR nameEnd = text;
        SkipWhitespace(text);
        if (*text != L'=') return _Failed(L"Error while parsing attributes", text);
        *text++ = L' ';
        *nameEnd = L'\0';
        SkipWhitespace(text);
        if (*text == L'\0') return _Failed(L"Expected attribute value", text);
        if (*text++ != L'"') return _Failed(L"Expected attribute value", text);
        LPTSTR dest = text;
        _ParseData(text, dest, L'"');
        if (*text == L'\0') return _Failed(L"Error while parsing attribute string", text);
        *dest = L'\0';
        // A shortened value leaves the closing quote as filler, so that the
        // attribute map can step over the value with one string length.
        if (dest != text) *text = L' ';
        ++text;
        SkipWhitespace(text);
    }
    textRef = text;
    return true;
}

// Forced inline into its two callers: it runs once per value and per
// element text, mostly over a few characters, and as a call every one of
// them paid for passing both pointers through memory.
[[gnu::always_inline]] inline void CMarkup::_ParseData(LPTSTR& textRef, LPTSTR& destRef, wchar_t end)
{
    // Work on local copies: written through the references, every step
    // would store both pointers back to memory.
    wchar_t* text = textRef;
    wchar_t* dest = destRef;
    if (m_bPreserveWhitespace) {
        // Most text needs no change: scan it without copying until the
        // first entity, then move each plain run between entities down
        // over the characters the entities gave up.
        text = ScanToDataEnd(text, end);
        dest = text;
        while (*text == L'&') {
            const Entity* entity = MatchEntity(text);
            if (entity != nullptr) {
                *dest++ = entity->value;
                text += entity->length;
            } else {
                *dest++ = *text++;
            }
            wchar_t* const runEnd = ScanToDataEnd(text, end);
            if (dest != text) {
                for (; text < runEnd; ++text) *dest++ = *text;
            } else {
                dest = text = runEnd;
            }
        }
    } else {
        while (*text != L'\0' && *text != end) {
            if (*text == L'&') {
                const Entity* entity = MatchEntity(text);
                if (entity != nullptr) {
                    *dest++ = entity->value;
                    text += entity->length;
                } else {
                    *dest++ = *text++;
                }
            } else if (*text == L' ') {
                *dest++ = *text++;
                SkipWhitespace(text);
            } else {
                *dest++ = *text++;
            }
        }
    }
    // Fill the gap left by decoding, so that whatever follows the
    // terminator the caller writes at `dest` reads as whitespace.
    for (wchar_t* fill = dest; fill < text; ++fill) *fill = L' ';
    textRef = text;
    destRef = dest;
}

}  // namespace SkinUI
