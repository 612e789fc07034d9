#include "app/feed/FeedScanner.h"

namespace Vornex {

namespace FeedDoc {
namespace {

// Units compared as unsigned values: on Linux wchar_t is signed and hostile
// text may hold any 32-bit value.
inline uint32_t Unit(wchar_t c) { return static_cast<uint32_t>(c); }

// ":" and "_", and every unit outside 0x00-0x40 and 0x5B-0x60: letters and
// all non-ASCII characters may start an element name.
inline bool IsNameStart(wchar_t c)
{
    const uint32_t u = Unit(c);
    if (u == ':' || u == '_') return true;
    return !(u <= 0x40 || (u >= 0x5B && u <= 0x60));
}

inline bool IsQuote(wchar_t c) { return c == L'"' || c == L'\''; }

}  // namespace

std::wstring ScannedNode::ErrorText() const
{
    const std::wstring word = errorWord ? errorWord : L"";
    const std::wstring offset = std::to_wstring(start);
    switch (error) {
    case ScanError::Incorrect:
        return L"Incorrect " + word + L" at offset " + offset;
    case ScanError::Unterminated:
        return word + L" at offset " + offset + L" unterminated";
    case ScanError::None:
        break;
    }
    return std::wstring();
}

void CFeedScanner::ScanNode(uint32_t position, ScannedNode& node) const
{
    node = ScannedNode();
    node.start = position;
    if (position >= m_length) {
        node.kind = NODE_END;
        return;
    }
    if (m_text[position] == L'<') {
        ScanMarkup(position, node);
        return;
    }
    uint32_t i = position;
    if (IsBlank(m_text[i])) {
        while (i < m_length && IsBlank(m_text[i])) ++i;
        if (i >= m_length || m_text[i] == L'<') {
            node.kind = NODE_WHITESPACE;
            node.length = i - position;
            return;
        }
    }
    // Text runs to the next "<"; a stray ">" closes it (and belongs to it).
    node.kind = NODE_TEXT;
    while (i < m_length) {
        const wchar_t c = m_text[i];
        if (c == L'<') break;
        ++i;
        if (c == L'>') break;
    }
    node.length = i - position;
}

void CFeedScanner::ScanMarkup(uint32_t position, ScannedNode& node) const
{
    if (position + 1 >= m_length) {
        Unterminated(position, L"tag", node);
        return;
    }
    const wchar_t next = m_text[position + 1];
    if (next == L'/')
        ScanEndTag(position, node);
    else if (next == L'!')
        ScanBang(position, node);
    else if (next == L'?')
        ScanTerminated(position, position + 2, L'?', false, NODE_PI, L"Processing instruction", node);
    else if (IsNameStart(next))
        ScanStartTag(position, node);
    else
        Incorrect(position, L"tag name character", node);
}

void CFeedScanner::ScanStartTag(uint32_t position, ScannedNode& node) const
{
    uint32_t i = ScanTagName(position + 1, node);
    const uint32_t nameEnd = i;

    // A quote opens a value only after "=" (blanks allowed in between); the
    // closing quote is remembered because "/>" right after it closes the tag.
    bool afterEquals = false;
    uint32_t lastClosingQuote = 0;
    while (i < m_length) {
        const wchar_t c = m_text[i];
        if (c == L'>') {
            node.kind = NODE_ELEMENT;
            node.length = i + 1 - position;
            if (i - 1 >= nameEnd && m_text[i - 1] == L'/') {
                const uint32_t slash = i - 1;
                if (slash == nameEnd || IsBlank(m_text[slash - 1]) ||
                    (lastClosingQuote != 0 && slash - 1 == lastClosingQuote))
                    node.flags = ELEM_EMPTY;
            }
            return;
        }
        if (afterEquals && IsQuote(c)) {
            const uint32_t past = SkipQuoted(i);
            if (past == 0) break;
            lastClosingQuote = past - 1;
            afterEquals = false;
            i = past;
            continue;
        }
        if (c == L'=')
            afterEquals = true;
        else if (!IsBlank(c))
            afterEquals = false;
        ++i;
    }
    Unterminated(position, L"Element tag", node);
}

void CFeedScanner::ScanEndTag(uint32_t position, ScannedNode& node) const
{
    const uint32_t close = FindGreater(ScanTagName(position + 2, node));
    if (close >= m_length) {
        Unterminated(position, L"Element end tag", node);
        return;
    }
    node.kind = NODE_END_TAG;
    node.length = close + 1 - position;
}

void CFeedScanner::ScanBang(uint32_t position, ScannedNode& node) const
{
    if (position + 2 >= m_length) {
        Unterminated(position, L"tag", node);
        return;
    }
    const wchar_t kind = m_text[position + 2];
    if (kind == L'-' || kind == L'[') {
        if (position + 3 >= m_length) {
            Unterminated(position, L"tag", node);
            return;
        }
        const wchar_t second = m_text[position + 3];
        if (kind == L'-') {
            if (second != L'-')
                Incorrect(position, L"comment tag", node);
            else
                ScanTerminated(position, position + 4, L'-', true, NODE_COMMENT, L"Comment", node);
        } else {
            if (second != L'C')
                Incorrect(position, L"tag", node);
            else
                ScanTerminated(position, position + 4, L']', true, NODE_CDATA, L"CDATA Section", node);
        }
        return;
    }
    if (kind == L'D')
        ScanDoctype(position, node);
    else if (kind == L'E' || kind == L'A' || kind == L'N')
        ScanDeclaration(position, node);
    else
        Incorrect(position, L"! tag", node);
}

void CFeedScanner::ScanTerminated(uint32_t position, uint32_t bodyStart, wchar_t before, bool twice, int kind,
                                  const wchar_t* description, ScannedNode& node) const
{
    // The terminator may not overlap the opening ("<!-->" is no comment).
    const uint32_t terminatorLength = twice ? 3 : 2;
    uint32_t i = bodyStart + terminatorLength - 1;
    while (true) {
        i = FindGreater(i);
        if (i >= m_length) break;
        if (m_text[i - 1] == before && (!twice || m_text[i - 2] == before)) {
            node.kind = kind;
            node.length = i + 1 - position;
            return;
        }
        ++i;
    }
    Unterminated(position, description, node);
}

void CFeedScanner::ScanDoctype(uint32_t position, ScannedNode& node) const
{
    // Ends at the first ">" outside the nested declarations and comments of an
    // internal subset.
    uint32_t i = position + 2;
    while (i < m_length) {
        const wchar_t c = m_text[i];
        if (c == L'>') {
            node.kind = NODE_DOCTYPE;
            node.length = i + 1 - position;
            return;
        }
        if (c == L'<' && i + 1 < m_length && m_text[i + 1] == L'!') {
            uint32_t past = 0;
            if (i + 3 < m_length && m_text[i + 2] == L'-' && m_text[i + 3] == L'-') {
                past = SkipComment(i + 4);
            } else {
                // Nested declaration: quotes of either kind guard a ">".
                uint32_t j = i + 2;
                while (j < m_length) {
                    const wchar_t d = m_text[j];
                    if (IsQuote(d)) {
                        j = SkipQuoted(j);
                        if (j == 0) break;
                        continue;
                    }
                    if (d == L'>') {
                        past = j + 1;
                        break;
                    }
                    ++j;
                }
            }
            if (past == 0) break;
            i = past;
            continue;
        }
        ++i;
    }
    Unterminated(position, L"Doctype", node);
}

void CFeedScanner::ScanDeclaration(uint32_t position, ScannedNode& node) const
{
    uint32_t i = position + 2;
    while (i < m_length) {
        const wchar_t c = m_text[i];
        if (IsQuote(c)) {
            i = SkipQuoted(i);
            if (i == 0) break;
            continue;
        }
        if (c == L'>') {
            node.kind = NODE_DOCTYPE;
            node.length = i + 1 - position;
            return;
        }
        ++i;
    }
    Unterminated(position, L"Doctype", node);
}

uint32_t CFeedScanner::ScanTagName(uint32_t from, ScannedNode& node) const
{
    uint32_t i = from;
    while (i < m_length) {
        const wchar_t c = m_text[i];
        if (IsBlank(c) || c == L'/' || c == L'>') break;
        ++i;
    }
    node.nameStart = from;
    node.nameLength = i - from;
    return i;
}

uint32_t CFeedScanner::FindGreater(uint32_t from) const
{
    uint32_t i = from;
    while (i < m_length && m_text[i] != L'>') ++i;
    return i;
}

uint32_t CFeedScanner::SkipComment(uint32_t from) const
{
    uint32_t i = from + 2;
    while (true) {
        i = FindGreater(i);
        if (i >= m_length) return 0;
        if (m_text[i - 1] == L'-' && m_text[i - 2] == L'-') return i + 1;
        ++i;
    }
}

uint32_t CFeedScanner::SkipQuoted(uint32_t quote) const
{
    const wchar_t q = m_text[quote];
    uint32_t i = quote + 1;
    while (i < m_length && m_text[i] != q) ++i;
    return i < m_length ? i + 1 : 0;
}

void CFeedScanner::Unterminated(uint32_t position, const wchar_t* description, ScannedNode& node) const
{
    node.kind = NODE_ERROR;
    node.length = m_length - position;
    node.error = ScanError::Unterminated;
    node.errorWord = description;
}

void CFeedScanner::Incorrect(uint32_t position, const wchar_t* noun, ScannedNode& node) const
{
    // The malformed node runs to the next ">" (or the end of the text).
    const uint32_t close = FindGreater(position + 1);
    node.kind = NODE_ERROR;
    node.length = (close < m_length ? close + 1 : m_length) - position;
    node.error = ScanError::Incorrect;
    node.errorWord = noun;
}

}  // namespace FeedDoc

}  // namespace Vornex
