// Tokenizes arbitrary text as marked-up label text: every byte pair becomes
// one UTF-16-range unit so that brackets, braces, slashes and letters meet
// in every combination. Tokens must only ever describe the input.
#include "ui/render/HtmlTokenizer.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

using namespace SkinUI;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::wstring text;
    for (size_t i = 0; i + 1 < size; i += 2) {
        wchar_t c = static_cast<wchar_t>(data[i] | (data[i + 1] << 8));
        if (c != 0) text += c;
    }
    std::vector<HtmlToken> tokens = TokenizeHtml(text.c_str());
    size_t textUnits = 0;
    for (const HtmlToken& t : tokens) {
        if (t.kind == HtmlToken::Open || t.kind == HtmlToken::Close) {
            if (t.letter < L'a' || t.letter > L'z') std::abort();
        }
        textUnits += t.text.size();
    }
    // Nothing is invented: text and arguments never outgrow the input.
    if (textUnits > text.size()) std::abort();
    return 0;
}
