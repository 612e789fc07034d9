#include "app/feed/FeedTreeBuilder.h"

#include <algorithm>

namespace Vornex {

namespace FeedDoc {

CFeedTreeBuilder::CFeedTreeBuilder(const wchar_t* text, uint32_t length, bool ignoreCase, CFeedElementTable& table)
    : m_text(text), m_table(table), m_scanner(text, length)
{
    m_open.Reset(text, ignoreCase);
}

uint32_t CFeedTreeBuilder::Build(std::wstring& error)
{
    m_error = &error;
    ScannedNode node;
    uint32_t position = 0;
    while (!m_outOfMemory) {
        m_scanner.ScanNode(position, node);
        switch (node.kind) {
        case NODE_ELEMENT:
            AddElement(node);
            break;
        case NODE_END_TAG:
            CloseElement(node);
            break;
        case NODE_ERROR:
            MarkError();
            if (m_error->empty()) SetError(node.ErrorText());
            break;
        case NODE_END:
            if (!m_open.Empty()) {
                const CFeedOpenElements::Entry& innermost = m_open.Top();
                if (m_error->empty())
                    SetError(L"Element '" + Name(innermost.nameStart, innermost.nameLength) + L"' at offset " +
                             std::to_wstring(m_table[innermost.record].start) + L" not ended");
                CloseUnended(0);
            }
            return m_firstTopLevel;
        default:
            break;
        }
        position = node.start + node.length;
    }
    // Out of memory: what was built stays usable, the document is not.
    m_table[0].levelAndFlags |= DOC_ILL_FORMED;
    return m_firstTopLevel;
}

void CFeedTreeBuilder::AddElement(const ScannedNode& node)
{
    const uint32_t index = m_table.Add();
    if (index == 0) {
        m_outOfMemory = true;
        SetError(L"Out of memory");
        return;
    }
    ElementRecord& record = m_table[index];
    record.start = node.start;
    record.tagLengths = std::min(node.length, START_TAG_MAX);
    record.levelAndFlags = std::min(m_open.Size(), LEVEL_MASK);
    AppendChild(m_parent, index);
    if (m_firstTopLevel == 0) m_firstTopLevel = index;
    if (node.flags & ELEM_EMPTY) {
        record.length = node.length;
        return;
    }
    m_open.Push(node.nameStart, node.nameLength, index);
    m_parent = index;
}

void CFeedTreeBuilder::CloseElement(const ScannedNode& node)
{
    const int64_t match = m_open.FindInnermostMatch(node.nameStart, node.nameLength);
    if (match < 0) {
        MarkError();
        if (m_error->empty())
            SetError(L"No start tag for end tag '" + Name(node.nameStart, node.nameLength) + L"' at offset " +
                     std::to_wstring(node.start));
        return;
    }
    const uint32_t position = static_cast<uint32_t>(match);
    if (position + 1 < m_open.Size()) {
        const CFeedOpenElements::Entry& innermost = m_open.Top();
        if (m_error->empty())
            SetError(L"End tag '" + Name(node.nameStart, node.nameLength) + L"' at offset " +
                     std::to_wstring(node.start + 1) + L" does not match start tag '" +
                     Name(innermost.nameStart, innermost.nameLength) + L"' at offset " +
                     std::to_wstring(m_table[innermost.record].start));
        CloseUnended(position + 1);
    }
    ElementRecord& record = m_table[m_open.Top().record];
    record.length = node.start + node.length - record.start;
    record.tagLengths = (record.tagLengths & START_TAG_MAX) | (std::min(node.length, END_TAG_MAX) << END_TAG_SHIFT);
    m_parent = record.parent;
    m_open.Pop();
}

void CFeedTreeBuilder::CloseUnended(uint32_t outermost)
{
    m_table[0].levelAndFlags |= DOC_ILL_FORMED;
    const uint32_t target = outermost == 0 ? 0 : m_open.At(outermost - 1).record;
    // Working outward-in gives the same tree as closing innermost first: each
    // element is the last child of the one before it, which by then is the
    // last of `target`'s children. Every moved child is re-parented once.
    bool errorMoves = false;
    for (uint32_t i = outermost; i < m_open.Size(); ++i) {
        const uint32_t index = m_open.At(i).record;
        ElementRecord& record = m_table[index];
        errorMoves = errorMoves || (record.levelAndFlags & ELEM_HAS_ERROR) != 0;
        record.levelAndFlags = (record.levelAndFlags & ~ELEM_HAS_ERROR) | ELEM_UNENDED;
        record.tagLengths &= START_TAG_MAX;
        record.length = record.tagLengths;
        const uint32_t first = record.firstChild;
        if (first == 0) continue;
        record.firstChild = 0;
        const uint32_t last = m_table[first].prevSibling;
        m_table[first].levelAndFlags &= ~ELEM_FIRST_CHILD;
        for (uint32_t child = first; child != 0; child = m_table[child].nextSibling) m_table[child].parent = target;
        record.nextSibling = first;
        m_table[first].prevSibling = index;
        m_table[m_table[target].firstChild].prevSibling = last;
    }
    if (errorMoves) m_table[target].levelAndFlags |= ELEM_HAS_ERROR;
    while (m_open.Size() > outermost) m_open.Pop();
    m_parent = target;
}

void CFeedTreeBuilder::MarkError()
{
    m_table[0].levelAndFlags |= DOC_ILL_FORMED;
    const uint32_t innermost = m_open.Empty() ? 0 : m_open.Top().record;
    m_table[innermost].levelAndFlags |= ELEM_HAS_ERROR;
}

void CFeedTreeBuilder::AppendChild(uint32_t parent, uint32_t child)
{
    ElementRecord& owner = m_table[parent];
    ElementRecord& record = m_table[child];
    record.parent = parent;
    if (owner.firstChild == 0) {
        owner.firstChild = child;
        record.prevSibling = child;
        record.levelAndFlags |= ELEM_FIRST_CHILD;
        return;
    }
    ElementRecord& first = m_table[owner.firstChild];
    const uint32_t last = first.prevSibling;
    m_table[last].nextSibling = child;
    record.prevSibling = last;
    first.prevSibling = child;
}

void CFeedTreeBuilder::SetError(std::wstring text)
{
    if (m_error->empty()) *m_error = std::move(text);
}

std::wstring CFeedTreeBuilder::Name(uint32_t start, uint32_t length) const
{
    return std::wstring(m_text + start, length);
}

}  // namespace FeedDoc

}  // namespace Vornex
