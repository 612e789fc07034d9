#pragma once
// A hash map from strings to untyped pointers. It never owns the values.
// The bucket count is fixed (the framework passes 83); chains lengthen
// instead of rehashing. Lookups may move a found node to the head of its
// chain, which changes the iteration order that GetAt exposes.

#include "ui/base/UiString.h"

namespace SkinUI {

class CStdStringPtrMap {
public:
    explicit CStdStringPtrMap(int size = 83);
    ~CStdStringPtrMap();
    CStdStringPtrMap(const CStdStringPtrMap&) = delete;
    CStdStringPtrMap& operator=(const CStdStringPtrMap&) = delete;

    void Resize(int size = 83);
    LPVOID Find(LPCTSTR key, bool optimize = true) const;
    bool Insert(LPCTSTR key, LPVOID data);
    LPVOID Set(LPCTSTR key, LPVOID data);
    bool Remove(LPCTSTR key);
    void RemoveAll();
    int GetSize() const;
    int GetBucketCount() const { return m_nBuckets; }
    LPCTSTR GetAt(int index) const;
    LPCTSTR operator[](int index) const;

private:
    struct TITEM {
        CUiString Key;
        LPVOID Data;
        TITEM* pPrev;
        TITEM* pNext;
    };

    TITEM* FindItem(LPCTSTR key, bool optimize) const;
    unsigned BucketOf(LPCTSTR key) const;
    void FreeBuckets();

    TITEM** m_aT;
    int m_nBuckets;
    int m_nCount;
};

}  // namespace SkinUI
