#pragma once
// The feed document's element records: fixed-size records in pages of 65,536,
// addressed by index. Growing adds pages and copies at most the last, partly
// filled page, so an index handed out once stays valid for the whole parse.

#include <cstdint>
#include <cstdlib>
#include <vector>

#include "app/feed/FeedTypes.h"

namespace Vornex {

namespace FeedDoc {

class CFeedElementTable {
public:
    static constexpr uint32_t kPageRecords = 65536;

    CFeedElementTable() = default;
    ~CFeedElementTable();
    CFeedElementTable(const CFeedElementTable&) = delete;
    CFeedElementTable& operator=(const CFeedElementTable&) = delete;

    // Drops every record and makes room for `initialRecords`; record 0 (the
    // document's virtual root) is cleared and in use. False when out of memory.
    bool Reset(uint32_t initialRecords);
    // Frees all pages; the table is empty afterwards.
    void Clear();

    // Takes the next free record, cleared; 0 when memory or indices run out.
    uint32_t Add();

    ElementRecord& operator[](uint32_t index) { return m_pages[index >> 16][index & 0xFFFF]; }
    const ElementRecord& operator[](uint32_t index) const { return m_pages[index >> 16][index & 0xFFFF]; }

    uint32_t Used() const { return m_used; }
    uint32_t Capacity() const { return m_capacity; }
    size_t PageCount() const { return m_pages.size(); }

private:
    bool Grow();
    bool AddPage(uint32_t records);
    bool ResizeLastPage(uint32_t records);

    std::vector<ElementRecord*> m_pages;
    uint32_t m_lastPageRecords = 0;  // allocated size of the last page
    uint32_t m_capacity = 0;
    uint32_t m_used = 0;
};

}  // namespace FeedDoc

}  // namespace Vornex
