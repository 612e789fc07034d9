#include "app/feed/FeedOpenElements.h"

#include "app/feed/FeedNameMatch.h"

namespace Vornex {

namespace FeedDoc {
namespace {

inline size_t HashEdge(uint32_t parent, uint32_t unit)
{
    uint64_t h = (uint64_t(parent) << 32 | unit) * 0x9E3779B97F4A7C15ull;
    return static_cast<size_t>(h ^ (h >> 29));
}

}  // namespace

void CFeedOpenElements::Reset(const wchar_t* text, bool ignoreCase)
{
    m_text = text;
    m_ignoreCase = ignoreCase;
    m_entries.clear();
    m_entries.reserve(6);
    m_indexed = false;
    m_nodeTop.clear();
    m_edges.clear();
    m_edgeCount = 0;
}

void CFeedOpenElements::Push(uint32_t nameStart, uint32_t nameLength, uint32_t record)
{
    if (m_entries.size() == m_entries.capacity()) m_entries.reserve(m_entries.size() * 2 + 6);
    Entry entry;
    entry.nameStart = nameStart;
    entry.nameLength = nameLength;
    entry.record = record;
    m_entries.push_back(entry);
    if (m_indexed) IndexEntry(Size() - 1);
}

void CFeedOpenElements::Pop()
{
    if (m_indexed) m_nodeTop[m_entries.back().trieNode] = m_entries.back().sameNameBelow;
    m_entries.pop_back();
}

int64_t CFeedOpenElements::FindInnermostMatch(uint32_t nameStart, uint32_t nameLength)
{
    if (m_entries.empty()) return -1;
    const wchar_t* endName = m_text + nameStart;
    const Entry& top = m_entries.back();
    if (NameMatches(m_text + top.nameStart, top.nameLength, endName, nameLength, m_ignoreCase))
        return int64_t(m_entries.size()) - 1;

    if (!m_indexed) BuildIndex();
    // An open name matches when it is the whole end tag name, or the part of
    // it before one of the units that may follow a matched name.
    uint32_t node = 0;
    uint32_t best = 0;
    for (uint32_t i = 0;; ++i) {
        if (i == nameLength || IsNameStop(endName[i])) {
            if (m_nodeTop[node] > best) best = m_nodeTop[node];
        }
        if (i == nameLength) break;
        node = FindChild(node, Fold(endName[i]));
        if (node == 0) break;
    }
    return int64_t(best) - 1;
}

void CFeedOpenElements::BuildIndex()
{
    m_indexed = true;
    m_nodeTop.assign(1, 0);
    m_edges.assign(64, Edge{0, 0, 0});
    m_edgeCount = 0;
    for (uint32_t i = 0; i < Size(); ++i) IndexEntry(i);
}

void CFeedOpenElements::IndexEntry(uint32_t position)
{
    Entry& entry = m_entries[position];
    uint32_t node = 0;
    const wchar_t* name = m_text + entry.nameStart;
    for (uint32_t i = 0; i < entry.nameLength; ++i) {
        const uint32_t unit = Fold(name[i]);
        uint32_t child = FindChild(node, unit);
        if (child == 0) child = AddChild(node, unit);
        node = child;
    }
    entry.trieNode = node;
    entry.sameNameBelow = m_nodeTop[node];
    m_nodeTop[node] = position + 1;
}

uint32_t CFeedOpenElements::FindChild(uint32_t node, uint32_t unit) const
{
    const size_t mask = m_edges.size() - 1;
    for (size_t slot = HashEdge(node, unit) & mask;; slot = (slot + 1) & mask) {
        const Edge& edge = m_edges[slot];
        if (edge.child == 0) return 0;
        if (edge.parent == node && edge.unit == unit) return edge.child;
    }
}

uint32_t CFeedOpenElements::AddChild(uint32_t node, uint32_t unit)
{
    if ((m_edgeCount + 1) * 2 > m_edges.size()) GrowEdges();
    const uint32_t child = static_cast<uint32_t>(m_nodeTop.size());
    m_nodeTop.push_back(0);
    const size_t mask = m_edges.size() - 1;
    size_t slot = HashEdge(node, unit) & mask;
    while (m_edges[slot].child != 0) slot = (slot + 1) & mask;
    m_edges[slot] = Edge{node, unit, child};
    ++m_edgeCount;
    return child;
}

void CFeedOpenElements::GrowEdges()
{
    std::vector<Edge> old;
    old.swap(m_edges);
    m_edges.assign(old.size() * 2, Edge{0, 0, 0});
    const size_t mask = m_edges.size() - 1;
    for (const Edge& edge : old) {
        if (edge.child == 0) continue;
        size_t slot = HashEdge(edge.parent, edge.unit) & mask;
        while (m_edges[slot].child != 0) slot = (slot + 1) & mask;
        m_edges[slot] = edge;
    }
}

uint32_t CFeedOpenElements::Fold(wchar_t c) const { return static_cast<uint32_t>(m_ignoreCase ? FoldAscii(c) : c); }

}  // namespace FeedDoc

}  // namespace Vornex
