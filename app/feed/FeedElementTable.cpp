#include "app/feed/FeedElementTable.h"

#include <algorithm>
#include <cstring>

namespace Vornex {

namespace FeedDoc {
namespace {
// An index has 16 bits for the page;
constexpr size_t kMaxPages = 65535;  // keeps the capacity within 32 bits
}  // namespace

CFeedElementTable::~CFeedElementTable() { Clear(); }

void CFeedElementTable::Clear()
{
    for (ElementRecord* page : m_pages) std::free(page);
    m_pages.clear();
    m_lastPageRecords = 0;
    m_capacity = 0;
    m_used = 0;
}

bool CFeedElementTable::Reset(uint32_t initialRecords)
{
    Clear();
    uint64_t remaining = std::max<uint32_t>(initialRecords, 1);
    while (remaining > 0) {
        const uint32_t page = static_cast<uint32_t>(std::min<uint64_t>(remaining, kPageRecords));
        if (!AddPage(page)) {
            Clear();
            return false;
        }
        remaining -= page;
    }
    std::memset(&(*this)[0], 0, sizeof(ElementRecord));
    m_used = 1;
    return true;
}

uint32_t CFeedElementTable::Add()
{
    if (m_used == 0) return 0;
    if (m_used == m_capacity && !Grow()) return 0;
    const uint32_t index = m_used++;
    std::memset(&(*this)[index], 0, sizeof(ElementRecord));
    return index;
}

bool CFeedElementTable::Grow()
{
    // Aim for 1.5 times the records in use, but add at most one page per step:
    // a partly allocated last page is first brought up (copied), then a new
    // page follows.
    const uint64_t target = std::max<uint64_t>(uint64_t(m_used) + m_used / 2, uint64_t(m_used) + 1);
    if (m_lastPageRecords < kPageRecords) {
        const uint64_t lastBase = uint64_t(m_pages.size() - 1) * kPageRecords;
        const uint32_t wanted = static_cast<uint32_t>(std::min<uint64_t>(target - lastBase, kPageRecords));
        if (!ResizeLastPage(wanted)) return false;
    }
    if (m_capacity < target && m_lastPageRecords == kPageRecords) {
        const uint32_t wanted = static_cast<uint32_t>(std::min<uint64_t>(target - m_capacity, kPageRecords));
        if (!AddPage(wanted)) return false;
    }
    return m_capacity > m_used;
}

bool CFeedElementTable::AddPage(uint32_t records)
{
    if (m_pages.size() >= kMaxPages || (!m_pages.empty() && m_lastPageRecords != kPageRecords)) return false;
    if (m_pages.size() == m_pages.capacity()) m_pages.reserve(m_pages.size() * 2 + 4);
    auto* page = static_cast<ElementRecord*>(std::malloc(size_t(records) * sizeof(ElementRecord)));
    if (!page) return false;
    m_pages.push_back(page);
    m_lastPageRecords = records;
    m_capacity += records;
    return true;
}

bool CFeedElementTable::ResizeLastPage(uint32_t records)
{
    if (records <= m_lastPageRecords) return true;
    void* grown = std::realloc(m_pages.back(), size_t(records) * sizeof(ElementRecord));
    if (!grown) return false;
    m_pages.back() = static_cast<ElementRecord*>(grown);
    m_capacity += records - m_lastPageRecords;
    m_lastPageRecords = records;
    return true;
}

}  // namespace FeedDoc

}  // namespace Vornex
