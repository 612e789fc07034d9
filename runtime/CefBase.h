#pragma once
// Reference counting shared by every object that crosses the runtime
// boundary. The runtime's own threads take and drop references, so counts
// change with interlocked operations only.

#include <windows.h>

class CefBase {
public:
    virtual int AddRef() = 0;
    virtual int Release() = 0;
    virtual int GetRefCt() = 0;

protected:
    virtual ~CefBase() {}
};

// Interlocked counter for implementations; the owner deletes itself when
// Release reports zero.
class CefRefCount {
public:
    CefRefCount() : m_count(0) {}
    int AddRef() { return static_cast<int>(InterlockedIncrement(&m_count)); }
    int Release() { return static_cast<int>(InterlockedDecrement(&m_count)); }
    int GetRefCt() const { return static_cast<int>(m_count); }

private:
    CefRefCount(const CefRefCount&) = delete;
    CefRefCount& operator=(const CefRefCount&) = delete;
    volatile LONG m_count;
};

// Adds the three counting operations to a class deriving from CefBase.
#define IMPLEMENT_REFCOUNTING(ClassName)                                                                               \
public:                                                                                                                \
    int AddRef() override { return m_refCount.AddRef(); }                                                              \
    int Release() override                                                                                             \
    {                                                                                                                  \
        int count = m_refCount.Release();                                                                              \
        if (count == 0) delete this;                                                                                   \
        return count;                                                                                                  \
    }                                                                                                                  \
    int GetRefCt() override { return m_refCount.GetRefCt(); }                                                          \
                                                                                                                       \
private:                                                                                                               \
    CefRefCount m_refCount

// Owning smart pointer: holds one reference to the object it points at.
template <class T>
class CefRefPtr {
public:
    CefRefPtr() : m_ptr(nullptr) {}
    CefRefPtr(T* p) : m_ptr(p)
    {
        if (m_ptr) m_ptr->AddRef();
    }
    CefRefPtr(const CefRefPtr<T>& r) : CefRefPtr(r.m_ptr) {}
    template <class U>
    CefRefPtr(const CefRefPtr<U>& r) : CefRefPtr(r.get())
    {}
    CefRefPtr(CefRefPtr<T>&& r) noexcept : m_ptr(r.m_ptr) { r.m_ptr = nullptr; }
    ~CefRefPtr()
    {
        if (m_ptr) m_ptr->Release();
    }

    T* get() const { return m_ptr; }
    operator T*() const { return m_ptr; }
    T* operator->() const { return m_ptr; }
    T& operator*() const { return *m_ptr; }

    CefRefPtr<T>& operator=(T* p)
    {
        // Reference the new object before dropping the old one, so that
        // assigning an object to itself never frees it.
        if (p) p->AddRef();
        T* old = m_ptr;
        m_ptr = p;
        if (old) old->Release();
        return *this;
    }
    CefRefPtr<T>& operator=(const CefRefPtr<T>& r) { return *this = r.m_ptr; }
    template <class U>
    CefRefPtr<T>& operator=(const CefRefPtr<U>& r)
    {
        return *this = r.get();
    }
    CefRefPtr<T>& operator=(CefRefPtr<T>&& r) noexcept
    {
        if (this != &r) {
            T* old = m_ptr;
            m_ptr = r.m_ptr;
            r.m_ptr = nullptr;
            if (old) old->Release();
        }
        return *this;
    }
    void swap(CefRefPtr<T>& r)
    {
        T* p = m_ptr;
        m_ptr = r.m_ptr;
        r.m_ptr = p;
    }

private:
    T* m_ptr;
};
