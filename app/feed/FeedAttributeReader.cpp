#include "app/feed/FeedAttributeReader.h"

#include "app/feed/FeedNameMatch.h"
#include "app/feed/FeedTypes.h"

namespace Vornex {

namespace FeedDoc {
namespace {

struct Token {
    uint32_t start;
    uint32_t length;
};

class CTagTokens {
public:
    CTagTokens(const wchar_t* text, uint32_t begin, uint32_t end) : m_text(text), m_pos(begin), m_end(end) {}

    // Skips blanks; false at the end of the tag.
    bool SkipBlanks()
    {
        while (m_pos < m_end && IsBlank(m_text[m_pos])) ++m_pos;
        return m_pos < m_end;
    }
    wchar_t Peek() const { return m_text[m_pos]; }
    void Advance() { ++m_pos; }

    // A quoted token runs to the same quote (or the end of the tag); an
    // unquoted one stops at the units that end a name, or after "=" at a blank
    // or ">".
    Token Read(bool valuePosition)
    {
        const wchar_t first = m_text[m_pos];
        if (first == L'"' || first == L'\'') {
            const uint32_t start = ++m_pos;
            while (m_pos < m_end && m_text[m_pos] != first) ++m_pos;
            const Token token{start, m_pos - start};
            if (m_pos < m_end) ++m_pos;
            return token;
        }
        const uint32_t start = m_pos;
        while (m_pos < m_end) {
            const wchar_t c = m_text[m_pos];
            if (IsBlank(c) || c == L'>') break;
            if (!valuePosition && (c == L'=' || c == L'/' || c == L'?')) break;
            ++m_pos;
        }
        return Token{start, m_pos - start};
    }

private:
    const wchar_t* m_text;
    uint32_t m_pos;
    uint32_t m_end;
};

}  // namespace

FoundAttribute FindAttribute(const wchar_t* text, uint32_t begin, uint32_t end, const wchar_t* name, size_t nameLength,
                             bool ignoreCase)
{
    FoundAttribute result;
    CTagTokens tokens(text, begin, end);
    if (!tokens.SkipBlanks()) return result;
    tokens.Read(false);  // the tag name
    // Every round consumes at least one unit: a name token is empty only at
    // "=", which is then taken.
    while (tokens.SkipBlanks()) {
        const wchar_t c = tokens.Peek();
        if (c == L'/' || c == L'>' || c == L'?') return result;
        const Token attributeName = tokens.Read(false);
        Token value = attributeName;
        if (tokens.SkipBlanks() && tokens.Peek() == L'=') {
            tokens.Advance();
            if (tokens.SkipBlanks())
                value = tokens.Read(true);
            else
                value = Token{end, 0};
        }
        if (NameMatches(text + attributeName.start, attributeName.length, name, nameLength, ignoreCase)) {
            result.found = true;
            result.valueStart = value.start;
            result.valueLength = value.length;
            return result;
        }
    }
    return result;
}

}  // namespace FeedDoc

}  // namespace Vornex
