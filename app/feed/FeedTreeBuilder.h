#pragma once
// Builds the element table of a feed document in one pass over its nodes,
// recovering from missing and mismatched end tags.

#include <cstdint>
#include <string>

#include "app/feed/FeedElementTable.h"
#include "app/feed/FeedOpenElements.h"
#include "app/feed/FeedScanner.h"

namespace Vornex {

namespace FeedDoc {

class CFeedTreeBuilder {
public:
    CFeedTreeBuilder(const wchar_t* text, uint32_t length, bool ignoreCase, CFeedElementTable& table);

    // Fills the table (already reset, record 0 in use). Returns the index of
    // the first top-level element (0 when there is none); `error` receives the
    // first error met, if any.
    uint32_t Build(std::wstring& error);

private:
    void AddElement(const ScannedNode& node);
    void CloseElement(const ScannedNode& node);
    // Closes the open elements from stack position `outermost` to the top as
    // unended: each becomes childless, its children following it as siblings
    // under the parent of `outermost`.
    void CloseUnended(uint32_t outermost);
    void MarkError();
    void AppendChild(uint32_t parent, uint32_t child);
    void SetError(std::wstring text);
    std::wstring Name(uint32_t start, uint32_t length) const;

    const wchar_t* m_text;
    CFeedElementTable& m_table;
    CFeedScanner m_scanner;
    CFeedOpenElements m_open;
    uint32_t m_parent = 0;
    uint32_t m_firstTopLevel = 0;
    bool m_outOfMemory = false;
    std::wstring* m_error = nullptr;
};

}  // namespace FeedDoc

}  // namespace Vornex
