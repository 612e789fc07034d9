#pragma once
// Splits a feed document into nodes, one call per node, without copying.

#include <cstdint>
#include <string>

#include "app/feed/FeedTypes.h"

namespace Vornex {

namespace FeedDoc {

// Which error a malformed node carries; the text is made only when the
// document records it, so a bad node costs no allocation.
enum class ScanError {
    None,
    Incorrect,
    Unterminated
};

struct ScannedNode {
    int kind = NODE_END;
    uint32_t start = 0;      // offset of the node's first unit
    uint32_t length = 0;     // the next node starts at start + length
    uint32_t nameStart = 0;  // start and end tags: offset of the name
    uint32_t nameLength = 0;
    uint32_t flags = 0;  // ELEM_EMPTY for a start tag closed with "/>"
    ScanError error = ScanError::None;
    const wchar_t* errorWord = nullptr;  // noun or node description of the error

    // "Incorrect %s at offset %d" or "%s at offset %d unterminated".
    std::wstring ErrorText() const;
};

class CFeedScanner {
public:
    CFeedScanner(const wchar_t* text, uint32_t length) : m_text(text), m_length(length) {}

    // Scans the node that starts at `position` (the end of the previous node).
    void ScanNode(uint32_t position, ScannedNode& node) const;

private:
    void ScanMarkup(uint32_t position, ScannedNode& node) const;
    void ScanStartTag(uint32_t position, ScannedNode& node) const;
    void ScanEndTag(uint32_t position, ScannedNode& node) const;
    void ScanBang(uint32_t position, ScannedNode& node) const;
    void ScanDoctype(uint32_t position, ScannedNode& node) const;
    void ScanDeclaration(uint32_t position, ScannedNode& node) const;
    // Comment, CDATA section, processing instruction: a run up to a '>' whose
    // predecessors (at or after `bodyStart`) complete the terminator.
    void ScanTerminated(uint32_t position, uint32_t bodyStart, wchar_t before, bool twice, int kind,
                        const wchar_t* description, ScannedNode& node) const;

    // Records the tag name starting at `from` (it ends at a blank, "/" or
    // ">") and returns the offset just past it.
    uint32_t ScanTagName(uint32_t from, ScannedNode& node) const;
    // Offset of the first ">" at or after `from`, or m_length.
    uint32_t FindGreater(uint32_t from) const;
    // Offset just past the "-->" of a comment whose body starts at `from`, or 0.
    uint32_t SkipComment(uint32_t from) const;
    // Offset just past the quoted part opened at `quote`, or 0 when unclosed.
    uint32_t SkipQuoted(uint32_t quote) const;

    void Unterminated(uint32_t position, const wchar_t* description, ScannedNode& node) const;
    void Incorrect(uint32_t position, const wchar_t* noun, ScannedNode& node) const;

    const wchar_t* m_text;
    uint32_t m_length;
};

}  // namespace FeedDoc

}  // namespace Vornex
