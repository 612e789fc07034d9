#pragma once
// Weak, generation-checked references: for objects that can die while
// others still point at them (windows that delete themselves, the paint
// manager of a window that is gone, listeners of notifications).
//
// The owner embeds a WeakAnchor. The anchor holds a slot of a process-wide
// table of generation numbers; a WeakRef remembers the slot and the
// generation it was taken at. Invalidating the anchor (or destroying it)
// moves its slot to a new generation, so every reference taken before reads
// as gone, and a slot reused by another object never brings an old
// reference back. Reading a reference is one atomic load; no allocation per
// reference, none per check.
//
// A reference says whether its object is still the one it was taken from;
// it does not keep the object alive. Taking and checking may happen on any
// thread; using the object is up to the owner's own thread rules.

#include <cstddef>
#include <cstdint>

namespace SkinUI {

class WeakAnchor {
public:
    WeakAnchor();
    ~WeakAnchor();
    WeakAnchor(const WeakAnchor&) = delete;
    WeakAnchor& operator=(const WeakAnchor&) = delete;

    // Every reference taken so far reads as gone from now on; references
    // taken afterwards are good until the next call.
    void Invalidate();
    // Like Invalidate, and references taken afterwards are gone from the
    // start, until Renew: for an owner that outlives the thing the
    // references stand for (a window object whose window is gone).
    void Retire();
    void Renew();
    bool IsRetired() const { return m_generation == 0; }

    uint32_t Slot() const { return m_slot; }
    uint32_t Generation() const { return m_generation; }

    // True while `generation` is the current one of `slot`.
    static bool IsCurrent(uint32_t slot, uint32_t generation);

private:
    uint32_t m_slot;
    uint32_t m_generation;
};

template <class T>
class WeakRef {
public:
    WeakRef() = default;
    WeakRef(T* object, const WeakAnchor& anchor)
        : m_object(object), m_slot(anchor.Slot()), m_generation(anchor.Generation())
    {
    }

    // Null once the anchor was invalidated or destroyed.
    T* Get() const { return m_object != nullptr && WeakAnchor::IsCurrent(m_slot, m_generation) ? m_object : nullptr; }
    explicit operator bool() const { return Get() != nullptr; }
    T* operator->() const { return Get(); }
    // A reference that is gone compares equal to null.
    friend bool operator==(const WeakRef& ref, std::nullptr_t) { return !ref; }
    friend bool operator!=(const WeakRef& ref, std::nullptr_t) { return static_cast<bool>(ref); }
    // The address it was taken for, whether or not the object still lives:
    // for finding and removing it in lists, never for use.
    const T* Address() const { return m_object; }

private:
    T* m_object = nullptr;
    uint32_t m_slot = 0;
    uint32_t m_generation = 0;  // 0 is never current: a default reference is gone
};

}  // namespace SkinUI
