#include "ui/render/HtmlTokenizer.h"

namespace SkinUI {

namespace {

bool IsOpenBracket(wchar_t c) { return c == L'<' || c == L'{'; }
bool IsCloseBracket(wchar_t c) { return c == L'>' || c == L'}'; }
bool IsTagLetter(wchar_t c) { return c >= L'a' && c <= L'z'; }

class Tokenizer {
public:
    explicit Tokenizer(const wchar_t* text) : m_p(text) {}

    std::vector<HtmlToken> Run()
    {
        while (*m_p) {
            if (m_raw) {
                ReadRaw();
                continue;
            }
            wchar_t c = *m_p;
            if (c == L'\n') {
                Flush();
                HtmlToken t;
                t.kind = HtmlToken::LineFeed;
                m_tokens.push_back(t);
                ++m_p;
            } else if (c == L'\r') {
                ++m_p;
            } else if (IsOpenBracket(c) && ReadEscape()) {
            } else if (IsOpenBracket(c) && ReadClosingTag()) {
            } else if (IsOpenBracket(c) && ReadOpeningTag()) {
            } else {
                m_text += c;
                ++m_p;
            }
        }
        Flush();
        return std::move(m_tokens);
    }

private:
    void Flush()
    {
        if (m_text.empty()) return;
        HtmlToken t;
        t.kind = HtmlToken::Text;
        t.text.swap(m_text);
        m_tokens.push_back(std::move(t));
    }

    bool ReadEscape()
    {
        const wchar_t open = m_p[0];
        const wchar_t middle = m_p[1];
        if (!middle || !m_p[2]) return false;
        const bool angle = open == L'<' && m_p[2] == L'>' && (middle == L'{' || middle == L'}');
        const bool brace = open == L'{' && m_p[2] == L'}' && (middle == L'<' || middle == L'>');
        if (!angle && !brace) return false;
        m_text += middle;
        m_p += 3;
        return true;
    }

    bool ReadClosingTag()
    {
        if (m_p[1] != L'/' || !IsTagLetter(m_p[2]) || !IsCloseBracket(m_p[3])) return false;
        Flush();
        HtmlToken t;
        t.kind = HtmlToken::Close;
        t.letter = m_p[2];
        m_tokens.push_back(t);
        m_p += 4;
        return true;
    }

    bool ReadOpeningTag()
    {
        const wchar_t letter = m_p[1];
        if (!IsTagLetter(letter)) return false;
        const wchar_t after = m_p[2];
        if (after != L' ' && !IsCloseBracket(after)) return false;
        const wchar_t* end = m_p + 2;
        while (*end && !IsCloseBracket(*end)) ++end;
        if (!*end) return false;
        Flush();
        HtmlToken t;
        t.kind = HtmlToken::Open;
        t.letter = letter;
        const wchar_t* a = m_p + 2;
        while (a < end && *a == L' ') ++a;
        const wchar_t* b = end;
        while (b > a && b[-1] == L' ') --b;
        t.text.assign(a, b);
        m_tokens.push_back(std::move(t));
        m_p = end + 1;
        if (letter == L'r') m_raw = true;
        return true;
    }

    // Raw text runs until the closing </r> (either bracket kind).
    void ReadRaw()
    {
        while (*m_p) {
            if (IsOpenBracket(m_p[0]) && m_p[1] == L'/' && m_p[2] == L'r' && m_p[3] && IsCloseBracket(m_p[3])) {
                m_raw = false;
                ReadClosingTag();
                return;
            }
            if (*m_p == L'\n') {
                Flush();
                HtmlToken t;
                t.kind = HtmlToken::LineFeed;
                m_tokens.push_back(t);
            } else if (*m_p != L'\r') {
                m_text += *m_p;
            }
            ++m_p;
        }
    }

    const wchar_t* m_p;
    bool m_raw = false;
    std::wstring m_text;
    std::vector<HtmlToken> m_tokens;
};

}  // namespace

std::vector<HtmlToken> TokenizeHtml(const wchar_t* text)
{
    if (!text) return {};
    return Tokenizer(text).Run();
}

}  // namespace SkinUI
