#pragma once
// A value that can be reached only while its lock is held: Lock() returns an
// accessor that holds the lock for as long as it lives. State shared between
// the UI thread and the runtime thread lives in one of these, so touching it
// without the lock does not compile.

#include <mutex>

namespace vxrt {

template <class T>
class Guarded {
public:
    class Access {
    public:
        Access(std::mutex& m, T& value) : m_lock(m), m_value(value) {}
        T* operator->() const { return &m_value; }
        T& operator*() const { return m_value; }

    private:
        std::unique_lock<std::mutex> m_lock;
        T& m_value;
    };

    Access Lock() { return Access(m_mutex, m_value); }

private:
    std::mutex m_mutex;
    T m_value;
};

}  // namespace vxrt
