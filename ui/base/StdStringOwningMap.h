#pragma once
// A CStdStringPtrMap that owns its values: every value it holds is deleted
// exactly once, when it is removed, replaced, or the map is emptied or
// destroyed. The values stay plain pointers inside an ordinary
// CStdStringPtrMap, which Map() hands out read-only to code that walks it.

#include "ui/base/StdStringPtrMap.h"

#include <memory>

namespace SkinUI {

template <class T, class Deleter = std::default_delete<T>>
class CStdStringOwningMap {
public:
    explicit CStdStringOwningMap(int buckets = 83) : m_map(buckets) {}
    ~CStdStringOwningMap() { RemoveAll(); }
    CStdStringOwningMap(const CStdStringOwningMap&) = delete;
    CStdStringOwningMap& operator=(const CStdStringOwningMap&) = delete;

    // Takes `value` in any case: when `key` is null or already present the
    // value is deleted and false returned.
    bool Insert(LPCTSTR key, T* value)
    {
        if (m_map.Insert(key, value)) return true;
        Delete(value);
        return false;
    }

    // Stores `value` under `key`, deleting the value it replaces.
    void Set(LPCTSTR key, T* value)
    {
        if (key == nullptr) {
            Delete(value);
            return;
        }
        T* old = static_cast<T*>(m_map.Set(key, value));
        if (old != value) Delete(old);
    }

    T* Find(LPCTSTR key, bool optimize = true) const { return static_cast<T*>(m_map.Find(key, optimize)); }

    // Deletes the value of `key` and forgets the key.
    bool Remove(LPCTSTR key)
    {
        T* value = Find(key, false);
        if (!m_map.Remove(key)) return false;
        Delete(value);
        return true;
    }

    // Deletes every value, then empties the map.
    void RemoveAll()
    {
        for (int i = 0; i < m_map.GetSize(); ++i) Delete(Find(m_map.GetAt(i), false));
        m_map.RemoveAll();
    }

    int GetSize() const { return m_map.GetSize(); }
    LPCTSTR GetAt(int index) const { return m_map.GetAt(index); }
    const CStdStringPtrMap& Map() const { return m_map; }

private:
    void Delete(T* value)
    {
        if (value != nullptr) m_deleter(value);
    }

    CStdStringPtrMap m_map;
    Deleter m_deleter;
};

}  // namespace SkinUI
