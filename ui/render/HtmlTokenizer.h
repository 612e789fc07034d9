#pragma once
// Splits marked-up label text into runs of text, line feeds and tags.
//
// A tag is "<" or "{", one lowercase letter, then a blank (followed by
// arguments) or the closing ">" or "}"; a closing tag is "</x>" (either
// bracket kind). "<{>" and "<}>" stand for a brace, "{<}" and "{>}" for an
// angle bracket. Inside <r>...</r> nothing is a tag. Anything else that
// looks almost like a tag is ordinary text.

#include <string>
#include <vector>

namespace SkinUI {

struct HtmlToken {
    enum Kind {
        Text,
        LineFeed,
        Open,
        Close
    };
    Kind kind = Text;
    wchar_t letter = 0;
    std::wstring text;  // the run for Text, the arguments (trimmed) for Open
};

std::vector<HtmlToken> TokenizeHtml(const wchar_t* text);

}  // namespace SkinUI
