#include "ui/base/WeakRef.h"

#include <atomic>
#include <mutex>
#include <vector>

namespace SkinUI {

namespace {

// Slots live in chunks that are never freed or moved, so a check reads its
// slot without the lock while another thread claims new ones.
constexpr uint32_t kChunkBits = 10;
constexpr uint32_t kChunkSize = 1u << kChunkBits;
constexpr uint32_t kMaxChunks = 4096;

class SlotTable {
public:
    // A fresh slot and its first generation.
    uint32_t Claim(uint32_t& generation)
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        uint32_t slot;
        if (!m_free.empty()) {
            slot = m_free.back();
            m_free.pop_back();
        } else {
            slot = m_used++;
            const uint32_t chunk = slot >> kChunkBits;
            // More than four million live anchors: share the last slot
            // rather than write outside the table (references then only go
            // stale sooner).
            if (chunk >= kMaxChunks) {
                m_used--;
                slot = kMaxChunks * kChunkSize - 1;
            } else if (!m_chunks[chunk].load(std::memory_order_relaxed)) {
                m_chunks[chunk].store(new std::atomic<uint32_t>[kChunkSize](), std::memory_order_release);
            }
        }
        generation = NextGeneration(slot);
        return slot;
    }

    void Release(uint32_t slot)
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        NextGeneration(slot);
        if (slot != kMaxChunks * kChunkSize - 1) m_free.push_back(slot);
    }

    uint32_t Advance(uint32_t slot)
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return NextGeneration(slot);
    }

    bool IsCurrent(uint32_t slot, uint32_t generation) const
    {
        const std::atomic<uint32_t>* chunk = m_chunks[slot >> kChunkBits].load(std::memory_order_acquire);
        return chunk != nullptr && chunk[slot & (kChunkSize - 1)].load(std::memory_order_acquire) == generation;
    }

private:
    // Moves `slot` to a new generation and returns it (never 0). Under the lock.
    uint32_t NextGeneration(uint32_t slot)
    {
        std::atomic<uint32_t>& entry = Entry(slot);
        uint32_t next = entry.load(std::memory_order_relaxed) + 1;
        if (next == 0) next = 1;
        entry.store(next, std::memory_order_release);
        return next;
    }

    std::atomic<uint32_t>& Entry(uint32_t slot)
    {
        return m_chunks[slot >> kChunkBits].load(std::memory_order_acquire)[slot & (kChunkSize - 1)];
    }

    std::mutex m_mutex;
    std::vector<uint32_t> m_free;
    uint32_t m_used = 0;
    std::atomic<std::atomic<uint32_t>*> m_chunks[kMaxChunks] = {};
};

// Never destroyed: anchors of static objects may outlive any static table.
SlotTable& Table()
{
    static SlotTable* table = new SlotTable;
    return *table;
}

}  // namespace

WeakAnchor::WeakAnchor() : m_slot(Table().Claim(m_generation)) {}

WeakAnchor::~WeakAnchor() { Table().Release(m_slot); }

void WeakAnchor::Invalidate() { m_generation = Table().Advance(m_slot); }

void WeakAnchor::Retire()
{
    Table().Advance(m_slot);
    m_generation = 0;
}

void WeakAnchor::Renew() { Invalidate(); }

bool WeakAnchor::IsCurrent(uint32_t slot, uint32_t generation)
{
    return generation != 0 && Table().IsCurrent(slot, generation);
}

}  // namespace SkinUI
