#pragma once
// Node kinds, record flags and the record layout shared by the feed
// document's scanner, element table and tree builder.

#include <cstdint>

namespace Vornex {

namespace FeedDoc {

// What the scanner found at a position.
enum NodeKind : int {
    NODE_END_TAG = 0,
    NODE_ELEMENT = 1,
    NODE_TEXT = 2,
    NODE_WHITESPACE = 4,
    NODE_CDATA = 8,
    NODE_PI = 16,
    NODE_COMMENT = 32,
    NODE_DOCTYPE = 64,
    NODE_ERROR = -1,
    NODE_END = -2,
};

// Scanner flag: a start tag closed with "/>".
constexpr uint32_t ELEM_EMPTY = 0x10000;
// Record flags (in the level-and-flags field, above the 16-bit level).
constexpr uint32_t ELEM_FIRST_CHILD = 0x80000;
constexpr uint32_t ELEM_UNENDED = 0x100000;
constexpr uint32_t ELEM_HAS_ERROR = 0x200000;
// On record 0 only: something in the document was malformed.
constexpr uint32_t DOC_ILL_FORMED = 0x800000;

// Document option: compare element and attribute names ignoring ASCII case.
constexpr unsigned DOC_IGNORE_CASE = 8;

constexpr uint32_t LEVEL_MASK = 0xFFFF;
// Start tag length lives in the low 22 bits of the tag-lengths field and the
// end tag length in the high 10; longer tags saturate (the full extent of an
// element is always in its length field).
constexpr uint32_t START_TAG_MAX = 0x3FFFFF;
constexpr uint32_t END_TAG_MAX = 0x3FF;
constexpr int END_TAG_SHIFT = 22;

// One element of the document, addressed by a 32-bit index (page in the high
// 16 bits, slot in the low 16). All positions are offsets into the text.
struct ElementRecord {
    uint32_t start;          // offset of the element's "<"
    uint32_t length;         // "<" to the end of its end tag (or start tag)
    uint32_t tagLengths;     // start tag length | end tag length << 22
    uint32_t levelAndFlags;  // nesting level (low 16 bits) and flags
    uint32_t parent;         // 0 for top-level elements
    uint32_t firstChild;     // 0 if none
    uint32_t nextSibling;    // 0 for the last child
    uint32_t prevSibling;    // the first child's is the last child
};
static_assert(sizeof(ElementRecord) == 32, "element records are 32 bytes");

inline uint32_t StartTagLength(const ElementRecord& r) { return r.tagLengths & START_TAG_MAX; }
inline uint32_t EndTagLength(const ElementRecord& r) { return r.tagLengths >> END_TAG_SHIFT; }

inline bool IsBlank(wchar_t c) { return c == L' ' || c == L'\t' || c == L'\n' || c == L'\r'; }

}  // namespace FeedDoc

}  // namespace Vornex
