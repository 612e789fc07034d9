#pragma once
// Name comparison shared by element search, attribute lookup and the end tag
// check: a name found in the document matches a requested name when it equals
// the requested name's first characters and the requested name ends right
// there or goes on with one of " =/[]" (so "item" is found by "item/x").

#include <cstddef>

namespace Vornex {

namespace FeedDoc {

inline bool IsNameStop(wchar_t c) { return c == L' ' || c == L'=' || c == L'/' || c == L'[' || c == L']'; }

// The feed's names are ASCII; folding only ASCII letters keeps the comparison
// independent of the locale.
inline wchar_t FoldAscii(wchar_t c) { return (c >= L'A' && c <= L'Z') ? wchar_t(c + (L'a' - L'A')) : c; }

inline bool NameMatches(const wchar_t* docName, size_t docLength, const wchar_t* requested, size_t requestedLength,
                        bool ignoreCase)
{
    if (docLength > requestedLength) return false;
    if (ignoreCase) {
        for (size_t i = 0; i < docLength; ++i)
            if (FoldAscii(docName[i]) != FoldAscii(requested[i])) return false;
    } else {
        for (size_t i = 0; i < docLength; ++i)
            if (docName[i] != requested[i]) return false;
    }
    return docLength == requestedLength || IsNameStop(requested[docLength]);
}

}  // namespace FeedDoc

}  // namespace Vornex
