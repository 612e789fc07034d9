#pragma once
// Sole owner of one operating-system handle: closes it exactly once, when the
// owner goes or takes another handle. Move-only.
//
// The traits say what kind of handle it is:
//   using Handle = ...;                 // the handle type
//   static bool IsValid(Handle);        // false for every "no handle" value
//   void Close(Handle) const;           // releases a valid handle
// Close may use state of the traits object (a window DC remembers its
// window). Whatever the API returns for failure (null for most, and
// INVALID_HANDLE_VALUE for files), an owner that holds no handle holds the
// null value, so "empty" means one thing: Get() == nullptr, !owner.

#include <utility>

namespace SkinUI {

template <class Traits>
class UniqueHandle {
public:
    using Handle = typename Traits::Handle;

    UniqueHandle() = default;
    explicit UniqueHandle(Handle handle, Traits traits = Traits())
        : m_traits(std::move(traits)), m_handle(Adopt(handle))
    {}
    ~UniqueHandle() { Reset(); }

    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    UniqueHandle(UniqueHandle&& other) noexcept : m_traits(std::move(other.m_traits)), m_handle(other.Release()) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept
    {
        if (this != &other) {
            Reset();
            m_traits = std::move(other.m_traits);
            m_handle = other.Release();
        }
        return *this;
    }

    // Closes the handle held (if any) and takes `handle`.
    void Reset(Handle handle = Handle())
    {
        const Handle old = m_handle;
        m_handle = Adopt(handle);
        if (old != Handle() && old != m_handle) m_traits.Close(old);
    }
    // Gives up ownership without closing; the caller closes the handle.
    Handle Release()
    {
        const Handle handle = m_handle;
        m_handle = Handle();
        return handle;
    }

    Handle Get() const { return m_handle; }
    operator Handle() const { return m_handle; }
    explicit operator bool() const { return m_handle != Handle(); }

private:
    static Handle Adopt(Handle handle) { return Traits::IsValid(handle) ? handle : Handle(); }

    Traits m_traits = Traits();
    Handle m_handle = Handle();
};

}  // namespace SkinUI
