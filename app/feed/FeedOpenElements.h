#pragma once
// The stack of elements whose end tag has not been seen yet, and the search
// for the innermost one an end tag closes.
//
// Usually an end tag closes the innermost element and the search is one
// comparison. Only after the first mismatch does the stack build an index of
// its names (a trie over the name units, with a chain of same-named entries
// per node), so that a stray end tag in a deeply nested document costs the
// length of its name rather than the depth of the stack.

#include <cstddef>
#include <cstdint>
#include <vector>

namespace Vornex {

namespace FeedDoc {

class CFeedOpenElements {
public:
    struct Entry {
        uint32_t nameStart;
        uint32_t nameLength;
        uint32_t record;
        uint32_t sameNameBelow = 0;  // 1 + stack position of the next entry with this name, or 0
        uint32_t trieNode = 0;
    };

    // Starts over for a new document (`text` must outlive the searches).
    void Reset(const wchar_t* text, bool ignoreCase);

    void Push(uint32_t nameStart, uint32_t nameLength, uint32_t record);
    void Pop();
    bool Empty() const { return m_entries.empty(); }
    uint32_t Size() const { return static_cast<uint32_t>(m_entries.size()); }
    const Entry& At(uint32_t position) const { return m_entries[position]; }
    const Entry& Top() const { return m_entries.back(); }

    // Stack position of the innermost entry whose name matches the end tag
    // name at [nameStart, nameStart + nameLength), or -1 when none does.
    int64_t FindInnermostMatch(uint32_t nameStart, uint32_t nameLength);

private:
    struct Edge {
        uint32_t parent;
        uint32_t unit;
        uint32_t child;  // 0: free slot (the root is never a child)
    };

    void BuildIndex();
    void IndexEntry(uint32_t position);
    uint32_t FindChild(uint32_t node, uint32_t unit) const;
    uint32_t AddChild(uint32_t node, uint32_t unit);
    void GrowEdges();
    uint32_t Fold(wchar_t c) const;

    const wchar_t* m_text = nullptr;
    bool m_ignoreCase = false;
    std::vector<Entry> m_entries;

    bool m_indexed = false;
    std::vector<uint32_t> m_nodeTop;  // per trie node: 1 + innermost entry with that exact name
    std::vector<Edge> m_edges;        // open addressing, power-of-two size
    size_t m_edgeCount = 0;
};

}  // namespace FeedDoc

}  // namespace Vornex
